#include "components/dataset/TZopFileField.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "components/dataset/TZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "interface/ServerCall.h"

namespace {

// The text without the blanks around it.
std::string_view Bare(const AnsiString& Text)
{
    std::string_view View = Text;
    while (!View.empty() && static_cast<unsigned char>(View.front()) <= ' ') View.remove_prefix(1);
    while (!View.empty() && static_cast<unsigned char>(View.back()) <= ' ') View.remove_suffix(1);
    return View;
}

// "42", "-7", "12.00": a whole number with nothing after the point but zeros.
std::optional<std::int64_t> WholeNumber(std::string_view Text)
{
    if (const std::size_t Point = Text.find('.'); Point != std::string_view::npos) {
        if (Text.find_first_not_of('0', Point + 1) != std::string_view::npos) return std::nullopt;
        Text = Text.substr(0, Point);
    }
    if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
    std::int64_t Value = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size()) return std::nullopt;
    return Value;
}

std::optional<double> FloatNumber(std::string_view Text)
{
    if (!Text.empty() && Text.front() == '+') Text.remove_prefix(1);
    double Value = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Text.empty() || Error != std::errc() || End != Text.data() + Text.size() || !std::isfinite(Value))
        return std::nullopt;
    return Value;
}

// Value's digits: Scale decimals (rounded to the nearest), or the shortest that read back as
// Value when Scale is negative.
AnsiString NumberText(double Value, int Scale)
{
    char Buffer[512];
    const auto [End, Error] = Scale < 0 ? std::to_chars(Buffer, Buffer + sizeof Buffer, Value)
                                        : std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, Scale);
    if (Error != std::errc()) return {};
    return AnsiString(Buffer, End);
}

}  // namespace

TZopFileField::TZopFileField(TZopFileDataSet* DataSet, AnsiString Name, TZopFieldType Type)
    : FDataSet(DataSet), FName(std::move(Name)), FType(Type)
{
}

void TZopFileField::Fail(const AnsiString& Problem) const
{
    throw EDatabaseError(FormatText(TranslateText("TZopFileField", "Field %1: %2"), {FName, Problem}));
}

AnsiString TZopFileField::GetAsString() const
{
    if (!FDataSet->GetActive()) Fail(FormatText(TranslateText("TZopFileField", "the dataset %1 is not open"), {FDataSet->Name()}));
    try {
        // The server answers reads from the record under the cursor until a new record is
        // posted: another record's value must not pass for this one's.
        if (StateIs(FDataSet->FileDataSet(), "Insert"))
            Fail(TranslateText("TZopFileField", "the record being inserted is read once it is posted"));
        return AskText(FDataSet->FileDataSet(), &IFileDataSet::GetFieldValue, OleVariant(FName));
    } catch (const EDatabaseError&) {
        throw;
    } catch (const Exception& E) {
        Fail(E.Message());
    }
}

void TZopFileField::SetAsString(const AnsiString& Value)
{
    if (!FDataSet->GetActive()) Fail(FormatText(TranslateText("TZopFileField", "the dataset %1 is not open"), {FDataSet->Name()}));
    try {
        Check(FDataSet->FileDataSet()->SetFieldValue(OleVariant(FName), OleVariant(Value)));
        if (TDataSetListener* Source = FDataSet->DataSource()) Source->FieldWritten(FName, Value);
    } catch (const Exception& E) {
        Fail(E.Message());
    }
}

AnsiString TZopFileField::Present(const AnsiString& Kind) const
{
    AnsiString Value = GetAsString();
    if (Bare(Value).empty()) Fail(FormatText(TranslateText("TZopFileField", "it has no value to read as %1"), {Kind}));
    return Value;
}

std::int64_t TZopFileField::GetAsInteger() const
{
    const AnsiString Value = Present(TranslateText("TZopFileField", "a whole number"));
    if (std::optional<std::int64_t> Number = WholeNumber(Bare(Value))) return *Number;
    Fail(FormatText(TranslateText("TZopFileField", "the value \"%1\" is not a whole number"), {Value}));
}

void TZopFileField::SetAsInteger(std::int64_t Value)
{
    SetAsString(IntToStr(Value));
}

double TZopFileField::GetAsFloat() const
{
    const AnsiString Value = Present(TranslateText("TZopFileField", "a number"));
    if (std::optional<double> Number = FloatNumber(Bare(Value))) return *Number;
    Fail(FormatText(TranslateText("TZopFileField", "the value \"%1\" is not a number"), {Value}));
}

void TZopFileField::SetAsFloat(double Value)
{
    if (!std::isfinite(Value)) Fail(FormatText(TranslateText("TZopFileField", "a number is finite, %1 is not"), {NumberText(Value, -1)}));
    if (FType.Kind == TZopFieldKind::Integer && std::trunc(Value) != Value)
        Fail(FormatText(TranslateText("TZopFileField", "%1 is not a whole number"), {NumberText(Value, -1)}));
    // A decimal field keeps its decimals: the nearest amount with that many.
    SetAsString(NumberText(Value, FType.Kind == TZopFieldKind::Decimal || FType.Kind == TZopFieldKind::Integer
                                      ? FType.Scale
                                      : -1));
}

bool TZopFileField::GetAsBoolean() const
{
    const AnsiString Value = Present(TranslateText("TZopFileField", "True or False"));
    const std::string_view Text = Bare(Value);
    if (SameText(Text, "True") || Text == "1") return true;
    if (SameText(Text, "False") || Text == "0") return false;
    Fail(FormatText(TranslateText("TZopFileField", "the value \"%1\" is not True or False"), {Value}));
}

void TZopFileField::SetAsBoolean(bool Value)
{
    SetAsString(Value ? "True" : "False");
}

TDateTime TZopFileField::GetAsDateTime() const
{
    const AnsiString Value = Present(TranslateText("TZopFileField", "a date"));
    const std::string_view Text = Bare(Value);
    int Year = 0, Month = 0, Day = 0;
    if (Text.size() == 10 && Text[4] == '-' && Text[7] == '-' &&
        AnsiString(Text).find_first_not_of("0123456789-") == AnsiString::npos && TryStrToInt(Text.substr(0, 4), Year) &&
        TryStrToInt(Text.substr(5, 2), Month) && TryStrToInt(Text.substr(8, 2), Day)) {
        try {
            return EncodeDate(Year, Month, Day);
        } catch (const EConvertError&) {
            // not a calendar date: said below
        }
    }
    Fail(FormatText(TranslateText("TZopFileField", "the value \"%1\" is not a date written YYYY-MM-DD"), {Value}));
}

void TZopFileField::SetAsDateTime(TDateTime Value)
{
    int Year = 0, Month = 0, Day = 0;
    if (std::isfinite(Value)) DecodeDate(Value, Year, Month, Day);
    if (Year < 1 || Year > 9999) Fail(TranslateText("TZopFileField", "the date is outside the years 0001 to 9999"));
    char Text[16];
    std::snprintf(Text, sizeof Text, "%04d-%02d-%02d", Year, Month, Day);
    SetAsString(Text);
}

bool TZopFileField::GetIsNull() const
{
    return Bare(GetAsString()).empty();
}

void TZopFileField::Clear()
{
    SetAsString("");
}
