#include "com/OleVariant.h"

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

namespace {

// The kinds in the order of OleVariant's storage alternatives.
constexpr TVarType KindOfIndex[] = {varEmpty, varInteger, varBoolean, varOleStr};

bool TryTextToInteger(const WideString& Text, int& Value)
{
    return TryStrToInt(Utf16ToUtf8(Text), Value);
}

bool TryTextToBoolean(const WideString& Text, bool& Value)
{
    AnsiString Utf8 = Utf16ToUtf8(Text);
    AnsiString Trimmed = Trim(Utf8);
    if (SameText(Trimmed, "True")) {
        Value = true;
        return true;
    }
    if (SameText(Trimmed, "False")) {
        Value = false;
        return true;
    }
    int Number = 0;
    if (!TryStrToInt(Utf8, Number)) return false;
    Value = Number != 0;
    return true;
}

}  // namespace

AnsiString VarTypeName(TVarType Type)
{
    switch (Type) {
    case varEmpty: return "Empty";
    case varInteger: return "Integer";
    case varBoolean: return "Boolean";
    case varOleStr: return "OleStr";
    }
    return "Unknown";
}

OleVariant::OleVariant(const char* Text)
{
    if (Text) FValue = Utf8ToUtf16(Text);
}

OleVariant::OleVariant(const char16_t* Text)
{
    if (Text) FValue = WideString(Text);
}

TVarType OleVariant::VarType() const
{
    return KindOfIndex[FValue.index()];
}

void OleVariant::ThrowOverflow()
{
    throw EVariantError(TranslateText("OleVariant", "Variant overflow"));
}

void OleVariant::ThrowCannotConvert(TVarType Target) const
{
    throw EVariantError(FormatText(TranslateText("OleVariant", "Could not convert variant of type (%1) into type (%2)"),
                                   {VarTypeName(VarType()), VarTypeName(Target)}));
}

AnsiString OleVariant::AsString() const
{
    switch (VarType()) {
    case varInteger: return IntToStr(std::get<std::int32_t>(FValue));
    case varBoolean: return std::get<VARIANT_BOOL>(FValue) ? "True" : "False";
    case varOleStr: return Utf16ToUtf8(std::get<WideString>(FValue));
    case varEmpty: break;
    }
    return AnsiString();
}

WideString OleVariant::AsWideString() const
{
    if (const WideString* Text = std::get_if<WideString>(&FValue)) return *Text;
    return Utf8ToUtf16(AsString());
}

int OleVariant::AsInteger() const
{
    switch (VarType()) {
    case varInteger: return std::get<std::int32_t>(FValue);
    case varBoolean: return std::get<VARIANT_BOOL>(FValue) ? -1 : 0;
    case varOleStr: {
        int Value = 0;
        if (!TryTextToInteger(std::get<WideString>(FValue), Value)) ThrowCannotConvert(varInteger);
        return Value;
    }
    case varEmpty: break;
    }
    return 0;
}

bool OleVariant::AsBoolean() const
{
    switch (VarType()) {
    case varInteger: return std::get<std::int32_t>(FValue) != 0;
    case varBoolean: return std::get<VARIANT_BOOL>(FValue) != VARIANT_FALSE;
    case varOleStr: {
        bool Value = false;
        if (!TryTextToBoolean(std::get<WideString>(FValue), Value)) ThrowCannotConvert(varBoolean);
        return Value;
    }
    case varEmpty: break;
    }
    return false;
}

bool operator==(const OleVariant& A, const OleVariant& B)
{
    const TVarType KindA = A.VarType();
    const TVarType KindB = B.VarType();
    if (KindA == KindB) return A.FValue == B.FValue;

    // Mixed kinds compare in a common kind; a side that cannot be converted is unequal.
    TVarType Common = varInteger;
    if (KindA == varEmpty) Common = KindB;
    else if (KindB == varEmpty) Common = KindA;
    else if (KindA == varBoolean || KindB == varBoolean) Common = varBoolean;
    try {
        switch (Common) {
        case varOleStr: return A.AsWideString() == B.AsWideString();
        case varBoolean: return A.AsBoolean() == B.AsBoolean();
        case varInteger: return A.AsInteger() == B.AsInteger();
        case varEmpty: break;
        }
    } catch (const EVariantError&) {
    }
    return false;
}
