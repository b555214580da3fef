// A page that only shifts shows again the rows it has and reads the new ones only, and what
// changed meanwhile (another user's commits taken in by the live view or a Refresh, one's own
// post) still shows. On the real server, a memory table, with real keys.
#include <gtest/gtest.h>

#include <poll.h>

#include <QApplication>
#include <QTest>

#include <map>

#include "interface/FileDataSetWatch.h"
#include "interface/ServerCall.h"
#include "server/FileDataSetServer.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/UiTestSupport.h"

namespace {

// The real server, counting the field values read through it.
class TCountingServer : public RecordServer::TFileDataSetServer {
public:
    HRESULT GetFieldValue(OleVariant Name, OleVariant* Value) override
    {
        ++Reads;
        return TFileDataSetServer::GetFieldValue(Name, Value);
    }
    int Reads = 0;
};

class GridShownRows : public TGridOnServer {
protected:
    void SetUp() override
    {
        TGridOnServer::SetUp();
        // The dataset's server is the counting one, with the handlers a dataset gives its own.
        Counting = new TCountingServer;
        auto Server = TComInterface<IFileDataSet>::Attach(static_cast<IFileDataSet*>(Counting));
        DataSet->SetFDataSet(Server);
        Server->SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent(DataSet, &TZopFileDataSet::DoAfterDataChange));
        Server->SetOnInitDataControlData(TAfterRecDataSetDataChangeEvent(DataSet, &TZopFileDataSet::DoInitDataControlData));
        Server->SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent(DataSet, &TZopFileDataSet::DoAfterDBStateChange));
        Server->SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent(DataSet, &TZopFileDataSet::DoAfterFilterChange));
        Check(Server->SetStartOptionA(false));
        Check(Server->SetStartOptionB(false));
        DataSet->setFSchemaFileName(DEMO_SCHEMA);  // passed on to the server it has now
        DataSet->SetFAccessUserName("1688");
        FillCustomers(40);
        OpenAndBind();
        ShowActive(Form.get());
    }

    void Key(Qt::Key K) { QTest::keyClick(QApplication::focusWidget(), K); }
    // Another user's session on the same table.
    static TComInterface<IFileDataSet> OtherSession()
    {
        TComInterface<IFileDataSet> S = CoFileDataSet::Create();
        Check(S->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
        Check(S->SetAccessUser(OleVariant("1688")));
        Ask(S.get(), &IFileDataSet::Open);
        return S;
    }
    // Another user changes the Company of record RecNo.
    static void ChangeCompanyElsewhere(int RecNo, const AnsiString& Company)
    {
        TComInterface<IFileDataSet> S = OtherSession();
        Check(S->MoveTo(OleVariant(RecNo)));
        Check(S->Edit());
        Check(S->SetFieldValue(OleVariant("Company"), OleVariant(Company)));
        Ask(S.get(), &IFileDataSet::Post);
        Check(S->Close());
    }
    // Lets the event loop run until the live view has looked at what woke it.
    bool LetTheLiveViewLook() const
    {
        TComInterface<IFileDataSetWatch> Watch = TComInterface<IFileDataSet>(Server()).As<IFileDataSetWatch>();
        int Descriptor = -1;
        if (!Watch || FAILED(Watch->GetCommitDescriptor(&Descriptor)) || Descriptor < 0) return false;
        return QTest::qWaitFor([&] {
            pollfd Quiet{Descriptor, POLLIN, 0};
            return poll(&Quiet, 1, 0) == 0;
        });
    }
    // What the page shows, record number -> Company, against what the table holds.
    std::map<int, AnsiString> Shown() const
    {
        std::map<int, AnsiString> Rows;
        const std::vector<int> Records = PageRecords();
        const std::vector<AnsiString> Companies = ColumnTexts(1);
        for (std::size_t R = 0; R < Records.size(); ++R) Rows[Records[R]] = Companies[R];
        return Rows;
    }
    static std::map<int, AnsiString> Stored(const std::vector<int>& Records)
    {
        TComInterface<IFileDataSet> S = OtherSession();
        std::map<int, AnsiString> Rows;
        for (int RecNo : Records) {
            Check(S->MoveTo(OleVariant(RecNo)));
            Rows[RecNo] = AskText(S.get(), &IFileDataSet::GetFieldValue, OleVariant("Company"));
        }
        Check(S->Close());
        return Rows;
    }
    void ExpectPageAsStored(const char* When) const
    {
        EXPECT_EQ(Shown(), Stored(PageRecords())) << When;
    }

    TCountingServer* Counting = nullptr;  // not owned: the dataset holds the reference
};

std::vector<int> Range(int First, int Last)
{
    std::vector<int> Records;
    for (int N = First; N <= Last; ++N) Records.push_back(N);
    return Records;
}

TEST_F(GridShownRows, DownAtTheBottomRowAndNextAcrossThePageReadOnlyTheNewRow)
{
    const int Fields = AskInt(Server(), &IFileDataSet::GetFieldCount);
    ClickCell(1, 9);
    ASSERT_EQ(RecNo(), 10);

    Counting->Reads = 0;
    Key(Qt::Key_Down);
    EXPECT_EQ(PageRecords(), Range(2, 11));
    EXPECT_EQ(Counting->Reads, Fields) << "only record 11's fields are read";
    ExpectPageAsStored("after Down");

    Counting->Reads = 0;
    DataSet->Next();
    EXPECT_EQ(PageRecords(), Range(3, 12));
    EXPECT_EQ(Counting->Reads, Fields) << "only record 12's fields are read";
    ExpectPageAsStored("after Next");

    // Up at the top row shifts the other way: record 2 comes back, read again.
    ClickCell(1, 0);
    Counting->Reads = 0;
    Key(Qt::Key_Up);
    EXPECT_EQ(PageRecords(), Range(2, 11));
    EXPECT_EQ(Counting->Reads, Fields);
    ExpectPageAsStored("after Up");

    // Without the live view nothing would say that another user changed a row: the whole page
    // is read.
    DataSet->SetLiveView(false);
    ClickCell(1, 9);
    Counting->Reads = 0;
    Key(Qt::Key_Down);
    EXPECT_EQ(PageRecords(), Range(3, 12));
    EXPECT_EQ(Counting->Reads, 10 * Fields);
}

TEST_F(GridShownRows, ChangesMadeMeanwhileShowOnThePageWhicheverWayTheyCame)
{
    ClickCell(1, 9);

    // Another user's change to a row on the page, taken in by the live view, then the page
    // shifts.
    ChangeCompanyElsewhere(5, "Five by another user");
    ASSERT_TRUE(LetTheLiveViewLook());
    EXPECT_EQ(Shown()[5], "Five by another user");
    Key(Qt::Key_Down);
    ExpectPageAsStored("a change taken in by the live view, then Down");

    // Another user's change, and Down at once, before the live view looks: the move takes
    // the commit in. The wake waiting on the descriptor keeps the page from showing its rows
    // again, and the look that follows would have the page read again.
    ChangeCompanyElsewhere(6, "Six by another user");
    Key(Qt::Key_Down);
    ASSERT_TRUE(LetTheLiveViewLook());
    ExpectPageAsStored("a change taken in by the move, then the look");
    EXPECT_EQ(Shown()[6], "Six by another user");

    // Another user's insert before the page, and Down at once: every record moves on by one.
    {
        TComInterface<IFileDataSet> S = OtherSession();
        Check(S->Insert());
        Check(S->SetFieldValue(OleVariant("CustNo"), OleVariant("0")));
        Check(S->SetFieldValue(OleVariant("Company"), OleVariant("Company 0")));
        Ask(S.get(), &IFileDataSet::Post);
        Check(S->Close());
    }
    Key(Qt::Key_Down);
    ExpectPageAsStored("an insert taken in by the move");
    ASSERT_TRUE(LetTheLiveViewLook());
    ExpectPageAsStored("an insert, after the look");

    // With the live view off, another user's change shows after Refresh, and stays after the
    // page shifts.
    DataSet->SetLiveView(false);
    const int Top = PageRecords().front();
    ChangeCompanyElsewhere(Top + 4, "Changed, then refreshed");
    DataSet->Refresh();
    EXPECT_EQ(Shown()[Top + 4], "Changed, then refreshed");
    ClickCell(1, 9);
    Key(Qt::Key_Down);
    ExpectPageAsStored("a change shown by Refresh, then Down");
    DataSet->SetLiveView(true);

    // One's own post, then the page shifts.
    ClickCell(1, 9);
    const int Own = PageRecords()[5];
    Check(Server()->MoveTo(OleVariant(Own)));
    Check(Server()->Edit());
    Check(Server()->SetFieldValue(OleVariant("Company"), OleVariant("Posted here")));
    Ask(Server(), &IFileDataSet::Post);
    ClickCell(1, 9);
    Key(Qt::Key_Down);
    EXPECT_EQ(Shown()[Own], "Posted here");
    ExpectPageAsStored("one's own post, then Down");

    // One's own post that moves a record on the page to the end of the table: every record
    // after it moves up by one.
    const int Moved = PageRecords()[2];
    Check(Server()->MoveTo(OleVariant(Moved)));
    Check(Server()->Edit());
    Check(Server()->SetFieldValue(OleVariant("CustNo"), OleVariant("9999")));
    Ask(Server(), &IFileDataSet::Post);
    ExpectPageAsStored("one's own post that moved a record");
    ClickCell(1, 9);
    Key(Qt::Key_Down);
    ExpectPageAsStored("one's own post that moved a record, then Down");
}

}  // namespace
