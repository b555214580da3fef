#pragma once
// The SQLite implementation of the storage seam. A table lives either in a shared memory
// database of the process (see MemoryTables.h) or in a database file in WAL mode that several
// processes may open at once. Every value is bound as a parameter; the only names written into
// SQL are the schema's table and field names, which the schema parser has checked and which
// are quoted. Filters run inside the query through an SQL function of ours, zfd_filter, to
// which the parsed filter lines are bound as a parameter.
//
// The table has two columns of the server's own besides the schema's fields, which are all
// stored as text: zfd_id, the record id (never reused), and zfd_ver, the record's version.
// A unique index on the key fields (numbers as exact decimals) orders the records and refuses a
// duplicate key even when two processes post at the same moment.
//
// The change log is a table of its own, zfd_log_<table> (seq, id, what, oldkey), filled by
// triggers on the table, so that every writer's commits are logged in their own transaction
// (also those of a plain connection or an older server); a trigger on the log trims it to
// its latest entries. A table made before the log existed gets it when it is next opened.
// A write of this server runs in one transaction that also reads its log entry's sequence,
// so that the session can skip its own entries.
#include <memory>

#include "server/RecordStore.h"
#include "server/Schema.h"

struct sqlite3;

namespace RecordServer {

// Opens the table of Schema in the memory database kept for the schema file at
// CanonicalSchemaPath, creating the table when it does not exist yet.
std::unique_ptr<TRecordStore> OpenMemoryStore(const TTableSchema& Schema, const AnsiString& CanonicalSchemaPath);
// Opens the table of Schema in the database file at Path, creating the file and the table
// when they do not exist yet.
std::unique_ptr<TRecordStore> OpenFileStore(const TTableSchema& Schema, const AnsiString& Path);

// Registers on a connection what the server's SQL needs: the function that runs filters
// inside queries, zfd_filter(filter, text...), where the filter is bound as a pointer
// parameter; and the collation zfd_number, the exact order of number keys, which the key
// index uses (so a connection without it, such as SQLite's own shell, can read the table but
// not write it).
void RegisterSqlFunctions(sqlite3* Db);

}  // namespace RecordServer
