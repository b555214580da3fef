// Sessions that take in each other's commits from the change log: after every step of a long
// random mix of writes from two sessions, each view equals the view a fresh session reads,
// and the cursor stays on its record; a log trimmed past what a session saw, or written by
// a connection that is not a session, makes the session read its view again.
#include "tests/server/ServerTestSupport.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <random>
#include <set>
#include <thread>
#include <tuple>
#include <utility>

#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/MemoryChangeLog.h"
#include "server/MemoryTables.h"
#include "server/RecordView.h"
#include "server/SqliteSqlFunctions.h"

namespace {

// Records carry their identity in Company ("R<n>"), which no step changes, so that a test
// can follow a record whose key changed.
struct TCursorSeen {
    int RecNo = -1;
    AnsiString Tag;  // Company of the current record; empty without one
};

TCursorSeen CursorOf(IFileDataSet* S)
{
    TCursorSeen Seen;
    Seen.RecNo = RecNoOf(S);  // takes in the commits of others first
    if (Seen.RecNo > 0) Seen.Tag = ValueOf(S, "Company");
    return Seen;
}

// Every record of the view as "key/tag/city", in order (moves the cursor).
std::vector<AnsiString> RowsInView(IFileDataSet* S)
{
    std::vector<AnsiString> Rows;
    OleCheck(S->MoveTo(1));
    for (int I = CountOf(S); I > 0; --I) {
        Rows.push_back(ValueOf(S, "CustNo") + "/" + ValueOf(S, "Company") + "/" + ValueOf(S, "City"));
        OleVariant Ignored;
        OleCheck(S->MoveNext(&Ignored));
    }
    return Rows;
}

void Exec(sqlite3* Db, const char* Sql)
{
    char* Error = nullptr;
    int Rc = sqlite3_exec(Db, Sql, nullptr, nullptr, &Error);
    AnsiString Message = Error ? Error : "";
    sqlite3_free(Error);
    ASSERT_EQ(Rc, SQLITE_OK) << Sql << ": " << Message;
}

std::int64_t QueryNumber(sqlite3* Db, const char* Sql)
{
    sqlite3_stmt* Stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(Db, Sql, -1, &Stmt, nullptr), SQLITE_OK) << Sql;
    std::int64_t Value = sqlite3_step(Stmt) == SQLITE_ROW ? sqlite3_column_int64(Stmt, 0) : -1;
    sqlite3_finalize(Stmt);
    return Value;
}

const char* const FilterLines[] = {"keys from 20,CustNo,,,>=,20,", "no Hsinchu,City,,,<>,Hsinchu,"};

struct TMix {
    bool InFile;
    bool WithFilter;
    int Stored;  // records stored before the mix (keys 1000, 1002, ...), so that views span blocks
    int Steps;
    bool SmallBlocks = false;  // views split at 6 records and cache 2 blocks
};

class ChangeLogTest : public ServerTest, public ::testing::WithParamInterface<TMix> {
protected:
    bool InFile() const { return GetParam().InFile; }
    bool WithFilter() const { return GetParam().WithFilter; }
    AnsiString AccessFile() { return InFile() ? Dir.File("log.db") : AnsiString(); }

    TSession Open(bool Filtered)
    {
        TSession S = OpenSession("1688", AccessFile());
        if (Filtered) {
            OleVariant Accepted;
            for (const char* Line : FilterLines) OleCheck(S->AddFilterCommand(Line, &Accepted));
            OleCheck(S->SetFiltered(true));
        }
        return S;
    }
};

// One random write by W: insert, change of the key, change of the city (which the filter
// tests) or delete. Keys stay unique: Keys holds those in use, all below KeyLimit.
void RandomWrite(IFileDataSet* W, std::mt19937& Random, std::set<int>& Keys, int KeyLimit, int& NextTag)
{
    auto FreeKey = [&] {
        int Key;
        do Key = static_cast<int>(Random() % static_cast<unsigned>(KeyLimit)) + 1;
        while (Keys.count(Key));
        return Key;
    };
    const char* Cities[] = {"Taipei", "Hsinchu", "Tainan"};
    int Count = CountOf(W);
    unsigned Kind = Count < 5 ? 0 : Random() % 6;  // inserts twice as often as the others
    OleVariant R;
    if (Kind <= 1) {
        int Key = FreeKey();
        AnsiString Tag = "R";  // built in place: GCC 12 warns falsely of an overlap in "R" + text
        Tag += IntToStr(NextTag++);
        ASSERT_TRUE(Succeeded(AddRecord(W, {{"CustNo", IntToStr(Key)}, {"Company", Tag}, {"City", Cities[Random() % 3]}})));
        Keys.insert(Key);
        return;
    }
    OleCheck(W->MoveTo(static_cast<int>(Random() % static_cast<unsigned>(Count)) + 1));
    int OldKey = StrToInt(ValueOf(W, "CustNo"));
    if (Kind == 5) {
        ASSERT_TRUE(Succeeded(W->Delete()));
        Keys.erase(OldKey);
        return;
    }
    ASSERT_TRUE(Succeeded(W->Edit()));
    if (Kind <= 3) {
        int Key = FreeKey();
        OleCheck(W->SetFieldValue("CustNo", IntToStr(Key)));
        Keys.erase(OldKey);
        Keys.insert(Key);
    } else {
        OleCheck(W->SetFieldValue("City", Cities[Random() % 3]));
    }
    ASSERT_TRUE(Succeeded(W->Post(&R)));
}

TEST_P(ChangeLogTest, ViewsTakenInFromTheLogEqualAFreshReadAfterEveryStepOfARandomMix)
{
    std::set<int> Keys;
    int NextTag = 1;
    if (GetParam().Stored > 0) {
        // Stored by a plain connection; the sessions opened afterwards read them.
        AnsiString Target = InFile() ? AccessFile() : RecordServer::MemoryDatabaseUri(std::filesystem::canonical(Dir.File("test.SFD")).string());
        {
            TSession Maker = Open(false);  // makes the table
        }
        sqlite3* Raw = nullptr;
        ASSERT_EQ(sqlite3_open_v2(Target.c_str(), &Raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr), SQLITE_OK);
        RecordServer::RegisterSqlFunctions(Raw);  // the key index's collation
        Exec(Raw, ("WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < " +
                   IntToStr(GetParam().Stored - 1) +
                   ") INSERT INTO Customer (CustNo, Company, City) SELECT 1000 + 2 * I, 'S' || I, "
                   "CASE I % 3 WHEN 0 THEN 'Hsinchu' ELSE 'Taipei' END FROM N")
                      .c_str());
        sqlite3_close(Raw);
        for (int I = 0; I < GetParam().Stored; ++I) Keys.insert(1000 + 2 * I);
    }
    const int KeyLimit = GetParam().Stored > 0 ? 1000 + 2 * GetParam().Stored + 500 : 300;
    struct TSizes {
        explicit TSizes(bool Small) { RecordServer::TRecordView::SetOpeningSizes(Small ? 6 : 0, Small ? 2 : 0); }
        ~TSizes() { RecordServer::TRecordView::SetOpeningSizes(0, 0); }
    } Sizes(GetParam().SmallBlocks);
    TSession A = Open(WithFilter());
    TSession B = Open(false);
    std::mt19937 Random(InFile() ? 11 : 12);
    for (int Step = 0; Step < GetParam().Steps; ++Step) {
        SCOPED_TRACE("step " + std::to_string(Step));
        // Several writes in a row by one session, so that the other takes in more than one
        // entry at once (the same record written twice among them, too).
        bool AWrites = Random() % 2;
        IFileDataSet* Writer = AWrites ? A.get() : B.get();
        IFileDataSet* Reader = AWrites ? B.get() : A.get();
        int ReaderCount = CountOf(Reader);
        if (ReaderCount > 0) OleCheck(Reader->MoveTo(static_cast<int>(Random() % static_cast<unsigned>(ReaderCount)) + 1));
        TCursorSeen Before = CursorOf(Reader);
        for (int Write = static_cast<int>(Random() % 3) + 1; Write > 0; --Write) {
            RandomWrite(Writer, Random, Keys, KeyLimit, NextTag);
            if (HasFatalFailure()) return;
        }

        TCursorSeen After = CursorOf(Reader);
        TSession Fresh = Open(Reader == A.get() && WithFilter());
        std::vector<AnsiString> Expected = RowsInView(Fresh.get());
        // The reader stays on its record when it is still in its view, else on the record
        // now at its place (or the new last).
        auto Stayed = std::find_if(Expected.begin(), Expected.end(), [&](const AnsiString& Row) {
            return !Before.Tag.empty() && Row.find("/" + Before.Tag + "/") != AnsiString::npos;
        });
        if (Stayed != Expected.end()) {
            EXPECT_EQ(After.Tag, Before.Tag);
            EXPECT_EQ(After.RecNo, Stayed - Expected.begin() + 1);
        } else if (Before.RecNo > 0 && !Expected.empty()) {
            EXPECT_EQ(After.RecNo, std::min<int>(Before.RecNo, static_cast<int>(Expected.size())));
        }
        ASSERT_EQ(RowsInView(Reader), Expected);
        ASSERT_EQ(RowsInView(Writer), RowsInView(Open(Writer == A.get() && WithFilter()).get()));
        ASSERT_EQ(InvariantProblem(A.get()), "");
        ASSERT_EQ(InvariantProblem(B.get()), "");
    }
}

INSTANTIATE_TEST_SUITE_P(MemoryAndFileWithAndWithoutFilter, ChangeLogTest,
                         ::testing::Values(TMix{false, false, 0, 400}, TMix{false, true, 0, 400},
                                           TMix{true, false, 0, 120}, TMix{true, true, 0, 120},
                                           TMix{false, false, 3000, 60}, TMix{false, true, 3000, 60},
                                           TMix{false, false, 0, 300, true}, TMix{false, true, 0, 300, true},
                                           TMix{true, false, 0, 100, true}),
                         [](const auto& Info) {
                             return std::string(Info.param.InFile ? "File" : "Memory") +
                                    (Info.param.WithFilter ? "Filtered" : "All") +
                                    (Info.param.Stored ? "InSeveralBlocks" : "") +
                                    (Info.param.SmallBlocks ? "WithSmallBlocksAndCache" : "");
                         });

class TrimmedLogTest : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        File = Dir.File("trim.db");
        ASSERT_EQ(sqlite3_open(File.c_str(), &Raw), SQLITE_OK);
        sqlite3_busy_timeout(Raw, 5000);
        RecordServer::RegisterSqlFunctions(Raw);  // the key index's collation
    }
    void TearDown() override
    {
        sqlite3_close(Raw);
        ServerTest::TearDown();
    }
    // The table made, and 3000 records stored by the plain connection (keys 1000, 1002, ...):
    // a session opened afterwards has them in several blocks.
    void Store3000()
    {
        {
            TSession Maker = OpenSession("maker", File);  // makes the table
        }
        Exec(Raw, "WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 2999) "
                  "INSERT INTO Customer (CustNo, Company) SELECT 1000 + 2 * I, 'S' || I FROM N");
    }
    // Sessions A and B on the file: B adds 10 20 30 40, and A stands on 30.
    void OpenTwoWithAOn30(TSession& A, TSession& B)
    {
        A = OpenSession("a", File);
        B = OpenSession("b", File);
        AddKeys(B.get(), {"10", "20", "30", "40"});
        OleCheck(A->MoveTo(3));
        ASSERT_EQ(ValueOf(A.get(), "CustNo"), "30");
    }

    AnsiString File;
    sqlite3* Raw = nullptr;  // owned: a plain connection to the table's file
};

TEST_F(TrimmedLogTest, ALogTrimmedPastWhatASessionSawMakesItReadItsViewAgainWithTheCursorKept)
{
    TSession A, B;
    OpenTwoWithAOn30(A, B);
    if (HasFatalFailure()) return;

    // B writes records before and after A's; then every entry but the last is trimmed, so
    // that taking in only what is left would lose the first ones.
    AddKeys(B.get(), {"5", "25", "35"});
    OleCheck(B->MoveTo(1));
    ASSERT_TRUE(Succeeded(B->Delete()));  // 5
    OleCheck(B->MoveTo(1));
    OleCheck(B->Edit());
    OleCheck(B->SetFieldValue("CustNo", "50"));  // 10 becomes 50
    OleVariant R;
    OleCheck(B->Post(&R));
    Exec(Raw, "DELETE FROM zfd_log_Customer WHERE seq < (SELECT max(seq) FROM zfd_log_Customer)");

    EXPECT_EQ(RecNoOf(A.get()), 3);  // 20 25 [30] 35 40 50
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "30");
    EXPECT_FALSE(FlagOf(A.get(), &IFileDataSet::GetRecordChangedByOther));
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"20", "25", "30", "35", "40", "50"}));
}

// A session that fails while it takes in others' writes (here its table is renamed away for a
// moment, while a filtered view asks the store whether the records written pass) has moved
// past their log entries: it reads its view again at its next operation, with the cursor on
// its record, instead of going on without the records it had not placed.
TEST_F(TrimmedLogTest, ASessionThatFailedHalfWayThroughOthersWritesReadsItsViewAgainAtItsNextOperation)
{
    TSession A, B;
    OpenTwoWithAOn30(A, B);
    if (HasFatalFailure()) return;
    OleVariant Accepted;
    OleCheck(A->AddFilterCommand("all,CustNo,,,>=,1,", &Accepted));
    OleCheck(A->SetFiltered(true));
    OleCheck(A->MoveTo(3));
    AddKeys(B.get(), {"25", "35"});
    Exec(Raw, "ALTER TABLE Customer RENAME TO Away");
    EXPECT_NE(FailureText(A->MoveTo(1)).find("no such table"), AnsiString::npos);
    Exec(Raw, "ALTER TABLE Away RENAME TO Customer");

    EXPECT_EQ(RecNoOf(A.get()), 4);  // 10 20 25 [30] 35 40
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "30");
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"10", "20", "25", "30", "35", "40"}));
    EXPECT_EQ(InvariantProblem(A.get()), "");
}

// A session's blocks are its own: another writer's inserts that split the store's summary
// blocks under a block the session has not read, and others that empty one it has, leave its
// record numbers, its count, its cursor and every row as a fresh session reads them.
TEST_F(TrimmedLogTest, AnotherWritersInsertsThatSplitTheStoresBlocksAreTakenInWithTheCursorOnItsRecord)
{
    Store3000();
    TSession A = OpenSession("a", File);
    EXPECT_EQ(CountOf(A.get()), 3000);
    OleCheck(A->MoveTo(2501));
    ASSERT_EQ(ValueOf(A.get(), "CustNo"), "6000");
    std::int64_t Blocks = QueryNumber(Raw, "SELECT count(*) FROM \"zfd_blk_Customer\"");
    // 1200 keys between records 1025 and 2225, in a block the session never read; the first
    // 40 records (a block it read, at the top) deleted.
    Exec(Raw, "WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 1199) "
              "INSERT INTO Customer (CustNo, Company, City) SELECT 3049 + 2 * I, 'T' || I, 'Tainan' FROM N");
    OleCheck(A->MoveTo(1));
    Exec(Raw, "DELETE FROM Customer WHERE CustNo < 1080");
    EXPECT_GT(QueryNumber(Raw, "SELECT count(*) FROM \"zfd_blk_Customer\""), Blocks);  // the store split

    EXPECT_EQ(RecNoOf(A.get()), 1);  // its record went: on the one now at its place
    OleCheck(A->MoveTo(1));
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "1080");
    OleCheck(A->MoveTo(3661));
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "6000");  // 2501 - 40 + 1200
    EXPECT_EQ(CountOf(A.get()), 4160);
    TSession Fresh = OpenSession("fresh", File);
    EXPECT_EQ(KeysInView(A.get()), KeysInView(Fresh.get()));
    OleCheck(A->Last());
    EXPECT_EQ(RecNoOf(A.get()), 4160);
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "6998");
    EXPECT_EQ(InvariantProblem(A.get()), "");
}

TEST_F(TrimmedLogTest, TheLogStaysSmallAndWritesOfPlainConnectionsAreSeenToo)
{
    TSession A = OpenSession("a", File);
    AddKeys(A.get(), {"1", "2"});
    OleCheck(A->MoveTo(2));
    // A plain connection writes (the table's triggers log its writes as well), many more
    // entries than the log keeps.
    Exec(Raw, "BEGIN");
    Exec(Raw, "WITH RECURSIVE N(I) AS (SELECT 3 UNION ALL SELECT I + 1 FROM N WHERE I < 20002) "
              "INSERT INTO Customer (CustNo, Company) SELECT I, 'C' || I FROM N");
    Exec(Raw, "UPDATE Customer SET City = 'Tainan' WHERE CAST(CustNo AS NUMERIC) % 2 = 0");
    Exec(Raw, "COMMIT");
    std::int64_t Entries = QueryNumber(Raw, "SELECT count(*) FROM zfd_log_Customer");
    EXPECT_GT(Entries, 0);
    EXPECT_LE(Entries, 10000);
    EXPECT_EQ(QueryNumber(Raw, "SELECT max(seq) FROM zfd_log_Customer"), 2 + 20000 + 10001);

    EXPECT_EQ(CountOf(A.get()), 20002);
    EXPECT_EQ(RecNoOf(A.get()), 2);
    EXPECT_EQ(ValueOf(A.get(), "City"), "Tainan");

    // A plain connection's single write is taken in from the log.
    Exec(Raw, "DELETE FROM Customer WHERE CustNo = '1'");
    EXPECT_EQ(RecNoOf(A.get()), 1);
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "2");
    EXPECT_EQ(CountOf(A.get()), 20001);
}

TEST_F(TrimmedLogTest, ATableMadeBeforeTheLogExistedGetsItWhenOpened)
{
    Exec(Raw, "CREATE TABLE Customer (zfd_id INTEGER PRIMARY KEY AUTOINCREMENT, zfd_ver INTEGER NOT NULL DEFAULT 1, "
              "CustNo TEXT NOT NULL DEFAULT '', Company TEXT NOT NULL DEFAULT '', TaxRate TEXT NOT NULL DEFAULT '', "
              "City TEXT NOT NULL DEFAULT '')");
    Exec(Raw, "INSERT INTO Customer (CustNo, Company) VALUES ('7', 'Old')");
    TSession A = OpenSession("a", File);
    TSession B = OpenSession("b", File);
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"7"}));
    AddKeys(B.get(), {"3"});
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"3", "7"}));
    EXPECT_EQ(QueryNumber(Raw, "SELECT count(*) FROM zfd_log_Customer"), 1);
}

TEST_F(TrimmedLogTest, ALogMadeBeforeItHeldNewKeysGetsThemAndItsEntriesAreStillTakenIn)
{
    {
        TSession Maker = OpenSession("m", File);  // the table and its log as they are now
    }
    // Made over as a log of before: no new keys, and triggers that wrote none.
    Exec(Raw, "DROP TABLE zfd_log_Customer");
    Exec(Raw, "CREATE TABLE zfd_log_Customer (seq INTEGER PRIMARY KEY, id INTEGER NOT NULL, what INTEGER NOT NULL, "
              "oldkey TEXT)");
    TSession A = OpenSession("a", File);
    AddKeys(A.get(), {"5"});
    // An entry without a new key (written by a program of before) is taken in from the record.
    // (A plain connection opened now, which reads the table's new layout.)
    sqlite3_close(Raw);
    ASSERT_EQ(sqlite3_open(File.c_str(), &Raw), SQLITE_OK);
    RecordServer::RegisterSqlFunctions(Raw);
    Exec(Raw, "INSERT INTO Customer (CustNo, Company) VALUES ('4', 'Plain')");
    Exec(Raw, "UPDATE zfd_log_Customer SET newkey = NULL");
    TSession B = OpenSession("b", File);
    AddKeys(B.get(), {"9"});
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"4", "5", "9"}));
    EXPECT_EQ(QueryNumber(Raw, "SELECT count(*) FROM zfd_log_Customer WHERE newkey IS NOT NULL"), 1);
}

TEST_F(TrimmedLogTest, ASessionOpenedWithAnotherKeyReadsItsViewAgainInsteadOfMisreadingTheLog)
{
    TSession A = OpenSession("a", File);
    AddKeys(A.get(), {"1", "2", "3", "4", "5"});
    // Another session opens the table with Company as the key and changes a record: its log
    // entry holds the Company value, which A must not take for a CustNo value.
    Dir.WriteFile("company.SFD", "[Table]\nName = Customer\n[Fields]\nCustNo, Number, 8\nCompany, Text, 10, Key\n"
                                 "TaxRate, Number, 6\nCity, Text, 12\n");
    TSession B = OpenSession("b", File, "company.SFD");
    OleCheck(B->MoveTo(4));
    ASSERT_EQ(ValueOf(B.get(), "Company"), "C4");
    OleCheck(B->Edit());
    OleCheck(B->SetFieldValue("CustNo", "9"));
    OleVariant R;
    OleCheck(B->Post(&R));
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"1", "2", "3", "5", "9"}));
}

TEST_F(TrimmedLogTest, ASearchPassesOverRecordsWhoseChangesAreNotTakenInYet)
{
    Store3000();
    TSession A = OpenSession("a", File);
    ASSERT_EQ(CountOf(A.get()), 3000);
    // In one batch: the record at position 1022 is deleted, then the first record of the
    // view's second block (position 1024) gets the smallest key. When A looks for the first
    // one, the second is still at its old place with its new key, and the search for the
    // first meets it: it must pass over it, not take its new key for its place.
    Exec(Raw, "DELETE FROM Customer WHERE CustNo = '3044'");
    Exec(Raw, "UPDATE Customer SET CustNo = '1' WHERE CustNo = '3048'");
    std::vector<AnsiString> Seen = KeysInView(A.get());
    EXPECT_EQ(Seen, KeysInView(OpenSession("f", File).get()));
    ASSERT_EQ(Seen.size(), 2999u);
    EXPECT_EQ(Seen[0], "1");
    EXPECT_EQ(std::count(Seen.begin(), Seen.end(), AnsiString("3044")), 0);
}

// A session's write lands while another session's commit is not taken in yet (it came while
// the post was being prepared): the moved record still stands at its old key in this view, so
// the new record's place must not be taken from it alone; once the commit is taken in, the
// view is the table as stored.
TEST_F(ServerTest, AWriteMadeBeforeAnotherSessionsCommitIsTakenInGoesToItsPlace)
{
    TSession Maker = OpenSession("m", "");
    for (int Key = 10; Key <= 1000; Key += 10) ASSERT_TRUE(Succeeded(AddRecord(Maker.get(), {{"CustNo", IntToStr(Key)}})));
    TSession C = OpenSession("c", "");  // reads its view, with a key every few records
    TSession B = OpenSession("b", "");
    TEventRecorder Recorder(C.get());
    Recorder.Attach();
    bool Moved = false;
    Recorder.OnCollect = [&] {
        if (std::exchange(Moved, true)) return;
        // Record 700 gets the key just before the one C is posting, near its old place.
        OleCheck(B->MoveTo(70));
        ASSERT_EQ(ValueOf(B.get(), "CustNo"), "700");
        OleCheck(B->Edit());
        OleCheck(B->SetFieldValue("CustNo", "752"));
        OleVariant Posted;
        OleCheck(B->Post(&Posted));
    };
    ASSERT_TRUE(Succeeded(AddRecord(C.get(), {{"CustNo", "755"}})));
    ASSERT_TRUE(Moved);
    EXPECT_EQ(ValueOf(C.get(), "CustNo"), "755");
    std::vector<AnsiString> Seen = KeysInView(C.get());
    EXPECT_EQ(Seen, KeysInView(OpenSession("f", "").get()));
    ASSERT_EQ(Seen.size(), 101u);
    EXPECT_EQ(std::vector<AnsiString>(Seen.begin() + 72, Seen.begin() + 76),
              (std::vector<AnsiString>{"740", "750", "752", "755"}));
}

// A session that takes in another's single post may be told where that post's writer put it.
// It must still land at its place in the table when this session posted after it (its record
// may stand in between) or when the writer saw only some records (its filter hid the one before).
TEST_F(ServerTest, AnotherSessionsPostGoesToItsPlaceInTheTableWhateverItsWriterSaw)
{
    TSession Maker = OpenSession("m", "");
    for (int Key = 10; Key <= 1000; Key += 10) ASSERT_TRUE(Succeeded(AddRecord(Maker.get(), {{"CustNo", IntToStr(Key)}})));
    ASSERT_TRUE(Succeeded(AddRecord(Maker.get(), {{"CustNo", "605"}, {"City", "Hsinchu"}})));
    TSession C = OpenSession("c", "");
    TSession B = OpenSession("b", "");

    // B posts 505 while C is posting 503: B puts it right after 500.
    TEventRecorder Recorder(C.get());
    Recorder.Attach();
    bool Posted = false;
    Recorder.OnCollect = [&] {
        if (std::exchange(Posted, true)) return;
        ASSERT_TRUE(Succeeded(AddRecord(B.get(), {{"CustNo", "505"}})));
    };
    ASSERT_TRUE(Succeeded(AddRecord(C.get(), {{"CustNo", "503"}})));
    ASSERT_TRUE(Posted);
    Recorder.OnCollect = nullptr;
    std::vector<AnsiString> Seen = KeysInView(C.get());
    EXPECT_EQ(Seen, KeysInView(OpenSession("f", "").get()));
    auto At500 = std::find(Seen.begin(), Seen.end(), "500");
    ASSERT_LE(At500 + 3, Seen.end());
    EXPECT_EQ(std::vector<AnsiString>(At500, At500 + 3), (std::vector<AnsiString>{"500", "503", "505"}));

    // B hides Hsinchu's records: in its view 607 comes right after 600, in the table after 605.
    OleVariant Accepted;
    OleCheck(B->AddFilterCommand("no Hsinchu,City,,,<>,Hsinchu,", &Accepted));
    OleCheck(B->SetFiltered(true));
    ASSERT_TRUE(Succeeded(AddRecord(B.get(), {{"CustNo", "607"}, {"City", "Taipei"}})));
    Seen = KeysInView(C.get());
    EXPECT_EQ(Seen, KeysInView(OpenSession("g", "").get()));
    auto At600 = std::find(Seen.begin(), Seen.end(), "600");
    ASSERT_LE(At600 + 3, Seen.end());
    EXPECT_EQ(std::vector<AnsiString>(At600, At600 + 3), (std::vector<AnsiString>{"600", "605", "607"}));
}

// A memory table's log lives in the process; a session that fell further behind than it keeps
// reads its view again, with its cursor on its record.
TEST_F(ServerTest, AMemorySessionFarBehindTheLogReadsItsViewAgainWithTheCursorKept)
{
    TSession A = OpenSession("a", "");
    TSession B = OpenSession("b", "");
    AddKeys(B.get(), {"10", "20", "30"});
    OleCheck(A->MoveTo(2));
    ASSERT_EQ(ValueOf(A.get(), "CustNo"), "20");
    // Far more writes than the log keeps: records added and deleted again, then two kept.
    for (std::size_t I = 0; I < RecordServer::TMemoryChangeLog::KeepEntries / 2 + 10; ++I) {
        ASSERT_TRUE(Succeeded(AddRecord(B.get(), {{"CustNo", "15"}})));
        ASSERT_TRUE(Succeeded(B->Delete()));
    }
    AddKeys(B.get(), {"5", "25"});
    EXPECT_EQ(RecNoOf(A.get()), 3);  // 5 10 [20] 25 30
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "20");
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"5", "10", "20", "25", "30"}));
}

// Sessions on threads of their own write one memory table at once: every view afterwards is
// the table as stored, since the log's entries come in the order of the commits.
TEST_F(ServerTest, MemorySessionsOnSeveralThreadsKeepTheirViewsInStepWithTheTable)
{
    constexpr int Writers = 3, PerWriter = 150;
    TSession Watcher = OpenSession("w", "");
    std::vector<TSession> Sessions;
    for (int W = 0; W < Writers; ++W) Sessions.push_back(OpenSession(IntToStr(W), ""));
    std::vector<std::thread> Threads;
    std::atomic<int> Failures{0};
    for (int W = 0; W < Writers; ++W) {
        Threads.emplace_back([&, W] {
            IFileDataSet* S = Sessions[static_cast<std::size_t>(W)].get();
            for (int I = 0; I < PerWriter; ++I) {
                // Insert, then move some records' keys, so that entries of one record follow each other.
                if (!Succeeded(AddRecord(S, {{"CustNo", IntToStr(100000 * (W + 1) + I)}}))) ++Failures;
                if (I % 3 != 0) continue;
                if (!Succeeded(S->Edit())) ++Failures;
                S->SetFieldValue("CustNo", IntToStr(100000 * (W + 1) + 50000 + I));
                OleVariant R;
                if (!Succeeded(S->Post(&R))) ++Failures;
            }
        });
    }
    for (std::thread& T : Threads) T.join();
    EXPECT_EQ(Failures.load(), 0);
    std::vector<AnsiString> Stored = KeysInView(OpenSession("fresh", "").get());
    ASSERT_EQ(Stored.size(), static_cast<std::size_t>(Writers * PerWriter));
    EXPECT_EQ(KeysInView(Watcher.get()), Stored);
    for (TSession& S : Sessions) EXPECT_EQ(KeysInView(S.get()), Stored);
}

}  // namespace
