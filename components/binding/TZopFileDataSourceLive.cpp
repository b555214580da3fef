// The data source's part in the live view (TLiveView.h): whether the user holds typed text
// that others' commits must wait for, and the commits shown through the same paths as after
// the dataset's own operations, with the user's focus, caret and selection kept. The grids'
// pages across the commits: TZopFileDataSourceGrids.cpp.
#include <utility>
#include <vector>

#include "components/ExactClass.h"
#include "components/binding/TTypingPlace.h"
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/TStrings.h"
#include "framework/ui/TForm.h"

bool TZopFileDataSource::HoldsTypedText() const
{
    const int Count = FCtrlList->Count();
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FCtrlList->Objects(I);
        if (const TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control)) {
            if (Edit->HoldsTypedText()) return true;
        } else if (const TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Control)) {
            if (Grid->HoldsTypedText()) return true;
        }
    }
    return false;
}

void TZopFileDataSource::ShowOthersCommits(const std::vector<int>& Before, const std::vector<int>& After)
{
    if (!FDataSet) return;
    // Where the user is on each form of the bound controls: the grids' pages are laid out
    // again (which hides their editors) and the edits get new texts (which moves their carets).
    std::vector<std::pair<TForm*, TTypingPlace>> Places;
    const int Count = FCtrlList->Count();
    for (int I = 0; I < Count; ++I) {
        auto* Control = dynamic_cast<TControl*>(FCtrlList->Objects(I));
        TForm* Form = Control ? GetParentForm(Control) : nullptr;
        bool Known = !Form;
        for (const auto& Place : Places) Known = Known || Place.first == Form;
        if (!Known) Places.emplace_back(Form, TTypingPlace::Of(Form));
    }
    // As after a state change and a data change of the dataset's own.
    RefreshDBGridParamsWhenOthersCommitted(Before, After);
    RefreshNavigator();
    RefreshDBGrid();
    PostDisplayData();
    for (const auto& [Form, Place] : Places)
        if (Place.GiveBack(Form)) Place.GiveBackCaret();
}
