#pragma once
// A windowed control that draws itself: Paint draws on Canvas whenever the control needs
// painting (the background has already been filled with Color).
#include "framework/ui/TWinControl.h"

class TCanvas;

class TCustomControl : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TCustomControl(TComponent* Owner);
    ~TCustomControl() override;

    // The canvas: drawing works during Paint; measuring text works at any time.
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint();
    void PaintWidget(QPainter& Painter) override;
    void FontChanged() override;

private:
    TCanvas* FCanvas;  // owned
};
