#include "framework/ui/TFont.h"

#include <cmath>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

namespace {

// Rounds A * B / C to the nearest integer, halves away from zero.
int MulDiv(int A, int B, int C)
{
    return static_cast<int>(std::lround(static_cast<double>(A) * B / C));
}

}  // namespace

const TTypeInfo* GetTypeInfo(TFontStyle*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TFontCharset*)
{
    static const TTypeInfo Info = MakeIdentIntTypeInfo(
        "TFontCharset", {{"ANSI_CHARSET", ANSI_CHARSET},
                         {"DEFAULT_CHARSET", DEFAULT_CHARSET},
                         {"SYMBOL_CHARSET", SYMBOL_CHARSET},
                         {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
                         {"HANGEUL_CHARSET", HANGEUL_CHARSET},
                         {"GB2312_CHARSET", GB2312_CHARSET},
                         {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
                         {"OEM_CHARSET", OEM_CHARSET}});
    return &Info;
}

const TClassInfo* TFont::StaticClassInfo()
{
    // A font is written whole whenever it is written at all: a control whose ParentFont is
    // false is read back starting from its parent's font, so a part left out as "default"
    // would come back as the parent's.
    static const TClassInfo Info = TClassBuilder<TFont, TPersistent>("TFont")
                                       .Property("Charset", &TFont::Charset, &TFont::SetCharset)
                                       .NoDefault()
                                       .Property("Color", &TFont::Color, &TFont::SetColor)
                                       .NoDefault()
                                       .Property("Height", &TFont::Height, &TFont::SetHeight)
                                       .NoDefault()
                                       .Property("Name", &TFont::Name, &TFont::SetName)
                                       .NoDefault()
                                       .Property("Size", &TFont::Size, &TFont::SetSize)
                                       .Stored([](TFont&) { return false; })  // Height says it
                                       .Property("Style", &TFont::Style, &TFont::SetStyle)
                                       .NoDefault()
                                       .Build();
    return &Info;
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source)
{
    if (auto* F = dynamic_cast<TFont*>(Source)) {
        if (SameAs(*F)) return;
        FName = F->FName;
        FHeight = F->FHeight;
        FColor = F->FColor;
        FStyle = F->FStyle;
        FCharset = F->FCharset;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

bool TFont::SameAs(const TFont& Other) const
{
    return FName == Other.FName && FHeight == Other.FHeight && FColor == Other.FColor && FStyle == Other.FStyle &&
           FCharset == Other.FCharset;
}

void TFont::SetName(const AnsiString& Value)
{
    if (Value.empty() || Value == FName) return;
    FName = Value;
    Changed();
}

void TFont::SetHeight(int Value)
{
    if (Value < -MaxHeight || Value > MaxHeight)
        throw EInvalidArgument(FormatText(TranslateText("TFont", "Font height %1 is out of range: from %2 to %3"),
                                          {IntToStr(Value), IntToStr(-MaxHeight), IntToStr(MaxHeight)}));
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, ScreenPixelsPerInch);
}

void TFont::SetSize(int Value)
{
    // Checked before the conversion, which would overflow for the largest sizes.
    const int MaxSize = MulDiv(MaxHeight, 72, ScreenPixelsPerInch);
    if (Value < -MaxSize || Value > MaxSize)
        throw EInvalidArgument(FormatText(TranslateText("TFont", "Font size %1 is out of range: from %2 to %3"),
                                          {IntToStr(Value), IntToStr(-MaxSize), IntToStr(MaxSize)}));
    SetHeight(-MulDiv(Value, ScreenPixelsPerInch, 72));
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value)
{
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::Changed()
{
    if (OnChange) OnChange(this);
}
