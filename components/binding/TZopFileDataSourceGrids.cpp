// The data source's grid operations: the grids' structure (rows, insert row, editors)
// follows the dataset state, and their pages follow the cursor.
//
// Paging parameters of each grid, set here and consumed by the page refresh:
//
//   who moved the cursor      | set by                              | the next page refresh
//   --------------------------+-------------------------------------+----------------------------
//   nobody (no flag)          | -                                   | FTopDataPos >= 1: that page;
//                             |                                     | else current record at the bottom
//   the navigator             | RefreshDBGridParamsWithNavigator... | FTopDataPos -1: current record at
//                             |                                     | the bottom; else the page stays
//   the grid                  | ResetDBGridSelectCell, the cells    | FPageDownPending: current record
//                             |                                     | at the bottom; FPageUpPending: at
//                             |                                     | the top
//
// Whoever moved the cursor, the highlighted row follows the current record when it is on the
// page (while inserting, the insert row stays highlighted), and an insert that was posted has
// the next page refresh lay the page around the new record.
//
// Invariant: a grid without columns or rows is never reached through a missing cell.
#include <algorithm>
#include <map>
#include <vector>

#include "components/ExactClass.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/Invariants.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"

namespace {

// The rows of a page and the index of its last row.
constexpr int PageRows = TZopFileDBGrid::PageRows;
constexpr int LastPageRow = PageRows - 1;

// Runs Fn on every registered control whose class is exactly the grid's, taking the number
// of entries once; each grid's invariants hold when Fn is done with it.
template <class F>
void ForEachGrid(TStringList* Controls, F&& Fn)
{
    const int Count = Controls->Count();
    for (int I = 0; I < Count; ++I) {
        if (TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Controls->Objects(I))) {
            Fn(Grid);
            ZFD_CHECK_INVARIANTS(*Grid);
        }
    }
}

// Steps back from the current record so that it ends in the bottom row of the page.
void StepBack(IFileDataSet* Server, int Rows)
{
    for (int I = 0; I < Rows - 1; ++I) Ask(Server, &IFileDataSet::MovePrior);
}

int RecNo(IFileDataSet* Server)
{
    return AskInt(Server, &IFileDataSet::GetRecNo);
}

// Hides the grid's editors and cuts them from the cell and the handlers of the insert row
// that a cancelled insert takes away.
void DropInsertEditors(TZopFileDBGrid* Grid)
{
    TEdit* Edit = Grid->FCellEdit;
    Edit->Hide();
    Edit->SetParent(nullptr);
    Edit->OnKeyPress = nullptr;
    Edit->OnChange = nullptr;
    TComboBox* Combo = Grid->FCellComboBox;
    Combo->OnChange = nullptr;
    Combo->OnKeyPress = nullptr;
    Combo->Hide();
    Combo->SetParent(nullptr);
    TButton* Button = Grid->FCellButton;
    Button->SetParent(nullptr);
    Button->OnClick = nullptr;
    Button->Hide();
}

}  // namespace

void TZopFileDataSource::AddNewDBGrid(TZopFileDBGrid* Grid)
{
    AddControl(Grid);
}

void TZopFileDataSource::RemoveDBGrid(TZopFileDBGrid* Grid)
{
    RemoveControl(Grid);
}

void TZopFileDataSource::RefreshGridPage(TZopFileDBGrid* Grid)
{
    IFileDataSet* S = Server();
    if (!StateIs(S, "Insert")) {
        for (TWinControl* Editor : Grid->SharedEditors())
            if (Editor->Visible()) Editor->Hide();
    }
    TGridColumns* Columns = Grid->GetColumns();
    if (Columns->GetCount() == 0 || Grid->FRefreshDisabled) return;
    if (Grid->GetIsReadOnly() && StateIs(S, "Insert")) return;
    if (!AskBool(S, &IFileDataSet::GetActive)) {
        Grid->SetFRowCount(0);
        return;
    }
    const int Saved = RecNo(S);

    // Rows, by the number of records.
    const int Records = AskInt(S, &IFileDataSet::GetRecordCount);
    if (Records == 0) {
        if (StateIs(S, "Browse")) Grid->SetFRowCount(0);
    } else if (Records >= PageRows) {
        Grid->SetFRowCount(PageRows);
        if (StateIs(S, "Insert")) Columns->GetDataCell(0, 0)->DataCellSetFocus(false);
    } else if (StateIs(S, "Browse") && AskInt(S, &IFileDataSet::GetRecordCount) != Grid->GetFRowCount()) {
        const int Count = AskInt(S, &IFileDataSet::GetRecordCount);
        if (Grid->FSelectedCell && Grid->FSelectedCell->GetRow() >= Count) Grid->FSelectedCell = Columns->GetDataCell(0, 0);
        Grid->SetFRowCount(Count);
    }

    // The top record. A page whose top is not decided here (the grid moved the cursor
    // without asking for a shift) starts at the current record: the cursor never goes to a
    // record that no rule chose.
    const int Rows = Grid->GetFRowCount();
    int Top = -1;
    if (Grid->FTopDataPos >= 1) {
        Check(S->MoveTo(OleVariant(Grid->FTopDataPos)));
        Top = Grid->FTopDataPos;
    } else if (Grid->FGridMovesCursor) {
        if (Grid->FPageDownPending) {
            StepBack(S, Rows);
            Top = RecNo(S);
            Grid->FTopDataPos = Top;
            Grid->FPageDownPending = false;
        }
        if (Grid->FPageUpPending) {
            Top = RecNo(S);
            Grid->FTopDataPos = Top;
            Grid->FPageUpPending = false;
        }
        Grid->FGridMovesCursor = false;
    } else if (Grid->FNavigatorMovesCursor) {
        if (Grid->FTopDataPos == -1) {
            StepBack(S, Rows);
            Top = RecNo(S);
            Grid->FTopDataPos = Top;
        }
    } else {
        StepBack(S, Rows);
        Top = RecNo(S);
        Grid->FTopDataPos = Top;
    }

    int FirstRow = 0;
    const bool Inserting = StateIs(S, "Insert");
    if (Inserting) {
        Grid->ResetGridScrollView();
        FirstRow = 1;
        if (Top >= 1) Check(S->MoveTo(OleVariant(Top)));
    }

    FillGridRows(Grid, FirstRow, Saved, Records, AskBool(S, &IFileDataSet::GetFiltered));

    if (AskInt(S, &IFileDataSet::GetRecordCount) >= Saved) Check(S->MoveTo(OleVariant(Saved)));

    // The highlighted row is the current record's whenever that record is on the page,
    // whoever moved the cursor (the navigator, a filter, a post, a cancelled insert). While a
    // record is inserted, the insert row stays highlighted.
    const int Which = Grid->GetCurrentRecordInWhichRow();
    if (Which >= 0 && !Inserting) {
        const int Old = Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : -1;
        if (Old != Which) {
            Grid->FSelectedCell = Columns->GetDataCell(0, Which);
            if (Old >= 0) Grid->RepaintSelectedRowCells(Old);
            Grid->RepaintSelectedRowCells(Which);
        }
        Grid->FNavigatorMovesCursor = false;
    }
    ZFD_CHECK_INVARIANTS(*Grid);
}

void TZopFileDataSource::FillGridRows(TZopFileDBGrid* Grid, int FirstRow, int Current, int Records, bool Filtered)
{
    IFileDataSet* S = Server();
    TGridColumns* Columns = Grid->GetColumns();
    const int Rows = Grid->GetFRowCount();
    std::vector<AnsiString> Fields;
    for (int K = 0; K < Columns->GetCount(); ++K) Fields.push_back(Trim(Columns->GeTColumnItem(K)->GetDataField()));

    // The rows the page shows already, by record number, when the records cannot have
    // changed since they were read: same epoch, same count, same fields, the live view
    // watching with nothing waiting. The current record's row is always read: it is what the
    // user acts on, and an edit refused as changed by another user has it shown as stored.
    std::vector<TZopFileDBGrid::TShownRow> Before = std::move(Grid->FShownRows);
    Grid->FShownRows.clear();
    std::map<int, const TZopFileDBGrid::TShownRow*> Shown;
    if (FirstRow == 0 && Grid->FShownEpoch == FDataSet->RecordsEpoch() && Grid->FShownCount == Records &&
        Grid->FShownFields == Fields && FDataSet->MayReuseShownRows()) {
        for (const TZopFileDBGrid::TShownRow& Row : Before)
            if (Row.RecNo >= 1 && Row.RecNo != Current) Shown.emplace(Row.RecNo, &Row);
    }

    // The fields of the record the server stands on.
    auto ReadRow = [&](int RowRecNo) {
        TZopFileDBGrid::TShownRow Row;
        Row.RecNo = RowRecNo;
        for (const AnsiString& Field : Fields) Row.Values.push_back(Field.empty() ? AnsiString() : FieldValueFor(Grid, Field));
        return Row;
    };

    // Without rows to show again: one record per row, one MoveNext per row; rows past the
    // last record get no record number and empty texts from the server. The filter and a
    // row's record number are asked once, not per cell. With them: the rows follow the top
    // record one by one, and only the others are read, the server moved to each.
    const int Top = Shown.empty() ? -1 : RecNo(S);
    int At = Top;  // the record the server stands on
    bool Reused = false;
    for (int R = FirstRow; R < Rows; ++R) {
        TZopFileDBGrid::TShownRow Row;
        if (Shown.empty()) {
            Row = ReadRow(RecNo(S));
            Ask(S, &IFileDataSet::MoveNext);
        } else {
            const int Want = Top >= 1 && Top + R <= Records ? Top + R : -1;
            if (auto It = Shown.find(Want); It != Shown.end()) {
                Row = *It->second;
                Reused = true;
            } else if (Want < 1) {
                Row.Values.assign(Fields.size(), AnsiString());  // past the last record
            } else {
                if (At != Want) Check(S->MoveTo(OleVariant(Want)));
                Row = ReadRow(Want);
                Ask(S, &IFileDataSet::MoveNext);
                At = Want + 1;
            }
        }
        for (int K = 0; K < Columns->GetCount(); ++K) {
            TGridCell* Cell = Columns->GeTColumnItem(K)->GetDataCell(R);
            Cell->FRecordPos = Filtered ? -1 : Row.RecNo;
            Cell->FFilterPos = Filtered ? Row.RecNo : -1;
            if (!Fields[static_cast<std::size_t>(K)].empty()) Cell->SetAsString(Row.Values[static_cast<std::size_t>(K)]);
        }
        Grid->FShownRows.push_back(std::move(Row));
    }
    if (Reused) FDataSet->NoteRowsReused();
    // A page with an insert row keeps nothing to show again.
    Grid->FShownEpoch = FirstRow == 0 ? FDataSet->RecordsEpoch() : 0;
    Grid->FShownCount = Records;
    Grid->FShownFields = std::move(Fields);
}

void TZopFileDataSource::RefreshDBGrid()
{
    if (!FDataSet) return;
    IFileDataSet* S = Server();
    ForEachGrid(FCtrlList, [&](TZopFileDBGrid* Grid) {
        TGridColumns* Columns = Grid->GetColumns();
        // Once nothing is pending (the record was posted, cancelled or closed) no row of
        // the grid waits to be collected. A post that the server refused leaves the state,
        // and so the row, as they were: the next post collects the corrected row.
        if (StateIs(S, "InActive")) {
            Grid->ForgetRowToCollect();
            Grid->FInsertPending = false;
            if (!Grid->GetDataSource()) {
                Grid->DeleteRecordCells();
                while (Columns->GetCount() > 0) Columns->Delete(0);
            }
        }
        if (StateIs(S, "Browse")) {
            Grid->ForgetRowToCollect();
            // An insert that ends in "Browse" without passing "Cancel" was posted, whoever
            // posted it (the navigator, Enter, the save question, a move): the page is laid
            // around the new record, so that it shows.
            if (Grid->FInsertPending) Grid->FTopDataPos = -1;
            Grid->FInsertPending = false;
            if (Columns->GetCount() == 0) Grid->RefreshWithDataSource();
        }
        // A grid without columns has no insert row to add.
        if (StateIs(S, "Insert") && !Grid->GetIsReadOnly() && Columns->GetCount() > 0) {
            Grid->AddNewRecordCells();
            Grid->ClearInsertRow();
            Grid->FSelectedRow = 0;
            // The new record is the current one: its row is the highlighted one.
            const int Old = Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : -1;
            Grid->FSelectedCell = Columns->GetDataCell(0, 0);
            if (Old > 0) Grid->RepaintSelectedRowCells(Old);
            Grid->RepaintSelectedRowCells(0);
            Columns->GetDataCell(0, 0)->DataCellSetFocus(false);
            Grid->FTopDataPos = -1;
            Grid->FInsertPending = true;
        }
        if (StateIs(S, "Cancel")) {
            Grid->FInsertPending = false;
            DropInsertEditors(Grid);
            Grid->DeleteRecordCells();
        }
    });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorFirstClick()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) { Grid->SetNavigatorMoveDataCursor(true); });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorLastClick()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) { Grid->SetNavigatorMoveDataCursor(true); });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorNextClick()
{
    // Next from the bottom row scrolls the page; from any other row the page stays.
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) {
        Grid->SetNavigatorMoveDataCursor(!Grid->FSelectedCell || Grid->FSelectedCell->GetRow() == LastPageRow);
    });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorPriorClick()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) {
        Grid->SetNavigatorMoveDataCursor(!Grid->FSelectedCell || Grid->FSelectedCell->GetRow() == 0);
    });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorPostClick()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) { Grid->SetNavigatorMoveDataCursor(true); });
}

void TZopFileDataSource::RefreshDBGridParamsWithNavigatorDeleteClick()
{
    RefreshDBGridParamsWithNavigatorPostClick();
}

void TZopFileDataSource::BeforeRecordStep(TRecordStep Step)
{
    switch (Step) {
    case TRecordStep::First: RefreshDBGridParamsWithNavigatorFirstClick(); return;
    case TRecordStep::Prior: RefreshDBGridParamsWithNavigatorPriorClick(); return;
    case TRecordStep::Next: RefreshDBGridParamsWithNavigatorNextClick(); return;
    case TRecordStep::Last: RefreshDBGridParamsWithNavigatorLastClick(); return;
    case TRecordStep::Post: RefreshDBGridParamsWithNavigatorPostClick(); return;
    case TRecordStep::Delete: RefreshDBGridParamsWithNavigatorDeleteClick(); return;
    }
}

void TZopFileDataSource::AfterRecordStep(TRecordStep Step)
{
    // After a move the navigators' enabled buttons follow the new position; a post or a
    // delete changes the state, whose notification refreshes them.
    if (Step != TRecordStep::Post && Step != TRecordStep::Delete) RefreshNavigator();
}

void TZopFileDataSource::RefreshDBGridParamsWhenDataFilterChanged()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) { Grid->FTopDataPos = -1; });
}

std::vector<int> TZopFileDataSource::PageTops() const
{
    std::vector<int> Tops;
    ForEachGrid(FCtrlList, [&](TZopFileDBGrid* Grid) {
        int Top = Grid->FTopDataPos;
        if (Top < 1) {
            const TGridCell* First = Grid->GetColumns()->GetCount() > 0 ? Grid->GetColumns()->GetDataCell(0, 0) : nullptr;
            if (First) Top = First->FRecordPos >= 1 ? First->FRecordPos : First->FFilterPos;
        }
        Tops.push_back(Top >= 1 ? Top : -1);
    });
    return Tops;
}

void TZopFileDataSource::RefreshDBGridParamsWhenOthersCommitted(const std::vector<int>& Before,
                                                                 const std::vector<int>& After)
{
    if (!FDataSet) return;
    IFileDataSet* S = Server();
    const int Records = AskInt(S, &IFileDataSet::GetRecordCount);
    const int Current = RecNo(S);
    const int Rows = std::min(Records, PageRows);
    std::size_t I = 0;
    ForEachGrid(FCtrlList, [&](TZopFileDBGrid* Grid) {
        const int Was = I < Before.size() ? Before[I] : -1;
        const int Now = I < After.size() ? After[I] : -1;
        ++I;
        int Top = Now >= 1 ? Now : Was;
        if (Top >= 1) Top = std::clamp(Top, 1, std::max(Records - Rows + 1, 1));
        if (Top < 1 || Current < Top || Current >= Top + Rows) Top = -1;
        Grid->FTopDataPos = Top;
        Grid->FGridMovesCursor = false;
        Grid->FPageUpPending = false;
        Grid->FPageDownPending = false;
    });
}

void TZopFileDataSource::ResetAllGridGridTopDataPos()
{
    ForEachGrid(FCtrlList, [](TZopFileDBGrid* Grid) {
        if (TGridCell* First = Grid->GetColumns()->GetCount() > 0 ? Grid->GetColumns()->GetDataCell(0, 0) : nullptr)
            Grid->FTopDataPos = First->FRecordPos;
    });
}

void TZopFileDataSource::ResetDBGridSelectCell(TZopFileDBGrid* SourceGrid, int Column, int Row)
{
    ForEachGrid(FCtrlList, [&](TZopFileDBGrid* Grid) {
        if (Grid == SourceGrid) return;
        Grid->FCellEdit->Hide();
        Grid->FCellButton->Hide();
        Grid->FCellComboBox->Hide();
        const int Selected = Grid->FSelectedCell ? Grid->FSelectedCell->GetRow() : 0;
        if (Selected > 0 && Selected < LastPageRow) {
            Grid->FSelectedCell = Grid->GetColumns()->GetDataCell(Column, Row);
            Grid->RepaintSelectedRowCells(Selected);
        } else {
            Grid->FTopDataPos = -1;
            Grid->SetDBGridMoveDataCursor();
            if (Selected == LastPageRow) {
                Grid->FPageUpPending = false;
                Grid->FPageDownPending = true;
                Grid->RepaintSelectedRowCells(LastPageRow);
            }
            if (Selected == 0) {
                Grid->FPageUpPending = true;
                Grid->FPageDownPending = false;
                Grid->RepaintSelectedRowCells(0);
            }
            Grid->FSelectedCell = Grid->GetColumns()->GetDataCell(Column, Row);
        }
        if (Grid->FSelectedCell) Grid->RepaintSelectedRowCells(Grid->FSelectedCell->GetRow());
    });
}
