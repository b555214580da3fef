// The record server on PostgreSQL beside the same work done directly with libpq, on the demo's
// customer table (13 fields, numeric key), on a throwaway server of its own (fsync on, as a
// real server runs; Unix socket). Wall-clock time per operation; what is not part of the
// operation (another client's commit, the wait for its notice) is left out of the time.
//
//   InsertPost      Insert, 13 SetFieldValue, Post at a rising key / one prepared INSERT, one
//                   transaction (autocommit), into a table of the same columns and key index
//   Next            this session steps to the next record and reads its 13 fields
//   ForeignNext     another client committed one write, notified: in turn it adds a record at
//                   a random key and deletes the one it added; then the same Next
//   PausedNext      the same pause as ForeignNext's (the wait for the notice), without a
//                   commit, then the same Next: what ForeignNext is judged against, since
//                   a step after a pause finds the processor's caches cold
//   MoveTo          a random record's 13 fields / one prepared SELECT of the 13 fields by key
//
// Run in a Release build: bench/bench_pg; a table of ratios ends the output.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "interface/Ostrel_TLB.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/PgTestCluster.h"

namespace {

namespace fs = std::filesystem;

const char* const FieldNames[13] = {"CustNo", "Company", "Addr1", "Addr2",   "City",    "State",          "Zip",
                                    "Country", "Phone",  "FAX",   "TaxRate", "Contact", "LastInvoiceDate"};
using TSession = TComInterface<IFileDataSet>;

TPgTestCluster& Cluster()
{
    static TPgTestCluster Instance(true);
    return Instance;
}

PGconn* Connect(const std::string& Uri)
{
    PGconn* Conn = PQconnectdb(Uri.c_str());
    if (PQstatus(Conn) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(Conn));
    return Conn;
}

void Exec(PGconn* Conn, const std::string& Sql)
{
    PGresult* R = PQexec(Conn, Sql.c_str());
    bool Ok = PQresultStatus(R) == PGRES_COMMAND_OK || PQresultStatus(R) == PGRES_TUPLES_OK;
    std::string Error = PQresultErrorMessage(R);
    PQclear(R);
    if (!Ok) throw std::runtime_error(Sql.substr(0, 80) + ": " + Error);
}

void RunPrepared(PGconn* Conn, const char* Name, const std::vector<std::string>& Params)
{
    std::vector<const char*> Values;
    for (const std::string& P : Params) Values.push_back(P.c_str());
    PGresult* R = PQexecPrepared(Conn, Name, static_cast<int>(Values.size()), Values.data(), nullptr, nullptr, 0);
    bool Ok = PQresultStatus(R) == PGRES_COMMAND_OK || PQresultStatus(R) == PGRES_TUPLES_OK;
    std::string Error = PQresultErrorMessage(R);
    if (PQresultStatus(R) == PGRES_TUPLES_OK)
        for (int C = 0; C < PQnfields(R) && PQntuples(R) > 0; ++C) benchmark::DoNotOptimize(PQgetvalue(R, 0, C));
    PQclear(R);
    if (!Ok) throw std::runtime_error(std::string(Name) + ": " + Error);
}

std::string Columns()
{
    std::string Cols;
    for (int I = 0; I < 13; ++I) Cols += std::string(I ? ", " : "") + "\"" + FieldNames[I] + "\"";
    return Cols;
}

// The 13 values of the record with key Key.
std::vector<std::string> Values(long Key)
{
    std::string K = std::to_string(Key);
    return {K, "Company " + K, "Street " + K, "", "Taipei", "TW", "100", "Taiwan", "02-1234", "02-5678", "5", "Contact " + K,
            "2026-12-07"};
}

TSession OpenSession(const std::string& Uri)
{
    TSession S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(DEMO_SCHEMA));
    OleCheck(S->SetAccessUser("1688"));
    OleCheck(S->SetAccessFile(Uri.c_str()));
    OleVariant Ignored;
    OleCheck(S->Open(&Ignored));
    return S;
}

void ReadFields(IFileDataSet* S)
{
    for (const char* Name : FieldNames) {
        OleVariant Value;
        S->GetFieldValue(OleVariant(Name), &Value);
        benchmark::DoNotOptimize(Value);
    }
}

// One database per size: the server's Customer table filled with keys 10, 20, ... (so that a
// foreign insert can land between any two), a session on it, a plain client, and a direct
// table of the same columns and key index.
struct TTables {
    std::string Uri;
    long Size = 0;
    TSession A;
    PGconn* Direct = nullptr;  // owned: the direct work and the other client's commits
    long NextRisingKey = 0;
    long ForeignKey = 0;  // the record the other client added last (0: none)
};

TTables& Tables(long Size)
{
    static std::map<long, std::unique_ptr<TTables>> All;
    auto& Slot = All[Size];
    if (Slot) return *Slot;
    static bool Registered = [] {
        CoInitialize();
        RegisterFileDataSetServer();
        return true;
    }();
    (void)Registered;
    Slot = std::make_unique<TTables>();
    TTables& T = *Slot;
    T.Size = Size;
    T.Uri = Cluster().NewDatabase();
    OpenSession(T.Uri);  // makes the table, its key index, log and trigger
    T.Direct = Connect(T.Uri);
    std::string Gen = "SELECT (g * 10)::text";
    for (int I = 1; I < 13; ++I) Gen += I == 10 ? ", '5'" : ", '" + std::string(FieldNames[I]) + " ' || g";
    Gen += " FROM generate_series(1, " + std::to_string(Size) + ") AS g";
    // Filled in one statement without the log's trigger: the log is about changes, not the load.
    Exec(T.Direct, "ALTER TABLE \"Customer\" DISABLE TRIGGER USER");
    Exec(T.Direct, "INSERT INTO \"Customer\" (" + Columns() + ") " + Gen);
    Exec(T.Direct, "ALTER TABLE \"Customer\" ENABLE TRIGGER USER");
    std::string Cols;
    for (int I = 0; I < 13; ++I) Cols += std::string(I ? ", " : "") + "\"" + FieldNames[I] + "\" text NOT NULL DEFAULT ''";
    Exec(T.Direct, "CREATE TABLE direct (id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, " + Cols + ")");
    Exec(T.Direct, "CREATE UNIQUE INDEX direct_key ON direct (((\"CustNo\")::numeric))");
    Exec(T.Direct, "INSERT INTO direct (" + Columns() + ") " + Gen);
    Exec(T.Direct, "VACUUM ANALYZE");
    std::string Params;
    for (int I = 1; I <= 13; ++I) Params += (I > 1 ? ", $" : "$") + std::to_string(I);
    PQclear(PQprepare(T.Direct, "direct_insert", ("INSERT INTO direct (" + Columns() + ") VALUES (" + Params + ")").c_str(), 0, nullptr));
    PQclear(PQprepare(T.Direct, "direct_select",
                      ("SELECT " + Columns() + " FROM direct WHERE (\"CustNo\")::numeric = $1::numeric").c_str(), 0, nullptr));
    PQclear(PQprepare(T.Direct, "foreign_insert",
                      ("INSERT INTO \"Customer\" (" + Columns() + ") VALUES (" + Params + ")").c_str(), 0, nullptr));
    PQclear(PQprepare(T.Direct, "foreign_delete", "DELETE FROM \"Customer\" WHERE (\"CustNo\")::numeric = $1::numeric", 0, nullptr));
    T.A = OpenSession(T.Uri);
    T.NextRisingKey = Size * 10 + 10;
    return T;
}

void Next(IFileDataSet* S)
{
    OleVariant Eof;
    S->GetEof(&Eof);
    if (Eof.AsBoolean()) S->First();
    else S->Next();
    ReadFields(S);
}

void BM_InsertPost_Ours(benchmark::State& State)
{
    TTables& T = Tables(1000);
    for (auto _ : State) {
        std::vector<std::string> V = Values(T.NextRisingKey++);
        OleCheck(T.A->Insert());
        for (int I = 0; I < 13; ++I) OleCheck(T.A->SetFieldValue(OleVariant(FieldNames[I]), OleVariant(V[I].c_str())));
        OleVariant Ignored;
        OleCheck(T.A->Post(&Ignored));
    }
}

void BM_InsertPost_Direct(benchmark::State& State)
{
    TTables& T = Tables(1000);
    for (auto _ : State) RunPrepared(T.Direct, "direct_insert", Values(T.NextRisingKey++));
}

void BM_Next(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    for (auto _ : State) Next(T.A.get());
}

void BM_ForeignNext(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(7);
    for (auto _ : State) {
        State.PauseTiming();
        if (T.ForeignKey) {
            RunPrepared(T.Direct, "foreign_delete", {std::to_string(T.ForeignKey)});
            T.ForeignKey = 0;
        } else {
            T.ForeignKey = std::uniform_int_distribution<long>(1, T.Size)(Random) * 10 - 5;
            RunPrepared(T.Direct, "foreign_insert", Values(T.ForeignKey));
        }
        // Another machine's notice reaches this session a moment after the commit.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        State.ResumeTiming();
        Next(T.A.get());
    }
}

void BM_PausedNext(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    for (auto _ : State) {
        State.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        State.ResumeTiming();
        Next(T.A.get());
    }
}

void BM_MoveTo_Ours(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(11);
    OleVariant Count;
    T.A->GetRecordCount(&Count);
    int N = Count.AsInteger();
    for (auto _ : State) {
        OleCheck(T.A->MoveTo(OleVariant(std::uniform_int_distribution<int>(1, N)(Random))));
        ReadFields(T.A.get());
    }
}

void BM_MoveTo_Direct(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(11);
    for (auto _ : State)
        RunPrepared(T.Direct, "direct_select", {std::to_string(std::uniform_int_distribution<long>(1, T.Size)(Random) * 10)});
}

BENCHMARK(BM_InsertPost_Ours)->UseRealTime()->Iterations(2000);
BENCHMARK(BM_InsertPost_Direct)->UseRealTime()->Iterations(2000);
BENCHMARK(BM_Next)->Arg(1000)->Arg(1000000)->UseRealTime()->Iterations(5000);
BENCHMARK(BM_ForeignNext)->Arg(1000)->Arg(1000000)->UseRealTime()->Iterations(500);
BENCHMARK(BM_PausedNext)->Arg(1000)->Arg(1000000)->UseRealTime()->Iterations(500);
BENCHMARK(BM_MoveTo_Ours)->Arg(1000000)->UseRealTime()->Iterations(5000);
BENCHMARK(BM_MoveTo_Direct)->Arg(1000000)->UseRealTime()->Iterations(5000);

}  // namespace

BENCHMARK_MAIN();
