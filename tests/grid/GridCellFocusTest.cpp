#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "components/navigator/TNavBtn.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

struct TCellEvents : TObject {
    std::vector<AnsiString> Log;
    void Pressed(TColumnItem* Column, TGridCell* Cell)
    {
        Log.push_back("pressed " + Column->GetDataField() + " row " + IntToStr(Cell->GetRow()));
    }
    void Selected(TColumnItem*, TGridCell* Cell) { Log.push_back("selected " + Cell->GetAsString()); }
    TComboBox* Combo = nullptr;  // not owned
    void FillPickList(TColumnItem* Column)
    {
        Log.push_back("init " + Column->GetDataField());
        Combo->Items()->Add("from the handler");
    }
};

class GridCellFocus : public TGridOnServer {
protected:
    void SetUp() override
    {
        TGridOnServer::SetUp();
        FillCustomers(25);
        Edit = new TZopFileDBEdit(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetTop(360);
        Edit->SetFDataSource(Source);
        Edit->SetFFieldName("CustNo");
        OpenAndBind();
        ShowActive(Form.get());
    }
    TColumnItem* Column(int Col) const { return Grid->GetColumns()->GeTColumnItem(Col); }

    TZopFileDBEdit* Edit = nullptr;  // not owned: the form owns it
};

TEST_F(GridCellFocus, FocusingADataCellMovesToItsRecordAndOpensTheColumnsEditor)
{
    TCellEvents Events;
    Events.Combo = Grid->FCellComboBox;
    Column(5)->SetFEditStyle(CES_PickList);  // State
    Column(5)->GetFPickUpList()->Add("CA");
    Column(5)->GetFPickUpList()->Add("NY");
    Column(6)->SetFEditStyle(CES_PickList);  // Zip: its handler fills the list
    Column(6)->CellPickListInit = TCellPickListInitEvent(&Events, &TCellEvents::FillPickList);
    Column(7)->SetFEditStyle(CES_Ellipsis);  // Country
    Column(7)->CellBtnPressed = TCellBtnPressedEvent(&Events, &TCellEvents::Pressed);

    const struct {
        int Col, Row;
        TWinControl* Editor;
        std::vector<AnsiString> Items;
    } Cases[] = {
        {1, 4, Grid->FCellEdit, {}},
        {5, 6, Grid->FCellComboBox, {"CA", "NY"}},
        {6, 2, Grid->FCellComboBox, {"from the handler"}},
        {7, 8, Grid->FCellEdit, {}},
    };
    for (const auto& Case : Cases) {
        TGridCell* Target = Cell(Case.Col, Case.Row);
        Target->SetAsString("text " + IntToStr(Case.Row));
        Target->DataCellSetFocus(false);
        ProcessEvents();
        EXPECT_EQ(RecNo(), Case.Row + 1) << Case.Col;
        EXPECT_EQ(Edit->Text(), IntToStr(Case.Row + 1)) << "the bound edit follows";
        EXPECT_EQ(Grid->FSelectedRow, Case.Row);
        EXPECT_EQ(Case.Editor->Parent(), Target) << Case.Col;
        EXPECT_TRUE(Case.Editor->Visible());
        EXPECT_TRUE(Case.Editor->Focused()) << Case.Col;
        EXPECT_EQ(Case.Editor->Text(), "text " + IntToStr(Case.Row));
        EXPECT_EQ(Target->GetOldValue(), "text " + IntToStr(Case.Row));
        if (Case.Editor == Grid->FCellComboBox) {
            std::vector<AnsiString> Items;
            for (int I = 0; I < Grid->FCellComboBox->Items()->Count(); ++I)
                Items.push_back(Grid->FCellComboBox->Items()->Strings(I));
            EXPECT_EQ(Items, Case.Items) << Case.Col;
        }
        const bool Ellipsis = Case.Col == 7;
        EXPECT_EQ(Grid->FCellButton->Visible(), Ellipsis);
        if (Ellipsis) {
            EXPECT_EQ(Grid->FCellButton->Parent(), Target);
            EXPECT_EQ(Grid->FCellButton->Width(), 20);
            EXPECT_EQ(Grid->FCellButton->Caption(), "...");
            EXPECT_EQ(Grid->FCellButton->Left() + 20, Target->ClientWidth()) << "on the right";
            EXPECT_EQ(Grid->FCellEdit->Width(), Target->ClientWidth() - 20) << "the edit box fills the rest";
            QTest::mouseClick(Grid->FCellButton->PushButton(), Qt::LeftButton);
        }
    }
    EXPECT_EQ(Events.Log, (std::vector<AnsiString>{"init Zip", "pressed Country row 8"}));
}

TEST_F(GridCellFocus, ChoosingFromThePickListTakesTheTextIntoTheCellAndStartsAnEdit)
{
    TCellEvents Events;
    Column(5)->SetFEditStyle(CES_PickList);
    Column(5)->GetFPickUpList()->Add("CA");
    Column(5)->GetFPickUpList()->Add("NY");
    Column(5)->CellComboBoxSelected = TCellBtnPressedEvent(&Events, &TCellEvents::Selected);
    TGridCell* Target = Cell(5, 3);
    Target->DataCellSetFocus(false);
    ProcessEvents();
    QTest::keyClicks(Grid->FCellComboBox->ComboBox(), "N");
    EXPECT_TRUE(Target->GetIsModify());
    EXPECT_EQ(Target->GetAsString(), "N");
    EXPECT_EQ(AskText(Server(), &IFileDataSet::GetState), "Edit");
    EXPECT_EQ(Events.Log.front(), "selected N");
}

TEST_F(GridCellFocus, PositionOnlyMovesTheRecordSilentlyAndAnEmptyRowMovesNothing)
{
    Cell(0, 6)->DataCellSetFocus(true);
    EXPECT_EQ(RecNo(), 7);
    EXPECT_EQ(Edit->Text(), "1") << "the displays stay";
    EXPECT_EQ(Grid->FCellEdit->Parent(), Cell(0, 6));

    Cell(0, 2)->ClearCellData();
    Cell(0, 2)->DataCellSetFocus(false);
    EXPECT_EQ(RecNo(), 7) << "no record behind the row";
    EXPECT_EQ(Grid->FCellEdit->Parent(), Cell(0, 2)) << "the editor opens all the same";

    Grid->GetColumns()->GeTColumnItem(0)->FTitleCell->DataCellSetFocus(false);
    EXPECT_EQ(Grid->FCellEdit->Parent(), Cell(0, 2)) << "a title cell ignores it";
}

TEST_F(GridCellFocus, InTheDesignerFocusingMovesTheRecordButShowsNoEditor)
{
    Grid->FCellEdit->Hide();
    Grid->SetDesigning(true, false);
    Cell(2, 5)->DataCellSetFocus(false);
    EXPECT_EQ(RecNo(), 6);
    EXPECT_EQ(Grid->FSelectedRow, 5);
    EXPECT_FALSE(Grid->FCellEdit->Visible());
    EXPECT_NE(Grid->FCellEdit->Parent(), Cell(2, 5));
}

TEST_F(GridCellFocus, RemovingTheRowThatHoldsTheEditorKeepsTheEditorAlive)
{
    Cell(3, 9)->DataCellSetFocus(false);
    Grid->FSelectedCell = Cell(3, 9);
    Grid->SetFRowCount(5);
    EXPECT_EQ(Grid->FCellEdit->Parent(), nullptr);
    EXPECT_EQ(Grid->FSelectedCell, nullptr);
    Cell(3, 4)->DataCellSetFocus(false);
    EXPECT_EQ(Grid->FCellEdit->Parent(), Cell(3, 4));
    // A column deleted with the editor inside one of its cells.
    Grid->GetColumns()->Delete(3);
    EXPECT_EQ(Grid->FCellEdit->Parent(), nullptr);
    Cell(2, 1)->DataCellSetFocus(false);
    EXPECT_EQ(Grid->FCellEdit->Parent(), Cell(2, 1));
}

TEST_F(GridCellFocus, ARowDiffersFromItsRecordOnlyWhenACellNoLongerShowsTheField)
{
    Cell(0, 3)->DataCellSetFocus(true);
    EXPECT_FALSE(Grid->IsThisRowDataIsDifferentWithFieldData(3));
    Cell(1, 3)->SetAsString("changed by hand");
    EXPECT_TRUE(Grid->IsThisRowDataIsDifferentWithFieldData(3));
    EXPECT_FALSE(Grid->IsThisRowDataIsDifferentWithFieldData(10)) << "outside the page";
    EXPECT_FALSE(Grid->IsThisRowDataIsDifferentWithFieldData(-1));
    DataSet->SetFActive(false);
    EXPECT_FALSE(Grid->IsThisRowDataIsDifferentWithFieldData(3));
}

}  // namespace

namespace {

struct TKeyLog : TObject {
    std::vector<int> Downs;
    AnsiString Pressed;
    void Down(TObject*, WORD& Key, TShiftState) { Downs.push_back(Key); }
    void Press(TObject*, wchar_t& Key)
    {
        Pressed += static_cast<char>(Key);
        if (Key == L'x') Key = 0;
    }
};

TEST_F(GridCellFocus, KeysTypedIntoTheEditorReachTheCellFirstAndASwallowedKeyTypesNothing)
{
    TKeyLog Log;
    TGridCell* Target = Cell(1, 2);
    Target->OnKeyDown = TKeyEvent(&Log, &TKeyLog::Down);
    Target->OnKeyPress = TKeyPressEvent(&Log, &TKeyLog::Press);
    Target->DataCellSetFocus(false);
    ProcessEvents();
    Grid->FCellEdit->SetText(AnsiString());
    QTest::keyClicks(Grid->FCellEdit->LineEdit(), "axb");
    EXPECT_EQ(Grid->FCellEdit->Text(), "ab");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrNo);  // Down leaves the edited record: the save question
    QTest::keyClick(Grid->FCellEdit->LineEdit(), Qt::Key_Down);
    EXPECT_EQ(Log.Pressed, "axb");
    EXPECT_EQ(Log.Downs, (std::vector<int>{'A', 'X', 'B', 0x28}));
}

}  // namespace

namespace {

TEST_F(GridCellFocus, APostFromTheNavigatorKeepsWhatWasTypedIntoTheGridWithoutEnter)
{
    auto* Nav = new TZopFileDBNavigator(Form.get());
    Nav->SetParent(Form.get());
    Nav->SetBounds(0, 380, 600, 30);
    Nav->SetFDataSource(Source);
    ShowActive(Form.get());
    const auto Click = [](TNavBtn* Button) {
        QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton);
    };
    Click(Nav->FBtnNext);
    Click(Nav->FBtnNext);
    ASSERT_EQ(SelectedRow(), 2);
    TGridCell* Company = Cell(1, 2);
    Company->DataCellSetFocus(false);
    Click(Nav->FBtnEdit);
    ASSERT_EQ(AskText(Server(), &IFileDataSet::GetState), "Edit");
    QTest::keyClicks(Grid->FCellEdit->LineEdit(), " Ltd");
    Click(Nav->FBtnSave);
    EXPECT_EQ(AskText(Server(), &IFileDataSet::GetState), "Browse");
    EXPECT_EQ(RecNo(), 3);
    EXPECT_EQ(AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant("Company")), "Company 3 Ltd");
    EXPECT_EQ(Cell(1, 2)->GetAsString(), "Company 3 Ltd") << "the page shows the stored record";
    EXPECT_EQ(PageRecords()[0], 1) << "saving an edit keeps the page";
}

}  // namespace
