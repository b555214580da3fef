#pragma once
// A text label. With AutoSize (the default) it sizes itself to its caption.
#include "framework/ui/TControl.h"

class QLabel;

class TLabel : public TControl {
    DECLARE_CLASSINFO()
public:
    explicit TLabel(TComponent* Owner);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    void Loaded() override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ApplyColor() override;
    // Sizes the label to its caption when AutoSize is on.
    void AdjustBounds();

private:
    QLabel* Label() const;
    void ApplyAlignment();

    bool FAutoSize = true;
    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    bool FWordWrap = false;
};
