// The dataset's records from code on the real server: the steps leave the bound controls as
// the navigator's buttons do, the fields read and write typed values, and every failure
// names the operation or the field.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "com/ComObj.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/FormReader.h"
#include "framework/core/TextUtils.h"
#include "framework/ui/TForm.h"
#include "interface/ServerCall.h"
#include "server/RegisterFileDataSetServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"

namespace {

const char* const OrdersSchema =
    "[Table]\nName = Orders\n[Fields]\nOrderNo, Integer, 6, Key\nCustomer, Text, 30\nOrdered, Date\n"
    "Amount, Decimal(2), 12\nPaid, Boolean\nRate, Number, 12\n";

// A form with an edit, a text, a grid and a navigator on the orders table (memory).
AnsiString FormText(const std::string& Schema)
{
    return AnsiString(R"(object Form1: TForm
  Width = 640
  Height = 420
  object CustomerEdit: TZopFileDBEdit
    Left = 8
    Top = 8
    DataSource = Src
    DataField = 'Customer'
  end
  object AmountText: TZopFileDBText
    Left = 240
    Top = 8
    DataSource = Src
    DataField = 'Amount'
  end
  object Grid: TZopFileDBGrid
    Left = 8
    Top = 40
    Width = 600
    Height = 290
    DataSource = Src
  end
  object Nav: TZopFileDBNavigator
    Left = 8
    Top = 340
    DataSource = Src
  end
  object DS: TZopFileDataSet
    AccessUser = 'clerk'
    SchemaFileName = ')") +
           Schema + R"('
  end
  object Src: TZopFileDataSource
    DataSet = DS
  end
end
)";
}

// One form of that kind, with its controls.
struct TOrdersForm {
    explicit TOrdersForm(const std::string& Schema) : Form(std::make_unique<TForm>(nullptr))
    {
        ReadFormText(FormText(Schema), Form.get(), "orders.form");
        DS = static_cast<TZopFileDataSet*>(Form->FindComponent("DS"));
        Edit = static_cast<TZopFileDBEdit*>(Form->FindComponent("CustomerEdit"));
        Text = static_cast<TZopFileDBText*>(Form->FindComponent("AmountText"));
        Grid = static_cast<TZopFileDBGrid*>(Form->FindComponent("Grid"));
        Nav = static_cast<TZopFileDBNavigator*>(Form->FindComponent("Nav"));
    }

    // What the controls show: the edit and the text, the grid's page (its first column) with
    // the highlighted row, and the navigator's enabled buttons.
    std::string Shown() const
    {
        std::string S = Edit->Text() + " | " + Text->Caption() + " | rows";
        for (int R = 0; R < Grid->GetFRowCount(); ++R) {
            S += " " + Grid->GetColumns()->GetDataCell(0, R)->GetAsString();
            if (Grid->FSelectedCell && Grid->FSelectedCell->GetRow() == R) S += "*";
        }
        S += " | buttons ";
        for (bool On : {Nav->GetFirstEnabled(), Nav->GetPriorEnabled(), Nav->GetNextEnabled(), Nav->GetLastEnabled(),
                        Nav->GetAddEnabled(), Nav->GetEditEnabled(), Nav->GetDeleteEnabled(), Nav->GetSaveEnabled(),
                        Nav->GetCancelEnabled()})
            S += On ? "1" : "0";
        return S;
    }

    std::unique_ptr<TForm> Form;
    TZopFileDataSet* DS = nullptr;         // owned by the form
    TZopFileDBEdit* Edit = nullptr;        // owned by the form
    TZopFileDBText* Text = nullptr;        // owned by the form
    TZopFileDBGrid* Grid = nullptr;        // owned by the form
    TZopFileDBNavigator* Nav = nullptr;    // owned by the form
};

class DataSetRecords : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterFileDataSetServer();
        RegisterZopFileDBClasses();
        DropAllMemoryTables();
        Schema = Dir.WriteFile("orders.SFD", OrdersSchema);
    }
    void TearDown() override { DropAllMemoryTables(); }

    // Adds orders 1 to Count from code (Customer "Customer <n>", Amount n * 10).
    static void AddOrders(TZopFileDataSet* DS, int Count)
    {
        for (int N = 1; N <= Count; ++N) {
            DS->Append();
            DS->FieldByName("OrderNo").SetAsInteger(N);
            DS->FieldByName("Customer").SetAsString("Customer " + IntToStr(N));
            DS->FieldByName("Amount").SetAsInteger(N * 10);
            DS->Post();
        }
    }

    TempDir Dir;
    std::string Schema;
};

void Click(TNavBtn* Button)
{
    QTest::mouseClick(static_cast<QPushButton*>(Button->Widget()), Qt::LeftButton);
}

TEST_F(DataSetRecords, EveryStepFromCodeLeavesTheControlsAsTheNavigatorsButtonDoes)
{
    // Two forms on two tables alike: one driven by its navigator, one by code.
    TOrdersForm ByButtons(Schema), ByCode(Dir.WriteFile("orders2.SFD", OrdersSchema));
    for (TOrdersForm* F : {&ByButtons, &ByCode}) {
        F->DS->SetFActive(true);
        AddOrders(F->DS, 14);
    }
    ByCode.DS->First();
    Click(ByButtons.Nav->FBtnFirst);
    ASSERT_EQ(ByCode.Shown(), ByButtons.Shown());

    TScriptedDialogs Dialogs;
    struct TStep {
        const char* Name;
        std::function<void(TOrdersForm&)> Button;
        std::function<void(TOrdersForm&)> Code;
    };
    auto Set = [](TOrdersForm& F, const char* Field, const char* Value) { F.DS->FieldByName(Field).SetAsString(Value); };
    const TStep Steps[] = {
        {"Next", [](TOrdersForm& F) { Click(F.Nav->FBtnNext); }, [](TOrdersForm& F) { F.DS->Next(); }},
        {"Next", [](TOrdersForm& F) { Click(F.Nav->FBtnNext); }, [](TOrdersForm& F) { F.DS->Next(); }},
        {"Last", [](TOrdersForm& F) { Click(F.Nav->FBtnLast); }, [](TOrdersForm& F) { F.DS->Last(); }},
        {"Prior", [](TOrdersForm& F) { Click(F.Nav->FBtnPrior); }, [](TOrdersForm& F) { F.DS->Prior(); }},
        {"Edit", [](TOrdersForm& F) { Click(F.Nav->FBtnEdit); }, [](TOrdersForm& F) { F.DS->Edit(); }},
        {"Post an edit",
         [&](TOrdersForm& F) {
             Set(F, "Amount", "130.5");
             Click(F.Nav->FBtnSave);
         },
         [&](TOrdersForm& F) {
             Set(F, "Amount", "130.5");
             F.DS->Post();
         }},
        {"Insert", [](TOrdersForm& F) { Click(F.Nav->FBtnAdd); }, [](TOrdersForm& F) { F.DS->Insert(); }},
        {"Post a new record",
         [&](TOrdersForm& F) {
             Set(F, "OrderNo", "15");
             Click(F.Nav->FBtnSave);
         },
         [&](TOrdersForm& F) {
             Set(F, "OrderNo", "15");
             F.DS->Post();
         }},
        {"First", [](TOrdersForm& F) { Click(F.Nav->FBtnFirst); }, [](TOrdersForm& F) { F.DS->First(); }},
        {"Insert, then cancel",
         [](TOrdersForm& F) {
             Click(F.Nav->FBtnAdd);
             Click(F.Nav->FBtnCancel);
         },
         [](TOrdersForm& F) {
             F.DS->Insert();
             F.DS->Cancel();
         }},
        {"Next", [](TOrdersForm& F) { Click(F.Nav->FBtnNext); }, [](TOrdersForm& F) { F.DS->Next(); }},
        {"Delete",
         [&](TOrdersForm& F) {
             Dialogs.Answer(mrYes);
             Click(F.Nav->FBtnDelete);
         },
         [](TOrdersForm& F) { F.DS->Delete(); }},
    };
    for (const TStep& Step : Steps) {
        Step.Button(ByButtons);
        Step.Code(ByCode);
        EXPECT_EQ(ByCode.Shown(), ByButtons.Shown()) << Step.Name;
    }
    EXPECT_EQ(Dialogs.Pending(), 0);
    EXPECT_EQ(ByCode.DS->GetRecordCount(), 14) << "14, one posted, one deleted";
    SaveScreenshot(ByCode.Form.get(), "dataset_records_from_code");
}

TEST_F(DataSetRecords, AfterOpeningTheGridMarksTheCurrentRecordAndTheControlsShowIt)
{
    {
        TOrdersForm Filler(Schema);
        Filler.DS->SetFActive(true);
        AddOrders(Filler.DS, 3);
    }
    TOrdersForm F(Schema);
    F.DS->SetFActive(true);
    EXPECT_EQ(F.DS->GetRecNo(), 1);
    ASSERT_NE(F.Grid->FSelectedCell, nullptr) << "a row is marked";
    EXPECT_EQ(F.Grid->FSelectedCell->GetRow(), F.Grid->GetCurrentRecordInWhichRow());
    EXPECT_EQ(F.Shown(), "Customer 1 | 10.00 | rows 1* 2 3 | buttons 011111100");
    F.DS->Last();
    EXPECT_EQ(F.Shown(), "Customer 3 | 30.00 | rows 1 2 3* | buttons 111011100");
    SaveScreenshot(F.Form.get(), "dataset_opened_marks_current_record");
}

TEST_F(DataSetRecords, FieldsReadAndWriteTypedValuesInTheFormTheirTypeStores)
{
    TOrdersForm F(Schema);
    F.DS->SetFActive(true);
    F.DS->Insert();
    F.DS->FieldByName("OrderNo").SetAsFloat(7);
    F.DS->FieldByName("Customer").SetAsString("Harbour Supplies");
    F.DS->FieldByName("Ordered").SetAsDateTime(EncodeDate(2024, 2, 29) + 0.75);
    F.DS->FieldByName("Amount").SetAsFloat(1250);
    F.DS->FieldByName("Paid").SetAsBoolean(true);
    F.DS->FieldByName("Rate").SetAsFloat(0.1);
    F.DS->Post();

    EXPECT_EQ(F.DS->FieldByName("OrderNo").GetAsInteger(), 7);
    EXPECT_EQ(F.DS->FieldByName("Ordered").GetAsString(), "2024-02-29") << "the date part";
    EXPECT_EQ(F.DS->FieldByName("Ordered").GetAsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(F.DS->FieldByName("Amount").GetAsString(), "1250.00");
    EXPECT_EQ(F.DS->FieldByName("Amount").GetAsInteger(), 1250) << "12.00 is a whole number";
    EXPECT_DOUBLE_EQ(F.DS->FieldByName("Amount").GetAsFloat(), 1250.0);
    EXPECT_TRUE(F.DS->FieldByName("Paid").GetAsBoolean());
    EXPECT_EQ(F.DS->FieldByName("Rate").GetAsString(), "0.1") << "the shortest digits that read back";
    EXPECT_EQ(F.DS->Fields(3).GetFieldName(), "Amount");
    EXPECT_EQ(F.DS->Fields(3).GetDataType().Kind, TZopFieldKind::Decimal);
    EXPECT_EQ(F.DS->Fields(3).GetDataType().Scale, 2);
    EXPECT_TRUE(F.DS->FieldByName("Rate").GetDataType().IsNumeric());
    EXPECT_FALSE(F.DS->FieldByName("Ordered").GetDataType().IsNumeric());
    EXPECT_EQ(F.DS->GetFieldCount(), 6);
    EXPECT_EQ(F.Edit->Text(), "Harbour Supplies") << "the bound controls show the posted record";
    EXPECT_EQ(F.Text->Caption(), "1250.00");

    F.DS->Edit();
    F.DS->FieldByName("Paid").Clear();
    F.DS->FieldByName("Amount").SetAsFloat(19.999);
    F.DS->Post();
    EXPECT_TRUE(F.DS->FieldByName("Paid").GetIsNull());
    EXPECT_EQ(F.DS->FieldByName("Amount").GetAsString(), "20.00") << "the nearest amount with two decimals";
    F.DS->Edit();
    F.DS->FieldByName("Amount").SetAsFloat(-0.125);
    F.DS->Post();
    EXPECT_EQ(F.DS->FieldByName("Amount").GetAsString(), "-0.12") << "a tie goes to the even digit";
}

TEST_F(DataSetRecords, AFieldWrittenFromCodeShowsAtOnceInItsBoundControlsAndIsWhatIsPosted)
{
    TOrdersForm F(Schema);
    F.DS->SetFActive(true);
    AddOrders(F.DS, 2);
    F.DS->First();
    // The user types into the bound edit, then code writes the same field: the edit shows
    // what code wrote, and the post keeps it instead of the typing.
    ShowActive(F.Form.get());
    F.DS->Edit();
    F.Edit->SetFocus();
    QTest::keyClick(F.Edit->LineEdit(), Qt::Key_End);
    QTest::keyClicks(F.Edit->LineEdit(), " (typed)");
    ASSERT_EQ(F.Edit->Text(), "Customer 1 (typed)");
    F.DS->FieldByName("Customer").SetAsString("Written by code");
    F.DS->FieldByName("Amount").SetAsString("77.5");
    EXPECT_EQ(F.Edit->Text(), "Written by code");
    EXPECT_EQ(F.Text->Caption(), "77.5") << "the bound text follows before the post";
    F.DS->Post();
    EXPECT_EQ(F.DS->FieldByName("Customer").GetAsString(), "Written by code");
    EXPECT_EQ(F.Shown(), "Written by code | 77.50 | rows 1* 2 | buttons 011111100");

    // While inserting, the blank edits show what code writes, and the record posts with it.
    F.DS->Insert();
    EXPECT_EQ(F.Edit->Text(), "");
    F.DS->FieldByName("OrderNo").SetAsInteger(3);
    F.DS->FieldByName("Customer").SetAsString("New Customer");
    EXPECT_EQ(F.Edit->Text(), "New Customer");
    F.DS->Post();
    EXPECT_EQ(F.DS->GetRecNo(), 3);
    EXPECT_EQ(F.DS->FieldByName("Customer").GetAsString(), "New Customer");
}

TEST_F(DataSetRecords, EveryFailureNamesTheOperationOrTheFieldAndSaysWhy)
{
    TOrdersForm F(Schema);
    auto Says = [](const std::function<void()>& Fn) -> std::string {
        try {
            Fn();
        } catch (const EDatabaseError& E) {
            return E.Message();
        }
        return "(no failure)";
    };
    EXPECT_EQ(Says([&] { F.DS->First(); }), "First: the dataset DS is not open (set Active to true)");
    EXPECT_EQ(Says([&] { F.DS->GetRecordCount(); }), "RecordCount: the dataset DS is not open (set Active to true)");
    EXPECT_EQ(F.DS->GetState(), "InActive");
    F.DS->SetFActive(true);
    F.DS->Insert();
    F.DS->FieldByName("OrderNo").SetAsInteger(1);
    F.DS->FieldByName("Customer").SetAsString("Abc");
    F.DS->Post();

    struct TCase {
        std::function<void()> Do;
        const char* Message;
    };
    const TCase Cases[] = {
        {[&] { F.DS->FieldByName("Nope"); }, "FieldByName: The table Orders has no field \"Nope\"."},
        {[&] { F.DS->FieldByName(" "); }, "FieldByName: no field name is given"},
        {[&] { F.DS->Fields(9); }, "Fields[9]: There is no field number 9: the table Orders has 6 fields, numbered from 0."},
        {[&] { F.DS->FieldByName("Customer").SetAsString("x"); },
         "Field Customer: The field Customer cannot be set: the table is not in Edit or Insert (call Edit or Insert "
         "first)."},
        {[&] { F.DS->FieldByName("Amount").GetAsFloat(); }, "Field Amount: it has no value to read as a number"},
        {[&] { F.DS->FieldByName("Customer").GetAsBoolean(); }, "Field Customer: the value \"Abc\" is not True or False"},
        {[&] { F.DS->FieldByName("Customer").GetAsInteger(); }, "Field Customer: the value \"Abc\" is not a whole number"},
        {[&] { F.DS->FieldByName("OrderNo").GetAsDateTime(); },
         "Field OrderNo: the value \"1\" is not a date written YYYY-MM-DD"},
        {[&] {
             F.DS->Edit();
             F.DS->FieldByName("Amount").SetAsString("9.999");
             F.DS->Post();
         },
         "Post: Field Amount: the value \"9.999\" has more than the 2 decimals the field keeps."},
        {[&] { F.DS->FieldByName("OrderNo").SetAsFloat(1.5); }, "Field OrderNo: 1.5 is not a whole number"},
        {[&] { F.DS->Refresh(); }, "Refresh: the record being edited must be posted or cancelled first"},
        {[&] {
             F.DS->Cancel();
             F.DS->Insert();
             F.DS->FieldByName("Customer").SetAsString("Not yet posted");
             F.DS->FieldByName("Customer").GetAsString();
         },
         "Field Customer: the record being inserted is read once it is posted"},
        {[&] {
             F.DS->Cancel();
             F.DS->Insert();
             F.DS->FieldByName("OrderNo").SetAsInteger(1);
             F.DS->Post();
         },
         "Post: Key OrderNo: the value \"1\" is already the key of another record."},
        {[&] {
             F.DS->Cancel();
             F.DS->FieldByName("Customer").SetAsString("Xyz");
         },
         "Field Customer: The field Customer cannot be set: the table is not in Edit or Insert (call Edit or Insert "
         "first)."},
    };
    for (const TCase& Case : Cases) EXPECT_EQ(Says(Case.Do), Case.Message);
    EXPECT_EQ(F.DS->GetState(), "Browse");
    EXPECT_EQ(F.DS->GetRecordCount(), 1) << "nothing refused was stored";
}

TEST_F(DataSetRecords, RefreshShowsWhatAnotherSessionPosted)
{
    TOrdersForm F(Schema), Other(Schema);
    F.DS->SetFActive(true);
    Other.DS->SetFActive(true);
    AddOrders(F.DS, 2);
    F.DS->First();
    Other.DS->Append();
    Other.DS->FieldByName("OrderNo").SetAsInteger(0);
    Other.DS->FieldByName("Customer").SetAsString("Early Bird");
    Other.DS->Post();
    F.DS->Refresh();
    EXPECT_EQ(F.DS->GetRecordCount(), 3);
    EXPECT_EQ(F.Shown(), "Customer 1 | 10.00 | rows 0 1* 2 | buttons 111111100")
        << "the other's record shows in its place, the cursor stays on its record";
}

}  // namespace

namespace {

TEST(DataSetWithoutServer, ADataSetMadeBeforeTheServerIsRegisteredSaysWhatToCall)
{
    UnregisterComClass(CLASS_FileDataSet);
    std::string Message = "(no failure)";
    try {
        TZopFileDataSet DS(nullptr);
    } catch (const EOleException& E) {
        Message = E.Message();
    }
    RegisterFileDataSetServer();
    EXPECT_EQ(Message,
              "Class not registered: the record-storage server is not registered in this program. Call "
              "RegisterFileDataSetServer() (server/RegisterFileDataSetServer.h, component recordserver) once at start, "
              "before the first dataset is created.");
    TZopFileDataSet Registered(nullptr);
    EXPECT_NE(Registered.FileDataSet(), nullptr) << "once registered, a dataset is made";
}

}  // namespace
