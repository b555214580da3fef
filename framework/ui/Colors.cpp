#include "framework/ui/Colors.h"

#include <array>
#include <utility>
#include <vector>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

namespace {

// The system palette: a classic light desktop theme.
constexpr std::array<std::int32_t, 25> SystemPalette = {
    0xC8C8C8,  // scroll bar
    0x000000,  // desktop
    0xD1B499,  // active caption
    0xDBCDBF,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xFCF7F4,  // inactive border
    0xABABAB,  // application workspace
    0xD77800,  // highlight
    0xFFFFFF,  // highlight text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x000000,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // 3D dark shadow
    0xE3E3E3,  // 3D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

const std::vector<std::pair<AnsiString, std::int64_t>>& ColorNames()
{
    static const std::vector<std::pair<AnsiString, std::int64_t>> Names = {
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clMoneyGreen", clMoneyGreen},
        {"clSkyBlue", clSkyBlue},
        {"clCream", clCream},
        {"clMedGray", clMedGray},
        {"clScrollBar", clScrollBar},
        {"clBackground", clBackground},
        {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption},
        {"clMenu", clMenu},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clMenuText", clMenuText},
        {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText},
        {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},
        {"clNone", clNone},
        {"clDefault", clDefault},
        // Aliases last, so that a value is written with its first name.
        {"clLtGray", clSilver},
        {"clDkGray", clGray},
    };
    return Names;
}

}  // namespace

const TTypeInfo* GetTypeInfo(TColor*)
{
    static const TTypeInfo Info = MakeIdentIntTypeInfo("TColor", ColorNames());
    return &Info;
}

TColor ColorToRGB(TColor Color)
{
    const auto Value = static_cast<std::uint32_t>(Color);
    if (Value & 0x80000000u) {
        const std::uint32_t Index = Value & 0xFF;
        return Index < SystemPalette.size() ? TColor(SystemPalette[Index]) : clBlack;
    }
    if (Color == clNone) return clWhite;
    if (Color == clDefault) return clBlack;
    return TColor(static_cast<std::int32_t>(Value & 0x00FFFFFF));
}

AnsiString ColorToString(TColor Color)
{
    AnsiString Name;
    if (GetTypeInfo(static_cast<TColor*>(nullptr))->IntToIdent(Color, Name)) return Name;
    return "$" + IntToHex(static_cast<std::uint32_t>(Color), 8);
}

TColor StringToColor(const AnsiString& S)
{
    std::int64_t Value = 0;
    if (GetTypeInfo(static_cast<TColor*>(nullptr))->IdentToInt(Trim(S), Value)) return TColor(Value);
    if (TryStrToInt64(S, Value) && Value >= INT32_MIN && Value <= static_cast<std::int64_t>(UINT32_MAX))
        return TColor(static_cast<std::int32_t>(static_cast<std::uint32_t>(Value)));
    throw EConvertError(FormatText(TranslateText("Colors", "'%1' is not a valid colour"), {S}));
}
