#include "server/SqliteKeyFunctions.h"

// Built into the server, this file calls SQLite directly; built into the extension (with
// ZOPFILEDB_SQLITE_EXTENSION), it calls the SQLite of the program that loaded it, through the
// routines the loader hands over.
#ifdef ZOPFILEDB_SQLITE_EXTENSION
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT3
#else
#include <sqlite3.h>
#endif

#include <string_view>

#include "server/ValueText.h"

namespace RecordServer {

namespace {

// The unique index, the order of the view and the comparisons of records agree through this
// collation that 13 and 13.0 are one key and 12345678901234567890 and 12345678901234567891 are
// two.
int NumberCollationFunction(void*, int LengthA, const void* A, int LengthB, const void* B)
{
    return CompareNumberTexts(std::string_view(static_cast<const char*>(A), static_cast<std::size_t>(LengthA)),
                              std::string_view(static_cast<const char*>(B), static_cast<std::size_t>(LengthB)));
}

// zfd_order(value): NumberOrderCode of a number key field's value.
void NumberOrderCodeFunction(sqlite3_context* Context, int, sqlite3_value** Arguments)
{
    const auto* Text = reinterpret_cast<const char*>(sqlite3_value_text(Arguments[0]));
    auto Length = static_cast<std::size_t>(sqlite3_value_bytes(Arguments[0]));
    sqlite3_result_int64(Context, NumberOrderCode(std::string_view(Text ? Text : "", Length)));
}

}  // namespace

int RegisterKeyFunctions(sqlite3* Db)
{
    int Result = sqlite3_create_collation_v2(Db, NumberCollation, SQLITE_UTF8, nullptr, &NumberCollationFunction, nullptr);
    if (Result != SQLITE_OK) return Result;
    // In the key index, so it may run in the schema; it reads nothing but its argument.
    return sqlite3_create_function_v2(Db, NumberOrderFunction, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, &NumberOrderCodeFunction, nullptr, nullptr, nullptr);
}

}  // namespace RecordServer
