#pragma once
// TZopFileDBGrid: the bound grid. A scrolling container that holds one title cell per column
// and a page of at most ten rows of data cells (one more while a record is inserted), all of
// them TGridCell windows owned and placed by the columns. It builds its columns from the
// dataset's fields when it has none, keeps the three shared in-place editors, tracks the
// current row and the paging flags that the data source's page refresh reads and writes,
// and reports clicks on its pop-up menu with the item's caption.
//
// Selection and editor:
//
//   state            | FSelectedCell | FSelectedRow | editors
//   -----------------+---------------+--------------+-----------------------------------------
//   nothing selected | null          | -1           | hidden, or in the cell last focused
//   row selected     | a data cell   | -1 or a row  | hidden, or in a cell of the grid
//   cell focused     | any           | its Row      | the column's editor inside that cell
//
//   operation                 | effect
//   --------------------------+--------------------------------------------------------------
//   DataCellSetFocus (cell)   | FSelectedRow = the cell's Row; text typed into the editor
//                             | kept in the cell that held it; editor moved into the cell
//   typing into a cell        | FSelectedRow = the cell's Row
//   page refresh              | FSelectedCell = column 0's cell of the current record's row,
//                             | when that record is on the page (not while inserting)
//   state "Insert"            | FSelectedCell = the insert row's first cell
//   collecting (WriteGridRow) | the editor's text taken into its cell; the row written;
//                             | FSelectedRow kept (the server may still refuse the post)
//   state "Browse"/"InActive" | FSelectedRow = -1: nothing is pending, no row to collect
//   rows removed              | editors taken out first; FSelectedCell null if it was freed
//
// Paging state (read and written by the data source's page refresh and its grid operations,
// and by the cells' keys): FTopDataPos is the record shown in row 0, or -1 when the next page
// refresh lays the page around the current record; FGridMovesCursor / FNavigatorMovesCursor
// say who moved the cursor last; FPageUpPending / FPageDownPending ask the next page refresh
// to shift the page.
//
// The rows shown (read and written by the data source's page refresh only): FShownRows holds,
// per row of the page as last read, its record number and its fields' values as the server
// gave them (before CellGetValue), in the order of FShownFields; FShownEpoch is the dataset's
// records epoch they were read in (0: none) and FShownCount the record count then. A page
// refresh in the same epoch and count shows such rows again instead of reading them.
//
// Invariants (CheckInvariants answers which is broken; the grid's row operations and the data
// source's grid operations check them where they end, see framework/core/Invariants.h):
// - Rows: every column has the same number of data cells, GetFRowCount, at most a page and
//   the insert row; data cell r of every column is in row r.
// - FTopDataPos is -1 or a record number (1 or more).
// - At most one of FGridMovesCursor and FNavigatorMovesCursor is set, and at most one of
//   FPageUpPending and FPageDownPending.
// - FSelectedCell is null or a data cell of this grid (the columns clear it before freeing).
// - FCellEdit, FCellComboBox and FCellButton live as long as the grid; their parent is null
//   or a data cell of this grid.
// - FRefreshing is true only inside RefreshWithDataSource (not checked: the checks run
//   inside it too).
//
// Threading: GUI thread only.
#include <array>
#include <cstdint>
#include <vector>

#include "components/binding/TZopFileDbControlFieldStr.h"
#include "framework/ui/TAccessibleTable.h"
#include "framework/ui/TScrollingWinControl.h"

class IFileDataSet;
class TButton;
class TColumnItem;
class TComboBox;
class TEdit;
class TGridCell;
class TGridColumns;
class TLatestTyping;
class TPopupMenu;
class TZopFileDataSource;

using TGridPopUpMenuClickEvent = TMethodPtr<void(TObject* Sender, AnsiString MenuCaption)>;
using TGridNewDataPageEvent = TMethodPtr<void(TObject* Sender)>;
using TGridNewRecordEvent = TMethodPtr<void(TObject* Sender)>;

class TZopFileDBGrid : public TScrollingWinControl, public TAccessibleTable {
    DECLARE_CLASSINFO()
public:
    // The rows of a page.
    static constexpr int PageRows = 10;

    explicit TZopFileDBGrid(TComponent* Owner);
    ~TZopFileDBGrid() override;

    void Notification(TComponent* Component, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // The wheel moves the current record, one record per notch, as Up and Down do.
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

    // To assistive technology the grid is a table of its page: a column per grid column,
    // titled by its Title, a row per data row (the insert row first while inserting), each
    // cell's text as shown (TZopFileDBGridAccessible.cpp).
    const TAccessibleTable* AccessibleTable() const override { return this; }
    int AccessibleColumnCount() const override;
    int AccessibleRowCount() const override;
    AnsiString AccessibleColumnTitle(int Column) const override;
    TControl* AccessibleTitleCell(int Column) const override;
    TControl* AccessibleCell(int Row, int Column) const override;
    AnsiString AccessibleCellText(int Row, int Column) const override;
    bool AccessibleCellPlace(const TControl* Cell, int& Row, int& Column) const override;
    int AccessibleCurrentRow() const override;

    // Published properties.
    TZopFileDataSource* GetDataSource() const { return FDataSource; }
    void SetFDataSource(TZopFileDataSource* Value);
    TGridColumns* GetColumns() const { return FColumns; }
    bool GetIsReadOnly() const { return FIsReadOnly; }
    void SetFReadOnly(bool Value) { FIsReadOnly = Value; }
    TColor GetRecordFocusColor() const { return FRecordFocusColor; }
    void SetFRecordFocusColor(TColor Value) { FRecordFocusColor = Value; }
    TColor GetKeyFieldColor() const { return FKeyFieldColor; }
    void SetFKeyFieldColor(TColor Value) { FKeyFieldColor = Value; }
    TPopupMenu* GetPopUpMenu() const { return FPopUpMenu; }
    void SetFPopupMenu(TPopupMenu* Value);
    TGridPopUpMenuClickEvent GetOnGridPopUpMenuClick() const { return FOnGridPopUpMenuClick; }
    void SetOnGridPopUpMenuClick(const TGridPopUpMenuClickEvent& Value) { FOnGridPopUpMenuClick = Value; }

    // The first column whose Title equals Text exactly; null when none does.
    TColumnItem* ColumnByTitle(const AnsiString& Text) const;
    // Registers with the data source and, when the grid has no columns, builds one column
    // per field of the dataset (opening it just for that when it is closed but has its
    // access file and user); an open dataset then fills ten rows.
    void RefreshWithDataSource();
    void DisableRefreshData() { FRefreshDisabled = true; }
    // Data rows: 0 without columns, else column 0's data cells.
    int GetFRowCount() const;
    // Adds or removes rows at the bottom until there are N, then clears every cell.
    // Nothing at all when there are N already.
    void SetFRowCount(int N);
    void AddNewRecordCells();
    void DeleteRecordCells();
    void ClearInsertRow();
    void RepaintSelectedRowCells(int Row);
    // The row whose column-0 cell shows the server's current record; -1 when none does.
    int GetCurrentRecordInWhichRow() const;
    // True when a cell of Row (0 to 9) no longer equals the current record's field;
    // false whenever it cannot compare.
    bool IsThisRowDataIsDifferentWithFieldData(int Row) const;
    // Scrolls back to the leftmost position, row 0 in view.
    void ResetGridScrollView();
    void SetDBGridMoveDataCursor();
    void SetNavigatorMoveDataCursor(bool ResetTop);
    // The OnClick of the pop-up menu's top-level items.
    void RunPopUpMenuClick(TObject* Sender);

    // The first of the invariants stated above that is broken; empty text when all hold.
    AnsiString CheckInvariants() const;

    // The server of the data source's dataset; null without data source, dataset or server.
    IFileDataSet* Server() const;
    // The three shared editors: the button, the edit box and the combo box.
    std::array<TWinControl*, 3> SharedEditors() const;
    // Takes the shared editors out of whatever cell holds them.
    void DetachSharedEditors();
    // A data cell is about to be freed: the grid stops referring to it.
    void ForgetCell(TGridCell* Cell);
    // The data cell that holds the visible edit box or combo box; null when none does.
    TGridCell* EditorCell() const;
    // Takes the text typed into the shared editor into the cell that holds it, so that
    // collecting the current row never loses it.
    void TakeEditorText();
    // While a record is edited or inserted, takes text that the user typed into the edit box
    // into the cell that holds it (marking the cell modified), so that moving the editor to
    // another cell keeps it. Nothing when the edit box was not typed into.
    void KeepTypedText();
    // The row of the record being inserted or edited: the insert row while inserting (-1 for
    // a grid that has none), else the row last focused or typed into, else the row that
    // shows the current record. -1 when nothing is pending or the record is not on the page.
    int PendingRow() const;
    // Collecting the row being typed into, FSelectedRow (the data source's WriteBoundControls,
    // when the server collects the bound controls' values). Neither does anything for a
    // read-only grid or one without a row to collect.
    // Takes the editor's text into its cell first (so that nothing typed is lost and the cell
    // counts as typed into), then notes in Latest when each cell of the row was typed into.
    void NoteRowTyping(TLatestTyping& Latest);
    // Writes the row into Server's record. On insert every non-blank cell is written, key
    // fields included; on edit only the cells that were changed, blanks included, never a key
    // field. A cell whose field another control was typed into later is left out.
    void WriteGridRow(IFileDataSet* Server, bool Inserting, const TLatestTyping& Latest);
    // Nothing is pending any more (the record was stored or dropped): no row waits to be
    // collected and no cell counts as typed into, so that a later post, or the live view's
    // question whether the user holds typed text, does not take the marks of a finished edit
    // for new typing.
    void ForgetRowToCollect();
    // True while the grid holds text that the user typed and no record took yet: in its edit
    // box, or in a cell of the row to collect that was typed into (what NoteRowTyping notes).
    bool HoldsTypedText() const;
    // Opens the editor in column Col of the highlighted row when that row shows the current
    // record, so that the keyboard stays in the grid after the page was laid out again (the
    // editors are hidden then). False when there is no such row.
    bool FocusSelectedRow(int Col);

    bool FRefreshing = false;
    TGridCell* FSelectedCell = nullptr;  // not owned: a data cell of the columns, or null
    bool FPageUpPending = false;
    bool FPageDownPending = false;
    int FSelectedRow = -1;
    int FFirstColumnLeft = 1;
    TEdit* FCellEdit = nullptr;          // owned
    TComboBox* FCellComboBox = nullptr;  // owned
    TButton* FCellButton = nullptr;      // owned
    TGridNewDataPageEvent OnGridNewDataPage;
    TGridNewRecordEvent OnGridNewRecord;
    int FRowCount = 0;
    int FTopDataPos = -1;
    bool FRefreshDisabled = false;
    bool FGridMovesCursor = false;
    bool FNavigatorMovesCursor = false;
    // The grid shows an insert row for a record being inserted; cleared when the insert is
    // cancelled or closed, and when it is posted (the page is then laid around the new record).
    bool FInsertPending = false;
    struct TShownRow {
        int RecNo = -1;  // -1: no record (past the end)
        std::vector<AnsiString> Values;
    };
    std::vector<TShownRow> FShownRows;
    std::vector<AnsiString> FShownFields;
    std::uint64_t FShownEpoch = 0;
    int FShownCount = -1;

private:
    // One column per field of the open dataset.
    void GenerateColumns();
    // True when Control is one of the data cells.
    bool IsDataCell(const TControl* Control) const;
    // A grid that is not read-only and has a row being typed into has a row to collect.
    bool HasRowToCollect() const { return !FIsReadOnly && FSelectedRow >= 0; }

    TZopFileDataSource* FDataSource = nullptr;  // not owned
    TPopupMenu* FPopUpMenu = nullptr;           // not owned
    TGridPopUpMenuClickEvent FOnGridPopUpMenuClick;
    TGridColumns* FColumns = nullptr;  // owned
    bool FIsReadOnly = false;
    TColor FKeyFieldColor = TColor(0x78E7D9);
    TColor FRecordFocusColor = TColor(0x92FAED);
    int FWheelRest = 0;  // wheel turns short of a notch, kept for the next turn
};
