// The SQL functions and the collation of ours that the SQLite store registers, and the SQL
// that calls them (see SqliteSqlFunctions.h).
#include "server/SqliteSqlFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/SqliteKeyFunctions.h"
#include "server/SqlText.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

const char* const FilterPointerType = "zfd_filter";

// zfd_filter(filter, text1, text2, ...): 1 when the texts pass every condition. Only the
// server's own SQL calls it (SQLITE_DIRECTONLY, and the extension for other programs does not
// have it), so its two errors mean the server built a wrong call: invariant checks, left
// untranslated.
void FilterFunction(sqlite3_context* Context, int Argc, sqlite3_value** Argv)
{
    auto* Filter = static_cast<const TCompiledFilter*>(sqlite3_value_pointer(Argv[0], FilterPointerType));
    if (!Filter) {
        sqlite3_result_error(Context, "zfd_filter is given no filter", -1);
        return;
    }
    for (std::size_t I = 0; I < Filter->Conditions.size(); ++I) {
        int Arg = Filter->Argument[I];
        if (Arg >= Argc) {
            sqlite3_result_error(Context, "zfd_filter is given too few fields", -1);
            return;
        }
        const char* Text = reinterpret_cast<const char*>(sqlite3_value_text(Argv[Arg]));
        std::string_view Value = Text ? std::string_view(Text, static_cast<std::size_t>(sqlite3_value_bytes(Argv[Arg])))
                                      : std::string_view();
        if (!ConditionHolds(Filter->Conditions[I], Value)) {
            sqlite3_result_int(Context, 0);
            return;
        }
    }
    sqlite3_result_int(Context, 1);
}

}  // namespace

void RegisterSqlFunctions(sqlite3* Db)
{
    RegisterKeyFunctions(Db);
    sqlite3_create_function_v2(Db, "zfd_filter", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                               &FilterFunction, nullptr, nullptr, nullptr);
}

AnsiString CompileFilter(const TTableSchema& Schema, const std::vector<TFilterCondition>& Conditions,
                         TCompiledFilter& Filter)
{
    // Only checked, quoted field names reach the SQL.
    if (Conditions.empty()) return {};
    AnsiString Args;
    for (const TFilterCondition& Cond : Conditions) {
        int Field = Schema.FieldIndex(Cond.FieldName);
        if (Field < 0)
            throw EServerError(FormatText(TranslateText("RecordStore",
                                                        "The filter names the field %1, which the table %2 does not have."),
                                          {Quoted(Cond.FieldName), Schema.TableName}),
                               E_INVALIDARG);
        auto It = std::find(Filter.Fields.begin(), Filter.Fields.end(), static_cast<std::size_t>(Field));
        if (It == Filter.Fields.end()) {
            Filter.Fields.push_back(static_cast<std::size_t>(Field));
            Args += ", " + ColumnOf(Schema, static_cast<std::size_t>(Field));
            It = Filter.Fields.end() - 1;
        }
        Filter.Conditions.push_back(Cond);
        Filter.Argument.push_back(static_cast<int>(It - Filter.Fields.begin()) + 1);
    }
    return "zfd_filter(?2" + Args + ")";
}

void BindFilter(TSqliteStatement& Stmt, TCompiledFilter& Filter)
{
    if (!Filter.Conditions.empty()) Stmt.BindPointer(2, &Filter, FilterPointerType);
}

AnsiString ColumnOf(const TTableSchema& Schema, std::size_t Field)
{
    return QuoteIdent(Schema.Fields[Field].Name);
}

// (Files made before kept an index on a number key's value alone, or on CAST(... AS NUMERIC),
// which went through a double; the index's name is made from its terms, so the store replaces
// it.)
std::vector<TKeyTerm> KeyTerms(const TTableSchema& Schema)
{
    std::vector<TKeyTerm> Terms;
    int Place = 0;
    for (std::size_t I = 0; I < Schema.Fields.size(); ++I) {
        if (!Schema.Fields[I].Key) continue;
        if (Schema.Fields[I].Type == TFieldType::Number) Terms.push_back({I, Place, true});
        Terms.push_back({I, Place++, false});
    }
    return Terms;
}

std::vector<TKeyTerm> ValueTerms(const TTableSchema& Schema)
{
    std::vector<TKeyTerm> Values = KeyTerms(Schema);
    std::erase_if(Values, [](const TKeyTerm& T) { return T.Code; });
    return Values;
}

AnsiString TermOf(const TTableSchema& Schema, const TKeyTerm& Term, const AnsiString& Text)
{
    if (Term.Code) return AnsiString(NumberOrderFunction) + "(" + Text + ")";
    return Schema.Fields[Term.Field].Type == TFieldType::Number ? Text + " COLLATE " + NumberCollation : Text;
}

AnsiString KeyOrderSql(const TTableSchema& Schema, const AnsiString& Qualifier, const char* Direction)
{
    AnsiString Result;
    for (const TKeyTerm& Term : KeyTerms(Schema))
        Result += TermOf(Schema, Term, Qualifier + ColumnOf(Schema, Term.Field)) + Direction + ", ";
    return Result;
}

AnsiString KeyRangeSql(const TTableSchema& Schema, char Op, bool OrEqual,
                       const std::function<AnsiString(std::size_t, int)>& Bound)
{
    // k1 >= b1 AND (k1 > b1 OR (k1 = b1 AND (k2 > b2 ...))), spelled out instead of a row value
    // so that SQLite searches the key index (it scans it for a row value of expressions). The
    // index can only be searched by its first term, so a number field leads with its order
    // code: code(k1) >= code(b1), which every record in the range meets; the rest is checked
    // on the records the search visits.
    const std::vector<TKeyTerm> Terms = KeyTerms(Schema), Values = ValueTerms(Schema);
    const AnsiString Strict{' ', Op, ' '}, Loose{' ', Op, '=', ' '};
    auto Stored = [&](const TKeyTerm& T) { return TermOf(Schema, T, ColumnOf(Schema, T.Field)); };
    auto Given = [&](const TKeyTerm& T) { return TermOf(Schema, T, Bound(T.Field, T.Place)); };
    AnsiString Range = Stored(Values.back()) + (OrEqual ? Loose : Strict) + Given(Values.back());
    for (std::size_t K = Values.size() - 1; K-- > 0;) {
        AnsiString E = Stored(Values[K]), B = Given(Values[K]);
        Range = E + Strict + B + " OR (" + E + " = " + B + " AND (" + Range + "))";
    }
    if (Terms.size() == 1) return Range;  // a text field alone: its range is its search
    return Stored(Terms.front()) + Loose + Given(Terms.front()) + " AND (" + Range + ")";
}

}  // namespace RecordServer
