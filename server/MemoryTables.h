#pragma once
// The in-memory databases that hold the tables of sessions opened without an access file.
// One database per schema file (by its canonical path), shared by every session of the
// process: each session opens its own connection to it, and the registry keeps one more
// connection open for the life of the process, since SQLite drops a memory database when
// its last connection closes. Safe to use from any thread.
#include <memory>

#include "framework/core/Exceptions.h"
#include "server/MemoryChangeLog.h"

namespace RecordServer {

// The URI to open for the memory database of the schema at CanonicalSchemaPath; the first
// call for a schema creates the database.
AnsiString MemoryDatabaseUri(const AnsiString& CanonicalSchemaPath);
// The change log of the table named TableName in that database (made on first use); Uri
// receives the database's URI, as MemoryDatabaseUri gives it.
std::shared_ptr<TMemoryChangeLog> MemoryTableLog(const AnsiString& CanonicalSchemaPath, const AnsiString& TableName,
                                                 AnsiString& Uri);
// Forgets every memory database: sessions opened afterwards start with empty tables.
// Sessions still open keep the database they have until they close.
void DropAllMemoryDatabases();

}  // namespace RecordServer
