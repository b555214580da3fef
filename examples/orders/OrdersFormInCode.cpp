#include "OrdersFormInCode.h"

#include "components/UZopFileDataSet.h"
#include "framework/ui/TApplication.h"
#include "framework/ui/TForm.h"
#include "framework/ui/TLabel.h"

// [form in code]
TForm* CreateOrdersFormInCode(const AnsiString& AccessFile)
{
    TForm* Form = nullptr;
    Application->CreateForm(Form);  // a plain TForm: no form file is read
    Form->SetCaption("Orders (built in code)");
    Form->SetBounds(100, 100, 568, 450);

    // Every component is owned by the form, which frees them with itself.
    auto* Orders = new TZopFileDataSet(Form);
    Orders->SetName("Orders");
    Orders->SetFAccessUserName("clerk");
    Orders->setFSchemaFileName("orders.SFD");
    Orders->SetFAccessFileName(AccessFile.empty() ? AnsiString("orders.db") : AccessFile);
    auto* Source = new TZopFileDataSource(Form);
    Source->SetFDataSet(Orders);

    auto* Grid = new TZopFileDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(8, 8, 536, 290);
    for (const char* Field : {"OrderNo", "Customer", "Amount"}) {
        TColumnItem* Column = Grid->GetColumns()->Add();
        Column->SetFTitle(Field);
        Column->SetDataField(Field);
    }
    Grid->GetColumns()->GeTColumnItem(1)->SetFWidth(240);
    Grid->GetColumns()->GeTColumnItem(2)->SetFColumnAlign(CA_Right);
    Grid->SetFDataSource(Source);

    auto* Label = new TLabel(Form);
    Label->SetParent(Form);
    Label->SetBounds(8, 311, 60, 16);
    Label->SetCaption("Customer");
    auto* Edit = new TZopFileDBEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(72, 308, 200, 21);
    Edit->SetFDataSource(Source);
    Edit->SetFFieldName("Customer");

    auto* Navigator = new TZopFileDBNavigator(Form);
    Navigator->SetParent(Form);
    Navigator->SetBounds(8, 362, 536, 31);
    Navigator->SetFDataSource(Source);

    Orders->SetFActive(true);  // the controls show the first order
    return Form;
}
// [end form in code]
