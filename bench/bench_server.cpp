// The record server beside the same work done directly with SQLite, on the demo's customer
// table (13 fields, numeric key), in memory and in a WAL file with the server's synchronous
// setting, at 1k, 100k and 1M records (and 10M with ZFD_BENCH_10M=1). Every case is timed on
// the wall clock, per operation; what is not part of the operation (the other session's
// commit, putting the table back to its size) is left out of the time. The table keeps its
// size through the run: every record a case adds it takes away again, and the other way round.
//
//   Next            this session steps to the next record and reads its 13 fields /
//                   check for commits (PRAGMA data_version), then select the first record
//                   after the last key read, as a cursor that re-seeks by key must
//   ForeignNext     another session committed one post: in turn it adds a record at a random
//                   key and deletes the one it added; then the same Next / the same direct Next
//   BusyNext        (ours only) the other session does the same work but commits nothing (it
//                   cancels its insert, or positions onto its record); then the same Next: the
//                   baseline of ForeignNext without the processor caches' share
//   InsertRising    Insert, 13 SetFieldValue, Post at a key after the last / one INSERT,
//                   one transaction
//   InsertRandom    the same at a random key in the middle
//   Delete          Delete of a random record (positioned onto untimed) / one DELETE
//   Page            MoveTo a random record, then 9 MoveNext, reading 13 fields each (what
//                   the grid reads) / check for commits, then select 10 records by key range
//   Open            open a session (the view of ordered ids is read) / open a connection
//                   and read the ids in key order
//   MoveTo, Filter  (memory) a random record's 13 fields; the demo's two filter lines
//   Memory          heap in use after the table was filled and opened, and the peak resident
//                   size (VmHWM) of a fresh process that opens the file table / reads its
//                   ids in key order
//
// File tables are built once per size and kept in the cache folder ($XDG_CACHE_HOME or
// ~/.cache, under zopfiledb-bench), since filling 10M records takes minutes.
// Each case runs three times, ours and the direct one in turns; a table of ours, raw and ratio
// (medians of the three runs) ends the output. Run in a Release build: bench/bench_server.
// The cases with untimed writes run a fixed number of iterations: 1000 in memory, 100 on a
// file, or ZFD_BENCH_ITERATIONS (to give a profiler enough samples).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>

#include "bench/BenchTables.h"
#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "interface/Ostrel_TLB.h"
#include "server/MemoryTables.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteSqlFunctions.h"

namespace {

using namespace Bench;

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

const char* const DemoStart = "過濾客戶開始條件,CustNo,1,2,>=,13,";
const char* const DemoEnd = "過濾客戶結束條件,CustNo,1,2,<=,62,";
const char* const KeyOrder = "CAST(\"CustNo\" AS NUMERIC)";

// The same table layout and key index as the server's, in SQLite alone.
const char* const DirectTable =
    "CREATE TABLE Customer (id INTEGER PRIMARY KEY AUTOINCREMENT, \"CustNo\" TEXT NOT NULL DEFAULT '', "
    "\"Company\" TEXT NOT NULL DEFAULT '', \"Addr1\" TEXT NOT NULL DEFAULT '', \"Addr2\" TEXT NOT NULL DEFAULT '', "
    "\"City\" TEXT NOT NULL DEFAULT '', \"State\" TEXT NOT NULL DEFAULT '', \"Zip\" TEXT NOT NULL DEFAULT '', "
    "\"Country\" TEXT NOT NULL DEFAULT '', \"Phone\" TEXT NOT NULL DEFAULT '', \"FAX\" TEXT NOT NULL DEFAULT '', "
    "\"TaxRate\" TEXT NOT NULL DEFAULT '', \"Contact\" TEXT NOT NULL DEFAULT '', "
    "\"LastInvoiceDate\" TEXT NOT NULL DEFAULT '');"
    "CREATE UNIQUE INDEX CustomerKey ON Customer (CAST(\"CustNo\" AS NUMERIC));";

fs::path BenchFolder()
{
    static fs::path Folder = [] {
        fs::path P = fs::temp_directory_path() / ("zopfiledb-bench-" + std::to_string(getpid()));
        fs::create_directories(P);
        return P;
    }();
    return Folder;
}

void FillDirect(const std::string& Target, std::int64_t Count, bool IsFile)
{
    sqlite3* Db = OpenDb(Target);
    if (IsFile) BulkLoadSettings(Db);
    Exec(Db, DirectTable);
    BulkFill(Db, Count);
    if (IsFile) FileSettings(Db);
    sqlite3_close(Db);
}

std::string DirectFileName(std::int64_t Size)
{
    return "direct-v1-" + std::to_string(Size) + ".db";
}

// Both sides of one table: two sessions of ours (A works, B is the other user) and two
// direct connections (Reader, Writer).
struct TTables {
    std::int64_t Size = 0;
    bool IsFile = false;
    std::string SchemaPath, AccessFile;
    TComInterface<IFileDataSet> A, B;
    sqlite3* Reader = nullptr;  // owned
    sqlite3* Writer = nullptr;  // owned
    std::size_t OurBytes = 0, DirectBytes = 0;
    std::int64_t NextRisingKey = 0;
};

TTables& Tables(bool IsFile, std::int64_t Size)
{
    static std::map<std::pair<bool, std::int64_t>, std::unique_ptr<TTables>> All;
    auto& Slot = All[{IsFile, Size}];
    if (Slot) return *Slot;
    Slot = std::make_unique<TTables>();
    TTables& T = *Slot;
    T.Size = Size;
    T.IsFile = IsFile;
    static bool Registered = [] {
        CoInitialize();
        RegisterFileDataSetServer();
        return true;
    }();
    (void)Registered;

    // A copy of the demo schema per table, so that each memory table is its own.
    T.SchemaPath = (BenchFolder() / ("customer" + std::string(IsFile ? "F" : "M") + std::to_string(Size) + ".SFD")).string();
    fs::copy_file(DEMO_SCHEMA, T.SchemaPath, fs::copy_options::overwrite_existing);
    std::string DirectTarget;
    std::size_t Before = HeapInUse();
    if (IsFile) {
        T.AccessFile = CachedFile(OursFileName(Size), [&](const std::string& Path) {
            FillOurs(T.SchemaPath, Path, Path, Size, true);
        });
    } else {
        FillOurs(T.SchemaPath, "", RecordServer::MemoryDatabaseUri(fs::canonical(T.SchemaPath).string()), Size, false);
    }
    T.A = OpenSession(T.SchemaPath, T.AccessFile);
    T.OurBytes = HeapInUse() - Before;  // the table and one session
    T.B = OpenSession(T.SchemaPath, T.AccessFile);

    Before = HeapInUse();
    if (IsFile) {
        DirectTarget = CachedFile(DirectFileName(Size), [&](const std::string& Path) { FillDirect(Path, Size, true); });
    } else {
        DirectTarget = "file:benchdirect" + std::to_string(Size) + "?mode=memory&cache=shared";
        T.Writer = OpenDb(DirectTarget);  // keeps the memory database while it is filled
        FillDirect(DirectTarget, Size, false);
    }
    if (!T.Writer) T.Writer = OpenDb(DirectTarget);
    T.Reader = OpenDb(DirectTarget);
    if (IsFile) {
        FileSettings(T.Writer);
        FileSettings(T.Reader);
    }
    T.DirectBytes = HeapInUse() - Before;
    T.NextRisingKey = KeyAt(Size) + 1;
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

// The 13 fields of the row a direct statement stands on (id first), as text.
void ReadColumns(sqlite3_stmt* Stmt)
{
    for (int I = 1; I <= 13; ++I) {
        std::string Value(reinterpret_cast<const char*>(sqlite3_column_text(Stmt, I)));
        benchmark::DoNotOptimize(Value);
    }
}

void Post(IFileDataSet* S)
{
    OleVariant Posted;
    OleCheck(S->Post(&Posted));
}

// Begins inserting the record of Key in S, its 13 fields set; not posted.
void BeginInsert(IFileDataSet* S, const std::vector<OleVariant>& Names, std::int64_t Key)
{
    std::vector<std::string> Values = RecordValues(Key);
    OleCheck(S->Insert());
    for (int I = 0; I < 13; ++I) S->SetFieldValue(Names[I], OleVariant(Values[I]));
}

void InsertRecord(IFileDataSet* S, const std::vector<OleVariant>& Names, std::int64_t Key)
{
    BeginInsert(S, Names, Key);
    Post(S);
}

// A direct cursor that re-seeks by key each step and checks for commits first, as a session
// must to see another user's change.
class TDirectCursor {
public:
    explicit TDirectCursor(sqlite3* Db) : FDb(Db)
    {
        FVersion = Prepare(Db, "PRAGMA data_version");
        FAfter = Prepare(Db, std::string("SELECT * FROM Customer WHERE ") + KeyOrder + " > ?1 ORDER BY " + KeyOrder +
                                 " LIMIT 1");
        FFirst = Prepare(Db, std::string("SELECT * FROM Customer ORDER BY ") + KeyOrder + " LIMIT 1");
    }
    ~TDirectCursor()
    {
        sqlite3_finalize(FVersion);
        sqlite3_finalize(FAfter);
        sqlite3_finalize(FFirst);
    }
    void Next()
    {
        sqlite3_step(FVersion);
        benchmark::DoNotOptimize(sqlite3_column_int64(FVersion, 0));
        sqlite3_reset(FVersion);
        sqlite3_bind_double(FAfter, 1, FKey);
        sqlite3_stmt* Stmt = FAfter;
        if (sqlite3_step(FAfter) != SQLITE_ROW) {  // past the last: wrap to the first
            sqlite3_reset(FAfter);
            Stmt = FFirst;
            Check(sqlite3_step(FFirst), FDb, "first");
        }
        FKey = sqlite3_column_double(Stmt, 1);
        ReadColumns(Stmt);
        sqlite3_reset(Stmt);
    }

private:
    sqlite3* FDb;  // not owned
    sqlite3_stmt *FVersion, *FAfter, *FFirst;  // owned
    double FKey = 0;
};

// Steps A forward, back to the first record after the last.
void OurNext(TTables& T, const std::vector<OleVariant>& Names)
{
    OleVariant Eof;
    T.A->GetEof(&Eof);
    if (Eof.AsBoolean()) T.A->First();
    else T.A->Next();
    ReadFields(T.A.get(), Names);
}

// ---------------------------------------------------------------------------------------

// Times A's Next once per iteration, after Between (untimed) has run; Between gets the
// iteration's number.
void TimeNexts(benchmark::State& State, TTables& T, const std::vector<OleVariant>& Names,
               const std::function<void(std::int64_t)>& Between)
{
    OleCheck(T.A->First());
    std::int64_t Iteration = 0;
    for (auto _ : State) {
        Between(Iteration++);
        auto Start = TClock::now();
        OurNext(T, Names);
        State.SetIterationTime(Seconds(Start));
    }
}

void Ours_Next(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    TimeNexts(State, T, NameVariants(), [](std::int64_t) {});
}

void Direct_Next(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    TDirectCursor Cursor(T.Reader);
    for (auto _ : State) {
        auto Start = TClock::now();
        Cursor.Next();
        State.SetIterationTime(Seconds(Start));
    }
}

void Ours_ForeignNext(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937_64 Random(3);
    // B adds a record at a random place, or takes away the one it added: one commit.
    TimeNexts(State, T, Names, [&](std::int64_t Iteration) {
        if (Iteration % 2) OleCheck(T.B->Delete());
        else InsertRecord(T.B.get(), Names, KeyBetween(Random, Size));
    });
    if (State.iterations() % 2) OleCheck(T.B->Delete());
}

void Ours_BusyNext(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937_64 Random(3);
    // B does ForeignNext's work, but commits nothing.
    TimeNexts(State, T, Names, [&](std::int64_t Iteration) {
        if (Iteration % 2 == 0) {
            BeginInsert(T.B.get(), Names, KeyBetween(Random, Size));
            OleCheck(T.B->Cancel());
        } else {
            T.B->MoveTo(OleVariant(static_cast<int>(Random() % static_cast<std::uint64_t>(Size)) + 1));
            ReadFields(T.B.get(), Names);
        }
    });
}

void Direct_ForeignNext(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    TDirectCursor Cursor(T.Reader);
    sqlite3_stmt* Insert = PrepareInsert(T.Writer);
    sqlite3_stmt* Delete = Prepare(T.Writer, "DELETE FROM Customer WHERE id = ?1");
    std::mt19937_64 Random(3);
    std::int64_t Added = 0;
    for (auto _ : State) {
        if (Added) {
            sqlite3_bind_int64(Delete, 1, Added);
            Check(sqlite3_step(Delete), T.Writer, "delete");
            sqlite3_reset(Delete);
            Added = 0;
        } else {
            BindValues(Insert, RecordValues(KeyBetween(Random, Size)));
            Check(sqlite3_step(Insert), T.Writer, "insert");
            sqlite3_reset(Insert);
            Added = sqlite3_last_insert_rowid(T.Writer);
        }
        auto Start = TClock::now();
        Cursor.Next();
        State.SetIterationTime(Seconds(Start));
    }
    if (Added) Exec(T.Writer, "DELETE FROM Customer WHERE id = " + std::to_string(Added));
    sqlite3_finalize(Insert);
    sqlite3_finalize(Delete);
}

// Insert+Post at a rising or a random key; the record is deleted again, untimed.
void OursInsert(benchmark::State& State, bool IsFile, std::int64_t Size, bool Rising)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937_64 Random(5);
    for (auto _ : State) {
        std::vector<std::string> Values = RecordValues(Rising ? T.NextRisingKey++ : KeyBetween(Random, Size));
        auto Start = TClock::now();
        OleCheck(T.A->Insert());
        for (int I = 0; I < 13; ++I) T.A->SetFieldValue(Names[I], OleVariant(Values[I]));
        Post(T.A.get());
        State.SetIterationTime(Seconds(Start));
        OleCheck(T.A->Delete());  // the posted record is the current one
    }
}

void DirectInsert(benchmark::State& State, bool IsFile, std::int64_t Size, bool Rising)
{
    TTables& T = Tables(IsFile, Size);
    sqlite3_stmt* Insert = PrepareInsert(T.Writer);
    sqlite3_stmt* Delete = Prepare(T.Writer, "DELETE FROM Customer WHERE id = ?1");
    std::mt19937_64 Random(5);
    for (auto _ : State) {
        std::vector<std::string> Values = RecordValues(Rising ? T.NextRisingKey++ : KeyBetween(Random, Size));
        auto Start = TClock::now();
        BindValues(Insert, Values);
        Check(sqlite3_step(Insert), T.Writer, "insert");  // autocommit: one transaction per record
        sqlite3_reset(Insert);
        State.SetIterationTime(Seconds(Start));
        sqlite3_bind_int64(Delete, 1, sqlite3_last_insert_rowid(T.Writer));
        Check(sqlite3_step(Delete), T.Writer, "delete");
        sqlite3_reset(Delete);
    }
    sqlite3_finalize(Insert);
    sqlite3_finalize(Delete);
}

void Ours_InsertRising(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    OursInsert(State, IsFile, Size, true);
}
void Direct_InsertRising(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    DirectInsert(State, IsFile, Size, true);
}
void Ours_InsertRandom(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    OursInsert(State, IsFile, Size, false);
}
void Direct_InsertRandom(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    DirectInsert(State, IsFile, Size, false);
}

// Delete of a random record; it is inserted again, untimed.
void Ours_Delete(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937_64 Random(7);
    for (auto _ : State) {
        std::int64_t Index = static_cast<std::int64_t>(Random() % static_cast<std::uint64_t>(Size));
        OleCheck(T.A->MoveTo(OleVariant(static_cast<int>(Index) + 1)));
        OleVariant Key;
        OleCheck(T.A->GetFieldValue(OleVariant("CustNo"), &Key));
        auto Start = TClock::now();
        OleCheck(T.A->Delete());
        State.SetIterationTime(Seconds(Start));
        InsertRecord(T.A.get(), Names, StrToInt(Key.AsString()));
    }
}

void Direct_Delete(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    sqlite3_stmt* Find = Prepare(T.Writer, std::string("SELECT id FROM Customer WHERE ") + KeyOrder + " = ?1");
    sqlite3_stmt* Delete = Prepare(T.Writer, "DELETE FROM Customer WHERE id = ?1");
    sqlite3_stmt* Insert = PrepareInsert(T.Writer);
    std::mt19937_64 Random(7);
    for (auto _ : State) {
        std::int64_t Key = KeyAt(static_cast<std::int64_t>(Random() % static_cast<std::uint64_t>(Size)));
        sqlite3_bind_int64(Find, 1, Key);
        Check(sqlite3_step(Find), T.Writer, "find");
        std::int64_t Id = sqlite3_column_int64(Find, 0);
        sqlite3_reset(Find);
        auto Start = TClock::now();
        sqlite3_bind_int64(Delete, 1, Id);
        Check(sqlite3_step(Delete), T.Writer, "delete");
        sqlite3_reset(Delete);
        State.SetIterationTime(Seconds(Start));
        BindValues(Insert, RecordValues(Key));
        Check(sqlite3_step(Insert), T.Writer, "insert");
        sqlite3_reset(Insert);
    }
    sqlite3_finalize(Find);
    sqlite3_finalize(Delete);
    sqlite3_finalize(Insert);
}

void Ours_Page(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937_64 Random(9);
    for (auto _ : State) {
        int First = static_cast<int>(Random() % static_cast<std::uint64_t>(Size - 10)) + 1;
        auto Start = TClock::now();
        T.A->MoveTo(OleVariant(First));
        ReadFields(T.A.get(), Names);
        for (int Row = 1; Row < 10; ++Row) {
            OleVariant OnRecord;
            T.A->MoveNext(&OnRecord);
            ReadFields(T.A.get(), Names);
        }
        State.SetIterationTime(Seconds(Start));
    }
}

void Direct_Page(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    sqlite3_stmt* Version = Prepare(T.Reader, "PRAGMA data_version");
    sqlite3_stmt* Page = Prepare(T.Reader, std::string("SELECT * FROM Customer WHERE ") + KeyOrder + " >= ?1 ORDER BY " +
                                               KeyOrder + " LIMIT 10");
    std::mt19937_64 Random(9);
    for (auto _ : State) {
        std::int64_t Key = KeyAt(static_cast<std::int64_t>(Random() % static_cast<std::uint64_t>(Size - 10)));
        auto Start = TClock::now();
        sqlite3_step(Version);
        benchmark::DoNotOptimize(sqlite3_column_int64(Version, 0));
        sqlite3_reset(Version);
        sqlite3_bind_int64(Page, 1, Key);
        while (sqlite3_step(Page) == SQLITE_ROW) ReadColumns(Page);
        sqlite3_reset(Page);
        State.SetIterationTime(Seconds(Start));
    }
    sqlite3_finalize(Version);
    sqlite3_finalize(Page);
}

void Ours_Open(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    for (auto _ : State) {
        auto Start = TClock::now();
        TComInterface<IFileDataSet> S = OpenSession(T.SchemaPath, T.AccessFile);
        benchmark::DoNotOptimize(S.get());
        State.SetIterationTime(Seconds(Start));
    }
}

// Reads the ids of Target's table in key order into memory: what a view needs.
std::vector<std::int64_t> ReadDirectIds(const std::string& Target)
{
    sqlite3* Db = OpenDb(Target);
    sqlite3_stmt* Stmt = Prepare(Db, std::string("SELECT id FROM Customer ORDER BY ") + KeyOrder + ", id");
    std::vector<std::int64_t> Ids;
    while (sqlite3_step(Stmt) == SQLITE_ROW) Ids.push_back(sqlite3_column_int64(Stmt, 0));
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
    return Ids;
}

void Direct_Open(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::string Target = sqlite3_db_filename(T.Reader, "main");
    if (!IsFile) Target = "file:benchdirect" + std::to_string(Size) + "?mode=memory&cache=shared";
    for (auto _ : State) {
        auto Start = TClock::now();
        std::vector<std::int64_t> Ids = ReadDirectIds(Target);
        benchmark::DoNotOptimize(Ids.data());
        State.SetIterationTime(Seconds(Start));
    }
}

void Ours_MoveTo(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::vector<OleVariant> Names = NameVariants();
    std::mt19937 Random(1);
    for (auto _ : State) {
        auto Start = TClock::now();
        T.A->MoveTo(OleVariant(static_cast<int>(Random() % Size) + 1));
        ReadFields(T.A.get(), Names);
        State.SetIterationTime(Seconds(Start));
    }
}

void Direct_MoveTo(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    sqlite3_stmt* Stmt = Prepare(T.Reader, "SELECT * FROM Customer WHERE id = ?1");
    std::mt19937 Random(1);
    for (auto _ : State) {
        auto Start = TClock::now();
        sqlite3_bind_int64(Stmt, 1, static_cast<std::int64_t>(Random() % Size) + 1);
        if (sqlite3_step(Stmt) == SQLITE_ROW) ReadColumns(Stmt);
        sqlite3_reset(Stmt);
        State.SetIterationTime(Seconds(Start));
    }
    sqlite3_finalize(Stmt);
}

void Ours_Filter(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    OleVariant Ignored;
    for (auto _ : State) {
        auto Start = TClock::now();
        T.A->ClearFilterCommand();
        T.A->AddFilterCommand(OleVariant(DemoStart), &Ignored);
        T.A->AddFilterCommand(OleVariant(DemoEnd), &Ignored);
        OleCheck(T.A->SetFiltered(true));
        State.SetIterationTime(Seconds(Start));
    }
    OleCheck(T.A->SetFiltered(false));
}

void Direct_Filter(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    sqlite3_stmt* Stmt = Prepare(T.Reader, std::string("SELECT id FROM Customer WHERE CAST(substr(\"CustNo\", 1, 2) AS "
                                                       "INTEGER) BETWEEN ?1 AND ?2 ORDER BY ") +
                                               KeyOrder + ", id");
    for (auto _ : State) {
        auto Start = TClock::now();
        sqlite3_bind_int(Stmt, 1, 13);
        sqlite3_bind_int(Stmt, 2, 62);
        std::vector<std::int64_t> Ids;
        while (sqlite3_step(Stmt) == SQLITE_ROW) Ids.push_back(sqlite3_column_int64(Stmt, 0));
        sqlite3_reset(Stmt);
        benchmark::DoNotOptimize(Ids.data());
        State.SetIterationTime(Seconds(Start));
    }
    sqlite3_finalize(Stmt);
}

// Heap in use by each side's table after filling it and opening one session / connection.
void Memory(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    for (auto _ : State) State.SetIterationTime(1e-9);
    State.counters["ours_MB"] = static_cast<double>(T.OurBytes) / 1e6;
    State.counters["sqlite_MB"] = static_cast<double>(T.DirectBytes) / 1e6;
}

// ---------------------------------------------------------------------------------------
// Peak resident size, measured in a fresh process (this program started again with
// --peak=ours|direct FILE): a process that already holds other tables would hide it.

int PeakChild(const std::string& Side, const std::string& File)
{
    if (Side == "ours") {
        CoInitialize();
        RegisterFileDataSetServer();
        fs::path Schema = BenchFolder() / "peak.SFD";
        fs::copy_file(DEMO_SCHEMA, Schema, fs::copy_options::overwrite_existing);
        TComInterface<IFileDataSet> S = OpenSession(Schema.string(), File);
        OleCheck(S->Last());
        std::printf("%ld %zu\n", VmHwmKb(), HeapInUse());
        fs::remove_all(BenchFolder());
    } else {
        std::vector<std::int64_t> Ids = ReadDirectIds(File);
        benchmark::DoNotOptimize(Ids.data());
        std::printf("%ld %zu\n", VmHwmKb(), HeapInUse());
    }
    return 0;
}

// Runs the peak measurement of Side on File in a child process: (VmHWM kB, heap bytes).
std::pair<long, std::size_t> MeasurePeak(const std::string& Self, const std::string& Side, const std::string& File)
{
    std::string Command = "'" + Self + "' --peak=" + Side + " '" + File + "'";
    FILE* Pipe = popen(Command.c_str(), "r");
    long Kb = -1;
    std::size_t Heap = 0;
    if (Pipe) {
        if (std::fscanf(Pipe, "%ld %zu", &Kb, &Heap) != 2) Kb = -1;
        pclose(Pipe);
    }
    return {Kb, Heap};
}

std::string SelfPath;

void PeakMemory(benchmark::State& State, bool IsFile, std::int64_t Size)
{
    TTables& T = Tables(IsFile, Size);
    std::string Direct = sqlite3_db_filename(T.Reader, "main");
    for (auto _ : State) State.SetIterationTime(1e-9);
    auto Ours = MeasurePeak(SelfPath, "ours", T.AccessFile);
    auto Raw = MeasurePeak(SelfPath, "direct", Direct);
    State.counters["ours_peak_MB"] = static_cast<double>(Ours.first) / 1024;
    State.counters["sqlite_peak_MB"] = static_cast<double>(Raw.first) / 1024;
    State.counters["ours_heap_MB"] = static_cast<double>(Ours.second) / 1e6;
    State.counters["sqlite_heap_MB"] = static_cast<double>(Raw.second) / 1e6;
}

// ---------------------------------------------------------------------------------------
// A console report, then a table of each Ours_ case beside its Direct_ case (medians of the
// runs of each).

class TPairReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& R : Runs)
            if (R.run_type == Run::RT_Iteration) FRuns[R.run_name.function_name].push_back(R.GetAdjustedRealTime());
    }
    void PrintPairs(std::ostream& Out)
    {
        for (auto& [Name, Times] : FRuns) {
            std::sort(Times.begin(), Times.end());
            FTimes[Name] = Times[Times.size() / 2];
        }
        Out << "\n" << std::left;
        char Line[200];
        std::snprintf(Line, sizeof Line, "%-40s %14s %14s %8s\n", "case", "ours (us)", "sqlite (us)", "ratio");
        Out << Line;
        for (const auto& [Name, Time] : FTimes) {
            if (Name.rfind("Ours_", 0) != 0) continue;
            auto Other = FTimes.find("Direct_" + Name.substr(5));
            if (Other == FTimes.end()) continue;
            std::snprintf(Line, sizeof Line, "%-40s %14.2f %14.2f %8.2f\n", Name.substr(5).c_str(), Time, Other->second,
                          Time / Other->second);
            Out << Line;
        }
        // Another session's commit is judged against a Next without one: right after another
        // Next, and after the same work of the other session without a commit.
        Out << "\n";
        std::snprintf(Line, sizeof Line, "%-32s %14s %14s %8s %14s %8s\n", "ours", "after a commit", "without", "ratio",
                      "busy, without", "ratio");
        Out << Line;
        for (const auto& [Name, Time] : FTimes) {
            if (Name.rfind("Ours_ForeignNext/", 0) != 0) continue;
            auto Plain = FTimes.find("Ours_Next/" + Name.substr(17));
            auto Busy = FTimes.find("Ours_BusyNext/" + Name.substr(17));
            if (Plain == FTimes.end() || Busy == FTimes.end()) continue;
            std::snprintf(Line, sizeof Line, "%-32s %14.2f %14.2f %8.2f %14.2f %8.2f\n", ("Next/" + Name.substr(17)).c_str(),
                          Time, Plain->second, Time / Plain->second, Busy->second, Time / Busy->second);
            Out << Line;
        }
    }

private:
    std::map<std::string, std::vector<double>> FRuns;
    std::map<std::string, double> FTimes;  // the median of each
};

using TCase = void (*)(benchmark::State&, bool, std::int64_t);

// The fixed number of iterations; ZFD_BENCH_ITERATIONS sets another (a profiler needs more).
std::int64_t FixedIterations(bool IsFile)
{
    if (const char* Set = std::getenv("ZFD_BENCH_ITERATIONS"); Set && std::atoll(Set) > 0) return std::atoll(Set);
    return IsFile ? 100 : 1000;
}

// Cases with untimed writes around the timed step get a fixed number of iterations: a minimum
// time counts only the timed part, and would run them for minutes.
void Register(const std::string& Name, TCase Case, bool IsFile, std::int64_t Size, bool UntimedWrites)
{
    std::string Full = Name + "/" + (IsFile ? "file" : "memory") + "/" + std::to_string(Size);
    auto* B = benchmark::RegisterBenchmark(Full.c_str(), [=](benchmark::State& S) { Case(S, IsFile, Size); });
    B->UseManualTime()->Unit(benchmark::kMicrosecond);
    if (UntimedWrites) B->Iterations(FixedIterations(IsFile));
    else B->MinTime(0.05);
}

// Three runs of a case, ours and the direct one in turns (ours first, then the direct one
// first, then ours), so that the machine's drift falls on both alike; the table takes the
// median of each. Direct is null for a case of ours alone.
void RegisterRuns(const std::string& Name, TCase Ours, TCase Direct, bool IsFile, std::int64_t Size, bool UntimedWrites)
{
    for (int Run = 0; Run < 3; ++Run) {
        bool OursFirst = Run != 1;
        if (OursFirst) Register("Ours_" + Name, Ours, IsFile, Size, UntimedWrites);
        if (Direct) Register("Direct_" + Name, Direct, IsFile, Size, UntimedWrites);
        if (!OursFirst) Register("Ours_" + Name, Ours, IsFile, Size, UntimedWrites);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--peak=", 7) == 0) return PeakChild(argv[1] + 7, argv[2]);
    SelfPath = fs::canonical("/proc/self/exe").string();

    std::vector<std::int64_t> Sizes = {1000, 100000, 1000000};
    if (const char* Big = std::getenv("ZFD_BENCH_10M"); Big && *Big && *Big != '0') Sizes.push_back(10000000);
    for (bool IsFile : {false, true}) {
        for (std::int64_t Size : Sizes) {
            auto* M = benchmark::RegisterBenchmark(
                (std::string("Memory/") + (IsFile ? "file/" : "memory/") + std::to_string(Size)).c_str(),
                [=](benchmark::State& S) { Memory(S, IsFile, Size); });
            M->UseManualTime()->Iterations(1);
            if (IsFile) {
                auto* P = benchmark::RegisterBenchmark(("PeakMemory/file/" + std::to_string(Size)).c_str(),
                                                       [=](benchmark::State& S) { PeakMemory(S, IsFile, Size); });
                P->UseManualTime()->Iterations(1);
            }
            for (auto [Name, Ours, Direct] : std::initializer_list<std::tuple<const char*, TCase, TCase>>{
                     {"Next", Ours_Next, Direct_Next},
                     {"ForeignNext", Ours_ForeignNext, Direct_ForeignNext},
                     {"Page", Ours_Page, Direct_Page},
                     {"InsertRising", Ours_InsertRising, Direct_InsertRising},
                     {"InsertRandom", Ours_InsertRandom, Direct_InsertRandom},
                     {"Delete", Ours_Delete, Direct_Delete},
                     {"Open", Ours_Open, Direct_Open},
                     {"MoveTo", Ours_MoveTo, Direct_MoveTo},
                     {"Filter", Ours_Filter, Direct_Filter}}) {
                bool Heavy = std::string(Name) == "Open" || std::string(Name) == "Filter";
                if ((Heavy || std::string(Name) == "MoveTo") && IsFile) continue;  // memory only
                bool Writes = std::string(Name) == "ForeignNext" || std::string(Name).rfind("Insert", 0) == 0 ||
                              std::string(Name) == "Delete";
                RegisterRuns(Name, Ours, Direct, IsFile, Size, Writes);
            }
            RegisterRuns("BusyNext", Ours_BusyNext, nullptr, IsFile, Size, true);
        }
    }
    benchmark::Initialize(&argc, argv);
    TPairReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    Reporter.PrintPairs(std::cout);
    benchmark::Shutdown();
    fs::remove_all(BenchFolder());
    return 0;
}
