#pragma once
// What a control that shows a table of cells tells assistive technology: its columns and
// their titles, its rows and the text of each cell, and where a cell control stands. The
// control answers it from TControl::AccessibleTable(); its cell controls answer the table's
// control from TControl::AccessibleTableControl(). framework/ui turns both into Qt's
// accessible table and cell interfaces (ControlAccessible.h), so a screen reader walks the
// table by rows and columns and hears each cell's column title, row and value.
#include "framework/core/Exceptions.h"

class TControl;

class TAccessibleTable {
public:
    virtual ~TAccessibleTable() = default;

    virtual int AccessibleColumnCount() const = 0;
    // Data rows, the title row not counted.
    virtual int AccessibleRowCount() const = 0;
    virtual AnsiString AccessibleColumnTitle(int Column) const = 0;
    // The control of a column's title; null when there is none.
    virtual TControl* AccessibleTitleCell(int Column) const = 0;
    // The control of a data cell; null outside the table.
    virtual TControl* AccessibleCell(int Row, int Column) const = 0;
    virtual AnsiString AccessibleCellText(int Row, int Column) const = 0;
    // Where Cell stands: its row (-1 for a title) and column; false when it is none of the
    // table's cells.
    virtual bool AccessibleCellPlace(const TControl* Cell, int& Row, int& Column) const = 0;
    // The row that shows the current record; -1 when none does.
    virtual int AccessibleCurrentRow() const = 0;
};
