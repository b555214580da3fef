#include "components/binding/TZopFileDBEdit.h"

#include <memory>

#include "components/FocusFrameColor.h"
#include "components/binding/TTypingClock.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "interface/ServerCall.h"

const TClassInfo* TZopFileDBEdit::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TZopFileDBEdit, TEdit>("TZopFileDBEdit")
            .Property("DataSource", &TZopFileDBEdit::FDataSource, &TZopFileDBEdit::SetFDataSource)
            .Property("DataField", &TZopFileDBEdit::GetDataField, &TZopFileDBEdit::SetFFieldName)
            .Property("OnBeforeSetData", &TZopFileDBEdit::OnBeforeSetData)
            .Property("OnAfterSetData", &TZopFileDBEdit::OnAfterSetData)
            .Property("OnBeforeGetData", &TZopFileDBEdit::OnBeforeGetData)
            .Property("OnAfterGetData", &TZopFileDBEdit::OnAfterGetData)
            .Build();
    return &Info;
}

TZopFileDBEdit::TZopFileDBEdit(TComponent* Owner) : TEdit(Owner)
{
    SetText(AnsiString());
    SetImeName(AnsiString());
    // Framed as the grid's editor is while it has the focus: the user sees where keys go.
    SetFocusFrame(FocusFrameColor);
}

void TZopFileDBEdit::Notification(TComponent* Component, TOperation Operation)
{
    TEdit::Notification(Component, Operation);
    // The data source is going away: drop the reference without unregistering.
    if (Operation == opRemove && Component == FDataSource) FDataSource = nullptr;
}

void TZopFileDBEdit::SetFDataSource(TZopFileDataSource* Value)
{
    if (FDataSource) FDataSource->RemoveDBEdit(this);
    FDataSource = Value;
    if (Value) Value->AddNewDBEdit(this);
}

void TZopFileDBEdit::SetFFieldName(const TZopFileDbControlFieldStr& Value)
{
    FDataField = Value;
    // Assistive technology names the edit by its field.
    SetAccessibleName(Trim(Value));
    SetAccessibleDescription(Trim(Value).empty() ? AnsiString()
                                                 : FormatText(TranslateText("TZopFileDBEdit", "Edits the field %1"),
                                                              {Trim(Value)}));
    if (Trim(Value).empty() || !FDataSource) return;
    TZopFileDataSet* DataSet = FDataSource->GetDataSet();
    if (!DataSet || !DataSet->GetActive()) return;
    SetText(FDataSource->FieldValueFor(this, FDataField));
}

void TZopFileDBEdit::KeyPress(wchar_t& Key)
{
    TEdit::KeyPress(Key);
    if (Key == 13) {
        FocusNextControl();
        return;
    }
    // A key that the control's own handler swallowed types nothing, so it starts nothing.
    if (Key == 0 || !FDataSource || !FDataSource->GetDataSet()) return;
    IFileDataSet* Server = FDataSource->GetDataSet()->FileDataSet();
    if (!AskBool(Server, &IFileDataSet::GetActive)) return;
    if (!StateIs(Server, "Browse")) return;
    // A key field is never edited in place: its text changes, the dataset stays in "Browse"
    // and the next push shows the stored value again.
    if (AskBool(Server, &IFileDataSet::IsKeyField, OleVariant(FDataField))) return;
    Check(Server->Edit());
}

void TZopFileDBEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    if (Key != VK_ESCAPE || !FDataSource || !FDataSource->GetDataSet()) return;
    IFileDataSet* Server = FDataSource->GetDataSet()->FileDataSet();
    if (!StateIs(Server, "Edit") && !StateIs(Server, "Insert")) return;
    // The data source then shows the stored value again.
    Check(Server->Cancel());
    Key = 0;
}

void TZopFileDBEdit::Change()
{
    if (Modified()) FTypedAt = TTypingClock::Tick();
    TEdit::Change();
}

void TZopFileDBEdit::FocusNextControl()
{
    TWinControl* Container = Parent();
    if (!Container) return;
    auto List = std::make_unique<TWinControlList>();
    Container->GetTabOrderList(*List);
    const int Count = static_cast<int>(List->size());
    const int Position = TabOrder();
    if (Count == 0) return;
    if (Position == Count - 1) {
        // The last control wraps round to the first. One that cannot take the focus would
        // raise; the search then goes on to the first one that can.
        for (TWinControl* Control : *List) {
            if (Control->CanFocus()) {
                Control->SetFocus();
                return;
            }
        }
        return;
    }
    for (int I = Position + 1; I < Count; ++I) {
        if ((*List)[I]->CanFocus()) {
            (*List)[I]->SetFocus();
            return;
        }
    }
}
