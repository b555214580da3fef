// Rules of a session that hold on every store alike (a memory table, a file, a PostgreSQL
// table): which numbers a post takes, how a refused key is named, and when another writer's
// post shows.
#include <gtest/gtest.h>

#include <libpq-fe.h>

#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/SqliteDb.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"

namespace {

enum class TStoreKind { SqliteMemory, SqliteFile, Postgres };

std::string KindName(const ::testing::TestParamInfo<TStoreKind>& Info)
{
    switch (Info.param) {
    case TStoreKind::SqliteMemory: return "SqliteMemory";
    case TStoreKind::SqliteFile: return "SqliteFile";
    case TStoreKind::Postgres: return "Postgres";
    }
    return "Unknown";
}

class SessionOnEveryStore : public ServerTest, public ::testing::WithParamInterface<TStoreKind> {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        Dir.WriteFile("measures.SFD", "[Table]\nName = Measures\n[Fields]\nK, Number, 20000, Key\nV, Number, 20000\n");
        Dir.WriteFile("codes.SFD", "[Table]\nName = Codes\n[Fields]\nCode, Text, 10, Key\nNote, Text, 10\n");
        switch (GetParam()) {
        case TStoreKind::SqliteMemory: AccessFile = ""; break;
        case TStoreKind::SqliteFile: AccessFile = Dir.File("data.db"); break;
        case TStoreKind::Postgres: AccessFile = TestCluster().NewDatabase(); break;
        }
    }
    TSession Open(const char* Schema) { return OpenSession("1688", AccessFile, Schema); }

    AnsiString AccessFile;
};

// One range of numbers for every store, checked at Post with the field and the value named:
// what one store holds another can take over (PostgreSQL's numeric orders a key there), in a
// key field and in any other.
TEST_P(SessionOnEveryStore, ANumberBeyondTheRangeEveryStoreHoldsIsRefusedAtPostNamingFieldAndValue)
{
    TSession S = Open("measures.SFD");
    const AnsiString ManyZeros = "1." + AnsiString(16384, '0');
    struct TCase {
        AnsiString Value;
        bool Taken;
    };
    const TCase Cases[] = {
        {"1e131071", true},         {"9.9e131071", true},     {"0.00002e131076", true}, {"1e-16383", true},
        {"1234.5e-16382", true},    {"0e999999", true},       {"1e131072", false},      {"0.00001e131077", false},
        {"1e-16384", false},        {"1.5e-16383", false},    {"0e-99999", false},      {ManyZeros, false},
        {"-1e999999999", false},
    };
    int Stored = 0;
    for (const char* Field : {"K", "V"}) {
        for (const TCase& Case : Cases) {
            const AnsiString Key = Field == AnsiString("K") ? Case.Value : IntToStr(Stored + 1);
            HRESULT Code = AddRecord(S.get(), {{"K", Key}, {"V", Case.Value}});
            if (Case.Taken) {
                EXPECT_TRUE(Succeeded(Code)) << Field << " " << Case.Value;
                Stored += SUCCEEDED(Code);
                if (FAILED(Code)) OleCheck(S->Cancel());
                continue;
            }
            AnsiString Message = FailureText(Code);
            EXPECT_NE(Message.find(AnsiString("Field ") + Field + ": the value \"" + Case.Value.substr(0, 20)),
                      AnsiString::npos)
                << Message;
            EXPECT_NE(Message.find("at most 131072 digits before the point and 16383 after it"), AnsiString::npos)
                << Message;
            OleCheck(S->Cancel());
        }
    }
    EXPECT_EQ(CountOf(Open("measures.SFD").get()), Stored);
}

// A refused key is shown whole in its message, control characters and all (a NUL once cut
// the message short); PostgreSQL refuses the NUL itself, naming the field.
TEST_P(SessionOnEveryStore, ARefusedKeyIsShownWholeInItsMessage)
{
    TSession S = Open("codes.SFD");
    const AnsiString Key("A\0x", 3);
    const AnsiString Shown = "\"A\\0x\"";
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"Code", "B\tline"}})));
    AnsiString Tab = FailureText(AddRecord(S.get(), {{"Code", "B\tline"}}));
    EXPECT_NE(Tab.find("Key Code: the value \"B\\tline\" is already the key of another record."), AnsiString::npos) << Tab;
    OleCheck(S->Cancel());
    HRESULT First = AddRecord(S.get(), {{"Code", Key}});
    if (GetParam() == TStoreKind::Postgres) {
        AnsiString Message = FailureText(First);
        EXPECT_NE(Message.find("Field Code: the value " + Shown + " holds a NUL character"), AnsiString::npos) << Message;
        return;
    }
    ASSERT_TRUE(Succeeded(First));
    AnsiString Message = FailureText(AddRecord(S.get(), {{"Code", Key}}));
    EXPECT_NE(Message.find("Key Code: the value " + Shown + " is already the key of another record."), AnsiString::npos)
        << Message;
    EXPECT_TRUE(Succeeded(AddRecord(Open("codes.SFD").get(), {{"Code", AnsiString("A\0y", 3)}})))
        << "another key after the NUL is another key";
}

// Another writer's post, once acknowledged, is in this session's view at its next operation:
// no notice that is still on its way can hide it. (Another program for a file and a server
// table; for a memory table, which no other program reaches, another session.)
TEST_P(SessionOnEveryStore, AnotherWritersAcknowledgedPostIsInTheViewAtTheNextOperation)
{
    TSession S = Open("codes.SFD");
    TSession Other = Open("codes.SFD");
    ASSERT_EQ(CountOf(S.get()), 0);
    for (int Round = 1; Round <= 60; ++Round) {
        const AnsiString Code = "c" + IntToStr(Round);
        const AnsiString Insert = "INSERT INTO \"Codes\" (\"Code\") VALUES ('" + Code + "')";
        switch (GetParam()) {
        case TStoreKind::SqliteMemory: ASSERT_TRUE(Succeeded(AddRecord(Other.get(), {{"Code", Code}}))); break;
        case TStoreKind::SqliteFile: RecordServer::TSqliteDb(AccessFile).Exec(Insert); break;
        case TStoreKind::Postgres: {
            PGconn* Conn = PQconnectdb(AccessFile.c_str());
            PQclear(PQexec(Conn, Insert.c_str()));
            PQfinish(Conn);
            break;
        }
        }
        ASSERT_EQ(CountOf(S.get()), Round) << "round " << Round;
    }
    OleCheck(S->Last());
    EXPECT_EQ(ValueOf(S.get(), "Code"), "c9");
}

// Dates, fixed decimals, whole numbers and booleans are kept in their stored form and
// ordered as what they are on every store: dates as dates, decimals as numbers (a key's
// 1.5 and 1.50 are one), a filter compares amounts as numbers; and a session that opens the
// table again, on the same store, reads them as they were posted.
TEST_P(SessionOnEveryStore, TypedFieldsAreStoredAndOrderedAlikeOnEveryStore)
{
    Dir.WriteFile("orders.SFD", "[Table]\nName = Orders\n[Fields]\nOrdered, Date, Key\nAmount, Decimal(2), 12, Key\n"
                                "Qty, Integer, 6\nPaid, Boolean\n");
    TSession S = Open("orders.SFD");
    const std::pair<const char*, const char*> Posted[] = {
        {"2024-11-05", "100"}, {"2024-02-29", "9.99"}, {"2024-11-05", "99.5"}, {"1999-12-31", "-3"}, {"2024-11-05", "1e2"}};
    int Qty = 0;
    for (const auto& [Ordered, Amount] : Posted) {
        const HRESULT Code =
            AddRecord(S.get(), {{"Ordered", Ordered}, {"Amount", Amount}, {"Qty", IntToStr(++Qty) + ".0"}, {"Paid", "1"}});
        if (Ordered == AnsiString("2024-11-05") && Amount == AnsiString("1e2")) {
            EXPECT_NE(FailureText(Code).find("Key Ordered, Amount: the value \"2024-11-05\", \"100.00\" is already"),
                      AnsiString::npos);
            OleCheck(S->Cancel());
            continue;
        }
        ASSERT_TRUE(Succeeded(Code)) << Ordered << " " << Amount;
    }
    TSession Again = Open("orders.SFD");
    const std::vector<AnsiString> Order = {"1999-12-31 -3.00 4", "2024-02-29 9.99 2", "2024-11-05 99.50 3",
                                           "2024-11-05 100.00 1"};
    std::vector<AnsiString> Seen;
    OleCheck(Again->First());
    for (int I = 0; I < CountOf(Again.get()); ++I, OleCheck(Again->Next())) {
        Seen.push_back(ValueOf(Again.get(), "Ordered") + " " + ValueOf(Again.get(), "Amount") + " " +
                       ValueOf(Again.get(), "Qty"));
        EXPECT_EQ(ValueOf(Again.get(), "Paid"), "True");
    }
    EXPECT_EQ(Seen, Order);

    OleVariant Added;
    OleCheck(Again->AddFilterCommand(OleVariant("big,Amount,0,0,>=,99.6,"), &Added));
    OleCheck(Again->SetFiltered(OleVariant(true)));
    EXPECT_EQ(KeysInView(Again.get(), "Amount"), (std::vector<AnsiString>{"100.00"}));
}

INSTANTIATE_TEST_SUITE_P(EveryStore, SessionOnEveryStore,
                         ::testing::Values(TStoreKind::SqliteMemory, TStoreKind::SqliteFile, TStoreKind::Postgres),
                         KindName);

}  // namespace
