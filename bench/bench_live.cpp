// The live view: how soon another process's commit shows in a watching demo window, what
// watching costs while nothing happens, and how a burst of commits is taken.
//
//   Latency    another process (table_writer) posts a record onto the watching window's page
//              (its last, where the record goes between the last two),
//              200 times (each post deleted again before the next); from the moment the post
//              was acknowledged to the moment the page's cell showing it was painted: p50 and
//              p99, on a table file and on PostgreSQL (a throwaway server on a local socket,
//              fsync on), at 1k and 1M records; each post comes once the window has shown
//              the last deletion and rested (and, at 1k, back to back: as soon as the
//              deletion showed, within the rest, as the second commit of a burst). Where the time went (TLiveView::Probe): to the
//              wake that took the post in, to the look, the server's take-in, the controls'
//              showing and the paint, at the median and for the slowest posts.
//   Idle       a demo window in "Browse" left alone for ZFD_BENCH_IDLE_SECONDS (60) seconds,
//              with the live view on and off: the process's CPU time (user + system); on a
//              table file also the timer that stands in where the system gives no watch.
//   Burst      another process posts 1,000 records at once, at 1k and 1M records: the
//              longest the window's event loop was kept from running (a 5 ms timer's longest
//              late tick), the refreshes (with the longest take-in by the server and the
//              longest showing by the controls), and the time until the window showed the
//              last state.
//
// One run of each case (Google Benchmark counters); a summary table at the end.
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/DemoProgram.h"
#include "bench/BenchTables.h"
#include "app/UMain.h"
#include "com/ComObj.h"
#include "components/UZopFileDataSet.h"
#include "components/dataset/TLiveView.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TDescriptorWatch.h"
#include "interface/FileDataSetWatch.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"
#include "server/FileCommitWake.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/PgTestCluster.h"
#include "tests/support/TableWriter.h"

namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

long long NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(TClock::now().time_since_epoch()).count();
}

enum class TPlace { Memory, File, Postgres };

const char* PlaceName(TPlace Place)
{
    switch (Place) {
    case TPlace::Memory: return "memory";
    case TPlace::File: return "file";
    case TPlace::Postgres: return "postgres";
    }
    return "";
}

fs::path BenchFolder()
{
    static fs::path Folder = [] {
        fs::path P = fs::temp_directory_path() / ("zopfiledb-bench-live-" + std::to_string(getpid()));
        fs::create_directories(P);
        return P;
    }();
    return Folder;
}

int Tables = 0;  // the file tables made, for their names

TPgTestCluster& Cluster()
{
    static TPgTestCluster Instance(true);
    return Instance;
}

// Runs the event loop until Done holds or Ms have passed; true when Done held.
bool RunUntil(const std::function<bool()>& Done, int Ms = 20000)
{
    QElapsedTimer Clock;
    Clock.start();
    while (!Done()) {
        if (Clock.elapsed() > Ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// Runs the event loop for Ms, sleeping while no event comes (a nested QEventLoop would return
// at once once a closed main form has ended the application's run; processEvents with a
// time limit does not wait for events, it spins).
void RunFor(int Ms)
{
    QTimer End;
    End.setSingleShot(true);
    End.start(Ms);
    while (End.isActive()) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double CpuSeconds()
{
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    auto Seconds = [](const timeval& T) { return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_usec) / 1e6; };
    return Seconds(Usage.ru_utime) + Seconds(Usage.ru_stime);
}

// A table of Size customers (the keys of Bench::KeyAt: 1000, 1002, ..., so that an odd key
// falls between two records) for one case, made afresh: a memory table by a session's posts;
// a file copied from the benchmarks' cache (built there once); a PostgreSQL table in a new
// database of the throwaway server, made by a session and filled in one statement without
// its change log's triggers (a load is no change; the next session makes them again).
// Answers the access file.
std::string MakeTable(TPlace Place, long Size)
{
    if (Place == TPlace::Memory) {
        DropAllMemoryTables();
        TComInterface<IFileDataSet> Maker = Bench::OpenSession(DEMO_SCHEMA, "");
        for (long N = 0; N < Size; ++N) {
            Check(Maker->Insert());
            Check(Maker->SetFieldValue(OleVariant("CustNo"), OleVariant(IntToStr(Bench::KeyAt(N)))));
            Check(Maker->SetFieldValue(OleVariant("Company"), OleVariant("Company " + IntToStr(N))));
            Ask(Maker.get(), &IFileDataSet::Post);
        }
        return "";  // the registry keeps the memory table
    }
    if (Place == TPlace::File) {
        const std::string Cached = Bench::CachedFile(Bench::OursFileName(Size), [&](const std::string& Path) {
            Bench::FillOurs(DEMO_SCHEMA, Path, Path, Size, true);
        });
        const fs::path Copy = BenchFolder() / ("live-" + std::to_string(Size) + "-" + std::to_string(++Tables) + ".db");
        fs::copy_file(Cached, Copy);
        return Copy.string();
    }
    const std::string Access = Cluster().NewDatabase();
    Check(Bench::OpenSession(DEMO_SCHEMA, Access)->Close());
    PGconn* Conn = PQconnectdb(Access.c_str());
    const std::string Sql = "ALTER TABLE \"Customer\" DISABLE TRIGGER USER;"
                            "INSERT INTO \"Customer\" (\"CustNo\", \"Company\") SELECT (1000 + 2 * n)::text, "
                            "'Company ' || n FROM generate_series(0, " + std::to_string(Size - 1) + ") AS n;"
                            "ALTER TABLE \"Customer\" ENABLE TRIGGER USER; ANALYZE \"Customer\";";
    PGresult* Result = PQexec(Conn, Sql.c_str());
    const bool Ok = PQresultStatus(Result) == PGRES_COMMAND_OK;
    const std::string Error = PQresultErrorMessage(Result);
    PQclear(Result);
    PQfinish(Conn);
    if (!Ok) throw std::runtime_error("filling the PostgreSQL table: " + Error);
    return Access;
}

// A demo window on the table, on its first page or (AtEnd) its last, in "Browse";
// the live view on or off. Counts its live refreshes, and still shows the record count as
// the demo does.
class TWatchingWindow : public TObject {
public:
    TWatchingWindow(const std::string& Access, bool Live, bool AtEnd = false)
    {
        TForm1::StartAccessFile = Access;
        Application->CreateForm(FForm);
        FForm->TbMain->SetLiveView(Live);
        FDemoRefresh = FForm->TbMain->OnLiveRefresh;
        FForm->TbMain->OnLiveRefresh = TNotifyEvent(this, &TWatchingWindow::Refreshed);
        FForm->Show();
        if (AtEnd) FForm->ZopFileDBNavigator1->FBtnLast->Click();
        RunFor(50);
    }
    ~TWatchingWindow() override
    {
        FForm->Close();
        FForm->Free();
    }
    IFileDataSet* Server() const { return FForm->TbMain->FileDataSet(); }
    TForm1* Form() const { return FForm; }
    TGridCell* Cell(int Col, int Row) const { return FForm->ZopFileDBGrid1->GetColumns()->GetDataCell(Col, Row); }
    int Refreshes() const { return FRefreshes; }

private:
    void Refreshed(TObject* Sender)
    {
        ++FRefreshes;
        if (FDemoRefresh) FDemoRefresh(Sender);
    }

    TForm1* FForm = nullptr;  // not owned: the application owns it until this object frees it
    TNotifyEvent FDemoRefresh;
    int FRefreshes = 0;
};

// Notes when a widget paints while Ready() holds.
class TPaintWatch : public QObject {
public:
    std::function<bool()> Ready;
    long long PaintedAt = 0;
    bool eventFilter(QObject*, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint && !PaintedAt && Ready && Ready()) PaintedAt = NowNs();
        return false;
    }
};

// A method for a framework event that runs a function.
class TFiring : public TObject {
public:
    explicit TFiring(std::function<void()> Fn) : FFn(std::move(Fn)) {}
    void Fired(TObject*) { FFn(); }

private:
    std::function<void()> FFn;
};

// The steps of the live views' refreshes (TLiveView::Probe), noted with their moments while
// it lives.
class TStepLog {
public:
    struct TEntry {
        TLiveView::TStep Step;
        bool Changed;
        long long At;
    };
    TStepLog()
    {
        TLiveView::Probe = [this](const TZopFileDataSet&, TLiveView::TStep Step, bool Changed) {
            Entries.push_back({Step, Changed, NowNs()});
        };
    }
    ~TStepLog() { TLiveView::Probe = nullptr; }
    TStepLog(const TStepLog&) = delete;
    TStepLog& operator=(const TStepLog&) = delete;

    std::vector<TEntry> Entries;
};

// Where one post's time went, from its acknowledgement to the painted page (ms): to the wake
// whose look took it in, to that look's start, to the server's take-in done, to the controls
// refreshed, to the paint; and the looks before it that found nothing since the post began.
struct TSplit {
    double Wake = 0, Schedule = 0, TakeIn = 0, Show = 0, Paint = 0;
    int EmptyLooks = 0;
    bool Known = false;
};

TSplit SplitOf(const std::vector<TStepLog::TEntry>& Entries, long long Acknowledged, long long PaintedAt)
{
    TSplit Split;
    long long Woken = 0, Looking = 0, TakenIn = 0;
    for (const auto& Entry : Entries) {
        switch (Entry.Step) {
        case TLiveView::TStep::Woken: Woken = Entry.At; break;
        case TLiveView::TStep::Looking: Looking = Entry.At; break;
        case TLiveView::TStep::TakenIn:
            if (!Entry.Changed) ++Split.EmptyLooks;
            else TakenIn = Entry.At;
            break;
        case TLiveView::TStep::Shown:
            if (!TakenIn || !Looking || !Woken) break;
            auto Ms = [](long long From, long long To) { return static_cast<double>(To - From) / 1e6; };
            Split = {Ms(Acknowledged, Woken), Ms(Woken, Looking), Ms(Looking, TakenIn), Ms(TakenIn, Entry.At),
                     Ms(Entry.At, PaintedAt), Split.EmptyLooks, true};
            return Split;
        }
    }
    return Split;
}

std::map<std::string, std::string> Summary;

double Percentile(std::vector<double> Values, double P)
{
    if (Values.empty()) return 0;
    std::sort(Values.begin(), Values.end());
    std::size_t I = static_cast<std::size_t>(P * static_cast<double>(Values.size() - 1) + 0.5);
    return Values[std::min(I, Values.size() - 1)];
}

// BackToBack: each post comes as soon as the deletion before it showed (within the rest
// after that refresh, so that it waits out the rest: a burst of two), not once the window
// rested.
void Latency(benchmark::State& State, TPlace Place, long Size, bool BackToBack)
{
    const std::string Access = MakeTable(Place, Size);
    // The last page: a record posted between the last two shows on it, whatever the size.
    TWatchingWindow Window(Access, true, true);
    TTableWriter Writer(TABLE_WRITER, DEMO_SCHEMA, Access);
    std::vector<double> Ms;
    std::vector<TSplit> Splits;
    TStepLog Steps;
    TPaintWatch Watch;
    const AnsiString NewText = IntToStr(Bench::KeyAt(Size - 2) + 1);
    auto Shown = [&] {
        for (int Row = 0; Row < Window.Form()->ZopFileDBGrid1->GetFRowCount(); ++Row)
            if (Window.Cell(0, Row)->GetAsString() == NewText) return true;
        return false;
    };
    for (int Row = 0; Row < Window.Form()->ZopFileDBGrid1->GetFRowCount(); ++Row) Window.Cell(0, Row)->Widget()->installEventFilter(&Watch);
    for (auto _ : State) {
        Watch.PaintedAt = 0;
        Watch.Ready = Shown;
        Steps.Entries.clear();
        Writer.Start("post CustNo=" + NewText + " Company=Live");
        if (!RunUntil([&] { return Watch.PaintedAt != 0 && Writer.Answered(); })) {
            std::string Page;
            for (int Row = 0; Row < Window.Form()->ZopFileDBGrid1->GetFRowCount(); ++Row)
                Page += " " + Window.Cell(0, Row)->GetAsString();
            throw std::runtime_error("the post of " + NewText + " did not show on the page, which shows" + Page);
        }
        const long long Acknowledged = Writer.Finish();
        const double Latency = static_cast<double>(Watch.PaintedAt - Acknowledged) / 1e6;
        Ms.push_back(Latency);
        Splits.push_back(SplitOf(Steps.Entries, Acknowledged, Watch.PaintedAt));
        State.SetIterationTime(std::max(Latency, 0.0) / 1000.0);
        Watch.Ready = nullptr;
        Writer.Start("delete CustNo=" + NewText);
        if (!RunUntil([&] { return !Shown() && Writer.Answered(); }))
            throw std::runtime_error("the deletion did not show on the page");
        Writer.Finish();
        // Each post is measured alone, as a user's would come, not as the second commit of a
        // pair: the window's rest after showing the deletion has passed first.
        if (!BackToBack) RunFor(TLiveView::RestMs + 5);
    }
    for (int Row = 0; Row < Window.Form()->ZopFileDBGrid1->GetFRowCount(); ++Row) Window.Cell(0, Row)->Widget()->removeEventFilter(&Watch);
    State.counters["p50_ms"] = Percentile(Ms, 0.50);
    State.counters["p99_ms"] = Percentile(Ms, 0.99);
    State.counters["max_ms"] = Percentile(Ms, 1.0);
    char Line[160];
    std::snprintf(Line, sizeof Line, "p50 %6.2f ms  p99 %6.2f ms  max %6.2f ms  (%zu posts)", Percentile(Ms, 0.5),
                  Percentile(Ms, 0.99), Percentile(Ms, 1.0), Ms.size());
    const std::string Case =
        std::string("latency ") + PlaceName(Place) + " " + std::to_string(Size) + (BackToBack ? " back-to-back" : "");
    Summary[Case] = Line;
    // The split: the median of each part, and each part of the slowest posts.
    auto Part = [&](double TSplit::*Member, double P) {
        std::vector<double> Values;
        for (const TSplit& Split : Splits)
            if (Split.Known) Values.push_back(Split.*Member);
        return Values.empty() ? 0.0 : Percentile(Values, P);
    };
    int EmptyLooks = 0, Unknown = 0;
    for (const TSplit& Split : Splits) {
        EmptyLooks += Split.EmptyLooks;
        Unknown += Split.Known ? 0 : 1;
    }
    char Parts[300];
    std::snprintf(Parts, sizeof Parts,
                  "p50 parts: wake %.2f, to look %.2f, take-in %.2f, show %.2f, paint %.2f ms; "
                  "%.2f empty looks a post; %d posts unsplit",
                  Part(&TSplit::Wake, 0.5), Part(&TSplit::Schedule, 0.5), Part(&TSplit::TakeIn, 0.5),
                  Part(&TSplit::Show, 0.5), Part(&TSplit::Paint, 0.5), static_cast<double>(EmptyLooks) / Splits.size(),
                  Unknown);
    Summary[Case + " split"] = Parts;
    std::vector<std::size_t> Order(Ms.size());
    for (std::size_t I = 0; I < Order.size(); ++I) Order[I] = I;
    std::sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t B) { return Ms[A] > Ms[B]; });
    for (std::size_t N = 0; N < std::min<std::size_t>(3, Order.size()); ++N) {
        const TSplit& S = Splits[Order[N]];
        std::snprintf(Parts, sizeof Parts, "%.2f ms: wake %.2f, to look %.2f, take-in %.2f, show %.2f, paint %.2f; %d empty looks",
                      Ms[Order[N]], S.Wake, S.Schedule, S.TakeIn, S.Show, S.Paint, S.EmptyLooks);
        Summary[Case + " slowest " + std::to_string(N + 1)] = Parts;
    }
}

int IdleSeconds()
{
    const char* Text = std::getenv("ZFD_BENCH_IDLE_SECONDS");
    return Text && std::atoi(Text) > 0 ? std::atoi(Text) : 60;
}

void Idle(benchmark::State& State, TPlace Place)
{
    const std::string Access = MakeTable(Place, 1000);
    const int Seconds = IdleSeconds();
    double Cpu[2] = {0, 0};
    for (auto _ : State) {
        // Off first, then on: the same window, alike in all but the switch.
        for (int Live = 0; Live < 2; ++Live) {
            TWatchingWindow Window(Access, Live == 1);
            const double Before = CpuSeconds();
            RunFor(Seconds * 1000);
            Cpu[Live] = CpuSeconds() - Before;
        }
    }
    State.counters["cpu_ms_off"] = Cpu[0] * 1000;
    State.counters["cpu_ms_on"] = Cpu[1] * 1000;
    char Line[200];
    std::snprintf(Line, sizeof Line, "%d s: CPU %.1f ms off, %.1f ms on (on - off: %.3f%% of the wall time)", Seconds,
                  Cpu[0] * 1000, Cpu[1] * 1000, 100.0 * (Cpu[1] - Cpu[0]) / Seconds);
    Summary[std::string("idle ") + PlaceName(Place)] = Line;
}

// The idle cost of a table file's watch where the system gives no file-system watch: the
// same window with its live view off, and beside it what the live view does then, run by
// hand: a 20 ms timer's descriptor (TFileCommitWake in timer mode) watched in the loop, each
// firing drained and followed by the window's server taking others' commits in (which reads
// only the WAL index's header while nobody commits). Against the window alone.
void IdleTimer(benchmark::State& State)
{
    const std::string Access = MakeTable(TPlace::File, 1000);
    const int Seconds = IdleSeconds();
    double Cpu[2] = {0, 0};
    long Looks = 0;
    for (auto _ : State) {
        for (int Timer = 0; Timer < 2; ++Timer) {
            TWatchingWindow Window(Access, false);
            RecordServer::TFileCommitWake Wake(Access, RecordServer::TFileCommitWake::TMode::Timer);
            TComInterface<IFileDataSetWatch> Server = TComInterface<IFileDataSet>(Window.Server()).As<IFileDataSetWatch>();
            TDescriptorWatch Watch;
            TFiring Firing([&] {
                Wake.Drain();
                bool Changed = false;
                Check(Server->TakeOthersCommits(true, nullptr, 0, &Changed));
                ++Looks;
                Watch.Rearm();
            });
            Watch.OnReadable = TNotifyEvent(&Firing, &TFiring::Fired);
            if (Timer == 1) Watch.SetDescriptor(Wake.Descriptor());
            const double Before = CpuSeconds();
            RunFor(Seconds * 1000);
            Cpu[Timer] = CpuSeconds() - Before;
        }
    }
    State.counters["cpu_ms_off"] = Cpu[0] * 1000;
    State.counters["cpu_ms_timer"] = Cpu[1] * 1000;
    State.counters["looks"] = static_cast<double>(Looks);
    char Line[200];
    std::snprintf(Line, sizeof Line, "%d s: CPU %.1f ms off, %.1f ms with the timer (%ld looks; on - off: %.3f%% of the wall time)",
                  Seconds, Cpu[0] * 1000, Cpu[1] * 1000, Looks, 100.0 * (Cpu[1] - Cpu[0]) / Seconds);
    Summary["idle file, timer"] = Line;
}

// AtOnce: the 1,000 posts are all made before the window's loop runs again (as while a
// dialog kept it waiting), so that one refresh takes them all in.
void Burst(benchmark::State& State, TPlace Place, long Size, bool AtOnce)
{
    const std::string Access = MakeTable(Place, Size);
    // New keys whatever the size (the table's are 1000, 1002, ... below 2,001,000).
    const long From = Size < 100000 ? 100000 : 10000000;
    const AnsiString LastCount = IntToStr(static_cast<std::int64_t>(Size + 1000));
    for (auto _ : State) {
        TWatchingWindow Window(Access, true);
        TTableWriter Writer(TABLE_WRITER, DEMO_SCHEMA, Access);
        // A 5 ms timer: how late its ticks come is how long the loop was kept from running.
        QElapsedTimer Clock;
        qint64 Last = 0;
        std::vector<double> Gaps;
        QTimer Tick;
        QObject::connect(&Tick, &QTimer::timeout, [&] {
            const qint64 Now = Clock.elapsed();
            Gaps.push_back(static_cast<double>(Now - Last));
            Last = Now;
        });
        const int Before = Window.Refreshes();
        TStepLog Steps;
        const auto Start = TClock::now();
        const std::string Command = "burst " + std::to_string(From) + " 1000";
        if (AtOnce) Writer.Write(Command);
        Clock.start();
        Tick.start(5);
        if (!AtOnce) Writer.Start(Command);
        bool Done = RunUntil([&] {
            return (AtOnce || Writer.Answered()) && Window.Form()->Label2->Caption() == LastCount;
        }, 120000);
        const double Seconds = std::chrono::duration<double>(TClock::now() - Start).count();
        // A few ticks more: a refresh that ended the wait is measured by the tick after it.
        RunFor(20);
        if (!AtOnce) Writer.Finish();
        Tick.stop();
        if (!Done) throw std::runtime_error("the window did not come to show the last state");
        const int Refreshes = Window.Refreshes() - Before;
        const double Longest = Percentile(Gaps, 1.0) - 5, P99 = Percentile(Gaps, 0.99) - 5;
        // The longest server take-in and the longest showing of one refresh.
        double TakeIn = 0, Show = 0;
        long long Looking = 0, TakenIn = 0;
        for (const auto& Entry : Steps.Entries) {
            if (Entry.Step == TLiveView::TStep::Looking) Looking = Entry.At;
            if (Entry.Step == TLiveView::TStep::TakenIn) {
                TakenIn = Entry.At;
                TakeIn = std::max(TakeIn, static_cast<double>(TakenIn - Looking) / 1e6);
            }
            if (Entry.Step == TLiveView::TStep::Shown) Show = std::max(Show, static_cast<double>(Entry.At - TakenIn) / 1e6);
        }
        State.counters["longest_take_in_ms"] = TakeIn;
        State.counters["longest_show_ms"] = Show;
        State.counters["longest_block_ms"] = Longest;
        State.counters["p99_block_ms"] = P99;
        State.counters["refreshes"] = Refreshes;
        char Line[300];
        std::snprintf(Line, sizeof Line,
                      "1000 posts%s in %.2f s: loop kept from running at most %.0f ms (p99 %.0f ms), %d refreshes "
                      "(longest take-in %.1f ms, showing %.1f ms), last state shown",
                      AtOnce ? " at once" : "", Seconds, Longest, P99, Refreshes, TakeIn, Show);
        Summary[std::string("burst ") + PlaceName(Place) + " " + std::to_string(Size) + (AtOnce ? " at once" : "")] = Line;
    }
}

void Register()
{
    for (TPlace Place : {TPlace::File, TPlace::Postgres})
        for (long Size : {1000L, 1000000L})
            for (bool BackToBack : {false, true}) {
                if (BackToBack && Size > 1000) continue;
                benchmark::RegisterBenchmark((std::string("Latency/") + PlaceName(Place) + "/" + std::to_string(Size) +
                                              (BackToBack ? "/back-to-back" : ""))
                                                 .c_str(),
                                             [=](benchmark::State& S) { Latency(S, Place, Size, BackToBack); })
                    ->Iterations(200)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
    for (TPlace Place : {TPlace::Memory, TPlace::File, TPlace::Postgres})
        benchmark::RegisterBenchmark((std::string("Idle/") + PlaceName(Place)).c_str(), [=](benchmark::State& S) { Idle(S, Place); })
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("Idle/file-timer", IdleTimer)->Iterations(1)->Unit(benchmark::kSecond);
    for (TPlace Place : {TPlace::File, TPlace::Postgres})
        for (long Size : {1000L, 1000000L})
            for (bool AtOnce : {false, true})
                benchmark::RegisterBenchmark((std::string("Burst/") + PlaceName(Place) + "/" + std::to_string(Size) +
                                              (AtOnce ? "/at-once" : ""))
                                                 .c_str(),
                                             [=](benchmark::State& S) { Burst(S, Place, Size, AtOnce); })
                    ->Iterations(1)
                    ->Unit(benchmark::kSecond);
}

}  // namespace

int main(int Argc, char** Argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    TApplicationHost Host(Argc, Argv);
    CoInitialize();
    RegisterFileDataSetServer();
    RegisterDemoClasses();
    Application->Initialize();
    Register();
    benchmark::Initialize(&Argc, Argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nThe live view, one run:\n");
    for (const auto& [Case, Line] : Summary) std::printf("  %-32s %s\n", Case.c_str(), Line.c_str());
    std::error_code Ignored;
    fs::remove_all(BenchFolder(), Ignored);
    return 0;
}
