#include "OrdersForm.h"

#include "OrderRecords.h"
#include "components/UZopFileDataSet.h"
#include "framework/core/TypeInfo.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TLabel.h"

AnsiString OrdersAccessFile;

// [class info]
// The form file names the form's components and handlers; the class info tells the form
// reader where each one goes.
const TClassInfo* TOrdersForm::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TOrdersForm, TForm>("TOrdersForm")
                                       .Field("Grid", &TOrdersForm::Grid)
                                       .Field("Navigator", &TOrdersForm::Navigator)
                                       .Field("CustomerLabel", &TOrdersForm::CustomerLabel)
                                       .Field("CustomerEdit", &TOrdersForm::CustomerEdit)
                                       .Field("AmountLabel", &TOrdersForm::AmountLabel)
                                       .Field("AmountEdit", &TOrdersForm::AmountEdit)
                                       .Field("TotalButton", &TOrdersForm::TotalButton)
                                       .Field("TotalLabel", &TOrdersForm::TotalLabel)
                                       .Field("Orders", &TOrdersForm::Orders)
                                       .Field("OrdersSource", &TOrdersForm::OrdersSource)
                                       .Handler("FormCreate", &TOrdersForm::FormCreate)
                                       .Handler("TotalButtonClick", &TOrdersForm::TotalButtonClick)
                                       .Build();
    return &Info;
}
// [end class info]

// [open]
void TOrdersForm::FormCreate(TObject*)
{
    // A table file (orders.db) or, shared between machines, a PostgreSQL URI.
    if (!OrdersAccessFile.empty()) Orders->SetFAccessFileName(OrdersAccessFile);
    Orders->SetFActive(true);  // the grid and the edits show the first order
    if (Orders->GetRecordCount() == 0) AddSampleOrders(Orders);
    TotalButtonClick(this);
}
// [end open]

void TOrdersForm::TotalButtonClick(TObject*)
{
    TotalLabel->SetCaption(TotalText(Orders));
}
