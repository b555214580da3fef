// The demo form as assistive technology walks it, through Qt's accessibility interfaces.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <map>

#include "app/DemoProgram.h"
#include "app/UMain.h"
#include "components/UZopFileDataSet.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TButton.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/UiTestSupport.h"

namespace {

class AccessibleDemoForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterDemoClasses();
        DropAllMemoryTables();
        Application->CreateForm(Form1);
        ShowActive(Form1);
        QTest::mouseClick(static_cast<QPushButton*>(Form1->Button1->Widget()), Qt::LeftButton);  // Add Datas
    }
    void TearDown() override
    {
        Form1->Free();
        Form1 = nullptr;
        DropAllMemoryTables();
    }
    static QAccessibleInterface* Of(TControl* Control) { return QAccessible::queryAccessibleInterface(Control->Widget()); }
    static QString Name(QAccessibleInterface* I) { return I ? I->text(QAccessible::Name) : QString(); }
};

TEST_F(AccessibleDemoForm, TheGridIsATableWhoseCellsSayTheirColumnTitleRowAndValue)
{
    QAccessibleInterface* Grid = Of(Form1->ZopFileDBGrid1);
    ASSERT_NE(Grid, nullptr);
    EXPECT_EQ(Grid->role(), QAccessible::Table);
    QAccessibleTableInterface* Table = Grid->tableInterface();
    ASSERT_NE(Table, nullptr);
    EXPECT_EQ(Table->columnCount(), 13);
    EXPECT_EQ(Table->rowCount(), 10);
    EXPECT_EQ(Table->columnDescription(0), QString("客戶編號"));
    EXPECT_EQ(Table->columnDescription(4), QString("City"));

    TGridColumns* Columns = Form1->ZopFileDBGrid1->GetColumns();
    for (const auto& [Row, Column] : {std::pair{0, 0}, {3, 1}, {9, 4}}) {
        QAccessibleInterface* Cell = Table->cellAt(Row, Column);
        ASSERT_NE(Cell, nullptr) << Row << "," << Column;
        EXPECT_EQ(Cell->role(), QAccessible::Cell);
        const QString Value = QString::fromStdString(Columns->GetDataCell(Column, Row)->GetAsString());
        EXPECT_FALSE(Value.isEmpty()) << "the sample fills every row";
        EXPECT_EQ(Cell->text(QAccessible::Value), Value);
        EXPECT_EQ(Name(Cell), QString("%1, row %2: %3").arg(Table->columnDescription(Column)).arg(Row + 1).arg(Value));
        QAccessibleTableCellInterface* Place = Cell->tableCellInterface();
        ASSERT_NE(Place, nullptr);
        EXPECT_EQ(Place->rowIndex(), Row);
        EXPECT_EQ(Place->columnIndex(), Column);
        ASSERT_EQ(Place->columnHeaderCells().size(), 1);
        EXPECT_EQ(Name(Place->columnHeaderCells().front()), Table->columnDescription(Column));
        EXPECT_EQ(Cell->parent(), Grid) << "a cell belongs to its table, whatever widget holds it";
        EXPECT_EQ(Grid->indexOfChild(Cell), (Row + 1) * 13 + Column);
    }
    // The titles come first among the table's children, then the cells row by row.
    EXPECT_EQ(Grid->child(0)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(Name(Grid->child(1)), QString("公司名稱"));
    EXPECT_EQ(Grid->child(13), Table->cellAt(0, 0));
    EXPECT_EQ(Grid->childCount(), 13 * 11);
    EXPECT_EQ(Table->cellAt(10, 0), nullptr);
    EXPECT_EQ(Table->cellAt(0, 13), nullptr);
}

TEST_F(AccessibleDemoForm, TheCurrentRecordsRowIsTheSelectedRowAndFollowsTheNavigator)
{
    QAccessibleTableInterface* Table = Of(Form1->ZopFileDBGrid1)->tableInterface();
    ASSERT_NE(Table, nullptr);
    const int Before = Form1->ZopFileDBGrid1->GetCurrentRecordInWhichRow();
    ASSERT_GE(Before, 0);
    EXPECT_EQ(Table->selectedRows(), QList<int>{Before});
    EXPECT_TRUE(Table->cellAt(Before, 2)->tableCellInterface()->isSelected());
    QTest::mouseClick(static_cast<QPushButton*>(Form1->ZopFileDBNavigator1->FBtnFirst->Widget()), Qt::LeftButton);
    const int After = Form1->ZopFileDBGrid1->GetCurrentRecordInWhichRow();
    EXPECT_EQ(Table->selectedRows(), QList<int>{After});
    EXPECT_EQ(Table->cellAt(After, 0)->text(QAccessible::Value), QString("1015")) << "the first customer";
}

TEST_F(AccessibleDemoForm, WalkingTheFormFindsEveryControlByRoleAndName)
{
    // Role and name of every interface reachable from the form, as a screen reader walks it.
    std::multimap<QAccessible::Role, QString> Heard;
    std::function<void(QAccessibleInterface*, int)> Walk = [&](QAccessibleInterface* I, int Depth) {
        if (!I || Depth > 6) return;
        Heard.emplace(I->role(), I->text(QAccessible::Name));
        for (int C = 0; C < I->childCount(); ++C) Walk(I->child(C), Depth + 1);
    };
    Walk(Of(Form1), 0);
    auto HeardAs = [&](QAccessible::Role Role, const QString& Name) {
        auto [From, To] = Heard.equal_range(Role);
        return std::any_of(From, To, [&](const auto& Entry) { return Entry.second == Name; });
    };
    EXPECT_TRUE(HeardAs(QAccessible::Table, ""));
    EXPECT_TRUE(HeardAs(QAccessible::ColumnHeader, "聯絡地址"));
    EXPECT_EQ(Heard.count(QAccessible::Cell), 130u) << "13 columns of 10 rows";
    for (const char* Function : {"First record", "Prior record", "Next record", "Last record", "Insert a record",
                                 "Edit the record", "Delete the record", "Query", "Post the record", "Cancel the changes"})
        EXPECT_TRUE(HeardAs(QAccessible::Button, Function)) << Function;
    EXPECT_TRUE(HeardAs(QAccessible::EditableText, "CustNo")) << "the bound edit is named by its field";
    EXPECT_EQ(QString::fromStdString(Form1->ZopFileDBEdit1->AccessibleDescription()), QString("Edits the field CustNo"));
    EXPECT_TRUE(HeardAs(QAccessible::Button, "開始過濾")) << "a plain button says its caption";
    EXPECT_EQ(Name(Of(Form1->ZopFileDBNavigator1)), QString("Record navigator"));
}

}  // namespace
