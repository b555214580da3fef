#pragma once
// The notices that a PostgreSQL table's change log trigger sends with each write (on the
// table's channel), read back: "<seq> <id> <what> " then the old and the new key, each "-"
// (none) or "<bytes>:<text>", the text holding the log's packed key. Empty when the entry was
// too long for a notice. The payload comes from the server, which other programs may also
// NOTIFY on the channel, so anything else is read as no entry, never as a wrong one.
#include <cstdint>
#include <optional>
#include <string_view>

#include "framework/core/Exceptions.h"

namespace RecordServer {

struct TPgNotice {
    std::int64_t Seq = 0, Id = 0;
    int What = 0;  // a TChangeKind: 1 inserted, 2 updated, 3 deleted
    bool HasOldKey = false, HasNewKey = false;
    AnsiString OldKey, NewKey;
};

// The entry a notice carries, or nothing when it carries none a session can take in (empty,
// malformed, numbers of more than 18 digits, a write other than a deletion without its new
// key).
std::optional<TPgNotice> ParsePgNotice(std::string_view Payload);

// The payload the trigger sends for Notice.
AnsiString FormatPgNotice(const TPgNotice& Notice);

}  // namespace RecordServer
