// One set of checks that every store behind the storage seam must pass: SQLite in memory,
// SQLite in a file and PostgreSQL. Each case opens two stores on one fresh table, as two
// sessions would, and checks the order, duplicate keys, writes based on an old version,
// filters, the change log and the key-order summary.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/core/TextUtils.h"
#include "server/FilterCommand.h"
#include "server/KeySummary.h"
#include "server/KeyOrder.h"
#include "server/MemoryTables.h"
#include "server/RecordStoreFactory.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/SqliteSqlFunctions.h"
#include "tests/support/PgTestCluster.h"
#include "tests/support/TempDir.h"

#include <libpq-fe.h>

namespace {

using namespace RecordServer;

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

// Region and number form the key: texts by their bytes, then numbers by value.
const char* const SchemaText =
    "[Table]\nName = Stock\n"
    "[Fields]\n"
    "Region, Text, 10, Key\n"
    "No, Number, 30, Key\n"
    "Name, Text, 20\n"
    "City, Text, 20\n";

class StoreContract : public ::testing::TestWithParam<TStoreKind> {
protected:
    void SetUp() override
    {
        Schema = ParseSchema(SchemaText, Dir.File("stock.SFD"));
        switch (GetParam()) {
        case TStoreKind::SqliteMemory: AccessFile = ""; break;
        case TStoreKind::SqliteFile: AccessFile = Dir.File("stock.db"); break;
        case TStoreKind::Postgres: AccessFile = TestCluster().NewDatabase(); break;
        }
    }

    // A store on the test's table, as one session opens it. The memory table is the one of
    // this test's (unique) schema path.
    std::unique_ptr<TRecordStore> Open() { return OpenRecordStore(Schema, AccessFile, Dir.File("stock.SFD")); }

    // Runs Statement on the test's table from a plain connection of the store's kind, as another
    // program would.
    void RawSql(const char* Statement)
    {
        if (GetParam() == TStoreKind::Postgres) {
            PGconn* Conn = PQconnectdb(AccessFile.c_str());
            PGresult* Result = PQexec(Conn, Statement);
            EXPECT_EQ(PQresultStatus(Result), PGRES_COMMAND_OK) << Statement << ": " << PQresultErrorMessage(Result);
            PQclear(Result);
            PQfinish(Conn);
            return;
        }
        TSqliteDb Db(AccessFile.empty() ? MemoryDatabaseUri(Dir.File("stock.SFD")) : AccessFile);
        RegisterSqlFunctions(Db.Handle());  // the key index's
        Db.Exec(Statement);
    }

    // The SQL of a text column's value as a number, in the store's dialect.
    AnsiString NumberOf(const char* Column) const
    {
        return GetParam() == TStoreKind::Postgres ? "\"" + AnsiString(Column) + "\"::numeric"
                                                  : "CAST(\"" + AnsiString(Column) + "\" AS INTEGER)";
    }

    static TStoredRecord Add(TRecordStore& Store, const char* Region, const char* No, const char* Name = "n",
                             const char* City = "")
    {
        TStoredRecord Record;
        EXPECT_EQ(Store.Insert({Region, No, Name, City}, Record), TWriteResult::Done) << Region << "/" << No;
        return Record;
    }

    static std::vector<std::int64_t> Ids(TRecordStore& Store)
    {
        std::vector<std::int64_t> Result;
        Store.ReadOrderedIds(0, [&](std::int64_t Id, const std::vector<AnsiString>*) { Result.push_back(Id); });
        return Result;
    }

    // "region/no" of each record in the order the store gives.
    static std::vector<AnsiString> Keys(TRecordStore& Store)
    {
        std::vector<AnsiString> Result;
        for (std::int64_t Id : Ids(Store)) {
            TStoredRecord Record;
            EXPECT_TRUE(Store.Read(Id, Record));
            Result.push_back(Record.Values[0] + "/" + Record.Values[1]);
        }
        return Result;
    }

    TempDir Dir;
    TTableSchema Schema;
    AnsiString AccessFile;
};

TEST_P(StoreContract, RecordsAreOrderedByTextKeysByteByByteThenByNumberKeysByValue)
{
    auto Store = Open();
    for (const char* No : {"10", "9", "-2.5", "100", "0.5"}) Add(*Store, "North", No);
    Add(*Store, "East", "1000");
    Add(*Store, "Zürich", "1");
    Add(*Store, "Zulu", "1");
    EXPECT_EQ(Keys(*Store), (std::vector<AnsiString>{"East/1000", "North/-2.5", "North/0.5", "North/9", "North/10",
                                                     "North/100", "Zulu/1", "Zürich/1"}));

    // A page from a record on holds it and the records after it, in the same order; the
    // comparisons of the store and the one in memory agree with that order.
    std::vector<std::int64_t> Order = Ids(*Store);
    std::vector<TStoredRecord> Page;
    Store->ReadPage(Order[2], 3, Page);
    ASSERT_EQ(Page.size(), 3u);
    for (std::size_t I = 0; I < 3; ++I) EXPECT_EQ(Page[I].Id, Order[2 + I]);
    EXPECT_EQ(Page[1].Values[1], "9");
    // The records of a range of keys, by the key fields alone: numbers by value, texts by
    // their bytes; a bound at a record's key holds it from below and leaves it out from above.
    std::map<std::int64_t, TRecordKey> KeyOf;
    for (std::int64_t Id : Order) {
        TStoredRecord R;
        ASSERT_TRUE(Store->Read(Id, R));
        KeyOf[Id] = TRecordKey{{R.Values[0], R.Values[1]}, Id};
    }
    struct TRange {
        std::optional<std::vector<AnsiString>> From, To;
        std::size_t First, End;  // the records Order[First .. End)
    };
    using TKey = std::vector<AnsiString>;
    const TRange Ranges[] = {
        {std::nullopt, std::nullopt, 0, 8},
        {TKey{"North", "5"}, TKey{"North", "50"}, 3, 5},
        {TKey{"North", "9"}, std::nullopt, 3, 8},
        {TKey{"North", "9.0"}, TKey{"Zulu", "1"}, 3, 6},
        {std::nullopt, TKey{"North", "-2.5"}, 0, 1},
        {TKey{"Zz", "0"}, std::nullopt, 7, 8},
        {TKey{"A", "1"}, TKey{"B", "1"}, 0, 0},
        {TKey{"North", "-3"}, TKey{"North", "0.50"}, 1, 2},
    };
    for (const TRange& Range : Ranges) {
        SCOPED_TRACE((Range.From ? (*Range.From)[0] + "/" + (*Range.From)[1] : AnsiString("-")) + " .. " +
                     (Range.To ? (*Range.To)[0] + "/" + (*Range.To)[1] : AnsiString("-")));
        std::optional<TRecordKey> From, To;
        if (Range.From) From = TRecordKey{*Range.From, 0};
        if (Range.To) To = TRecordKey{*Range.To, 0};
        std::vector<std::int64_t> Read;
        Store->ReadRange(From ? &*From : nullptr, To ? &*To : nullptr, [&](const TRecordKey& Record) {
            Read.push_back(Record.Id);
            EXPECT_EQ(Record.Values, KeyOf[Record.Id].Values) << Record.Id;
        });
        EXPECT_EQ(Read, std::vector<std::int64_t>(Order.begin() + static_cast<std::ptrdiff_t>(Range.First),
                                                  Order.begin() + static_cast<std::ptrdiff_t>(Range.End)));
    }
    // The order in memory agrees with the store's.
    for (std::size_t A = 0; A < Order.size(); ++A)
        for (std::size_t B = 0; B < Order.size(); ++B) {
            if (A == B) continue;
            EXPECT_EQ(CompareRecordKeys(Schema, KeyOf[Order[A]], KeyOf[Order[B]]) < 0, A < B) << A << " " << B;
            EXPECT_EQ(ComparePackedKey(Schema, PackKey(KeyOf[Order[A]].Values), Order[A], KeyOf[Order[B]]) < 0, A < B)
                << A << " " << B;
        }

    // Read with every third record's key, and the last's: the first, fourth, seventh and eighth.
    std::vector<std::int64_t> Keyed;
    Store->ReadOrderedIds(3, [&](std::int64_t Id, const std::vector<AnsiString>* Key) {
        if (!Key) return;
        Keyed.push_back(Id);
        EXPECT_EQ(*Key, KeyOf[Id].Values) << Id;
    });
    EXPECT_EQ(Keyed, (std::vector<std::int64_t>{Order[0], Order[3], Order[6], Order[7]}));
}

TEST_P(StoreContract, ADuplicateKeyIsRefusedAlsoWhenTheNumberIsWrittenDifferently)
{
    auto A = Open();
    auto B = Open();
    TStoredRecord First = Add(*A, "North", "13", "first");
    TStoredRecord Other = Add(*A, "North", "14", "other");
    TStoredRecord Refused;
    EXPECT_EQ(B->Insert({"North", "13", "again", ""}, Refused), TWriteResult::DuplicateKey);
    EXPECT_EQ(B->Insert({"North", "13.0", "again", ""}, Refused), TWriteResult::DuplicateKey);
    EXPECT_EQ(B->Insert({"North", "1.3e1", "again", ""}, Refused), TWriteResult::DuplicateKey);
    // Numbers compare exactly: no rounding through a binary fraction makes these two one.
    EXPECT_EQ(B->Insert({"Exact", "12345678901234567891", "", ""}, Refused), TWriteResult::Done);
    EXPECT_EQ(B->Insert({"Exact", "12345678901234567890", "", ""}, Refused), TWriteResult::Done);
    EXPECT_EQ(B->Insert({"Exact", "0.30000000000000001", "", ""}, Refused), TWriteResult::Done);
    EXPECT_EQ(B->Insert({"Exact", "0.3", "", ""}, Refused), TWriteResult::Done);
    std::int64_t NewVersion = 0;
    EXPECT_EQ(B->Update(Other.Id, Other.Version, {"North", "13", "moved", ""}, NewVersion), TWriteResult::DuplicateKey);
    // Another region makes another key; nothing refused was written.
    EXPECT_EQ(B->Insert({"South", "13", "south", ""}, Refused), TWriteResult::Done);
    EXPECT_EQ(Keys(*A), (std::vector<AnsiString>{"Exact/0.3", "Exact/0.30000000000000001", "Exact/12345678901234567890",
                                                 "Exact/12345678901234567891", "North/13", "North/14", "South/13"}));
    TStoredRecord Stored;
    ASSERT_TRUE(A->Read(Other.Id, Stored));
    EXPECT_EQ(Stored.Values[2], "other");
    EXPECT_EQ(Stored.Version, Other.Version);
}

TEST_P(StoreContract, AWriteBasedOnAnOldVersionIsRefusedAndLosesNothing)
{
    auto A = Open();
    auto B = Open();
    TStoredRecord Record = Add(*A, "North", "1", "original");
    std::int64_t AVersion = 0, BVersion = 0;
    ASSERT_EQ(A->Update(Record.Id, Record.Version, {"North", "1", "by A", ""}, AVersion), TWriteResult::Done);
    EXPECT_GT(AVersion, Record.Version);
    EXPECT_EQ(B->Update(Record.Id, Record.Version, {"North", "1", "by B", ""}, BVersion), TWriteResult::Changed);
    EXPECT_EQ(B->Delete(Record.Id, Record.Version), TWriteResult::Changed);
    TStoredRecord Stored;
    ASSERT_TRUE(B->Read(Record.Id, Stored));
    EXPECT_EQ(Stored.Values[2], "by A");
    EXPECT_EQ(B->ReadVersion(Record.Id), AVersion);

    // With the version it read now, B's write goes through; a record deleted is gone for both.
    ASSERT_EQ(B->Delete(Record.Id, AVersion), TWriteResult::Done);
    EXPECT_FALSE(A->Read(Record.Id, Stored));
    EXPECT_EQ(A->ReadVersion(Record.Id), std::nullopt);
    EXPECT_EQ(A->Update(Record.Id, AVersion, {"North", "1", "late", ""}, BVersion), TWriteResult::Changed);
    EXPECT_TRUE(Ids(*A).empty());
}

TEST_P(StoreContract, AFilterShowsOnlyTheRecordsThatPassEveryLine)
{
    auto Store = Open();
    std::vector<std::int64_t> Made;
    for (int No = 1; No <= 40; ++No)
        Made.push_back(Add(*Store, "North", std::to_string(No).c_str(), "n", No % 3 == 0 ? "Taipei" : "Tainan").Id);
    std::vector<TFilterCondition> Lines;
    for (const char* Line : {"from,No,1,2,>=,12,", "to,No,,,<=,33,", "city,City,1,5,=,Taipe,"})
        Lines.push_back(*ParseFilterLine(Line, Schema));
    Store->SetFilter(Lines);
    std::vector<AnsiString> Shown;
    for (std::int64_t Id : Ids(*Store)) {
        TStoredRecord R;
        ASSERT_TRUE(Store->Read(Id, R));
        Shown.push_back(R.Values[1]);
    }
    EXPECT_EQ(Shown, (std::vector<AnsiString>{"12", "15", "18", "21", "24", "27", "30", "33"}));
    EXPECT_TRUE(Store->PassesFilter(Made[14]));   // 15
    EXPECT_FALSE(Store->PassesFilter(Made[13]));  // 14: Tainan
    EXPECT_FALSE(Store->PassesFilter(Made[35]));  // 36: past 33
    // A range holds only what passes: 12..22 are 12 15 18 21.
    std::vector<AnsiString> InRange;
    TRecordKey From{{"North", "11"}, 0}, To{{"North", "22"}, 0};
    Store->ReadRange(&From, &To, [&](const TRecordKey& Record) { InRange.push_back(Record.Values[1]); });
    EXPECT_EQ(InRange, (std::vector<AnsiString>{"12", "15", "18", "21"}));
    // A page skips what does not pass, also from a record that does not pass.
    std::vector<TStoredRecord> Page;
    Store->ReadPage(Made[12], 3, Page);
    ASSERT_EQ(Page.size(), 3u);
    EXPECT_EQ(Page[0].Values[1], "15");
    EXPECT_EQ(Page[2].Values[1], "21");
    // A filter on a field the table lacks is refused.
    TFilterCondition Unknown = Lines[0];
    Unknown.FieldName = "Colour";
    EXPECT_ANY_THROW(Store->SetFilter({Unknown}));
    Store->SetFilter({});
    EXPECT_EQ(Ids(*Store).size(), 40u);
}

TEST_P(StoreContract, TheChangeLogListsOtherSessionsWritesOnceWithTheirOldKeysAndNotOnesOwn)
{
    auto A = Open();
    auto B = Open();
    TStoredRecord Mine = Add(*A, "North", "1");
    TStoredRecord Moved = Add(*A, "North", "2");
    TStoredRecord Gone = Add(*A, "North", "3");
    EXPECT_EQ(Ids(*A).size(), 3u);
    EXPECT_EQ(Ids(*B).size(), 3u);
    // Nothing new (a store may look and find nothing: a notice can come late).
    std::vector<TChange> Changes;
    EXPECT_NE(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Lost);
    A->FinishChanges();
    EXPECT_TRUE(Changes.empty());

    std::int64_t Version = 0;
    ASSERT_EQ(B->Update(Moved.Id, Moved.Version, {"West", "7", "n", ""}, Version), TWriteResult::Done);
    ASSERT_EQ(B->Delete(Gone.Id, Gone.Version), TWriteResult::Done);
    TStoredRecord New = Add(*B, "East", "5");
    ASSERT_EQ(A->Update(Mine.Id, Mine.Version, {"North", "1", "mine", ""}, Version), TWriteResult::Done);

    ASSERT_EQ(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Listed);
    A->FinishChanges();
    ASSERT_EQ(Changes.size(), 3u);
    EXPECT_EQ(Changes[0].Id, Moved.Id);
    EXPECT_EQ(Changes[0].Kind, TChangeKind::Updated);
    EXPECT_EQ(Changes[0].OldKey, (std::vector<AnsiString>{"North", "2"}));
    EXPECT_EQ(Changes[1].Id, Gone.Id);
    EXPECT_EQ(Changes[1].Kind, TChangeKind::Deleted);
    EXPECT_EQ(Changes[1].OldKey, (std::vector<AnsiString>{"North", "3"}));
    EXPECT_EQ(Changes[2].Id, New.Id);
    EXPECT_EQ(Changes[2].Kind, TChangeKind::Inserted);
    // Taken in once: the next look finds nothing new, for A and for B (its own writes).
    EXPECT_NE(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Lost);
    A->FinishChanges();
    EXPECT_TRUE(Changes.empty());
    ASSERT_NE(B->ReadChanges(Changes, TLook::Sure), TChangesSeen::Lost);
    B->FinishChanges();
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].Id, Mine.Id);
}

TEST_P(StoreContract, AFailureOfTheStorageItselfComesOutAsTheServersErrorAndTheStoreGoesOn)
{
    auto Store = Open();
    TStoredRecord Record = Add(*Store, "North", "1");
    RawSql("DROP TABLE \"Stock\"");
    // Whatever the store's engine says, the seam hands on one kind of failure.
    std::vector<TStoredRecord> Page;
    TStoredRecord Read, Added;
    std::int64_t Version = 0;
    const std::pair<const char*, std::function<void()>> Calls[] = {
        {"Read", [&] { Store->Read(Record.Id, Read); }},
        {"ReadPage", [&] { Store->ReadPage(Record.Id, 5, Page); }},
        {"ReadVersion", [&] { Store->ReadVersion(Record.Id); }},
        {"ReadOrderedIds", [&] { Ids(*Store); }},
        {"Insert", [&] { Store->Insert({"North", "2", "n", ""}, Added); }},
        {"Update", [&] { Store->Update(Record.Id, Record.Version, {"North", "1", "x", ""}, Version); }},
        {"Delete", [&] { Store->Delete(Record.Id, Record.Version); }},
    };
    for (const auto& [Name, Call] : Calls) EXPECT_THROW(Call(), EServerError) << Name;
    // A table made again by another program is used as it is found.
    RawSql("CREATE TABLE \"Stock\" (zfd_id bigint, zfd_ver bigint, \"Region\" text, \"No\" text, \"Name\" text, "
           "\"City\" text); INSERT INTO \"Stock\" VALUES (1, 1, 'South', '9', '', '')");
    EXPECT_EQ(Keys(*Store), (std::vector<AnsiString>{"South/9"}));
}

// A value with a NUL character: SQLite keeps every byte of a text; PostgreSQL's text cannot
// hold one (libpq would end the value there, storing "ab" for "ab<NUL>cd" and making "A<NUL>y" a
// false duplicate of "A<NUL>x"), so that store refuses the write naming the field, and stores
// nothing.
TEST_P(StoreContract, AValueWithANulCharacterIsKeptExactlyOrRefusedNamingItsField)
{
    auto A = Open();
    const AnsiString Text("ab\0cd", 5), KeyX("A\0x", 3), KeyY("A\0y", 3);
    TStoredRecord Kept = Add(*A, "North", "1");
    struct TWrite {
        const char* Field;
        std::function<TWriteResult()> Run;
    };
    TStoredRecord First, Second;
    std::int64_t Version = 0;
    const TWrite Writes[] = {
        {"Name", [&] { return A->Insert({"North", "2", Text, ""}, First); }},
        {"Region", [&] { return A->Insert({KeyX, "3", "", ""}, First); }},
        {"Region", [&] { return A->Insert({KeyY, "3", "", ""}, Second); }},
        {"City", [&] { return A->Update(Kept.Id, Kept.Version, {"North", "1", "n", Text}, Version); }},
    };
    for (const TWrite& Write : Writes) {
        if (GetParam() != TStoreKind::Postgres) {
            EXPECT_EQ(Write.Run(), TWriteResult::Done) << Write.Field;
            continue;
        }
        try {
            Write.Run();
            ADD_FAILURE() << "a NUL character in " << Write.Field << " was taken";
        } catch (const EServerError& E) {
            EXPECT_NE(E.Message().find(AnsiString("Field ") + Write.Field + ":"), AnsiString::npos) << E.Message();
            EXPECT_NE(E.Message().find("NUL character"), AnsiString::npos) << E.Message();
        }
    }
    std::vector<AnsiString> Stored;
    for (std::int64_t Id : Ids(*A)) {
        TStoredRecord R;
        ASSERT_TRUE(A->Read(Id, R));
        for (const AnsiString& Value : R.Values) Stored.push_back(Value);
    }
    if (GetParam() == TStoreKind::Postgres)
        EXPECT_EQ(Stored, (std::vector<AnsiString>{"North", "1", "n", ""})) << "nothing refused was stored";
    else
        EXPECT_EQ(Stored, (std::vector<AnsiString>{KeyX, "3", "", "", KeyY, "3", "", "", "North", "1", "n", Text, "North",
                                                   "2", Text, ""}));
}

// Another writer's commit, acknowledged to it, is in the very next sure look, notice or not: a
// session's next navigation shows it. (Another program for a file and a server table; for a
// memory table, which no other program reaches, another session.)
TEST_P(StoreContract, ACommitAcknowledgedToAnotherWriterIsInTheNextSureLook)
{
    auto A = Open();
    auto B = Open();
    Ids(*A);
    for (int Round = 1; Round <= 60; ++Round) {
        const AnsiString No = IntToStr(Round);
        if (GetParam() == TStoreKind::SqliteMemory)
            Add(*B, "North", No.c_str());
        else
            RawSql(("INSERT INTO \"Stock\" (\"Region\", \"No\") VALUES ('North', '" + No + "')").c_str());
        std::vector<TChange> Changes;
        ASSERT_EQ(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Listed) << "round " << Round;
        A->FinishChanges();
        ASSERT_EQ(Changes.size(), 1u) << "round " << Round;
        EXPECT_EQ(Changes[0].Kind, TChangeKind::Inserted);
        EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{"North", No})) << "round " << Round;
    }
}

// Another program empties the table at once (PostgreSQL's TRUNCATE fires no row trigger): the
// next look sends the session to read its view again, or lists every record gone.
TEST_P(StoreContract, ATableEmptiedByAnotherProgramIsEmptyInTheNextLook)
{
    if (GetParam() == TStoreKind::SqliteMemory) GTEST_SKIP() << "no other program reaches a memory table";
    auto A = Open();
    for (const char* No : {"1", "2", "3"}) Add(*A, "North", No);
    ASSERT_EQ(Ids(*A).size(), 3u);
    RawSql(GetParam() == TStoreKind::Postgres ? "TRUNCATE \"Stock\"" : "DELETE FROM \"Stock\"");
    std::vector<TChange> Changes;
    TChangesSeen Seen = A->ReadChanges(Changes, TLook::Sure);
    A->FinishChanges();
    if (Seen == TChangesSeen::Listed) {
        EXPECT_EQ(Changes.size(), 3u);
        for (const TChange& Change : Changes) EXPECT_EQ(Change.Kind, TChangeKind::Deleted);
    } else {
        EXPECT_EQ(Seen, TChangesSeen::Lost);
    }
    EXPECT_TRUE(Ids(*A).empty());
    // The log goes on after it: the next write is listed as usual.
    auto B = Open();
    Add(*B, "North", "4");
    ASSERT_EQ(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Listed);
    A->FinishChanges();
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(Changes[0].NewKey, (std::vector<AnsiString>{"North", "4"}));
}

// Run on the stores whose commits cost no disk flush (a file store flushes each of these
// thousands of writes; its trimmed log is covered by the server's change log tests).
class StoreLogTrim : public StoreContract {};

TEST_P(StoreLogTrim, ASessionThatFellBehindTheTrimmedLogIsToldToReadItsViewAgain)
{
    auto A = Open();
    auto B = Open();
    Ids(*A);
    // More writes than the log keeps (it keeps at least 8192 entries, trimmed every 1024).
    TStoredRecord Record = Add(*B, "North", "1");
    for (int I = 0; I < 9300; ++I) {
        std::int64_t Version = 0;
        ASSERT_EQ(B->Update(Record.Id, Record.Version, {"North", "1", std::to_string(I).c_str(), ""}, Version),
                  TWriteResult::Done);
        Record.Version = Version;
    }
    std::vector<TChange> Changes;
    EXPECT_EQ(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Lost);
    A->FinishChanges();
    // Reading the view again starts a new look from the log's end.
    EXPECT_EQ(Ids(*A).size(), 1u);
    EXPECT_NE(A->ReadChanges(Changes, TLook::Sure), TChangesSeen::Lost);
    A->FinishChanges();
    EXPECT_TRUE(Changes.empty());
}

// ---------------------------------------------------------------------------------------
// The key-order summary (KeySummary.h)

// The first way in which Store's key-order summary disagrees with its records, or empty text:
// block 0 first and unbounded, bounds rising, each block counting the records from its bound
// to the next one, none as long as a split, only block 0 empty.
AnsiString SummaryProblem(TRecordStore& Store, const TTableSchema& Schema)
{
    std::vector<TSummaryBlock> Blocks;
    Store.ReadSummary([&](const TSummaryBlock& Block) { Blocks.push_back(Block); });
    std::vector<TRecordKey> Records;
    Store.ReadOrderedIds(1, [&](std::int64_t Id, const std::vector<AnsiString>* Key) { Records.push_back({*Key, Id}); });
    if (Blocks.empty() || Blocks[0].Bound) return "block 0 is missing or has a bound";
    std::size_t Next = 0;
    for (std::size_t B = 0; B < Blocks.size(); ++B) {
        AnsiString Where = "block " + IntToStr(static_cast<std::int64_t>(B));
        if (B > 0 && !Blocks[B].Bound) return Where + " has no bound";
        if (B > 1 && CompareRecordKeys(Schema, *Blocks[B - 1].Bound, *Blocks[B].Bound) >= 0) return Where + "'s bound does not rise";
        std::size_t First = Next;
        while (Next < Records.size() && (B + 1 == Blocks.size() || CompareRecordKeys(Schema, Records[Next], *Blocks[B + 1].Bound) < 0))
            ++Next;
        auto Holds = static_cast<std::int64_t>(Next - First);
        if (Blocks[B].Count != Holds)
            return Where + " counts " + IntToStr(Blocks[B].Count) + " records and " + IntToStr(Holds) + " lie in it";
        if (Holds >= SplitRows) return Where + " holds " + IntToStr(Holds) + " records, as many as a split";
        if (Holds == 0 && B > 0) return Where + " is empty";
    }
    return {};
}

// SQL that stores records region/no for no = From, From + Step, ... (Count of them), in one
// statement of the store's kind.
AnsiString SeedSql(TStoreKind Kind, const char* Region, int From, int Step, int Count)
{
    AnsiString Numbers = Kind == TStoreKind::Postgres
                             ? "SELECT (" + IntToStr(From) + " + " + IntToStr(Step) + " * g)::text AS n FROM generate_series(0, " +
                                   IntToStr(Count - 1) + ") AS g"
                             : "WITH RECURSIVE s(g) AS (SELECT 0 UNION ALL SELECT g + 1 FROM s WHERE g < " +
                                   IntToStr(Count - 1) + ") SELECT " + IntToStr(From) + " + " + IntToStr(Step) + " * g AS n FROM s";
    return "INSERT INTO \"Stock\" (\"Region\", \"No\", \"Name\", \"City\") SELECT '" + AnsiString(Region) + "', n, 'seed', '' FROM (" +
           Numbers + ") AS numbers";
}

TEST_P(StoreContract, TheKeyOrderSummaryCountsEveryBlockExactlyThroughARandomMixOfWrites)
{
    auto A = Open();
    auto B = Open();
    // The model: every key stored, with its id (0 for records that a plain connection stored).
    std::map<std::pair<AnsiString, long long>, std::int64_t> Model;
    RawSql(SeedSql(GetParam(), "North", 0, 10, 2500).c_str());
    for (long long No = 0; No < 25000; No += 10) Model[{"North", No}] = 0;
    ASSERT_EQ(SummaryProblem(*A, Schema), "");

    std::mt19937 Random(GetParam() == TStoreKind::Postgres ? 3 : 4);
    auto FreeNo = [&](long long From, long long To) {
        for (;;) {
            long long No = From + static_cast<long long>(Random() % static_cast<unsigned>(To - From));
            if (!Model.count({"North", No})) return No;
        }
    };
    auto Pick = [&] {
        auto It = Model.begin();
        std::advance(It, static_cast<std::ptrdiff_t>(Random() % Model.size()));
        return It;
    };
    const int Steps = GetParam() == TStoreKind::Postgres ? 150 : 300;
    int NextSouth = 0, NextEast = 0;  // where the plain connection's next run of records goes
    for (int Step = 0; Step < Steps; ++Step) {
        SCOPED_TRACE("step " + std::to_string(Step));
        TRecordStore& W = Random() % 2 ? *A : *B;
        switch (Random() % 8) {
        case 0:
        case 1: {  // an insert, mostly into the first block, so that it grows until it splits
            long long No = Random() % 3 ? FreeNo(0, 2000) : FreeNo(0, 40000);
            TStoredRecord Added = Add(W, "North", IntToStr(No).c_str());
            Model[{"North", No}] = Added.Id;
            break;
        }
        case 2: {  // a key changed
            auto It = Pick();
            if (!It->second) break;  // a record the seed stored: its version is not known here
            TStoredRecord Record;
            ASSERT_TRUE(W.Read(It->second, Record));
            long long No = FreeNo(0, 40000);
            std::int64_t Version = 0;
            ASSERT_EQ(W.Update(Record.Id, Record.Version, {"North", IntToStr(No), "moved", ""}, Version), TWriteResult::Done);
            Model[{"North", No}] = Record.Id;
            Model.erase(It);
            break;
        }
        case 3: {  // another field changed: nothing moves
            auto It = Pick();
            if (!It->second) break;
            TStoredRecord Record;
            ASSERT_TRUE(W.Read(It->second, Record));
            std::int64_t Version = 0;
            ASSERT_EQ(W.Update(Record.Id, Record.Version, {Record.Values[0], Record.Values[1], "renamed", ""}, Version),
                      TWriteResult::Done);
            break;
        }
        case 4: {  // a delete
            auto It = Pick();
            if (!It->second) break;
            TStoredRecord Record;
            ASSERT_TRUE(W.Read(It->second, Record));
            ASSERT_EQ(W.Delete(Record.Id, Record.Version), TWriteResult::Done);
            Model.erase(It);
            break;
        }
        case 5: {  // a plain connection deletes a run of keys: blocks shrink, some empty and go
            long long From = FreeNo(0, 40000) / 10 * 10;
            RawSql(("DELETE FROM \"Stock\" WHERE \"Region\" = 'North' AND " + NumberOf("No") + " BETWEEN " + IntToStr(From) +
                    " AND " + IntToStr(From + 1500))
                       .c_str());
            Model.erase(Model.lower_bound({"North", From}), Model.upper_bound({"North", From + 1500}));
            break;
        }
        case 6: {  // a plain connection stores a run of records in another region, at once
            int From = NextSouth;
            NextSouth += 100;
            RawSql(SeedSql(GetParam(), "South", From, 1, 30).c_str());
            for (int No = From; No < From + 30; ++No) Model.try_emplace({"South", No}, 0);
            RawSql(("DELETE FROM \"Stock\" WHERE \"Region\" = 'South' AND " + NumberOf("No") + " >= " + IntToStr(From + 25)).c_str());
            Model.erase(Model.lower_bound({"South", From + 25}), Model.end());
            break;
        }
        case 7:  // a plain connection stores many records into one block's range: it splits
            if (Random() % 4) break;
            for (int No = NextEast; No < NextEast + 2100; ++No) Model[{"East", No}] = 0;
            RawSql(SeedSql(GetParam(), "East", NextEast, 1, 2100).c_str());
            NextEast += 2100;
            break;
        }
        if (HasFailure()) return;
        if (Step % 10 == 0 || Step + 1 == Steps) {
            ASSERT_EQ(SummaryProblem(*B, Schema), "");
            std::int64_t Total = 0;
            B->ReadSummary([&](const TSummaryBlock& Block) { Total += Block.Count; });
            ASSERT_EQ(Total, static_cast<std::int64_t>(Model.size()));
        }
    }
}

TEST_P(StoreContract, ASummaryThatWritesWentAroundIsMadeAgainWhenTheTableIsOpened)
{
    {
        auto Store = Open();
        Add(*Store, "North", "1");
    }
    // A bulk load that switches the server's triggers off, and one that drops them; then a
    // table kept by a version that made no summary at all.
    const bool Pg = GetParam() == TStoreKind::Postgres;
    if (Pg) {
        RawSql("ALTER TABLE \"Stock\" DISABLE TRIGGER USER");
        RawSql(SeedSql(GetParam(), "North", 100, 1, 1500).c_str());
        RawSql("ALTER TABLE \"Stock\" ENABLE TRIGGER USER");
    } else {
        TSqliteDb Db(AccessFile.empty() ? MemoryDatabaseUri(Dir.File("stock.SFD")) : AccessFile);
        RegisterSqlFunctions(Db.Handle());
        // The triggers switched off for this connection alone, as a program may.
        int Was = 0;
        sqlite3_db_config(Db.Handle(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, &Was);
        Db.Exec(SeedSql(GetParam(), "North", 100, 1, 1500));
    }
    {
        auto Store = Open();
        EXPECT_EQ(SummaryProblem(*Store, Schema), "") << "inserts the triggers did not see";
        EXPECT_EQ(Ids(*Store).size(), 1501u);
    }
    // The table as a version kept it that made no summary: without the summary's table and
    // triggers, changed meanwhile.
    if (Pg) {
        RawSql("DROP TABLE \"zfd_blk_Stock\"; DROP TRIGGER \"zfd_blki_Stock\" ON \"Stock\"; DROP TRIGGER \"zfd_blkd_Stock\" "
               "ON \"Stock\"; DROP TRIGGER \"zfd_blku_Stock\" ON \"Stock\"; DROP TRIGGER \"zfd_blkt_Stock\" ON \"Stock\"");
    } else {
        TSqliteDb Db(AccessFile.empty() ? MemoryDatabaseUri(Dir.File("stock.SFD")) : AccessFile);
        TSqliteStatement List(Db, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND name LIKE 'zfd_blk%'");
        std::vector<AnsiString> Triggers;
        while (List.Step()) Triggers.push_back(List.ColumnText(0));
        List.Reset();
        for (const AnsiString& Name : Triggers) Db.Exec("DROP TRIGGER \"" + Name + "\"");
        Db.Exec("DROP TABLE \"zfd_blk_Stock\"");
    }
    RawSql(("DELETE FROM \"Stock\" WHERE " + NumberOf("No") + " < 200").c_str());
    {
        auto Store = Open();
        EXPECT_EQ(SummaryProblem(*Store, Schema), "") << "a table without a summary";
        EXPECT_EQ(Ids(*Store).size(), 1400u);
        Add(*Store, "West", "1");
        EXPECT_EQ(SummaryProblem(*Store, Schema), "");
    }
}

// A process that writes without end is killed (SIGKILL) in the middle of its writes, again and
// again; every time, the summary agrees with the table. (Memory tables die with their process.)
class StoreCrash : public StoreContract {};

TEST_P(StoreCrash, AWriterKilledInTheMiddleOfItsWritesLeavesASummaryThatAgreesWithTheTable)
{
    {
        auto Store = Open();  // made before the writers come
    }
    RawSql(SeedSql(GetParam(), "North", 0, 10, 1500).c_str());
    for (int Kill = 0; Kill < 12; ++Kill) {
        SCOPED_TRACE("kill " + std::to_string(Kill));
        int Pipe[2];
        ASSERT_EQ(pipe(Pipe), 0);
        pid_t Pid = fork();
        if (Pid == 0) {
            close(Pipe[0]);
            try {
                auto Store = Open();
                std::mt19937 Random(static_cast<unsigned>(getpid()));
                std::int64_t Top = 1500;  // the highest id known
                for (int Written = 0;; ++Written) {
                    // Inserts crowd into the first block (keys below 10240) until it splits;
                    // deletes take records anywhere.
                    TStoredRecord Record;
                    long long No = static_cast<long long>(Random() % 3400) * 3 + 1 + Kill % 2;
                    if (Random() % 4 == 0) {
                        // A record of the seed's or of an earlier writer's (ids never come back).
                        if (Store->Read(1 + static_cast<std::int64_t>(Random() % static_cast<unsigned>(Top)), Record))
                            Store->Delete(Record.Id, Record.Version);
                    } else if (Store->Insert({"North", IntToStr(No), "crash", ""}, Record) == TWriteResult::Done) {
                        Top = std::max(Top, Record.Id);
                    }
                    std::vector<TChange> Changes;
                    Store->ReadChanges(Changes, TLook::Sure);
                    Store->FinishChanges();
                    if (write(Pipe[1], &Written, sizeof Written) != sizeof Written) _exit(3);
                }
            } catch (...) {
                _exit(2);
            }
        }
        close(Pipe[1]);
        std::mt19937 Random(static_cast<unsigned>(Kill));
        int Wanted = 60 + static_cast<int>(Random() % 200), Written = 0;
        while (Written < Wanted && read(Pipe[0], &Written, sizeof Written) == sizeof Written) {}
        // In the middle of a write: a moment after the last one reported.
        usleep(static_cast<useconds_t>(Random() % 3000));
        kill(Pid, SIGKILL);
        int Status = 0;
        waitpid(Pid, &Status, 0);
        close(Pipe[0]);
        ASSERT_TRUE(WIFSIGNALED(Status)) << "the writer stopped by itself";
        auto Store = Open();
        ASSERT_EQ(SummaryProblem(*Store, Schema), "");
    }
    std::size_t Blocks = 0;
    Open()->ReadSummary([&](const TSummaryBlock&) { ++Blocks; });
    EXPECT_GT(Blocks, 1u) << "no block split while the writers were killed";
}

INSTANTIATE_TEST_SUITE_P(EveryStore, StoreContract,
                         ::testing::Values(TStoreKind::SqliteMemory, TStoreKind::SqliteFile, TStoreKind::Postgres),
                         KindName);
INSTANTIATE_TEST_SUITE_P(StoresOfFiles, StoreCrash, ::testing::Values(TStoreKind::SqliteFile, TStoreKind::Postgres), KindName);
INSTANTIATE_TEST_SUITE_P(StoresWithoutFlush, StoreLogTrim, ::testing::Values(TStoreKind::SqliteMemory, TStoreKind::Postgres),
                         KindName);

}  // namespace
