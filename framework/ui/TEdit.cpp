#include "framework/ui/TEdit.h"

#include <QLineEdit>
#include <QPalette>

#include <algorithm>

#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TClassInfo* TEdit::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TEdit, TWinControl>("TEdit");
        PublishAll(B, {"Align", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "PopupMenu", "TabOrder",
                       "TabStop", "Text", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit", "OnKeyDown",
                       "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseUp"});
        return B.Property("ImeName", &TEdit::ImeName, &TEdit::SetImeName)
            .Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength)
            .Default(0)
            .Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly)
            .Default(false)
            .Property("OnChange", &TEdit::OnChange)
            .Build();
    }();
    return &Info;
}

TEdit::TEdit(TComponent* Owner) : TWinControl(Owner, new QLineEdit)
{
    QLineEdit* Edit = LineEdit();
    Edit->setFocusPolicy(Qt::ClickFocus);
    ConnectGuarded(Bridge(), Edit, &QLineEdit::textChanged, [this](const QString&) { Change(); });
    SetDefaultTabStop(true);
    SetColorDefaults(clWindow, false);
    ApplyFont();
    SetInitialBounds(0, 0, 121, 21);
}

QLineEdit* TEdit::LineEdit() const
{
    return static_cast<QLineEdit*>(Widget());
}

AnsiString TEdit::GetText() const
{
    return FromQString(LineEdit()->text());
}

void TEdit::TextChanged()
{
    LineEdit()->setText(ToQString(StoredText()));
}

void TEdit::Change()
{
    if (OnChange) OnChange(this);
}

void TEdit::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    LineEdit()->setMaxLength(FMaxLength == 0 ? 32767 : FMaxLength);
}

bool TEdit::Modified() const
{
    return LineEdit()->isModified();
}

void TEdit::SetModified(bool Value)
{
    LineEdit()->setModified(Value);
}

bool TEdit::ReadOnly() const
{
    return LineEdit()->isReadOnly();
}

void TEdit::SetReadOnly(bool Value)
{
    LineEdit()->setReadOnly(Value);
}

int TEdit::SelStart() const
{
    QLineEdit* E = LineEdit();
    return E->hasSelectedText() ? E->selectionStart() : E->cursorPosition();
}

void TEdit::SetSelStart(int Value)
{
    // Beyond the text the caret goes to its end (Qt would leave it where it was).
    QLineEdit* E = LineEdit();
    E->setCursorPosition(std::clamp(Value, 0, static_cast<int>(E->text().size())));
}

int TEdit::SelLength() const
{
    return static_cast<int>(LineEdit()->selectedText().size());
}

void TEdit::SetSelLength(int Value)
{
    const int Start = SelStart();
    LineEdit()->setSelection(Start, Value);
}

AnsiString TEdit::SelText() const
{
    return FromQString(LineEdit()->selectedText());
}

void TEdit::SelectAll()
{
    LineEdit()->selectAll();
}

void TEdit::ApplyColor()
{
    ApplyColorToRole(QPalette::Base);
}
