// Users and rights from the schema, schema errors, and how failures reach the caller.
#include "tests/server/ServerTestSupport.h"

#include <filesystem>

#include "com/OleCheck.h"

namespace {

bool Contains(const AnsiString& Text, const AnsiString& Part)
{
    return Text.find(Part) != AnsiString::npos;
}

class UsersTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        std::filesystem::copy_file(DEMO_SCHEMA, Dir.File("customer.SFD"));
    }
    TSession Demo(const AnsiString& User) { return NewSession(User, "", "customer.SFD"); }
};

TEST_F(UsersTest, DemoUserWritesDesignerReadsAndOthersAreRefused)
{
    OleVariant R;
    TSession Writer = Demo("1688");
    OleCheck(Writer->Open(&R));
    EXPECT_FALSE(FlagOf(Writer.get(), &IFileDataSet::GetDataReadOnly));
    ASSERT_TRUE(Succeeded(AddRecord(Writer.get(), {{"CustNo", "1221"}, {"Company", "Kauai Dive Shoppe"}})));

    TSession Designer = Demo("Designer");
    OleCheck(Designer->Open(&R));
    EXPECT_TRUE(FlagOf(Designer.get(), &IFileDataSet::GetDataReadOnly));
    OleVariant V;
    OleCheck(Designer->GetFieldCount(&V));
    std::vector<AnsiString> Names;
    for (int I = 0; I < V.AsInteger(); ++I) {
        OleVariant Name;
        OleCheck(Designer->GetFieldName(I, &Name));
        Names.push_back(Name.AsString());
    }
    EXPECT_EQ(Names, (std::vector<AnsiString>{"CustNo", "Company", "Addr1", "Addr2", "City", "State", "Zip", "Country",
                                               "Phone", "FAX", "TaxRate", "Contact", "LastInvoiceDate"}));
    EXPECT_EQ(ValueOf(Designer.get(), "Company"), "Kauai Dive Shoppe");
    HRESULT Code = Designer->Insert();
    EXPECT_EQ(Code, E_ACCESSDENIED);
    EXPECT_TRUE(Contains(FailureText(Code), "\"Designer\" may only read"));
    EXPECT_EQ(FailureText(Designer->Edit()).find("may only read") != AnsiString::npos, true);

    TSession Stranger = Demo("9999");
    Code = Stranger->Open(&R);
    EXPECT_EQ(Code, E_ACCESSDENIED);
    EXPECT_FALSE(R.AsBoolean());
    EXPECT_TRUE(Contains(FailureText(Code), "\"9999\" may not open the table Customer"));
    OleCheck(Stranger->GetActive(&V));
    EXPECT_FALSE(V.AsBoolean());
    EXPECT_TRUE(Contains(FailureText(Demo("")->Open(&R)), "No access user is given"));
}

TEST_F(UsersTest, BadOrMissingSchemaFailsOpenNamingFileLineAndProblem)
{
    Dir.WriteFile("bad.SFD", "[Table]\nName = T\n[Fields]\nA, Text, 5, Key\nB, Date, 5\n");
    TSession S = NewSession("u", "", "bad.SFD");
    OleVariant R;
    AnsiString Msg = FailureText(S->Open(&R));
    EXPECT_TRUE(Contains(Msg, "bad.SFD, line 5") && Contains(Msg, "unknown type Date of field B")) << Msg;
    TSession Missing = NewSession("u", "", "nowhere.SFD");
    Msg = FailureText(Missing->Open(&R));
    EXPECT_TRUE(Contains(Msg, "nowhere.SFD was not found")) << Msg;
    OleCheck(Missing->SetSchemaFileName(""));
    EXPECT_TRUE(Contains(FailureText(Missing->Open(&R)), "No schema file is named"));
}

TEST_F(UsersTest, FailuresBecomeOleExceptionsWithTheServersMessage)
{
    TSession S = OpenSession();
    OleVariant V;
    try {
        OleCheck(S->GetFieldValue("Nope", &V));
        FAIL() << "no exception";
    } catch (const EOleException& E) {
        EXPECT_EQ(E.ErrorCode(), E_INVALIDARG);
        EXPECT_EQ(E.Message(), "The table Customer has no field \"Nope\".");
        EXPECT_EQ(E.Source(), "Ostrel.FileDataSet");
    }
    // A variant that cannot be converted is an invalid argument, not a crash.
    EXPECT_EQ(S->MoveTo(OleVariant("two")), E_INVALIDARG);
    EXPECT_TRUE(Contains(FailureText(S->MoveTo(OleVariant("two"))), "Invalid argument"));
    EXPECT_EQ(S->GetRecordCount(nullptr), E_POINTER);
    EXPECT_TRUE(Contains(FailureText(S->GetRecordCount(nullptr)), "No variable"));
}

TEST_F(UsersTest, CreateRemoteWorksOnlyForThisMachine)
{
    EXPECT_TRUE(CoFileDataSet::CreateRemote(""));
    EXPECT_TRUE(CoFileDataSet::CreateRemote("localhost"));
    try {
        CoFileDataSet::CreateRemote("far-away-host");
        FAIL() << "no exception";
    } catch (const EOleException& E) {
        EXPECT_TRUE(Contains(E.Message(), "far-away-host")) << E.Message();
    }
}

}  // namespace
