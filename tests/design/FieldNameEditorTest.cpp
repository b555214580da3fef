// Design-time support: the palette registration and the DataField editor on the real server.
#include <gtest/gtest.h>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridColumns.h"
#include "design/TZopFileDbControlFieldName.h"
#include "design/ZopFileDBReg.h"
#include "framework/core/DateTime.h"
#include "framework/design/DesignRegistry.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

using Names = std::vector<AnsiString>;

const Names CustomerFields{"CustNo", "Company", "Addr1",   "Addr2", "City",    "State",          "Zip",
                           "Country", "Phone", "FAX",     "TaxRate", "Contact", "LastInvoiceDate"};

class FieldNameEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        ClearDesignRegistry();
        Register();
        DropAllMemoryTables();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 500, 300);
        DS = new TZopFileDataSet(Form.get());
        DS->SetName("TbMain");
        DS->SetFAccessUserName("1688");
        DS->setFSchemaFileName(DEMO_SCHEMA);
        Source = new TZopFileDataSource(Form.get());
        Source->SetFDataSet(DS);
        Edit1 = NewEdit("Edit1", 200);
        Edit2 = NewEdit("Edit2", 250);
        Text = new TZopFileDBText(Form.get());
        Text->SetFDataSource(Source);
        Form->SetDesigning(true);
    }
    void TearDown() override
    {
        Form.reset();
        DropAllMemoryTables();
    }
    TZopFileDBEdit* NewEdit(const char* Name, int Left)
    {
        auto* E = new TZopFileDBEdit(Form.get());
        E->SetName(Name);
        E->SetParent(Form.get());
        E->SetBounds(Left, 40, 121, 21);
        E->SetFDataSource(Source);
        return E;
    }
    std::unique_ptr<TPropertyEditor> EditorFor(std::vector<TPersistent*> Selection)
    {
        const TPropInfo* Prop = Selection.front()->ClassInfo()->FindProperty("DataField");
        return CreatePropertyEditor(std::move(Selection), Prop);
    }
    Names ValuesOf(TPersistent* Component)
    {
        Names Result;
        EditorFor({Component})->GetValues([&](const AnsiString& Name) { Result.push_back(Name); });
        return Result;
    }

    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DS = nullptr;          // owned by the form
    TZopFileDataSource* Source = nullptr;   // owned by the form
    TZopFileDBEdit* Edit1 = nullptr;        // owned by the form
    TZopFileDBEdit* Edit2 = nullptr;        // owned by the form
    TZopFileDBText* Text = nullptr;         // owned by the form
};

TEST_F(FieldNameEditor, RegisterPutsTheComponentsOnTheirPageAndTheEditorOnEveryDataField)
{
    ASSERT_EQ(PalettePages(), (Names{"ZopFileDBSuit"}));
    Names Classes;
    for (const TClassInfo* C : PaletteClasses("ZopFileDBSuit")) Classes.push_back(C->Name);
    EXPECT_EQ(Classes, (Names{"TZopFileDataSet", "TZopFileDataSource", "TZopFileDBEdit", "TZopFileDBText",
                              "TZopFileDBNavigator", "TZopFileDBGrid"}));
    for (TPersistent* Component : {static_cast<TPersistent*>(Edit1), static_cast<TPersistent*>(Text)}) {
        auto Editor = EditorFor({Component});
        ASSERT_NE(dynamic_cast<TZopFileDbControlFieldName*>(Editor.get()), nullptr);
        EXPECT_EQ(Editor->GetAttributes(), (TPropertyAttributes{paValueList, paMultiSelect, paSortList}));
        EXPECT_EQ(Editor->GetEditLimit(), 128);
    }
    // A plain text property of the same component keeps the base editor.
    auto Other = CreatePropertyEditor({Edit1}, Edit1->ClassInfo()->FindProperty("ImeName"));
    EXPECT_EQ(dynamic_cast<TZopFileDbControlFieldName*>(Other.get()), nullptr);
}

TEST_F(FieldNameEditor, AClosedDataSetIsOpenedAsDesignerListedClosedAndItsUserRestored)
{
    EXPECT_EQ(ValuesOf(Edit1), CustomerFields);
    EXPECT_FALSE(DS->GetActive());
    EXPECT_EQ(DS->GetAccessUser(), "1688");
    EXPECT_EQ(ValuesOf(Text), CustomerFields) << "a bound text lists the same names";
    auto* Grid = new TZopFileDBGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->GetColumns()->Add();
    Grid->SetFDataSource(Source);
    EXPECT_EQ(ValuesOf(Grid->GetColumns()->GeTColumnItem(0)), CustomerFields) << "and so does a grid column";

    DS->SetFActive(true);
    EXPECT_EQ(ValuesOf(Edit1), CustomerFields);
    EXPECT_TRUE(DS->GetActive()) << "an active dataset is listed as it is";
    EXPECT_EQ(DS->GetAccessUser(), "1688");
}

TEST_F(FieldNameEditor, WithoutASchemaOrDataSourceTheListIsEmptyAndNothingIsTouched)
{
    DS->setFSchemaFileName("   ");
    EXPECT_TRUE(ValuesOf(Edit1).empty());
    EXPECT_EQ(DS->GetAccessUser(), "1688");
    Edit2->SetFDataSource(nullptr);
    DS->setFSchemaFileName(DEMO_SCHEMA);
    EXPECT_TRUE(ValuesOf(Edit2).empty());
}

TEST_F(FieldNameEditor, AFailedOpeningListsNothingAndLeavesTheUserAsItWas)
{
    DS->setFSchemaFileName("no-such-schema.SFD");
    EXPECT_THROW(ValuesOf(Edit1), Exception);
    EXPECT_FALSE(DS->GetActive());
    EXPECT_EQ(DS->GetAccessUser(), "1688");
}

TEST_F(FieldNameEditor, ChoosingAFieldColoursTheFirstEditByKeyAndLimitsItsLength)
{
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrNo).Answer(mrNo);
    Edit2->SetColor(clRed);
    EditorFor({Edit1, Edit2})->SetValue("CustNo");
    EXPECT_EQ(Edit1->GetDataField(), "CustNo");
    EXPECT_EQ(Edit2->GetDataField(), "CustNo") << "every selected edit gets the value";
    EXPECT_EQ(Edit1->Color(), static_cast<TColor>(7779576));
    EXPECT_EQ(Edit1->MaxLength(), 8);
    EXPECT_EQ(Edit2->Color(), clRed) << "only the first gets colour, length and label";
    EXPECT_EQ(Edit2->MaxLength(), 0);

    EditorFor({Edit1})->SetValue("Company");
    EXPECT_EQ(Edit1->Color(), static_cast<TColor>(0x00FFFFFF));
    EXPECT_EQ(Edit1->MaxLength(), 40);
    EXPECT_EQ(Dialogs.Texts(), (Names{"是否要產生標題(TLabel)??", "是否要產生標題(TLabel)??"}));
    EXPECT_EQ(Form->ComponentCount(), 5) << "No creates no label";
    EXPECT_FALSE(DS->GetActive()) << "the dataset is not opened for it";
}

TEST_F(FieldNameEditor, BlanksAndBoundTextsGetTheValueAndNothingElse)
{
    Edit1->SetColor(clRed);
    EditorFor({Edit1})->SetValue("   ");
    EXPECT_EQ(Edit1->GetDataField(), "   ");
    EXPECT_EQ(Edit1->Color(), clRed);
    EditorFor({Text})->SetValue("City");
    EXPECT_EQ(Text->FDataField, "City");
    auto* Grid = new TZopFileDBGrid(Form.get());
    Grid->GetColumns()->Add();
    Grid->SetFDataSource(Source);
    TColumnItem* Column = Grid->GetColumns()->GeTColumnItem(0);
    EditorFor({Column})->SetValue("Zip");
    EXPECT_EQ(Column->GetDataField(), "Zip");
    EXPECT_EQ(Form->ComponentCount(), 6) << "no label: the grid is the only new component";  // and no dialog came
}

// Waits until the clock's second changes, so that what follows runs early in a second.
void WaitForTheNextSecond()
{
    const AnsiString Start = FormatDateTime("ss", Now());
    while (FormatDateTime("ss", Now()) == Start) {
    }
}

TEST_F(FieldNameEditor, YesCreatesACaptionLabelNamedByTheTimeLeftOfTheEditAndATakenNameGivesTheNextFreeOne)
{
    TScriptedDialogs Dialogs;
    Dialogs.Answer(mrYes).AnswerInput("Customer No.").Answer(mrYes).AnswerInput("Company").Answer(mrYes).AnswerInput("");
    WaitForTheNextSecond();
    EditorFor({Edit1})->SetValue("CustNo");
    const AnsiString Stamp = "Lb_" + FormatDateTime("ddhhnnss", Now());
    ASSERT_EQ(Form->ComponentCount(), 6);
    auto* Label = dynamic_cast<TLabel*>(Form->Components(5));
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->Name(), Stamp);
    EXPECT_EQ(Label->Caption(), "Customer No.");
    EXPECT_EQ(Label->Left(), Edit1->Left() - Label->Width() - 24);
    EXPECT_EQ(Label->Top(), Edit1->Top() + 6);
    EXPECT_EQ(Label->Parent(), Form.get());
    EXPECT_TRUE(Label->ComponentState().Contains(csDesigning));
    ASSERT_EQ(Dialogs.Dialogs().size(), 2u);
    EXPECT_EQ(Dialogs.Dialogs()[1].Caption, "標題內容(TLabel.Caption)");
    EXPECT_EQ(Dialogs.Dialogs()[1].Text, "輸入標題內容");
    EXPECT_EQ(Dialogs.Dialogs()[1].Value, "CustNo");

    // Labels made within one second (or named so by hand) would share the time's name: the
    // next free one is taken, for this second or the next.
    const TDateTime Time = Now();
    const AnsiString This = "Lb_" + FormatDateTime("ddhhnnss", Time);
    const AnsiString Next = "Lb_" + FormatDateTime("ddhhnnss", Time + 1.0 / 86400);
    for (const AnsiString& Name : {This, This + "_2", Next, Next + "_2"}) {
        if (Form->FindComponent(Name)) continue;
        auto* Taken = new TLabel(Form.get());
        Taken->SetName(Name);
    }
    const int Count = Form->ComponentCount();
    EditorFor({Edit2})->SetValue("Company");
    ASSERT_EQ(Form->ComponentCount(), Count + 1);
    auto* Second = dynamic_cast<TLabel*>(Form->Components(Count));
    ASSERT_NE(Second, nullptr);
    EXPECT_TRUE(Second->Name() == This + "_3" || Second->Name() == Next + "_3") << Second->Name();
    EXPECT_EQ(Second->Caption(), "Company");
    EXPECT_EQ(Edit2->GetDataField(), "Company");

    // And one more takes the one after.
    EditorFor({Edit1})->SetValue("City");
    auto* Third = dynamic_cast<TLabel*>(Form->Components(Count + 1));
    ASSERT_NE(Third, nullptr);
    EXPECT_TRUE(Third->Name() == This + "_4" || Third->Name() == Next + "_3" || Third->Name() == Next + "_4")
        << Third->Name();
}

}  // namespace
