#pragma once
// The SQL of ours that the SQLite store runs: the functions and the collation it registers on
// each connection, and the SQL text that calls them.
//
//   zfd_filter(filter, text...)  1 when the texts pass every condition of a filter, which is
//                                bound as a pointer parameter (a TCompiledFilter): filters run
//                                inside the query, by the same code as everywhere (FilterCommand.h)
//   zfd_number, zfd_order        the collation and the function of the key index
//                                (SqliteKeyFunctions.h, shared with the SQLite extension)
//
// The key is ordered term after term (KeyTerms): a text field by its value; a number field by
// its order code, then by its value in zfd_number, which only decides between equal codes. The
// same terms make the index, the ORDER BY of every read, and the ranges a read searches by.
#include <cstddef>
#include <functional>
#include <vector>

#include "server/FilterCommand.h"
#include "server/Schema.h"

struct sqlite3;

namespace RecordServer {

class TSqliteStatement;

// Registers zfd_filter, zfd_number and zfd_order on Db.
void RegisterSqlFunctions(sqlite3* Db);

// A filter ready to run inside a query: its conditions, each with the position of its field's
// text among the arguments of zfd_filter.
struct TCompiledFilter {
    std::vector<TFilterCondition> Conditions;
    std::vector<int> Argument;        // per condition: 1-based position after the filter itself
    std::vector<std::size_t> Fields;  // the distinct fields passed, in argument order
};

// The SQL condition of Conditions on Schema's table: zfd_filter(?2, <the fields it tests>),
// with the filter itself bound as ?2 (?1 is a record id); empty for no conditions. Fills
// Filter. Raises EServerError when a condition names a field the table does not have.
AnsiString CompileFilter(const TTableSchema& Schema, const std::vector<TFilterCondition>& Conditions,
                         TCompiledFilter& Filter);
// Binds Filter as ?2 of Stmt, when it has conditions. Filter must outlive the statement's use.
void BindFilter(TSqliteStatement& Stmt, TCompiledFilter& Filter);

// A field's name as a quoted column.
AnsiString ColumnOf(const TTableSchema& Schema, std::size_t Field);

// One term of the key's order.
struct TKeyTerm {
    std::size_t Field;  // in the schema
    int Place;          // among the key fields
    bool Code;          // the order code, else the value
};
// The key's terms, in order (empty without a key).
std::vector<TKeyTerm> KeyTerms(const TTableSchema& Schema);
// The terms of the key fields' values, one per key field.
std::vector<TKeyTerm> ValueTerms(const TTableSchema& Schema);
// Term of Text (a column or a value) as it is ordered and compared.
AnsiString TermOf(const TTableSchema& Schema, const TKeyTerm& Term, const AnsiString& Text);
// "t1, t2, " for the key's terms on the columns behind Qualifier, each followed by Direction
// (empty without a key).
AnsiString KeyOrderSql(const TTableSchema& Schema, const AnsiString& Qualifier, const char* Direction = "");
// The records whose key comes after (Op '>') or before (Op '<') the key Bound gives field by
// field, or equals it when OrEqual. Bound gets a key field and its place among the keys, and
// gives the SQL of the key's value there.
AnsiString KeyRangeSql(const TTableSchema& Schema, char Op, bool OrEqual,
                       const std::function<AnsiString(std::size_t, int)>& Bound);

}  // namespace RecordServer
