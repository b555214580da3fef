// Ours beside the program a user would build instead, at the user's level: the demo's form
// (its grid, navigator and bound edit on the customer table) against Qt's QSqlTableModel
// sorted by the key, shown in a QTableView, with a QDataWidgetMapper for the key's edit and a
// row of buttons for the moves, on the same records; at 1k and 1M records (and 10M with
// ZFD_BENCH_10M=1), in a file and in memory, and ours on PostgreSQL too. Real clicks and keys
// on Qt's offscreen platform; every step ends with the window painted.
//
//   Open        the window made, the table opened and the first page painted (the whole
//               window grabbed)
//   Last        the Last button
//   Next100     First (untimed), then the Next button 100 times
//   Down        Down in the grid's bottom row, which moves the page by one record (the median
//               of 20 presses)
//   OthersPost  another session posts a record right after the current one; ours: Next shows
//               it; the other program's user refreshes (the model selects again and the view
//               goes back to its row), then Next
//   Insert      Insert, the key typed (untimed), Post: a record in the middle of the table,
//               shown with the page around it
//   PeakMB      the process's peak resident size at the end; file and PostgreSQL runs are
//               processes of their own with two sessions (the form's and the other's)
//
// File and PostgreSQL runs are processes of their own (this program started again with
// --run=...), ours and the other's in turns (each side first every other round), after a
// warm-up run of each that is not counted (it builds what a first open builds, and fills the
// system's file cache alike for both). Memory runs live in one process per size that holds
// both tables and takes turns in it. Five rounds (three at 10M); the table at the end gives
// the medians. The file tables are built once and kept in the cache folder (BenchTables.h);
// the PostgreSQL server is kept there too ($XDG_CACHE_HOME/zopfiledb-bench/pg, or, for root,
// whose home the postgres user cannot reach, /var/tmp/zopfiledb-bench-pg).
//
// Run in a Release build: build-rel/bench/bench_user. ZFD_BENCH_SIZES=1000,1000000 and
// ZFD_BENCH_STORES=file,memory,postgres choose what runs (all three stores, 1k and 1M by default).
#include <libpq-fe.h>
#include <unistd.h>

#include <QApplication>
#include <QDataWidgetMapper>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "bench/BenchTables.h"
#include "com/OleCheck.h"
#include "components/UZopFileDataSet.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/TApplication.h"
#include "interface/ServerCall.h"
#include "server/MemoryTables.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteSqlFunctions.h"
#include "tests/support/PgTestCluster.h"

namespace {

namespace fs = std::filesystem;
using namespace Bench;
using TClock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------
// The figures of one run.

const char* const CaseNames[] = {"Open", "Last", "Next100", "Down", "OthersPost", "Insert", "PeakMB"};
constexpr int CaseCount = 7;
using TFigures = std::array<double, CaseCount>;  // milliseconds, and MB for the peak

// Pending events processed: whatever a step made dirty is painted.
void Paint()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

template <class F>
double TimedMs(F&& Step)
{
    auto Start = TClock::now();
    Step();
    return Seconds(Start) * 1000;
}

// A run that goes wrong ends its process with the reason (also inside a Qt slot, which no
// exception may leave).
void Require(bool Holds, const std::string& What)
{
    if (Holds) return;
    std::fprintf(stderr, "bench_user: %s\n", What.c_str());
    std::exit(4);
}

// One program on one table, driven as its user drives it. Each step ends painted.
class TUserWindow {
public:
    virtual ~TUserWindow() = default;
    virtual void Open() = 0;  // made, opened, first page painted and the whole window grabbed
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual void Last() = 0;
    virtual void SelectBottomRow() = 0;  // the grid's bottom row, with the keyboard's focus
    virtual void Down() = 0;
    virtual void ClickInsert() = 0;
    virtual void TypeKey(std::int64_t Key) = 0;
    virtual void ClickPost() = 0;
    virtual std::int64_t CurrentKey() = 0;  // the key shown in the key's edit
    // The other session posts a record with Key, untimed; ShowOthersPost is what the user does
    // to see it, and the cursor is on it afterwards.
    virtual void OtherPosts(std::int64_t Key) = 0;
    virtual void ShowOthersPost() = 0;
    // Untimed: the records this run added are deleted, so that the table keeps its size.
    virtual void Clean(std::int64_t Inserted, std::int64_t OthersKey) = 0;
};

// Runs every step on Window, opened on a table of Size records.
TFigures RunSteps(TUserWindow& Window, std::int64_t Size)
{
    TFigures F{};
    F[0] = TimedMs([&] { Window.Open(); });
    F[1] = TimedMs([&] { Window.Last(); });
    Require(Window.CurrentKey() == KeyAt(Size - 1), "Last did not reach the last record");
    Window.First();
    F[2] = TimedMs([&] {
        for (int I = 0; I < 100; ++I) Window.Next();
    });
    Require(Window.CurrentKey() == KeyAt(100), "100 Nexts did not reach record 101");
    Window.SelectBottomRow();
    std::vector<double> Downs;
    for (int I = 0; I < 20; ++I) Downs.push_back(TimedMs([&] { Window.Down(); }));
    std::sort(Downs.begin(), Downs.end());
    F[3] = Downs[Downs.size() / 2];
    std::int64_t Current = Window.CurrentKey();
    Window.OtherPosts(Current + 1);
    F[4] = TimedMs([&] { Window.ShowOthersPost(); });
    Require(Window.CurrentKey() == Current + 1, "another session's post was not shown");
    std::int64_t Middle = KeyAt(Size / 2) + 1;
    F[5] = TimedMs([&] { Window.ClickInsert(); });
    Window.TypeKey(Middle);
    F[5] += TimedMs([&] { Window.ClickPost(); });
    Require(Window.CurrentKey() == Middle, "the inserted record was not shown");
    Window.Clean(Middle, Current + 1);
    F[6] = static_cast<double>(VmHwmKb()) / 1024;
    return F;
}

// ---------------------------------------------------------------------------------------
// Ours: the demo's form.

void ClickControl(TControl* Control)
{
    QTest::mouseClick(Control->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    Paint();
}

class TOurWindow : public TUserWindow {
public:
    // SchemaPath: the form's schema file; AccessFile: the table's (empty: the memory table).
    TOurWindow(std::string SchemaPath, std::string AccessFile)
        : FSchema(std::move(SchemaPath)), FAccess(std::move(AccessFile))
    {
    }
    ~TOurWindow() override
    {
        if (Form1) Form1->Free();
        Form1 = nullptr;
    }

    void Open() override
    {
        TForm1::StartAccessFile = FAccess;
        Application->CreateForm(Form1);
        Form1->Show();
        QApplication::setActiveWindow(Form1->Widget());
        Paint();
        Form1->Widget()->grab();
    }
    void First() override { ClickControl(Nav()->FBtnFirst); }
    void Next() override { ClickControl(Nav()->FBtnNext); }
    void Last() override { ClickControl(Nav()->FBtnLast); }
    void SelectBottomRow() override { ClickControl(Form1->ZopFileDBGrid1->GetColumns()->GetDataCell(1, 9)); }
    void Down() override
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        Paint();
    }
    void ClickInsert() override { ClickControl(Nav()->FBtnAdd); }
    void TypeKey(std::int64_t Key) override
    {
        QLineEdit* Edit = Form1->ZopFileDBEdit1->LineEdit();
        QTest::mouseClick(Edit, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClicks(Edit, QString::number(Key));
    }
    void ClickPost() override { ClickControl(Nav()->FBtnSave); }
    std::int64_t CurrentKey() override { return std::atoll(Form1->ZopFileDBEdit1->Text().c_str()); }
    void OtherPosts(std::int64_t Key) override
    {
        if (!FOther) FOther = OpenSession(FSchema, FAccess);
        OleCheck(FOther->Insert());
        std::vector<std::string> Values = RecordValues(Key);
        for (int I = 0; I < FieldCount; ++I)
            OleCheck(FOther->SetFieldValue(OleVariant(FieldNames[I]), OleVariant(Values[I])));
        OleVariant Ignored;
        OleCheck(FOther->Post(&Ignored));
    }
    void ShowOthersPost() override { Next(); }
    void Clean(std::int64_t, std::int64_t) override
    {
        OleCheck(Form1->TbMain->FileDataSet()->Delete());  // the inserted record is the current one
        OleCheck(FOther->Delete());                        // and the other session's is its own
        Paint();
    }
    // Opens the other session now, before the run (a session of its own, as another user's).
    void OpenOther() { FOther = OpenSession(FSchema, FAccess); }

private:
    static TZopFileDBNavigator* Nav() { return Form1->ZopFileDBNavigator1; }
    std::string FSchema, FAccess;
    TComInterface<IFileDataSet> FOther;
};

// A dialog during a run is a failure: it is printed and the run ends.
class TNoDialogs : public TDialogService {
public:
    TDialogAnswer Show(const TDialogRequest& Request) override
    {
        std::fprintf(stderr, "bench_user: a dialog came: %s\n", Request.Text.c_str());
        std::exit(3);
    }
};

// ---------------------------------------------------------------------------------------
// The other program: QSqlTableModel, QTableView and QDataWidgetMapper, in a window of the
// demo form's size with the grid, the key's edit and the buttons where the demo has them.

class TPeerWindow : public TUserWindow {
public:
    // Target: a file, or a shared memory database's URI (Memory).
    TPeerWindow(QString Target, bool Memory) : FTarget(std::move(Target)), FMemory(Memory) {}
    ~TPeerWindow() override
    {
        FWindow.reset();
        for (const QString& Name : FConnections) QSqlDatabase::removeDatabase(Name);
    }

    void Open() override
    {
        QSqlDatabase Db = Connect("peer");
        FWindow = std::make_unique<QWidget>();
        FWindow->resize(799, 405);
        FModel = new QSqlTableModel(FWindow.get(), Db);
        FModel->setTable("Customer");
        FModel->setSort(0, Qt::AscendingOrder);
        FModel->setEditStrategy(QSqlTableModel::OnManualSubmit);
        Require(FModel->select(), "select: " + FModel->lastError().text().toStdString());
        FView = new QTableView(FWindow.get());
        FView->setGeometry(1, 7, 471, 317);
        FView->setSelectionBehavior(QAbstractItemView::SelectRows);
        FView->setSelectionMode(QAbstractItemView::SingleSelection);
        FView->setModel(FModel);
        FKeyEdit = new QLineEdit(FWindow.get());
        FKeyEdit->setGeometry(51, 338, 121, 21);
        FMapper = new QDataWidgetMapper(FWindow.get());
        FMapper->setModel(FModel);
        FMapper->addMapping(FKeyEdit, 0);
        QObject::connect(FView->selectionModel(), &QItemSelectionModel::currentRowChanged,
                         [this](const QModelIndex& Current) { FMapper->setCurrentIndex(Current.row()); });
        const char* Captions[] = {"First", "Prior", "Next", "Last", "Insert", "Edit", "Delete", "Query", "Post", "Cancel"};
        for (int I = 0; I < 10; ++I) {
            FButtons[I] = new QPushButton(Captions[I], FWindow.get());
            FButtons[I]->setGeometry(10 + 63 * I, 370, 63, 27);
        }
        QObject::connect(FButtons[0], &QPushButton::clicked, [this] { GoTo(0); });
        QObject::connect(FButtons[2], &QPushButton::clicked, [this] { GoTo(FView->currentIndex().row() + 1); });
        QObject::connect(FButtons[3], &QPushButton::clicked, [this] {
            while (FModel->canFetchMore()) FModel->fetchMore();
            GoTo(FModel->rowCount() - 1);
        });
        QObject::connect(FButtons[4], &QPushButton::clicked, [this] {
            int Row = FView->currentIndex().row() + 1;
            FModel->insertRow(Row);
            GoTo(Row);
            FKeyEdit->setFocus();
        });
        QObject::connect(FButtons[8], &QPushButton::clicked, [this] {
            QString Key = FKeyEdit->text();
            FMapper->submit();
            Require(FModel->submitAll(), "submitAll: " + FModel->lastError().text().toStdString());
            GoTo(RowOf(Key));
        });
        GoTo(0);
        FWindow->show();
        QApplication::setActiveWindow(FWindow.get());
        Paint();
        FWindow->grab();
    }
    void First() override { Click(0); }
    void Next() override { Click(2); }
    void Last() override { Click(3); }
    void SelectBottomRow() override
    {
        int Row = FView->rowAt(FView->viewport()->height() - 2);
        FView->setCurrentIndex(FModel->index(Row, 1));
        FView->setFocus();
        Paint();
    }
    void Down() override
    {
        QTest::keyClick(FView, Qt::Key_Down);
        Paint();
    }
    void ClickInsert() override { Click(4); }
    void TypeKey(std::int64_t Key) override
    {
        FKeyEdit->selectAll();
        QTest::keyClicks(FKeyEdit, QString::number(Key));
    }
    void ClickPost() override { Click(8); }
    std::int64_t CurrentKey() override { return FKeyEdit->text().toLongLong(); }
    void OtherPosts(std::int64_t Key) override
    {
        QSqlQuery Insert(Connect("peerother"));
        QString Params;
        for (int I = 0; I < FieldCount; ++I) Params += I ? ", ?" : "?";
        Require(Insert.prepare("INSERT INTO Customer VALUES (" + Params + ")"), "prepare the other's insert");
        std::vector<std::string> Values = RecordValues(Key);
        Insert.addBindValue(QVariant::fromValue<qlonglong>(Key));
        for (int I = 1; I < FieldCount; ++I) Insert.addBindValue(QString::fromStdString(Values[I]));
        Require(Insert.exec(), "the other's insert: " + Insert.lastError().text().toStdString());
    }
    // The user refreshes: the model selects again and the view goes back to its record; then
    // Next.
    void ShowOthersPost() override
    {
        QString Key = FKeyEdit->text();
        Require(FModel->select(), "select again");
        GoTo(RowOf(Key));
        Paint();
        Next();
    }
    void Clean(std::int64_t Inserted, std::int64_t OthersKey) override
    {
        QSqlQuery Delete(Connect("peerother"));
        Require(Delete.exec("DELETE FROM Customer WHERE CustNo IN (" + QString::number(Inserted) + ", " +
                            QString::number(OthersKey) + ")"),
                "delete what the run added");
    }

private:
    QSqlDatabase Connect(const QString& Purpose)
    {
        static int Counter = 0;
        QString Name = Purpose + QString::number(++Counter);
        QSqlDatabase Db = QSqlDatabase::addDatabase("QSQLITE", Name);
        Db.setDatabaseName(FTarget);
        if (FMemory) Db.setConnectOptions("QSQLITE_OPEN_URI");
        Require(Db.open(), "open " + FTarget.toStdString() + ": " + Db.lastError().text().toStdString());
        // Readers of a shared memory database would lock the table against the other
        // connection's writes (as the server's own sessions of a memory table do not).
        if (FMemory) QSqlQuery(Db).exec("PRAGMA read_uncommitted = 1");
        FConnections.push_back(Name);
        return Db;
    }
    void Click(int Button)
    {
        QTest::mouseClick(FButtons[Button], Qt::LeftButton);
        Paint();
    }
    // Makes Row current (the model fetches up to it first), which the mapper follows.
    void GoTo(int Row)
    {
        while (Row >= FModel->rowCount() && FModel->canFetchMore()) FModel->fetchMore();
        if (Row >= 0 && Row < FModel->rowCount()) FView->setCurrentIndex(FModel->index(Row, 0));
    }
    // The row of the record with Key: the rows are fetched and looked through until it comes.
    int RowOf(const QString& Key)
    {
        for (int Row = 0;; ++Row) {
            if (Row >= FModel->rowCount()) {
                if (!FModel->canFetchMore()) return -1;
                FModel->fetchMore();
            }
            if (FModel->data(FModel->index(Row, 0)).toString() == Key) return Row;
        }
    }

    QString FTarget;
    bool FMemory;
    std::vector<QString> FConnections;
    std::unique_ptr<QWidget> FWindow;        // owned; owns the widgets below
    QSqlTableModel* FModel = nullptr;        // not owned: the window's
    QTableView* FView = nullptr;             // not owned: the window's
    QDataWidgetMapper* FMapper = nullptr;    // not owned: the window's
    QLineEdit* FKeyEdit = nullptr;           // not owned: the window's
    std::array<QPushButton*, 10> FButtons{};  // not owned: the window's
};

// ---------------------------------------------------------------------------------------
// The tables.

const char* const PeerColumns =
    "CustNo INTEGER NOT NULL, Company TEXT, Addr1 TEXT, Addr2 TEXT, City TEXT, State TEXT, Zip TEXT, Country TEXT, "
    "Phone TEXT, FAX TEXT, TaxRate TEXT, Contact TEXT, LastInvoiceDate TEXT";

// The other program's table: its key an integer column with a unique index.
void FillPeer(const std::string& Target, std::int64_t Count)
{
    sqlite3* Db = OpenDb(Target);
    BulkLoadSettings(Db);
    Exec(Db, std::string("CREATE TABLE Customer (") + PeerColumns + ")");
    sqlite3_stmt* Insert = PrepareInsert(Db);
    Exec(Db, "BEGIN");
    for (std::int64_t I = 0; I < Count; ++I) {
        std::vector<std::string> Values = RecordValues(KeyAt(I));
        BindValues(Insert, Values);
        sqlite3_bind_int64(Insert, 1, KeyAt(I));
        Check(sqlite3_step(Insert), Db, "insert");
        sqlite3_reset(Insert);
    }
    Exec(Db, "COMMIT");
    sqlite3_finalize(Insert);
    Exec(Db, "CREATE UNIQUE INDEX CustomerKey ON Customer (CustNo)");
    FileSettings(Db);
    sqlite3_close(Db);
}

std::string PeerFile(std::int64_t Size)
{
    return CachedFile("peer-v1-" + std::to_string(Size) + ".db",
                      [&](const std::string& Path) { FillPeer(Path, Size); });
}

std::string OurFile(const std::string& Schema, std::int64_t Size)
{
    return CachedFile(OursFileName(Size), [&](const std::string& Path) { FillOurs(Schema, Path, Path, Size, true); });
}

// The memory tables of one process: ours (the memory table of Schema) and the other's (a
// shared memory database kept open by Keeper), copied from the files in the cache.
void FillMemoryTables(const std::string& Schema, std::int64_t Size, const std::string& PeerUri, sqlite3*& Keeper)
{
    std::string Ours = OurFile(Schema, Size), Peer = PeerFile(Size);
    {
        TComInterface<IFileDataSet> Maker = OpenSession(Schema, "");
        OleCheck(Maker->Close());
    }
    sqlite3* Db = OpenDb(RecordServer::MemoryDatabaseUri(fs::canonical(Schema).string()));
    RecordServer::RegisterSqlFunctions(Db);
    Exec(Db, "ATTACH DATABASE '" + Ours + "' AS src");
    std::string Cols = "zfd_id, zfd_ver";
    for (const char* Name : FieldNames) Cols += std::string(", \"") + Name + "\"";
    Exec(Db, "INSERT INTO main.Customer (" + Cols + ") SELECT " + Cols + " FROM src.Customer");
    Exec(Db, "DETACH DATABASE src");
    sqlite3_close(Db);

    Keeper = OpenDb(PeerUri);
    Exec(Keeper, std::string("CREATE TABLE Customer (") + PeerColumns + ")");
    Exec(Keeper, "ATTACH DATABASE '" + Peer + "' AS src");
    Exec(Keeper, "INSERT INTO main.Customer SELECT * FROM src.Customer");
    Exec(Keeper, "DETACH DATABASE src");
    Exec(Keeper, "CREATE UNIQUE INDEX CustomerKey ON Customer (CustNo)");
}

fs::path KeptPgFolder()
{
    return geteuid() == 0 ? fs::path("/var/tmp/zopfiledb-bench-pg") : CacheFolder() / "pg";
}

void PgExec(const std::string& Uri, const std::string& Sql)
{
    PGconn* Conn = PQconnectdb(Uri.c_str());
    PGresult* Result = PQexec(Conn, Sql.c_str());
    bool Ok = PQresultStatus(Result) == PGRES_COMMAND_OK || PQresultStatus(Result) == PGRES_TUPLES_OK;
    std::string Error = PQresultErrorMessage(Result);
    PQclear(Result);
    PQfinish(Conn);
    if (!Ok) throw std::runtime_error(Sql.substr(0, 80) + ": " + Error);
}

bool PgDatabaseExists(TPgTestCluster& Cluster, const std::string& Name)
{
    PGconn* Conn = PQconnectdb(Cluster.Uri("postgres").c_str());
    PGresult* Result = PQexecParams(Conn, "SELECT 1 FROM pg_database WHERE datname = $1", 1, nullptr,
                                    std::vector<const char*>{Name.c_str()}.data(), nullptr, nullptr, 0);
    bool Exists = PQntuples(Result) > 0;
    PQclear(Result);
    PQfinish(Conn);
    return Exists;
}

// The database of Size customers in the kept cluster, built once: filled in one statement
// with the server's triggers off, and renamed into place when complete.
std::string PgTable(TPgTestCluster& Cluster, const std::string& Schema, std::int64_t Size)
{
    std::string Name = "bench_" + std::to_string(Size);
    if (PgDatabaseExists(Cluster, Name)) return Cluster.Uri(Name);
    std::string Building = Name + "_building";
    PgExec(Cluster.Uri("postgres"), "DROP DATABASE IF EXISTS " + Building);
    PgExec(Cluster.Uri("postgres"), "CREATE DATABASE " + Building);
    std::string Uri = Cluster.Uri(Building);
    {
        TComInterface<IFileDataSet> Maker = OpenSession(Schema, Uri);  // the table, its index, log and trigger
    }
    std::string K = "(1000 + 2 * g)";
    std::string Values = "(" + K + ")::text, 'Company number ' || " + K + ", " + K + " || ' Harbour Road', 'Suite ' || (" +
                         K + " % 500), 'Taipei', 'TW', (80000 + " + K + " % 999)::text, 'Taiwan', '07-' || (1000000 + " + K +
                         " % 8999999), '07-' || (2000000 + " + K + " % 7999999), (" + K + " % 10) || '.5', 'Contact ' || " +
                         K + ", '1994/11/18 12:00:00'";
    std::string Cols;
    for (const char* Field : FieldNames) Cols += std::string(Cols.empty() ? "" : ", ") + "\"" + Field + "\"";
    PgExec(Uri, "ALTER TABLE \"Customer\" DISABLE TRIGGER USER");
    PgExec(Uri, "INSERT INTO \"Customer\" (" + Cols + ") SELECT " + Values + " FROM generate_series(0, " +
                    std::to_string(Size - 1) + ") AS g");
    PgExec(Uri, "ALTER TABLE \"Customer\" ENABLE TRIGGER USER");
    PgExec(Uri, "VACUUM ANALYZE");
    PgExec(Cluster.Uri("postgres"), "ALTER DATABASE " + Building + " RENAME TO " + Name);
    return Cluster.Uri(Name);
}

// ---------------------------------------------------------------------------------------
// Runs.

std::string FiguresLine(const TFigures& F)
{
    std::ostringstream Out;
    Out << "FIGURES";
    for (double V : F) Out << " " << V;
    return Out.str();
}

// What the first window of a process sets up (fonts, styles) is set up before the runs: they
// time a table opened in a program that runs already.
void WarmUpQt()
{
    QWidget Window;
    Window.resize(799, 405);
    auto* View = new QTableView(&Window);
    View->setGeometry(1, 7, 471, 317);
    new QLineEdit("1000", &Window);
    new QPushButton("First", &Window);
    Window.show();
    Paint();
    Window.grab();
}

// Qt's notes about the offscreen platform (no raise(), no runtime folder) say nothing about a run.
void QuietQt(QtMsgType Type, const QMessageLogContext&, const QString& Message)
{
    if (Type == QtCriticalMsg || Type == QtFatalMsg) std::fprintf(stderr, "%s\n", Message.toLocal8Bit().constData());
}

// One run in a process of its own: --run=<ours|peer> <target> <size>.
int RunChild(const std::string& Side, const std::string& Target, std::int64_t Size)
{
    std::unique_ptr<TUserWindow> Window;
    if (Side == "ours") {
        auto Ours = std::make_unique<TOurWindow>("customer.SFD", Target);
        Ours->OpenOther();
        Window = std::move(Ours);
    } else {
        Window = std::make_unique<TPeerWindow>(QString::fromStdString(Target), false);
    }
    TFigures F = RunSteps(*Window, Size);
    std::printf("%s\n", FiguresLine(F).c_str());
    return 0;
}

// Both memory tables of Size in this process, Rounds runs of each side in turns.
int RunMemory(std::int64_t Size, int Rounds)
{
    const std::string PeerUri = "file:peermemory?mode=memory&cache=shared";
    sqlite3* Keeper = nullptr;
    FillMemoryTables("customer.SFD", Size, PeerUri, Keeper);
    for (int Round = -1; Round < Rounds; ++Round) {  // round -1 warms up
        for (int Turn = 0; Turn < 2; ++Turn) {
            bool Ours = (Turn == 0) == (Round % 2 == 0);
            std::unique_ptr<TUserWindow> Window;
            if (Ours) {
                auto W = std::make_unique<TOurWindow>("customer.SFD", "");
                W->OpenOther();
                Window = std::move(W);
            } else {
                Window = std::make_unique<TPeerWindow>(QString::fromStdString(PeerUri), true);
            }
            TFigures F = RunSteps(*Window, Size);
            F[6] = 0;  // one process holds both tables: no peak of either's own
            if (Round >= 0) std::printf("%s %s\n", Ours ? "ours" : "peer", FiguresLine(F).c_str());
            std::fflush(stdout);
        }
    }
    sqlite3_close(Keeper);
    return 0;
}

// Runs this program with Args and collects the FIGURES lines it prints, each with the word
// before it (or Side).
std::vector<std::pair<std::string, TFigures>> RunProcess(const std::string& Self, const std::string& Args,
                                                         const std::string& Side)
{
    std::string Command = "'" + Self + "' " + Args;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (!Pipe) throw std::runtime_error("cannot start " + Command);
    std::vector<std::pair<std::string, TFigures>> Runs;
    char Line[1024];
    while (std::fgets(Line, sizeof Line, Pipe)) {
        std::istringstream In(Line);
        std::string Word, Who = Side;
        In >> Word;
        if (Word != "FIGURES") {
            Who = Word;
            In >> Word;
        }
        if (Word != "FIGURES") continue;
        TFigures F{};
        for (double& V : F) In >> V;
        Runs.emplace_back(Who, F);
    }
    if (pclose(Pipe) != 0) throw std::runtime_error("a run failed: " + Command);
    return Runs;
}

double Median(std::vector<double> Values)
{
    if (Values.empty()) return 0;
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

struct TSeries {
    std::map<std::string, std::vector<TFigures>> BySide;  // "ours", "peer"
};

void PrintTable(const std::map<std::string, TSeries>& All, const std::vector<std::string>& Order)
{
    std::printf("\n%-22s", "case (ms; peak MB)");
    for (const std::string& Column : Order) std::printf(" %26s", Column.c_str());
    std::printf("\n%-22s", "");
    for (std::size_t I = 0; I < Order.size(); ++I) std::printf(" %10s %9s %5s", "ours", "other", "ratio");
    std::printf("\n");
    for (int Case = 0; Case < CaseCount; ++Case) {
        std::printf("%-22s", CaseNames[Case]);
        for (const std::string& Column : Order) {
            auto It = All.find(Column);
            auto Of = [&](const char* Side) {
                std::vector<double> Values;
                if (It != All.end())
                    if (auto S = It->second.BySide.find(Side); S != It->second.BySide.end())
                        for (const TFigures& F : S->second) Values.push_back(F[static_cast<std::size_t>(Case)]);
                return Median(Values);
            };
            double Ours = Of("ours"), Peer = Of("peer");
            if (Peer > 0)
                std::printf(" %10.2f %9.2f %5.2f", Ours, Peer, Ours / Peer);
            else
                std::printf(" %10.2f %9s %5s", Ours, "-", "-");
        }
        std::printf("\n");
    }
}

int Orchestrate(const std::string& Self)
{
    std::vector<std::int64_t> Sizes = {1000, 1000000};
    if (const char* Big = std::getenv("ZFD_BENCH_10M"); Big && *Big && *Big != '0') Sizes.push_back(10000000);
    if (const char* Only = std::getenv("ZFD_BENCH_SIZES"); Only && *Only) {
        Sizes.clear();
        std::istringstream In(Only);
        for (std::string Size; std::getline(In, Size, ',');) Sizes.push_back(std::atoll(Size.c_str()));
    }
    std::vector<std::string> Stores = {"file", "memory", "postgres"};
    if (const char* Only = std::getenv("ZFD_BENCH_STORES"); Only && *Only) {
        Stores.clear();
        std::istringstream In(Only);
        for (std::string Store; std::getline(In, Store, ',');) Stores.push_back(Store);
    }
    std::map<std::string, TSeries> All;
    std::vector<std::string> Order;
    std::unique_ptr<TPgTestCluster> Cluster;
    for (const std::string& Store : Stores) {
        for (std::int64_t Size : Sizes) {
            int Rounds = Size >= 10000000 ? 3 : 5;
            std::string Column = Store + "/" + std::to_string(Size);
            Order.push_back(Column);
            TSeries& Series = All[Column];
            std::fprintf(stderr, "bench_user: %s\n", Column.c_str());
            if (Store == "memory") {
                for (auto& [Side, F] : RunProcess(Self, "--memory=" + std::to_string(Size) + ":" + std::to_string(Rounds), ""))
                    Series.BySide[Side].push_back(F);
                continue;
            }
            std::vector<std::pair<std::string, std::string>> Sides;  // side, target
            if (Store == "file") {
                Sides = {{"ours", OurFile("customer.SFD", Size)}, {"peer", PeerFile(Size)}};
            } else {
                if (!Cluster) Cluster = TPgTestCluster::Kept(KeptPgFolder());
                Sides = {{"ours", PgTable(*Cluster, "customer.SFD", Size)}};
            }
            auto Run = [&](const std::pair<std::string, std::string>& Side) {
                return RunProcess(Self, "--run=" + Side.first + " '" + Side.second + "' " + std::to_string(Size), Side.first);
            };
            for (const auto& Side : Sides) Run(Side);  // warm-up
            for (int Round = 0; Round < Rounds; ++Round) {
                for (std::size_t Turn = 0; Turn < Sides.size(); ++Turn) {
                    const auto& Side = Sides[Round % 2 ? Sides.size() - 1 - Turn : Turn];
                    for (auto& [Who, F] : Run(Side)) Series.BySide[Who].push_back(F);
                }
            }
        }
    }
    PrintTable(All, Order);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    const std::string Self = fs::canonical("/proc/self/exe").string();
    // Every run works in a folder of its own that holds the form's schema file.
    const bool Child = argc >= 2 && (std::strncmp(argv[1], "--run=", 6) == 0 || std::strncmp(argv[1], "--memory=", 9) == 0);
    fs::path Folder = Child ? fs::current_path() : fs::temp_directory_path() / ("zopfiledb-userbench-" + std::to_string(getpid()));
    if (!Child) {
        fs::create_directories(Folder);
        fs::copy_file(DEMO_SCHEMA, Folder / "customer.SFD", fs::copy_options::overwrite_existing);
        fs::current_path(Folder);
    }
    int Result = 0;
    try {
        CoInitialize();
        RegisterFileDataSetServer();
        if (!Child) {
            Result = Orchestrate(Self);
        } else {
            qInstallMessageHandler(QuietQt);
            TApplicationHost Host(argc, argv);
            WarmUpQt();
            RegisterDemoClasses();
            Application->Initialize();
            TNoDialogs NoDialogs;
            SetDialogService(&NoDialogs);
            if (std::strncmp(argv[1], "--memory=", 9) == 0) {
                std::int64_t Size = std::atoll(argv[1] + 9);
                Result = RunMemory(Size, std::atoi(std::strchr(argv[1], ':') + 1));
            } else {
                Result = RunChild(argv[1] + 6, argv[2], std::atoll(argv[3]));
            }
            SetDialogService(nullptr);
        }
    } catch (const std::exception& E) {
        std::fprintf(stderr, "bench_user: %s\n", E.what());
        Result = 1;
    }
    if (!Child) fs::remove_all(Folder);
    return Result;
}
