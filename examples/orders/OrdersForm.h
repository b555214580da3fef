#pragma once
// The orders window of the example, read from its form file (OrdersForm.form, compiled into
// the program): a grid and a navigator on the orders table, bound edits for the customer and
// the amount, and a button that adds up the amounts from code.
#include "framework/ui/TForm.h"

class TButton;
class TLabel;
class TZopFileDataSet;
class TZopFileDataSource;
class TZopFileDBEdit;
class TZopFileDBGrid;
class TZopFileDBNavigator;

// [form class]
class TOrdersForm : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TOrdersForm(TComponent* Owner) : TForm(Owner) {}

    // The components the form file names; the form owns them, none is owned here.
    TZopFileDBGrid* Grid = nullptr;
    TZopFileDBNavigator* Navigator = nullptr;
    TLabel* CustomerLabel = nullptr;
    TZopFileDBEdit* CustomerEdit = nullptr;
    TLabel* AmountLabel = nullptr;
    TZopFileDBEdit* AmountEdit = nullptr;
    TButton* TotalButton = nullptr;
    TLabel* TotalLabel = nullptr;
    TZopFileDataSet* Orders = nullptr;
    TZopFileDataSource* OrdersSource = nullptr;

    // The handlers the form file names: OnCreate opens the table, the button adds up.
    void FormCreate(TObject* Sender);
    void TotalButtonClick(TObject* Sender);
};
// [end form class]

// Where the orders table lives, set before the form is created: a table file, a PostgreSQL
// URI, or empty for the form file's (orders.db in the current folder).
extern AnsiString OrdersAccessFile;
