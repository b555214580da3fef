#include "framework/ui/TFont.h"

#include <cmath>

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
    static const TClassInfo Info = TClassBuilder<TFont, TPersistent>("TFont")
                                       .Property("Charset", &TFont::Charset, &TFont::SetCharset)
                                       .Default(DEFAULT_CHARSET)
                                       .Property("Color", &TFont::Color, &TFont::SetColor)
                                       .Default(clWindowText)
                                       .Property("Height", &TFont::Height, &TFont::SetHeight)
                                       .Default(-11)
                                       .Property("Name", &TFont::Name, &TFont::SetName)
                                       .Default("MS Sans Serif")
                                       .Property("Size", &TFont::Size, &TFont::SetSize)
                                       .Stored([](TFont&) { return false; })  // Height says it
                                       .Property("Style", &TFont::Style, &TFont::SetStyle)
                                       .Default(TFontStyles{})
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
