#pragma once
// A panel: a container with an outer and an inner bevel and a caption drawn in its middle.
#include "framework/ui/TCustomControl.h"

class TCustomPanel : public TCustomControl {
    DECLARE_CLASSINFO()
public:
    explicit TCustomPanel(TComponent* Owner);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    // Bevels, background and caption.
    void Paint() override;

private:
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
    DECLARE_CLASSINFO()
public:
    explicit TPanel(TComponent* Owner) : TCustomPanel(Owner) {}
};
