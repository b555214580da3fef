// Filter lines: the demo's two conditions, refused lines, switching off and on, and values
// or names crafted as SQL.
#include "tests/server/ServerTestSupport.h"

#include "com/OleCheck.h"

namespace {

using Keys = std::vector<AnsiString>;

const char* const DemoStart = "過濾客戶開始條件,CustNo,1,2,>=,13,";
const char* const DemoEnd = "過濾客戶結束條件,CustNo,1,2,<=,62,";

class FilterTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        S = OpenSession();
        AddKeys(S.get(), {"1221", "1351", "2135", "5", "62", "620", "6215", "6312", "9841", "130"});
    }
    void Add(const char* Line)
    {
        OleVariant R;
        OleCheck(S->AddFilterCommand(Line, &R));
        EXPECT_TRUE(R.AsBoolean());
    }
    AnsiString Refused(const char* Line)
    {
        OleVariant R;
        return FailureText(S->AddFilterCommand(Line, &R));
    }
    TSession S;
};

TEST_F(FilterTest, DemoLinesKeepTheRecordsWhoseCustNoBeginsWith13To62)
{
    Add(DemoStart);
    Add(DemoEnd);
    OleCheck(S->SetFiltered(true));
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetFiltered));
    EXPECT_EQ(KeysInView(S.get()), (Keys{"62", "130", "620", "1351", "2135", "6215"}));
    EXPECT_EQ(CountOf(S.get()), 6);
    OleCheck(S->MoveTo(4));
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "1351");
    EXPECT_EQ(RecNoOf(S.get()), 4);
    OleCheck(S->Last());
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetEof));

    // A posted record joins the view only when it passes.
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "3000"}})));
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "7000"}})));
    EXPECT_EQ(CountOf(S.get()), 7);
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "3000");  // the cursor stayed on the last record shown

    OleCheck(S->SetFiltered(false));
    EXPECT_EQ(CountOf(S.get()), 12);
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "3000");  // SetFiltered keeps the current record
}

TEST_F(FilterTest, MalformedLinesAreRefusedNamingTheProblemAndBlankLinesIgnored)
{
    EXPECT_NE(Refused("a,CustNo,1,2,>=,").find("has 5 comma-terminated items"), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,1,2,>=,13").find("\"13\" is not followed by a comma"), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,1,2,>=,13,x,").find("has 7"), AnsiString::npos);
    EXPECT_NE(Refused("a,Custno,1,2,>=,13,").find("no field \"Custno\""), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,x,2,>=,13,").find("start position \"x\""), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,1,-2,>=,13,").find("end position \"-2\""), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,3,2,=,13,").find("before the start"), AnsiString::npos);
    EXPECT_NE(Refused("a,CustNo,1,2,=>,13,").find("comparison \"=>\""), AnsiString::npos);
    Add("");
    Add("   \t");
    Add("a,CustNo,1,2,>=,13,\r");  // a line end after the last comma is allowed
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(CountOf(S.get()), 8);  // only the one good line holds
}

TEST_F(FilterTest, SwitchingOffAndOnKeepsTheLinesButLinesAddedAfterwardsStartANewSet)
{
    Add(DemoStart);
    Add(DemoEnd);
    OleCheck(S->SetFiltered(true));
    OleCheck(S->SetFiltered(false));
    EXPECT_FALSE(FlagOf(S.get(), &IFileDataSet::GetFiltered));
    EXPECT_EQ(CountOf(S.get()), 10);
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(CountOf(S.get()), 6);

    OleCheck(S->SetFiltered(false));
    Add("d,CustNo,,,>,6000,");
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(KeysInView(S.get()), (Keys{"6215", "6312", "9841"}));

    OleCheck(S->ClearFilterCommand());
    OleCheck(S->SetFiltered(true));  // no lines: every record, and the filter counts as on
    EXPECT_EQ(CountOf(S.get()), 10);
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetFiltered));
}

TEST_F(FilterTest, TextAndNumberComparisonsAndPositions)
{
    Add("d,Company,2,,<,6,");  // "C1221" -> "1221" is not below 6 as a number, though it is as text
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(KeysInView(S.get()), (Keys{"5"}));
    OleCheck(S->SetFiltered(false));
    Add("d,Company,,1,=,C,");  // text
    Add("d,Company,,,<>,C62,");
    Add("d,CustNo,3,,=,,");  // an empty value: keys of at most two characters
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(KeysInView(S.get()), (Keys{"5"}));
    OleCheck(S->SetFiltered(false));
    Add("d,City,,,=,,");
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(CountOf(S.get()), 10);
}

TEST_F(FilterTest, ValuesAndNamesCraftedAsSqlCannotRunSql)
{
    EXPECT_NE(Refused("x,CustNo\" OR 1=1 --,,,=,1,").find("no field"), AnsiString::npos);
    Add("x,Company,,,=,C5'; DROP TABLE Customer; --,");
    Add("x,Company,,,<>,\") OR (1=1,");
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(CountOf(S.get()), 0);
    OleCheck(S->SetFiltered(false));
    EXPECT_EQ(CountOf(S.get()), 10);
    // What was typed as a value is compared as a value.
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "77"}, {"Company", "a'); --"}})));
    Add("x,Company,,,=,a'); --,");
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(KeysInView(S.get()), (Keys{"77"}));
}

TEST_F(FilterTest, FilterSetWhileClosedAppliesAtOpen)
{
    OleCheck(S->Close());
    Add(DemoStart);
    OleCheck(S->SetFiltered(true));
    OleVariant R;
    OleCheck(S->Open(&R));
    EXPECT_EQ(CountOf(S.get()), 8);
}

}  // namespace
