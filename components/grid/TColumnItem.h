#pragma once
// TColumnItem: one column of the bound grid, an item of the grid's column collection. It
// binds one field (DataField), says how its cells look and which in-place editor its data
// cells open, carries the four events that the cells fire, and owns and lays out its cells:
// one title cell and one data cell per grid row, placed by pixel position in the grid.
//
// Invariants:
// - FTitleCell exists from construction to destruction: IsTitleCell, Row 0, Top 1, Col the
//   column's index at creation.
// - FDataCells holds one data cell per grid row; entry k is the cell of Row k (its string is
//   empty). Every column of a grid has the same number of data cells.
// - A data cell has its title cell's Left and (unless a wider text grew the column) Width;
//   cells touch without gaps. Col is never renumbered; only positions are recomputed.
// - Before a cell is freed, the grid's shared editors are taken out of it and the grid
//   forgets it as its selected cell, so nothing keeps a reference to a freed cell.
//
// Threading: GUI thread only.
#include "components/binding/TZopFileDbControlFieldStr.h"
#include "framework/core/TCollection.h"
#include "framework/ui/Colors.h"

class TGridCell;
class TGridColumns;
class TStringList;
class TStrings;
class TZopFileDBGrid;

enum TColumnAlignType { CA_Left, CA_Center, CA_Right };
const TTypeInfo* GetTypeInfo(TColumnAlignType*);
enum TTitleAlignType { TA_Left, TA_Center, TA_Right };
const TTypeInfo* GetTypeInfo(TTitleAlignType*);
enum TColumnEditStyle { CES_None, CES_PickList, CES_Ellipsis };
const TTypeInfo* GetTypeInfo(TColumnEditStyle*);

class TColumnItem;
using TCellBtnPressedEvent = TMethodPtr<void(TColumnItem* Column, TGridCell* DataCell)>;
using TCellPickListInitEvent = TMethodPtr<void(TColumnItem* Column)>;

// The default title colour of a column and its title cell.
constexpr TColor DefaultTitleColor = TColor(0xF7D9CC);

class TColumnItem : public TCollectionItem {
    DECLARE_CLASSINFO()
public:
    explicit TColumnItem(TCollection* Collection);
    ~TColumnItem() override;

    // From another column: its title text and edit style only. Other sources raise
    // EConvertError.
    void Assign(TPersistent* Source) override;
    // The display name; asking for it lays out the widths and positions of every column.
    AnsiString GetDisplayName() override;
    void SetDisplayName(const AnsiString& Value) override;
    // "[ Title ]", or "NewGrigColumn" for a blank title.
    AnsiString GetColumnStateStr() const;

    // The grid, through the collection; null when the column is not in a grid's collection.
    TZopFileDBGrid* Grid() const;
    // The data cell of Row; null above the last row (a negative row raises the list's error).
    TGridCell* GetDataCell(int Row) const;
    TGridCell* GetTitleCell() const { return FTitleCell; }
    int DataCellCount() const;
    void AddNewDataCell();
    void DeleteDataCell();
    void ResetDataCellsWidth(int Width);
    // Moves every cell of every later column right by Delta.
    void OffsetCellLeftPos(int Delta);
    int CalcNewTitleCellLeftPos() const;
    // Top of the N-th data cell (N from 1).
    int CalcNewDataCellTopPos(int N) const;
    // ColumnWidth = max(ColumnWidth, Width) capped at 6000; the cells stay as they are.
    int ColumnTitleFixColumnWidth(int Width);
    // Applies the width fitting of the title cell and every data cell.
    void FitCellWidths();
    // Repaints every data cell.
    void InvalidateDataCells();

    // Published properties.
    const AnsiString& GetImeName() const { return FImeName; }
    void SetImeName(const AnsiString& Value) { FImeName = Value; }
    int GetColumnWidth() const { return FColumnWidth; }
    void SetFWidth(int Value);
    TColumnAlignType GetColumnAlign() const { return FColumnAlign; }
    void SetFColumnAlign(TColumnAlignType Value);
    TColor GetColumnColor() const { return FColumnColor; }
    void SetFColumnColor(TColor Value);
    bool GetUseColumnColor() const { return FUseColumnColor; }
    void SetFUseColumnColor(bool Value);
    const AnsiString& GetTitle() const { return FTitle; }
    void SetFTitle(const AnsiString& Value);
    TTitleAlignType GetTitleAlign() const { return FTitleAlign; }
    void SetFTitleAlign(TTitleAlignType Value);
    TColor GetTitleColor() const { return FTitleColor; }
    void SetFTitleColor(TColor Value);
    TColumnEditStyle GetEditStyle() const { return FEditStyle; }
    void SetFEditStyle(TColumnEditStyle Value) { FEditStyle = Value; }
    // The column's own list.
    TStringList* GetFPickUpList() const { return FPickUpList; }
    // Copies Value's lines into the column's own list.
    void SetFPickUpList(TStringList* Value);
    const TZopFileDbControlFieldStr& GetDataField() const { return FDataField; }
    void SetDataField(const TZopFileDbControlFieldStr& Value) { FDataField = Value; }

    // Fired by the cells: the ellipsis button was clicked; the pick list changed (after the
    // cell took the text); a data cell's text was assigned (the handler may rewrite it); a
    // pick-list cell is about to show its combo box (the handler fills it instead of PickList).
    TCellBtnPressedEvent CellBtnPressed;
    TCellBtnPressedEvent CellComboBoxSelected;
    TCellBtnPressedEvent CellGetValue;
    TCellPickListInitEvent CellPickListInit;

    TGridCell* FTitleCell = nullptr;    // owned
    TStringList* FDataCells = nullptr;  // owned, and so are the cells that are its objects

private:
    // Frees a cell after taking the shared editors out of it and making the grid forget it.
    void FreeCell(TGridCell* Cell);
    // Places every column's cells at their title positions.
    static void LayOutColumns(TCollection* Columns);

    AnsiString FImeName;
    int FColumnWidth = 64;
    TColumnAlignType FColumnAlign = CA_Left;
    TColor FColumnColor = TColor(0);
    bool FUseColumnColor = false;
    AnsiString FTitle;
    TTitleAlignType FTitleAlign = TA_Left;
    TColor FTitleColor = DefaultTitleColor;
    TColumnEditStyle FEditStyle = CES_None;
    TStringList* FPickUpList = nullptr;  // owned
    TZopFileDbControlFieldStr FDataField;
    AnsiString FDisplayName;
};
