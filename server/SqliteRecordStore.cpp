#include "server/SqliteRecordStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

#include "framework/core/TextUtils.h"
#include "server/ChangeLogCursor.h"
#include "server/KeyOrder.h"
#include "server/MemoryTables.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/ValueText.h"
#include "server/WalCommitWatch.h"

namespace RecordServer {

namespace {

constexpr int BusyTimeoutMs = 5000;
const char* const KeyIndexPrefix = "zfd_key_";
// The change log keeps at least LogKeep entries; every LogTrimEvery-th entry trims it (a
// trigger, so that writes of plain connections trim it too).
constexpr int LogKeep = 8192;
constexpr int LogTrimEvery = 1024;
const char* const LogTriggerPrefix = "zfd_log";  // zfd_logi_, zfd_logu_, zfd_logd_ + table + key hash

const char* const FilterPointerType = "zfd_filter";
const char* const NumberCollation = "zfd_number";
const char* const NumberOrderFunction = "zfd_order";

// A filter ready to run inside a query: its conditions, each with the position of its
// field's text among the arguments of zfd_filter.
struct TCompiledFilter {
    std::vector<TFilterCondition> Conditions;
    std::vector<int> Argument;  // per condition: 1-based position after the filter itself
    std::vector<std::size_t> Fields;  // the distinct fields passed, in argument order
};

// zfd_filter(filter, text1, text2, ...): 1 when the texts pass every condition.
void FilterFunction(sqlite3_context* Context, int Argc, sqlite3_value** Argv)
{
    auto* Filter = static_cast<const TCompiledFilter*>(sqlite3_value_pointer(Argv[0], FilterPointerType));
    if (!Filter) {
        sqlite3_result_error(Context, "zfd_filter is given no filter", -1);
        return;
    }
    for (std::size_t I = 0; I < Filter->Conditions.size(); ++I) {
        int Arg = Filter->Argument[I];
        if (Arg >= Argc) {
            sqlite3_result_error(Context, "zfd_filter is given too few fields", -1);
            return;
        }
        const char* Text = reinterpret_cast<const char*>(sqlite3_value_text(Argv[Arg]));
        std::string_view Value = Text ? std::string_view(Text, static_cast<std::size_t>(sqlite3_value_bytes(Argv[Arg])))
                                      : std::string_view();
        if (!ConditionHolds(Filter->Conditions[I], Value)) {
            sqlite3_result_int(Context, 0);
            return;
        }
    }
    sqlite3_result_int(Context, 1);
}

// The collation of number key fields: exact decimal order, so that the unique index, the
// order of the view and the comparisons of records agree that 13 and 13.0 are one key and
// 12345678901234567890 and 12345678901234567891 are two.
int NumberCollationFunction(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareNumberTexts(std::string_view(static_cast<const char*>(A), static_cast<std::size_t>(LengthA)),
                              std::string_view(static_cast<const char*>(B), static_cast<std::size_t>(LengthB)));
}

// zfd_order(value): NumberOrderCode of a number key field's value.
void NumberOrderCodeFunction(sqlite3_context* Context, int, sqlite3_value** Arguments)
{
    const auto* Text = reinterpret_cast<const char*>(sqlite3_value_text(Arguments[0]));
    auto Length = static_cast<std::size_t>(sqlite3_value_bytes(Arguments[0]));
    sqlite3_result_int64(Context, NumberOrderCode(std::string_view(Text ? Text : "", Length)));
}

// "?N", a numbered parameter.
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref(1, '?');
    Ref += IntToStr(Number);
    return Ref;
}

class TSqliteRecordStore : public TRecordStore {
public:
    // MemoryLog: the change log of a memory table, kept in the process; null for a file.
    TSqliteRecordStore(const TTableSchema& Schema, const AnsiString& Target, bool IsFile, const AnsiString& Where,
                       std::shared_ptr<TMemoryChangeLog> MemoryLog)
        : FSchema(Schema), FDb(Target), FWhere(Where), FIsFile(IsFile), FMemoryLog(std::move(MemoryLog))
    {
        RegisterSqlFunctions(FDb.Handle());
        if (IsFile) {
            FDb.SetBusyTimeout(BusyTimeoutMs);
            TSqliteStatement Journal(FDb, "PRAGMA journal_mode=WAL");
            TStatementReset Done(Journal);
            if (Journal.Step() && Journal.ColumnText(0) == "wal") FWalWatch = TWalCommitWatch(FDb.Handle());
            FDb.Exec("PRAGMA synchronous=FULL");
        } else {
            // Sessions of a memory table share one cache. Their reads take no table locks, so
            // that a session reading on one thread never makes another's write fail as
            // locked; writers take turns on the table's log lock, and each write is a single
            // statement, so a read never sees half a write.
            FDb.Exec("PRAGMA read_uncommitted = 1");
        }
        FTable = QuoteIdent(FSchema.TableName);
        FLogName = "zfd_log_" + FSchema.TableName;
        FLog = QuoteIdent(FLogName);
        PrepareTable();
        PrepareStatements();
        SetFilter({});
        if (!FMemoryLog) sqlite3_update_hook(FDb.Handle(), &RowWritten, this);
    }

    TChangesSeen ReadChanges(std::vector<TChange>& Changes) override
    {
        Changes.clear();
        if (FMemoryLog) return ReadMemoryLog(Changes);
        if (!DataVersionMoved()) return TChangesSeen::None;
        if (FIsFile) {
            // Other processes may commit at any moment: the log and every read until
            // FinishChanges see one snapshot (a WAL reader blocks no writer).
            FBeginRead.Run();
            FInSnapshot = true;
        }
        TStatementReset Done(FLogRead);
        FLogRead.Bind(1, FLogCursor.Applied());
        AnsiString OldKey, NewKey;
        return FLogCursor.TakeAll(
            [&](TChangeLogCursor::TEntry& Entry) {
                if (!FLogRead.Step()) return false;
                FLogRead.ColumnTextInto(3, OldKey);
                FLogRead.ColumnTextInto(4, NewKey);
                Entry = {FLogRead.ColumnInt64(0), FLogRead.ColumnInt64(1), static_cast<int>(FLogRead.ColumnInt64(2)), OldKey,
                         NewKey};
                return true;
            },
            Changes);
    }

    // A memory table tells from its log in process; a file would need a read transaction and
    // a look at its log, which cost as much as what knowing it saves.
    bool HoldInStep() override
    {
        if (!FMemoryLog) return false;
        if (!FMemoryHold.owns_lock()) FMemoryHold = FMemoryLog->LockForWrite();
        if (FMemoryLog->End() == FLogCursor.Applied()) return true;
        FMemoryHold.unlock();
        return false;
    }

    void Placed(const TWritePlace& Place) override
    {
        if (!FMemoryLog) return;
        // Where the record went holds for the table only while this session held it in step
        // since the write; where it was is a place to try, which a reader checks.
        TWritePlace Told = Place;
        if (!FMemoryHold.owns_lock()) Told.New = Told.Before = -1;
        FMemoryLog->SetPlace(FLastOwnSeq, Told);
    }

    void FinishChanges() override
    {
        if (FMemoryHold.owns_lock()) FMemoryHold.unlock();
        if (!FInSnapshot) return;
        FInSnapshot = false;
        try {
            FCommit.Run();
        } catch (const ESqliteError&) {
            // Ending a transaction that only read cannot lose anything; SQLite has ended it.
        }
    }

    void SetFilter(const std::vector<TFilterCondition>& Conditions) override
    {
        auto Filter = std::make_unique<TCompiledFilter>();
        AnsiString Where = CompileFilter(Conditions, *Filter);
        AnsiString Order = " ORDER BY " + KeyOrder("") + "zfd_id";
        AnsiString KeyColumns;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) KeyColumns += ", " + Column(I);
        TSqliteStatement View(FDb, "SELECT zfd_id" + KeyColumns + " FROM " + FTable + (Where.empty() ? "" : " WHERE " + Where) +
                                       Order);
        TSqliteStatement Passes(FDb, "SELECT 1 FROM " + FTable + " WHERE zfd_id = ?1" +
                                         (Where.empty() ? "" : " AND " + Where));
        TSqliteStatement Page(FDb, "SELECT zfd_id, zfd_ver, " + ColumnList() + " FROM " + PageSource() + " WHERE " +
                                       PageRange() + (Where.empty() ? "" : " AND " + Where) + Order + " LIMIT ?3");
        FView = std::move(View);
        FPasses = std::move(Passes);
        FPage = std::move(Page);
        FFilter = std::move(Filter);
    }

    void ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink) override
    {
        // The log's end and the ids are read with no commit between them: a commit is either
        // in the ids or after the end. A memory table's writers wait meanwhile; a file is read
        // in one snapshot (the one of ReadChanges, when it called for reading the view again).
        std::unique_lock<std::mutex> NoWriters;
        bool OwnSnapshot = false;
        if (FMemoryLog) {
            if (!FMemoryHold.owns_lock()) NoWriters = FMemoryLog->LockForWrite();
            FLogCursor.Restart(FMemoryLog->End());
        } else {
            OwnSnapshot = !FInSnapshot;
            if (OwnSnapshot) FBeginRead.Run();
            DataVersionMoved();
            FLogCursor.Restart(LogEnd());
        }
        struct TEndSnapshot {
            TSqliteStatement* Commit;  // not owned; null when the snapshot is not this call's own
            ~TEndSnapshot()
            {
                try {
                    if (Commit) Commit->Run();
                } catch (const ESqliteError&) {
                    // Ending a transaction that only read cannot lose anything.
                }
            }
        } EndSnapshot{OwnSnapshot ? &FCommit : nullptr};
        TStatementReset Done(FView);
        BindFilter(FView);
        // Each row is handed over when the next tells whether it was the last, which goes with
        // its key too: read again by its id at the end, in the same snapshot, unless it had it.
        std::size_t KeyFields = static_cast<std::size_t>(FView.ColumnCount() - 1);
        std::vector<AnsiString> Key(KeyFields);
        std::int64_t PreviousId = 0;
        bool PreviousKeyed = false;
        std::int64_t Row = 0;
        for (; FView.Step(); ++Row) {
            if (Row > 0) Sink(PreviousId, PreviousKeyed ? &Key : nullptr);
            PreviousId = FView.ColumnInt64(0);
            PreviousKeyed = KeyEvery > 0 && Row % KeyEvery == 0;
            if (PreviousKeyed)
                for (std::size_t I = 0; I < KeyFields; ++I) FView.ColumnTextInto(static_cast<int>(I) + 1, Key[I]);
        }
        if (Row == 0) return;
        if (!PreviousKeyed) PreviousKeyed = ReadKey(PreviousId, Key);
        Sink(PreviousId, PreviousKeyed ? &Key : nullptr);
    }

    bool PassesFilter(std::int64_t Id) override
    {
        TStatementReset Done(FPasses);
        FPasses.Bind(1, Id);
        BindFilter(FPasses);
        return FPasses.Step();
    }

    std::optional<bool> ComesBefore(std::int64_t A, std::int64_t B) override
    {
        if (!FSchema.HasKey()) return A < B;
        TStatementReset Done(FCompare);
        FCompare.Bind(1, A).Bind(2, B);
        if (!FCompare.Step()) return std::nullopt;
        return FCompare.ColumnInt64(0) != 0;
    }

    std::optional<bool> ComesBeforeKey(std::int64_t A, const TRecordKey& Key) override
    {
        if (!FSchema.HasKey()) return A < Key.Id;
        // A's key is read and compared here: cheaper than a comparison in SQL.
        if (!ReadKey(A, FProbeKey.Values)) return std::nullopt;
        FProbeKey.Id = A;
        return CompareRecordKeys(FSchema, FProbeKey, Key) < 0;
    }

    bool Read(std::int64_t Id, TStoredRecord& Record) override
    {
        TStatementReset Done(FRead);
        FRead.Bind(1, Id);
        if (!FRead.Step()) return false;
        Record.Id = Id;
        ReadRow(FRead, 0, Record);
        return true;
    }

    void ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records) override
    {
        // The records already in Records are written over: their strings keep their room.
        std::size_t Read = 0;
        TStatementReset Done(FPage);
        FPage.Bind(1, FromId).Bind(3, static_cast<std::int64_t>(Count));
        BindFilter(FPage);
        while (FPage.Step()) {
            if (Read == Records.size()) Records.emplace_back();
            TStoredRecord& Record = Records[Read++];
            Record.Id = FPage.ColumnInt64(0);
            ReadRow(FPage, 1, Record);
        }
        Records.resize(Read);
    }

    // One key in sixteen: a comparison in process costs little, while every key would make
    // opening a large table half as slow again and a session on ten million records large.
    int KeyEvery() const override { return 16; }

    bool ReadNeighbours(const TRecordKey& Key, std::int64_t& Before, std::int64_t* After) override
    {
        if (!FSchema.HasKey()) return false;
        TSqliteStatement& Stmt = After ? FNeighbours : FBefore;
        TStatementReset Done(Stmt);
        for (std::size_t I = 0; I < Key.Values.size(); ++I) Stmt.BindUncopied(static_cast<int>(I) + 1, Key.Values[I]);
        // FBefore answers no row, FNeighbours NULL, where there is no record: both read as 0.
        Before = Stmt.Step() ? Stmt.ColumnInt64(0) : 0;
        if (After) *After = Stmt.ColumnInt64(1);
        return true;
    }

    std::optional<std::int64_t> ReadVersion(std::int64_t Id) override
    {
        TStatementReset Done(FReadVersion);
        FReadVersion.Bind(1, Id);
        if (!FReadVersion.Step()) return std::nullopt;
        return FReadVersion.ColumnInt64(0);
    }

    TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) override
    {
        TWriteResult Result = LoggedWrite(TChangeKind::Inserted, Record.Id, &Values, [&] {
            BindValues(FInsert, Values);
            FInsert.Run();
            Record.Id = FDb.LastInsertRowId();
            return true;
        });
        if (Result == TWriteResult::Done) Record.Version = 1;
        return Result;
    }

    TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                        std::int64_t& NewVersion) override
    {
        TWriteResult Result = LoggedWrite(TChangeKind::Updated, Id, &Values, [&] {
            int N = BindValues(FUpdate, Values);
            FUpdate.Bind(N + 1, Id).Bind(N + 2, Version);
            FUpdate.Run();
            return FDb.Changes() != 0;
        });
        if (Result == TWriteResult::Done) NewVersion = Version + 1;
        return Result;
    }

    TWriteResult Delete(std::int64_t Id, std::int64_t Version) override
    {
        return LoggedWrite(TChangeKind::Deleted, Id, nullptr, [&] {
            FDelete.Bind(1, Id).Bind(2, Version);
            FDelete.Run();
            return FDb.Changes() != 0;
        });
    }

private:
    AnsiString Column(std::size_t Field) const { return QuoteIdent(FSchema.Fields[Field].Name); }

    AnsiString ColumnList() const
    {
        AnsiString Cols;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Cols += (I ? ", " : "") + Column(I);
        return Cols;
    }

    // The version and the fields, from column First of Stmt's row on.
    void ReadRow(const TSqliteStatement& Stmt, int First, TStoredRecord& Record) const
    {
        Record.Version = Stmt.ColumnInt64(First);
        Record.Values.resize(FSchema.Fields.size());
        for (std::size_t I = 0; I < Record.Values.size(); ++I)
            Stmt.ColumnTextInto(First + 1 + static_cast<int>(I), Record.Values[I]);
    }

    // The records from record ?1 on, in the order of the key (the key is unique, so the start
    // record is the only one equal to it): the tables to read from, and the condition. The
    // start record's key is read once, as a row of its own (zfd_start).
    AnsiString PageSource() const
    {
        if (!FSchema.HasKey()) return FTable;
        AnsiString Start;
        for (const TKeyTerm& Term : ValueTerms())
            Start += (Start.empty() ? "" : ", ") + Column(Term.Field) + " AS zfd_start" + IntToStr(Term.Place);
        return "(SELECT " + Start + " FROM " + FTable + " WHERE zfd_id = ?1) AS zfd_start, " + FTable;
    }
    AnsiString PageRange() const
    {
        if (!FSchema.HasKey()) return "zfd_id >= ?1";
        return KeyRange('>', true, [](std::size_t, int Place) { return "zfd_start.zfd_start" + IntToStr(Place); });
    }

    // The records whose key comes after (Op '>') or before (Op '<') the key Bound gives field
    // by field, or equals it when OrEqual: k1 >= b1 AND (k1 > b1 OR (k1 = b1 AND (k2 > b2 ...))),
    // spelled out instead of a row value so that SQLite searches the key index (it scans it
    // for a row value of expressions). The index can only be searched by its first term, so a
    // number field leads with its order code: code(k1) >= code(b1), which every record in the
    // range meets; the rest is checked on the records the search visits. Bound gets a key
    // field and its place among the keys, and gives the text of the key's value there.
    AnsiString KeyRange(char Op, bool OrEqual, const std::function<AnsiString(std::size_t, int)>& Bound) const
    {
        const std::vector<TKeyTerm> Terms = KeyTerms(), Values = ValueTerms();
        const AnsiString Strict{' ', Op, ' '}, Loose{' ', Op, '=', ' '};
        auto Stored = [&](const TKeyTerm& T) { return TermOf(T, Column(T.Field)); };
        auto Given = [&](const TKeyTerm& T) { return TermOf(T, Bound(T.Field, T.Place)); };
        AnsiString Range = Stored(Values.back()) + (OrEqual ? Loose : Strict) + Given(Values.back());
        for (std::size_t K = Values.size() - 1; K-- > 0;) {
            AnsiString E = Stored(Values[K]), B = Given(Values[K]);
            Range = E + Strict + B + " OR (" + E + " = " + B + " AND (" + Range + "))";
        }
        if (Terms.size() == 1) return Range;  // a text field alone: its range is its search
        return Stored(Terms.front()) + Loose + Given(Terms.front()) + " AND (" + Range + ")";
    }

    // True when another connection committed since the last call; the first call after
    // opening answers true.
    bool DataVersionMoved()
    {
        // Nothing committed since the last look: the statement (a read transaction) is spared.
        if (!FWalWatch.MayHaveChanged()) return false;
        TStatementReset Done(FDataVersion);
        FDataVersion.Step();
        std::int64_t Version = FDataVersion.ColumnInt64(0);
        FWalWatch.Remember();
        if (Version == FLastDataVersion) return false;
        FLastDataVersion = Version;
        return true;
    }

    // The sequence of the newest log entry (0 when the log is empty).
    std::int64_t LogEnd()
    {
        TStatementReset Done(FLogEnd);
        FLogEnd.Step();
        return FLogEnd.ColumnInt64(0);
    }

    // Runs Write, one statement that commits by itself together with the log entry that the
    // table's triggers append, and remembers that entry as this session's own. Write answers
    // false when it changed no record (the version given was stale); a key constraint gives
    // DuplicateKey. A statement that writes takes the write lock as it starts (waiting in the
    // connection's busy handler), so it never fails because another committed meanwhile.
    //   A memory table's entry is appended by the store itself, under the log's write lock;
    // Id is the record written (Insert's Write fills it in), Values its values after the write.
    template <class F>
    TWriteResult LoggedWrite(TChangeKind Kind, const std::int64_t& Id, const std::vector<AnsiString>* Values, F&& Write)
    {
        if (FMemoryLog) return MemoryLoggedWrite(Kind, Id, Values, Write);
        FLogged = 0;
        TWriteResult Result = RunWrite(Write);
        if (Result == TWriteResult::Done && FLogged) FLogCursor.OwnWrite(FLogged);
        return Result;
    }

    template <class F>
    TWriteResult MemoryLoggedWrite(TChangeKind Kind, const std::int64_t& Id, const std::vector<AnsiString>* Values, F& Write)
    {
        std::unique_lock<std::mutex> Lock = FMemoryLog->LockForWrite();
        AnsiString OldKey, NewKey;
        if (Kind != TChangeKind::Inserted) {
            std::vector<AnsiString> Key;
            if (!ReadKey(Id, Key)) return TWriteResult::Changed;  // deleted meanwhile
            OldKey = FLogCursor.KeyTag() + PackKey(Key);
        }
        if (Values) NewKey = FLogCursor.KeyTag() + PackKey(KeyValues(FSchema, *Values));
        TWriteResult Result = RunWrite(Write);
        if (Result == TWriteResult::Done) {
            FLastOwnSeq = FMemoryLog->Append(Id, static_cast<int>(Kind), std::move(OldKey), std::move(NewKey));
            FLogCursor.OwnWrite(FLastOwnSeq);
        }
        return Result;
    }

    // Runs Write (false: it changed no record); a key constraint gives DuplicateKey, a lock
    // that other writers kept past the timeout a clear error.
    template <class F>
    TWriteResult RunWrite(F& Write)
    {
        try {
            return Write() ? TWriteResult::Done : TWriteResult::Changed;
        } catch (const ESqliteError& E) {
            if (E.IsConstraint()) return TWriteResult::DuplicateKey;
            if (E.IsBusy())
                throw EServerError("The table " + FSchema.TableName + " in " + FWhere + " stayed locked by other writers for " +
                                   IntToStr(BusyTimeoutMs / 1000) + " seconds, so the record was not written; try again.");
            throw;
        }
    }

    // The key fields' texts of record Id, into Key; false when there is no such record. A
    // table without a key has none to read.
    bool ReadKey(std::int64_t Id, std::vector<AnsiString>& Key)
    {
        Key.resize(static_cast<std::size_t>(FKeyRead.IsPrepared() ? FKeyRead.ColumnCount() : 0));
        if (!FKeyRead.IsPrepared()) return true;
        TStatementReset Done(FKeyRead);
        FKeyRead.Bind(1, Id);
        if (!FKeyRead.Step()) return false;
        for (std::size_t I = 0; I < Key.size(); ++I) FKeyRead.ColumnTextInto(static_cast<int>(I), Key[I]);
        return true;
    }

    TChangesSeen ReadMemoryLog(std::vector<TChange>& Changes)
    {
        if (FMemoryLog->End() == FLogCursor.Applied()) return TChangesSeen::None;
        // No other session writes the table until FinishChanges, so that the records compared
        // while the changes are taken in are as the entries leave them.
        FMemoryHold = FMemoryLog->LockForWrite();
        std::vector<TMemoryChangeLog::TEntry> Entries = FMemoryLog->After(FLogCursor.Applied());
        std::size_t Next = 0;
        TChangesSeen Seen = FLogCursor.TakeAll(
            [&](TChangeLogCursor::TEntry& Entry) {
                if (Next == Entries.size()) return false;
                const TMemoryChangeLog::TEntry& E = Entries[Next++];
                Entry = {E.Seq, E.Id, E.What, E.OldKey, E.NewKey};
                return true;
            },
            Changes);
        // Another session's one write, the log's last entry, with where its writer's view had it.
        // Where it went (Before, New) holds while the log is held, since the table is as that
        // write left it. Only the last entry tells: after a write of this session's (out of step,
        // so placed without telling) the place told before may be wrong.
        if (Seen == TChangesSeen::Listed && Changes.size() == 1 && Entries.back().Seq != FLastOwnSeq &&
            Entries.back().Id == Changes[0].Id) {
            Changes[0].Place = Entries.back().Place;
            if (!Changes[0].NewKey) Changes[0].Place.New = Changes[0].Place.Before = -1;
        }
        return Seen;
    }

    // Told of every row this connection writes, also by triggers: the log entry of a write.
    static void RowWritten(void* Self, int Operation, const char*, const char* Table, sqlite3_int64 RowId)
    {
        auto* Store = static_cast<TSqliteRecordStore*>(Self);
        if (Operation == SQLITE_INSERT && SameText(Table, Store->FLogName)) Store->FLogged = RowId;
    }

    // What the key is ordered by, term after term: a text field by its value; a number field
    // by its order code (NumberOrderCode), then by its value as an exact decimal, which only
    // decides between equal codes. The index compares the codes as integers, far cheaper than
    // a call of the collation. (Files made before kept an index on the value alone, or on
    // CAST(... AS NUMERIC), which went through a double; its name differs, so PrepareKeyIndex
    // replaces it.)
    struct TKeyTerm {
        std::size_t Field;  // in the schema
        int Place;          // among the key fields
        bool Code;          // the order code, else the value
    };

    std::vector<TKeyTerm> KeyTerms() const
    {
        std::vector<TKeyTerm> Terms;
        int Place = 0;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
            if (!FSchema.Fields[I].Key) continue;
            if (FSchema.Fields[I].Type == TFieldType::Number) Terms.push_back({I, Place, true});
            Terms.push_back({I, Place++, false});
        }
        return Terms;
    }

    // The terms of the key fields' values, one per key field.
    std::vector<TKeyTerm> ValueTerms() const
    {
        std::vector<TKeyTerm> Values = KeyTerms();
        std::erase_if(Values, [](const TKeyTerm& T) { return T.Code; });
        return Values;
    }

    // Term of Text (a column or a value) as it is ordered and compared.
    AnsiString TermOf(const TKeyTerm& Term, const AnsiString& Text) const
    {
        if (Term.Code) return AnsiString(NumberOrderFunction) + "(" + Text + ")";
        return FSchema.Fields[Term.Field].Type == TFieldType::Number ? Text + " COLLATE " + NumberCollation : Text;
    }

    // "t1, t2, " for the key's terms (empty without a key).
    AnsiString KeyOrder(const AnsiString& Qualifier, const char* Direction = "") const
    {
        AnsiString Result;
        for (const TKeyTerm& Term : KeyTerms()) Result += TermOf(Term, Qualifier + Column(Term.Field)) + Direction + ", ";
        return Result;
    }

    void PrepareTable()
    {
        TSqliteTransaction Tx(FDb);
        AnsiString Columns;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Columns += ", " + Column(I) + " TEXT NOT NULL DEFAULT ''";
        FDb.Exec("CREATE TABLE IF NOT EXISTS " + FTable +
                 " (zfd_id INTEGER PRIMARY KEY AUTOINCREMENT, zfd_ver INTEGER NOT NULL DEFAULT 1" + Columns + ")");

        std::vector<AnsiString> Existing;
        {
            TSqliteStatement Info(FDb, "SELECT name FROM pragma_table_info(?1)");
            Info.Bind(1, FSchema.TableName);
            TStatementReset Done(Info);
            while (Info.Step()) Existing.push_back(Info.ColumnText(0));
        }
        auto Has = [&](const AnsiString& Name) {
            return std::any_of(Existing.begin(), Existing.end(), [&](const AnsiString& E) { return SameText(E, Name); });
        };
        if (!Has("zfd_id") || !Has("zfd_ver"))
            throw EServerError("The table " + FSchema.TableName + " in " + FWhere +
                               " was not made by this server (it lacks the columns zfd_id and zfd_ver).");
        // A field added to the schema since the table was made is added to the table.
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (!Has(FSchema.Fields[I].Name))
                FDb.Exec("ALTER TABLE " + FTable + " ADD COLUMN " + Column(I) + " TEXT NOT NULL DEFAULT ''");

        PrepareKeyIndex();
        FLogCursor.SetKeyTag(IntToHex(StableHash(KeyExpression()), 8) + ";");
        if (!FMemoryLog) PrepareChangeLog();
        Tx.Commit();
    }

    // The change log and the triggers that fill it. They are added to a table made before
    // the log existed; the triggers carry a hash of the key in their names, so that a new
    // key gets new triggers that write its fields.
    void PrepareChangeLog()
    {
        FDb.Exec("CREATE TABLE IF NOT EXISTS " + FLog +
                 " (seq INTEGER PRIMARY KEY, id INTEGER NOT NULL, what INTEGER NOT NULL, oldkey TEXT, newkey TEXT)");
        {
            // Logs made before held no new keys.
            TSqliteStatement Info(FDb, "SELECT 1 FROM pragma_table_info(?1) WHERE name = 'newkey'");
            Info.Bind(1, FLogName);
            TStatementReset Done(Info);
            bool HasNewKey = Info.Step();
            Info.Reset();
            if (!HasNewKey) FDb.Exec("ALTER TABLE " + FLog + " ADD COLUMN newkey TEXT");
        }
        // The keys start with a tag of the key's definition, so that a session opened with
        // another key (the schema changed meanwhile) does not read them as its own.
        AnsiString Fields = KeyExpression();
        AnsiString OldKey = "'" + FLogCursor.KeyTag() + "'" + Fields;
        AnsiString NewKey = "'" + FLogCursor.KeyTag() + "'" + KeyExpression("new.");
        // The triggers' names change with what they write, so that a table's triggers made
        // before are replaced.
        AnsiString Suffix = "_" + FSchema.TableName + "_" + IntToHex(StableHash(Fields + ";newkey"), 8);
        AnsiString Insert = AnsiString(LogTriggerPrefix) + "i" + Suffix;
        AnsiString Update = AnsiString(LogTriggerPrefix) + "u" + Suffix;
        AnsiString Delete = AnsiString(LogTriggerPrefix) + "d" + Suffix;
        AnsiString Trim = AnsiString(LogTriggerPrefix) + "t" + Suffix;
        std::vector<AnsiString> Stale;
        {
            TSqliteStatement List(FDb, "SELECT name FROM sqlite_master WHERE type = 'trigger' AND tbl_name IN (?1, ?2)");
            List.Bind(1, FSchema.TableName).Bind(2, "zfd_log_" + FSchema.TableName);
            TStatementReset Done(List);
            while (List.Step()) {
                AnsiString Name = List.ColumnText(0);
                if (Name.rfind(LogTriggerPrefix, 0) == 0 && Name != Insert && Name != Update && Name != Delete &&
                    Name != Trim)
                    Stale.push_back(Name);
            }
        }
        for (const AnsiString& Name : Stale) FDb.Exec("DROP TRIGGER " + QuoteIdent(Name));
        auto Trigger = [&](const AnsiString& Name, const char* Event, const AnsiString& Body) {
            FDb.Exec("CREATE TRIGGER IF NOT EXISTS " + QuoteIdent(Name) + " AFTER " + Event + " ON " + FTable +
                     " BEGIN " + Body + "; END");
        };
        AnsiString Into = "INSERT INTO " + FLog + " (id, what, oldkey, newkey) VALUES ";
        Trigger(Insert, "INSERT", Into + "(new.zfd_id, 1, NULL, " + NewKey + ")");
        Trigger(Update, "UPDATE", Into + "(new.zfd_id, 2, " + OldKey + ", " + NewKey + ")");
        Trigger(Delete, "DELETE", Into + "(old.zfd_id, 3, " + OldKey + ", NULL)");
        FDb.Exec("CREATE TRIGGER IF NOT EXISTS " + QuoteIdent(Trim) + " AFTER INSERT ON " + FLog + " WHEN new.seq % " +
                 IntToStr(LogTrimEvery) + " = 0 BEGIN DELETE FROM " + FLog + " WHERE seq <= new.seq - " +
                 IntToStr(LogKeep) + "; END");
    }

    // The SQL that packs a record's key before a write ("old.") or after it ("new."), as the
    // change log keeps it (after the tag); its hash tags the key's definition.
    AnsiString KeyExpression(const char* Row = "old.") const
    {
        AnsiString Fields;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
            if (!FSchema.Fields[I].Key) continue;
            AnsiString Col = Row + Column(I);
            Fields += " || length(CAST(" + Col + " AS BLOB)) || ':' || " + Col;
        }
        return Fields;
    }

    // The unique index of the current key; indexes of an earlier key of this table are dropped.
    void PrepareKeyIndex()
    {
        AnsiString Keys = KeyOrder("");
        AnsiString Name;
        if (!Keys.empty()) {
            Keys.resize(Keys.size() - 2);
            Name = KeyIndexPrefix + FSchema.TableName + "_" + IntToHex(StableHash(Keys), 8);
        }
        std::vector<AnsiString> Stale;
        {
            // Table names are compared as SQLite compares them: ASCII letters in either case.
            TSqliteStatement List(FDb, "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE");
            List.Bind(1, FSchema.TableName);
            TStatementReset Done(List);
            while (List.Step()) {
                AnsiString Index = List.ColumnText(0);
                if (SameText(Index.substr(0, std::strlen(KeyIndexPrefix)), KeyIndexPrefix) && !SameText(Index, Name)) Stale.push_back(Index);
            }
        }
        for (const AnsiString& Index : Stale) FDb.Exec("DROP INDEX " + QuoteIdent(Index));
        if (Name.empty()) return;
        try {
            FDb.Exec("CREATE UNIQUE INDEX IF NOT EXISTS " + QuoteIdent(Name) + " ON " + FTable + " (" + Keys + ")");
        } catch (const ESqliteError& E) {
            if (!E.IsConstraint()) throw;
            throw EServerError("The table " + FSchema.TableName + " in " + FWhere +
                               " holds records with the same key, so its key fields cannot be enforced.");
        }
    }

    void PrepareStatements()
    {
        std::size_t N = FSchema.Fields.size();
        AnsiString Cols, Params, Sets;
        for (std::size_t I = 0; I < N; ++I) {
            AnsiString P = ParamRef(static_cast<std::int64_t>(I) + 1);
            Cols += (I ? ", " : "") + Column(I);
            Params += (I ? ", " : "") + P;
            Sets += Column(I) + " = " + P + ", ";
        }
        AnsiString IdParam = ParamRef(static_cast<std::int64_t>(N) + 1);
        AnsiString VerParam = ParamRef(static_cast<std::int64_t>(N) + 2);
        FDataVersion = TSqliteStatement(FDb, "PRAGMA data_version");
        FRead = TSqliteStatement(FDb, "SELECT zfd_ver, " + Cols + " FROM " + FTable + " WHERE zfd_id = ?1");
        FReadVersion = TSqliteStatement(FDb, "SELECT zfd_ver FROM " + FTable + " WHERE zfd_id = ?1");
        FInsert = TSqliteStatement(FDb, "INSERT INTO " + FTable + " (" + Cols + ") VALUES (" + Params + ")");
        FUpdate = TSqliteStatement(FDb, "UPDATE " + FTable + " SET " + Sets + "zfd_ver = zfd_ver + 1 WHERE zfd_id = " +
                                            IdParam + " AND zfd_ver = " + VerParam);
        FDelete = TSqliteStatement(FDb, "DELETE FROM " + FTable + " WHERE zfd_id = ?1 AND zfd_ver = ?2");
        FBeginRead = TSqliteStatement(FDb, "BEGIN");
        FCommit = TSqliteStatement(FDb, "COMMIT");
        AnsiString KeyList;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) KeyList += ", " + Column(I);
        if (!FMemoryLog) {
            FLogEnd = TSqliteStatement(FDb, "SELECT coalesce(max(seq), 0) FROM " + FLog);
            FLogRead = TSqliteStatement(FDb, "SELECT seq, id, what, oldkey, newkey FROM " + FLog + " WHERE seq > ?1 ORDER BY seq");
        }
        if (!FSchema.HasKey()) return;

        FKeyRead = TSqliteStatement(FDb, "SELECT " + KeyList.substr(2) + " FROM " + FTable + " WHERE zfd_id = ?1");
        // The record before the key ?1..?n and the one after it, each found in the key index.
        AnsiString Down = KeyOrder("", " DESC"), Up = KeyOrder("");
        Down.resize(Down.size() - 2);
        Up.resize(Up.size() - 2);
        auto Param = [](std::size_t, int K) {
            AnsiString Ref = std::to_string(K + 1);
            return Ref.insert(0, 1, '?');
        };
        AnsiString Before = "SELECT zfd_id FROM " + FTable + " WHERE " + KeyRange('<', false, Param) + " ORDER BY " + Down +
                            " LIMIT 1";
        FBefore = TSqliteStatement(FDb, Before);
        FNeighbours = TSqliteStatement(FDb, "SELECT (" + Before + "), (SELECT zfd_id FROM " + FTable + " WHERE " +
                                                KeyRange('>', false, Param) + " ORDER BY " + Up + " LIMIT 1)");

        FCompare = TSqliteStatement(FDb, "SELECT (" + KeyOrder("a.") + "a.zfd_id) < (" + KeyOrder("b.") + "b.zfd_id) FROM " +
                                             FTable + " AS a, " + FTable + " AS b WHERE a.zfd_id = ?1 AND b.zfd_id = ?2");
    }

    // Parameters ?1..?N: the values in field order (the statement runs and is reset while
    // Values is alive, so they are not copied).
    int BindValues(TSqliteStatement& Stmt, const std::vector<AnsiString>& Values)
    {
        for (std::size_t I = 0; I < Values.size(); ++I) Stmt.BindUncopied(static_cast<int>(I) + 1, Values[I]);
        return static_cast<int>(Values.size());
    }

    // The SQL condition of a filter: zfd_filter(?2, <the fields it tests>), with the filter
    // itself bound as ?2 (?1 is a record id). Only checked, quoted field names reach the SQL.
    AnsiString CompileFilter(const std::vector<TFilterCondition>& Conditions, TCompiledFilter& Filter) const
    {
        if (Conditions.empty()) return {};
        AnsiString Args;
        for (const TFilterCondition& Cond : Conditions) {
            int Field = FSchema.FieldIndex(Cond.FieldName);
            if (Field < 0)
                throw EServerError("The filter names the field " + Quoted(Cond.FieldName) + ", which the table " +
                                       FSchema.TableName + " does not have.",
                                   E_INVALIDARG);
            auto It = std::find(Filter.Fields.begin(), Filter.Fields.end(), static_cast<std::size_t>(Field));
            if (It == Filter.Fields.end()) {
                Filter.Fields.push_back(static_cast<std::size_t>(Field));
                Args += ", " + Column(static_cast<std::size_t>(Field));
                It = Filter.Fields.end() - 1;
            }
            Filter.Conditions.push_back(Cond);
            Filter.Argument.push_back(static_cast<int>(It - Filter.Fields.begin()) + 1);
        }
        return "zfd_filter(?2" + Args + ")";
    }

    void BindFilter(TSqliteStatement& Stmt)
    {
        if (!FFilter->Conditions.empty()) Stmt.BindPointer(2, FFilter.get(), FilterPointerType);
    }

    TTableSchema FSchema;
    TSqliteDb FDb;
    AnsiString FWhere;  // where the table lives, for messages
    AnsiString FTable;  // the quoted table name
    TSqliteStatement FDataVersion, FRead, FReadVersion, FInsert, FUpdate, FDelete, FCompare, FKeyRead, FBefore, FNeighbours;
    TSqliteStatement FLogEnd, FLogRead, FBeginRead, FCommit;
    bool FIsFile = false;
    bool FInSnapshot = false;  // a read transaction from ReadChanges until FinishChanges
    TSqliteStatement FView, FPasses, FPage;
    std::unique_ptr<TCompiledFilter> FFilter;  // owned; bound to FView, FPasses and FPage
    std::int64_t FLastDataVersion = -1;
    TWalCommitWatch FWalWatch;  // a file's commits seen without a transaction; a memory table has none
    AnsiString FLogName, FLog;  // the change log table's name, and quoted
    sqlite3_int64 FLogged = 0;  // the log entry of this connection's last write (0: none)
    TChangeLogCursor FLogCursor;  // what this session took in of the log
    TRecordKey FProbeKey;         // the last key ComesBeforeKey read, kept for its buffers
    std::shared_ptr<TMemoryChangeLog> FMemoryLog;  // shared with the table's other sessions; null for a file
    std::unique_lock<std::mutex> FMemoryHold;      // the log's write lock, from ReadChanges to FinishChanges
    std::int64_t FLastOwnSeq = 0;  // the memory log's entry of this session's last write
};

}  // namespace

void RegisterSqlFunctions(sqlite3* Db)
{
    sqlite3_create_collation_v2(Db, NumberCollation, SQLITE_UTF8, nullptr, &NumberCollationFunction, nullptr);
    // In the key index, so it may run in the schema; it reads nothing but its argument.
    sqlite3_create_function_v2(Db, NumberOrderFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                               &NumberOrderCodeFunction, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(Db, "zfd_filter", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY, nullptr,
                               &FilterFunction, nullptr, nullptr, nullptr);
}

std::unique_ptr<TRecordStore> OpenMemoryStore(const TTableSchema& Schema, const AnsiString& CanonicalSchemaPath)
{
    AnsiString Uri;
    std::shared_ptr<TMemoryChangeLog> Log = MemoryTableLog(CanonicalSchemaPath, Schema.TableName, Uri);
    return std::make_unique<TSqliteRecordStore>(Schema, Uri, false, "the memory table of " + CanonicalSchemaPath,
                                                std::move(Log));
}

std::unique_ptr<TRecordStore> OpenFileStore(const TTableSchema& Schema, const AnsiString& Path)
{
    return std::make_unique<TSqliteRecordStore>(Schema, Path, true, "the file " + Path, nullptr);
}

}  // namespace RecordServer
