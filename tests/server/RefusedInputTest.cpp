// Names, paths and values that cannot be used are refused when they are read, with a
// message that says what is wrong; and Post says whether it wrote anything.
#include "tests/server/ServerTestSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "com/ComObj.h"
#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/Schema.h"
#include "server/ServerError.h"

namespace {

bool Contains(const AnsiString& Text, const AnsiString& Part)
{
    return Text.find(Part) != AnsiString::npos;
}

AnsiString SchemaProblem(const AnsiString& Text)
{
    try {
        RecordServer::ParseSchema(Text, "t.SFD");
    } catch (const RecordServer::EServerError& E) {
        return E.Message();
    }
    return "(accepted)";
}

TEST(SchemaNames, NamesThatCannotBeUsedAreRefusedNamingTheLine)
{
    struct TCase {
        AnsiString Text;
        const char* Problem;  // "" when the schema is accepted
    };
    const AnsiString Head = "[Table]\nName = T\n[Fields]\n";
    const TCase Cases[] = {
        {Head + "M\xFCller, Text, 5\n", "line 4: the line is not UTF-8 text"},  // Latin-1
        {"# caf\xE9\n" + Head + "A, Text, 5\n", "line 1: the line is not UTF-8 text"},
        {Head + "A\xED\xA0\x80, Text, 5\n", "line 4: the line is not UTF-8 text"},  // an encoded surrogate
        {Head + "A\xC2\xA0" "B, Text, 5\n", "line 4: field name: the name A\xC2\xA0" "B may hold only letters, digits and '_' (found U+00A0)"},
        {Head + "A\xE2\x80\x8B, Text, 5\n", "(found U+200B)"},    // zero-width space
        {Head + "A\xE3\x80\x80" "B, Text, 5\n", "(found U+3000)"},  // ideographic space
        {Head + "Price\xE2\x82\xAC, Text, 5\n", "(found U+20AC)"},  // euro sign
        {Head + "A\x01" "B, Text, 5\n", "(found U+0001)"},
        {Head + "A, Text, 5\n[Users]\nBob\x01x = Write\n", "line 6: the user name \"Bob\\x01x\" holds the control character U+0001"},  // shown escaped
        {Head + "A, Text, 5\n[Users]\nBob\xC2\x85x = Write\n", "holds the control character U+0085"},
        {Head + "M\xC3\xBCller, Text, 5\n\xE5\xAE\xA2\xE6\x88\xB6_1, Number, 4\n\xD0\x98\xD0\xBC\xD1\x8F, Text, 3\n", ""},
        {Head + "A, Text, 5\n[Users]\nJos\xC3\xA9 Mar\xC3\xAD" "a = Read\n", ""},
    };
    for (const TCase& Case : Cases) {
        AnsiString Problem = SchemaProblem(Case.Text);
        if (*Case.Problem == '\0') EXPECT_EQ(Problem, "(accepted)") << Case.Text;
        else EXPECT_TRUE(Contains(Problem, Case.Problem)) << Problem;
    }
}

TEST_F(ServerTest, FileNamesWithANulAndUserNamesWithControlCharactersAreRefused)
{
    AnsiString File = Dir.File("data.db");
    {
        TSession S = OpenSession("u", File);
        AddKeys(S.get(), {"1"});
    }
    TSession S = CoFileDataSet::Create();
    const AnsiString Cut = File + AnsiString(1, '\0') + ".elsewhere";
    EXPECT_TRUE(Contains(FailureText(S->SetAccessFile(OleVariant(Cut))), "holds a NUL character"));
    EXPECT_TRUE(Contains(FailureText(S->SetSchemaFileName(OleVariant(Dir.File("test.SFD") + AnsiString(1, '\0') + "x"))),
                         "The schema file name"));
    for (const AnsiString& User : {AnsiString("a\tb"), AnsiString("a") + AnsiString(1, '\0') + "b", AnsiString("\x7F")})
        EXPECT_EQ(S->SetAccessUser(OleVariant(User)), E_INVALIDARG) << User;
    // Nothing was cut and opened: the names set before stay, and they name no schema.
    OleVariant R;
    EXPECT_TRUE(Contains(FailureText(S->Open(&R)), "No schema file is named"));
}

TEST_F(ServerTest, SchemaPathsThatAreNoFileAndAnEmptyUserSayWhatIsWrong)
{
    std::filesystem::create_directory(Dir.File("folder.SFD"));
    ASSERT_EQ(mkfifo(Dir.File("pipe.SFD").c_str(), 0600), 0);
    struct TCase {
        AnsiString Schema;
        const char* Problem;
    };
    const TCase Cases[] = {
        {Dir.File("folder.SFD"), "is a folder, not a file"},
        {Dir.File("pipe.SFD"), "is a FIFO (named pipe), not a file"},
        {"/dev/null", "/dev/null is a device, not a file"},
    };
    OleVariant R;
    for (const TCase& Case : Cases) {
        TSession S = CoFileDataSet::Create();
        OleCheck(S->SetSchemaFileName(OleVariant(Case.Schema)));
        EXPECT_TRUE(Contains(FailureText(S->Open(&R)), Case.Problem)) << Case.Schema;
    }
    TSession S = CoFileDataSet::Create();
    OleCheck(S->SetSchemaFileName(OleVariant(Dir.File("test.SFD"))));
    OleCheck(S->SetAccessFile(OleVariant(Dir.File("folder.SFD"))));
    EXPECT_TRUE(Contains(FailureText(S->Open(&R)), "it is a folder, not a database file"));

    Dir.WriteFile("users.SFD", AnsiString(TestSchemaText) + "[Users]\nBob = Write\n");
    TSession NoUser = NewSession("", "", "users.SFD");
    EXPECT_TRUE(Contains(FailureText(NoUser->Open(&R)), "No access user is given (set AccessUser)"));
}

// Runs Step as a user without the right to write to folders it does not own (the tests may
// run as root, who has it everywhere) and gives back the text it returns.
AnsiString AsUnprivilegedUser(const std::function<AnsiString()>& Step)
{
    if (geteuid() != 0) return Step();
    int Pipe[2];
    if (pipe(Pipe) != 0) return "(no pipe)";
    pid_t Pid = fork();
    if (Pid == 0) {
        close(Pipe[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        AnsiString Text = Step();
        if (write(Pipe[1], Text.data(), Text.size()) < 0) _exit(3);
        _exit(0);
    }
    close(Pipe[1]);
    AnsiString Text;
    char Buffer[512];
    for (ssize_t N; (N = read(Pipe[0], Buffer, sizeof Buffer)) > 0;) Text.append(Buffer, static_cast<std::size_t>(N));
    close(Pipe[0]);
    waitpid(Pid, nullptr, 0);
    return Text;
}

TEST_F(ServerTest, ADatabaseFileInAReadOnlyFolderSaysTheFolderMustBeWritable)
{
    AnsiString Folder = Dir.File("locked");
    std::filesystem::create_directory(Folder);
    AnsiString File = Folder + "/data.db";
    {
        TSession S = OpenSession("u", File);
        AddKeys(S.get(), {"1"});
    }
    // The journal files go when the last connection closes; without them and without a
    // writable folder, the table cannot be opened.
    ASSERT_FALSE(std::filesystem::exists(File + "-wal"));
    chmod(Dir.Path().c_str(), 0755);
    chmod(Folder.c_str(), 0555);
    chmod(File.c_str(), 0666);
    chmod(Dir.File("test.SFD").c_str(), 0644);
    AnsiString Message = AsUnprivilegedUser([&] {
        CoInitialize();
        TSession S = NewSession("u", File);
        OleVariant R;
        return FailureText(S->Open(&R));
    });
    chmod(Folder.c_str(), 0755);
    EXPECT_TRUE(Contains(Message, "the folder " + Folder + " must be writable, for the table's journal")) << Message;
}

// Values arrive in variants as UTF-16: an unpaired surrogate in a value or a filter line is
// kept as U+FFFD, the same character a form file's #55296 gives.
TEST_F(ServerTest, UnpairedSurrogatesInValuesAndFilterLinesAreKeptAsTheReplacementCharacter)
{
    TSession S = OpenSession();
    const std::u16string Values[] = {u"a\xD800", u"b\xDC00", u"c\xD83D\xDE00"};
    int Key = 0;
    for (const std::u16string& Value : Values) {
        OleCheck(S->Insert());
        OleCheck(S->SetFieldValue(OleVariant("CustNo"), OleVariant(IntToStr(++Key))));
        OleCheck(S->SetFieldValue(OleVariant("Company"), OleVariant(Value)));
        OleVariant R;
        OleCheck(S->Post(&R));
    }
    OleCheck(S->MoveTo(1));
    EXPECT_EQ(ValueOf(S.get(), "Company"), "a\xEF\xBF\xBD");
    OleCheck(S->MoveTo(3));
    EXPECT_EQ(ValueOf(S.get(), "Company"), "c\xF0\x9F\x98\x80");
    OleVariant R;
    OleCheck(S->AddFilterCommand(OleVariant(std::u16string(u"d,Company,2,,=,\xDC00,")), &R));
    OleCheck(S->SetFiltered(true));
    EXPECT_EQ(KeysInView(S.get()), (std::vector<AnsiString>{"1", "2"}));  // both lone halves are U+FFFD
}

TEST_F(ServerTest, PostAnswersTrueOnlyWhenItWroteAPendingRecord)
{
    TSession S = NewSession();
    OleVariant R(true);
    OleCheck(S->Post(&R));  // closed
    EXPECT_FALSE(R.AsBoolean());
    OleCheck(S->Open(&R));
    R = OleVariant(true);
    OleCheck(S->Post(&R));  // open, nothing pending
    EXPECT_FALSE(R.AsBoolean());
    OleCheck(S->Insert());
    OleCheck(S->SetFieldValue(OleVariant("CustNo"), OleVariant("5")));
    OleCheck(S->Post(&R));
    EXPECT_TRUE(R.AsBoolean());
    OleCheck(S->Edit());
    OleCheck(S->Post(&R));
    EXPECT_TRUE(R.AsBoolean());
    EXPECT_EQ(ValueOf(S.get(), "CustNo"), "5");
}

}  // namespace
