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

}  // namespace
