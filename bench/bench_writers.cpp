// Posts from several processes to one file table: how long one post waits for the others.
// Each of 1, 3 and 6 writer processes posts PostsPerWriter records (Insert, 13
// SetFieldValue, Post) to the demo's customer table in one database file, all starting at
// once; every post's time is recorded, and the benchmark reports the median (p50_ms), the
// 99th percentile (p99_ms) and the slowest (max_ms) over all posts. Beside it, the same load
// on SQLite alone: each process runs one INSERT per record in its own transaction, with
// SQLite's own busy timeout of 5 s.
// Run in a Release build: bench/bench_writers.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "interface/Ostrel_TLB.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteSqlFunctions.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int PostsPerWriter = 150;
const char* const FieldNames[13] = {"CustNo", "Company", "Addr1", "Addr2",   "City",    "State",          "Zip",
                                    "Country", "Phone",  "FAX",   "TaxRate", "Contact", "LastInvoiceDate"};

std::vector<std::string> RecordValues(std::int64_t Key)
{
    std::string K = std::to_string(Key);
    std::vector<std::string> Values{K};
    for (int I = 1; I < 13; ++I) Values.push_back(std::string(1, 'v') + std::to_string(I) + "/" + std::to_string(Key % 100000));
    Values[10] = std::to_string(Key % 10) + ".5";
    return Values;
}

// A fresh folder with the demo schema and an empty database file made by the server.
struct TTableFile {
    fs::path Folder;
    std::string Schema, Database;
    TTableFile()
    {
        Folder = fs::temp_directory_path() / ("bench_writers_" + std::to_string(getpid()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        Schema = (Folder / "customer.SFD").string();
        Database = (Folder / "customer.db").string();
        fs::copy_file(DEMO_SCHEMA, Schema);
    }
    ~TTableFile() { fs::remove_all(Folder); }
};

TComInterface<IFileDataSet> OpenServer(const TTableFile& Table)
{
    TComInterface<IFileDataSet> S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(OleVariant(Table.Schema)));
    OleCheck(S->SetAccessUser(OleVariant("1688")));
    OleCheck(S->SetAccessFile(OleVariant(Table.Database)));
    OleVariant R;
    OleCheck(S->Open(&R));
    return S;
}

// One writer process: waits for the start signal, posts its records and sends each post's
// time in microseconds through Out.
void Writer(const TTableFile& Table, bool Ours, int Number, int Start, int Out)
{
    char Go = 0;
    if (read(Start, &Go, 1) != 1) _exit(2);
    std::vector<std::int64_t> Times;
    if (Ours) {
        CoInitialize();
        TComInterface<IFileDataSet> S = OpenServer(Table);
        for (int I = 0; I < PostsPerWriter; ++I) {
            std::vector<std::string> Values = RecordValues(1000000LL * (Number + 1) + I);
            Clock::time_point T0 = Clock::now();
            OleCheck(S->Insert());
            for (int F = 0; F < 13; ++F) OleCheck(S->SetFieldValue(OleVariant(FieldNames[F]), OleVariant(Values[F])));
            OleVariant R;
            OleCheck(S->Post(&R));
            Times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - T0).count());
        }
    } else {
        sqlite3* Db = nullptr;
        sqlite3_open(Table.Database.c_str(), &Db);
        RecordServer::RegisterSqlFunctions(Db);
        sqlite3_busy_timeout(Db, 5000);
        sqlite3_exec(Db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        std::string Sql = "INSERT INTO \"Customer\" (";
        for (int F = 0; F < 13; ++F) Sql += std::string(F ? ", " : "") + "\"" + FieldNames[F] + "\"";
        Sql += ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)";
        sqlite3_stmt* Insert = nullptr;
        sqlite3_prepare_v2(Db, Sql.c_str(), -1, &Insert, nullptr);
        for (int I = 0; I < PostsPerWriter; ++I) {
            std::vector<std::string> Values = RecordValues(1000000LL * (Number + 1) + I);
            Clock::time_point T0 = Clock::now();
            for (int F = 0; F < 13; ++F) sqlite3_bind_text(Insert, F + 1, Values[F].c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(Insert) != SQLITE_DONE) _exit(4);
            sqlite3_reset(Insert);
            Times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - T0).count());
        }
        sqlite3_finalize(Insert);
        sqlite3_close(Db);
    }
    for (std::int64_t T : Times)
        if (write(Out, &T, sizeof T) != sizeof T) _exit(3);
    _exit(0);
}

double Percentile(std::vector<std::int64_t>& Times, double Share)
{
    std::size_t At = std::min(Times.size() - 1, static_cast<std::size_t>(Share * static_cast<double>(Times.size())));
    std::nth_element(Times.begin(), Times.begin() + static_cast<std::ptrdiff_t>(At), Times.end());
    return static_cast<double>(Times[At]) / 1000.0;
}

void PostLatency(benchmark::State& State, bool Ours)
{
    const int Writers = static_cast<int>(State.range(0));
    std::vector<std::int64_t> Times;
    for (auto _ : State) {
        TTableFile Table;
        OpenServer(Table);  // makes the file, the table and its index
        int Start[2], Out[2];
        if (pipe(Start) != 0 || pipe(Out) != 0) throw std::runtime_error("pipe");
        std::vector<pid_t> Children;
        for (int W = 0; W < Writers; ++W) {
            pid_t Pid = fork();
            if (Pid == 0) {
                close(Start[1]);
                close(Out[0]);
                Writer(Table, Ours, W, Start[0], Out[1]);
            }
            Children.push_back(Pid);
        }
        close(Start[0]);
        close(Out[1]);
        const std::string Go(static_cast<std::size_t>(Writers), 'g');
        if (write(Start[1], Go.data(), Go.size()) != static_cast<ssize_t>(Go.size())) throw std::runtime_error("start");
        std::int64_t T = 0;
        while (read(Out[0], &T, sizeof T) == sizeof T) Times.push_back(T);
        close(Out[0]);
        close(Start[1]);
        for (pid_t Pid : Children) {
            int Status = 0;
            waitpid(Pid, &Status, 0);
            if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) State.SkipWithError("a writer failed");
        }
    }
    if (Times.size() != static_cast<std::size_t>(Writers * PostsPerWriter)) {
        State.SkipWithError("posts were lost");
        return;
    }
    State.counters["p50_ms"] = Percentile(Times, 0.50);
    State.counters["p99_ms"] = Percentile(Times, 0.99);
    State.counters["max_ms"] = Percentile(Times, 1.0);
}

void BM_ServerPost(benchmark::State& State)
{
    PostLatency(State, true);
}

void BM_SqlitePost(benchmark::State& State)
{
    PostLatency(State, false);
}

}  // namespace

BENCHMARK(BM_ServerPost)->Arg(1)->Arg(3)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SqlitePost)->Arg(1)->Arg(3)->Arg(6)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int Argc, char** Argv)
{
    CoInitialize();
    RegisterFileDataSetServer();
    benchmark::Initialize(&Argc, Argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
