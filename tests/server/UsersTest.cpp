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
    Dir.WriteFile("bad.SFD", "[Table]\nName = T\n[Fields]\nA, Text, 5, Key\nB, Datum, 5\n");
    TSession S = NewSession("u", "", "bad.SFD");
    OleVariant R;
    AnsiString Msg = FailureText(S->Open(&R));
    EXPECT_TRUE(Contains(Msg, "bad.SFD, line 5") && Contains(Msg, "unknown type Datum of field B")) << Msg;
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

TEST_F(UsersTest, FieldNamesMatchExactlyInAnyScript)
{
    Dir.WriteFile("names.SFD", "[Table]\nName = T\n[Fields]\nNo, Number, 5, Key\nName, Text, 10\nN\xC3\xA4me, Text, 10\n"
                               "\xE5\x90\x8D\xE5\x89\x8D, Text, 10\nName2, Text, 10\n");
    const AnsiString Umlaut = "N\xC3\xA4me", Chinese = "\xE5\x90\x8D\xE5\x89\x8D";
    TSession S = NewSession("u", "", "names.SFD");
    OleVariant R, V;
    OleCheck(S->Open(&R));
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"No", "1"}, {"Name", "a"}, {Umlaut.c_str(), "b"}, {Chinese.c_str(), "c"},
                                              {"Name2", "d"}})));
    // Out of order too, so that the field after the last one found is not the one asked for.
    EXPECT_EQ(ValueOf(S.get(), Chinese), "c");
    EXPECT_EQ(ValueOf(S.get(), "Name2"), "d");
    EXPECT_EQ(ValueOf(S.get(), Umlaut), "b");
    EXPECT_EQ(ValueOf(S.get(), "Name"), "a");
    EXPECT_EQ(ValueOf(S.get(), "No"), "1");
    // A name that differs from a field's in case, length or one character is no field.
    for (AnsiString Other : {AnsiString("name"), AnsiString("Nam"), AnsiString("Name22"), AnsiString("N\xC3\xA4m"),
                             AnsiString("N\xC3\xA4mE"), AnsiString("\xE5\x90\x8D")}) {
        HRESULT Code = S->GetFieldValue(OleVariant(Other), &V);
        EXPECT_EQ(Code, E_INVALIDARG) << Other;
        EXPECT_EQ(FailureText(Code), "The table T has no field \"" + Other + "\".");
    }
    // A blank name reads nothing and sets nothing.
    OleCheck(S->GetFieldValue(OleVariant(" "), &V));
    EXPECT_EQ(V.AsString(), "");
    OleCheck(S->Edit());
    EXPECT_TRUE(Contains(FailureText(S->SetFieldValue(OleVariant(" "), OleVariant("x"))), "No field name is given"));
    OleCheck(S->SetFieldValue(OleVariant(Chinese), OleVariant("e")));
    OleCheck(S->Cancel());
    // Outside Edit and Insert, the field is named as the schema names it.
    EXPECT_EQ(FailureText(S->SetFieldValue(OleVariant(Umlaut), OleVariant("x"))),
              "The field " + Umlaut + " cannot be set: the table is not in Edit or Insert (call Edit or Insert first).");
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
