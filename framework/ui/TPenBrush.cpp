#include "framework/ui/TPenBrush.h"

#include "framework/core/TypeInfo.h"

const TTypeInfo* GetTypeInfo(TPenStyle*)
{
    static const TTypeInfo Info =
        MakeEnumTypeInfo("TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TBrushStyle*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TBrushStyle", {"bsSolid", "bsClear"});
    return &Info;
}

const TClassInfo* TPen::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TPen, TPersistent>("TPen")
                                       .Property("Color", &TPen::Color, &TPen::SetColor)
                                       .Default(clBlack)
                                       .Property("Style", &TPen::Style, &TPen::SetStyle)
                                       .Default(psSolid)
                                       .Property("Width", &TPen::Width, &TPen::SetWidth)
                                       .Default(1)
                                       .Build();
    return &Info;
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* P = dynamic_cast<TPen*>(Source)) {
        FColor = P->FColor;
        FWidth = P->FWidth;
        FStyle = P->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == FWidth) return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TPen::Changed()
{
    if (OnChange) OnChange(this);
}

const TClassInfo* TBrush::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TBrush, TPersistent>("TBrush")
                                       .Property("Color", &TBrush::Color, &TBrush::SetColor)
                                       .Default(clWhite)
                                       .Property("Style", &TBrush::Style, &TBrush::SetStyle)
                                       .Default(bsSolid)
                                       .Build();
    return &Info;
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* B = dynamic_cast<TBrush*>(Source)) {
        FColor = B->FColor;
        FStyle = B->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TBrush::Changed()
{
    if (OnChange) OnChange(this);
}
