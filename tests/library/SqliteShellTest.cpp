// A table file in SQLite's own shell with the suite's extension loaded: the shell checks the
// file a session wrote, and writes to it with plain SQL that an open session then sees.
#include <cstdio>

#include "com/OleCheck.h"
#include "tests/server/ServerTestSupport.h"

namespace {

struct TShellRun {
    int Status = -1;
    AnsiString Output;  // what the shell wrote, errors included
};

class SqliteShellTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        // Keys of twenty digits and more, which a double would not tell apart.
        Dir.WriteFile("test.SFD", "[Table]\nName = Customer\n[Fields]\nCustNo, Number, 30, Key\nCompany, Text, 30\n"
                                  "City, Text, 12\n");
    }

    // Runs Script in the sqlite3 shell on Database, after loading the extension when asked.
    TShellRun Shell(const AnsiString& Database, const AnsiString& Script, bool WithExtension = true)
    {
        AnsiString Text = WithExtension ? ".load '" SQLITE_EXTENSION "'\n" : "";
        const AnsiString ScriptFile = Dir.WriteFile("shell.sql", Text + Script);
        const AnsiString Command = "'" SQLITE3_SHELL "' -batch -bail '" + Database + "' < '" + ScriptFile + "' 2>&1";
        TShellRun Run;
        FILE* Pipe = popen(Command.c_str(), "r");
        if (!Pipe) return Run;
        char Buffer[4096];
        for (std::size_t N; (N = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0;) Run.Output.append(Buffer, N);
        Run.Status = pclose(Pipe);
        return Run;
    }

    AnsiString IntegrityCheck(const AnsiString& Database, bool WithExtension = true)
    {
        return Shell(Database, "PRAGMA integrity_check;\n", WithExtension).Output;
    }

    void DeleteRecord(IFileDataSet* S, int RecNo)
    {
        OleCheck(S->MoveTo(RecNo));
        OleCheck(S->Delete());
    }
};

TEST_F(SqliteShellTest, ATableFileThatASessionPostedEditedAndDeletedInChecksOkWithTheExtensionOnly)
{
    const AnsiString File = Dir.File("table.db");
    TSession S = OpenSession("u", File);
    AddKeys(S.get(), {"13", "2", "100", "12345678901234567890", "-0.5", "1e3", "7"});
    ASSERT_TRUE(Succeeded(EditRecord(S.get(), 1, {{"CustNo", "8"}, {"Company", "moved"}})));  // -0.5 becomes 8
    ASSERT_TRUE(Succeeded(EditRecord(S.get(), 3, {{"City", "Lyon"}})));
    DeleteRecord(S.get(), 2);
    DeleteRecord(S.get(), CountOf(S.get()));
    ASSERT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"2", "8", "13", "100", "1e3"}));

    // The key index is made of the server's collation and function: the shell alone cannot
    // check it, with the extension it finds every entry in order.
    const AnsiString Without = IntegrityCheck(File, false);
    EXPECT_NE(Without.find("zfd_"), AnsiString::npos) << Without;
    EXPECT_EQ(IntegrityCheck(File), "ok\n");
}

TEST_F(SqliteShellTest, AnOpenSessionSeesTheShellsInsertUpdateAndDeleteThroughTheChangeLog)
{
    const AnsiString File = Dir.File("table.db");
    TSession S = OpenSession("u", File);
    AddKeys(S.get(), {"1", "2", "4", "5"});
    OleCheck(S->MoveTo(2));

    const TShellRun Run = Shell(File, "INSERT INTO Customer (CustNo, Company) VALUES ('3.5', 'shell');\n"
                                      "UPDATE Customer SET Company = 'changed' WHERE CustNo = '2';\n"
                                      "UPDATE Customer SET CustNo = '40' WHERE CustNo = '4';\n"
                                      "DELETE FROM Customer WHERE CustNo = '5';\n"
                                      "PRAGMA integrity_check;\n");
    ASSERT_EQ(Run.Output, "ok\n");

    // The cursor stays on its record, which shows the shell's change; the others are in place.
    EXPECT_EQ(RecNoOf(S.get()), 2);
    EXPECT_EQ(ValueOf(S.get(), "Company"), "changed");
    EXPECT_EQ(CountOf(S.get()), 4);
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"1", "2", "3.5", "40"}));
    OleCheck(S->MoveTo(3));
    EXPECT_EQ(ValueOf(S.get(), "Company"), "shell");

    // The session goes on writing after the shell.
    ASSERT_TRUE(Succeeded(AddRecord(S.get(), {{"CustNo", "3"}})));
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"1", "2", "3", "3.5", "40"}));
    EXPECT_EQ(IntegrityCheck(File), "ok\n");
}

TEST_F(SqliteShellTest, TheShellKeepsNumberKeysUniqueAsTheServerComparesThem)
{
    const AnsiString File = Dir.File("table.db");
    TSession S = OpenSession("u", File);
    AddKeys(S.get(), {"13", "12345678901234567890"});
    const struct {
        const char* Key;
        bool Refused;
    } Cases[] = {
        {"13.0", true},  {"1.3e1", true}, {" 13", true}, {"013", true}, {"12345678901234567890.000", true},
        {"12345678901234567891", false}, {"14", false}, {"-13", false},
    };
    for (const auto& Case : Cases) {
        const TShellRun Run =
            Shell(File, "INSERT INTO Customer (CustNo, Company) VALUES ('" + AnsiString(Case.Key) + "', 'x');\n");
        EXPECT_EQ(Run.Output.find("UNIQUE constraint failed") != AnsiString::npos, Case.Refused)
            << Case.Key << ": " << Run.Output;
        EXPECT_EQ(Run.Status != 0, Case.Refused) << Case.Key;
    }
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"-13", "13", "14", "12345678901234567890",
                                                            "12345678901234567891"}));
}

TEST_F(SqliteShellTest, AnEditOfARecordThatThePlainShellChangedMeanwhileIsRefused)
{
    const AnsiString File = Dir.File("table.db");
    TSession S = OpenSession("u", File);
    AddKeys(S.get(), {"1", "2"});

    // In browse: the session learns that its record changed under it.
    OleCheck(S->MoveTo(2));
    ASSERT_EQ(Shell(File, "UPDATE Customer SET City = 'Oslo' WHERE CustNo = '2';\n").Status, 0);
    EXPECT_TRUE(FlagOf(S.get(), &IFileDataSet::GetRecordChangedByOther));

    // In an edit: the post is refused, nothing of the shell's change is overwritten.
    OleCheck(S->MoveTo(1));
    OleCheck(S->Edit());
    ASSERT_EQ(Shell(File, "UPDATE Customer SET Company = 'shell' WHERE CustNo = '1';\n").Status, 0);
    OleCheck(S->SetFieldValue("Company", "session"));
    OleVariant Result;
    const AnsiString Refusal = FailureText(S->Post(&Result));
    EXPECT_NE(Refusal.find("by another user"), AnsiString::npos) << Refusal;
    OleCheck(S->Cancel());
    OleCheck(S->MoveTo(1));
    EXPECT_EQ(ValueOf(S.get(), "Company"), "shell");
}

}  // namespace
