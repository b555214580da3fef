// The SQLite store's opening, its filter, its reads, and its writes with their log entries.
// The modes, states and invariants are at the top of SqliteRecordStore.h.
#include "server/SqliteRecordStore.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/KeyOrder.h"
#include "server/MemoryTables.h"

namespace RecordServer {

namespace {

// "5 seconds", "0.25 seconds", "1 second".
AnsiString SecondsText(int Milliseconds)
{
    AnsiString Text = IntToStr(Milliseconds / 1000);
    if (int Rest = Milliseconds % 1000) {
        AnsiString Fraction = IntToStr(1000 + Rest).substr(1);
        Fraction.erase(Fraction.find_last_not_of('0') + 1);
        Text += "." + Fraction;
    }
    return FormatText(Milliseconds == 1000 ? TranslateText("SqliteRecordStore", "%1 second") : TranslateText("SqliteRecordStore", "%1 seconds"), {Text});
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Opening

std::unique_ptr<TRecordStore> TSqliteRecordStore::OpenMemory(const TTableSchema& Schema,
                                                              const AnsiString& CanonicalSchemaPath)
{
    AnsiString Uri;
    std::shared_ptr<TMemoryChangeLog> Log = MemoryTableLog(CanonicalSchemaPath, Schema.TableName, Uri);
    try {
        return std::make_unique<TSqliteRecordStore>(Schema, Uri, false, FormatText(TranslateText("SqliteRecordStore", "the memory table of %1"), {CanonicalSchemaPath}),
                                                    std::move(Log));
    } catch (const ESqliteError& E) {
        throw StorageFailed(E);
    }
}

std::unique_ptr<TRecordStore> TSqliteRecordStore::OpenFile(const TTableSchema& Schema, const AnsiString& Path,
                                                            int BusyTimeoutMs)
{
    try {
        return std::make_unique<TSqliteRecordStore>(Schema, Path, true, FormatText(TranslateText("SqliteRecordStore", "the file %1"), {Path}),
                                                    nullptr, BusyTimeoutMs);
    } catch (const ESqliteError& E) {
        // The table's journal (the -wal and -shm files) is made beside the database file.
        AnsiString Folder = std::filesystem::path(Path).parent_path().string();
        if (access(Folder.c_str(), W_OK) != 0 && errno == EACCES)
            throw EServerError(FormatText(TranslateText("SqliteRecordStore", "Cannot open the access file %1: the folder %2 must be "
                                                             "writable, for the table's journal beside the file (%3)."),
                                          {Path, Folder, E.Message()}));
        throw EServerError(FormatText(TranslateText("SqliteRecordStore", "Cannot open the access file %1: %2"), {Path, E.Message()}));
    }
}

TSqliteRecordStore::TSqliteRecordStore(const TTableSchema& Schema, const AnsiString& Target, bool IsFile,
                                       const AnsiString& Where, std::shared_ptr<TMemoryChangeLog> MemoryLog,
                                       int BusyTimeoutMs)
    : FSchema(Schema), FDb(Target), FWhere(Where), FIsFile(IsFile), FBusyTimeoutMs(BusyTimeoutMs),
      FMemoryLog(std::move(MemoryLog))
{
    RegisterSqlFunctions(FDb.Handle());
    if (IsFile) {
        FDb.SetBusyTimeout(FBusyTimeoutMs);
        TSqliteStatement Journal(FDb, "PRAGMA journal_mode=WAL");
        TStatementReset Done(Journal);
        if (Journal.Step() && Journal.ColumnText(0) == "wal") FWalWatch = TWalCommitWatch(FDb.Handle());
        FDb.Exec("PRAGMA synchronous=FULL");
    } else {
        // Sessions of a memory table share one cache; their reads take no table locks.
        FDb.Exec("PRAGMA read_uncommitted = 1");
    }
    FTable = QuoteIdent(FSchema.TableName);
    FLogName = "zfd_log_" + FSchema.TableName;
    FLog = QuoteIdent(FLogName);
    FBlocksName = "zfd_blk_" + FSchema.TableName;
    FBlocks = QuoteIdent(FBlocksName);
    PrepareTable();
    PrepareStatements();
    SetFilter({});
    if (!FMemoryLog) sqlite3_update_hook(FDb.Handle(), &RowWritten, this);
}

EServerError TSqliteRecordStore::StorageFailed(const ESqliteError& E)
{
    return EServerError(FormatText(TranslateText("SqliteRecordStore", "The record storage failed: %1"), {E.Message()}));
}

// ---------------------------------------------------------------------------------------
// The filter and the view's ids

void TSqliteRecordStore::SetFilter(const std::vector<TFilterCondition>& Conditions)
{
    Guard([&] {
        auto Filter = std::make_unique<TCompiledFilter>();
        AnsiString Where = CompileFilter(FSchema, Conditions, *Filter);
        AnsiString Order = " ORDER BY " + KeyOrderSql(FSchema, "") + "zfd_id";
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
        for (TSqliteStatement& Range : FRange) Range = TSqliteStatement();  // made again for this filter
        FWhereFilter = Where;
        FFilter = std::move(Filter);
    });
}

void TSqliteRecordStore::RestartLog()
{
    if (FMemoryLog) {
        FLogCursor.Restart(FMemoryLog->End());
    } else {
        DataVersionMoved();
        FLogCursor.Restart(LogEnd());
    }
}

TSqliteStatement& TSqliteRecordStore::RangeStatement(bool HasFrom, bool HasTo)
{
    TSqliteStatement& Stmt = FRange[(HasFrom ? 1 : 0) + (HasTo ? 2 : 0)];
    if (Stmt.IsPrepared()) return Stmt;
    // From's key fields are ?3.., To's follow them (?1 and ?2 are the filter's, as elsewhere).
    int Keys = static_cast<int>(ValueTerms(FSchema).size());
    auto Param = [](int Number) { return "?" + IntToStr(Number); };
    std::vector<AnsiString> Conditions;
    if (!FWhereFilter.empty()) Conditions.push_back(FWhereFilter);
    if (FSchema.HasKey()) {
        if (HasFrom)
            Conditions.push_back(KeyRangeSql(FSchema, '>', true, [&](std::size_t, int K) { return Param(3 + K); }));
        if (HasTo)
            Conditions.push_back(KeyRangeSql(FSchema, '<', false, [&](std::size_t, int K) { return Param(3 + Keys + K); }));
    } else {
        if (HasFrom) Conditions.push_back("zfd_id >= ?3");
        if (HasTo) Conditions.push_back("zfd_id < ?4");
    }
    AnsiString Where;
    for (const AnsiString& Condition : Conditions) Where += (Where.empty() ? " WHERE (" : " AND (") + Condition + ")";
    AnsiString KeyColumns;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) KeyColumns += ", " + Column(I);
    Stmt = TSqliteStatement(FDb, "SELECT zfd_id" + KeyColumns + " FROM " + FTable + Where + " ORDER BY " +
                                     KeyOrderSql(FSchema, "") + "zfd_id");
    return Stmt;
}

void TSqliteRecordStore::ReadRange(const TRecordKey* From, const TRecordKey* To, const TRangeSink& Sink)
{
    Guard([&] {
        TSqliteStatement& Stmt = RangeStatement(From != nullptr, To != nullptr);
        TStatementReset Done(Stmt);
        BindFilter(Stmt, *FFilter);
        int Keys = static_cast<int>(ValueTerms(FSchema).size());
        if (FSchema.HasKey()) {
            for (int K = 0; From && K < Keys; ++K) Stmt.BindUncopied(3 + K, From->Values[static_cast<std::size_t>(K)]);
            for (int K = 0; To && K < Keys; ++K) Stmt.BindUncopied(3 + Keys + K, To->Values[static_cast<std::size_t>(K)]);
        } else {
            if (From) Stmt.Bind(3, From->Id);
            if (To) Stmt.Bind(4, To->Id);
        }
        TRecordKey Record;
        Record.Values.resize(static_cast<std::size_t>(Stmt.ColumnCount() - 1));
        while (Stmt.Step()) {
            Record.Id = Stmt.ColumnInt64(0);
            for (std::size_t I = 0; I < Record.Values.size(); ++I)
                Stmt.ColumnTextInto(static_cast<int>(I) + 1, Record.Values[I]);
            Sink(Record);
        }
    });
}

void TSqliteRecordStore::ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink)
{
    Guard([&] {
        // The log's end and the ids are read with no commit between them: a commit is either
        // in the ids or after the end (the snapshot is the one of ReadChanges, when it called
        // for reading the view again).
        ReadInSnapshot([&] {
            RestartLog();
            TStatementReset Done(FView);
            BindFilter(FView, *FFilter);
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
        });
    });
}

// ---------------------------------------------------------------------------------------
// Reads

bool TSqliteRecordStore::PassesFilter(std::int64_t Id)
{
    return Guard([&] {
        TStatementReset Done(FPasses);
        FPasses.Bind(1, Id);
        BindFilter(FPasses, *FFilter);
        return FPasses.Step();
    });
}

bool TSqliteRecordStore::Read(std::int64_t Id, TStoredRecord& Record)
{
    return Guard([&] {
        TStatementReset Done(FRead);
        FRead.Bind(1, Id);
        if (!FRead.Step()) return false;
        Record.Id = Id;
        ReadRow(FRead, 0, Record);
        return true;
    });
}

void TSqliteRecordStore::ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records)
{
    Guard([&] {
        // The records already in Records are written over: their strings keep their room.
        std::size_t Read = 0;
        TStatementReset Done(FPage);
        FPage.Bind(1, FromId).Bind(3, static_cast<std::int64_t>(Count));
        BindFilter(FPage, *FFilter);
        while (FPage.Step()) {
            if (Read == Records.size()) Records.emplace_back();
            TStoredRecord& Record = Records[Read++];
            Record.Id = FPage.ColumnInt64(0);
            ReadRow(FPage, 1, Record);
        }
        Records.resize(Read);
    });
}

std::optional<std::int64_t> TSqliteRecordStore::ReadVersion(std::int64_t Id)
{
    return Guard([&]() -> std::optional<std::int64_t> {
        TStatementReset Done(FReadVersion);
        FReadVersion.Bind(1, Id);
        if (!FReadVersion.Step()) return std::nullopt;
        return FReadVersion.ColumnInt64(0);
    });
}

bool TSqliteRecordStore::ReadKey(std::int64_t Id, std::vector<AnsiString>& Key)
{
    Key.resize(static_cast<std::size_t>(FKeyRead.IsPrepared() ? FKeyRead.ColumnCount() : 0));
    if (!FKeyRead.IsPrepared()) return true;
    TStatementReset Done(FKeyRead);
    FKeyRead.Bind(1, Id);
    if (!FKeyRead.Step()) return false;
    for (std::size_t I = 0; I < Key.size(); ++I) FKeyRead.ColumnTextInto(static_cast<int>(I), Key[I]);
    return true;
}

void TSqliteRecordStore::ReadRow(const TSqliteStatement& Stmt, int First, TStoredRecord& Record) const
{
    Record.Version = Stmt.ColumnInt64(First);
    Record.Values.resize(FSchema.Fields.size());
    for (std::size_t I = 0; I < Record.Values.size(); ++I)
        Stmt.ColumnTextInto(First + 1 + static_cast<int>(I), Record.Values[I]);
}

AnsiString TSqliteRecordStore::ColumnList() const
{
    AnsiString Cols;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Cols += (I ? ", " : "") + Column(I);
    return Cols;
}

// The records from record ?1 on, in the order of the key (the key is unique, so the start
// record is the only one equal to it): the tables to read from, and the condition. The start
// record's key is read once, as a row of its own (zfd_start).
AnsiString TSqliteRecordStore::PageSource() const
{
    if (!FSchema.HasKey()) return FTable;
    AnsiString Start;
    for (const TKeyTerm& Term : ValueTerms(FSchema))
        Start += (Start.empty() ? "" : ", ") + Column(Term.Field) + " AS zfd_start" + IntToStr(Term.Place);
    return "(SELECT " + Start + " FROM " + FTable + " WHERE zfd_id = ?1) AS zfd_start, " + FTable;
}

AnsiString TSqliteRecordStore::PageRange() const
{
    if (!FSchema.HasKey()) return "zfd_id >= ?1";
    return KeyRangeSql(FSchema, '>', true, [](std::size_t, int Place) { return "zfd_start.zfd_start" + IntToStr(Place); });
}

// ---------------------------------------------------------------------------------------
// Writes

TWriteResult TSqliteRecordStore::Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record)
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

TWriteResult TSqliteRecordStore::Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                                        std::int64_t& NewVersion)
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

TWriteResult TSqliteRecordStore::Delete(std::int64_t Id, std::int64_t Version)
{
    return LoggedWrite(TChangeKind::Deleted, Id, nullptr, [&] {
        FDelete.Bind(1, Id).Bind(2, Version);
        FDelete.Run();
        return FDb.Changes() != 0;
    });
}

// Runs Write, one statement that commits by itself together with the log entry that the
// table's triggers append, and remembers that entry as this session's own. Write answers
// false when it changed no record (the version given was stale); a key constraint gives
// DuplicateKey. A statement that writes takes the write lock as it starts (waiting in the
// connection's busy handler), so it never fails because another committed meanwhile.
//   A memory table's entry is appended by the store itself, under the log's write lock;
// Id is the record written (Insert's Write fills it in), Values its values after the write.
template <class F>
TWriteResult TSqliteRecordStore::LoggedWrite(TChangeKind Kind, const std::int64_t& Id,
                                             const std::vector<AnsiString>* Values, F&& Write)
{
    return Guard([&] {
        if (FMemoryLog) return MemoryLoggedWrite(Kind, Id, Values, Write);
        FLogged = 0;
        TWriteResult Result = RunWrite(Write);
        if (Result == TWriteResult::Done && FLogged) FLogCursor.OwnWrite(FLogged);
        return Result;
    });
}

template <class F>
TWriteResult TSqliteRecordStore::MemoryLoggedWrite(TChangeKind Kind, const std::int64_t& Id,
                                                   const std::vector<AnsiString>* Values, F& Write)
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
        FLogCursor.OwnWrite(FMemoryLog->Append(Id, static_cast<int>(Kind), std::move(OldKey), std::move(NewKey)));
    }
    return Result;
}

// Runs Write (false: it changed no record); a key constraint gives DuplicateKey, a lock that
// other writers kept past the timeout a clear error.
template <class F>
TWriteResult TSqliteRecordStore::RunWrite(F& Write)
{
    try {
        return Write() ? TWriteResult::Done : TWriteResult::Changed;
    } catch (const ESqliteError& E) {
        if (E.IsConstraint()) return TWriteResult::DuplicateKey;
        if (E.IsBusy())
            throw EServerError(FormatText(TranslateText("SqliteRecordStore", "The table %1 in %2 stayed locked by other writers for "
                                                             "%3, so the record was not written; try again."),
                                          {FSchema.TableName, FWhere, SecondsText(FBusyTimeoutMs)}));
        throw;
    }
}

int TSqliteRecordStore::BindValues(TSqliteStatement& Stmt, const std::vector<AnsiString>& Values)
{
    for (std::size_t I = 0; I < Values.size(); ++I) Stmt.BindUncopied(static_cast<int>(I) + 1, Values[I]);
    return static_cast<int>(Values.size());
}

}  // namespace RecordServer
