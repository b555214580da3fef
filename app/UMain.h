#pragma once
// The demo's main form: a customer table on the record-storage server with a grid, a navigator
// and a bound edit, buttons that fill it from the sample table, empty it, filter it on two
// conditions and show the current record number, and triggers that show the record count
// after every post and every deletion, its own or, through the live view, another user's.
#include "framework/ui/TForm.h"

class TButton;
class TDbProcItem;
class TEdit;
class TGroupBox;
class TLabel;
class TTable;
class TZopFileDataSet;
class TZopFileDataSource;
class TZopFileDBEdit;
class TZopFileDBGrid;
class TZopFileDBNavigator;

class TForm1 : public TForm {
    DECLARE_CLASSINFO()
public:
    explicit TForm1(TComponent* Owner);

    // The form owns its components; none of these is owned here.
    TLabel* Lb_30073719 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TZopFileDBNavigator* ZopFileDBNavigator1 = nullptr;
    TZopFileDBGrid* ZopFileDBGrid1 = nullptr;
    TZopFileDBEdit* ZopFileDBEdit1 = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label5 = nullptr;
    TLabel* Label6 = nullptr;
    TLabel* Label7 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button4 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TEdit* Edit3 = nullptr;
    TButton* Button5 = nullptr;
    TZopFileDataSet* TbMain = nullptr;
    TZopFileDataSource* dsMain = nullptr;
    TTable* Table1 = nullptr;

    // Set before the form is created: the table's access file in place of the form file's
    // (empty: the form file's).
    static AnsiString StartAccessFile;

    // Opens the dataset: the data source then shows the first record.
    void FormCreate(TObject* Sender);
    // "Add Datas": copies every row of the sample table into the dataset.
    void Button1Click(TObject* Sender);
    // "Empty Table": deletes every record.
    void Button2Click(TObject* Sender);
    // Starts the filter with the lines in Edit1 and Edit2.
    void Button3Click(TObject* Sender);
    // Switches the filter off.
    void Button4Click(TObject* Sender);
    // Shows the current record's number in the (filtered) view.
    void Button5Click(TObject* Sender);
    // The after-post and after-delete triggers: show the record count.
    void TbMainDBMethods0ExecuteProc(TDbProcItem* Sender, AnsiString CallUser, bool& AbortNextStep);
    // Other users' posts and deletions shown by the live view: the record count follows them.
    void TbMainLiveRefresh(TObject* Sender);

private:
    void ShowRecordCount();
};

extern TForm1* Form1;  // not owned: the application owns the form
