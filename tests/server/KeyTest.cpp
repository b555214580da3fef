// Keys: number keys and number filters compare exactly, however many digits a number has,
// and the key index follows the schema even when the table name changes letter case.
#include "tests/server/ServerTestSupport.h"

#include <sqlite3.h>

#include "com/OleCheck.h"
#include "server/RegisterFileDataSetServer.h"
#include "server/SqliteDb.h"

namespace {

using Keys = std::vector<AnsiString>;

const char* const WideKeySchema = "[Table]\nName = Big\n[Fields]\nK, Number, 40, Key\nNote, Text, 10\n";

class KeyTest : public ServerTest {
protected:
    TSession OpenWide(const AnsiString& AccessFile)
    {
        Dir.WriteFile("big.SFD", WideKeySchema);
        return OpenSession("u", AccessFile, "big.SFD");
    }
    static HRESULT Add(IFileDataSet* S, const AnsiString& Key) { return AddRecord(S, {{"K", Key}}); }
    static Keys InView(IFileDataSet* S) { return KeysInView(S, "K"); }
};

TEST_F(KeyTest, NumbersThatDifferInAnyDigitAreDistinctKeysAndEqualNumbersCollide)
{
    struct TCase {
        const char* First;
        const char* Second;
        bool Duplicate;
    };
    const TCase Cases[] = {
        {"12345678901234567891", "12345678901234567890", false},
        {"9223372036854775808", "9223372036854775809", false},
        {"0.1", "0.10000000000000000001", false},
        {"-18446744073709551617", "-18446744073709551616", false},
        {"1e400", "1.0000000000000000000000001e400", false},
        {"13", "13.0", true},
        {"14", "1.4e1", true},
        {"15", "150e-1", true},
        {"0", "-0.000", true},
        {"2e400", "20E399", true},
    };
    for (AnsiString File : {AnsiString(), AnsiString(Dir.File("big.db"))}) {
        TSession S = OpenWide(File);
        for (const TCase& Case : Cases) {
            SCOPED_TRACE(File + ": " + Case.First + " then " + Case.Second);
            ASSERT_TRUE(Succeeded(Add(S.get(), Case.First)));
            HRESULT Second = Add(S.get(), Case.Second);
            if (Case.Duplicate) {
                EXPECT_NE(FailureText(Second).find("is already the key of another record"), AnsiString::npos);
                OleCheck(S->Cancel());
            } else {
                EXPECT_TRUE(Succeeded(Second));
            }
        }
        // The order is the exact numeric order too.
        EXPECT_EQ(InView(S.get()), (Keys{"-18446744073709551617", "-18446744073709551616", "0", "0.1",
                                         "0.10000000000000000001", "13", "14", "15", "9223372036854775808", "9223372036854775809",
                                         "12345678901234567890", "12345678901234567891", "1e400",
                                         "1.0000000000000000000000001e400", "2e400"}));
        OleCheck(S->Close());
        DropAllMemoryTables();
    }
}

// Keys that agree in their first 15 significant digits are told apart by their whole value: wherever a record goes in, the writer's view and another
// session's view keep the exact order.
TEST_F(KeyTest, KeysThatAgreeInTheirLeadingDigitsKeepTheirExactOrderInEveryView)
{
    const Keys Added = {"12345678901234567890", "12345678901234567895", "12345678901234567893", "12345678901234567891",
                        "-12345678901234567895", "-12345678901234567891", "1.00000000000000005", "1", "1.00000000000000001",
                        "12345678901234567894"};
    const Keys Ordered = {"-12345678901234567895", "-12345678901234567891", "1", "1.00000000000000001", "1.00000000000000005", "12345678901234567890", "12345678901234567891",
                          "12345678901234567893", "12345678901234567894", "12345678901234567895"};
    for (AnsiString File : {AnsiString(), AnsiString(Dir.File("ties.db"))}) {
        SCOPED_TRACE(File);
        TSession Writer = OpenWide(File), Reader = OpenWide(File);
        for (const AnsiString& Key : Added) {
            ASSERT_TRUE(Succeeded(Add(Writer.get(), Key))) << Key;
            OleCheck(Writer->First());
            OleCheck(Reader->Last());  // takes the write in, at a place of its view not the writer's
        }
        EXPECT_EQ(InView(Writer.get()), Ordered);
        EXPECT_EQ(InView(Reader.get()), Ordered);
        OleCheck(Writer->Close());
        OleCheck(Reader->Close());
        DropAllMemoryTables();
    }
}

TEST_F(KeyTest, NumberFiltersMatchOnlyExactlyEqualNumbers)
{
    TSession S = OpenWide("");
    for (const char* Key : {"9007199254740992", "9007199254740993", "9007199254740994", "13"}) ASSERT_TRUE(Succeeded(Add(S.get(), Key)));
    struct TCase {
        const char* Line;
        Keys Expected;
    };
    const TCase Cases[] = {
        {"d,K,,,=,9007199254740993,", {"9007199254740993"}},
        {"d,K,,,<>,9007199254740993,", {"13", "9007199254740992", "9007199254740994"}},
        {"d,K,,,>,9007199254740992,", {"9007199254740993", "9007199254740994"}},
        {"d,K,,,<=,9007199254740992.5,", {"13", "9007199254740992"}},
        {"d,K,,,=,1.3e1,", {"13"}},
        {"d,K,,,=,13.000000000000000000001,", {}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Line);
        OleCheck(S->ClearFilterCommand());
        OleVariant R;
        OleCheck(S->AddFilterCommand(Case.Line, &R));
        OleCheck(S->SetFiltered(true));
        EXPECT_EQ(InView(S.get()), Case.Expected);
        OleCheck(S->SetFiltered(false));
    }
}

TEST_F(KeyTest, NumberWithAnOverlongExponentIsRefusedSayingTheLimit)
{
    TSession S = OpenWide("");
    EXPECT_NE(FailureText(Add(S.get(), "1e1234567890")).find("a number's exponent may have at most 9 digits"),
              AnsiString::npos);
    OleCheck(S->Cancel());
    EXPECT_TRUE(Succeeded(Add(S.get(), "1e0000000000000000131071")));  // leading zeros do not count
}

// A file made before number keys were exact has a unique index on CAST(K AS NUMERIC),
// which takes 12345678901234567890 and ...891 as one number.
TEST_F(KeyTest, FileWithTheEarlierNumericIndexOpensAndThenTellsLongNumbersApart)
{
    AnsiString File = Dir.File("old.db");
    {
        RecordServer::TSqliteDb Db(File);
        Db.Exec("CREATE TABLE \"Big\" (zfd_id INTEGER PRIMARY KEY AUTOINCREMENT, zfd_ver INTEGER NOT NULL DEFAULT 1, "
                "\"K\" TEXT NOT NULL DEFAULT '', \"Note\" TEXT NOT NULL DEFAULT '');"
                "CREATE UNIQUE INDEX \"zfd_key_Big_1A2B3C4D\" ON \"Big\" (CAST(\"K\" AS NUMERIC));"
                "INSERT INTO \"Big\" (\"K\", \"Note\") VALUES ('12345678901234567890', 'old'), ('7', 'old');");
    }
    TSession S = OpenWide(File);
    EXPECT_EQ(InView(S.get()), (Keys{"7", "12345678901234567890"}));
    EXPECT_TRUE(Succeeded(Add(S.get(), "12345678901234567891")));
    EXPECT_NE(FailureText(Add(S.get(), "7.0")).find("is already the key"), AnsiString::npos);
}

TEST_F(KeyTest, TableNameInAnotherLetterCaseIsTheSameTableAndItsOldKeyIndexIsDropped)
{
    AnsiString File = Dir.File("case.db");
    {
        TSession S = OpenSession("u", File);  // table Customer, key CustNo
        AddKeys(S.get(), {"1", "2"});
    }
    Dir.WriteFile("test.SFD", "[Table]\nName = CUSTOMER\n[Fields]\nCustNo, Number, 8\nCompany, Text, 10, Key\n"
                              "TaxRate, Number, 6\nCity, Text, 12\n");
    TSession S = OpenSession("u", File);
    EXPECT_EQ(CountOf(S.get()), 2);
    EXPECT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "1"}, {"Company", "Other"}})));  // the old key is gone
    EXPECT_NE(FailureText(AddRecord(S.get(), {{"CustNo", "3"}, {"Company", "C2"}})).find("Key Company"),
              AnsiString::npos);
}

}  // namespace
