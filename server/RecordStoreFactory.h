#pragma once
// Which store holds a dataset's table, chosen by its access file: none, a table in memory
// shared by the process; a PostgreSQL connection URI ("postgresql://..." or "postgres://..."),
// a table on that server; anything else, a SQLite database file at that path.
#include <memory>

#include "server/RecordStore.h"
#include "server/Schema.h"

namespace RecordServer {

// Opens the table of Schema (read from the file at CanonicalSchemaPath) where AccessFile
// says. Raises EServerError when it cannot be opened, saying where and why.
std::unique_ptr<TRecordStore> OpenRecordStore(const TTableSchema& Schema, const AnsiString& AccessFile,
                                              const AnsiString& CanonicalSchemaPath);

}  // namespace RecordServer
