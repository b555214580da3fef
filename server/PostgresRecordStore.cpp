// The PostgreSQL store's opening, its filter, its reads, and its writes. The states and
// invariants are at the top of PostgresRecordStore.h.
#include "server/PostgresRecordStore.h"

#include <algorithm>
#include <cctype>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/SqlText.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

// The server's own names carry the table's name when it is short enough, else its hash.
constexpr std::size_t MaxNameInOwnNames = 40;

}  // namespace

// ---------------------------------------------------------------------------------------
// Opening

bool IsPostgresUri(const AnsiString& AccessFile)
{
    AnsiString Start = AccessFile.substr(0, 13);
    for (char& C : Start) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Start.rfind("postgresql://", 0) == 0 || Start.rfind("postgres://", 0) == 0;
}

std::unique_ptr<TRecordStore> TPostgresRecordStore::Open(const TTableSchema& Schema, const AnsiString& Uri)
{
    try {
        return std::make_unique<TPostgresRecordStore>(Schema, Uri);
    } catch (const EPgError& E) {
        throw EServerError(E.Message());
    }
}

TPostgresRecordStore::TPostgresRecordStore(const TTableSchema& Schema, const AnsiString& Uri)
    : FSchema(Schema), FConn(Uri)
{
    CheckNames();
    AnsiString Own = FSchema.TableName;
    if (Own.size() > MaxNameInOwnNames) {
        // Built in place: GCC 12 at -O3 warns falsely of an overlap in "h" + text.
        Own = IntToHex(StableHash(FSchema.TableName), 8);
        Own.insert(Own.begin(), 'h');
    }
    FTable = QuoteIdent(FSchema.TableName);
    FLog = QuoteIdent("zfd_log_" + Own);
    FLogFunction = QuoteIdent("zfd_logf_" + Own);
    FLogTrigger = QuoteIdent("zfd_logt_" + Own);
    FTruncateTrigger = QuoteIdent("zfd_logtt_" + Own);
    FChannel = "zfd_" + Own;
    FOwn = Own;
    FBlocks = QuoteIdent("zfd_blk_" + Own);
    FBlocksIndex = "zfd_blkx_" + Own;
    FLocalKey = Uri + "\n" + FSchema.TableName;
    AnsiString KeyDefinition;
    for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
        if (FSchema.Fields[I].Key) KeyDefinition += KeyExpr(I, "") + ", ";
    FKeyIndex = "zfd_key_" + Own + "_" + IntToHex(StableHash(KeyDefinition), 8);
    FLogCursor.SetKeyTag(IntToHex(StableHash(KeyDefinition), 8) + ";");
    // Whether every entry of this table fits in its notice (the trigger sends an empty one
    // for a longer entry): the sequence, id and kind, then two keys, each "<bytes>:" and the
    // tag, then "<bytes>:<text>" per key field of at most Size characters of 4 bytes.
    std::size_t Longest = 64;
    for (std::size_t Key = 0; Key < 2; ++Key) {
        Longest += 16 + FLogCursor.KeyTag().size();
        for (const TFieldDef& Field : FSchema.Fields)
            if (Field.Key) Longest += 8 + 4 * static_cast<std::size_t>(Field.Size);
    }
    FNoticeCarriesEntry = Longest <= static_cast<std::size_t>(MaxNoticeEntry);
    try {
        PrepareTable();
        Connected();
    } catch (const EPgError& E) {
        throw EServerError(E.Message());
    }
}

// ---------------------------------------------------------------------------------------
// The filter and the view's ids

void TPostgresRecordStore::SetFilter(const std::vector<TFilterCondition>& Conditions)
{
    std::vector<TFilterCondition> Checked;
    for (const TFilterCondition& Cond : Conditions) {
        if (FSchema.FieldIndex(Cond.FieldName) < 0)
            throw EServerError(FormatText(TranslateText("RecordStore",
                                                        "The filter names the field %1, which the table %2 does not have."),
                                          {Quoted(Cond.FieldName), FSchema.TableName}),
                               E_INVALIDARG);
        Checked.push_back(Cond);
    }
    FFilter = std::move(Checked);
    FFilterFields.clear();
    for (const TFilterCondition& Cond : FFilter)
        FFilterFields.push_back(static_cast<std::size_t>(FSchema.FieldIndex(Cond.FieldName)));
}

TPgResult TPostgresRecordStore::ReadFromLogEnd(const AnsiString& Sql)
{
    std::vector<TPgConnection::TStep> Steps(3);
    bool OwnSnapshot = !FInSnapshot;
    Steps[0].Sql = OwnSnapshot ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY" : "SELECT 1";
    Steps[1].Statement = "logend";
    Steps[1].Params.Add(FSchema.TableName);
    Steps[2].Sql = Sql;
    // Notifications that came before the snapshot are of commits that it holds.
    FConn.TakeNotifications(FChannel);
    FMustLook = false;
    FInSnapshot = true;
    std::vector<TPgResult> Results = FConn.RunTogether(Steps);
    if (OwnSnapshot) FinishChanges();
    FLogCursor.Restart(Results[1].Rows() ? Results[1].Int64(0, 0) : 0);
    ForgetNotified();
    FLocalSeen = LocalWrites().Count(FLocalKey);
    return std::move(Results[2]);
}

void TPostgresRecordStore::ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink)
{
    Guard([&] {
        // The log's end and the ids from one snapshot: a commit is either in the ids or
        // after the end.
        AnsiString Columns;
        for (std::size_t Field : FFilterFields) Columns += ", " + Column(Field);
        std::vector<AnsiString> Key;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
            if (!FSchema.Fields[I].Key) continue;
            Columns += ", " + Column(I);
            Key.emplace_back();
        }
        const TPgResult Ids = ReadFromLogEnd("SELECT zfd_id" + Columns + " FROM " + FTable + " ORDER BY " + Order(""));
        int KeyColumn = 1 + static_cast<int>(FFilterFields.size());
        std::vector<int> Passing;
        for (int Row = 0; Row < Ids.Rows(); ++Row) {
            bool Passes = true;
            for (std::size_t I = 0; I < FFilter.size() && Passes; ++I)
                Passes = ConditionHolds(FFilter[I], Ids.Text(Row, 1 + static_cast<int>(I)));
            if (Passes) Passing.push_back(Row);
        }
        for (std::size_t N = 0; N < Passing.size(); ++N) {
            int Row = Passing[N];
            bool Keyed = (KeyEvery > 0 && N % static_cast<std::size_t>(KeyEvery) == 0) || N + 1 == Passing.size();
            if (!Keyed) {
                Sink(Ids.Int64(Row, 0), nullptr);
                continue;
            }
            for (std::size_t I = 0; I < Key.size(); ++I) Key[I] = Ids.Text(Row, KeyColumn + static_cast<int>(I));
            Sink(Ids.Int64(Row, 0), &Key);
        }
    });
}

// ---------------------------------------------------------------------------------------
// Reads

void TPostgresRecordStore::ReadSummary(const TSummarySink& Sink)
{
    Guard([&] {
        // The log's end and the summary from one snapshot: a commit is either counted or after
        // the end. Block 0 first, then the others by their bounds.
        const TPgResult Blocks =
            ReadFromLogEnd("SELECT blk, n, " + BoundColumns() + " FROM " + FBlocks + " ORDER BY blk <> 0, " + BoundOrder(""));
        TSummaryBlock Block;
        int BoundCount = Blocks.Columns() - 2;
        for (int Row = 0; Row < Blocks.Rows(); ++Row) {
            Block.Count = Blocks.Int64(Row, 1);
            if (Blocks.Int64(Row, 0) == 0) {
                Block.Bound.reset();
            } else {
                Block.Bound.emplace();
                if (FSchema.HasKey()) {
                    for (int I = 0; I < BoundCount; ++I) Block.Bound->Values.emplace_back(Blocks.Text(Row, 2 + I));
                } else {
                    Block.Bound->Id = Blocks.Int64(Row, 2);
                }
            }
            Sink(Block);
        }
    });
}

void TPostgresRecordStore::ReadRange(const TRecordKey* From, const TRecordKey* To, const TRangeSink& Sink)
{
    Guard([&] {
        // The bounds compared as rows in the key index's terms; the filter is tested here, on
        // the filtered fields read beside the keys, as ReadOrderedIds tests it.
        AnsiString Keys = KeyList("");
        TPgParams Params;
        int Param = 0;
        auto Bound = [&](const TRecordKey& Key) {
            if (!FSchema.HasKey()) {
                Params.Add(Key.Id);
                return "$" + IntToStr(++Param) + "::bigint";
            }
            AnsiString Values;
            std::size_t K = 0;
            for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
                if (FSchema.Fields[I].Key) {
                    Params.Add(Key.Values[K++]);
                    Values += (Values.empty() ? "" : ", ") + KeyExprOf(I, "$" + IntToStr(++Param) + "::text");
                }
            return Values;
        };
        AnsiString Left = FSchema.HasKey() ? "(" + Keys + ")" : AnsiString("zfd_id");
        AnsiString Where;
        if (From) Where += " WHERE " + Left + " >= (" + Bound(*From) + ")";
        if (To) Where += (Where.empty() ? " WHERE " : " AND ") + Left + " < (" + Bound(*To) + ")";
        AnsiString Columns;
        std::size_t KeyCount = 0;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) {
                Columns += ", " + Column(I);
                ++KeyCount;
            }
        for (std::size_t Field : FFilterFields) Columns += ", " + Column(Field);
        TPgResult Rows = FConn.Query("SELECT zfd_id" + Columns + " FROM " + FTable + Where + " ORDER BY " + Order(""), Params);
        TRecordKey Record;
        Record.Values.resize(KeyCount);
        int FilterColumn = 1 + static_cast<int>(KeyCount);
        for (int Row = 0; Row < Rows.Rows(); ++Row) {
            bool Passes = true;
            for (std::size_t I = 0; I < FFilter.size() && Passes; ++I)
                Passes = ConditionHolds(FFilter[I], Rows.Text(Row, FilterColumn + static_cast<int>(I)));
            if (!Passes) continue;
            Record.Id = Rows.Int64(Row, 0);
            for (std::size_t I = 0; I < KeyCount; ++I) Record.Values[I] = Rows.Text(Row, 1 + static_cast<int>(I));
            Sink(Record);
        }
    });
}

bool TPostgresRecordStore::PassesFilter(std::int64_t Id)
{
    TStoredRecord Record;
    return Read(Id, Record) && Passes(Record);
}

bool TPostgresRecordStore::Read(std::int64_t Id, TStoredRecord& Record)
{
    return Guard([&] {
        TPgResult Result = FConn.RunPrepared("read", TPgParams().Add(Id));
        if (!Result.Rows()) return false;
        Record.Id = Id;
        ReadRow(Result, 0, 0, Record);
        return true;
    });
}

void TPostgresRecordStore::ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records)
{
    Records.clear();
    Guard([&] {
        // With a filter, the rows are read in batches from the last one read on (which
        // comes again first and is skipped) until enough pass or the table ends.
        int Batch = FFilter.empty() ? Count : std::max(Count, 64);
        bool First = true;
        while (static_cast<int>(Records.size()) < Count) {
            TPgResult Result = FConn.RunPrepared("page", TPgParams().Add(FromId).Add(Batch));
            for (int Row = First ? 0 : 1; Row < Result.Rows(); ++Row) {
                TStoredRecord Record;
                Record.Id = Result.Int64(Row, 0);
                ReadRow(Result, Row, 1, Record);
                if (Passes(Record) && static_cast<int>(Records.size()) < Count) Records.push_back(std::move(Record));
            }
            if (Result.Rows() < Batch) break;
            FromId = Result.Int64(Result.Rows() - 1, 0);
            First = false;
        }
    });
}

std::optional<std::int64_t> TPostgresRecordStore::ReadVersion(std::int64_t Id)
{
    return Guard([&]() -> std::optional<std::int64_t> {
        TPgResult Result = FConn.RunPrepared("version", TPgParams().Add(Id));
        if (!Result.Rows()) return std::nullopt;
        return Result.Int64(0, 0);
    });
}

bool TPostgresRecordStore::Passes(const TStoredRecord& Record) const
{
    for (std::size_t I = 0; I < FFilter.size(); ++I)
        if (!ConditionHolds(FFilter[I], Record.Values[FFilterFields[I]])) return false;
    return true;
}

void TPostgresRecordStore::ReadRow(const TPgResult& Result, int Row, int First, TStoredRecord& Record) const
{
    Record.Version = Result.Int64(Row, First);
    Record.Values.resize(FSchema.Fields.size());
    for (std::size_t I = 0; I < Record.Values.size(); ++I)
        Record.Values[I] = AnsiString(Result.Text(Row, First + 1 + static_cast<int>(I)));
}

// ---------------------------------------------------------------------------------------
// Writes

// One write, in one transaction and one round trip, and the sequence of its log entry. The
// statement returns a row for the record it wrote; none when the version given was stale
// or the record is gone. The unique index refuses a duplicate key. The entry's sequence
// comes with the answer, in the notice of the write's own commit (this connection listens
// too); where an entry may be too long for its notice, the write reads the log's end in
// the same transaction instead.
template <class F>
TWriteResult TPostgresRecordStore::LoggedWrite(const char* Statement, TPgParams Params, F&& Written)
{
    return Guard([&] {
        FinishChanges();
        std::vector<TPgResult> Results;
        try {
            if (FNoticeCarriesEntry) {
                Results.push_back(FConn.RunPrepared(Statement, Params, "a write"));
            } else {
                std::vector<TPgConnection::TStep> Steps(2);
                Steps[0].Statement = Statement;
                Steps[0].Params = std::move(Params);
                Steps[1].Statement = "logend";
                Steps[1].Params.Add(FSchema.TableName);
                Results = FConn.RunTogether(Steps);
            }
        } catch (const EPgError& E) {
            // Only the key's own index makes a duplicate key; any other constraint is named in
            // the server's message.
            if (E.IsUniqueViolation() && E.Constraint() == FKeyIndex) return TWriteResult::DuplicateKey;
            if (E.SqlState() == "42501")
                throw EServerError(FormatText(TranslateText("PostgresRecordStore", "%1 may not be written by this user: %2."),
                                              {InDatabase(), E.Reason()}));
            throw;
        }
        if (Results[0].Rows() == 0) return TWriteResult::Changed;
        Written(Results[0]);
        if (FNoticeCarriesEntry) {
            // Others' notices that came with the answer are kept for the next look.
            std::vector<AnsiString> Others, Own;
            if (FConn.TakeReceived(FChannel, &Others, &Own)) FNoticesKept = true;
            for (const AnsiString& Payload : Others) KeepNotified(Payload);
            std::optional<TPgNotice> Notice;
            if (Own.size() == 1) Notice = ParsePgNotice(Own[0]);
            if (Notice) FLogCursor.OwnWrite(Notice->Seq);
            else FOwnEntryUnknown = true;
        } else {
            FLogCursor.OwnWrite(Results[1].Int64(0, 0));
        }
        std::int64_t Local = LocalWrites().Add(FLocalKey);
        if (Local == FLocalSeen + 1) FLocalSeen = Local;
        return TWriteResult::Done;
    });
}

void TPostgresRecordStore::RefuseUnstorable(const std::vector<AnsiString>& Values) const
{
    for (std::size_t I = 0; I < Values.size(); ++I)
        if (Values[I].find('\0') != AnsiString::npos)
            throw EServerError(FormatText(TranslateText("PostgresRecordStore", "Field %1: the value %2 holds a NUL "
                                                                               "character, which a PostgreSQL table cannot store."),
                                          {FSchema.Fields[I].Name, Quoted(Values[I])}),
                               E_INVALIDARG);
}

TWriteResult TPostgresRecordStore::Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record)
{
    RefuseUnstorable(Values);
    TPgParams Params;
    for (const AnsiString& Value : Values) Params.Add(Value);
    return LoggedWrite("insert", std::move(Params), [&](const TPgResult& Result) {
        Record.Id = Result.Int64(0, 0);
        Record.Version = 1;
    });
}

TWriteResult TPostgresRecordStore::Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                                          std::int64_t& NewVersion)
{
    RefuseUnstorable(Values);
    TPgParams Params;
    for (const AnsiString& Value : Values) Params.Add(Value);
    Params.Add(Id).Add(Version);
    return LoggedWrite("update", std::move(Params), [&](const TPgResult& Result) { NewVersion = Result.Int64(0, 0); });
}

TWriteResult TPostgresRecordStore::Delete(std::int64_t Id, std::int64_t Version)
{
    return LoggedWrite("delete", TPgParams().Add(Id).Add(Version), [](const TPgResult&) {});
}

}  // namespace RecordServer
