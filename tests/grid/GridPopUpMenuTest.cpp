#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TMenus.h"
#include "tests/support/UiTestSupport.h"

namespace {

struct TMenuClicks : TObject {
    std::vector<AnsiString> Captions;
    std::vector<TObject*> Senders;
    void Clicked(TObject* Sender, AnsiString Caption)
    {
        Senders.push_back(Sender);
        Captions.push_back(Caption);
    }
};

TEST(GridPopUpMenu, ARightClickPopsUpTheMenuAndItsHandlerGetsTheClickedCaption)
{
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 600, 400);
    auto* Grid = new TZopFileDBGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(20, 30, 400, 300);
    auto* Menu = new TPopupMenu(Form.get());
    for (const char* Caption : {"複製", "Refresh"}) {
        auto* Item = new TMenuItem(Form.get());
        Item->SetCaption(Caption);
        Menu->Items()->Add(Item);
    }
    TMenuClicks Clicks;
    Grid->SetOnGridPopUpMenuClick(TGridPopUpMenuClickEvent(&Clicks, &TMenuClicks::Clicked));
    Grid->SetFPopupMenu(Menu);
    EXPECT_EQ(Grid->FCellEdit->PopupMenu(), Menu) << "the editors share the menu";
    ShowActive(Form.get());

    QTest::mouseClick(Grid->ClientWidget(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 250));
    EXPECT_EQ(Menu->Menu(), nullptr) << "only the right button";
    QTest::mouseClick(Grid->ClientWidget(), Qt::RightButton, Qt::NoModifier, QPoint(300, 250));
    ASSERT_NE(Menu->Menu(), nullptr);
    const QPoint Expected = Grid->ClientWidget()->mapToGlobal(QPoint(300, 250));
    EXPECT_EQ(Menu->Menu()->pos(), Expected) << "at the pointer";
    Menu->Menu()->actions().at(1)->trigger();
    Menu->Menu()->actions().at(0)->trigger();
    EXPECT_EQ(Clicks.Captions, (std::vector<AnsiString>{"Refresh", "複製"}));
    EXPECT_EQ(Clicks.Senders[0], Menu->Items()->Items(1));

    // A freed menu is forgotten by the grid and its editors.
    delete Menu;
    EXPECT_EQ(Grid->GetPopUpMenu(), nullptr);
    EXPECT_EQ(Grid->FCellEdit->PopupMenu(), nullptr);
    QTest::mouseClick(Grid->ClientWidget(), Qt::RightButton, Qt::NoModifier, QPoint(300, 250));
}

}  // namespace
