#include "components/dataset/TZopFileDataSet.h"

#include "com/ComObj.h"
#include "components/ExactClass.h"
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/TypeInfo.h"
#include "framework/core/UpdateBracket.h"
#include "interface/ServerCall.h"

namespace {

// The grids whose current row the dataset collects: exactly of the grid's class, not
// read-only, with a row to collect.
TZopFileDBGrid* CollectedGrid(TObject* Control)
{
    TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Control);
    return Grid && !Grid->GetIsReadOnly() && Grid->FSelectedRow >= 0 ? Grid : nullptr;
}

// The tick at which a cell of the collected row was typed into; 0 when it was not.
std::uint64_t CellTypedAt(const TGridCell* Cell)
{
    return Cell->FIsModify ? Cell->TypedAt() : 0;
}

// The tick at which a bound edit was typed into; 0 when its text is not the user's.
std::uint64_t EditTypedAt(const TZopFileDBEdit* Edit)
{
    return Edit->Modified() ? Edit->TypedAt() : 0;
}

// Writes the grid's current row into the record. On insert every non-blank cell is
// written, key fields included; on edit only the cells that were changed, blanks included,
// never a key field. A cell whose field another control was typed into later is left out:
// the value typed last wins.
void WriteGridRow(IFileDataSet* Server, TZopFileDBGrid* Grid, bool Inserting, const TLatestTyping& Latest)
{
    TGridColumns* Columns = Grid->GetColumns();
    for (int K = 0; K < Columns->GetCount(); ++K) {
        TColumnItem* Column = Columns->GeTColumnItem(K);
        TGridCell* Cell = Column->GetDataCell(Grid->FSelectedRow);
        if (!Cell) continue;  // the row went away since it was focused
        const AnsiString Field = Column->GetDataField();
        if (Inserting) {
            if (Trim(Field).empty() || Trim(Cell->GetAsString()).empty()) continue;
        } else {
            if (!Cell->FIsModify || Trim(Field).empty()) continue;
        }
        if (!Latest.Wins(Field, CellTypedAt(Cell))) continue;
        if (!Inserting && AskBool(Server, &IFileDataSet::IsKeyField, OleVariant(Field))) continue;
        Check(Server->SetFieldValue(OleVariant(Field), OleVariant(Cell->GetAsString())));
    }
}

}  // namespace

const TClassInfo* TZopFileDataSet::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TZopFileDataSet, TComponent>("TZopFileDataSet")
            .Property("AccessFile", &TZopFileDataSet::GetAccessFile, &TZopFileDataSet::SetFAccessFileName)
            .Property("AccessUser", &TZopFileDataSet::GetAccessUser, &TZopFileDataSet::SetFAccessUserName)
            .Property("SchemaFileName", &TZopFileDataSet::GetSchemaFileName, &TZopFileDataSet::setFSchemaFileName)
            .Property("Active", &TZopFileDataSet::GetActive, &TZopFileDataSet::SetFActive)
            .Default(false)
            .Property("DataReadOnly", &TZopFileDataSet::GetDataReadOnly, &TZopFileDataSet::SetFReadOnly)
            .Property("FilterCommand", &TZopFileDataSet::GetFFilterCommand, &TZopFileDataSet::SetFFilterCommand)
            .Property("DBMethods", &TZopFileDataSet::GetDBMethods)
            .Build();
    return &Info;
}

TZopFileDataSet::TZopFileDataSet(TComponent* Owner)
    : TComponent((CoInitialize(), Owner))  // COM first, for this thread; never undone
{
    FDataSet = CoFileDataSet::Create();
    FFilterCommand = new TStringList;
    FDataSet->SetOnAfterDataChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterDataChange));
    FDataSet->SetOnInitDataControlData(
        TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoInitDataControlData));
    FDataSet->SetOnAfterDBStateChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterDBStateChange));
    FDataSet->SetOnAfterFilterChange(TAfterRecDataSetDataChangeEvent(this, &TZopFileDataSet::DoAfterFilterChange));
    FDBMethods = new TDbMethods(this, TDbProcItem::StaticClassInfo());
    Check(FDataSet->SetStartOptionA(false));
    Check(FDataSet->SetStartOptionB(false));
}

TZopFileDataSet::~TZopFileDataSet()
{
    // The server object may outlive this reference (anyone may hold another): it must not
    // call back into this object or read the methods collection once they are gone.
    ClearServerHandlers();
    FDataSet.Reset();
    FFilterCommand->Clear();
    delete FFilterCommand;
    FFilterCommand = nullptr;
    delete FDBMethods;
    FDBMethods = nullptr;
}

void TZopFileDataSet::ClearServerHandlers()
{
    if (!FDataSet) return;
    FDataSet->SetOnAfterDataChange(nullptr);
    FDataSet->SetOnInitDataControlData(nullptr);
    FDataSet->SetOnAfterDBStateChange(nullptr);
    FDataSet->SetOnAfterFilterChange(nullptr);
    FDataSet->SetDBMethods(nullptr);
}

void TZopFileDataSet::SetFDataSet(const TComInterface<IFileDataSet>& Value)
{
    if (Value.get() != FDataSet.get()) ClearServerHandlers();
    FDataSet = Value;
}

void TZopFileDataSet::SetFAccessFileName(const AnsiString& Value)
{
    FAccessFileName = Value;
    if (FDataSet) Check(FDataSet->SetAccessFile(OleVariant(Value)));
}

void TZopFileDataSet::SetFAccessUserName(const AnsiString& Value)
{
    FAccessUserName = Value;
    if (FDataSet) Check(FDataSet->SetAccessUser(OleVariant(Value)));
}

void TZopFileDataSet::setFSchemaFileName(const AnsiString& Value)
{
    FSchemaFileName = Value;
    if (FDataSet) Check(FDataSet->SetSchemaFileName(OleVariant(Value)));
}

void TZopFileDataSet::SetFReadOnly(bool Value)
{
    // The server takes the switch only while closed; otherwise nothing changes.
    if (!FDataSet || FActive) return;
    FReadOnly = Value;
    Check(FDataSet->SetDataReadOnly(OleVariant(Value)));
}

void TZopFileDataSet::SetFFilterCommand(TStringList* Value)
{
    WithinUpdate(*FFilterCommand, [&] { FFilterCommand->Assign(Value); });
}

void TZopFileDataSet::SetFActive(bool Value)
{
    FActivePending = false;
    if (!FDataSet) return;
    if (!Value) {
        Check(FDataSet->Close());
        FActive = false;
        if (FDataSource) {
            FDataSource->PostDisplayData();
            FDataSource->RefreshDBGridParamsWhenDataFilterChanged();
        }
        return;
    }
    if (ComponentState().Contains(csLoading)) {
        // Opened when the next component of the form is created (see Notification).
        FActivePending = true;
        return;
    }
    if (!OpenServer()) return;
    if (AskInt(FileDataSet(), &IFileDataSet::GetRecordCount) > 0) {
        if (FDataSource) FDataSource->PostDisplayData();
    } else if (FDataSource) {
        FDataSource->RefreshNavigator();
        FDataSource->RefreshDBGrid();
    }
}

bool TZopFileDataSet::OpenServer()
{
    IFileDataSet* Server = FileDataSet();
    Ask(Server, &IFileDataSet::Open);
    Server->SetDBMethods(FDBMethods);
    if (!AskBool(Server, &IFileDataSet::GetActive)) {
        FActive = false;
        return false;
    }
    FActive = true;
    if (FFilterCommand->Count() > 0) SendFilterLines();
    if (AskText(Server, &IFileDataSet::GetAccessUser) == "Explorer")
        Check(Server->SetExplorerFile(OleVariant(FAccessFileName)));
    return true;
}

void TZopFileDataSet::SendFilterLines()
{
    // Lines go as stored, blank ones included: the server ignores what it cannot use.
    IFileDataSet* Server = FileDataSet();
    Check(Server->SetFiltered(OleVariant(false)));
    Check(Server->ClearFilterCommand());
    for (int I = 0; I < FFilterCommand->Count(); ++I)
        Ask(Server, &IFileDataSet::AddFilterCommand, OleVariant(FFilterCommand->Strings(I)));
    Check(Server->SetFiltered(OleVariant(true)));
}

void TZopFileDataSet::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    // A dataset streamed with Active = True opens as soon as the next component of its form
    // is created. FFilterCommand does not exist yet while the constructor runs (the owner
    // reports this component's own insertion to it).
    if (Operation != opInsert || !ComponentState().Contains(csLoading) || !FFilterCommand || !FActivePending)
        return;
    // The opening runs inside another component's construction; its error names this one.
    NamingThisDataSet([&] {
        if (AskBool(FileDataSet(), &IFileDataSet::GetActive)) return;
        if (!OpenServer()) return;
        if (AskInt(FileDataSet(), &IFileDataSet::GetRecordCount) > 0 && FDataSource) FDataSource->PostDisplayData();
    });
}

void TZopFileDataSet::Loaded()
{
    TComponent::Loaded();
    // A dataset streamed with Active = True that no later component of its form opened
    // (it is the last one) opens now that its form is complete.
    if (!FActivePending || !FDataSet) return;
    NamingThisDataSet([&] {
        if (!AskBool(FileDataSet(), &IFileDataSet::GetActive)) SetFActive(true);
    });
}

template <class F>
void TZopFileDataSet::NamingThisDataSet(F&& Fn)
{
    try {
        Fn();
    } catch (Exception& E) {
        E.SetMessage("The dataset " + Name() + " cannot be opened: " + E.Message());
        throw;
    }
}

void TZopFileDataSet::DoAfterDataChange()
{
    if (FDataSource) FDataSource->PostDisplayData();
}

void TZopFileDataSet::DoAfterDBStateChange()
{
    if (!FDataSource) return;
    FDataSource->RefreshNavigator();
    FDataSource->RefreshDBGrid();
}

void TZopFileDataSet::DoAfterFilterChange()
{
    if (FDataSource) FDataSource->RefreshDBGridParamsWhenDataFilterChanged();
}

void TZopFileDataSet::DoInitDataControlData()
{
    if (!FDataSource) return;
    const int Count = FDataSource->FCtrlList->Count();
    IFileDataSet* Server = FileDataSet();
    if (StateIs(Server, "Insert")) WriteEditsOnInsert(Count, LatestTyping(Count));
    if (StateIs(Server, "Edit")) WriteEditsOnEdit(Count, LatestTyping(Count));
}

TLatestTyping TZopFileDataSet::LatestTyping(int Count) const
{
    TLatestTyping Latest;
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FDataSource->FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control)) {
            Latest.Note(Edit->GetDataField(), EditTypedAt(Edit));
        } else if (TZopFileDBGrid* Grid = CollectedGrid(Control)) {
            // The text in the shared editor is taken into its cell first, so that nothing
            // typed is lost and the cell counts as typed into.
            Grid->TakeEditorText();
            TGridColumns* Columns = Grid->GetColumns();
            for (int K = 0; K < Columns->GetCount(); ++K)
                if (TGridCell* Cell = Columns->GetDataCell(K, Grid->FSelectedRow))
                    Latest.Note(Columns->GeTColumnItem(K)->GetDataField(), CellTypedAt(Cell));
        }
    }
    return Latest;
}

void TZopFileDataSet::WriteEditsOnInsert(int Count, const TLatestTyping& Latest)
{
    // A new record takes every value that is not blank, key fields included.
    IFileDataSet* Server = FileDataSet();
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FDataSource->FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control)) {
            AnsiString Field = Edit->GetDataField();
            AnsiString Text = Edit->Text();
            if (Trim(Field).empty() || Trim(Text).empty()) continue;
            if (!Latest.Wins(Field, EditTypedAt(Edit))) continue;
            if (Edit->OnBeforeSetData) Edit->OnBeforeSetData(Edit, AnsiString(), Text);
            Check(Server->SetFieldValue(OleVariant(Field), OleVariant(Text)));
            if (Edit->OnAfterSetData) Edit->OnAfterSetData(Edit, Text);
        } else if (TZopFileDBGrid* Grid = CollectedGrid(Control)) {
            WriteGridRow(Server, Grid, true, Latest);
        }
    }
}

void TZopFileDataSet::WriteEditsOnEdit(int Count, const TLatestTyping& Latest)
{
    // An edited record takes what the user changed in the bound edits, blanks included
    // (clearing an edit clears the field), but never a key field. An edit that still shows
    // the stored value writes nothing, so it cannot overwrite what was typed into a grid.
    IFileDataSet* Server = FileDataSet();
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FDataSource->FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control)) {
            AnsiString Field = Edit->GetDataField();
            if (Trim(Field).empty() || !Edit->Modified()) continue;
            if (!Latest.Wins(Field, EditTypedAt(Edit))) continue;
            if (AskBool(Server, &IFileDataSet::IsKeyField, OleVariant(Field))) continue;
            AnsiString Old = AskText(Server, &IFileDataSet::GetFieldValue, OleVariant(Field));
            AnsiString Text = Edit->Text();
            if (Edit->OnBeforeSetData) Edit->OnBeforeSetData(Edit, Old, Text);
            Check(Server->SetFieldValue(OleVariant(Field), OleVariant(Text)));
            if (Edit->OnAfterSetData) Edit->OnAfterSetData(Edit, Text);
        } else if (TZopFileDBGrid* Grid = CollectedGrid(Control)) {
            WriteGridRow(Server, Grid, false, Latest);
        }
    }
}
