#pragma once
// Colours: 0x00BBGGRR values, or system colours (the high bit set, the low byte an index
// into the system palette) that resolve to a fixed RGB value here. Colour properties
// stream by name where a colour has one (clRed, clBtnFace) and as a number otherwise.
#include <cstdint>

#include "framework/core/Exceptions.h"

struct TTypeInfo;

constexpr std::int32_t SystemColor(int Index) { return static_cast<std::int32_t>(0x80000000u | unsigned(Index)); }

enum TColor : std::int32_t {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,
    clMoneyGreen = 0xC0DCC0,
    clSkyBlue = 0xF0CAA6,
    clCream = 0xF0FBFF,
    clMedGray = 0xA4A0A0,

    clScrollBar = SystemColor(0),
    clBackground = SystemColor(1),
    clActiveCaption = SystemColor(2),
    clInactiveCaption = SystemColor(3),
    clMenu = SystemColor(4),
    clWindow = SystemColor(5),
    clWindowFrame = SystemColor(6),
    clMenuText = SystemColor(7),
    clWindowText = SystemColor(8),
    clCaptionText = SystemColor(9),
    clActiveBorder = SystemColor(10),
    clInactiveBorder = SystemColor(11),
    clAppWorkSpace = SystemColor(12),
    clHighlight = SystemColor(13),
    clHighlightText = SystemColor(14),
    clBtnFace = SystemColor(15),
    clBtnShadow = SystemColor(16),
    clGrayText = SystemColor(17),
    clBtnText = SystemColor(18),
    clInactiveCaptionText = SystemColor(19),
    clBtnHighlight = SystemColor(20),
    cl3DDkShadow = SystemColor(21),
    cl3DLight = SystemColor(22),
    clInfoText = SystemColor(23),
    clInfoBk = SystemColor(24),

    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000,
};
const TTypeInfo* GetTypeInfo(TColor*);

// The RGB value (0x00BBGGRR) a colour shows as; system colours resolve to the palette here.
TColor ColorToRGB(TColor Color);
// "clRed" for a named colour, otherwise "$00BBGGRR".
AnsiString ColorToString(TColor Color);
// Accepts a colour name or a number (decimal or $hex); raises EConvertError otherwise.
TColor StringToColor(const AnsiString& S);
// Red, green and blue parts of an RGB colour.
inline int GetRValue(TColor C) { return static_cast<int>(C) & 0xFF; }
inline int GetGValue(TColor C) { return (static_cast<int>(C) >> 8) & 0xFF; }
inline int GetBValue(TColor C) { return (static_cast<int>(C) >> 16) & 0xFF; }
inline TColor RGBColor(int R, int G, int B) { return TColor((B & 0xFF) << 16 | (G & 0xFF) << 8 | (R & 0xFF)); }
