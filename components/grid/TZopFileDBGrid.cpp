#include "components/grid/TZopFileDBGrid.h"

#include <cstdlib>

#include "components/FocusFrameColor.h"
#include "components/binding/TTypingClock.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "framework/core/Invariants.h"
#include "framework/core/TextUtils.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/PublishHelper.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TCanvas.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TFont.h"
#include "framework/ui/TMenus.h"
#include "interface/ServerCall.h"
#include "interface/ZopFieldType.h"

namespace {

constexpr int TitleTextMargin = 8;  // a generated column is as wide as its title plus this

// The tick at which a cell of the collected row was typed into; 0 when it was not.
std::uint64_t CellTypedAt(const TGridCell* Cell)
{
    return Cell->FIsModify ? Cell->TypedAt() : 0;
}

// Clears a flag when the scope ends, also when it ends by an exception.
class TFlagScope {
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

}  // namespace

const TClassInfo* TZopFileDBGrid::StaticClassInfo()
{
    static const TClassInfo Info = [] {
        auto B = TClassBuilder<TZopFileDBGrid, TScrollingWinControl>("TZopFileDBGrid");
        ui_detail::PublishAll(B, {"Align", "Font", "Color", "TabStop", "TabOrder"});
        return B.Property("DataSource", &TZopFileDBGrid::GetDataSource, &TZopFileDBGrid::SetFDataSource)
            .Property("Columns", &TZopFileDBGrid::GetColumns)
            .Property("IsReadOnly", &TZopFileDBGrid::GetIsReadOnly, &TZopFileDBGrid::SetFReadOnly)
            .Default(false)
            .Property("RecordFocusColor", &TZopFileDBGrid::GetRecordFocusColor, &TZopFileDBGrid::SetFRecordFocusColor)
            .Default(TColor(0x92FAED))
            .Property("KeyFieldColor", &TZopFileDBGrid::GetKeyFieldColor, &TZopFileDBGrid::SetFKeyFieldColor)
            .Default(TColor(0x78E7D9))
            .Property("PopUpMenu", &TZopFileDBGrid::GetPopUpMenu, &TZopFileDBGrid::SetFPopupMenu)
            .Property("OnGridPopUpMenuClick", &TZopFileDBGrid::GetOnGridPopUpMenuClick,
                      &TZopFileDBGrid::SetOnGridPopUpMenuClick)
            .Build();
    }();
    return &Info;
}

TZopFileDBGrid::TZopFileDBGrid(TComponent* Owner) : TScrollingWinControl(Owner)
{
    SetDefaultTabStop(false);
    SetColorDefaults(TColor(0xC0C0C0), false);
    SetInitialBounds(Left(), Top(), 460, 310);
    FColumns = new TGridColumns(this, TColumnItem::StaticClassInfo());
    FColumns->FGrid = this;
    FFirstColumnLeft = 1;
    FRowCount = 0;
    FRecordFocusColor = TColor(0x92FAED);
    FKeyFieldColor = TColor(0x78E7D9);
    FCellEdit = new TEdit(nullptr);
    FCellEdit->SetImeName(AnsiString());
    FCellComboBox = new TComboBox(nullptr);
    FCellComboBox->SetImeName(AnsiString());
    FCellEdit->SetFocusFrame(FocusFrameColor);
    FCellComboBox->SetFocusFrame(FocusFrameColor);
    FCellButton = new TButton(nullptr);
    FCellButton->Font()->SetName("MS Sans Serif");
    FCellButton->Font()->SetStyle(TFontStyles{});
    FCellButton->Font()->SetSize(4);
    FCellButton->SetCaption("...");
    FSelectedRow = -1;
    FIsReadOnly = false;
}

TZopFileDBGrid::~TZopFileDBGrid()
{
    FSelectedCell = nullptr;
    // The editors are forgotten before they go: a dying editor notifies the grid, which must
    // not reach it (nor the others) any more.
    const std::array<TWinControl*, 3> Editors = SharedEditors();
    FCellEdit = nullptr;
    FCellComboBox = nullptr;
    FCellButton = nullptr;
    for (TWinControl* Editor : Editors) Editor->Free();
    delete FColumns;
    FColumns = nullptr;
}

void TZopFileDBGrid::Notification(TComponent* Component, TOperation Operation)
{
    TScrollingWinControl::Notification(Component, Operation);
    if (Operation != opRemove) return;
    if (Component == FDataSource) FDataSource = nullptr;
    const bool MenuGone = Component == FPopUpMenu;
    if (MenuGone) FPopUpMenu = nullptr;
    if (!FCellEdit) return;  // the editors are going with the grid
    if (MenuGone)
        for (TWinControl* Editor : SharedEditors()) Editor->SetPopupMenu(nullptr);
    for (TWinControl* Editor : SharedEditors()) {
        if (Editor->Parent() && Editor->Parent() == Component) {
            Editor->Hide();
            Editor->SetParent(nullptr);
        }
    }
}

IFileDataSet* TZopFileDBGrid::Server() const
{
    if (!FDataSource || !FDataSource->GetDataSet()) return nullptr;
    return FDataSource->GetDataSet()->FileDataSet();
}

void TZopFileDBGrid::SetFDataSource(TZopFileDataSource* Value)
{
    if (Value == FDataSource && !ComponentState().Contains(csLoading)) return;
    if (FDataSource) {
        FDataSource->RemoveDBGrid(this);
        if (ComponentState().Contains(csDesigning)) {
            // The columns of the old dataset go; the new one's fields make new ones.
            for (int I = 0; I < FColumns->GetCount(); ++I) FColumns->GeTColumnItem(I)->DeleteDataCell();
            while (FColumns->GetCount() > 0) FColumns->Delete(0);
        }
    }
    FDataSource = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    RefreshWithDataSource();
}

void TZopFileDBGrid::SetFPopupMenu(TPopupMenu* Value)
{
    FPopUpMenu = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    TMenuItem* Items = Value->Items();
    for (int I = 0; I < Items->Count(); ++I) Items->Items(I)->OnClick = TNotifyEvent(this, &TZopFileDBGrid::RunPopUpMenuClick);
    FCellEdit->SetPopupMenu(Value);
    FCellComboBox->SetPopupMenu(Value);
    FCellButton->SetPopupMenu(Value);
}

TColumnItem* TZopFileDBGrid::ColumnByTitle(const AnsiString& Text) const
{
    for (int I = 0; I < FColumns->GetCount(); ++I)
        if (FColumns->GeTColumnItem(I)->GetTitle() == Text) return FColumns->GeTColumnItem(I);
    return nullptr;
}

void TZopFileDBGrid::RefreshWithDataSource()
{
    if (FRefreshing || !FDataSource) return;
    TFlagScope Refreshing(FRefreshing);
    bool WasActive = false;
    bool ActivatedHere = false;
    FPageUpPending = false;
    FPageDownPending = false;
    FDataSource->AddNewDBGrid(this);
    TZopFileDataSet* DataSet = FDataSource->GetDataSet();
    if (!DataSet || !DataSet->FileDataSet()) return;
    IFileDataSet* S = DataSet->FileDataSet();
    if (!AskBool(S, &IFileDataSet::GetActive)) {
        // A dataset that is still being loaded is not opened from here: it would only be
        // marked to open when its form has loaded, whether or not its form asked for that.
        const bool Loading = DataSet->ComponentState().Contains(csLoading);
        if (!Loading && !DataSet->GetAccessFile().empty() && !DataSet->GetAccessUser().empty()) {
            // The grid opens the dataset only to read its fields; a dataset that cannot be
            // opened leaves the grid without generated columns, and says nothing.
            try {
                DataSet->SetFActive(true);
                ActivatedHere = true;
            } catch (...) {
            }
        }
    } else {
        WasActive = true;
    }
    if (!AskBool(S, &IFileDataSet::GetActive)) return;
    if (FColumns->GetCount() == 0) GenerateColumns();
    if (WasActive) SetFRowCount(PageRows);
    if (ActivatedHere)
        DataSet->SetFActive(false);
    else if (WasActive)
        FDataSource->PostDisplayData();
}

void TZopFileDBGrid::GenerateColumns()
{
    IFileDataSet* S = Server();
    const int Count = AskInt(S, &IFileDataSet::GetFieldCount);
    for (int I = 0; I < Count; ++I) {
        const AnsiString Name = AskText(S, &IFileDataSet::GetFieldName, OleVariant(I));
        TColumnItem* Column = FColumns->Add();
        if (AskBool(S, &IFileDataSet::IsKeyField, OleVariant(Name))) {
            Column->SetFColumnColor(FKeyFieldColor);
            Column->SetFUseColumnColor(true);
        }
        if (Trim(Column->GetTitle()).empty()) Column->SetFTitle(Name);
        Column->SetDataField(Name);
        // Numbers line up on their last digit, amounts on their decimal point.
        if (ReadFieldType(AskText(S, &IFileDataSet::GetFieldType, OleVariant(Name))).IsNumeric())
            Column->SetFColumnAlign(CA_Right);
        const int Size = AskInt(S, &IFileDataSet::GetFieldSize, OleVariant(Column->GetDataField()));
        TGridCell* Title = Column->FTitleCell;
        TCanvas* Canvas = Title->Canvas();
        const int TitleWidth = Canvas->TextWidth(Column->GetTitle());
        const int FieldWidth = Canvas->TextWidth("A") * Size;
        Title->SetWidth(TitleWidth > FieldWidth ? TitleWidth + TitleTextMargin : FieldWidth);
        Column->ColumnTitleFixColumnWidth(Title->Width());
    }
}

int TZopFileDBGrid::GetFRowCount() const
{
    if (FColumns->GetCount() == 0) return 0;
    return FColumns->GeTColumnItem(0)->DataCellCount();
}

void TZopFileDBGrid::SetFRowCount(int N)
{
    const int Old = GetFRowCount();
    if (N == Old) return;
    for (int I = N; I < Old; ++I) DeleteRecordCells();
    for (int I = Old; I < N; ++I) AddNewRecordCells();
    FRowCount = N;
    for (int K = 0; K < FColumns->GetCount(); ++K) {
        TColumnItem* Column = FColumns->GeTColumnItem(K);
        for (int R = 0; R < N && R < Column->DataCellCount(); ++R) Column->GetDataCell(R)->ClearCellData();
    }
    ZFD_CHECK_INVARIANTS(*this);
}

void TZopFileDBGrid::AddNewRecordCells()
{
    for (int K = 0; K < FColumns->GetCount(); ++K) FColumns->GeTColumnItem(K)->AddNewDataCell();
    ZFD_CHECK_INVARIANTS(*this);
}

void TZopFileDBGrid::DeleteRecordCells()
{
    if (GetFRowCount() == 0) return;
    for (int K = 0; K < FColumns->GetCount(); ++K) FColumns->GeTColumnItem(K)->DeleteDataCell();
    ZFD_CHECK_INVARIANTS(*this);
}

void TZopFileDBGrid::ClearInsertRow()
{
    for (int K = 0; K < FColumns->GetCount(); ++K)
        if (TGridCell* Cell = FColumns->GetDataCell(K, 0)) Cell->ClearCellData();
}

void TZopFileDBGrid::RepaintSelectedRowCells(int Row)
{
    if (Row < 0 || Row > GetFRowCount() - 1) return;
    for (int K = 0; K < FColumns->GetCount(); ++K)
        if (TGridCell* Cell = FColumns->GetDataCell(K, Row)) Cell->Invalidate();
}

int TZopFileDBGrid::GetCurrentRecordInWhichRow() const
{
    IFileDataSet* S = Server();
    if (!S) return -1;
    const int Rows = GetFRowCount();
    for (int R = 0; R < Rows; ++R) {
        const TGridCell* Cell = FColumns->GetDataCell(0, R);
        const int Pos = Cell->FRecordPos == -1 ? Cell->FFilterPos : Cell->FRecordPos;
        if (Pos == AskInt(S, &IFileDataSet::GetRecNo)) return R;
    }
    return -1;
}

bool TZopFileDBGrid::IsThisRowDataIsDifferentWithFieldData(int Row) const
{
    if (Row < 0 || Row > PageRows - 1) return false;
    IFileDataSet* S = Server();
    if (!S || !AskBool(S, &IFileDataSet::GetActive)) return false;
    for (int K = 0; K < FColumns->GetCount(); ++K) {
        TGridCell* Cell = FColumns->GetDataCell(K, Row);
        if (!Cell || !Cell->GetEditOwner()) continue;
        const AnsiString& Field = Cell->GetEditOwner()->GetDataField();
        if (Trim(Field).empty()) continue;
        if (AskText(S, &IFileDataSet::GetFieldValue, OleVariant(Field)) != Cell->GetAsString()) return true;
    }
    return false;
}

void TZopFileDBGrid::ResetGridScrollView()
{
    if (FColumns->GetCount() == 0) return;
    TGridCell* First = FColumns->GetDataCell(0, 0);
    if (!First) return;
    ScrollInView(First);
    // Back to the leftmost position: the first cell returns to FFirstColumnLeft. A cell that
    // is there already, or right of it, needs no scrolling at all.
    if (First->Left() < FFirstColumnLeft) ScrollBy(FFirstColumnLeft - First->Left(), 0);
}

void TZopFileDBGrid::SetDBGridMoveDataCursor()
{
    FGridMovesCursor = true;
    FNavigatorMovesCursor = false;
    ZFD_CHECK_INVARIANTS(*this);
}

void TZopFileDBGrid::SetNavigatorMoveDataCursor(bool ResetTop)
{
    FGridMovesCursor = false;
    FNavigatorMovesCursor = true;
    if (ResetTop)
        if (IFileDataSet* S = Server())
            if (!StateIs(S, "Edit")) FTopDataPos = -1;
    ZFD_CHECK_INVARIANTS(*this);
}

AnsiString TZopFileDBGrid::CheckInvariants() const
{
    const int Rows = GetFRowCount();
    if (Rows > PageRows + 1)
        return Name() + " has " + IntToStr(Rows) + " rows, more than a page and the insert row";
    for (int K = 0; K < FColumns->GetCount(); ++K) {
        const TColumnItem* Column = FColumns->GeTColumnItem(K);
        if (Column->DataCellCount() != Rows)
            return Name() + ": column " + IntToStr(K) + " has " + IntToStr(Column->DataCellCount()) +
                   " data cells, column 0 has " + IntToStr(Rows);
        for (int R = 0; R < Rows; ++R)
            if (Column->GetDataCell(R)->GetRow() != R)
                return Name() + ": the data cell " + IntToStr(R) + " of column " + IntToStr(K) + " is in row " +
                       IntToStr(Column->GetDataCell(R)->GetRow());
    }
    if (FTopDataPos != -1 && FTopDataPos < 1)
        return Name() + ": FTopDataPos is " + IntToStr(FTopDataPos) + ", neither -1 nor a record number";
    if (FGridMovesCursor && FNavigatorMovesCursor) return Name() + ": both the grid and a navigator moved the cursor last";
    if (FPageUpPending && FPageDownPending) return Name() + ": the page is to shift both up and down";
    if (FSelectedCell && !IsDataCell(FSelectedCell)) return Name() + ": FSelectedCell is not one of its data cells";
    for (const TWinControl* Editor : SharedEditors())
        if (Editor && Editor->Parent() && !IsDataCell(Editor->Parent()))
            return Name() + ": a shared editor is inside " + Editor->Parent()->Name() + ", not one of its data cells";
    return AnsiString();
}

bool TZopFileDBGrid::IsDataCell(const TControl* Control) const
{
    for (int K = 0; K < FColumns->GetCount(); ++K) {
        const TColumnItem* Column = FColumns->GeTColumnItem(K);
        for (int R = 0; R < Column->DataCellCount(); ++R)
            if (Column->GetDataCell(R) == Control) return true;
    }
    return false;
}

void TZopFileDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TScrollingWinControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbRight || !FPopUpMenu) return;
    // At the pointer, wherever the grid sits inside its form.
    const TPoint At = ClientToScreen(TPoint{X, Y});
    FPopUpMenu->Popup(At.X, At.Y);
}

void TZopFileDBGrid::RunPopUpMenuClick(TObject* Sender)
{
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!Item || !FOnGridPopUpMenuClick) return;
    FOnGridPopUpMenuClick(Item, Item->Caption());
}

std::array<TWinControl*, 3> TZopFileDBGrid::SharedEditors() const
{
    return {FCellButton, FCellEdit, FCellComboBox};
}

void TZopFileDBGrid::DetachSharedEditors()
{
    for (TWinControl* Editor : SharedEditors()) Editor->SetParent(nullptr);
}

void TZopFileDBGrid::ForgetCell(TGridCell* Cell)
{
    if (FSelectedCell == Cell) FSelectedCell = nullptr;
    if (!FCellEdit) return;  // the grid itself is going
    // An editor left in the cell would go with it; handlers bound to it would outlive it.
    for (TWinControl* Editor : SharedEditors()) {
        if (Editor->Parent() == Cell) {
            Editor->Hide();
            Editor->SetParent(nullptr);
        }
        if (Editor->OnKeyDown.Data() == Cell) Editor->OnKeyDown = nullptr;
        if (Editor->OnKeyPress.Data() == Cell) Editor->OnKeyPress = nullptr;
    }
    if (FCellComboBox->OnChange.Data() == Cell) FCellComboBox->OnChange = nullptr;
    if (FCellEdit->OnChange.Data() == Cell) FCellEdit->OnChange = nullptr;
    if (FCellButton->OnClick.Data() == Cell) FCellButton->OnClick = nullptr;
}

TGridCell* TZopFileDBGrid::EditorCell() const
{
    for (TWinControl* Editor : {static_cast<TWinControl*>(FCellEdit), static_cast<TWinControl*>(FCellComboBox)}) {
        auto* Cell = dynamic_cast<TGridCell*>(Editor->Parent());
        if (Editor->Visible() && Cell && Cell->Grid() == this) return Cell;
    }
    return nullptr;
}

void TZopFileDBGrid::TakeEditorText()
{
    TGridCell* Cell = EditorCell();
    if (!Cell) return;
    // Text the user typed into the edit box counts as a change of the cell even when no key
    // handler marked it.
    if (Cell->GetEditOwner()->GetEditStyle() != CES_PickList && FCellEdit->Modified()) Cell->SetFIsModify(true);
    Cell->InitDataCellValue();
    // The cell holds the text now; what the user types from here on counts afresh.
    if (Cell->GetIsModify()) FCellEdit->SetModified(false);
}

void TZopFileDBGrid::KeepTypedText()
{
    TGridCell* Cell = EditorCell();
    if (!Cell || Cell->GetEditOwner()->GetEditStyle() == CES_PickList || !FCellEdit->Modified()) return;
    IFileDataSet* S = Server();
    if (!S || !(StateIs(S, "Edit") || StateIs(S, "Insert"))) return;
    Cell->SetFIsModify(true);
    Cell->InitDataCellValue();
    FCellEdit->SetModified(false);
}

int TZopFileDBGrid::PendingRow() const
{
    IFileDataSet* S = Server();
    if (!S) return -1;
    if (StateIs(S, "Insert")) return !FIsReadOnly && GetFRowCount() > 0 ? 0 : -1;
    if (!StateIs(S, "Edit")) return -1;
    return FSelectedRow >= 0 ? FSelectedRow : GetCurrentRecordInWhichRow();
}

void TZopFileDBGrid::NoteRowTyping(TLatestTyping& Latest)
{
    if (!HasRowToCollect()) return;
    TakeEditorText();
    for (int K = 0; K < FColumns->GetCount(); ++K)
        if (TGridCell* Cell = FColumns->GetDataCell(K, FSelectedRow))
            Latest.Note(FColumns->GeTColumnItem(K)->GetDataField(), CellTypedAt(Cell));
}

void TZopFileDBGrid::WriteGridRow(IFileDataSet* Server, bool Inserting, const TLatestTyping& Latest)
{
    if (!HasRowToCollect()) return;
    for (int K = 0; K < FColumns->GetCount(); ++K) {
        TColumnItem* Column = FColumns->GeTColumnItem(K);
        TGridCell* Cell = Column->GetDataCell(FSelectedRow);
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

void TZopFileDBGrid::ForgetRowToCollect()
{
    FSelectedRow = -1;
    const int Rows = GetFRowCount();
    for (int K = 0; K < FColumns->GetCount(); ++K)
        for (int R = 0; R < Rows; ++R)
            if (TGridCell* Cell = FColumns->GetDataCell(K, R)) Cell->SetFIsModify(false);
}

bool TZopFileDBGrid::HoldsTypedText() const
{
    const TGridCell* Editor = EditorCell();
    if (Editor && Editor->GetEditOwner()->GetEditStyle() != CES_PickList && FCellEdit->Modified()) return true;
    if (!HasRowToCollect()) return false;
    for (int K = 0; K < FColumns->GetCount(); ++K)
        if (const TGridCell* Cell = FColumns->GetDataCell(K, FSelectedRow); Cell && CellTypedAt(Cell) != 0) return true;
    return false;
}

bool TZopFileDBGrid::FocusSelectedRow(int Col)
{
    if (!FSelectedCell || GetCurrentRecordInWhichRow() != FSelectedCell->GetRow()) return false;
    TGridCell* Target = FColumns->GetDataCell(Col, FSelectedCell->GetRow());
    if (!Target) Target = FColumns->GetDataCell(0, FSelectedCell->GetRow());
    if (!Target) return false;
    Target->DataCellSetFocus(true);
    return true;
}

bool TZopFileDBGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos)
{
    if (TScrollingWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    if (GetFRowCount() == 0) return false;
    // A notch is 120; finer wheels add up until they make one.
    FWheelRest += WheelDelta;
    const int Notches = FWheelRest / 120;
    FWheelRest %= 120;
    for (int I = 0; I < std::abs(Notches); ++I) {
        // From the highlighted row, in the column of the editor when there is one.
        TGridCell* Selected = FSelectedCell ? FSelectedCell : FColumns->GetDataCell(0, 0);
        if (!Selected) break;
        const TGridCell* Editor = EditorCell();
        TGridCell* From = FColumns->GetDataCell(Editor ? Editor->GetCol() : Selected->GetCol(), Selected->GetRow());
        if (!From) From = Selected;
        WORD Key = Notches < 0 ? VK_DOWN : VK_UP;
        From->KeyDown(Key, TShiftState{});
    }
    return true;
}
