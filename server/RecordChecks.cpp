// The checks of a record before it is written (see RecordChecks.h).
#include "server/RecordChecks.h"

#include <optional>

#include "framework/core/TextUtils.h"
#include "server/FieldTypes.h"
#include "server/ServerError.h"
#include "server/ValueText.h"

namespace RecordServer {

void NormalizeValues(const TTableSchema& Schema, std::vector<AnsiString>& Values)
{
    auto IsBlank = [](char C) { return static_cast<unsigned char>(C) <= ' '; };
    for (std::size_t I = 0; I < Values.size(); ++I) {
        AnsiString& Value = Values[I];
        if (Schema.Fields[I].Type == TFieldType::Number && !Value.empty() && (IsBlank(Value.front()) || IsBlank(Value.back())))
            Value = Trim(Value);
        if (Schema.Fields[I].Type != TFieldType::Text) Value = StoredValue(Schema.Fields[I], Value);
    }
}

void CheckValues(const TTableSchema& Schema, const std::vector<AnsiString>& Values)
{
    for (std::size_t I = 0; I < Values.size(); ++I) {
        const TFieldDef& Field = Schema.Fields[I];
        const AnsiString& Value = Values[I];
        if (Field.Key && Trim(Value).empty())
            throw EServerError("The key field " + Field.Name + " is empty (value " + Quoted(Value) +
                               "): every record needs a value in its key fields.");
        bool ExponentTooLong = false;
        std::optional<TDecimal> Number;
        if (Field.Type == TFieldType::Number && !Value.empty() && !(Number = ParseDecimal(Value, &ExponentTooLong))) {
            if (ExponentTooLong)
                throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) +
                                   " is refused: a number's exponent may have at most " + IntToStr(MaxExponentDigits) +
                                   " digits.");
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) + " is not a number.");
        }
        // One range for every store: what one store holds, another can take over.
        if (Number && !InStoredRange(*Number))
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) +
                               " is refused: a number may have at most " + IntToStr(MaxIntegerDigits) +
                               " digits before the point and " + IntToStr(MaxFractionDigits) + " after it.");
        if (AnsiString Problem = TypedValueProblem(Field, Value); !Problem.empty())
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) + " " + Problem + ".");
        // A text has no more characters than bytes: only one with more bytes than the field
        // holds characters is counted.
        std::size_t Length = Value.size() > static_cast<std::size_t>(Field.Size) ? CharacterCount(Value) : Value.size();
        if (Length > static_cast<std::size_t>(Field.Size))
            throw EServerError("Field " + Field.Name + ": the value " + Quoted(Value) + " has " +
                               IntToStr(static_cast<std::int64_t>(Length)) + " characters, more than the " +
                               IntToStr(Field.Size) + " the field holds.");
    }
}

void RefuseDuplicateKey(const TTableSchema& Schema, const std::vector<AnsiString>& Values)
{
    AnsiString Names, Shown;
    for (std::size_t I = 0; I < Values.size(); ++I) {
        if (!Schema.Fields[I].Key) continue;
        Names += (Names.empty() ? "" : ", ") + Schema.Fields[I].Name;
        Shown += (Shown.empty() ? "" : ", ") + Quoted(Values[I]);
    }
    throw EServerError("Key " + Names + ": the value " + Shown + " is already the key of another record.");
}

}  // namespace RecordServer
