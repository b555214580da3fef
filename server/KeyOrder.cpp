#include "server/KeyOrder.h"

#include <algorithm>
#include <string>

#include "server/ValueText.h"

namespace RecordServer {

namespace {

int CompareField(const TFieldDef& Field, std::string_view X, std::string_view Y)
{
    int C = Field.Type == TFieldType::Number ? CompareNumberTexts(X, Y) : X.compare(Y);
    return C < 0 ? -1 : (C > 0 ? 1 : 0);
}

int CompareIds(std::int64_t A, std::int64_t B)
{
    return A < B ? -1 : (A > B ? 1 : 0);
}

}  // namespace

int CompareRecordKeys(const TTableSchema& Schema, const TRecordKey& A, const TRecordKey& B)
{
    std::size_t Key = 0;
    for (const TFieldDef& Field : Schema.Fields) {
        if (!Field.Key) continue;
        if (Key >= A.Values.size() || Key >= B.Values.size()) break;
        if (int C = CompareField(Field, A.Values[Key], B.Values[Key]); C != 0) return C;
        ++Key;
    }
    return CompareIds(A.Id, B.Id);
}

std::vector<AnsiString> KeyValues(const TTableSchema& Schema, const std::vector<AnsiString>& Values)
{
    std::vector<AnsiString> Key;
    for (std::size_t I = 0; I < Values.size() && I < Schema.Fields.size(); ++I)
        if (Schema.Fields[I].Key) Key.push_back(Values[I]);
    return Key;
}

bool NextPackedText(std::string_view& Packed, std::string_view& Text)
{
    // The length's digits are read up to the colon in one pass (a key is compared this way at
    // every step of a search among anchors).
    std::size_t Colon = 0, Length = 0;
    while (Colon < Packed.size() && Packed[Colon] != ':')
        Length = Length * 10 + static_cast<std::size_t>(Packed[Colon++] - '0');
    if (Colon == Packed.size()) return false;
    Packed.remove_prefix(Colon + 1);
    Length = std::min(Length, Packed.size());
    Text = Packed.substr(0, Length);
    Packed.remove_prefix(Length);
    return true;
}

AnsiString PackKey(const std::vector<AnsiString>& Values)
{
    AnsiString Packed;
    for (const AnsiString& Value : Values) {
        Packed += std::to_string(Value.size());
        Packed += ':';
        Packed += Value;
    }
    return Packed;
}

std::optional<std::int64_t> KeyLead(const TTableSchema& Schema, const std::vector<AnsiString>& Key)
{
    auto First = std::find_if(Schema.Fields.begin(), Schema.Fields.end(), [](const TFieldDef& F) { return F.Key; });
    if (First == Schema.Fields.end() || First->Type != TFieldType::Number || Key.empty()) return std::nullopt;
    // A plain integer compares with another by its value (CompareNumberTexts); 18 digits
    // cannot overflow.
    std::string_view Text = Key.front();
    bool Negative = !Text.empty() && Text.front() == '-';
    if (Negative) Text.remove_prefix(1);
    if (Text.empty() || Text.size() > 18 || (Text.front() == '0' && (Negative || Text.size() > 1))) return std::nullopt;
    std::int64_t Value = 0;
    for (char C : Text) {
        if (C < '0' || C > '9') return std::nullopt;
        Value = Value * 10 + (C - '0');
    }
    return Negative ? -Value : Value;
}

int ComparePackedKey(const TTableSchema& Schema, std::string_view PackedA, std::int64_t IdA, const TRecordKey& B)
{
    std::size_t Key = 0;
    std::string_view X;
    for (const TFieldDef& Field : Schema.Fields) {
        if (!Field.Key) continue;
        if (Key >= B.Values.size() || !NextPackedText(PackedA, X)) break;
        if (int C = CompareField(Field, X, B.Values[Key]); C != 0) return C;
        ++Key;
    }
    return CompareIds(IdA, B.Id);
}

}  // namespace RecordServer
