#pragma once
// TGridCell: one cell of the bound grid, a small panel window of its own. A title cell shows
// its column's title; a data cell shows one field of the record in its row, keeps the text
// it had when it was last focused and whether the user changed it, and, when focused, moves
// the dataset to its record and opens the grid's shared in-place editor inside itself.
//
// States of a data cell:
//
//   state      | FRecordPos | FFilterPos | entered by
//   -----------+------------+------------+-------------------------------------------------
//   empty      | -1         | -1         | construction; ClearCellData; a fill past the end
//   record     | >= 0       | -1         | the page refresh, no filter in force
//   filtered   | -1         | >= 0       | the page refresh, a filter in force
//
//   operation         | effect
//   ------------------+----------------------------------------------------------------------
//   SetAsString       | text stored, CellGetValue fired, widths fitted; repainted if changed
//   DataCellSetFocus  | FSelectedRow = Row; server on the record (none when empty); editor
//                     | of the column's EditStyle opened inside the cell (not in design)
//   InitDataCellValue | only when IsModify: "Browse" -> Edit; the editor's text taken
//
// Invariants:
// - At most one of FRecordPos and FFilterPos is >= 0.
// - The cell never frees the grid's shared editors: whoever frees a cell first takes them
//   out of it (the column does), because a window frees the children it still holds.
// - Widths are fitted whenever the text, the title, the width or the font changes, never
//   inside a paint: a title cell is wider than its title; a data cell is as wide as its
//   title cell, or, when its text is wider, the whole column grows to text + 5 and the later
//   columns move right. A column only grows through fitting.
// - FMeasuredWidth is -1 or the width of FMeasuredText in the cell's font (a change of the
//   font sets it to -1), and FMeasuredHeight that text's height.
//
// Threading: GUI thread only.
#include <cstdint>
#include <functional>

#include "framework/ui/TPanel.h"

class IFileDataSet;
class TColumnItem;
class TZopFileDBGrid;
class TZopFileDataSource;

class TGridCell : public TCustomPanel {
    DECLARE_CLASSINFO()
public:
    explicit TGridCell(TComponent* Owner);

    // Published.
    bool GetIsTitleCell() const { return FIsTitleCell; }
    // True also takes the cell out of the tab order and clears OnEnter and OnExit.
    void SetFIsTitleCell(bool Value);
    bool GetIsModify() const { return FIsModify; }
    void SetFIsModify(bool Value) { FIsModify = Value; }
    int GetCol() const { return FCol; }
    void SetFCol(int Value) { FCol = Value; }
    int GetRow() const { return FRow; }
    void SetFRow(int Value) { FRow = Value; }

    const AnsiString& GetAsString() const { return FAsString; }
    // Stores the text, fires the column's CellGetValue (which may change it again), fits
    // the widths and repaints the cell when the text differed.
    void SetAsString(const AnsiString& Value);
    const AnsiString& GetOldValue() const { return FOldValue; }
    void SetOldValue(const AnsiString& Value) { FOldValue = Value; }
    // The owning column (null until the column sets it).
    TColumnItem* GetEditOwner() const { return FColumn; }
    void SetEditOwner(TColumnItem* Column) { FColumn = Column; }
    // The grid of the cell's column; null without a column or grid.
    TZopFileDBGrid* Grid() const;
    // A cell of its grid's table to assistive technology.
    TControl* AccessibleTableControl() const override;

    // Copies the flags, position, record numbers and texts of Source (null: nothing).
    void PutCellData(TGridCell* Source);
    // No record, no text.
    void ClearCellData();
    // When the cell was modified, takes the text of its editor (the server goes into
    // "Edit" first when it is in "Browse").
    void InitDataCellValue();
    // Moves the server to the cell's record (PositionOnly: silently, displays unchanged)
    // and opens the column's in-place editor inside the cell. A title cell ignores it.
    void DataCellSetFocus(bool PositionOnly);

    // The handlers installed on the shared editors while they sit in this cell.
    void DoKeyDowned(TObject* Sender, WORD& Key, TShiftState Shift);
    void DoKeyPressed(TObject* Sender, wchar_t& Key);
    void DoOnButtonClick(TObject* Sender);
    void DoOnComboBoxChange(TObject* Sender);
    // The edit box's OnChange: a change the user made takes the next tick of the typing clock.
    void DoEditorChanged(TObject* Sender);
    // The tick of the user's last change to this cell through an editor; 0 when never.
    std::uint64_t TypedAt() const { return FTypedAt; }

    // Editing by keyboard and mouse (TGridCellEditing.cpp): Up and Down move the current row
    // (asking whether to save an edited record, shifting the page at its edges), Home moves
    // one column left, Enter walks the row and posts at its end, typing starts an edit, a
    // click selects the cell's record. Esc cancels the edit; PageUp and PageDown move a page,
    // Ctrl+Home and Ctrl+End to the first and last record (asking first, as Up and Down do).
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(wchar_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // Width fitting: a title cell grows past its title; a data cell takes its title cell's
    // width or, for a wider text, grows the whole column (see the invariants above).
    void FitTitleWidth();
    void FitDataWidth();

    // Record numbers of the row's record, written by the data source's page refresh.
    int FRecordPos = -1;
    int FFilterPos = -1;
    bool FIsModify = false;

protected:
    void Paint() override;
    void FontChanged() override;

private:
    // Editing steps (TGridCellEditing.cpp).
    // The save question: in "Edit", asks whether to save; Yes writes the edited cell's text
    // and posts, No cancels the record.
    static void AskToSave(TZopFileDBGrid* Grid);
    // Takes the editor's text into the cell it applies to (the one holding the editor, else
    // the selection) when the user changed it. Field is then that cell's field, else empty.
    static void TakeEditedText(TZopFileDBGrid* Grid, AnsiString& Field, AnsiString& Text);
    // Asks the save question: Yes writes Text into Field (unless Field is blank) and posts,
    // No cancels the record.
    static void SaveOrCancel(IFileDataSet* Server, const AnsiString& Field, const AnsiString& Text);
    static void RunRepeatStep(IFileDataSet* Server);
    void MoveRow(WORD Key);
    // Esc: cancels the record being edited or inserted; false when there is none.
    bool CancelEdit();
    // The frame of a key that moves the current record beyond the page's rows: nothing while
    // a record is inserted, the save question first, then Move, the repeat step, the
    // navigators, and the editor back in the highlighted row.
    void MoveByKey(const std::function<void(TZopFileDataSource*, IFileDataSet*)>& Move);
    // PageUp / PageDown: the page and the current record move by the page's height.
    void MovePage(bool Down);
    // Ctrl+Home / Ctrl+End: the first or last record.
    void MoveToEnd(bool Last);
    void EnterKey();
    void TypeKey(wchar_t& Key);
    void RefuseChangedRecord(wchar_t& Key);

    // The text of the editor that the column's edit style uses.
    AnsiString EditorText() const;
    void OpenEditBox();
    int TextWidthOf(const AnsiString& Text);
    // The width and height of Text in the cell's font; measured only when the text or the font
    // changed since the last measure, so that a page painted again with the same texts measures
    // nothing.
    void Measure(const AnsiString& Text, int& Width, int& Height);
    void PaintTitle();
    void PaintData();

    bool FIsTitleCell = false;
    int FCol = 0;
    int FRow = 0;
    TColumnItem* FColumn = nullptr;  // not owned: the column owns the cell
    AnsiString FAsString;
    AnsiString FOldValue;
    std::uint64_t FTypedAt = 0;
    AnsiString FMeasuredText;  // the text last measured, and its size in the cell's font
    int FMeasuredWidth = -1;   // -1: nothing measured in the current font
    int FMeasuredHeight = 0;
};
