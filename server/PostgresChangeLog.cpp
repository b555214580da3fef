// The PostgreSQL store and other sessions' commits: the notices of the log's trigger, the
// log itself, the writes of this process's other sessions, and the hold protocol of the
// storage seam (ReadChanges ... FinishChanges; see RecordStore.h). The states and invariants
// are at the top of PostgresRecordStore.h.
#include <limits>

#include "server/PostgresRecordStore.h"

namespace RecordServer {

namespace {

// Beyond every sequence of a change log: the upper bound of its reads.
constexpr std::int64_t LogReadEnd = std::numeric_limits<std::int64_t>::max();

}  // namespace

std::int64_t TPostgresRecordStore::TLocalWrites::Count(const AnsiString& Table)
{
    std::lock_guard Guard(FLock);
    return FCounts[Table];
}

std::int64_t TPostgresRecordStore::TLocalWrites::Add(const AnsiString& Table)
{
    std::lock_guard Guard(FLock);
    return ++FCounts[Table];
}

TPostgresRecordStore::TLocalWrites& TPostgresRecordStore::LocalWrites()
{
    // Never destroyed: sessions may still write while the process exits.
    static TLocalWrites* Instance = new TLocalWrites;
    return *Instance;
}

TChangesSeen TPostgresRecordStore::ReadChanges(std::vector<TChange>& Changes)
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

std::optional<std::pair<std::int64_t, TPostgresRecordStore::TNotified>>
TPostgresRecordStore::ParseNotice(std::string_view Payload)
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

void TPostgresRecordStore::KeepNotified(std::string_view Payload)
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

bool TPostgresRecordStore::NoticesCoverLog() const
{
    if (FNoticeMissing || FNotified.empty()) return false;
    for (std::int64_t Seq = FLogCursor.Applied() + 1; Seq <= FNotified.rbegin()->first; ++Seq)
        if (!FNotified.count(Seq) && !FLogCursor.Owns(Seq)) return false;
    return true;
}

TChangesSeen TPostgresRecordStore::TakeNotified(std::vector<TChange>& Changes)
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

void TPostgresRecordStore::ForgetNotified()
{
    FNotified.erase(FNotified.begin(), FNotified.upper_bound(FLogCursor.Applied()));
    FNoticeMissing = false;
}

bool TPostgresRecordStore::HoldsNewKeys(const TPgResult& Log)
{
    for (int Row = 0; Row < Log.Rows(); ++Row)
        if (Log.Int64(Row, 2) != static_cast<int>(TChangeKind::Deleted) && Log.IsNull(Row, 4)) return false;
    return true;
}

void TPostgresRecordStore::FinishChanges()
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

}  // namespace RecordServer
