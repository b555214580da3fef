#pragma once
// What a session connects to a PostgreSQL server with: the user's connection URI, read by
// libpq, with the server's own settings under it.
//
// The URI's settings win, with one exception: `options` (the server settings a connection
// asks for, "-c name=value ...") is merged. The store's statement and lock limits go first
// and the URI's options after them; the server takes the last value given for a setting, so
// a limit that the user sets explicitly wins, and any other option leaves the store's limits
// in place. The effective statement limit also bounds, on the client's side, how long a call
// waits for a server that stopped answering (see TPgConnection).
//
// A URI may carry a password, in its user part or as a parameter (in any spelling libpq
// decodes); UriForDisplay leaves it out, so that messages never show it.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

namespace RecordServer {

struct TPgConnectSettings {
    // For PQconnectdbParams, in pairs; without a terminating null.
    std::vector<AnsiString> Keywords, Values;
    // The statement and lock limits in force (milliseconds; 0: none).
    std::int64_t StatementLimitMs = 0;
    std::int64_t LockLimitMs = 0;
};

// The store's defaults: a connection gives up after 10 s, a statement (waiting for a lock
// included) after 30 s.
inline constexpr int DefaultConnectTimeoutSeconds = 10;
inline constexpr std::int64_t DefaultStatementLimitMs = 30000;
inline constexpr std::int64_t DefaultLockLimitMs = 30000;

// The settings for Uri ("postgresql://..." or "postgres://...", the scheme in any case).
// Raises EServerError when libpq cannot read the URI, naming it without its password.
TPgConnectSettings PgConnectSettings(const AnsiString& Uri);

// Uri with its scheme in lower case, as libpq wants it (schemes are case-insensitive).
AnsiString WithLowerCaseScheme(const AnsiString& Uri);

// Uri without its password, for messages.
AnsiString UriForDisplay(const AnsiString& Uri);

// The value that the last setting of Name in Options (libpq's `options`: a server command
// line, "-c name=value" or "--name=value", backslash escapes) gives it; names compare as the
// server compares them (case and '-' / '_' alike).
std::optional<AnsiString> OptionSetting(std::string_view Options, std::string_view Name);

// A time setting's value in milliseconds, as the server reads it: a number with an optional
// unit (us, ms, s, min, h, d; none: ms). Nothing when it is not such a value.
std::optional<std::int64_t> DurationMs(std::string_view Value);

}  // namespace RecordServer
