// The SQLite store's key-order summary (KeySummary.h): the table zfd_blk_<table> of blocks, its
// index on the bounds, the triggers that keep it in every write's transaction, the checks of
// an opening that make it again when it is out of date, and ReadSummary. The modes, states and
// invariants are at the top of SqliteRecordStore.h.
//
// The triggers, in SQL (B the summary, T the table; the block of a key is the last block with
// a bound at or before it, else block 0):
//   zfd_blki  after an insert into T: its block counts one more; block 0's top is raised to the id
//   zfd_blkd  after a delete from T: its block counts one less
//   zfd_blku  after an update of T's key fields that changed them: the old block one less, the
//             new one more (a table without a key has none: its records are ordered by id)
//   zfd_blks  after B's n reaches SplitRows: a new block from the record BlockRows places in,
//             with the rest of the count; the block keeps BlockRows
//   zfd_blke  after B's n falls to 0 (block 0 aside): the block goes
// Their names end with a hash of what they run, so that another key or block size replaces them.
#include <algorithm>
#include <cstring>

#include "framework/core/TextUtils.h"
#include "server/KeySummary.h"
#include "server/SqliteRecordStore.h"

namespace RecordServer {

namespace {

const char* const SummaryPrefix = "zfd_blk";

// "?N", a numbered parameter.
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref(1, '?');
    Ref += IntToStr(Number);
    return Ref;
}

}  // namespace

AnsiString TSqliteRecordStore::BoundColumns() const
{
    if (!FSchema.HasKey()) return "zfd_id";
    AnsiString Cols;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) Cols += (Cols.empty() ? "" : ", ") + Column(I);
    return Cols;
}

AnsiString TSqliteRecordStore::BoundOrder(const char* Direction) const
{
    if (!FSchema.HasKey()) return AnsiString("zfd_id") + Direction;
    AnsiString Order = KeyOrderSql(FSchema, "", Direction);
    Order.resize(Order.size() - 2);
    return Order;
}

AnsiString TSqliteRecordStore::BlockOf(const char* Row) const
{
    // The bound columns of the summary have the key fields' names, so the range's stored side
    // (the names alone) reads them inside this subquery.
    AnsiString AtOrBefore =
        FSchema.HasKey() ? KeyRangeSql(FSchema, '<', true, [&](std::size_t Field, int) { return Row + Column(Field); })
                         : "zfd_id <= " + AnsiString(Row) + "zfd_id";
    return "coalesce((SELECT blk FROM " + FBlocks + " WHERE blk > 0 AND (" + AtOrBefore + ") ORDER BY " +
           BoundOrder(" DESC") + " LIMIT 1), 0)";
}

void TSqliteRecordStore::PrepareSummary()
{
    AnsiString Bounds = BoundColumns();
    AnsiString Definitions;
    if (FSchema.HasKey()) {
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) Definitions += ", " + Column(I) + " TEXT";
    } else {
        Definitions = ", zfd_id INTEGER";
    }
    AnsiString Half = IntToStr(BlockRows), Split = IntToStr(SplitRows);
    AnsiString Order = KeyOrderSql(FSchema, "") + "zfd_id";
    AnsiString FromBound = FSchema.HasKey()
                               ? KeyRangeSql(FSchema, '>', true, [&](std::size_t Field, int) { return "new." + Column(Field); })
                               : AnsiString("zfd_id >= new.zfd_id");
    AnsiString Split1 = "INSERT INTO " + FBlocks + " (n, " + Bounds + ") SELECT new.n - " + Half + ", " + Bounds + " FROM " +
                        FTable + " WHERE new.blk = 0 ORDER BY " + Order + " LIMIT 1 OFFSET " + Half;
    AnsiString Split2 = "INSERT INTO " + FBlocks + " (n, " + Bounds + ") SELECT new.n - " + Half + ", " + Bounds + " FROM " +
                        FTable + " WHERE new.blk > 0 AND (" + FromBound + ") ORDER BY " + Order + " LIMIT 1 OFFSET " + Half;
    struct TTrigger {
        const char* Kind;
        AnsiString Event, Body;
    };
    std::vector<TTrigger> Triggers = {
        {"i", "AFTER INSERT ON " + FTable,
         "UPDATE " + FBlocks + " SET n = n + 1 WHERE blk = " + BlockOf("new.") + "; UPDATE " + FBlocks +
             " SET top = new.zfd_id WHERE blk = 0 AND top < new.zfd_id;"},
        {"d", "AFTER DELETE ON " + FTable, "UPDATE " + FBlocks + " SET n = n - 1 WHERE blk = " + BlockOf("old.") + ";"},
        {"s", "AFTER UPDATE OF n ON " + FBlocks + " WHEN new.n >= " + Split,
         Split1 + "; " + Split2 + "; UPDATE " + FBlocks + " SET n = " + Half + " WHERE blk = new.blk;"},
        {"e", "AFTER UPDATE OF n ON " + FBlocks + " WHEN new.n <= 0 AND new.blk > 0",
         "DELETE FROM " + FBlocks + " WHERE blk = new.blk;"},
    };
    if (FSchema.HasKey()) {
        AnsiString Changed;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) Changed += (Changed.empty() ? "" : " OR ") + ("old." + Column(I)) + " IS NOT new." + Column(I);
        Triggers.push_back({"u", "AFTER UPDATE OF " + Bounds + " ON " + FTable + " WHEN " + Changed,
                            "UPDATE " + FBlocks + " SET n = n - 1 WHERE blk = " + BlockOf("old.") + "; UPDATE " + FBlocks +
                                " SET n = n + 1 WHERE blk = " + BlockOf("new.") + ";"});
    }
    AnsiString Everything = Definitions;
    for (const TTrigger& T : Triggers) Everything += T.Event + T.Body;
    AnsiString Suffix = "_" + FSchema.TableName + "_" + IntToHex(StableHash(Everything), 8);
    auto NameOf = [&](const char* Kind) { return AnsiString(SummaryPrefix) + Kind + Suffix; };

    // What exists of the summary: its triggers on the table and on itself, and its row 0.
    std::vector<AnsiString> Existing;
    {
        TSqliteStatement List(FDb, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name IN (?1, ?2)");
        List.Bind(1, FSchema.TableName).Bind(2, FBlocksName);
        TStatementReset Done(List);
        while (List.Step()) {
            AnsiString Name = List.ColumnText(0);
            if (SameText(Name.substr(0, std::strlen(SummaryPrefix)), SummaryPrefix)) Existing.push_back(Name);
        }
    }
    bool Complete = std::all_of(Triggers.begin(), Triggers.end(), [&](const TTrigger& T) {
        return std::find(Existing.begin(), Existing.end(), NameOf(T.Kind)) != Existing.end();
    });
    if (Complete) {
        // Inserts that went around the triggers left records above top.
        TSqliteStatement Check(FDb, "SELECT (SELECT top FROM " + FBlocks + " WHERE blk = 0), (SELECT coalesce(max(zfd_id), 0) FROM " +
                                        FTable + ")");
        TStatementReset Done(Check);
        Check.Step();
        std::int64_t MaxId = Check.ColumnInt64(1);
        bool HasTop = !Check.ColumnText(0).empty();
        if (HasTop && Check.ColumnInt64(0) >= MaxId) return;
        Check.Reset();
        RefillSummary();
        return;
    }
    // Made anew: the table of blocks (with the columns of this key), its index and triggers.
    for (const AnsiString& Name : Existing) FDb.Exec("DROP TRIGGER " + QuoteIdent(Name));
    FDb.Exec("DROP TABLE IF EXISTS " + FBlocks);
    FDb.Exec("CREATE TABLE " + FBlocks + " (blk INTEGER PRIMARY KEY, n INTEGER NOT NULL, top INTEGER NOT NULL DEFAULT 0" +
             Definitions + ")");
    FDb.Exec("CREATE INDEX " + QuoteIdent(NameOf("x")) + " ON " + FBlocks + " (" + BoundOrder() + ")");
    for (const TTrigger& T : Triggers)
        FDb.Exec("CREATE TRIGGER " + QuoteIdent(NameOf(T.Kind)) + " " + T.Event + " BEGIN " + T.Body + " END");
    RefillSummary();
}

void TSqliteRecordStore::RefillSummary()
{
    // One pass over the table in its order: every BlockRows-th record starts a block. Block 0
    // is made first and gets its count and top at the end.
    FDb.Exec("DELETE FROM " + FBlocks);
    FDb.Exec("INSERT INTO " + FBlocks + " (blk, n, top) VALUES (0, 0, 0)");
    AnsiString Bounds = BoundColumns();
    std::size_t BoundCount = FSchema.HasKey() ? ValueTerms(FSchema).size() : 1;
    AnsiString Params;
    for (std::size_t I = 0; I < BoundCount; ++I) Params += ", " + ParamRef(static_cast<std::int64_t>(I) + 2);
    TSqliteStatement Add(FDb, "INSERT INTO " + FBlocks + " (n, " + Bounds + ") VALUES (?1" + Params + ")");
    TSqliteStatement Scan(FDb, "SELECT zfd_id, " + Bounds + " FROM " + FTable + " ORDER BY " + KeyOrderSql(FSchema, "") +
                                   "zfd_id");
    std::vector<AnsiString> Bound(BoundCount);  // of the block being counted, unless it is block 0
    std::int64_t Count = 0, Top = 0, FirstCount = -1;
    auto Close = [&] {
        if (FirstCount < 0) {
            FirstCount = Count;
            return;
        }
        TStatementReset Done(Add);
        Add.Bind(1, Count);
        for (std::size_t I = 0; I < BoundCount; ++I) Add.BindUncopied(static_cast<int>(I) + 2, Bound[I]);
        Add.Step();
    };
    {
        TStatementReset Done(Scan);
        while (Scan.Step()) {
            Top = std::max(Top, Scan.ColumnInt64(0));
            if (Count == BlockRows) {
                Close();
                Count = 0;
                for (std::size_t I = 0; I < BoundCount; ++I) Scan.ColumnTextInto(static_cast<int>(I) + 1, Bound[I]);
            }
            ++Count;
        }
    }
    Close();
    TSqliteStatement First(FDb, "UPDATE " + FBlocks + " SET n = ?1, top = ?2 WHERE blk = 0");
    First.Bind(1, FirstCount).Bind(2, Top).Run();
}

void TSqliteRecordStore::ReadSummary(const TSummarySink& Sink)
{
    Guard([&] {
        ReadInSnapshot([&] {
            RestartLog();  // the summary and the log's end with no commit between them
            TStatementReset Done(FSummary);
            TSummaryBlock Block;
            std::size_t BoundCount = static_cast<std::size_t>(FSummary.ColumnCount() - 2);
            while (FSummary.Step()) {
                Block.Count = FSummary.ColumnInt64(1);
                if (FSummary.ColumnInt64(0) == 0) {
                    Block.Bound.reset();
                } else {
                    Block.Bound.emplace();
                    if (FSchema.HasKey()) {
                        Block.Bound->Values.resize(BoundCount);
                        for (std::size_t I = 0; I < BoundCount; ++I)
                            FSummary.ColumnTextInto(static_cast<int>(I) + 2, Block.Bound->Values[I]);
                    } else {
                        Block.Bound->Id = FSummary.ColumnInt64(2);
                    }
                }
                Sink(Block);
            }
        });
    });
}

}  // namespace RecordServer
