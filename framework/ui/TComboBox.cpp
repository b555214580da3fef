#include "framework/ui/TComboBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>

#include "framework/core/TStrings.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/QtConvert.h"

using namespace ui_detail;

const TTypeInfo* GetTypeInfo(TComboBoxStyle*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TComboBoxStyle", {"csDropDown", "csDropDownList"});
    return &Info;
}

const TClassInfo* TComboBox::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TComboBox, TWinControl>("TComboBox");
        PublishAll(B, {"Align", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "PopupMenu", "TabOrder",
                       "TabStop", "Text", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit", "OnKeyDown",
                       "OnKeyPress", "OnKeyUp"});
        return B.Property("Style", &TComboBox::Style, &TComboBox::SetStyle)
            .Default(csDropDown)
            .Property("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
            .Default(8)
            .Property("ImeName", &TComboBox::ImeName, &TComboBox::SetImeName)
            .Property("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength)
            .Default(0)
            .Property("Items", &TComboBox::Items, &TComboBox::SetItems)
            .Property("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
            .Default(-1)
            .Property("OnChange", &TComboBox::OnChange)
            .Build();
    }();
    return &Info;
}

TComboBox::TComboBox(TComponent* Owner) : TWinControl(Owner, new QComboBox), FItems(new TStringList)
{
    QComboBox* Box = ComboBox();
    Box->setEditable(true);
    Box->setInsertPolicy(QComboBox::NoInsert);
    Box->setCompleter(nullptr);  // what the user types stays as typed
    Box->setFocusPolicy(Qt::ClickFocus);
    Box->setMaxVisibleItems(FDropDownCount);
    ConnectGuarded(Bridge(), Box, &QComboBox::activated, [this](int) { Change(); });
    ConnectEditor();
    FItems->OnChange = TNotifyEvent(this, &TComboBox::ItemsChanged);
    SetDefaultTabStop(true);
    SetColorDefaults(clWindow, false);
    ApplyFont();
    SetInitialBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox()
{
    FItems->OnChange = nullptr;
    delete FItems;
}

void TComboBox::ConnectEditor()
{
    QLineEdit* Edit = ComboBox()->lineEdit();
    if (!Edit) return;
    Bridge()->Watch(Edit);
    ComboBox()->setCompleter(nullptr);
    ConnectGuarded(Bridge(), Edit, &QLineEdit::textEdited, [this](const QString&) { Change(); });
}

QComboBox* TComboBox::ComboBox() const
{
    return static_cast<QComboBox*>(Widget());
}

TStrings* TComboBox::Items() const
{
    return FItems;
}

void TComboBox::SetItems(TStrings* Value)
{
    FItems->Assign(Value);
}

void TComboBox::ItemsChanged(TObject*)
{
    QComboBox* Box = ComboBox();
    const QSignalBlocker Block(Box);
    const QString Text = Box->currentText();
    Box->clear();
    for (int I = 0; I < FItems->Count(); ++I) Box->addItem(ToQString(FItems->Strings(I)));
    if (FStyle == csDropDown) {
        Box->setCurrentIndex(-1);
        Box->setEditText(Text);
    } else {
        Box->setCurrentIndex(Box->findText(Text, Qt::MatchExactly));
    }
}

int TComboBox::ItemIndex() const
{
    QComboBox* Box = ComboBox();
    const int I = Box->currentIndex();
    return I >= 0 && Box->itemText(I) == Box->currentText() ? I : -1;
}

void TComboBox::SetItemIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FLoadedItemIndex = Value;
        return;
    }
    QComboBox* Box = ComboBox();
    const QSignalBlocker Block(Box);
    if (Value < 0 || Value >= Box->count()) Value = -1;
    Box->setCurrentIndex(Value);
    if (Box->isEditable()) Box->setEditText(Value >= 0 ? Box->itemText(Value) : QString());
}

void TComboBox::Loaded()
{
    TWinControl::Loaded();
    if (FLoadedItemIndex >= 0) SetItemIndex(FLoadedItemIndex);
    FLoadedItemIndex = -1;
}

void TComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value == FStyle) return;
    FStyle = Value;
    ComboBox()->setEditable(Value == csDropDown);
    ConnectEditor();
    SetMaxLength(FMaxLength);
}

void TComboBox::SetDropDownCount(int Value)
{
    FDropDownCount = std::max(1, Value);
    ComboBox()->setMaxVisibleItems(FDropDownCount);
}

void TComboBox::SetMaxLength(int Value)
{
    FMaxLength = std::max(0, Value);
    if (QLineEdit* Edit = ComboBox()->lineEdit()) Edit->setMaxLength(FMaxLength == 0 ? 32767 : FMaxLength);
}

void TComboBox::Clear()
{
    FItems->Clear();
    SetText(AnsiString());
}

AnsiString TComboBox::GetText() const
{
    return FromQString(ComboBox()->currentText());
}

void TComboBox::TextChanged()
{
    QComboBox* Box = ComboBox();
    const QSignalBlocker Block(Box);
    const QSignalBlocker BlockEdit(Box->lineEdit());
    const QString Text = ToQString(StoredText());
    if (Box->isEditable()) {
        Box->setCurrentIndex(Box->findText(Text, Qt::MatchExactly));
        Box->setEditText(Text);
    } else {
        Box->setCurrentIndex(Box->findText(Text, Qt::MatchExactly));
    }
}

void TComboBox::Change()
{
    if (OnChange) OnChange(this);
}

void TComboBox::ApplyColor()
{
    ApplyColorToRole(QPalette::Base);
}
