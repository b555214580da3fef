// The PostgreSQL store and other sessions' commits: the notices of the log's trigger, the
// log itself, the writes of this process's other sessions, and the hold protocol of the
// storage seam (ReadChanges ... FinishChanges; see RecordStore.h). The states and invariants
// are at the top of PostgresRecordStore.h.
#include <limits>

#include "server/PgSocketWake.h"
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

TChangesSeen TPostgresRecordStore::ReadChanges(std::vector<TChange>& Changes, TLook Look)
{
    Changes.clear();
    return Guard([&] {
        // A write whose own notice did not tell its entry: the view is read again, since
        // the entry cannot be told from the others'.
        if (std::exchange(FOwnEntryUnknown, false)) return TChangesSeen::Lost;
        std::int64_t Local = LocalWrites().Count(FLocalKey);
        std::vector<AnsiString> Payloads;
        bool Known = FConn.TakeNotifications(FChannel, &Payloads);
        for (const AnsiString& Payload : Payloads) KeepNotified(Payload);
        Known = std::exchange(FNoticesKept, false) || Known || FMustLook || Local != FLocalSeen;
        if (!Known && Look == TLook::Known) return TChangesSeen::None;
        // A commit acknowledged to another client a moment ago may have its notice still on
        // its way: a sure look reads the log itself.
        bool MustReadLog = FMustLook || Local != FLocalSeen || Look == TLook::Sure;
        FMustLook = false;
        FLocalSeen = Local;
        // Without a filter, and with every entry holding the key it leaves (sessions here
        // place each record by its key among the records they hold), the session reads nothing while it takes the changes
        // in: when the notices hold every entry since the last look and nobody asks for
        // more, nothing is read at all; else the log alone is read, in one round trip. With
        // a filter the log and every read until FinishChanges see one snapshot: at once when
        // a change is known, after a plain look that found one otherwise, so that a look that
        // finds nothing costs one round trip and holds nothing.
        if (FFilter.empty() && !MustReadLog && NoticesCoverLog()) return TakeNotified(Changes);
        TPgResult Log;
        if (FFilter.empty() || !Known) {
            Log = FConn.RunPrepared("log", TPgParams().Add(FLogCursor.Applied()).Add(LogReadEnd));
            if (Log.Rows() == 0) {
                ForgetNotified();
                return TChangesSeen::None;
            }
            if (!FFilter.empty() || !HoldsNewKeys(Log)) Log = TPgResult();
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

void TPostgresRecordStore::KeepNotified(std::string_view Payload)
{
    std::optional<TPgNotice> Notice = ParsePgNotice(Payload);
    if (!Notice) {
        FNoticeMissing = true;  // the log tells the rest
        return;
    }
    if (Notice->Seq <= FLogCursor.Applied()) return;
    if (FNotified.size() >= static_cast<std::size_t>(LogKeep)) {
        // A session that has not looked for long keeps no more than the log would: the
        // log tells the rest.
        FNotified.clear();
        FNoticeMissing = true;
        return;
    }
    FNotified[Notice->Seq] = std::move(*Notice);
}

void TPostgresRecordStore::KeepArrived() noexcept
{
    if (!FWake || !FConn.Connected()) return;  // nobody watches: the next look reads them
    std::vector<AnsiString> Others;
    if (FConn.TakeReceived(FChannel, &Others)) FNoticesKept = true;
    for (const AnsiString& Payload : Others) KeepNotified(Payload);
    if (FNoticesKept) FWake->Ring();
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

TCommitWake* TPostgresRecordStore::Wake()
{
    if (!FWake) FWake = std::make_unique<TPgSocketWake>(FConn);
    return FWake.get();
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
    KeepArrived();
}

}  // namespace RecordServer
