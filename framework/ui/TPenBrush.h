#pragma once
// The pen (lines and outlines) and the brush (fills) of a canvas.
#include "framework/core/Events.h"
#include "framework/core/TPersistent.h"
#include "framework/ui/Colors.h"

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
const TTypeInfo* GetTypeInfo(TPenStyle*);

enum TBrushStyle { bsSolid, bsClear };
const TTypeInfo* GetTypeInfo(TBrushStyle*);

class TPen : public TPersistent {
    DECLARE_CLASSINFO()
public:
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
};

class TBrush : public TPersistent {
    DECLARE_CLASSINFO()
public:
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    TNotifyEvent OnChange;

private:
    void Changed();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};
