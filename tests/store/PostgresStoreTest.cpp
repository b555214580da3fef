// The PostgreSQL store's own cases: the table it makes and the tables it refuses, values that
// look like SQL, a lost connection, an unreachable server, and sessions of the record server
// that share a table through it.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "com/OleCheck.h"
#include "framework/core/TextUtils.h"
#include "server/RecordStoreFactory.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "tests/server/ServerTestSupport.h"
#include "tests/support/PgTestCluster.h"

#include <libpq-fe.h>

namespace {

using namespace RecordServer;

const char* const StockSchema =
    "[Table]\nName = Stock\n[Fields]\nNo, Number, 30, Key\nName, Text, 20\nCity, Text, 20\n";

AnsiString OpenFailure(const char* SchemaText, const AnsiString& Uri)
{
    try {
        OpenRecordStore(ParseSchema(SchemaText, "stock.SFD"), Uri, "stock.SFD");
    } catch (const EServerError& E) {
        return E.Message();
    }
    return "(opened)";
}

void Sql(const AnsiString& Uri, const char* Statement)
{
    PGconn* Conn = PQconnectdb(Uri.c_str());
    PGresult* Result = PQexec(Conn, Statement);
    EXPECT_TRUE(PQresultStatus(Result) == PGRES_COMMAND_OK || PQresultStatus(Result) == PGRES_TUPLES_OK)
        << Statement << ": " << PQresultErrorMessage(Result);
    PQclear(Result);
    PQfinish(Conn);
}

TEST(PostgresStore, OpeningCreatesTheTableAndRefusesATableWhoseColumnsDisagreeNamingTheDifference)
{
    AnsiString Uri = TestCluster().NewDatabase();
    EXPECT_EQ(OpenFailure(StockSchema, Uri), "(opened)");
    EXPECT_EQ(OpenFailure(StockSchema, Uri), "(opened)");  // and opens what it made

    AnsiString Extra = OpenFailure("[Table]\nName = Stock\n[Fields]\nNo, Number, 30, Key\nName, Text, 20\nCity, Text, "
                                   "20\nPhone, Text, 12\n",
                                   Uri);
    EXPECT_NE(Extra.find("does not match the schema file"), AnsiString::npos) << Extra;
    EXPECT_NE(Extra.find("it has no column Phone"), AnsiString::npos) << Extra;
    AnsiString Fewer = OpenFailure("[Table]\nName = Stock\n[Fields]\nNo, Number, 30, Key\nName, Text, 20\n", Uri);
    EXPECT_NE(Fewer.find("a column City that the schema does not list"), AnsiString::npos) << Fewer;
    AnsiString OtherKey =
        OpenFailure("[Table]\nName = Stock\n[Fields]\nNo, Number, 30\nName, Text, 20, Key\nCity, Text, 20\n", Uri);
    EXPECT_NE(OtherKey.find("has another key"), AnsiString::npos) << OtherKey;

    // A table that another program made: the server's columns are missing, a type differs.
    Sql(Uri, "CREATE TABLE \"Parts\" (\"No\" integer, \"Name\" text)");
    AnsiString Foreign = OpenFailure("[Table]\nName = Parts\n[Fields]\nNo, Number, 9, Key\nName, Text, 20\n", Uri);
    EXPECT_NE(Foreign.find("it has no column zfd_id"), AnsiString::npos) << Foreign;
    EXPECT_NE(Foreign.find("its column No is integer where text is needed"), AnsiString::npos) << Foreign;
}

// Another client's writes reach a store in the notices they send, entries and keys included:
// a look that may go by what the store knows (a write follows, which the server judges) takes
// them in without reading the log (here emptied behind its back, which a read would report as
// entries lost). A notice too long for its entry sends it to the log.
// (The writes come from a plain connection: a store of this process that writes makes the
// others read the log, so that they see at once what it acknowledged.)
TChangesSeen LookUntilSeen(TRecordStore& Store, std::vector<TChange>& Changes)
{
    TChangesSeen Result = TChangesSeen::None;
    for (int Try = 0; Try < 200 && Result == TChangesSeen::None; ++Try) {  // the notices are on their way
        Result = Store.ReadChanges(Changes, TLook::Known);
        Store.FinishChanges();
        if (Result == TChangesSeen::None) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return Result;
}

TEST(PostgresStore, OthersWritesAreTakenInFromTheirNoticesWithoutAReadOfTheLog)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TTableSchema Schema = ParseSchema(StockSchema, "stock.SFD");
    auto A = OpenRecordStore(Schema, Uri, "stock.SFD");
    A->ReadOrderedIds(1, [](std::int64_t, const std::vector<AnsiString>*) {});
    std::vector<TChange> Changes;
    Sql(Uri, "BEGIN; INSERT INTO \"Stock\" (\"No\", \"Name\") VALUES ('7', 'seven');"
             "UPDATE \"Stock\" SET \"No\" = '8' WHERE \"No\" = '7';"
             "INSERT INTO \"Stock\" (\"No\", \"Name\") VALUES ('9', 'nine');"
             "DELETE FROM \"Stock\" WHERE \"No\" = '9'; DELETE FROM \"zfd_log_Stock\"; COMMIT");
    ASSERT_EQ(LookUntilSeen(*A, Changes), TChangesSeen::Listed);
    ASSERT_EQ(Changes.size(), 4u);
    EXPECT_EQ(Changes[0].Kind, TChangeKind::Inserted);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{"7"}));
    EXPECT_EQ(Changes[1].Kind, TChangeKind::Updated);
    EXPECT_EQ(Changes[1].OldKey, (std::vector<AnsiString>{"7"}));
    EXPECT_EQ(Changes[1].NewKey, (std::vector<AnsiString>{"8"}));
    EXPECT_EQ(Changes[2].Kind, TChangeKind::Inserted);
    EXPECT_EQ(Changes[3].Kind, TChangeKind::Deleted);
    EXPECT_EQ(Changes[3].Id, Changes[2].Id);
    EXPECT_FALSE(Changes[3].NewKey);

    // A key too long for a notice: its notice comes empty, and the store reads the entry from
    // the log.
    TTableSchema Long = ParseSchema("[Table]\nName = Notes\n[Fields]\nTitle, Text, 9000, Key\n", "notes.SFD");
    auto C = OpenRecordStore(Long, Uri, "notes.SFD");
    C->ReadOrderedIds(1, [](std::int64_t, const std::vector<AnsiString>*) {});
    AnsiString Title(8000, 'n');
    Sql(Uri, ("INSERT INTO \"Notes\" (\"Title\") VALUES ('" + Title + "')").c_str());
    ASSERT_EQ(LookUntilSeen(*C, Changes), TChangesSeen::Listed);
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{Title}));
}

// The rows of a query, each row's columns joined by '|' (null: "-").
std::vector<AnsiString> Rows(PGconn* Conn, const char* Query)
{
    PGresult* Result = PQexec(Conn, Query);
    EXPECT_EQ(PQresultStatus(Result), PGRES_TUPLES_OK) << Query << ": " << PQresultErrorMessage(Result);
    std::vector<AnsiString> All;
    for (int Row = 0; Row < PQntuples(Result); ++Row) {
        AnsiString Line;
        for (int Col = 0; Col < PQnfields(Result); ++Col)
            Line += AnsiString(Col ? "|" : "") + (PQgetisnull(Result, Row, Col) ? "-" : PQgetvalue(Result, Row, Col));
        All.push_back(Line);
    }
    PQclear(Result);
    return All;
}

// Each write, a store's or another client's, gets exactly one entry in the log, numbered in
// order, with the keys it left and took (an update's old key too), and one notice that carries
// that entry; a write refused as stale gets none.
TEST(PostgresStore, EveryWriteIsLoggedAndAnnouncedOnceWhoeverWroteIt)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TTableSchema Schema = ParseSchema(StockSchema, "stock.SFD");
    auto Store = OpenRecordStore(Schema, Uri, "stock.SFD");
    PGconn* Listener = PQconnectdb(Uri.c_str());
    PQclear(PQexec(Listener, "LISTEN \"zfd_Stock\""));

    TStoredRecord Record;
    ASSERT_EQ(Store->Insert({"7", "seven", ""}, Record), TWriteResult::Done);
    std::int64_t Version = 0;
    ASSERT_EQ(Store->Update(Record.Id, Record.Version, {"8", "eight", ""}, Version), TWriteResult::Done);
    EXPECT_EQ(Store->Update(Record.Id, Record.Version, {"9", "stale", ""}, Version), TWriteResult::Changed);
    ASSERT_EQ(Store->Delete(Record.Id, Record.Version + 1), TWriteResult::Done);
    Sql(Uri, "INSERT INTO \"Stock\" (\"No\", \"Name\") VALUES ('17', 'x'); UPDATE \"Stock\" SET \"No\" = '18', "
             "zfd_ver = zfd_ver + 1; DELETE FROM \"Stock\"");

    std::vector<AnsiString> Log = Rows(Listener, "SELECT seq, id, what, oldkey, newkey FROM \"zfd_log_Stock\" ORDER BY seq");
    ASSERT_EQ(Log.size(), 6u);
    AnsiString Id = IntToStr(Record.Id), Other = IntToStr(Record.Id + 1);
    AnsiString Tag = Log[0].substr(Log[0].rfind('|') + 1);
    Tag = Tag.substr(0, Tag.find(';') + 1);
    EXPECT_EQ(Log, (std::vector<AnsiString>{"1|" + Id + "|1|-|" + Tag + "1:7", "2|" + Id + "|2|" + Tag + "1:7|" + Tag + "1:8",
                                           "3|" + Id + "|3|" + Tag + "1:8|-", "4|" + Other + "|1|-|" + Tag + "2:17",
                                           "5|" + Other + "|2|" + Tag + "2:17|" + Tag + "2:18",
                                           "6|" + Other + "|3|" + Tag + "2:18|-"}));

    // The notices, in order: "<seq> <id> <what> <old key><new key>", a key "-" or "<bytes>:<key>".
    auto Packed = [](const AnsiString& Key) { return Key == "-" ? Key : IntToStr(Key.size()) + ":" + Key; };
    std::vector<AnsiString> Expected, Notices;
    for (const AnsiString& Entry : Log) {
        std::vector<AnsiString> F;
        std::size_t At = 0;
        for (std::size_t Bar; (Bar = Entry.find('|', At)) != AnsiString::npos; At = Bar + 1) F.push_back(Entry.substr(At, Bar - At));
        F.push_back(Entry.substr(At));
        Expected.push_back(F[0] + " " + F[1] + " " + F[2] + " " + Packed(F[3]) + Packed(F[4]));
    }
    for (int Try = 0; Try < 200 && Notices.size() < Expected.size(); ++Try) {
        PQconsumeInput(Listener);
        while (PGnotify* Notice = PQnotifies(Listener)) {
            Notices.emplace_back(Notice->extra);
            PQfreemem(Notice);
        }
        if (Notices.size() < Expected.size()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(Notices, Expected);
    PQfinish(Listener);
}

// A write's answer can bring other clients' notices with it (they reach the connection while
// it waits): they are taken in at the next look. A table whose entries may be too long for a
// notice logs its writes as well, and a store never lists its own writes.
TEST(PostgresStore, NoticesThatComeWithAWritesAnswerAreTakenInAtTheNextLook)
{
    AnsiString Uri = TestCluster().NewDatabase();
    auto A = OpenRecordStore(ParseSchema(StockSchema, "stock.SFD"), Uri, "stock.SFD");
    A->ReadOrderedIds(1, [](std::int64_t, const std::vector<AnsiString>*) {});
    Sql(Uri, "INSERT INTO \"Stock\" (\"No\", \"Name\") VALUES ('7', 'seven')");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // its notice reaches A's connection
    TStoredRecord Record;
    ASSERT_EQ(A->Insert({"8", "eight", ""}, Record), TWriteResult::Done);
    std::vector<TChange> Changes;
    ASSERT_EQ(A->ReadChanges(Changes, TLook::Known), TChangesSeen::Listed);
    A->FinishChanges();
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{"7"}));
    Sql(Uri, "INSERT INTO \"Stock\" (\"No\", \"Name\") VALUES ('9', 'nine')");
    ASSERT_EQ(LookUntilSeen(*A, Changes), TChangesSeen::Listed);
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{"9"}));

    TTableSchema Long = ParseSchema("[Table]\nName = Notes\n[Fields]\nTitle, Text, 9000, Key\n", "notes.SFD");
    auto Writer = OpenRecordStore(Long, Uri, "notes.SFD");
    auto Reader = OpenRecordStore(Long, Uri, "notes.SFD");
    for (auto* Store : {Writer.get(), Reader.get()}) Store->ReadOrderedIds(1, [](std::int64_t, const std::vector<AnsiString>*) {});
    AnsiString Title(8000, 't');
    ASSERT_EQ(Writer->Insert({Title}, Record), TWriteResult::Done);
    ASSERT_EQ(Writer->Insert({"short"}, Record), TWriteResult::Done);
    ASSERT_EQ(LookUntilSeen(*Reader, Changes), TChangesSeen::Listed);
    ASSERT_EQ(Changes.size(), 2u);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{Title}));
    EXPECT_EQ(Writer->ReadChanges(Changes, TLook::Sure), TChangesSeen::None);
    Writer->FinishChanges();
}

// A write that cannot be logged (the table's sequence row was deleted behind the server's
// back) is refused, never done without its entry.
TEST(PostgresStore, AWriteThatCannotBeLoggedIsRefusedAndNotDone)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TTableSchema Schema = ParseSchema(StockSchema, "stock.SFD");
    auto Store = OpenRecordStore(Schema, Uri, "stock.SFD");
    Sql(Uri, "DELETE FROM zfd_sequences");
    TStoredRecord Record;
    AnsiString Message;
    try {
        Store->Insert({"1", "unlogged", ""}, Record);
    } catch (const EServerError& E) {
        Message = E.Message();
    }
    EXPECT_NE(Message.find("refused a write"), AnsiString::npos) << Message;
    std::vector<std::int64_t> Ids;
    Store->ReadOrderedIds(0, [&](std::int64_t Id, const std::vector<AnsiString>*) { Ids.push_back(Id); });
    EXPECT_TRUE(Ids.empty());
}

TEST(PostgresStore, ValuesThatLookLikeSqlAreStoredAsWritten)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TTableSchema Schema = ParseSchema(StockSchema, "stock.SFD");
    auto Store = OpenRecordStore(Schema, Uri, "stock.SFD");
    TStoredRecord Record;
    const char* Nasty = "x'); DROP TABLE \"Stock\"; --";
    ASSERT_EQ(Store->Insert({"1", Nasty, "$1 \\ \"Q\""}, Record), TWriteResult::Done);
    auto Again = OpenRecordStore(Schema, Uri, "stock.SFD");
    TStoredRecord Read;
    ASSERT_TRUE(Again->Read(Record.Id, Read));
    EXPECT_EQ(Read.Values, (std::vector<AnsiString>{"1", Nasty, "$1 \\ \"Q\""}));
}

TEST(PostgresStore, ALostConnectionFailsTheCallThatMetItAndTheNextCallConnectsAgainLosingNothing)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TTableSchema Schema = ParseSchema(StockSchema, "stock.SFD");
    auto A = OpenRecordStore(Schema, Uri, "stock.SFD");
    TStoredRecord Record;
    ASSERT_EQ(A->Insert({"1", "before", ""}, Record), TWriteResult::Done);
    std::vector<std::int64_t> Seen;
    A->ReadOrderedIds(0, [&](std::int64_t Id, const std::vector<AnsiString>*) { Seen.push_back(Id); });

    TestCluster().DropConnections(Uri);
    // Meanwhile another client writes.
    auto B = OpenRecordStore(Schema, Uri, "stock.SFD");
    ASSERT_EQ(B->Insert({"2", "during", ""}, Record), TWriteResult::Done);

    std::vector<TChange> Changes;
    AnsiString Message;
    try {
        A->ReadChanges(Changes, TLook::Sure);
        A->FinishChanges();
        A->Insert({"3", "after", ""}, Record);
    } catch (const EServerError& E) {
        Message = E.Message();
    }
    EXPECT_NE(Message.find("connection to the PostgreSQL server"), AnsiString::npos) << Message;
    EXPECT_NE(Message.find("was lost"), AnsiString::npos) << Message;

    // The next calls connect again and take in what was written meanwhile.
    ASSERT_EQ(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Listed);
    A->FinishChanges();
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].Kind, TChangeKind::Inserted);
    ASSERT_EQ(A->Insert({"3", "after", ""}, Record), TWriteResult::Done);
    Seen.clear();
    B->ReadOrderedIds(0, [&](std::int64_t Id, const std::vector<AnsiString>*) { Seen.push_back(Id); });
    EXPECT_EQ(Seen.size(), 3u);
}

TEST(PostgresStore, AServerThatCannotBeReachedIsAClearErrorAtOnce)
{
    auto Start = std::chrono::steady_clock::now();
    AnsiString Message = OpenFailure(StockSchema, "postgresql:///nothing?host=/nonexistent-folder&port=5432&connect_timeout=3");
    EXPECT_NE(Message.find("Cannot connect to the PostgreSQL server postgresql:///nothing"), AnsiString::npos) << Message;
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(10));
    // A password in the URI is never shown.
    Message = OpenFailure(StockSchema, "postgresql://someone:secret@/nothing?host=/nonexistent-folder");
    EXPECT_EQ(Message.find("secret"), AnsiString::npos) << Message;
}

class PostgresSessions : public ServerTest {};

TEST_F(PostgresSessions, SessionsOnOneServerTableSeeEachOthersPostsAndRefuseLostUpdates)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TSession A = OpenSession("1688", Uri);
    TSession B = OpenSession("1688", Uri);
    AddKeys(A.get(), {"20", "3", "100"});
    EXPECT_EQ(KeysInView(B.get()), (std::vector<AnsiString>{"3", "20", "100"}));
    EXPECT_FALSE(SUCCEEDED(AddRecord(B.get(), {{"CustNo", "3.0"}, {"Company", "dup"}})));
    OleCheck(B->Cancel());

    // Both edit record 20; the second post is refused as a change by another user.
    OleCheck(A->MoveTo(2));
    OleCheck(B->MoveTo(2));
    OleCheck(A->Edit());
    OleCheck(B->Edit());
    OleCheck(A->SetFieldValue("City", "Taipei"));
    OleCheck(B->SetFieldValue("City", "Tainan"));
    OleVariant Ignored;
    ASSERT_TRUE(Succeeded(A->Post(&Ignored)));
    AnsiString Refused = FailureText(B->Post(&Ignored));
    EXPECT_NE(Refused.find("another user"), AnsiString::npos) << Refused;
    OleCheck(B->Cancel());
    OleCheck(B->MoveTo(2));
    EXPECT_EQ(ValueOf(B.get(), "City"), "Taipei");

    // A new session reads the same table.
    TSession C = OpenSession("1688", Uri);
    EXPECT_EQ(CountOf(C.get()), 3);
}

TEST_F(PostgresSessions, ASessionWhoseConnectionWasClosedReportsItOnceAndGoesOnWithWhatOthersPostedMeanwhile)
{
    AnsiString Uri = TestCluster().NewDatabase();
    TSession A = OpenSession("1688", Uri);
    AddKeys(A.get(), {"1", "2"});
    OleCheck(A->MoveTo(2));
    TestCluster().DropConnections(Uri);
    TSession B = OpenSession("1688", Uri);
    AddKeys(B.get(), {"0"});

    OleVariant Ignored;
    AnsiString Message = FailureText(A->Next());
    EXPECT_NE(Message.find("was lost"), AnsiString::npos) << Message;
    EXPECT_NE(Message.find("the next operation connects again"), AnsiString::npos) << Message;
    // The next call connects again, takes in B's post and keeps the cursor on its record.
    EXPECT_EQ(RecNoOf(A.get()), 3);
    EXPECT_EQ(ValueOf(A.get(), "CustNo"), "2");
    EXPECT_EQ(KeysInView(A.get()), (std::vector<AnsiString>{"0", "1", "2"}));
    EXPECT_TRUE(Succeeded(AddRecord(A.get(), {{"CustNo", "3"}})));
    EXPECT_EQ(KeysInView(B.get()), (std::vector<AnsiString>{"0", "1", "2", "3"}));
}

}  // namespace
