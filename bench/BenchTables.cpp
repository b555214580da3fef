#include "bench/BenchTables.h"

#include <malloc.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "com/OleCheck.h"
#include "server/SqliteSqlFunctions.h"

namespace Bench {

namespace fs = std::filesystem;

const char* const FieldNames[13] = {"CustNo", "Company", "Addr1", "Addr2",   "City",    "State",          "Zip",
                                    "Country", "Phone",  "FAX",   "TaxRate", "Contact", "LastInvoiceDate"};

std::int64_t KeyAt(std::int64_t Index)
{
    return 1000 + 2 * Index;
}

std::int64_t KeyBetween(std::mt19937_64& Random, std::int64_t Size)
{
    return KeyAt(static_cast<std::int64_t>(Random() % static_cast<std::uint64_t>(Size))) + 1;
}

std::vector<std::string> RecordValues(std::int64_t Key)
{
    std::string K = std::to_string(Key);
    return {K,
            "Company number " + K,
            K + " Harbour Road",
            "Suite " + std::to_string(Key % 500),
            Key % 2 ? "Kaohsiung" : "Taipei",
            "TW",
            std::to_string(80000 + Key % 999),
            "Taiwan",
            "07-" + std::to_string(1000000 + Key % 8999999),
            "07-" + std::to_string(2000000 + Key % 7999999),
            std::to_string(Key % 10) + ".5",
            "Contact " + K,
            "1994/11/18 12:00:00"};
}

void Check(int Rc, sqlite3* Db, const std::string& What)
{
    if (Rc != SQLITE_OK && Rc != SQLITE_DONE && Rc != SQLITE_ROW)
        throw std::runtime_error(What + ": " + sqlite3_errmsg(Db));
}

void Exec(sqlite3* Db, const std::string& Sql)
{
    Check(sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, nullptr), Db, Sql);
}

sqlite3_stmt* Prepare(sqlite3* Db, const std::string& Sql)
{
    sqlite3_stmt* Stmt = nullptr;
    Check(sqlite3_prepare_v2(Db, Sql.c_str(), -1, &Stmt, nullptr), Db, Sql);
    return Stmt;
}

sqlite3* OpenDb(const std::string& Target)
{
    sqlite3* Db = nullptr;
    int Rc = sqlite3_open_v2(Target.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    Check(Rc, Db, "open " + Target);
    sqlite3_busy_timeout(Db, 5000);
    return Db;
}

sqlite3_stmt* PrepareInsert(sqlite3* Db)
{
    std::string Cols, Params;
    for (int I = 0; I < FieldCount; ++I) {
        Cols += std::string(I ? ", " : "") + '"' + FieldNames[I] + '"';
        Params += std::string(I ? ", " : "") + "?";
    }
    return Prepare(Db, "INSERT INTO Customer (" + Cols + ") VALUES (" + Params + ")");
}

void BindValues(sqlite3_stmt* Stmt, const std::vector<std::string>& Values)
{
    for (int I = 0; I < FieldCount; ++I) sqlite3_bind_text(Stmt, I + 1, Values[I].c_str(), -1, SQLITE_TRANSIENT);
}

void BulkFill(sqlite3* Db, std::int64_t Count)
{
    sqlite3_stmt* Stmt = PrepareInsert(Db);
    Exec(Db, "BEGIN");
    for (std::int64_t I = 0; I < Count; ++I) {
        BindValues(Stmt, RecordValues(KeyAt(I)));
        Check(sqlite3_step(Stmt), Db, "insert");
        sqlite3_reset(Stmt);
    }
    Exec(Db, "COMMIT");
    sqlite3_finalize(Stmt);
}

void BulkLoadSettings(sqlite3* Db)
{
    Exec(Db, "PRAGMA journal_mode=OFF");
    Exec(Db, "PRAGMA synchronous=OFF");
    Exec(Db, "PRAGMA cache_size=-1000000");
}

void FileSettings(sqlite3* Db)
{
    Exec(Db, "PRAGMA journal_mode=WAL");
    Exec(Db, "PRAGMA synchronous=FULL");
}

fs::path CacheFolder()
{
    const char* Xdg = std::getenv("XDG_CACHE_HOME");
    const char* Home = std::getenv("HOME");
    fs::path Base = Xdg && *Xdg ? fs::path(Xdg) : fs::path(Home ? Home : "/tmp") / ".cache";
    fs::path P = Base / "zopfiledb-bench";
    fs::create_directories(P);
    return P;
}

std::string CachedFile(const std::string& Name, const std::function<void(const std::string&)>& Fill)
{
    fs::path Final = CacheFolder() / Name;
    if (fs::exists(Final)) return Final.string();
    fs::path Temp = CacheFolder() / (Name + ".building");
    for (const char* Suffix : {"", "-wal", "-shm"}) fs::remove(Temp.string() + Suffix);
    Fill(Temp.string());
    sqlite3* Db = OpenDb(Temp.string());
    Exec(Db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(Db);
    fs::rename(Temp, Final);
    for (const char* Suffix : {"-wal", "-shm"}) fs::remove(Temp.string() + Suffix);
    return Final.string();
}

std::string OursFileName(std::int64_t Size)
{
    return "ours-v3-" + std::to_string(Size) + ".db";
}

TComInterface<IFileDataSet> NewSession(const std::string& SchemaPath, const std::string& AccessFile)
{
    TComInterface<IFileDataSet> S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(OleVariant(SchemaPath)));
    OleCheck(S->SetAccessUser(OleVariant("1688")));
    OleCheck(S->SetAccessFile(OleVariant(AccessFile)));
    return S;
}

TComInterface<IFileDataSet> OpenSession(const std::string& SchemaPath, const std::string& AccessFile)
{
    TComInterface<IFileDataSet> S = NewSession(SchemaPath, AccessFile);
    OleVariant Ignored;
    OleCheck(S->Open(&Ignored));
    return S;
}

void FillOurs(const std::string& SchemaPath, const std::string& AccessFile, const std::string& Target, std::int64_t Count,
              bool IsFile)
{
    {
        TComInterface<IFileDataSet> Maker = OpenSession(SchemaPath, AccessFile);
        OleCheck(Maker->Close());
    }
    sqlite3* Db = OpenDb(Target);
    RecordServer::RegisterSqlFunctions(Db);  // the key index's collation
    if (IsFile) BulkLoadSettings(Db);
    std::vector<std::string> Triggers;
    sqlite3_stmt* List = Prepare(Db, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'zfd_log%'");
    while (sqlite3_step(List) == SQLITE_ROW) Triggers.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(List, 0)));
    sqlite3_finalize(List);
    for (const std::string& T : Triggers) Exec(Db, "DROP TRIGGER \"" + T + "\"");
    BulkFill(Db, Count);
    if (IsFile) FileSettings(Db);
    sqlite3_close(Db);
}

double Seconds(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

long VmHwmKb()
{
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.rfind("VmHWM:", 0) == 0) return std::strtol(Line.c_str() + 6, nullptr, 10);
    return -1;
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

}  // namespace Bench
