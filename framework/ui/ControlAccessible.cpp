// The accessible table and cells over TAccessibleTable. The interfaces hold no state of
// their own: every answer is asked of the table at the moment, so a page laid out again is
// described as it now stands.
#include "framework/ui/ControlAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

#include <algorithm>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/ui/ControlBridge.h"
#include "framework/ui/QtConvert.h"
#include "framework/ui/TAccessibleTable.h"

namespace ui_detail {
namespace {

// The control whose widget Object is; null for other objects and for a control being freed.
TControl* ControlOf(QObject* Object)
{
    auto* Widget = qobject_cast<QWidget*>(Object);
    if (!Widget || !Widget->property(ControlWidgetProperty).toBool()) return nullptr;
    // A widget may hold the bridges of other controls too (those that watch it): only the
    // bridge of the control that owns this widget answers.
    for (QObject* Child : Widget->children())
        if (auto* Bridge = dynamic_cast<TControlBridge*>(Child); Bridge && Bridge->Control() &&
                                                                 Bridge->Control()->Widget() == Widget)
            return Bridge->Control();
    return nullptr;
}

QAccessibleInterface* InterfaceOf(const TControl* Control)
{
    return Control ? QAccessible::queryAccessibleInterface(Control->Widget()) : nullptr;
}

class TTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TTableAccessible(QWidget* Widget) : QAccessibleWidget(Widget, QAccessible::Table) {}

    void* interface_cast(QAccessible::InterfaceType Type) override
    {
        if (Type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(Type);
    }

    // Children: the column titles, then the data cells row by row.
    int childCount() const override
    {
        const TAccessibleTable* T = Table();
        return T ? T->AccessibleColumnCount() * (T->AccessibleRowCount() + 1) : 0;
    }
    QAccessibleInterface* child(int Index) const override
    {
        const TAccessibleTable* T = Table();
        const int Columns = T ? T->AccessibleColumnCount() : 0;
        if (Columns == 0 || Index < 0 || Index >= childCount()) return nullptr;
        if (Index < Columns) return InterfaceOf(T->AccessibleTitleCell(Index));
        return InterfaceOf(T->AccessibleCell(Index / Columns - 1, Index % Columns));
    }
    int indexOfChild(const QAccessibleInterface* Child) const override
    {
        const TAccessibleTable* T = Table();
        int Row = 0, Column = 0;
        if (!T || !Child || !T->AccessibleCellPlace(ControlOf(Child->object()), Row, Column)) return -1;
        return (Row + 1) * T->AccessibleColumnCount() + Column;
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int Row, int Column) const override
    {
        const TAccessibleTable* T = Table();
        return T ? InterfaceOf(T->AccessibleCell(Row, Column)) : nullptr;
    }
    int columnCount() const override { return Table() ? Table()->AccessibleColumnCount() : 0; }
    int rowCount() const override { return Table() ? Table()->AccessibleRowCount() : 0; }
    QString columnDescription(int Column) const override
    {
        return Table() ? ToQString(Table()->AccessibleColumnTitle(Column)) : QString();
    }
    QString rowDescription(int Row) const override { return QString::number(Row + 1); }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return Table() && Table()->AccessibleCurrentRow() >= 0 ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> Cells;
        const TAccessibleTable* T = Table();
        const int Row = T ? T->AccessibleCurrentRow() : -1;
        for (int Column = 0; Row >= 0 && Column < T->AccessibleColumnCount(); ++Column)
            if (QAccessibleInterface* Cell = cellAt(Row, Column)) Cells.append(Cell);
        return Cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        const int Row = Table() ? Table()->AccessibleCurrentRow() : -1;
        return Row >= 0 ? QList<int>{Row} : QList<int>{};
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int Row) const override { return Table() && Row >= 0 && Table()->AccessibleCurrentRow() == Row; }
    // The current row follows the record; assistive technology does not move it.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    const TAccessibleTable* Table() const
    {
        const TControl* Control = ControlOf(object());
        return Control ? Control->AccessibleTable() : nullptr;
    }
};

// A column title (Row -1) or a data cell of a table. Qt keeps an interface for as long as its
// widget lives, and may ask for it while the cell is still being placed (a new page's cells
// are shown before the table lists them), so the role, too, is asked of the table each time.
class TCellAccessible : public QAccessibleWidget, public QAccessibleTableCellInterface {
public:
    explicit TCellAccessible(QWidget* Widget) : QAccessibleWidget(Widget, QAccessible::Cell) {}

    QAccessible::Role role() const override
    {
        int Row = -1, Column = -1;
        return Place(Row, Column) && Row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    void* interface_cast(QAccessible::InterfaceType Type) override
    {
        if (Type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
        return QAccessibleWidget::interface_cast(Type);
    }

    QAccessibleInterface* parent() const override
    {
        const TControl* Cell = ControlOf(object());
        return Cell ? InterfaceOf(Cell->AccessibleTableControl()) : QAccessibleWidget::parent();
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }

    // The name says the column's title, the row and the value, so that a reader that speaks
    // only names is understood; the value is also the cell's value text.
    QString text(QAccessible::Text Kind) const override
    {
        int Row = -1, Column = -1;
        const TAccessibleTable* T = Place(Row, Column);
        if (!T) return QAccessibleWidget::text(Kind);
        const AnsiString Title = T->AccessibleColumnTitle(Column);
        if (Row < 0) return Kind == QAccessible::Name ? ToQString(Title) : QString();
        const AnsiString Value = T->AccessibleCellText(Row, Column);
        if (Kind == QAccessible::Value) return ToQString(Value);
        if (Kind == QAccessible::Name)
            return ToQString(FormatText(TranslateText("TAccessibleTable", "%1, row %2: %3"),
                                        {Title, IntToStr(Row + 1), Value}));
        return QAccessibleWidget::text(Kind);
    }

    // QAccessibleTableCellInterface; a title stands in row 0 of the header, above the data.
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        int Row = -1, Column = -1;
        const TAccessibleTable* T = Place(Row, Column);
        QAccessibleInterface* Title = T && Row >= 0 ? InterfaceOf(T->AccessibleTitleCell(Column)) : nullptr;
        return Title ? QList<QAccessibleInterface*>{Title} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        int Row = -1, Column = -1;
        return Place(Row, Column) ? Column : -1;
    }
    int rowIndex() const override
    {
        int Row = -1, Column = -1;
        return Place(Row, Column) ? std::max(Row, 0) : -1;
    }
    bool isSelected() const override
    {
        int Row = -1, Column = -1;
        const TAccessibleTable* T = Place(Row, Column);
        return T && Row >= 0 && T->AccessibleCurrentRow() == Row;
    }
    QAccessibleInterface* table() const override { return parent(); }

private:
    const TAccessibleTable* Place(int& Row, int& Column) const
    {
        const TControl* Cell = ControlOf(object());
        const TControl* TableControl = Cell ? Cell->AccessibleTableControl() : nullptr;
        const TAccessibleTable* T = TableControl ? TableControl->AccessibleTable() : nullptr;
        return T && T->AccessibleCellPlace(Cell, Row, Column) ? T : nullptr;
    }
};

QAccessibleInterface* ControlAccessibleFactory(const QString&, QObject* Object)
{
    TControl* Control = ControlOf(Object);
    if (!Control) return nullptr;
    auto* Widget = static_cast<QWidget*>(Object);
    if (Control->AccessibleTable()) return new TTableAccessible(Widget);
    if (Control->AccessibleTableControl()) return new TCellAccessible(Widget);
    return nullptr;
}

}  // namespace

void InstallControlAccessibleFactory()
{
    static bool Installed = false;
    if (Installed) return;
    Installed = true;
    QAccessible::installFactory(&ControlAccessibleFactory);
}

}  // namespace ui_detail
