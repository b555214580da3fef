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

}  // namespace

AnsiString MemoryDatabaseUri(const AnsiString& CanonicalSchemaPath)
{
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    auto It = R.Databases.find(CanonicalSchemaPath);
    if (It != R.Databases.end()) return It->second.Uri;
    TMemoryDatabase Db;
    Db.Uri = "file:zfdmem" + IntToStr(R.NextNumber++) + "?mode=memory&cache=shared";
    Db.KeepAlive = std::make_unique<TSqliteDb>(Db.Uri);
    AnsiString Uri = Db.Uri;
    R.Databases.emplace(CanonicalSchemaPath, std::move(Db));
    return Uri;
}

void DropAllMemoryDatabases()
{
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    R.Databases.clear();
}

}  // namespace RecordServer
