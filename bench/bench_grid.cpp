// The grid's page refresh and a navigator-like Next, on the demo's customer table at 1k and
// 1M records: the page refresh reads only the records of its page, so both cost the same
// at either size.
//   PageRefresh   a fresh page laid out around the record in the middle of the table
//                 (nine steps back, ten rows of 13 cells filled, the cursor put back)
//   NavigatorNext the navigator's paging parameters, then Next, which refreshes the page
// Run in a Release build: bench/bench_grid.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QByteArray>
#include <QtGlobal>

#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "com/ComObj.h"
#include "components/UZopFileDataSet.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "server/MemoryTables.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteSqlFunctions.h"

namespace {

namespace fs = std::filesystem;

// Size customers straight into the memory table behind SchemaPath, in one statement.
void FillTable(const std::string& SchemaPath, int Size)
{
    const std::string Uri = RecordServer::MemoryDatabaseUri(fs::canonical(SchemaPath).string());
    sqlite3* Db = nullptr;
    sqlite3_open_v2(Uri.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
    RecordServer::RegisterSqlFunctions(Db);  // the key index's collation
    const std::string Sql = "WITH RECURSIVE N(K) AS (SELECT 1 UNION ALL SELECT K + 1 FROM N WHERE K < " +
                            std::to_string(Size) +
                            ") INSERT INTO Customer (\"CustNo\", \"Company\", \"City\", \"Country\") "
                            "SELECT K, 'Company ' || K, 'City ' || K, 'Taiwan' FROM N";
    char* Error = nullptr;
    const int Rc = sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, &Error);
    const std::string Message = Error ? Error : "";
    sqlite3_free(Error);
    sqlite3_close(Db);
    if (Rc != SQLITE_OK) throw std::runtime_error("fill: " + Message);
}

// A form with a dataset of Size records, its data source and a bound grid, built once per size.
struct TGridBench {
    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DataSet = nullptr;    // not owned: the form owns it
    TZopFileDataSource* Source = nullptr;  // not owned: the form owns it
    TZopFileDBGrid* Grid = nullptr;        // not owned: the form owns it
    IFileDataSet* Server() const { return DataSet->FileDataSet(); }
};

// The benches by size; emptied before Qt goes, since they hold widgets.
std::map<int, std::unique_ptr<TGridBench>>& Benches()
{
    static std::map<int, std::unique_ptr<TGridBench>> All;
    return All;
}

TGridBench& Bench(int Size)
{
    auto& Slot = Benches()[Size];
    if (Slot) return *Slot;
    Slot = std::make_unique<TGridBench>();
    TGridBench& B = *Slot;
    const fs::path Folder = fs::temp_directory_path() / ("zopfiledb-gridbench-" + std::to_string(getpid()));
    fs::create_directories(Folder);
    const std::string Schema = (Folder / ("customer" + std::to_string(Size) + ".SFD")).string();
    fs::copy_file(DEMO_SCHEMA, Schema, fs::copy_options::overwrite_existing);
    B.Form = std::make_unique<TForm>(nullptr);
    B.DataSet = new TZopFileDataSet(B.Form.get());
    B.DataSet->setFSchemaFileName(Schema);
    B.DataSet->SetFAccessUserName("1688");
    B.Source = new TZopFileDataSource(B.Form.get());
    B.Source->SetFDataSet(B.DataSet);
    B.DataSet->SetFActive(true);  // makes the table
    FillTable(Schema, Size);
    // A memory table's sessions learn of writes from each other, not from a plain
    // connection: opened again, the dataset reads what the fill stored.
    B.DataSet->SetFActive(false);
    B.DataSet->SetFActive(true);
    B.Grid = new TZopFileDBGrid(B.Form.get());
    B.Grid->SetParent(B.Form.get());
    B.Grid->SetFDataSource(B.Source);
    if (B.Grid->GetFRowCount() != TZopFileDBGrid::PageRows) throw std::runtime_error("the grid has no page");
    return B;
}

void PageRefresh(benchmark::State& State)
{
    TGridBench& B = Bench(static_cast<int>(State.range(0)));
    Check(B.Server()->MoveTo(OleVariant(static_cast<int>(State.range(0) / 2))));
    for (auto _ : State) {
        B.Grid->FTopDataPos = -1;
        B.Source->PostDisplayData();
    }
    benchmark::DoNotOptimize(B.Grid->FTopDataPos);
}

void NavigatorNext(benchmark::State& State)
{
    const int Size = static_cast<int>(State.range(0));
    TGridBench& B = Bench(Size);
    IFileDataSet* S = B.Server();
    Check(S->MoveTo(OleVariant(Size / 2)));
    for (auto _ : State) {
        // Back to the middle before the end: every step is a Next within the table.
        if (AskInt(S, &IFileDataSet::GetRecNo) >= Size - 1) Check(S->MoveTo(OleVariant(Size / 2)));
        B.Source->RefreshDBGridParamsWithNavigatorNextClick();
        Check(S->Next());
    }
    benchmark::DoNotOptimize(B.Grid->FTopDataPos);
}

void Sizes(benchmark::internal::Benchmark* B)
{
    B->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(PageRefresh)->Apply(Sizes);
BENCHMARK(NavigatorNext)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    CoInitialize();
    RegisterFileDataSetServer();
    TApplicationHost Host(argc, argv);
    Application->Initialize();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Benches().clear();
    return 0;
}
