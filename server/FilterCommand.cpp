#include "server/FilterCommand.h"

#include <vector>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/ValueText.h"

namespace RecordServer {

namespace {

constexpr std::size_t ItemCount = 6;

struct TOpName {
    const char* Text;
    TCompareOp Op;
};
constexpr TOpName OpNames[] = {
    {"=", TCompareOp::Equal},     {"<>", TCompareOp::NotEqual},   {"<", TCompareOp::Less},
    {"<=", TCompareOp::LessEqual}, {">", TCompareOp::Greater}, {">=", TCompareOp::GreaterEqual},
};

[[noreturn]] void Refuse(std::string_view Line, const AnsiString& Problem)
{
    throw EServerError(FormatText(TranslateText("FilterCommand", "The filter line %1 is refused: %2."), {Quoted(Line), Problem}),
                       E_INVALIDARG);
}

// Refusal: the message, in the context FilterCommand, for an item that is no position.
int ParsePosition(std::string_view Line, const AnsiString& Item, const char* Refusal)
{
    if (Item.empty()) return 0;
    int Value = 0;
    bool Digits = Item.find_first_not_of("0123456789") == AnsiString::npos;
    if (!Digits || !TryStrToInt(Item, Value))
        Refuse(Line, FormatText(TranslateText("FilterCommand", Refusal), {Quoted(Item)}));
    return Value;
}

}  // namespace

const char* CompareOpText(TCompareOp Op)
{
    for (const TOpName& Name : OpNames)
        if (Name.Op == Op) return Name.Text;
    return "?";
}

std::optional<TFilterCondition> ParseFilterLine(std::string_view Line, const TTableSchema& Schema)
{
    if (Trim(Line).empty()) return std::nullopt;
    std::vector<std::string_view> Items;
    std::size_t Pos = 0;
    while (true) {
        std::size_t Comma = Line.find(',', Pos);
        if (Comma == std::string_view::npos) break;
        Items.push_back(Line.substr(Pos, Comma - Pos));
        Pos = Comma + 1;
    }
    // What follows the last comma may only be blanks (a line end read from a file, say).
    if (AnsiString Rest = Trim(Line.substr(Pos)); !Rest.empty())
        Refuse(Line, FormatText(TranslateText("FilterCommand", "the item %1 is not followed by a comma (every item, the last "
                                                   "included, ends with one)"),
                                {Quoted(Rest)}));
    if (Items.size() != ItemCount)
        Refuse(Line, FormatText(TranslateText("FilterCommand", "it has %1 comma-terminated items where six are needed (a value "
                                                   "cannot hold a comma)"),
                                {IntToStr(static_cast<std::int64_t>(Items.size()))}));

    TFilterCondition Cond;
    Cond.Description = AnsiString(Items[0]);
    Cond.FieldName = Trim(Items[1]);
    if (Cond.FieldName.empty()) Refuse(Line, TranslateText("FilterCommand", "the field name is missing"));
    if (Schema.FieldIndex(Cond.FieldName) < 0)
        Refuse(Line, FormatText(TranslateText("FilterCommand", "the table %1 has no field %2"),
                                {Schema.TableName, Quoted(Cond.FieldName)}));
    Cond.Start = ParsePosition(Line, Trim(Items[2]), ZFD_TRANSLATE_NOOP("FilterCommand", "the start position %1 is not a whole "
                                                                             "number from 0"));
    Cond.End = ParsePosition(Line, Trim(Items[3]), ZFD_TRANSLATE_NOOP("FilterCommand", "the end position %1 is not a whole "
                                                                           "number from 0"));
    if (Cond.Start > 0 && Cond.End > 0 && Cond.End < Cond.Start)
        Refuse(Line, FormatText(TranslateText("FilterCommand", "the end position %1 comes before the start position %2"),
                                {IntToStr(Cond.End), IntToStr(Cond.Start)}));
    AnsiString Op = Trim(Items[4]);
    bool Known = false;
    for (const TOpName& Name : OpNames)
        if (Op == Name.Text) {
            Cond.Op = Name.Op;
            Known = true;
        }
    if (!Known) Refuse(Line, FormatText(TranslateText("FilterCommand", "the comparison %1 is not one of = <> < <= > >="), {Quoted(Op)}));
    Cond.Value = AnsiString(Items[5]);
    Cond.ValueIsNumber = IsNumber(Cond.Value);
    return Cond;
}

namespace {

template <class T>
bool Compare(const T& A, TCompareOp Op, const T& B)
{
    switch (Op) {
    case TCompareOp::Equal: return A == B;
    case TCompareOp::NotEqual: return A != B;
    case TCompareOp::Less: return A < B;
    case TCompareOp::LessEqual: return A <= B;
    case TCompareOp::Greater: return A > B;
    case TCompareOp::GreaterEqual: return A >= B;
    }
    return false;
}

}  // namespace

bool ConditionHolds(const TFilterCondition& Condition, std::string_view FieldText)
{
    std::string_view Part = CharacterRange(FieldText, Condition.Start, Condition.End);
    if (Condition.ValueIsNumber) {
        std::optional<TDecimal> Number = ParseDecimal(Part);
        if (Number) return Compare(CompareDecimals(*Number, *ParseDecimal(Condition.Value)), Condition.Op, 0);
    }
    // Text compares byte by byte, which for UTF-8 is the order of the characters' code points.
    return Compare(Part, Condition.Op, std::string_view(Condition.Value));
}

}  // namespace RecordServer
