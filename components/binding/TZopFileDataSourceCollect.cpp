// The data source's collection of its bound controls into the record: when the server asks
// the dataset for the bound controls' values (at Post), the dataset has its data source write
// the bound edits' texts, and each grid its row being typed into, with SetFieldValue.
//
// On insert every value that is not blank is written, key fields included; on edit only what
// the user changed, blanks included (clearing an edit clears the field), never a key field.
// Where a bound edit and a grid cell of one field were both typed into, only the one typed
// into last is written (the typing clock orders the changes).
#include "components/ExactClass.h"
#include "components/binding/TTypingClock.h"
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "interface/ServerCall.h"

namespace {

// The tick at which a bound edit was typed into; 0 when its text is not the user's.
std::uint64_t EditTypedAt(const TZopFileDBEdit* Edit)
{
    return Edit->HoldsTypedText() ? Edit->TypedAt() : 0;
}

}  // namespace

void TZopFileDataSource::WriteBoundControls()
{
    if (!FDataSet) return;
    // The walks take the number of entries once, before the state is asked.
    const int Count = FCtrlList->Count();
    IFileDataSet* S = Server();
    if (StateIs(S, "Insert")) WriteControls(Count, true);
    if (StateIs(S, "Edit")) WriteControls(Count, false);
}

TLatestTyping TZopFileDataSource::LatestTyping(int Count) const
{
    TLatestTyping Latest;
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control))
            Latest.Note(Edit->GetDataField(), EditTypedAt(Edit));
        else if (TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Control))
            Grid->NoteRowTyping(Latest);
    }
    return Latest;
}

void TZopFileDataSource::WriteControls(int Count, bool Inserting)
{
    const TLatestTyping Latest = LatestTyping(Count);
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control))
            WriteEdit(Edit, Inserting, Latest);
        else if (TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Control))
            Grid->WriteGridRow(Server(), Inserting, Latest);
    }
}

void TZopFileDataSource::WriteEdit(TZopFileDBEdit* Edit, bool Inserting, const TLatestTyping& Latest)
{
    const AnsiString Field = Edit->GetDataField();
    AnsiString Text = Edit->Text();
    if (Trim(Field).empty()) return;
    // On edit an edit that still shows the stored value writes nothing, so it cannot
    // overwrite what was typed into a grid.
    if (Inserting ? Trim(Text).empty() : !Edit->Modified()) return;
    if (!Latest.Wins(Field, EditTypedAt(Edit))) return;
    IFileDataSet* S = Server();
    AnsiString Old;  // empty for a new record
    if (!Inserting) {
        if (AskBool(S, &IFileDataSet::IsKeyField, OleVariant(Field))) return;
        Old = AskText(S, &IFileDataSet::GetFieldValue, OleVariant(Field));
    }
    // The handler may change what is written; the edit keeps its own text.
    if (Edit->OnBeforeSetData) Edit->OnBeforeSetData(Edit, Old, Text);
    Check(S->SetFieldValue(OleVariant(Field), OleVariant(Text)));
    if (Edit->OnAfterSetData) Edit->OnAfterSetData(Edit, Text);
}
