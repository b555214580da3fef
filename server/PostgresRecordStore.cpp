#include "server/PostgresRecordStore.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "framework/core/TextUtils.h"
#include "server/ChangeLogCursor.h"
#include "server/KeyOrder.h"
#include "server/PgConnection.h"
#include "server/ServerError.h"
#include "server/SqliteDb.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

// Beyond every sequence of a change log: the upper bound of its reads.
constexpr std::int64_t LogReadEnd = std::numeric_limits<std::int64_t>::max();

// "$N", a numbered parameter (built in place: GCC 12 at -O3 warns falsely of an overlap in
// "$" + text).
AnsiString ParamRef(std::int64_t Number)
{
    AnsiString Ref = IntToStr(Number);
    Ref.insert(Ref.begin(), '$');
    return Ref;
}

// The change log keeps at least LogKeep entries; every LogTrimEvery-th entry trims it.
constexpr int LogKeep = 8192;
constexpr int LogTrimEvery = 1024;
// The longest entry a notice carries (PostgreSQL refuses payloads of 8000 bytes or more); the
// trigger sends an empty notice for a longer one.
constexpr int MaxNoticeEntry = 7900;
// PostgreSQL cuts names longer than this; the schema allows a few bytes more.
constexpr std::size_t MaxNameBytes = 63;
// The server's own names carry the table's name when it is short enough, else its hash.
constexpr std::size_t MaxNameInOwnNames = 40;
// An advisory lock that serialises the setting up of tables, so that two sessions creating
// the same table at once do not collide in the catalogue.
constexpr std::int64_t SetupLockKey = 0x7A66645F73657475;  // "zfd_setu"

// Writes of the sessions of this process, per table: a session learns of another session's
// commit here without a round trip (a notification may reach it a moment later).
class TLocalWrites {
public:
    std::int64_t Count(const AnsiString& Table)
    {
        std::lock_guard Guard(FLock);
        return FCounts[Table];
    }
    std::int64_t Add(const AnsiString& Table)
    {
        std::lock_guard Guard(FLock);
        return ++FCounts[Table];
    }

private:
    std::mutex FLock;
    std::map<AnsiString, std::int64_t> FCounts;  // by URI and table name
};

TLocalWrites& LocalWrites()
{
    // Never destroyed: sessions may still write while the process exits.
    static TLocalWrites* Instance = new TLocalWrites;
    return *Instance;
}

class TPostgresRecordStore : public TRecordStore {
public:
    TPostgresRecordStore(const TTableSchema& Schema, const AnsiString& Uri) : FSchema(Schema), FConn(Uri)
    {
        CheckNames();
        AnsiString Own = FSchema.TableName.size() <= MaxNameInOwnNames ? FSchema.TableName
                                                                        : "h" + IntToHex(StableHash(FSchema.TableName), 8);
        FTable = QuoteIdent(FSchema.TableName);
        FLog = QuoteIdent("zfd_log_" + Own);
        FLogFunction = QuoteIdent("zfd_logf_" + Own);
        FLogTrigger = QuoteIdent("zfd_logt_" + Own);
        FChannel = "zfd_" + Own;
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

    TChangesSeen ReadChanges(std::vector<TChange>& Changes) override
    {
        Changes.clear();
        return Guard([&] {
            // A write whose own notice did not tell its entry: the view is read again, since
            // the entry cannot be told from the others'.
            if (std::exchange(FOwnEntryUnknown, false)) return TChangesSeen::Lost;
            std::int64_t Local = LocalWrites().Count(FLocalKey);
            bool Look = FMustLook || Local != FLocalSeen || std::exchange(FNoticesKept, false);
            std::vector<AnsiString> Payloads;
            if (FConn.TakeNotifications(FChannel, &Payloads)) Look = true;
            for (const AnsiString& Payload : Payloads) KeepNotified(Payload);
            if (!Look) return TChangesSeen::None;
            bool MustReadLog = FMustLook || Local != FLocalSeen;
            FMustLook = false;
            FLocalSeen = Local;
            // Without a filter, and with every entry holding the key it leaves (sessions here
            // keep every key in memory), the session reads nothing while it takes the changes
            // in: the notices of the writes carry their entries, and when they hold every entry
            // since the last look, nothing is read at all; else the log alone is read, in one
            // round trip. Otherwise the log and every read until FinishChanges see one snapshot.
            if (FFilter.empty() && !MustReadLog && NoticesCoverLog()) return TakeNotified(Changes);
            TPgResult Log;
            if (FFilter.empty()) {
                Log = FConn.RunPrepared("log", TPgParams().Add(FLogCursor.Applied()).Add(LogReadEnd));
                if (!HoldsNewKeys(Log)) Log = TPgResult();
            }
            if (!Log.Valid()) {
                std::vector<TPgConnection::TStep> Steps(2);
                Steps[0].Sql = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
                Steps[1].Statement = "log";
                Steps[1].Params.Add(FLogCursor.Applied()).Add(LogReadEnd);
                FInSnapshot = true;
                std::vector<TPgResult> Results = FConn.RunTogether(Steps);
                Log = std::move(Results[1]);
            }
            int Row = 0;
            TChangesSeen Seen = FLogCursor.TakeAll(
                [&](TChangeLogCursor::TEntry& Entry) {
                    if (Row >= Log.Rows()) return false;
                    Entry = {Log.Int64(Row, 0), Log.Int64(Row, 1), static_cast<int>(Log.Int64(Row, 2)), Log.Text(Row, 3),
                             Log.Text(Row, 4)};
                    ++Row;
                    return true;
                },
                Changes);
            ForgetNotified();
            return Seen;
        });
    }

    // An entry as a notice carries it.
    struct TNotified {
        std::int64_t Id = 0;
        int What = 0;
        AnsiString OldKey, NewKey;
        bool HasNewKey = false;
    };

    // A notice's payload: "<seq> <id> <what> " then the old and the new key, each "-" (none) or
    // "<bytes>:<text>"; empty when the entry was too long for a notice. Its sequence and entry,
    // or nothing when it holds no entry that a session can take in.
    static std::optional<std::pair<std::int64_t, TNotified>> ParseNotice(std::string_view Payload)
    {
        TNotified Entry;
        std::int64_t Seq = 0;
        auto Number = [&](std::int64_t& Value) {
            std::size_t Space = Payload.find(' ');
            if (Space == std::string_view::npos || Space == 0) return false;
            Value = 0;
            for (char C : Payload.substr(0, Space)) {
                if (C < '0' || C > '9') return false;
                Value = Value * 10 + (C - '0');
            }
            Payload.remove_prefix(Space + 1);
            return true;
        };
        auto Key = [&](AnsiString& Text, bool& Present) {
            if (!Payload.empty() && Payload.front() == '-') {
                Payload.remove_prefix(1);
                Present = false;
                return true;
            }
            std::size_t Colon = Payload.find(':');
            if (Colon == std::string_view::npos || Colon == 0) return false;
            std::size_t Length = 0;
            for (char C : Payload.substr(0, Colon)) {
                if (C < '0' || C > '9') return false;
                Length = Length * 10 + static_cast<std::size_t>(C - '0');
            }
            Payload.remove_prefix(Colon + 1);
            if (Length > Payload.size()) return false;
            Text = AnsiString(Payload.substr(0, Length));
            Payload.remove_prefix(Length);
            Present = true;
            return true;
        };
        std::int64_t What = 0;
        bool HasOld = false;
        bool Parsed = Number(Seq) && Number(Entry.Id) && Number(What) && What >= 1 && What <= 3 &&
                      Key(Entry.OldKey, HasOld) && Key(Entry.NewKey, Entry.HasNewKey) && Payload.empty();
        if (!Parsed || (What != static_cast<int>(TChangeKind::Deleted) && !Entry.HasNewKey)) return std::nullopt;
        Entry.What = static_cast<int>(What);
        return std::make_pair(Seq, std::move(Entry));
    }

    void KeepNotified(std::string_view Payload)
    {
        std::optional<std::pair<std::int64_t, TNotified>> Notice = ParseNotice(Payload);
        if (!Notice) {
            FNoticeMissing = true;  // the log tells the rest
            return;
        }
        auto& [Seq, Entry] = *Notice;
        if (Seq <= FLogCursor.Applied()) return;
        if (FNotified.size() >= static_cast<std::size_t>(LogKeep)) {
            // A session that has not looked for long keeps no more than the log would: the
            // log tells the rest.
            FNotified.clear();
            FNoticeMissing = true;
            return;
        }
        FNotified[Seq] = std::move(Entry);
    }

    // Whether the notices kept hold every entry since the last look, but this session's own.
    bool NoticesCoverLog() const
    {
        if (FNoticeMissing || FNotified.empty()) return false;
        for (std::int64_t Seq = FLogCursor.Applied() + 1; Seq <= FNotified.rbegin()->first; ++Seq)
            if (!FNotified.count(Seq) && !FLogCursor.Owns(Seq)) return false;
        return true;
    }

    TChangesSeen TakeNotified(std::vector<TChange>& Changes)
    {
        std::int64_t Seq = FLogCursor.Applied();
        std::int64_t End = FNotified.rbegin()->first;
        TChangesSeen Seen = FLogCursor.TakeAll(
            [&](TChangeLogCursor::TEntry& Entry) {
                if (Seq >= End) return false;
                ++Seq;
                auto It = FNotified.find(Seq);
                if (It == FNotified.end()) Entry = {Seq, 0, static_cast<int>(TChangeKind::Inserted), {}, {}};  // own
                else Entry = {Seq, It->second.Id, It->second.What, It->second.OldKey, It->second.NewKey};
                return true;
            },
            Changes);
        ForgetNotified();
        return Seen;
    }

    // Drops the notices of entries taken in.
    void ForgetNotified()
    {
        FNotified.erase(FNotified.begin(), FNotified.upper_bound(FLogCursor.Applied()));
        FNoticeMissing = false;
    }

    // Whether every entry of Log but deletions holds the key its write left.
    static bool HoldsNewKeys(const TPgResult& Log)
    {
        for (int Row = 0; Row < Log.Rows(); ++Row)
            if (Log.Int64(Row, 2) != static_cast<int>(TChangeKind::Deleted) && Log.IsNull(Row, 4)) return false;
        return true;
    }

    // Every key is in the view: a session places its writes without asking the table.
    bool HoldInStep() override { return false; }

    void FinishChanges() override
    {
        if (!FInSnapshot) return;
        FInSnapshot = false;
        try {
            FConn.Exec("COMMIT");
        } catch (const EPgError&) {
            // Ending a transaction that only read cannot lose anything; a lost connection is
            // met again, and reported, by the next operation.
        }
    }

    void SetFilter(const std::vector<TFilterCondition>& Conditions) override
    {
        std::vector<TFilterCondition> Checked;
        for (const TFilterCondition& Cond : Conditions) {
            if (FSchema.FieldIndex(Cond.FieldName) < 0)
                throw EServerError("The filter names the field " + Quoted(Cond.FieldName) + ", which the table " +
                                       FSchema.TableName + " does not have.",
                                   E_INVALIDARG);
            Checked.push_back(Cond);
        }
        FFilter = std::move(Checked);
        FFilterFields.clear();
        for (const TFilterCondition& Cond : FFilter) FFilterFields.push_back(static_cast<std::size_t>(FSchema.FieldIndex(Cond.FieldName)));
    }

    void ReadOrderedIds(int KeyEvery, const TOrderedIdSink& Sink) override
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
            std::vector<TPgConnection::TStep> Steps(3);
            bool OwnSnapshot = !FInSnapshot;
            if (OwnSnapshot) Steps[0].Sql = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
            else Steps[0].Sql = "SELECT 1";
            Steps[1].Statement = "logend";
            Steps[1].Params.Add(FSchema.TableName);
            Steps[2].Sql = "SELECT zfd_id" + Columns + " FROM " + FTable + " ORDER BY " + Order("");
            // Notifications that came before the snapshot are of commits that it holds.
            FConn.TakeNotifications(FChannel);
            FMustLook = false;
            FInSnapshot = true;
            std::vector<TPgResult> Results = FConn.RunTogether(Steps);
            if (OwnSnapshot) FinishChanges();
            FLogCursor.Restart(Results[1].Rows() ? Results[1].Int64(0, 0) : 0);
            ForgetNotified();
            FLocalSeen = LocalWrites().Count(FLocalKey);
            const TPgResult& Ids = Results[2];
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

    bool PassesFilter(std::int64_t Id) override
    {
        TStoredRecord Record;
        return Read(Id, Record) && Passes(Record);
    }

    std::optional<bool> ComesBefore(std::int64_t A, std::int64_t B) override
    {
        if (!FSchema.HasKey()) return A < B;
        return Guard([&]() -> std::optional<bool> {
            TPgResult Result = FConn.RunPrepared("compare", TPgParams().Add(A).Add(B));
            if (!Result.Rows()) return std::nullopt;
            return Result.Text(0, 0) == "t";
        });
    }

    std::optional<bool> ComesBeforeKey(std::int64_t A, const TRecordKey& Key) override
    {
        if (!FSchema.HasKey()) return A < Key.Id;
        return Guard([&]() -> std::optional<bool> {
            TPgParams Params;
            Params.Add(A);
            for (const AnsiString& Value : Key.Values) Params.Add(Value);
            Params.Add(Key.Id);
            TPgResult Result = FConn.RunPrepared("comparekey", Params);
            if (!Result.Rows()) return std::nullopt;
            return Result.Text(0, 0) == "t";
        });
    }


    bool Read(std::int64_t Id, TStoredRecord& Record) override
    {
        return Guard([&] {
            TPgResult Result = FConn.RunPrepared("read", TPgParams().Add(Id));
            if (!Result.Rows()) return false;
            Record.Id = Id;
            ReadRow(Result, 0, 0, Record);
            return true;
        });
    }

    void ReadPage(std::int64_t FromId, int Count, std::vector<TStoredRecord>& Records) override
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

    // A comparison with the table is a round trip: every key is kept in the view (the view's
    // reading brings them all anyway).
    int KeyEvery() const override { return 1; }

    bool ReadNeighbours(const TRecordKey& Key, std::int64_t& Before, std::int64_t* After) override
    {
        if (!FSchema.HasKey()) return false;
        return Guard([&] {
            TPgParams Params;
            for (const AnsiString& Value : Key.Values) Params.Add(Value);
            TPgResult Result = FConn.RunPrepared("neighbours", Params);
            if (!Result.Rows()) return false;
            Before = Result.IsNull(0, 0) ? 0 : Result.Int64(0, 0);
            if (After) *After = Result.IsNull(0, 1) ? 0 : Result.Int64(0, 1);
            return true;
        });
    }

    std::optional<std::int64_t> ReadVersion(std::int64_t Id) override
    {
        return Guard([&]() -> std::optional<std::int64_t> {
            TPgResult Result = FConn.RunPrepared("version", TPgParams().Add(Id));
            if (!Result.Rows()) return std::nullopt;
            return Result.Int64(0, 0);
        });
    }

    TWriteResult Insert(const std::vector<AnsiString>& Values, TStoredRecord& Record) override
    {
        TPgParams Params;
        for (const AnsiString& Value : Values) Params.Add(Value);
        return LoggedWrite("insert", std::move(Params), [&](const TPgResult& Result) {
            Record.Id = Result.Int64(0, 0);
            Record.Version = 1;
        });
    }

    TWriteResult Update(std::int64_t Id, std::int64_t Version, const std::vector<AnsiString>& Values,
                        std::int64_t& NewVersion) override
    {
        TPgParams Params;
        for (const AnsiString& Value : Values) Params.Add(Value);
        Params.Add(Id).Add(Version);
        return LoggedWrite("update", std::move(Params), [&](const TPgResult& Result) { NewVersion = Result.Int64(0, 0); });
    }

    TWriteResult Delete(std::int64_t Id, std::int64_t Version) override
    {
        return LoggedWrite("delete", TPgParams().Add(Id).Add(Version), [](const TPgResult&) {});
    }

private:
    // Runs Step on a working connection and turns libpq's failures into the server's. A lost
    // connection fails this call; the next one connects again.
    template <class F>
    auto Guard(F&& Step) -> decltype(Step())
    {
        try {
            if (!FConn.Connected()) {
                FInSnapshot = false;
                FConn.Reconnect();
                Connected();
                FMustLook = true;  // notifications may have been missed meanwhile
            }
            return Step();
        } catch (const EPgError& E) {
            if (E.Lost()) FInSnapshot = false;
            if (FInSnapshot) FinishChanges();
            throw EServerError(E.Message());
        }
    }

    // One write, in one transaction and one round trip, and the sequence of its log entry. The
    // statement returns a row for the record it wrote; none when the version given was stale
    // or the record is gone. The unique index refuses a duplicate key. The entry's sequence
    // comes with the answer, in the notice of the write's own commit (this connection listens
    // too); where an entry may be too long for its notice, the write reads the log's end in
    // the same transaction instead.
    template <class F>
    TWriteResult LoggedWrite(const char* Statement, TPgParams Params, F&& Written)
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
                if (E.IsUniqueViolation()) return TWriteResult::DuplicateKey;
                throw;
            }
            if (Results[0].Rows() == 0) return TWriteResult::Changed;
            Written(Results[0]);
            if (FNoticeCarriesEntry) {
                // Others' notices that came with the answer are kept for the next look.
                std::vector<AnsiString> Others, Own;
                if (FConn.TakeReceived(FChannel, &Others, &Own)) FNoticesKept = true;
                for (const AnsiString& Payload : Others) KeepNotified(Payload);
                std::optional<std::pair<std::int64_t, TNotified>> Notice;
                if (Own.size() == 1) Notice = ParseNotice(Own[0]);
                if (Notice) FLogCursor.OwnWrite(Notice->first);
                else FOwnEntryUnknown = true;
            } else {
                FLogCursor.OwnWrite(Results[1].Int64(0, 0));
            }
            std::int64_t Local = LocalWrites().Add(FLocalKey);
            if (Local == FLocalSeen + 1) FLocalSeen = Local;
            return TWriteResult::Done;
        });
    }

    AnsiString Column(std::size_t Field) const { return QuoteIdent(FSchema.Fields[Field].Name); }

    AnsiString ColumnList() const
    {
        AnsiString Cols;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Cols += (I ? ", " : "") + Column(I);
        return Cols;
    }

    // One key field as it is ordered and compared: numbers by their exact value, texts by
    // their bytes.
    AnsiString KeyExpr(std::size_t Field, const AnsiString& Qualifier) const
    {
        return KeyExprOf(Field, Qualifier + Column(Field));
    }

    AnsiString KeyExprOf(std::size_t Field, const AnsiString& Text) const
    {
        return FSchema.Fields[Field].Type == TFieldType::Number ? "((" + Text + ")::numeric)" : "(" + Text + " COLLATE \"C\")";
    }

    // The key expressions, comma separated (empty without a key).
    AnsiString KeyList(const AnsiString& Qualifier) const
    {
        AnsiString Result;
        for (std::size_t I = 0; I < FSchema.Fields.size(); ++I)
            if (FSchema.Fields[I].Key) Result += (Result.empty() ? "" : ", ") + KeyExpr(I, Qualifier);
        return Result;
    }

    AnsiString Order(const AnsiString& Qualifier) const
    {
        AnsiString Keys = KeyList(Qualifier);
        return Keys.empty() ? Qualifier + "zfd_id" : Keys + ", " + Qualifier + "zfd_id";
    }

    bool Passes(const TStoredRecord& Record) const
    {
        for (std::size_t I = 0; I < FFilter.size(); ++I)
            if (!ConditionHolds(FFilter[I], Record.Values[FFilterFields[I]])) return false;
        return true;
    }

    // The version and the fields, from column First of the row on.
    void ReadRow(const TPgResult& Result, int Row, int First, TStoredRecord& Record) const
    {
        Record.Version = Result.Int64(Row, First);
        Record.Values.resize(FSchema.Fields.size());
        for (std::size_t I = 0; I < Record.Values.size(); ++I)
            Record.Values[I] = AnsiString(Result.Text(Row, First + 1 + static_cast<int>(I)));
    }

    void CheckNames() const
    {
        auto Check = [&](const AnsiString& Name, const char* What) {
            if (Name.size() > MaxNameBytes)
                throw EServerError(AnsiString("The ") + What + " name " + Quoted(Name) + " is longer than the " +
                                   IntToStr(static_cast<std::int64_t>(MaxNameBytes)) +
                                   " bytes that PostgreSQL keeps of a name (schema file " + FSchema.FileName + ").");
        };
        Check(FSchema.TableName, "table");
        for (const TFieldDef& Field : FSchema.Fields) Check(Field.Name, "field");
    }

    // Creates what is missing (the table, its key index, the change log, its trigger) and
    // checks what exists, in one transaction that other sessions setting up wait for.
    void PrepareTable()
    {
        FConn.Exec("BEGIN");
        try {
            FConn.Query("SELECT pg_advisory_xact_lock($1)", TPgParams().Add(SetupLockKey));
            AnsiString Columns;
            for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) Columns += ", " + Column(I) + " text NOT NULL DEFAULT ''";
            FConn.Exec("CREATE TABLE IF NOT EXISTS " + FTable +
                       " (zfd_id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY, zfd_ver bigint NOT NULL DEFAULT 1" +
                       Columns + ")");
            CheckColumns();
            PrepareKeyIndex();
            PrepareChangeLog();
            FConn.Exec("COMMIT");
        } catch (...) {
            if (FConn.Connected()) FConn.Exec("ROLLBACK");
            throw;
        }
    }

    void CheckColumns()
    {
        TPgResult Found = FConn.Query(
            "SELECT attname, format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = $1::regclass AND "
            "attnum > 0 AND NOT attisdropped ORDER BY attnum",
            TPgParams().Add(FTable));
        std::map<AnsiString, AnsiString> Types;
        for (int Row = 0; Row < Found.Rows(); ++Row) Types[AnsiString(Found.Text(Row, 0))] = AnsiString(Found.Text(Row, 1));
        std::vector<AnsiString> Differences;
        auto Expect = [&](const AnsiString& Name, const char* Type) {
            auto It = Types.find(Name);
            if (It == Types.end()) Differences.push_back("it has no column " + Name);
            else if (It->second != Type)
                Differences.push_back("its column " + Name + " is " + It->second + " where " + Type + " is needed");
            if (It != Types.end()) Types.erase(It);
        };
        Expect("zfd_id", "bigint");
        Expect("zfd_ver", "bigint");
        for (const TFieldDef& Field : FSchema.Fields) Expect(Field.Name, "text");
        for (const auto& [Name, Type] : Types) Differences.push_back("it has a column " + Name + " that the schema does not list");
        if (Differences.empty()) return;
        AnsiString Text;
        for (const AnsiString& D : Differences) Text += (Text.empty() ? "" : "; ") + D;
        throw EServerError("The table " + FSchema.TableName + " in the PostgreSQL database " + FConn.Where() +
                           " does not match the schema file " + FSchema.FileName + ": " + Text + ".");
    }

    void PrepareKeyIndex()
    {
        TPgResult Indexes = FConn.Query(
            "SELECT c.relname FROM pg_index i JOIN pg_class c ON c.oid = i.indexrelid WHERE i.indrelid = $1::regclass "
            "AND c.relname LIKE 'zfd\\_key\\_%'",
            TPgParams().Add(FTable));
        bool Have = false;
        for (int Row = 0; Row < Indexes.Rows(); ++Row) {
            if (Indexes.Text(Row, 0) == FKeyIndex) Have = true;
            else
                throw EServerError("The table " + FSchema.TableName + " in the PostgreSQL database " + FConn.Where() +
                                   " has another key than the schema file " + FSchema.FileName + " gives it.");
        }
        if (Have || !FSchema.HasKey()) return;
        try {
            FConn.Exec("CREATE UNIQUE INDEX " + QuoteIdent(FKeyIndex) + " ON " + FTable + " (" + KeyList("") + ")");
        } catch (const EPgError& E) {
            if (!E.IsUniqueViolation()) throw;
            throw EServerError("The table " + FSchema.TableName + " in the PostgreSQL database " + FConn.Where() +
                               " holds records with the same key, so its key fields cannot be enforced.");
        }
    }

    void PrepareChangeLog()
    {
        FConn.Exec("CREATE TABLE IF NOT EXISTS zfd_sequences (tab text PRIMARY KEY, seq bigint NOT NULL)");
        FConn.Query("INSERT INTO zfd_sequences VALUES ($1, 0) ON CONFLICT (tab) DO NOTHING",
                    TPgParams().Add(FSchema.TableName));
        FConn.Exec("CREATE TABLE IF NOT EXISTS " + FLog +
                   " (seq bigint PRIMARY KEY, id bigint NOT NULL, what integer NOT NULL, oldkey text, newkey text)");
        // Logs made before held no new keys: the column is added and the function replaced.
        bool HadNewKey = FConn.Query("SELECT 1 FROM pg_attribute WHERE attrelid = $1::regclass AND attname = 'newkey' "
                                     "AND NOT attisdropped",
                                     TPgParams().Add(FLog))
                             .Rows() > 0;
        if (!HadNewKey) FConn.Exec("ALTER TABLE " + FLog + " ADD COLUMN newkey text");
        TPgResult Trigger = FConn.Query("SELECT 1 FROM pg_trigger WHERE tgrelid = $1::regclass AND tgname = $2",
                                        TPgParams().Add(FTable).Add(FLogTrigger.substr(1, FLogTrigger.size() - 2)));
        // The keys: the tag of the key's definition, then "<bytes>:<text>" per key field.
        auto KeyOf = [&](const char* Row) {
            AnsiString Key = QuoteSql('\'', FLogCursor.KeyTag());
            for (std::size_t I = 0; I < FSchema.Fields.size(); ++I) {
                if (!FSchema.Fields[I].Key) continue;
                AnsiString Col = Row + Column(I);
                Key += " || octet_length(" + Col + ") || ':' || " + Col;
            }
            return Key;
        };
        // Each write's entry goes to the log and, when short enough, in its notice too.
        AnsiString Packed = " CASE WHEN {} IS NULL THEN '-' ELSE octet_length({}) || ':' || {} END";
        auto PackedOf = [&](const char* Name) {
            AnsiString Text = Packed;
            for (std::size_t At = Text.find("{}"); At != AnsiString::npos; At = Text.find("{}", At)) Text.replace(At, 2, Name);
            return Text;
        };
        AnsiString Body = "\nDECLARE s bigint; i bigint; w integer; ok text; nk text; p text;\n"
                          "BEGIN\n"
                          "  UPDATE zfd_sequences SET seq = seq + 1 WHERE tab = " + QuoteSql('\'', FSchema.TableName) +
                          " RETURNING seq INTO s;\n"
                          "  IF TG_OP = 'INSERT' THEN i := NEW.zfd_id; w := 1; ok := NULL; nk := " + KeyOf("NEW.") + ";\n"
                          "  ELSIF TG_OP = 'UPDATE' THEN i := NEW.zfd_id; w := 2; ok := " + KeyOf("OLD.") + "; nk := " +
                          KeyOf("NEW.") + ";\n"
                          "  ELSE i := OLD.zfd_id; w := 3; ok := " + KeyOf("OLD.") + "; nk := NULL;\n"
                          "  END IF;\n"
                          "  INSERT INTO " + FLog + " (seq, id, what, oldkey, newkey) VALUES (s, i, w, ok, nk);\n"
                          "  IF s % " + IntToStr(LogTrimEvery) + " = 0 THEN DELETE FROM " + FLog + " WHERE seq <= s - " +
                          IntToStr(LogKeep) + "; END IF;\n"
                          "  p := s || ' ' || i || ' ' || w || ' ' ||" + PackedOf("ok") + " ||" + PackedOf("nk") + ";\n"
                          "  IF octet_length(p) > " + IntToStr(MaxNoticeEntry) + " THEN p := ''; END IF;\n"
                          "  PERFORM pg_notify(" + QuoteSql('\'', FChannel) + ", p);\n"
                          "  RETURN NULL;\n"
                          "END ";
        // Replaced when it differs from this one (made by an earlier version of the server).
        TPgResult Current = FConn.Query("SELECT prosrc FROM pg_proc WHERE proname = $1",
                                        TPgParams().Add(FLogFunction.substr(1, FLogFunction.size() - 2)));
        if (!Current.Rows() || Current.Text(0, 0) != Body)
            FConn.Exec("CREATE OR REPLACE FUNCTION " + FLogFunction + "() RETURNS trigger LANGUAGE plpgsql AS $zfd$" + Body +
                       "$zfd$");
        if (!Trigger.Rows())
            FConn.Exec("CREATE TRIGGER " + FLogTrigger + " AFTER INSERT OR UPDATE OR DELETE ON " + FTable +
                       " FOR EACH ROW EXECUTE FUNCTION " + FLogFunction + "()");
    }

    // What every new connection needs: the statements, and the channel it listens to.
    void Connected()
    {
        std::size_t N = FSchema.Fields.size();
        AnsiString Params, Sets;
        for (std::size_t I = 0; I < N; ++I) {
            AnsiString P = ParamRef(static_cast<std::int64_t>(I) + 1);
            Params += (I ? ", " : "") + P;
            Sets += Column(I) + " = " + P + ", ";
        }
        AnsiString IdParam = ParamRef(static_cast<std::int64_t>(N) + 1);
        AnsiString VerParam = ParamRef(static_cast<std::int64_t>(N) + 2);
        AnsiString Cols = ColumnList();
        FConn.Prepare("read", "SELECT zfd_ver, " + Cols + " FROM " + FTable + " WHERE zfd_id = $1");
        FConn.Prepare("version", "SELECT zfd_ver FROM " + FTable + " WHERE zfd_id = $1");
        FConn.Prepare("insert", "INSERT INTO " + FTable + " (" + Cols + ") VALUES (" + Params + ") RETURNING zfd_id");
        FConn.Prepare("update", "UPDATE " + FTable + " SET " + Sets + "zfd_ver = zfd_ver + 1 WHERE zfd_id = " + IdParam +
                                    "::bigint AND zfd_ver = " + VerParam + "::bigint RETURNING zfd_ver");
        FConn.Prepare("delete", "DELETE FROM " + FTable + " WHERE zfd_id = $1 AND zfd_ver = $2 RETURNING zfd_id");
        FConn.Prepare("logend", "SELECT seq FROM zfd_sequences WHERE tab = $1");
        // Bounded on both sides, so that the plan made for any $1 searches the log's index
        // (with one bound, a log never analysed is read whole and sorted).
        FConn.Prepare("log", "SELECT seq, id, what, oldkey, newkey FROM " + FLog + " WHERE seq > $1 AND seq <= $2 ORDER BY seq");
        // From record $1 on: the key is unique, so the start record is the only one equal to it.
        AnsiString Keys = KeyList("");
        AnsiString Range = Keys.empty()
                               ? "zfd_id >= $1 AND EXISTS (SELECT 1 FROM " + FTable + " WHERE zfd_id = $1)"
                               : "(" + Keys + ") >= (SELECT " + Keys + " FROM " + FTable + " WHERE zfd_id = $1)";
        FConn.Prepare("page", "SELECT zfd_id, zfd_ver, " + Cols + " FROM " + FTable + " WHERE " + Range + " ORDER BY " +
                                  Order("") + " LIMIT $2");
        if (FSchema.HasKey()) {
            AnsiString KeyParams, Values, Down;  // "$2, $3, " for comparekey; "$1, $2" for neighbours
            int Param = 1;
            for (std::size_t I = 0; I < N; ++I)
                if (FSchema.Fields[I].Key) {
                    Values += (Values.empty() ? "" : ", ") + KeyExprOf(I, ParamRef(Param) + "::text");
                    KeyParams += KeyExprOf(I, ParamRef(++Param) + "::text") + ", ";
                    Down += (Down.empty() ? "" : ", ") + KeyExpr(I, "") + " DESC";
                }
            FConn.Prepare("neighbours", "SELECT (SELECT zfd_id FROM " + FTable + " WHERE (" + Keys + ") < (" + Values +
                                            ") ORDER BY " + Down + " LIMIT 1), (SELECT zfd_id FROM " + FTable + " WHERE (" +
                                            Keys + ") > (" + Values + ") ORDER BY " + Keys + " LIMIT 1)");
            FConn.Prepare("comparekey", "SELECT (" + Order("") + ") < (" + KeyParams + ParamRef(Param + 1) +
                                            "::bigint) FROM " + FTable + " WHERE zfd_id = $1");
            FConn.Prepare("compare", "SELECT (" + Order("a.") + ") < (" + Order("b.") + ") FROM " + FTable + " AS a, " +
                                         FTable + " AS b WHERE a.zfd_id = $1 AND b.zfd_id = $2");
        }
        FConn.Exec("LISTEN " + QuoteIdent(FChannel));
    }

    TTableSchema FSchema;
    TPgConnection FConn;
    AnsiString FTable, FLog, FLogFunction, FLogTrigger;  // quoted names
    AnsiString FKeyIndex;                                 // unquoted
    AnsiString FChannel;                                  // the channel that the log's trigger notifies
    AnsiString FLocalKey;                                 // the table among the writes of this process
    std::vector<TFilterCondition> FFilter;
    std::vector<std::size_t> FFilterFields;  // per condition: its field
    TChangeLogCursor FLogCursor;             // what this session took in of the log
    std::int64_t FLocalSeen = 0;             // the writes of this process's sessions taken in
    bool FMustLook = true;                   // read the log at the next look whatever was notified
    // The entries others' notices carried, by sequence, until they are taken in.
    std::map<std::int64_t, TNotified> FNotified;
    bool FNoticeMissing = false;  // a notice came without its entry since the last look
    bool FNoticeCarriesEntry = false;  // every entry of the table fits in its notice
    bool FNoticesKept = false;         // others' notices came with a write's answer: look at the next call
    bool FOwnEntryUnknown = false;     // a write's notice did not tell its entry: read the view again
    bool FInSnapshot = false;                // a read transaction from ReadChanges until FinishChanges
};

}  // namespace

bool IsPostgresUri(const AnsiString& AccessFile)
{
    AnsiString Start = AccessFile.substr(0, 13);
    for (char& C : Start) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Start.rfind("postgresql://", 0) == 0 || Start.rfind("postgres://", 0) == 0;
}

std::unique_ptr<TRecordStore> OpenPostgresStore(const TTableSchema& Schema, const AnsiString& Uri)
{
    try {
        return std::make_unique<TPostgresRecordStore>(Schema, Uri);
    } catch (const EPgError& E) {
        throw EServerError(E.Message());
    }
}

}  // namespace RecordServer
