#pragma once
// A font: name, height (negative: character height in pixels; positive: cell height),
// size in points (at 96 pixels per inch), colour, style and character set. Changing any
// part fires OnChange, which the control or canvas that owns the font listens to.
#include <cstdint>

#include "framework/core/Events.h"
#include "framework/core/TPersistent.h"
#include "framework/core/TSet.h"
#include "framework/ui/Colors.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
const TTypeInfo* GetTypeInfo(TFontStyle*);

// A character set number, kept and streamed (by name where it has one) but not used for
// drawing: text is Unicode throughout.
enum TFontCharset : std::uint8_t {
    ANSI_CHARSET = 0,
    DEFAULT_CHARSET = 1,
    SYMBOL_CHARSET = 2,
    SHIFTJIS_CHARSET = 128,
    HANGEUL_CHARSET = 129,
    GB2312_CHARSET = 134,
    CHINESEBIG5_CHARSET = 136,
    OEM_CHARSET = 255,
};
const TTypeInfo* GetTypeInfo(TFontCharset*);

constexpr int ScreenPixelsPerInch = 96;

class TFont : public TPersistent {
    DECLARE_CLASSINFO()
public:
    TFont();

    void Assign(TPersistent* Source) override;
    bool SameAs(const TFont& Other) const;

    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value);
    int Height() const { return FHeight; }
    // Heights beyond MaxHeight pixels either way (and the sizes they would give) raise
    // EInvalidArgument.
    void SetHeight(int Value);
    static constexpr int MaxHeight = 32767;
    int Size() const;
    void SetSize(int Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);

    TNotifyEvent OnChange;

private:
    void Changed();

    AnsiString FName = "MS Sans Serif";
    int FHeight = -11;
    TColor FColor = clWindowText;
    TFontStyles FStyle;
    TFontCharset FCharset = DEFAULT_CHARSET;
};
