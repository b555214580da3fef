#pragma once
// What one session has taken in of a store's change log, and the rules every store reads its
// log by. Entries carry gapless sequences (entries are trimmed only from the old end), so a
// gap before the first entry read means that entries this session had not seen were trimmed.
// A session skips the entries of its own writes, which it placed in its view itself. The old
// key of an entry begins with a tag of the key's definition, so that an entry written under
// another key (the schema changed meanwhile) is not read as one of this key.
//
// Invariants: Applied() is the last sequence taken in; every sequence in FOwn is above it.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "server/RecordStore.h"

namespace RecordServer {

class TChangeLogCursor {
public:
    // The kind of an entry that stands for a change of the whole table at once (its records
    // emptied by TRUNCATE, which row triggers do not see): a session reads its view again.
    static constexpr int EmptiedEntry = 4;

    explicit TChangeLogCursor(AnsiString KeyTag = {}) : FKeyTag(std::move(KeyTag)) {}
    void SetKeyTag(AnsiString KeyTag) { FKeyTag = std::move(KeyTag); }
    const AnsiString& KeyTag() const { return FKeyTag; }

    std::int64_t Applied() const { return FApplied; }
    // Whether Seq, after Applied(), is the entry of one of this session's own writes.
    bool Owns(std::int64_t Seq) const { return std::find(FOwn.begin(), FOwn.end(), Seq) != FOwn.end(); }
    // The view was read when the log ended at End.
    void Restart(std::int64_t End);
    // This session's write was logged as Seq.
    void OwnWrite(std::int64_t Seq);

    // One entry of the log as a store reads it.
    struct TEntry {
        std::int64_t Seq = 0, Id = 0;
        int What = 0;             // a TChangeKind
        std::string_view OldKey;  // valid until the next entry is read
        std::string_view NewKey;  // likewise; empty when the entry holds none
    };
    // Takes in the entries after Applied(), which Next hands over in order (false: no more):
    // Listed, with the changes of other sessions, or Lost when the log no longer reaches
    // back that far or an entry changed the whole table.
    TChangesSeen TakeAll(const std::function<bool(TEntry&)>& Next, std::vector<TChange>& Changes);

private:
    AnsiString FKeyTag;
    std::int64_t FApplied = 0;
    std::vector<std::int64_t> FOwn;  // this session's entries after FApplied, to skip
};

// The key fields' texts as the change logs write them: "<bytes>:<text>" per field.
std::vector<AnsiString> DecodeLogKey(std::string_view Text);
// FNV-1a, so that names made from a key's definition are the same in every build.
std::uint32_t StableHash(std::string_view Text);

}  // namespace RecordServer
