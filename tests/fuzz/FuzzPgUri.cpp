// Fuzz target: PostgreSQL connection URIs and the server settings in their options. The input
// is a URI, or, after a first byte 'o', a server command line. A URI shown in a message says
// nothing of the server that the URI does not say, never its password, and showing it twice
// changes nothing; the settings made from a URI carry the store's limits under the user's
// options; a command line's settings and time values are read without fault.
#include <libpq-fe.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>

#include "server/PgSettings.h"
#include "server/ServerError.h"

using namespace RecordServer;

namespace {

// What libpq reads from Uri, by keyword; nothing when it cannot read it.
std::optional<std::map<AnsiString, AnsiString>> Parsed(const AnsiString& Uri)
{
    char* Error = nullptr;
    PQconninfoOption* Options = PQconninfoParse(Uri.c_str(), &Error);
    PQfreemem(Error);
    if (!Options) return std::nullopt;
    std::map<AnsiString, AnsiString> Settings;
    for (PQconninfoOption* Option = Options; Option->keyword; ++Option)
        if (Option->val) Settings[Option->keyword] = Option->val;
    PQconninfoFree(Options);
    return Settings;
}

void CheckOptions(std::string_view Options)
{
    for (const char* Name : {"statement_timeout", "lock_timeout", "search_path"}) {
        std::optional<AnsiString> Value = OptionSetting(Options, Name);
        if (!Value) continue;
        std::optional<std::int64_t> Ms = DurationMs(*Value);
        if (Ms && (*Ms < 0 || *Ms > 2147483647)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    std::string_view Input(reinterpret_cast<const char*>(Data), Size);
    if (!Input.empty() && Input.front() == 'o') {
        CheckOptions(Input.substr(1));
        return 0;
    }
    const AnsiString Uri(Input);
    const AnsiString Shown = UriForDisplay(Uri);
    // The server takes only URIs (libpq would read "key=value" text too); libpq reads a C string.
    const AnsiString Lower = WithLowerCaseScheme(Uri);
    if (Lower.rfind("postgresql://", 0) != 0 && Lower.rfind("postgres://", 0) != 0) return 0;
    if (Uri.find('\0') != AnsiString::npos) return 0;
    std::optional<std::map<AnsiString, AnsiString>> Read = Parsed(Lower);
    if (Read) {
        // What the shown URI says, it says of the server the URI names; never its password.
        std::optional<std::map<AnsiString, AnsiString>> ReadShown = Parsed(WithLowerCaseScheme(Shown));
        if (!ReadShown || ReadShown->count("password") || UriForDisplay(Shown) != Shown) std::abort();
        for (const auto& [Keyword, Value] : *ReadShown)
            if (!Read->count(Keyword) || Read->at(Keyword) != Value) std::abort();
    }

    TPgConnectSettings Settings;
    try {
        Settings = PgConnectSettings(Uri);
    } catch (const EServerError&) {
        if (Read) std::abort();  // libpq read it: so must the settings
        return 0;
    }
    if (!Read || Settings.Keywords.size() != Settings.Values.size()) std::abort();
    int OptionsSeen = 0;
    for (std::size_t I = 0; I < Settings.Keywords.size(); ++I) {
        if (Settings.Keywords[I] != "options") continue;
        ++OptionsSeen;
        if (Settings.Values[I].rfind("-c statement_timeout=30000 -c lock_timeout=30000", 0) != 0) std::abort();
        CheckOptions(Settings.Values[I]);
    }
    if (OptionsSeen != 1 || Settings.StatementLimitMs < 0 || Settings.LockLimitMs < 0) std::abort();
    return 0;
}
