#pragma once
// The PostgreSQL implementation of the storage seam, for tables that many users on many
// machines share. A dataset selects it with a connection URI as its access file
// ("postgresql://user@host:port/dbname", or "postgres://...").
//
// The table: zfd_id (bigint identity, never reused), zfd_ver (the record's version) and one
// text column per schema field. A unique index on the key fields orders the records (number
// fields by their exact NUMERIC value, texts by their bytes, COLLATE "C") and refuses a
// duplicate key however many writers post at once. The store creates the table, its index
// and its change log on first open, and refuses a table whose columns disagree with the
// schema, naming each difference.
//
// The change log, zfd_log_<table> (seq, id, what, oldkey), is written by a trigger on the
// table, in the writing transaction, for every writer (a plain SQL client included). Its
// sequences come from a per-table counter row in zfd_sequences, which the trigger raises:
// writers of one table queue on that row from their write to their commit, so the sequences
// have no gaps and follow the commit order, as a reader of the log needs. The trigger also
// sends a notification on the table's channel; sessions LISTEN, and read the log only after a
// notification of another connection (or a write of another session of this process, which
// needs no round trip to be known).
//
// Every value travels as a bound parameter; the only names in the SQL are the schema's table
// and field names, which the schema parser checked and which are quoted. Filters run in this
// process, by the same code as in the SQLite store, on the field texts read.
//
// A lost connection makes the call that met it fail with a message saying so; the next call
// connects again and reads the log (or the whole view, when the log was trimmed meanwhile).
#include <memory>

#include "server/RecordStore.h"
#include "server/Schema.h"

namespace RecordServer {

// True when AccessFile is a PostgreSQL connection URI.
bool IsPostgresUri(const AnsiString& AccessFile);
// Connects to Uri and opens the table of Schema there, creating it when it does not exist.
// Raises EServerError when the server cannot be reached or the table disagrees with Schema.
std::unique_ptr<TRecordStore> OpenPostgresStore(const TTableSchema& Schema, const AnsiString& Uri);

}  // namespace RecordServer
