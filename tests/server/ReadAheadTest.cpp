// The read-ahead: what each access pattern costs in statements, and that a record read ahead
// is never shown once it changed.
#include <gtest/gtest.h>

#include "server/ReadAhead.h"
#include "tests/server/ListStore.h"

namespace {

using namespace RecordServer;

// Reads position Pos as a session does, and checks that what it gets is what the store holds.
void ReadAt(TReadAhead& Ahead, TListStore& Store, std::int64_t Pos)
{
    TStoredRecord Record;
    const TStoredRecord& Stored = Store.Records[static_cast<std::size_t>(Pos)];
    ASSERT_TRUE(Ahead.Read(Store, Pos, Stored.Id, Record)) << Pos;
    EXPECT_EQ(Record.Id, Stored.Id) << Pos;
    EXPECT_EQ(Record.Values, Stored.Values) << Pos;
}

int Statements(const TListStore& Store)
{
    return Store.Reads + Store.Pages;
}

TEST(ReadAhead, EachAccessPatternCostsTheStatementsItShould)
{
    // A loop over the records: after two steps, one statement per ReadAheadCount records.
    {
        TListStore Store = TListStore::Numbered(300);
        TReadAhead Ahead;
        for (std::int64_t Pos = 0; Pos < 200; ++Pos) ReadAt(Ahead, Store, Pos);
        EXPECT_LE(Statements(Store), 3 + 200 / TReadAhead::ReadAheadCount);
    }
    // Jumps here and there, never a step: one record each, nothing read for nothing.
    {
        TListStore Store = TListStore::Numbered(300);
        TReadAhead Ahead;
        for (std::int64_t Pos : {5, 100, 50, 250, 7, 180, 9}) ReadAt(Ahead, Store, Pos);
        EXPECT_EQ(Store.Reads, 7);
        EXPECT_EQ(Store.Pages, 0);
    }
    // A grid paging down: to the top of its page, nine steps, back to its current record. Once
    // it has done so twice, each page is one statement, and going back to the current record
    // (taken already) one more.
    {
        TListStore Store = TListStore::Numbered(300);
        TReadAhead Ahead;
        int Before = 0;
        for (std::int64_t Top = 0; Top < 200; Top += 10) {
            if (Top == 20) Before = Statements(Store);
            for (std::int64_t Pos = Top; Pos < Top + 10; ++Pos) ReadAt(Ahead, Store, Pos);
            ReadAt(Ahead, Store, Top + 3);
        }
        EXPECT_LE(Statements(Store) - Before, 2 * 18);
    }
}

TEST(ReadAhead, ARecordWrittenSinceItWasReadAheadIsReadAgain)
{
    TListStore Store = TListStore::Numbered(100);
    TReadAhead Ahead;
    for (std::int64_t Pos = 0; Pos < 3; ++Pos) ReadAt(Ahead, Store, Pos);  // 3.. are read ahead
    // Another session's write: forgotten, so the next read asks the store.
    Store.Records[4].Values[1] = "changed";
    Ahead.Forget(Store.Records[4].Id);
    ReadAt(Ahead, Store, 3);
    ReadAt(Ahead, Store, 4);
    // This session's write: every record read ahead goes.
    for (std::int64_t Pos = 5; Pos < 8; ++Pos) ReadAt(Ahead, Store, Pos);
    for (std::size_t Pos = 8; Pos < 12; ++Pos) Store.Records[Pos].Values[1] = "mine";
    Ahead.Clear();
    for (std::int64_t Pos = 8; Pos < 12; ++Pos) ReadAt(Ahead, Store, Pos);
    // A record another session deleted (read ahead before) is not there to read.
    TStoredRecord Record;
    std::int64_t Gone = Store.Records[14].Id;
    Store.Records.erase(Store.Records.begin() + 14);
    Ahead.Forget(Gone);
    EXPECT_FALSE(Ahead.Read(Store, 14, Gone, Record));
}

}  // namespace
