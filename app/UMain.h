#pragma once
// The demo's main form: a customer table on the record-storage server, shown through a data
// source in the grid, a bound edit and a bound text.
#include "framework/ui/TForm.h"

class TLabel;
class TZopFileDataSet;
class TZopFileDataSource;
class TZopFileDBEdit;
class TZopFileDBGrid;
class TZopFileDBText;

class TForm1 : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TForm1(TComponent* Owner);

    // The form owns its components; these are not owned.
    TLabel* Lb_30073719 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TZopFileDBGrid* ZopFileDBGrid1 = nullptr;
    TZopFileDBEdit* ZopFileDBEdit1 = nullptr;
    TZopFileDBText* ZopFileDBText1 = nullptr;
    TZopFileDataSet* TbMain = nullptr;
    TZopFileDataSource* dsMain = nullptr;

    // Opens the dataset: the data source then shows the first record.
    void FormCreate(TObject* Sender);
};

extern TForm1* Form1;  // not owned: the application owns the form
