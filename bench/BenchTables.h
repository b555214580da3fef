#pragma once
// What the benchmarks share: the demo's customer records (13 fields, a numeric key), tables of
// them built once per size and kept in the cache folder ($XDG_CACHE_HOME or ~/.cache, under
// zopfiledb-bench), since filling ten million records takes minutes, plain SQLite helpers that
// raise std::runtime_error, and the process's memory figures.
//
// The records have the keys 1000, 1002, 1004, ... (KeyAt), so that an odd key falls between
// two stored records.
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "com/ComObj.h"
#include "interface/Ostrel_TLB.h"

namespace Bench {

extern const char* const FieldNames[13];
constexpr int FieldCount = 13;

std::int64_t KeyAt(std::int64_t Index);
// A random odd key: between two stored records of a table of Size records.
std::int64_t KeyBetween(std::mt19937_64& Random, std::int64_t Size);
// The 13 field texts of the record with Key.
std::vector<std::string> RecordValues(std::int64_t Key);

// Plain SQLite; failures raise std::runtime_error naming the statement.
void Check(int Rc, sqlite3* Db, const std::string& What);
void Exec(sqlite3* Db, const std::string& Sql);
sqlite3_stmt* Prepare(sqlite3* Db, const std::string& Sql);
sqlite3* OpenDb(const std::string& Target);  // a path or a URI; busy timeout 5 s
// The INSERT of the 13 fields into Customer, as parameters ?1 to ?13.
sqlite3_stmt* PrepareInsert(sqlite3* Db);
void BindValues(sqlite3_stmt* Stmt, const std::vector<std::string>& Values);
// Inserts Count records (indexes 0..Count-1) through Db in one transaction.
void BulkFill(sqlite3* Db, std::int64_t Count);
// A bulk load into a file that is renamed into place only when complete needs no journal.
void BulkLoadSettings(sqlite3* Db);
// WAL with synchronous=FULL: the server's settings.
void FileSettings(sqlite3* Db);

std::filesystem::path CacheFolder();
// A file table in the cache, built once: Fill makes it at a temporary name, which is renamed
// when complete.
std::string CachedFile(const std::string& Name, const std::function<void(const std::string&)>& Fill);
// The name of the server's file table of Size customers in the cache.
std::string OursFileName(std::int64_t Size);
// Fills the server's table at Target (made by a session first, so that it has the server's
// layout) through a plain connection with Count customers. The server's triggers are dropped
// for the fill (the next session that opens the table makes them again, and finds what it
// keeps beside the table out of date): a bulk load needs no log.
void FillOurs(const std::string& SchemaPath, const std::string& AccessFile, const std::string& Target, std::int64_t Count,
              bool IsFile);

// A session of the demo's user on the table of SchemaPath at AccessFile; OpenSession opens it.
TComInterface<IFileDataSet> NewSession(const std::string& SchemaPath, const std::string& AccessFile);
TComInterface<IFileDataSet> OpenSession(const std::string& SchemaPath, const std::string& AccessFile);

// The wall-clock seconds since Start.
double Seconds(std::chrono::steady_clock::time_point Start);

// The process's peak resident size (VmHWM) in kB, and the heap in use in bytes.
long VmHwmKb();
std::size_t HeapInUse();

}  // namespace Bench
