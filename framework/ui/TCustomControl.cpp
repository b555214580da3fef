#include "framework/ui/TCustomControl.h"

#include <QPainter>
#include <QWidget>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TFont.h"

const TClassInfo* TCustomControl::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TCustomControl, TWinControl>("TCustomControl").Build();
    return &Info;
}

TCustomControl::TCustomControl(TComponent* Owner) : TWinControl(Owner, new QWidget), FCanvas(new TCanvas)
{
    SetPaintsItself(true);
    Bridge()->SetPassiveMouse(true);
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetColorDefaults(clBtnFace, true);
    FCanvas->Font()->Assign(FFont);
    ApplyFont();
}

TCustomControl::~TCustomControl()
{
    delete FCanvas;
}

void TCustomControl::Paint() {}

void TCustomControl::PaintWidget(QPainter& Painter)
{
    TWinControl::PaintWidget(Painter);
    FCanvas->BeginPaint(&Painter, Width(), Height());
    try {
        Paint();
    } catch (...) {
        FCanvas->EndPaint();
        throw;
    }
    FCanvas->EndPaint();
}

void TCustomControl::FontChanged()
{
    TWinControl::FontChanged();
    FCanvas->Font()->Assign(FFont);
}
