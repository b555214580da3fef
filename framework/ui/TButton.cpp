#include "framework/ui/TButton.h"

#include <QPalette>
#include <QPushButton>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TClassInfo* TButton::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TButton, TWinControl>("TButton");
        PublishAll(B, {"Align", "Caption", "Enabled", "Font", "ParentFont", "PopupMenu", "TabOrder", "TabStop",
                       "Visible", "OnClick", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                       "OnMouseUp"});
        return B.Property("Cancel", &TButton::Cancel, &TButton::SetCancel)
            .Default(false)
            .Property("Default", &TButton::Default, &TButton::SetDefault)
            .Default(false)
            .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
            .Default(0)
            .Build();
    }();
    return &Info;
}

TButton::TButton(TComponent* Owner) : TWinControl(Owner, new QPushButton)
{
    QPushButton* Button = PushButton();
    Button->setFocusPolicy(Qt::StrongFocus);
    Button->setAutoDefault(false);
    ConnectGuarded(Bridge(), Button, &QPushButton::clicked, [this](bool) { Click(); });
    SetDefaultTabStop(true);
    SetColorDefaults(clBtnFace, false);
    ApplyFont();
    SetInitialBounds(0, 0, 75, 25);
}

bool TButton::FocusOnClick() const
{
    return PushButton()->focusPolicy() == Qt::StrongFocus;
}

void TButton::SetFocusOnClick(bool Value)
{
    PushButton()->setFocusPolicy(Value ? Qt::StrongFocus : Qt::TabFocus);
}

QPushButton* TButton::PushButton() const
{
    return static_cast<QPushButton*>(Widget());
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    PushButton()->setDefault(Value);
}

void TButton::TextChanged()
{
    PushButton()->setText(ToQString(StoredText()));
}

void TButton::ApplyColor()
{
    ApplyColorToRole(QPalette::Button);
}
