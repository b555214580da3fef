// The dataset, data source and bound controls on the real record-storage server.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <memory>

#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"

namespace {

AnsiString FormText()
{
    return AnsiString(R"(object Form1: TForm
  Width = 400
  Height = 200
  object CustEdit: TZopFileDBEdit
    Left = 8
    Top = 8
    DataSource = Src
    DataField = 'CustNo'
  end
  object CompanyEdit: TZopFileDBEdit
    Left = 8
    Top = 40
    DataSource = Src
    DataField = 'Company'
  end
  object CompanyText: TZopFileDBText
    Left = 8
    Top = 72
    DataSource = Src
    DataField = 'Company'
  end
  object DS: TZopFileDataSet
    AccessUser = '1688'
    SchemaFileName = ')") + DEMO_SCHEMA + R"('
    DataReadOnly = False
  end
  object Src: TZopFileDataSource
    DataSet = DS
  end
end
)";
}

class BindingOnServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterZopFileDBClasses();
        DropAllMemoryTables();
        Form = std::make_unique<TForm>(nullptr);
        ReadFormText(FormText(), Form.get(), "binding.form");
        DS = static_cast<TZopFileDataSet*>(Form->FindComponent("DS"));
        CustEdit = static_cast<TZopFileDBEdit*>(Form->FindComponent("CustEdit"));
        CompanyEdit = static_cast<TZopFileDBEdit*>(Form->FindComponent("CompanyEdit"));
        CompanyText = static_cast<TZopFileDBText*>(Form->FindComponent("CompanyText"));
    }
    void TearDown() override
    {
        Form.reset();
        DropAllMemoryTables();
    }
    // Adds a customer through a second session of the same memory table.
    void AddCustomer(const char* CustNo, const char* Company)
    {
        TComInterface<IFileDataSet> Other = CoFileDataSet::Create();
        Check(Other->SetAccessUser(OleVariant("1688")));
        Check(Other->SetSchemaFileName(OleVariant(DEMO_SCHEMA)));
        Ask(Other.get(), &IFileDataSet::Open);
        Check(Other->Insert());
        Check(Other->SetFieldValue(OleVariant("CustNo"), OleVariant(CustNo)));
        Check(Other->SetFieldValue(OleVariant("Company"), OleVariant(Company)));
        Ask(Other.get(), &IFileDataSet::Post);
        Check(Other->Close());
    }

    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DS = nullptr;           // owned by the form
    TZopFileDBEdit* CustEdit = nullptr;      // owned by the form
    TZopFileDBEdit* CompanyEdit = nullptr;   // owned by the form
    TZopFileDBText* CompanyText = nullptr;   // owned by the form
};

TEST_F(BindingOnServer, AClosedFormShowsPlaceholdersAndOpeningShowsTheFirstRecord)
{
    AddCustomer("1510", "Harbour Light Trading");
    AddCustomer("1221", "Formosa Tea House");
    DS->SetFActive(true);
    EXPECT_EQ(CustEdit->Text(), "1221");
    EXPECT_EQ(CompanyEdit->Text(), "Formosa Tea House");
    EXPECT_EQ(CompanyText->Caption(), "Formosa Tea House");
    SaveScreenshot(Form.get(), "binding_first_record");
}

TEST_F(BindingOnServer, TypingAndPostingStoresTheValueAndTheOtherControlsFollow)
{
    AddCustomer("1221", "Formosa Tea House");
    AddCustomer("1510", "Harbour Light Trading");
    DS->SetFActive(true);
    ShowActive(Form.get());
    IFileDataSet* Server = DS->FileDataSet();

    CompanyEdit->SetFocus();
    CompanyEdit->SelectAll();
    QTest::keyClicks(CompanyEdit->LineEdit(), "Formosa Teas");
    EXPECT_EQ(AskText(Server, &IFileDataSet::GetState), "Edit");
    EXPECT_EQ(CompanyText->Caption(), "Formosa Tea House") << "nothing is refreshed while editing";
    Ask(Server, &IFileDataSet::Post);
    EXPECT_EQ(AskText(Server, &IFileDataSet::GetState), "Browse");
    EXPECT_EQ(CompanyText->Caption(), "Formosa Teas");

    // The value is stored: another session reads it, and moving away and back shows it.
    Check(Server->Next());
    EXPECT_EQ(CompanyEdit->Text(), "Harbour Light Trading");
    EXPECT_EQ(CustEdit->Text(), "1510");
    Check(Server->First());
    EXPECT_EQ(CompanyEdit->Text(), "Formosa Teas");
}

TEST_F(BindingOnServer, InsertBlanksTheControlsAndPostWritesWhatWasTyped)
{
    DS->SetFActive(true);
    ShowActive(Form.get());
    IFileDataSet* Server = DS->FileDataSet();
    Check(Server->Insert());
    EXPECT_EQ(CompanyEdit->Text(), "");
    EXPECT_EQ(CompanyText->Caption(), "");
    CustEdit->SetFocus();
    QTest::keyClicks(CustEdit->LineEdit(), "4312");
    CompanyEdit->SetFocus();
    QTest::keyClicks(CompanyEdit->LineEdit(), "Jade Mountain Outfitters");
    Ask(Server, &IFileDataSet::Post);
    EXPECT_EQ(AskInt(Server, &IFileDataSet::GetRecordCount), 1);
    EXPECT_EQ(AskText(Server, &IFileDataSet::GetFieldValue, OleVariant("CustNo")), "4312");
    EXPECT_EQ(CompanyText->Caption(), "Jade Mountain Outfitters");
}

// A form whose dataset is streamed with Active = True, the dataset placed before the data
// source (it opens while the data source is created) or as the last component (it opens
// when the form has loaded).
AnsiString ActiveForm(const std::string& Schema, bool DataSetLast)
{
    const AnsiString DataSet = AnsiString("  object DS: TZopFileDataSet\n    AccessUser = '1688'\n    SchemaFileName = '") +
                               Schema + "'\n    DataReadOnly = False\n    Active = True\n  end\n";
    const AnsiString Source = "  object Src: TZopFileDataSource\n    DataSet = DS\n  end\n";
    const AnsiString Edit =
        "  object CustEdit: TZopFileDBEdit\n    DataSource = Src\n    DataField = 'CustNo'\n  end\n";
    return "object Form1: TForm\n" + Edit + (DataSetLast ? Source + DataSet : DataSet + Source) + "end\n";
}

TEST_F(BindingOnServer, ADataSetThatCannotOpenWhileItsFormLoadsRaisesAnErrorNamingTheFormFileAndTheDataSet)
{
    TempDir Dir;
    const std::string BadType = Dir.WriteFile("badtype.SFD", "[Table]\nName = Customer\n[Fields]\nCustNo, Datum, 8, Key\n");
    const struct {
        std::string Schema;
        bool DataSetLast;
        const char* Problem;  // what the message must also say
    } Cases[] = {
        {Dir.File("missing.SFD"), false, "missing.SFD"},
        {BadType, false, "unknown type Datum"},
        {Dir.File("missing.SFD"), true, "missing.SFD"},
        {BadType, true, "unknown type Datum"},
    };
    for (const auto& Case : Cases) {
        TForm Loaded(nullptr);
        try {
            ReadFormText(ActiveForm(Case.Schema, Case.DataSetLast), &Loaded, "safe.form");
            ADD_FAILURE() << Case.Schema << ": the form loaded";
        } catch (const EReadError& E) {
            const AnsiString Message = E.what();
            for (const char* Part : {"safe.form", "The dataset DS cannot be opened", Case.Problem})
                EXPECT_NE(Message.find(Part), AnsiString::npos) << Message;
        }
        EXPECT_EQ(Loaded.ComponentCount(), 0) << "the form is left as it was";
    }
}

TEST_F(BindingOnServer, ADataSetStreamedActiveAsTheLastComponentOpensWhenItsFormHasLoaded)
{
    AddCustomer("1221", "Formosa Tea House");
    TForm Loaded(nullptr);
    ReadFormText(ActiveForm(DEMO_SCHEMA, true), &Loaded, "last.form");
    auto* LastDS = static_cast<TZopFileDataSet*>(Loaded.FindComponent("DS"));
    EXPECT_TRUE(LastDS->GetActive());
    EXPECT_EQ(AskText(LastDS->FileDataSet(), &IFileDataSet::GetState), "Browse");
    EXPECT_EQ(static_cast<TZopFileDBEdit*>(Loaded.FindComponent("CustEdit"))->Text(), "1221")
        << "the first record is shown";
}

TEST_F(BindingOnServer, ADataFieldThatNamesNoFieldIsReportedWithTheControlTheFieldAndTheTable)
{
    AddCustomer("1221", "Formosa Tea House");
    auto* Grid = new TZopFileDBGrid(Form.get());
    Grid->SetParent(Form.get());
    Grid->GetColumns()->Add()->SetDataField("CustNo");
    auto* Src = static_cast<TZopFileDataSource*>(Form->FindComponent("Src"));
    Grid->SetFDataSource(Src);
    for (TComponent* Control : std::initializer_list<TComponent*>{CompanyEdit, CompanyText, Grid}) {
        DS->SetFActive(false);
        if (Control == CompanyEdit) CompanyEdit->SetFFieldName("Compnay");
        if (Control == CompanyText) CompanyText->FDataField = "Compnay";
        if (Control == Grid) Grid->GetColumns()->Add()->SetDataField("Compnay");
        try {
            DS->SetFActive(true);
            ADD_FAILURE() << Control->Name() << ": no error";
        } catch (const Exception& E) {
            const AnsiString Message = E.what();
            for (const AnsiString& Part : {Control->Name(), AnsiString("'Compnay'"), AnsiString("Customer")})
                EXPECT_NE(Message.find(Part), AnsiString::npos) << Message;
        }
        if (Control == CompanyEdit) CompanyEdit->SetFFieldName("Company");
        if (Control == CompanyText) CompanyText->FDataField = "Company";
    }
}

}  // namespace
