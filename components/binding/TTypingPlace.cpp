#include "components/binding/TTypingPlace.h"

#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"

TWinControl* TTypingPlace::FocusedTypingControl(TForm* Form)
{
    TWinControl* Active = Form ? Form->ActiveControl() : nullptr;
    if (!Active || !Active->Focused()) return nullptr;
    return dynamic_cast<TEdit*>(Active) || dynamic_cast<TComboBox*>(Active) ? Active : nullptr;
}

TTypingPlace TTypingPlace::Of(TForm* Form)
{
    TTypingPlace Place;
    TWinControl* Active = FocusedTypingControl(Form);
    if (!Active) return Place;
    Place.FControl = Active;
    if (auto* Cell = dynamic_cast<TGridCell*>(Active->Parent())) {
        Place.FGrid = Cell->Grid();
        Place.FCol = Cell->GetCol();
    }
    if (auto* Edit = dynamic_cast<TEdit*>(Active)) {
        Place.FSelStart = Edit->SelStart();
        Place.FSelLength = Edit->SelLength();
    }
    return Place;
}

bool TTypingPlace::GiveBack(TForm* Form) const
{
    if (!FControl || !Form || !Form->Visible()) return false;
    if (FGrid) {
        if (!Form->ContainsControl(FGrid)) return false;
        // The grid's editor: still shown, or opened again in the highlighted row.
        if (TGridCell* Cell = FGrid->EditorCell()) {
            TWinControl* Editor = Cell->GetEditOwner()->GetEditStyle() == CES_PickList
                                      ? static_cast<TWinControl*>(FGrid->FCellComboBox)
                                      : static_cast<TWinControl*>(FGrid->FCellEdit);
            if (!Editor->CanFocus()) return false;
            Editor->SetFocus();
            return true;
        }
        return FGrid->FocusSelectedRow(FCol) && FGrid->EditorCell();
    }
    if (!Form->ContainsControl(FControl) || !FControl->CanFocus()) return false;
    FControl->SetFocus();
    return true;
}

void TTypingPlace::GiveBackCaret() const
{
    if (FSelStart < 0) return;
    auto* Edit = dynamic_cast<TEdit*>(FGrid ? static_cast<TWinControl*>(FGrid->FCellEdit) : FControl);
    if (!Edit || !Edit->Focused()) return;
    Edit->SetSelStart(FSelStart);
    if (FSelLength > 0) Edit->SetSelLength(FSelLength);
}
