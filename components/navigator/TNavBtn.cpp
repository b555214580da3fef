#include "components/navigator/TNavBtn.h"

#include "framework/core/TypeInfo.h"

const TClassInfo* TNavBtn::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TNavBtn, TBitBtn>("TNavBtn").Publish("Enabled").Build();
    return &Info;
}

TNavBtn::TNavBtn(TComponent* Owner) : TBitBtn(Owner)
{
    SetWidth(60);
    SetHeight(28);
    SetTop(2);
    SetNumGlyphs(2);
    // A click leaves the keyboard focus with the control the user was typing in; the bar
    // gives it back after the click (see TZopFileDBNavigator::RunClick).
    SetFocusOnClick(false);
}
