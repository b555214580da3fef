#include "server/MemoryTables.h"

#include <map>
#include <memory>
#include <mutex>

#include "framework/core/TextUtils.h"
#include "server/SqliteDb.h"

namespace RecordServer {

namespace {

struct TMemoryDatabase {
    AnsiString Uri;
    std::unique_ptr<TSqliteDb> KeepAlive;  // owned: holds the database while the process runs
    // Shared with the stores of the tables' sessions; by table name in lower case (SQLite's
    // names are the same in either case).
    std::map<AnsiString, std::shared_ptr<TMemoryChangeLog>> Logs;
};

struct TRegistry {
    std::mutex Lock;
    std::map<AnsiString, TMemoryDatabase> Databases;  // by canonical schema path
    int NextNumber = 1;  // never reused, so a dropped database is never met again
};

TRegistry& Registry()
{
    // Never destroyed: sessions may still close their connections while the process exits.
    static TRegistry* Instance = new TRegistry;
    return *Instance;
}

// The database of the schema at CanonicalSchemaPath; the caller holds the registry's lock.
TMemoryDatabase& DatabaseOf(TRegistry& R, const AnsiString& CanonicalSchemaPath)
{
    auto It = R.Databases.find(CanonicalSchemaPath);
    if (It != R.Databases.end()) return It->second;
    TMemoryDatabase Db;
    Db.Uri = "file:zfdmem" + IntToStr(R.NextNumber++) + "?mode=memory&cache=shared";
    Db.KeepAlive = std::make_unique<TSqliteDb>(Db.Uri);
    return R.Databases.emplace(CanonicalSchemaPath, std::move(Db)).first->second;
}

}  // namespace

AnsiString MemoryDatabaseUri(const AnsiString& CanonicalSchemaPath)
{
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    return DatabaseOf(R, CanonicalSchemaPath).Uri;
}

std::shared_ptr<TMemoryChangeLog> MemoryTableLog(const AnsiString& CanonicalSchemaPath, const AnsiString& TableName,
                                                 AnsiString& Uri)
{
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    TMemoryDatabase& Db = DatabaseOf(R, CanonicalSchemaPath);
    Uri = Db.Uri;
    std::shared_ptr<TMemoryChangeLog>& Log = Db.Logs[LowerCase(TableName)];
    if (!Log) Log = std::make_shared<TMemoryChangeLog>();
    return Log;
}

void DropAllMemoryDatabases()
{
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    R.Databases.clear();
}

}  // namespace RecordServer
