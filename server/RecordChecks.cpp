// The checks of a record before it is written (see RecordChecks.h).
#include "server/RecordChecks.h"

#include <optional>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
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
            throw EServerError(FormatText(TranslateText("RecordChecks", "The key field %1 is empty (value %2): every record "
                                                             "needs a value in its key fields."),
                                          {Field.Name, Quoted(Value)}));
        bool ExponentTooLong = false;
        std::optional<TDecimal> Number;
        if (Field.Type == TFieldType::Number && !Value.empty() && !(Number = ParseDecimal(Value, &ExponentTooLong))) {
            if (ExponentTooLong)
                throw EServerError(FormatText(TranslateText("RecordChecks", "Field %1: the value %2 is refused: a number's "
                                                                 "exponent may have at most %3 digits."),
                                              {Field.Name, Quoted(Value), IntToStr(MaxExponentDigits)}));
            throw EServerError(FormatText(TranslateText("RecordChecks", "Field %1: the value %2 is not a number."),
                                          {Field.Name, Quoted(Value)}));
        }
        // One range for every store: what one store holds, another can take over.
        if (Number && !InStoredRange(*Number))
            throw EServerError(FormatText(TranslateText("RecordChecks", "Field %1: the value %2 is refused: a number may have "
                                                             "at most %3 digits before the point and %4 after it."),
                                          {Field.Name, Quoted(Value), IntToStr(MaxIntegerDigits),
                                           IntToStr(MaxFractionDigits)}));
        if (AnsiString Problem = TypedValueProblem(Field, Value); !Problem.empty())
            throw EServerError(
                FormatText(TranslateText("RecordChecks", "Field %1: the value %2 %3."), {Field.Name, Quoted(Value), Problem}));
        // A text has no more characters than bytes: only one with more bytes than the field
        // holds characters is counted.
        std::size_t Length = Value.size() > static_cast<std::size_t>(Field.Size) ? CharacterCount(Value) : Value.size();
        if (Length > static_cast<std::size_t>(Field.Size))
            throw EServerError(FormatText(TranslateText("RecordChecks", "Field %1: the value %2 has %3 characters, more than "
                                                             "the %4 the field holds."),
                                          {Field.Name, Quoted(Value), IntToStr(static_cast<std::int64_t>(Length)),
                                           IntToStr(Field.Size)}));
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
    throw EServerError(
        FormatText(TranslateText("RecordChecks", "Key %1: the value %2 is already the key of another record."), {Names, Shown}));
}

}  // namespace RecordServer
