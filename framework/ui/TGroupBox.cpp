#include "framework/ui/TGroupBox.h"

#include <QGroupBox>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TClassInfo* TGroupBox::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TGroupBox, TWinControl>("TGroupBox");
        return PublishAll(B, {"Align", "Caption", "Color", "Enabled", "Font", "ParentColor", "ParentFont",
                              "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter",
                              "OnExit", "OnMouseDown", "OnMouseUp"})
            .Build();
    }();
    return &Info;
}

TGroupBox::TGroupBox(TComponent* Owner) : TWinControl(Owner, new QGroupBox)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    Bridge()->SetPassiveMouse(true);
    SetColorDefaults(clBtnFace, true);
    ApplyFont();
    SetInitialBounds(0, 0, 185, 105);
}

void TGroupBox::TextChanged()
{
    static_cast<QGroupBox*>(Widget())->setTitle(ToQString(StoredText()));
}
