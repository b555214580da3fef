#pragma once
// The collation and the function that a table file's key index is made of:
//
//   zfd_number         the collation of number key fields: exact decimal order, so that 13 and
//                      13.0 are one key and 12345678901234567890 and 12345678901234567891 are two
//   zfd_order(value)   a number key field's order code (NumberOrderCode): the key index compares
//                      these integers first, far cheaper than the collation
//
// A connection without them cannot check the index or write the table. The server registers
// them on each of its connections (RegisterSqlFunctions); the SQLite extension zopfiledb_sqlite
// is this same code built for SQLite's loader, so that other programs (the sqlite3 shell) check
// and write table files in the server's order.
struct sqlite3;

namespace RecordServer {

constexpr const char* NumberCollation = "zfd_number";
constexpr const char* NumberOrderFunction = "zfd_order";

// Registers zfd_number and zfd_order on Db. Answers SQLITE_OK or SQLite's error code.
int RegisterKeyFunctions(sqlite3* Db);

}  // namespace RecordServer
