// Fuzz target: the notices of a PostgreSQL table's change log. Any payload is read as an
// entry or as none; an entry read is one the trigger could have sent (a known kind, a new key
// unless deleted), and written back as the trigger writes it, it reads as the same entry.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/PgNotice.h"

using namespace RecordServer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    std::optional<TPgNotice> Notice = ParsePgNotice(std::string_view(reinterpret_cast<const char*>(Data), Size));
    if (!Notice) return 0;
    if (Notice->Seq < 0 || Notice->Id < 0 || Notice->What < 1 || Notice->What > 3) std::abort();
    if (Notice->What != 3 && !Notice->HasNewKey) std::abort();
    std::optional<TPgNotice> Again = ParsePgNotice(FormatPgNotice(*Notice));
    if (!Again || Again->Seq != Notice->Seq || Again->Id != Notice->Id || Again->What != Notice->What ||
        Again->OldKey != Notice->OldKey || Again->NewKey != Notice->NewKey || Again->HasOldKey != Notice->HasOldKey ||
        Again->HasNewKey != Notice->HasNewKey)
        std::abort();
    return 0;
}
