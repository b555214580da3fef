// The live view as the user sees it: a form with a grid, a bound edit and a navigator on a
// dataset, and another session writing to the table (another dataset of this program on a
// memory table, another process on a table file and on PostgreSQL). The other's posts, edits
// and deletes show in the form's rendered grid and bound edit with no input to the form;
// nothing refreshes while the user edits or holds typed text; the focus, the caret and the
// selection stay where the user left them.
#include <gtest/gtest.h>
#include <poll.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <functional>
#include <memory>

#include "com/ComObj.h"
#include "components/UZopFileDataSet.h"
#include "components/dataset/TLiveView.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TForm.h"
#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/PgTestCluster.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TableCommands.h"
#include "tests/support/TableWriter.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"

namespace {

enum class TPlace { Memory, File, Postgres };

std::string PlaceName(const ::testing::TestParamInfo<TPlace>& Info)
{
    switch (Info.param) {
    case TPlace::Memory: return "MemoryTableAnotherDataSet";
    case TPlace::File: return "TableFileAnotherProcess";
    case TPlace::Postgres: return "PostgresAnotherProcess";
    }
    return "";
}

// Counts the live view's refreshes of a dataset (its OnLiveRefresh).
struct TRefreshCounter : TObject {
    int Refreshes = 0;
    void Refreshed(TObject*) { ++Refreshes; }
};

// A form on the table: a grid, a bound edit on Company (and one on CustNo, the key), a
// navigator and a plain button; 25 customers with the keys 10, 20, ..., 250. The other writer
// is made by Other().
class LiveForm : public ::testing::TestWithParam<TPlace> {
protected:
    void SetUp() override
    {
        CoInitialize();
        RegisterFileDataSetServer();
        DropAllMemoryTables();
        switch (GetParam()) {
        case TPlace::Memory: break;
        case TPlace::File: Access = Dir.File("live.db"); break;
        case TPlace::Postgres: Access = TestCluster().NewDatabase(); break;
        }
        {
            TComInterface<IFileDataSet> Filler = OpenSession();
            for (int Key = 10; Key <= 250; Key += 10)
                RunTableCommand(Filler.get(), "post CustNo=" + std::to_string(Key) + " Company=Company_" +
                                                  std::to_string(Key) + " City=City_" + std::to_string(Key));
        }
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 700, 420);
        DataSet = new TZopFileDataSet(Form.get());
        DataSet->setFSchemaFileName(DEMO_SCHEMA);
        DataSet->SetFAccessUserName("1688");
        DataSet->SetFAccessFileName(Access);
        DataSet->OnLiveRefresh = TNotifyEvent(&Counter, &TRefreshCounter::Refreshed);
        Source = new TZopFileDataSource(Form.get());
        Source->SetFDataSet(DataSet);
        Grid = new TZopFileDBGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 690, 300);
        CompanyEdit = new TZopFileDBEdit(Form.get());
        CompanyEdit->SetParent(Form.get());
        CompanyEdit->SetBounds(8, 310, 200, 21);
        KeyEdit = new TZopFileDBEdit(Form.get());
        KeyEdit->SetParent(Form.get());
        KeyEdit->SetBounds(220, 310, 80, 21);
        Nav = new TZopFileDBNavigator(Form.get());
        Nav->SetParent(Form.get());
        Nav->SetTop(340);
        Plain = new TButton(Form.get());
        Plain->SetParent(Form.get());
        Plain->SetBounds(320, 308, 90, 25);
        Plain->SetCaption("Other");
        DataSet->SetFActive(true);
        Grid->SetFDataSource(Source);
        CompanyEdit->SetFDataSource(Source);
        CompanyEdit->SetFFieldName("Company");
        KeyEdit->SetFDataSource(Source);
        KeyEdit->SetFFieldName("CustNo");
        Nav->SetFDataSource(Source);
        ShowActive(Form.get());
    }

    void TearDown() override
    {
        Writer.reset();
        Form.reset();
        DropAllMemoryTables();
    }

    TComInterface<IFileDataSet> OpenSession() const
    {
        TComInterface<IFileDataSet> S = CoFileDataSet::Create();
        Check(S->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
        Check(S->SetAccessUser(OleVariant("1688")));
        Check(S->SetAccessFile(OleVariant(Access)));
        Ask(S.get(), &IFileDataSet::Open);
        return S;
    }

    // The other writer: another dataset of this program (on the form, bound to nothing) on a
    // memory table; table_writer in another process otherwise.
    void Other(const std::string& Command)
    {
        OtherStarts(Command);
        OtherFinishes();
    }
    // The same in two halves, the form's event loop running meanwhile (in one program the
    // other's command runs at once).
    void OtherStarts(const std::string& Command)
    {
        if (GetParam() == TPlace::Memory) {
            if (!OtherDataSet) {
                OtherDataSet = new TZopFileDataSet(Form.get());
                OtherDataSet->setFSchemaFileName(DEMO_SCHEMA);
                OtherDataSet->SetFAccessUserName("1688");
                OtherDataSet->SetFActive(true);
            }
            RunTableCommand(OtherDataSet->FileDataSet(), Command);
            return;
        }
        if (!Writer) Writer = std::make_unique<TTableWriter>(TABLE_WRITER, DEMO_SCHEMA, Access);
        Writer->Start(Command);
    }
    bool OtherAnswered() const { return !Writer || Writer->Answered(); }
    void OtherFinishes()
    {
        if (Writer) Writer->Finish();
    }

    IFileDataSet* Server() const { return DataSet->FileDataSet(); }
    TGridCell* Cell(int Col, int Row) const { return Grid->GetColumns()->GetDataCell(Col, Row); }
    std::vector<AnsiString> ColumnTexts(int Col) const
    {
        std::vector<AnsiString> Texts;
        for (int R = 0; R < Grid->GetFRowCount(); ++R) Texts.push_back(Cell(Col, R)->GetAsString());
        return Texts;
    }
    int SelectedRow() const { return Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : -1; }
    AnsiString State() const { return AskText(Server(), &IFileDataSet::GetState); }
    void ClickNav(TNavBtn* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    void ClickCell(int Col, int Row) const
    {
        QWidget* CellWidget = Cell(Col, Row)->Widget();
        QWidget* Target = CellWidget->childAt(5, 5);
        if (!Target) Target = CellWidget;
        QTest::mouseClick(Target, Qt::LeftButton, {}, Target->mapFrom(CellWidget, QPoint(5, 5)));
    }
    void Type(const char* Text) { QTest::keyClicks(QApplication::focusWidget(), Text); }

    // Lets the event loop run until Done holds (at most 10 s): the live view's only chance.
    // Ms bounds a wait for what must come; a burst of a thousand commits gets longer on a
    // loaded machine (the sanitizer build beside other tests).
    static bool WaitUntil(const std::function<bool()>& Done, int Ms = 10000) { return QTest::qWaitFor(Done, Ms); }
    // Waits (without running the event loop, so that nothing drains it) until the other's
    // write has made the dataset's commit descriptor readable, then lets the event loop run
    // until it is quiet again: the live view has looked at what woke it.
    bool WaitForTheLook() const
    {
        TComInterface<IFileDataSetWatch> Watch = TComInterface<IFileDataSet>(Server()).As<IFileDataSetWatch>();
        int Descriptor = -1;
        if (!Watch || FAILED(Watch->GetCommitDescriptor(&Descriptor)) || Descriptor < 0) return false;
        pollfd Wait{Descriptor, POLLIN, 0};
        if (poll(&Wait, 1, 10000) != 1) return false;
        return WaitUntil([&] {
            pollfd Quiet{Descriptor, POLLIN, 0};
            return poll(&Quiet, 1, 0) == 0;
        });
    }
    // Keys of the first column from a step table.
    static std::vector<AnsiString> Keys(std::initializer_list<int> Values)
    {
        std::vector<AnsiString> Texts;
        for (int V : Values) Texts.push_back(IntToStr(V));
        return Texts;
    }

    TempDir Dir;
    AnsiString Access;
    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DataSet = nullptr;       // not owned: the form owns it
    TZopFileDataSet* OtherDataSet = nullptr;  // not owned: the form owns it
    TZopFileDataSource* Source = nullptr;     // not owned: the form owns it
    TZopFileDBGrid* Grid = nullptr;           // not owned: the form owns it
    TZopFileDBEdit* CompanyEdit = nullptr;    // not owned: the form owns it
    TZopFileDBEdit* KeyEdit = nullptr;        // not owned: the form owns it
    TZopFileDBNavigator* Nav = nullptr;       // not owned: the form owns it
    TButton* Plain = nullptr;                 // not owned: the form owns it
    std::unique_ptr<TTableWriter> Writer;
    TRefreshCounter Counter;
};

// The other's writes, one by one, each shown without any input: the page keeps its top
// record while it is there (a record posted before it does not push the page down; when it is
// deleted, the record now at its place is the top), the current record stays highlighted and
// in the bound edit by identity, and when it is deleted its neighbour takes its place.
TEST_P(LiveForm, AnotherSessionsPostEditAndDeleteShowInTheGridAndTheBoundEditWithNoInput)
{
    ClickCell(0, 4);  // on 50, in Browse
    ASSERT_EQ(CompanyEdit->Text(), "Company_50");
    Plain->SetFocus();
    struct TStep {
        const char* Command;
        std::vector<AnsiString> Page;  // the first column
        const char* Current;           // CustNo of the highlighted row and the key edit
        const char* Company;           // the Company edit, and the highlighted row's Company cell
    };
    const TStep Steps[] = {
        {"post CustNo=45 Company=Inserted", Keys({10, 20, 30, 40, 45, 50, 60, 70, 80, 90}), "50", "Company_50"},
        {"post CustNo=5 Company=Before", Keys({10, 20, 30, 40, 45, 50, 60, 70, 80, 90}), "50", "Company_50"},
        {"edit CustNo=50 Company=Theirs", Keys({10, 20, 30, 40, 45, 50, 60, 70, 80, 90}), "50", "Theirs"},
        {"delete CustNo=50", Keys({10, 20, 30, 40, 45, 60, 70, 80, 90, 100}), "60", "Company_60"},
        {"delete CustNo=10", Keys({20, 30, 40, 45, 60, 70, 80, 90, 100, 110}), "60", "Company_60"},
    };
    int Shot = 0;
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.Command);
        const int RefreshesBefore = Counter.Refreshes;
        Other(Step.Command);
        EXPECT_TRUE(WaitUntil([&] { return Counter.Refreshes > RefreshesBefore; })) << "no refresh came";
        ProcessEvents();
        EXPECT_EQ(ColumnTexts(0), Step.Page);
        EXPECT_EQ(CompanyEdit->Text(), Step.Company);
        EXPECT_EQ(KeyEdit->Text(), Step.Current);
        ASSERT_GE(SelectedRow(), 0);
        EXPECT_EQ(Cell(0, SelectedRow())->GetAsString(), Step.Current) << "the highlighted row is the current record's";
        EXPECT_EQ(Cell(1, SelectedRow())->GetAsString(), Step.Company);
        EXPECT_EQ(Counter.Refreshes, RefreshesBefore + 1) << "one write, one refresh";
        EXPECT_EQ(State(), "Browse");
        SaveScreenshot(Form.get(), "live_" + PlaceName({GetParam(), 0}) + "_" + std::to_string(++Shot));
    }
    EXPECT_EQ(QApplication::focusWidget(), Plain->Widget()) << "the focus stayed where the user left it";
}

// On the last record the navigator's Last is off; another's post after it turns it on, and
// the count follows, though the new record is not on the page.
TEST_P(LiveForm, TheNavigatorFollowsAPostAfterTheLastRecord)
{
    ClickNav(Nav->FBtnLast);
    ASSERT_FALSE(Nav->GetLastEnabled());
    const std::vector<AnsiString> Page = ColumnTexts(0);
    Other("post CustNo=999 Company=After");
    EXPECT_TRUE(WaitUntil([&] { return Nav->GetLastEnabled(); }));
    EXPECT_EQ(AskInt(Server(), &IFileDataSet::GetRecordCount), 26);
    EXPECT_EQ(ColumnTexts(0), Page) << "the page keeps its top record";
    EXPECT_EQ(KeyEdit->Text(), "250");
}

// While the user edits or inserts, or holds typed text that is not posted, the other's post
// is not shown, nor is the typed text touched; the post (or the move) shows it.
TEST_P(LiveForm, NothingRefreshesWhileTheUserEditsOrHoldsTypedTextAndThePostShowsIt)
{
    struct TCase {
        const char* What;
        std::function<void()> Begin;   // the user starts typing
        const char* Typed;             // what the edit or cell that has the focus holds
        std::function<void()> Finish;  // the user posts, or moves on
    };
    const TCase Cases[] = {
        {"typing into the bound edit (Edit)",
         [&] {
             QTest::mouseClick(CompanyEdit->LineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
             QTest::keyClick(CompanyEdit->LineEdit(), Qt::Key_End);
             Type("!");
         },
         "Company_10!", [&] { ClickNav(Nav->FBtnSave); }},
        {"typing into a grid cell (Edit)",
         [&] {
             ClickCell(1, 0);
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
             Type("?");
         },
         "Company_10!?", [&] { ClickNav(Nav->FBtnSave); }},
        {"typing into the insert row (Insert)",
         [&] {
             ClickNav(Nav->FBtnAdd);
             ClickCell(0, 0);
             Type("7");
         },
         "7", [&] { ClickNav(Nav->FBtnSave); }},
        {"typing into the key's bound edit (Browse)",
         [&] {
             QTest::mouseClick(KeyEdit->LineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
             QTest::keyClick(KeyEdit->LineEdit(), Qt::Key_End);
             Type("1");
         },
         "71", [&] { ClickNav(Nav->FBtnFirst); }},
    };
    int Posted = 300;
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        Case.Begin();
        const AnsiString StateBefore = State();
        const std::vector<AnsiString> Page = ColumnTexts(0);
        const int RefreshesBefore = Counter.Refreshes;
        Other("post CustNo=" + std::to_string(++Posted) + " Company=Meanwhile");
        ASSERT_TRUE(WaitForTheLook());
        ProcessEvents();
        EXPECT_EQ(Counter.Refreshes, RefreshesBefore) << "nothing refreshed";
        EXPECT_EQ(ColumnTexts(0), Page);
        EXPECT_EQ(State(), StateBefore);
        auto* Focused = dynamic_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(Focused, nullptr);
        EXPECT_EQ(Focused->text().toStdString(), Case.Typed) << "the typed text is untouched";
        Case.Finish();
        EXPECT_EQ(State(), "Browse");
        ClickNav(Nav->FBtnLast);
        EXPECT_EQ(KeyEdit->Text(), IntToStr(Posted)) << "the post (or the move) took the other's record in";
        ClickNav(Nav->FBtnFirst);
    }
}

// Another process posts 1,000 records at once: the form ends showing the last state, and the
// refreshes are bounded by the live view's rest between two (one per rest at most), not by
// the number of posts.
TEST_P(LiveForm, ABurstOfAThousandPostsEndsShowingTheLastStateWithBoundedRefreshes)
{
    ClickNav(Nav->FBtnLast);
    const auto Start = std::chrono::steady_clock::now();
    OtherStarts("burst 1000 1000");
    EXPECT_TRUE(WaitUntil([&] { return OtherAnswered(); }, 120000));
    const auto Posted = std::chrono::steady_clock::now();
    OtherFinishes();
    EXPECT_TRUE(WaitUntil([&] { return Nav->GetLastEnabled() && AskInt(Server(), &IFileDataSet::GetRecordCount) == 1025; }));
    const auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start).count();
    EXPECT_GE(Counter.Refreshes, 1);
    EXPECT_LT(Counter.Refreshes, 1000);
    EXPECT_LE(Counter.Refreshes, Ms / TLiveView::RestMs + 2)
        << "over " << Ms << " ms (the burst took "
        << std::chrono::duration_cast<std::chrono::milliseconds>(Posted - Start).count() << " ms)";
    EXPECT_EQ(KeyEdit->Text(), "250") << "the current record stayed";
    ClickNav(Nav->FBtnLast);
    EXPECT_EQ(KeyEdit->Text(), "1999");
}

// A commit after a quiet spell, and a second one at once after it, are each looked at as
// soon as they wake the view (the wake's look is not put off); a third at once waits until
// two rests have passed since the first refresh, so that a burst costs two refreshes per
// two rests at most.
TEST_P(LiveForm, TwoCommitsInARowShowAtOnceAndTheThirdWaitsOutTheRest)
{
    struct TStepAt {
        TLiveView::TStep Step;
        std::chrono::steady_clock::time_point At;
    };
    std::vector<TStepAt> Steps;
    // The form's dataset's steps (on a memory table the other dataset has a live view too).
    TLiveView::Probe = [&](const TZopFileDataSet& Of, TLiveView::TStep Step, bool) {
        if (&Of == DataSet) Steps.push_back({Step, std::chrono::steady_clock::now()});
    };
    struct TProbeOff {
        ~TProbeOff() { TLiveView::Probe = nullptr; }
    } ProbeOff;
    auto ShownAfter = [&](std::size_t From) {
        for (std::size_t I = From; I < Steps.size(); ++I)
            if (Steps[I].Step == TLiveView::TStep::Shown) return I;
        return Steps.size();
    };
    QTest::qWait(3 * TLiveView::RestMs);  // quiet: the form's opening is long past its rest
    Steps.clear();
    std::vector<std::size_t> Shown;
    for (int Key : {15, 16, 17}) {
        SCOPED_TRACE(Key);
        const std::size_t From = Shown.empty() ? 0 : Shown.back() + 1;
        Other("post CustNo=" + std::to_string(Key) + " Company=InARow");
        ASSERT_TRUE(WaitUntil([&] { return ShownAfter(From) < Steps.size(); })) << "no refresh came";
        Shown.push_back(ShownAfter(From));
    }
    for (std::size_t I = 0; I < Shown[1]; ++I) {
        if (Steps[I].Step == TLiveView::TStep::Woken) {
            EXPECT_EQ(Steps[I + 1].Step, TLiveView::TStep::Looking) << "the wake at step " << I << " was put off";
        }
    }
    EXPECT_GE(Steps[Shown[2]].At - Steps[Shown[0]].At, std::chrono::milliseconds(2 * TLiveView::RestMs));
    ProcessEvents();
    EXPECT_EQ(ColumnTexts(0), Keys({10, 15, 16, 17, 20, 30, 40, 50, 60, 70}));
}

// The user's place stays: the focus in the grid's editor, in the current record's row wherever
// that row goes, with its caret; the focus in a bound edit whose text the other changed, with
// its selection.
TEST_P(LiveForm, TheFocusTheCaretAndTheSelectionStayWhereTheUserLeftThem)
{
    ClickCell(1, 4);  // on 50: the grid's editor in the Company column, in Browse
    QLineEdit* Editor = Grid->FCellEdit->LineEdit();
    ASSERT_EQ(QApplication::focusWidget(), Editor);
    Editor->setCursorPosition(3);
    Other("post CustNo=45 Company=Inserted");
    EXPECT_TRUE(WaitUntil([&] { return Cell(0, 5)->GetAsString() == "50"; }));
    EXPECT_EQ(SelectedRow(), 5);
    EXPECT_EQ(Grid->EditorCell(), Cell(1, 5)) << "the editor moved with the current record's row";
    EXPECT_EQ(QApplication::focusWidget(), Editor);
    EXPECT_EQ(Editor->cursorPosition(), 3);
    EXPECT_EQ(State(), "Browse");

    QTest::mouseClick(CompanyEdit->LineEdit(), Qt::LeftButton, {}, QPoint(5, 5));
    CompanyEdit->SetSelStart(2);
    CompanyEdit->SetSelLength(4);
    Other("edit CustNo=50 Company=Theirs_now");
    EXPECT_TRUE(WaitUntil([&] { return CompanyEdit->Text() == "Theirs_now"; }));
    EXPECT_EQ(QApplication::focusWidget(), CompanyEdit->LineEdit());
    EXPECT_EQ(CompanyEdit->SelStart(), 2);
    EXPECT_EQ(CompanyEdit->SelLength(), 4);
    EXPECT_FALSE(CompanyEdit->Modified()) << "the other's text is no typing of the user's";
    SaveScreenshot(Form.get(), "live_" + PlaceName({GetParam(), 0}) + "_focus_kept");
}

INSTANTIATE_TEST_SUITE_P(Stores, LiveForm, ::testing::Values(TPlace::Memory, TPlace::File, TPlace::Postgres), PlaceName);

}  // namespace
