// Fuzz target: the schema reader. Any text is read or refused with the server's error; a
// schema that was read has names that are UTF-8 and fields that can be found by name.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/core/TextUtils.h"
#include "server/Schema.h"
#include "server/ServerError.h"

using namespace RecordServer;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    TTableSchema Schema;
    try {
        Schema = ParseSchema(std::string_view(reinterpret_cast<const char*>(Data), Size), "fuzz.SFD");
    } catch (const EServerError&) {
        return 0;
    }
    if (Schema.TableName.empty() || Schema.Fields.empty() || !IsValidUtf8(Schema.TableName)) std::abort();
    for (std::size_t I = 0; I < Schema.Fields.size(); ++I) {
        const TFieldDef& Field = Schema.Fields[I];
        if (Schema.FieldIndex(Field.Name) != static_cast<int>(I) || Field.Size < 1 || !IsValidUtf8(Field.Name)) std::abort();
    }
    for (const TSchemaUser& User : Schema.Users)
        if (!UserNameProblem(User.Name).empty() || Schema.FindUser(User.Name) != &User) std::abort();
    return 0;
}
