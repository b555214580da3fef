#pragma once
// A container that scrolls its child controls. Scrolling moves the children (their Left
// and Top change); a scroll bar appears when the children reach past the client area, its
// range follows their extent, and moving it moves them.
#include "framework/ui/TWinControl.h"

class QScrollBar;

class TScrollingWinControl : public TWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TScrollingWinControl(TComponent* Owner);

    // Scrolls so that AControl (a child, or a child's child) is inside the client area.
    void ScrollInView(TControl* AControl);
    void ScrollBy(int DeltaX, int DeltaY) override;

    // How far the content is scrolled, and how far it can be.
    int HorzScrollPos() const { return FHorzPos; }
    void SetHorzScrollPos(int Value);
    void SetVertScrollPos(int Value);
    int HorzScrollMax() const;
    bool HorzScrollBarVisible() const;
    bool VertScrollBarVisible() const;
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value);

    QWidget* ClientWidget() const override { return FViewport; }
    QScrollBar* HorzScrollBar() const { return FHorzBar; }

protected:
    void ChildChanged(TControl* Child) override;
    void ChildrenScrolled() override;
    void SizeChanged() override;
    void ApplyColor() override;
    void Loaded() override;
    // Lays out the viewport and the scroll bars inside the widget and sets their ranges.
    void UpdateScrollBars();

private:
    void ScrollTo(int HorzPos, int VertPos);
    void BarMoved();
    void ContentExtent(int& Right, int& Bottom) const;

    QWidget* FViewport;     // not owned: a child of the widget
    QScrollBar* FHorzBar;   // not owned: a child of the widget
    QScrollBar* FVertBar;   // not owned: a child of the widget
    QWidget* FCorner;       // not owned: a child of the widget
    int FHorzPos = 0;
    int FVertPos = 0;
    bool FAutoScroll = true;
    bool FUpdatingBars = false;
};

// A scrolling container for form files.
class TScrollBox : public TScrollingWinControl {
    DECLARE_CLASSINFO()
public:
    explicit TScrollBox(TComponent* Owner);
};
