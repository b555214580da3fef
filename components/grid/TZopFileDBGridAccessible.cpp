// The grid as a table to assistive technology (TAccessibleTable): its page as it stands, so a
// screen reader hears each cell's column title, row and text. Nothing here asks the server
// but the current row, and nothing raises: Qt calls these at any time.
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"

int TZopFileDBGrid::AccessibleColumnCount() const
{
    return FColumns->GetCount();
}

int TZopFileDBGrid::AccessibleRowCount() const
{
    return GetFRowCount();
}

AnsiString TZopFileDBGrid::AccessibleColumnTitle(int Column) const
{
    if (Column < 0 || Column >= FColumns->GetCount()) return {};
    return FColumns->GeTColumnItem(Column)->GetTitle();
}

TControl* TZopFileDBGrid::AccessibleTitleCell(int Column) const
{
    if (Column < 0 || Column >= FColumns->GetCount()) return nullptr;
    return FColumns->GeTColumnItem(Column)->GetTitleCell();
}

TControl* TZopFileDBGrid::AccessibleCell(int Row, int Column) const
{
    if (Row < 0 || Row >= GetFRowCount() || Column < 0 || Column >= FColumns->GetCount()) return nullptr;
    return FColumns->GetDataCell(Column, Row);
}

AnsiString TZopFileDBGrid::AccessibleCellText(int Row, int Column) const
{
    const auto* Cell = static_cast<const TGridCell*>(AccessibleCell(Row, Column));
    return Cell ? Cell->GetAsString() : AnsiString();
}

bool TZopFileDBGrid::AccessibleCellPlace(const TControl* Cell, int& Row, int& Column) const
{
    for (int C = 0; C < FColumns->GetCount(); ++C) {
        const TColumnItem* Item = FColumns->GeTColumnItem(C);
        if (Item->GetTitleCell() == Cell) {
            Row = -1;
            Column = C;
            return true;
        }
        for (int R = 0; R < Item->DataCellCount(); ++R)
            if (Item->GetDataCell(R) == Cell) {
                Row = R;
                Column = C;
                return true;
            }
    }
    return false;
}

int TZopFileDBGrid::AccessibleCurrentRow() const
{
    try {
        return GetCurrentRecordInWhichRow();
    } catch (const std::exception&) {
        return -1;  // a server that cannot say: no row is current
    }
}
