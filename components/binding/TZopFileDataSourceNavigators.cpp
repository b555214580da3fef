#include "components/ExactClass.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/navigator/TZopFileDBNavigator.h"
#include "framework/core/TStrings.h"
#include "interface/ServerCall.h"

void TZopFileDataSource::AddNewDBNavigator(TZopFileDBNavigator* Navigator)
{
    AddControl(Navigator);
}

void TZopFileDataSource::RemoveDBNavigator(TZopFileDBNavigator* Navigator)
{
    RemoveControl(Navigator);
}

void TZopFileDataSource::RefreshNavigator()
{
    if (!FDataSet) return;
    IFileDataSet* S = Server();
    const int Count = FCtrlList->Count();
    for (int I = 0; I < Count; ++I) {
        TZopFileDBNavigator* Nav = ExactlyA<TZopFileDBNavigator>(FCtrlList->Objects(I));
        if (!Nav) continue;
        // Each test asks the state again; a state other than the four leaves the buttons.
        if (StateIs(S, "InActive")) Nav->EnableButtons(false, false, false, false, false, false, false, false, false, false);
        if (StateIs(S, "Browse")) {
            if (AskBool(S, &IFileDataSet::GetDataReadOnly))
                Nav->EnableButtons(true, true, true, true, false, false, false, true, false, false);
            else if (AskBool(S, &IFileDataSet::GetBof))
                Nav->EnableButtons(false, true, true, true, true, true, true, true, false, false);
            else if (AskBool(S, &IFileDataSet::GetEof))
                Nav->EnableButtons(true, true, true, false, true, true, true, true, false, false);
            else
                Nav->EnableButtons(true, true, true, true, true, true, true, true, false, false);
        }
        if (StateIs(S, "Insert")) Nav->EnableButtons(false, false, false, false, false, false, false, false, true, true);
        if (StateIs(S, "Edit")) Nav->EnableButtons(false, false, false, false, false, false, false, false, true, true);
    }
}
