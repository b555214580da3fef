#pragma once
// A button with a glyph beside its caption. The glyph bitmap holds NumGlyphs images side
// by side: the first shows while the button is enabled, the second while it is disabled.
// The colour of the glyph's bottom-left pixel is transparent.
#include "framework/ui/TButton.h"

class TBitmap;

class TBitBtn : public TButton {
    DECLARE_CLASSINFO()
public:
    explicit TBitBtn(TComponent* Owner);
    ~TBitBtn() override;

    // The button's own glyph: drawing into it changes the button.
    TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(TBitmap* Value);  // copies Value
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);  // 1 to 4

protected:
    void EnabledChanged() override;

private:
    void GlyphChanged(TObject* Sender);
    void UpdateIcon();

    TBitmap* FGlyph;  // owned
    int FNumGlyphs = 1;
};
