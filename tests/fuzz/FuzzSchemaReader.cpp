// Fuzz target: the schema reader. Any text is read or refused with the server's error; a
// schema that was read has names that are UTF-8 and fields that can be found by name, each
// with a type that reads back from its name and a size that holds its values. The text after
// the input's last '#' (a comment), to the end of its line, as a value of each field: what a
// field takes it stores in a form it takes again and stores unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/core/TextUtils.h"
#include "server/FieldTypes.h"
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
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    std::string_view Value;
    if (const std::size_t Hash = Text.rfind('#'); Hash != std::string_view::npos) {
        Value = Text.substr(Hash + 1);
        Value = Value.substr(0, Value.find_first_of("\r\n"));
    }
    for (std::size_t I = 0; I < Schema.Fields.size(); ++I) {
        const TFieldDef& Field = Schema.Fields[I];
        if (Schema.FieldIndex(Field.Name) != static_cast<int>(I) || Field.Size < LeastFieldSize(Field) ||
            !IsValidUtf8(Field.Name))
            std::abort();
        TFieldDef Again;
        if (!ParseFieldType(FieldTypeName(Field), Again) || Again.Type != Field.Type || Again.Scale != Field.Scale)
            std::abort();
        if (!TypedValueProblem(Field, Value).empty()) continue;
        const AnsiString Stored = StoredValue(Field, AnsiString(Value));
        if (!TypedValueProblem(Field, Stored).empty() || StoredValue(Field, Stored) != Stored) std::abort();
    }
    for (const TSchemaUser& User : Schema.Users)
        if (!UserNameProblem(User.Name).empty() || Schema.FindUser(User.Name) != &User) std::abort();
    return 0;
}
