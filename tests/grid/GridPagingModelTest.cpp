// The grid's paging against a plain model of it: random runs of navigator clicks, arrow and
// paging keys, clicks on rows and cancelled inserts, driven with real Qt events; after every
// step the page, the highlighted row and the cursor are the model's, and the grid's stated
// invariants hold.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "components/grid/TColumnItem.h"
#include "framework/ui/TEdit.h"
#include "interface/ServerCall.h"
#include "tests/grid/GridTestSupport.h"
#include "tests/support/UiTestSupport.h"

namespace {

// What the user sees of the paging: the record in row 0 (Top), the highlighted row
// (Selected) and the cursor's record (Current = Top + Selected), over Count records shown
// in Rows rows.
struct TPageModel {
    int Count = 0;
    int Rows = 0;
    int Top = 1;
    int Selected = 0;

    int Current() const { return Top + Selected; }
    // The page laid out with Record in its bottom row, as far as the records before it allow.
    void EndAt(int Record)
    {
        Top = std::max(1, Record - Rows + 1);
        Selected = Record - Top;
    }
    // The cursor moves within the page, which stays.
    void Within(int Record) { Selected = Record - Top; }

    void First() { EndAt(1); }
    void Last() { EndAt(Count); }
    // The navigator's Next and Prior scroll the page only from its bottom or top row (row 9
    // and row 0: a page of fewer rows never scrolls).
    void Next()
    {
        const int Record = std::min(Current() + 1, Count);
        if (Selected == 9) EndAt(Record); else Within(Record);
    }
    void Prior()
    {
        const int Record = std::max(Current() - 1, 1);
        if (Selected == 0) EndAt(Record); else Within(Record);
    }
    // The arrow keys move the highlight within the page and shift the page by one record at
    // its edges.
    void Down()
    {
        if (Selected + 1 < Rows) ++Selected; else EndAt(std::min(Current() + 1, Count));
    }
    void Up()
    {
        if (Selected > 0) {
            --Selected;
        } else {
            Top = std::max(Current() - 1, 1);
            Selected = 0;
        }
    }
    // The paging keys move the page and the cursor by a page, as far as the records reach.
    void Page(bool Down)
    {
        const int Step = Down ? Rows : -Rows;
        const int Record = std::clamp(Current() + Step, 1, Count);
        Top = std::clamp(Top + Step, 1, std::max(1, Count - Rows + 1));
        Selected = Record - Top;
    }
    void Click(int Row) { Selected = Row; }
};

class GridPagingModel : public TGridOnServer, public ::testing::WithParamInterface<int> {
protected:
    void Build(int Count)
    {
        Grid->SetBounds(0, 0, 690, 300);
        FillCustomers(Count);
        OpenAndBind();
        Nav = new TZopFileDBNavigator(Form.get());
        Nav->SetParent(Form.get());
        Nav->SetTop(340);
        Nav->SetFDataSource(Source);
        ShowActive(Form.get());
        Model.Count = Count;
        Model.Rows = std::min(Count, TZopFileDBGrid::PageRows);
    }
    void Click(TNavBtn* Button) { QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton); }
    // A key typed into the grid's edit box; a click on the highlighted row's cell first gives
    // the grid the keyboard when the navigator holds it.
    void Key(Qt::Key K, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        if (!Grid->EditorCell()) ClickCell(1, SelectedRow());
        ASSERT_NE(Grid->EditorCell(), nullptr) << "a click gives the grid the keyboard";
        QTest::keyClick(Grid->FCellEdit->LineEdit(), K, Modifiers);
    }
    // The page shows Model.Rows records from Model.Top, the highlighted row and the cursor
    // are the model's, and the grid's invariants hold.
    void ExpectModel(const std::string& Step)
    {
        std::vector<int> Expected(static_cast<std::size_t>(Model.Rows));
        for (int R = 0; R < Model.Rows; ++R) Expected[static_cast<std::size_t>(R)] = Model.Top + R;
        ASSERT_EQ(Grid->CheckInvariants(), "") << Step;
        ASSERT_EQ(PageRecords(), Expected) << Step;
        ASSERT_EQ(SelectedRow(), Model.Selected) << Step;
        ASSERT_EQ(RecNo(), Model.Current()) << Step;
    }

    TZopFileDBNavigator* Nav = nullptr;  // not owned: the form owns it
    TPageModel Model;
};

TEST_P(GridPagingModel, RandomNavigationKeysAndClicksPageAsThePlainModelDoes)
{
    std::mt19937 Random(static_cast<unsigned>(GetParam()));
    // Fewer records than a page, exactly a page, and several pages.
    const int Counts[] = {6, 10, 34};
    const int Count = Counts[GetParam() % 3];
    Build(Count);
    ExpectModel("the first page");
    std::string Trail;
    for (int Step = 0; Step < 120; ++Step) {
        switch (std::uniform_int_distribution<int>(0, 10)(Random)) {
        case 0: Trail += " First"; Click(Nav->FBtnFirst); Model.First(); break;
        case 1: Trail += " Prior"; Click(Nav->FBtnPrior); Model.Prior(); break;
        case 2: Trail += " Next"; Click(Nav->FBtnNext); Model.Next(); break;
        case 3: Trail += " Last"; Click(Nav->FBtnLast); Model.Last(); break;
        case 4: Trail += " Up"; Key(Qt::Key_Up); Model.Up(); break;
        case 5: Trail += " Down"; Key(Qt::Key_Down); Model.Down(); break;
        case 6: Trail += " PageUp"; Key(Qt::Key_PageUp); Model.Page(false); break;
        case 7: Trail += " PageDown"; Key(Qt::Key_PageDown); Model.Page(true); break;
        case 8: {
            const bool End = Random() % 2 != 0;
            Trail += End ? " Ctrl+End" : " Ctrl+Home";
            Key(End ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
            if (End) Model.Last(); else Model.First();
            break;
        }
        case 9: {
            const int Row = std::uniform_int_distribution<int>(0, Model.Rows - 1)(Random);
            Trail += " click row " + std::to_string(Row);
            ClickCell(2, Row);
            Model.Click(Row);
            break;
        }
        default: {
            // An insert begun and cancelled: the insert row comes and goes, and the cursor
            // stays on its record, highlighted on a page laid out again.
            Trail += " Add+Cancel";
            Click(Nav->FBtnAdd);
            ASSERT_EQ(Grid->CheckInvariants(), "") << Trail;
            ASSERT_EQ(Grid->GetFRowCount(), std::min(Model.Rows + 1, TZopFileDBGrid::PageRows)) << Trail;
            const int Current = Model.Current();
            Click(Nav->FBtnCancel);
            const std::vector<int> Page = PageRecords();
            ASSERT_FALSE(Page.empty()) << Trail;
            Model.Top = Page.front();
            Model.Within(Current);
            break;
        }
        }
        ExpectModel("after" + Trail);
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GridPagingModel, ::testing::Range(1, 7));

using GridInvariants = TGridOnServer;

TEST_F(GridInvariants, EachBrokenInvariantIsNamedAndMendingItClearsTheAnswer)
{
    FillCustomers(25);
    OpenAndBind();
    auto* Other = new TZopFileDBGrid(Form.get());
    Other->SetParent(Form.get());
    Other->SetFDataSource(Source);
    ASSERT_EQ(Grid->CheckInvariants(), "");
    TColumnItem* Column1 = Grid->GetColumns()->GeTColumnItem(1);
    const struct {
        const char* Problem;  // a part of the answer
        std::function<void()> Break, Mend;
    } Cases[] = {
        {"FTopDataPos is 0", [&] { Grid->FTopDataPos = 0; }, [&] { Grid->FTopDataPos = -1; }},
        {"both the grid and a navigator",
         [&] { Grid->FGridMovesCursor = Grid->FNavigatorMovesCursor = true; },
         [&] { Grid->FGridMovesCursor = false; }},
        {"shift both up and down", [&] { Grid->FPageUpPending = Grid->FPageDownPending = true; },
         [&] { Grid->FPageUpPending = Grid->FPageDownPending = false; }},
        {"FSelectedCell is not one of its data cells",
         [&] { Grid->FSelectedCell = Other->GetColumns()->GetDataCell(0, 2); },
         [&] { Grid->FSelectedCell = Cell(0, 2); }},
        {"a shared editor is inside", [&] { Grid->FCellEdit->SetParent(Other->GetColumns()->GetDataCell(1, 1)); },
         [&] { Grid->FCellEdit->SetParent(Cell(1, 1)); }},
        {"the data cell 3 of column 0 is in row 5", [&] { Cell(0, 3)->SetFRow(5); }, [&] { Cell(0, 3)->SetFRow(3); }},
        {"column 1 has 9 data cells, column 0 has 10", [&] { Column1->DeleteDataCell(); },
         [&] { Column1->AddNewDataCell(); }},
    };
    for (const auto& Case : Cases) {
        Case.Break();
        EXPECT_NE(Grid->CheckInvariants().find(Case.Problem), AnsiString::npos)
            << Case.Problem << ", answered: " << Grid->CheckInvariants();
        Case.Mend();
        EXPECT_EQ(Grid->CheckInvariants(), "") << "mended: " << Case.Problem;
    }
    EXPECT_EQ(Other->CheckInvariants(), "") << "the other grid was never broken";
}

}  // namespace
