// The record server on PostgreSQL beside the same work done directly with libpq, on the demo's
// customer table (13 fields, numeric key), on a throwaway server of its own (fsync on, as a
// real server runs; Unix socket). Wall-clock time per operation; what is not part of the
// operation (another client's commit, the wait for its notice) is left out of the time. Each
// case times ours and its baseline in turns, 20 operations at a time, and the run ends with a
// table of their means and ratios.
//
//   InsertPost      Insert, 13 SetFieldValue, Post at a rising key / one prepared INSERT, one
//                   transaction (autocommit), into a table of the same columns and key index
//   ForeignNext     another client committed one write, notified: in turn it adds a record at
//                   a random key and deletes the one it added; then this session steps to the
//                   next record and reads its 13 fields / the same pause without a commit, then
//                   the same step (a step after a pause finds the processor's caches cold)
//   MoveTo          a random record's 13 fields / one prepared SELECT of the 13 fields by key
//
// Run in a Release build: bench/bench_pg.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
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

using TClock = std::chrono::steady_clock;

// The wall-clock seconds that Body takes.
template <class F>
double Timed(F&& Body)
{
    auto Start = TClock::now();
    Body();
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// Mean microseconds per operation of each case: ours, and the work it is judged against.
struct TPair {
    double Ours = 0, Direct = 0;
};
std::map<std::string, TPair>& Pairs()
{
    static std::map<std::string, TPair> All;
    return All;
}

// Times ours and the baseline in turns, a block of 20 operations each (more than a session
// reads ahead, so that each side keeps the rhythm of its own page reads), so that what drifts
// on a shared machine - the disk's flush time, a checkpoint, another program's load - falls on
// both alike. Each side returns the seconds of its timed part (what it does untimed around it
// is its own business). Each iteration is one operation; the count is a multiple of 40.
template <class FOurs, class FDirect>
void RunPaired(benchmark::State& State, const std::string& Name, FOurs&& Ours, FDirect&& Direct)
{
    constexpr std::int64_t Block = 20;
    double Total[2] = {0, 0};
    std::int64_t Count[2] = {0, 0}, N = 0;
    for (auto _ : State) {
        int Side = static_cast<int>(N++ / Block % 2);
        double Seconds = Side ? Direct() : Ours();
        Total[Side] += Seconds;
        ++Count[Side];
        State.SetIterationTime(Seconds);
    }
    TPair& P = Pairs()[Name];
    P.Ours = Total[0] / static_cast<double>(std::max<std::int64_t>(Count[0], 1)) * 1e6;
    P.Direct = Total[1] / static_cast<double>(std::max<std::int64_t>(Count[1], 1)) * 1e6;
    State.counters["ours_us"] = P.Ours;
    State.counters["direct_us"] = P.Direct;
    State.counters["ratio"] = P.Ours / P.Direct;
}

void BM_InsertPost(benchmark::State& State)
{
    TTables& T = Tables(1000);
    RunPaired(
        State, "InsertPost",
        [&] {
            std::vector<std::string> V = Values(T.NextRisingKey++);
            return Timed([&] {
                OleCheck(T.A->Insert());
                for (int I = 0; I < 13; ++I) OleCheck(T.A->SetFieldValue(OleVariant(FieldNames[I]), OleVariant(V[I].c_str())));
                OleVariant Ignored;
                OleCheck(T.A->Post(&Ignored));
            });
        },
        [&] {
            std::vector<std::string> V = Values(T.NextRisingKey++);
            return Timed([&] { RunPrepared(T.Direct, "direct_insert", V); });
        });
}

// ForeignNext: another client committed one write, notified (in turn it adds a record at a
// random key and deletes the one it added), then this session's Next. Judged against the same
// pause without a commit, then the same Next: a step after a pause finds the processor's
// caches cold.
void BM_ForeignNext(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(7);
    // Another machine's notice reaches this session a moment after the commit.
    auto Pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(2)); };
    RunPaired(
        State, "ForeignNext/" + std::to_string(T.Size),
        [&] {
            if (T.ForeignKey) {
                RunPrepared(T.Direct, "foreign_delete", {std::to_string(T.ForeignKey)});
                T.ForeignKey = 0;
            } else {
                T.ForeignKey = std::uniform_int_distribution<long>(1, T.Size)(Random) * 10 - 5;
                RunPrepared(T.Direct, "foreign_insert", Values(T.ForeignKey));
            }
            Pause();
            return Timed([&] { Next(T.A.get()); });
        },
        [&] {
            Pause();
            return Timed([&] { Next(T.A.get()); });
        });
}

void BM_MoveTo(benchmark::State& State)
{
    TTables& T = Tables(State.range(0));
    std::mt19937 Random(11);
    OleVariant Count;
    T.A->GetRecordCount(&Count);
    int N = Count.AsInteger();
    RunPaired(
        State, "MoveTo/" + std::to_string(T.Size),
        [&] {
            int Index = std::uniform_int_distribution<int>(1, N)(Random);
            return Timed([&] {
                OleCheck(T.A->MoveTo(OleVariant(Index)));
                ReadFields(T.A.get());
            });
        },
        [&] {
            std::string Key = std::to_string(std::uniform_int_distribution<long>(1, T.Size)(Random) * 10);
            return Timed([&] { RunPrepared(T.Direct, "direct_select", {Key}); });
        });
}

BENCHMARK(BM_InsertPost)->UseManualTime()->Iterations(4000);
BENCHMARK(BM_ForeignNext)->Arg(1000)->Arg(1000000)->UseManualTime()->Iterations(1000);
BENCHMARK(BM_MoveTo)->Arg(1000000)->UseManualTime()->Iterations(10000);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\n%-24s %12s %12s %8s\n", "case", "ours (us)", "direct (us)", "ratio");
    for (const auto& [Name, P] : Pairs()) std::printf("%-24s %12.1f %12.1f %8.2f\n", Name.c_str(), P.Ours, P.Direct, P.Ours / P.Direct);
    benchmark::Shutdown();
    return 0;
}
