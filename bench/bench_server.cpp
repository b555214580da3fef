// The record server beside the same work done directly with SQLite, at 1k, 100k and 1M
// records of the demo's customer table (13 fields, numeric key):
//   Open          open a session on the table (ours: the view of ordered ids is read) /
//                 open a connection and read the ids in key order
//   MoveTo        position on a random record and read its 13 fields /
//                 select the record by id and read its 13 columns
//   Next          step to the next record and read its 13 fields (wrapping at the end) /
//                 step a statement that selects the records in key order
//   First         go to the first record and read its 13 fields /
//                 select the first record in key order
//   InsertPost    Insert, 13 SetFieldValue, Post / one INSERT, one transaction per record
//   Filter        apply the demo's two filter lines / the equivalent SELECT
//   Memory        heap used by the table: ours (SQLite's memory table, the index, the
//                 session and its view) / the same table and index in SQLite alone
// Run in a Release build: bench/bench_server.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "interface/Ostrel_TLB.h"
#include "framework/core/TextUtils.h"
#include "server/MemoryTables.h"
#include "server/RegisterFileDataSetServer.h"

namespace {

namespace fs = std::filesystem;

const char* const FieldNames[13] = {"CustNo", "Company", "Addr1", "Addr2",   "City",    "State",          "Zip",
                                    "Country", "Phone",  "FAX",   "TaxRate", "Contact", "LastInvoiceDate"};
const char* const DemoStart = "過濾客戶開始條件,CustNo,1,2,>=,13,";
const char* const DemoEnd = "過濾客戶結束條件,CustNo,1,2,<=,62,";

void Check(int Rc, sqlite3* Db, const char* What)
{
    if (Rc != SQLITE_OK && Rc != SQLITE_DONE && Rc != SQLITE_ROW)
        throw std::runtime_error(std::string(What) + ": " + sqlite3_errmsg(Db));
}

void Exec(sqlite3* Db, const std::string& Sql)
{
    Check(sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, nullptr), Db, Sql.c_str());
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

// The values of record I; CustNo is I + 1000 so the demo filter keeps a share of them.
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

// The INSERT of the 13 fields, as parameters ?1 to ?13.
sqlite3_stmt* PrepareInsert(sqlite3* Db)
{
    std::string Cols, Params;
    for (int I = 0; I < 13; ++I) {
        Cols += std::string(I ? ", " : "") + '"' + FieldNames[I] + '"';
        Params += std::string(I ? ", " : "") + "?";
    }
    sqlite3_stmt* Stmt = nullptr;
    Check(sqlite3_prepare_v2(Db, ("INSERT INTO Customer (" + Cols + ") VALUES (" + Params + ")").c_str(), -1, &Stmt,
                             nullptr),
          Db, "prepare insert");
    return Stmt;
}

// Inserts Count records (keys from First) through Db in one transaction.
void BulkFill(sqlite3* Db, std::int64_t First, std::int64_t Count)
{
    sqlite3_stmt* Stmt = PrepareInsert(Db);
    Exec(Db, "BEGIN");
    for (std::int64_t Key = First; Key < First + Count; ++Key) {
        std::vector<std::string> Values = RecordValues(Key);
        for (int I = 0; I < 13; ++I) sqlite3_bind_text(Stmt, I + 1, Values[I].c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(Stmt), Db, "insert");
        sqlite3_reset(Stmt);
    }
    Exec(Db, "COMMIT");
    sqlite3_finalize(Stmt);
}

// The same table layout and key index as the server's, in SQLite alone.
const char* const DirectTable =
    "CREATE TABLE Customer (id INTEGER PRIMARY KEY AUTOINCREMENT, \"CustNo\" TEXT NOT NULL DEFAULT '', "
    "\"Company\" TEXT NOT NULL DEFAULT '', \"Addr1\" TEXT NOT NULL DEFAULT '', \"Addr2\" TEXT NOT NULL DEFAULT '', "
    "\"City\" TEXT NOT NULL DEFAULT '', \"State\" TEXT NOT NULL DEFAULT '', \"Zip\" TEXT NOT NULL DEFAULT '', "
    "\"Country\" TEXT NOT NULL DEFAULT '', \"Phone\" TEXT NOT NULL DEFAULT '', \"FAX\" TEXT NOT NULL DEFAULT '', "
    "\"TaxRate\" TEXT NOT NULL DEFAULT '', \"Contact\" TEXT NOT NULL DEFAULT '', "
    "\"LastInvoiceDate\" TEXT NOT NULL DEFAULT '');"
    "CREATE UNIQUE INDEX CustomerKey ON Customer (CAST(\"CustNo\" AS NUMERIC));";

// One table of Size records for both sides, built once and shared by the benchmarks.
struct TTables {
    std::int64_t Size = 0;
    std::string SchemaPath;
    TComInterface<IFileDataSet> Session;  // ours, open
    sqlite3* Direct = nullptr;            // owned: a memory database with the same table
    std::string DirectUri;
    std::size_t OurBytes = 0, DirectBytes = 0;
    std::int64_t NextOurKey = 0, NextDirectKey = 0;
};

fs::path BenchFolder()
{
    static fs::path Folder = [] {
        fs::path P = fs::temp_directory_path() / ("zopfiledb-bench-" + std::to_string(getpid()));
        fs::create_directories(P);
        return P;
    }();
    return Folder;
}

TComInterface<IFileDataSet> NewSession(const std::string& SchemaPath)
{
    TComInterface<IFileDataSet> S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(OleVariant(SchemaPath)));
    OleCheck(S->SetAccessUser(OleVariant("1688")));
    return S;
}

TTables& Tables(std::int64_t Size)
{
    static std::map<std::int64_t, std::unique_ptr<TTables>> All;
    auto& Slot = All[Size];
    if (Slot) return *Slot;
    Slot = std::make_unique<TTables>();
    TTables& T = *Slot;
    T.Size = Size;
    CoInitialize();
    RegisterFileDataSetServer();

    // Ours: the demo schema (a copy per size, so each size has its own memory table).
    T.SchemaPath = (BenchFolder() / ("customer" + std::to_string(Size) + ".SFD")).string();
    fs::copy_file(DEMO_SCHEMA, T.SchemaPath, fs::copy_options::overwrite_existing);
    std::size_t Before = HeapInUse();
    T.Session = NewSession(T.SchemaPath);
    OleVariant Ignored;
    OleCheck(T.Session->Open(&Ignored));
    {
        sqlite3* Fill = nullptr;
        std::string Uri = RecordServer::MemoryDatabaseUri(fs::canonical(T.SchemaPath).string());
        sqlite3_open_v2(Uri.c_str(), &Fill, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
        BulkFill(Fill, 1000, Size);
        sqlite3_close(Fill);
    }
    OleCheck(T.Session->First());  // sees the other connection's commit and reads the view
    T.OurBytes = HeapInUse() - Before;

    Before = HeapInUse();
    T.DirectUri = "file:benchdirect" + std::to_string(Size) + "?mode=memory&cache=shared";
    sqlite3_open_v2(T.DirectUri.c_str(), &T.Direct, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
                    nullptr);
    Exec(T.Direct, DirectTable);
    BulkFill(T.Direct, 1000, Size);
    T.DirectBytes = HeapInUse() - Before;
    T.NextOurKey = T.NextDirectKey = 1000 + Size + 1000000;
    return T;
}

std::vector<OleVariant> NameVariants()
{
    std::vector<OleVariant> Names;
    for (const char* N : FieldNames) Names.emplace_back(N);
    return Names;
}

void ReadFields(IFileDataSet* S, const std::vector<OleVariant>& Names)
{
    for (const OleVariant& Name : Names) {
        OleVariant Value;
        S->GetFieldValue(Name, &Value);
        benchmark::DoNotOptimize(Value);
    }
}

// The 13 fields of the row a direct statement stands on, as text.
void ReadColumns(sqlite3_stmt* Stmt)
{
    for (int I = 1; I <= 13; ++I) {
        std::string Value(reinterpret_cast<const char*>(sqlite3_column_text(Stmt, I)));
        benchmark::DoNotOptimize(Value);
    }
}

// ---------------------------------------------------------------------------------------

void Ours_Open(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    for (auto _ : State) {
        TComInterface<IFileDataSet> S = NewSession(T.SchemaPath);
        OleVariant Ignored;
        OleCheck(S->Open(&Ignored));
        benchmark::DoNotOptimize(S.get());
    }
}

void Direct_Open(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    for (auto _ : State) {
        sqlite3* Db = nullptr;
        sqlite3_open_v2(T.DirectUri.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
        sqlite3_stmt* Stmt = nullptr;
        sqlite3_prepare_v2(Db, "SELECT id FROM Customer ORDER BY CAST(\"CustNo\" AS NUMERIC), id", -1, &Stmt, nullptr);
        std::vector<std::int64_t> Ids;
        while (sqlite3_step(Stmt) == SQLITE_ROW) Ids.push_back(sqlite3_column_int64(Stmt, 0));
        sqlite3_finalize(Stmt);
        sqlite3_close(Db);
        benchmark::DoNotOptimize(Ids.data());
    }
}

void Ours_MoveTo(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937 Random(1);
    for (auto _ : State) {
        T.Session->MoveTo(OleVariant(static_cast<int>(Random() % T.Size) + 1));
        ReadFields(T.Session.get(), Names);
    }
}

// Times one direct statement that selects one row, read with its 13 columns; Bind sets
// its parameters before each run.
template <class F>
void TimeRowSelect(benchmark::State& State, sqlite3* Db, const char* Sql, F&& Bind)
{
    sqlite3_stmt* Stmt = nullptr;
    Check(sqlite3_prepare_v2(Db, Sql, -1, &Stmt, nullptr), Db, Sql);
    for (auto _ : State) {
        Bind(Stmt);
        if (sqlite3_step(Stmt) == SQLITE_ROW) ReadColumns(Stmt);
        sqlite3_reset(Stmt);
    }
    sqlite3_finalize(Stmt);
}

void Direct_MoveTo(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(1);
    TimeRowSelect(State, T.Direct, "SELECT * FROM Customer WHERE id = ?1", [&](sqlite3_stmt* Stmt) {
        sqlite3_bind_int64(Stmt, 1, static_cast<std::int64_t>(Random() % T.Size) + 1);
    });
}

void Ours_Next(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::vector<OleVariant> Names = NameVariants();
    OleCheck(T.Session->First());
    std::int64_t Pos = 1;
    for (auto _ : State) {
        if (++Pos > T.Size) {
            T.Session->First();
            Pos = 1;
        } else {
            T.Session->Next();
        }
        ReadFields(T.Session.get(), Names);
    }
}

void Direct_Next(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(T.Direct, "SELECT * FROM Customer ORDER BY CAST(\"CustNo\" AS NUMERIC), id", -1, &Stmt, nullptr);
    for (auto _ : State) {
        if (sqlite3_step(Stmt) != SQLITE_ROW) {
            sqlite3_reset(Stmt);
            sqlite3_step(Stmt);
        }
        ReadColumns(Stmt);
    }
    sqlite3_finalize(Stmt);
}

void Ours_First(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::vector<OleVariant> Names = NameVariants();
    for (auto _ : State) {
        T.Session->First();
        ReadFields(T.Session.get(), Names);
    }
}

void Direct_First(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    TimeRowSelect(State, T.Direct, "SELECT * FROM Customer ORDER BY CAST(\"CustNo\" AS NUMERIC), id LIMIT 1",
                  [](sqlite3_stmt*) {});
}

void Ours_InsertPost(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::vector<OleVariant> Names = NameVariants();
    for (auto _ : State) {
        std::vector<std::string> Values = RecordValues(T.NextOurKey++);
        T.Session->Insert();
        for (int I = 0; I < 13; ++I) T.Session->SetFieldValue(Names[I], OleVariant(Values[I]));
        OleVariant Posted;
        OleCheck(T.Session->Post(&Posted));
    }
}

void Direct_InsertPost(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    sqlite3_stmt* Stmt = PrepareInsert(T.Direct);
    for (auto _ : State) {
        std::vector<std::string> Values = RecordValues(T.NextDirectKey++);
        for (int I = 0; I < 13; ++I) sqlite3_bind_text(Stmt, I + 1, Values[I].c_str(), -1, SQLITE_TRANSIENT);
        Check(sqlite3_step(Stmt), T.Direct, "insert");  // autocommit: one transaction per record
        sqlite3_reset(Stmt);
    }
    sqlite3_finalize(Stmt);
}

void Ours_Filter(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    OleVariant Ignored;
    for (auto _ : State) {
        T.Session->ClearFilterCommand();
        T.Session->AddFilterCommand(OleVariant(DemoStart), &Ignored);
        T.Session->AddFilterCommand(OleVariant(DemoEnd), &Ignored);
        OleCheck(T.Session->SetFiltered(true));
    }
    OleVariant Count;
    T.Session->GetRecordCount(&Count);
    State.counters["records"] = Count.AsInteger();
    OleCheck(T.Session->SetFiltered(false));
}

void Direct_Filter(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    sqlite3_stmt* Stmt = nullptr;
    sqlite3_prepare_v2(T.Direct,
                       "SELECT id FROM Customer WHERE CAST(substr(\"CustNo\", 1, 2) AS INTEGER) BETWEEN ?1 AND ?2 "
                       "ORDER BY CAST(\"CustNo\" AS NUMERIC), id",
                       -1, &Stmt, nullptr);
    std::size_t Count = 0;
    for (auto _ : State) {
        sqlite3_bind_int(Stmt, 1, 13);
        sqlite3_bind_int(Stmt, 2, 62);
        std::vector<std::int64_t> Ids;
        while (sqlite3_step(Stmt) == SQLITE_ROW) Ids.push_back(sqlite3_column_int64(Stmt, 0));
        sqlite3_reset(Stmt);
        Count = Ids.size();
    }
    State.counters["records"] = static_cast<double>(Count);
    sqlite3_finalize(Stmt);
}

void Memory(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    for (auto _ : State) benchmark::DoNotOptimize(T.OurBytes);
    State.counters["ours_MB"] = static_cast<double>(T.OurBytes) / 1e6;
    State.counters["sqlite_MB"] = static_cast<double>(T.DirectBytes) / 1e6;
    State.counters["ratio"] = static_cast<double>(T.OurBytes) / static_cast<double>(T.DirectBytes);
}

void Sizes(benchmark::internal::Benchmark* B)
{
    B->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(Memory)->Apply(Sizes)->Iterations(1);
BENCHMARK(Ours_Open)->Apply(Sizes);
BENCHMARK(Direct_Open)->Apply(Sizes);
BENCHMARK(Ours_MoveTo)->Apply(Sizes);
BENCHMARK(Direct_MoveTo)->Apply(Sizes);
BENCHMARK(Ours_Next)->Apply(Sizes);
BENCHMARK(Direct_Next)->Apply(Sizes);
BENCHMARK(Ours_First)->Apply(Sizes);
BENCHMARK(Direct_First)->Apply(Sizes);
BENCHMARK(Ours_Filter)->Apply(Sizes);
BENCHMARK(Direct_Filter)->Apply(Sizes);
BENCHMARK(Ours_InsertPost)->Apply(Sizes);
BENCHMARK(Direct_InsertPost)->Apply(Sizes);

BENCHMARK_MAIN();
