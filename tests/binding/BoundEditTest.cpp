// The bound edit driven with real key events: typing starts an edit, Enter moves the focus.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TPanel.h"
#include "tests/support/RecordingFileDataSet.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/UiTestSupport.h"

namespace {

class BoundEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
        DS = new TZopFileDataSet(Form.get());
        Source = new TZopFileDataSource(Form.get());
        Source->SetFDataSet(DS);
        Name = AddEdit("Name", "Company", 10);
        Key = AddEdit("Key", "CustNo", 40);
        Server()->KeyFields = {"CustNo"};
        Server()->Fields = {{"Company", "Acme"}, {"CustNo", "1221"}};
        Server()->Answer("GetRecordCount", OleVariant(1));
        DS->SetFActive(true);
        ShowActive(Form.get());
    }
    TZopFileDBEdit* AddEdit(const char* EditName, const char* Field, int Top)
    {
        auto* E = new TZopFileDBEdit(Form.get());
        E->SetName(EditName);
        E->SetParent(Form.get());
        E->SetTop(Top);
        E->SetFDataSource(Source);
        E->SetFFieldName(Field);
        return E;
    }
    void Type(TZopFileDBEdit* Edit, const char* Keys)
    {
        Edit->SetFocus();
        QTest::keyClicks(Edit->LineEdit(), Keys);
    }
    TRecordingFileDataSet* Server() const { return Servers.Last(); }

    TRecordingServerClass Servers;
    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DS = nullptr;          // owned by the form
    TZopFileDataSource* Source = nullptr;   // owned by the form
    TZopFileDBEdit* Name = nullptr;         // owned by the form
    TZopFileDBEdit* Key = nullptr;          // owned by the form
};

TEST_F(BoundEdit, TypingInBrowseStartsOneEditOnANonKeyFieldAndNoneOnAKeyField)
{
    EXPECT_EQ(Name->Text(), "Acme");
    Type(Key, "9");
    EXPECT_TRUE(Server()->CallsOf("Edit").empty());
    EXPECT_EQ(Key->Text(), "12219") << "the character still reaches the edit";

    Type(Name, "xy");
    EXPECT_EQ(Server()->CallsOf("Edit").size(), 1u) << "in Edit typing does not call Edit again";
    EXPECT_EQ(Name->Text(), "Acmexy");
    EXPECT_TRUE(Name->Modified());

    Server()->Answer("GetState", OleVariant("Insert"));
    Type(Name, "z");
    EXPECT_EQ(Server()->CallsOf("Edit").size(), 1u);
}

TEST_F(BoundEdit, TextSetByCodeNeverLooksLikeTyping)
{
    Name->SetText("from code");
    Source->PostDisplayData();
    Name->SetFFieldName("Company");
    EXPECT_TRUE(Server()->CallsOf("Edit").empty());
    EXPECT_FALSE(Name->Modified());
    EXPECT_EQ(Name->Text(), "Acme") << "setting DataField on an active dataset shows the value at once";
}

TEST_F(BoundEdit, AFailingEditRaisesAndTheCharacterIsNotTyped)
{
    Server()->Fail("Edit", E_ACCESSDENIED, "The data is read-only.");
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrOk);
    Type(Name, "q");
    EXPECT_EQ(Name->Text(), "Acme");
    EXPECT_EQ(Dialogs.Texts(), (std::vector<AnsiString>{"The data is read-only."}));
}

TEST_F(BoundEdit, EnterMovesTheFocusToTheNextControlThatCanTakeItAndWrapsFromTheLast)
{
    auto* Hidden = AddEdit("Hidden", "Zip", 70);
    Hidden->SetVisible(false);
    auto* Disabled = AddEdit("Disabled", "Zip", 100);
    Disabled->SetEnabled(false);
    auto* Last = AddEdit("Last", "Zip", 130);
    Type(Key, "\r");
    EXPECT_TRUE(Last->Focused()) << "hidden and disabled controls are skipped";
    Type(Last, "\r");
    EXPECT_TRUE(Name->Focused()) << "the last control of the tab order wraps to the first";
    QTest::keyClick(Name->LineEdit(), Qt::Key_Return);
    EXPECT_TRUE(Key->Focused());
    EXPECT_TRUE(Server()->CallsOf("Edit").empty()) << "Enter starts no edit";
}

}  // namespace
