#include "app/UMain.h"

#include "components/UZopFileDataSet.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "framework/db/TTable.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/TButton.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"

TForm1* Form1 = nullptr;

const TClassInfo* TForm1::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TForm1, TForm>("TForm1")
                                       .Field("Lb_30073719", &TForm1::Lb_30073719)
                                       .Field("Label1", &TForm1::Label1)
                                       .Field("Label2", &TForm1::Label2)
                                       .Field("ZopFileDBNavigator1", &TForm1::ZopFileDBNavigator1)
                                       .Field("ZopFileDBGrid1", &TForm1::ZopFileDBGrid1)
                                       .Field("ZopFileDBEdit1", &TForm1::ZopFileDBEdit1)
                                       .Field("GroupBox1", &TForm1::GroupBox1)
                                       .Field("Label3", &TForm1::Label3)
                                       .Field("Label4", &TForm1::Label4)
                                       .Field("Label5", &TForm1::Label5)
                                       .Field("Label6", &TForm1::Label6)
                                       .Field("Label7", &TForm1::Label7)
                                       .Field("Edit1", &TForm1::Edit1)
                                       .Field("Edit2", &TForm1::Edit2)
                                       .Field("Button3", &TForm1::Button3)
                                       .Field("Button4", &TForm1::Button4)
                                       .Field("Button1", &TForm1::Button1)
                                       .Field("Button2", &TForm1::Button2)
                                       .Field("Edit3", &TForm1::Edit3)
                                       .Field("Button5", &TForm1::Button5)
                                       .Field("TbMain", &TForm1::TbMain)
                                       .Field("dsMain", &TForm1::dsMain)
                                       .Field("Table1", &TForm1::Table1)
                                       .Handler("FormCreate", &TForm1::FormCreate)
                                       .Handler("Button1Click", &TForm1::Button1Click)
                                       .Handler("Button2Click", &TForm1::Button2Click)
                                       .Handler("Button3Click", &TForm1::Button3Click)
                                       .Handler("Button4Click", &TForm1::Button4Click)
                                       .Handler("TbMainDBMethods0ExecuteProc", &TForm1::TbMainDBMethods0ExecuteProc)
                                       .Handler("Button5Click", &TForm1::Button5Click)
                                       .Handler("TbMainLiveRefresh", &TForm1::TbMainLiveRefresh)
                                       .Build();
    return &Info;
}

TForm1::TForm1(TComponent* Owner) : TForm(Owner) {}

AnsiString TForm1::StartAccessFile;

void TForm1::FormCreate(TObject*)
{
    if (!StartAccessFile.empty()) TbMain->SetFAccessFileName(StartAccessFile);
    TbMain->SetFActive(true);
}

void TForm1::ShowRecordCount()
{
    Label2->SetCaption(IntToStr(AskInt(TbMain->FileDataSet(), &IFileDataSet::GetRecordCount)));
}

void TForm1::Button1Click(TObject*)
{
    IFileDataSet* Server = TbMain->FileDataSet();
    Table1->SetActive(true);
    // Rows are paired with the schema's fields by position. A row the server refuses (a
    // second click brings keys that are already there) is cancelled, never left pending,
    // and the copy goes on; one message at the end says how many were refused and why.
    int Rows = 0, Refused = 0;
    AnsiString FirstReason;
    while (!Table1->Eof()) {
        ++Rows;
        HRESULT Step = Server->Insert();
        for (int I = 0; SUCCEEDED(Step) && I < Table1->FieldCount(); ++I) {
            const AnsiString Name = AskText(Server, &IFileDataSet::GetFieldName, OleVariant(I));
            Step = Server->SetFieldValue(OleVariant(Name), OleVariant(Table1->Fields()->Fields(I)->AsString()));
        }
        OleVariant Posted;
        if (SUCCEEDED(Step)) Step = Server->Post(&Posted);
        if (FAILED(Step)) {
            if (Refused++ == 0) FirstReason = ServerFailureMessage(Step);
            Server->Cancel();
        }
        Table1->Next();
    }
    Table1->SetActive(false);
    // The grids' pages are laid around the record posted last and select it, as after a post
    // from the navigator; otherwise the page would stay where the first insert left it.
    dsMain->RefreshDBGridParamsWithNavigatorPostClick();
    dsMain->PostDisplayData();
    if (Refused > 0)
        ShowMessage(FormatText(TranslateText("TForm1", "%n of %1 rows were not added. %2", nullptr, Refused),
                               {IntToStr(Rows), FirstReason}));
}

void TForm1::Button2Click(TObject*)
{
    IFileDataSet* Server = TbMain->FileDataSet();
    // Each pass must delete a record: a refused deletion stops the loop with the server's
    // message, and a server that does not move stops it after as many passes as there
    // were records (and one more, for a pending insert that the first Delete cancels).
    const int Passes = AskInt(Server, &IFileDataSet::GetRecordCount) + 1;
    for (int Pass = 0; !AskBool(Server, &IFileDataSet::GetIsEmpty); ++Pass) {
        if (Pass > Passes) {
            ShowRecordCount();
            throw Exception(
                TranslateText("TForm1", "The table could not be emptied: the server did not delete its records."));
        }
        const HRESULT Deleted = Server->Delete();
        if (FAILED(Deleted)) {
            ShowRecordCount();
            Check(Deleted);
        }
    }
    Label2->SetCaption("0");
}

void TForm1::Button3Click(TObject*)
{
    IFileDataSet* Server = TbMain->FileDataSet();
    Server->SetFiltered(OleVariant(false));
    // A line the server refuses is not applied; the user is told which and why.
    AnsiString Refused;
    for (TEdit* Line : {Edit1, Edit2}) {
        if (Line->Text().empty()) continue;
        OleVariant Result;
        const HRESULT Added = Server->AddFilterCommand(OleVariant(Line->Text()), &Result);
        if (FAILED(Added)) {
            Refused += '\n';
            Refused += Line->Text() + ": " + ServerFailureMessage(Added);
        }
    }
    Server->SetFiltered(OleVariant(true));
    ShowRecordCount();
    if (!Refused.empty()) ShowMessage(TranslateText("TForm1", "These filter lines were not applied:") + Refused);
}

void TForm1::Button4Click(TObject*)
{
    TbMain->FileDataSet()->SetFiltered(OleVariant(false));
    ShowRecordCount();
}

void TForm1::Button5Click(TObject*)
{
    Edit3->SetText(IntToStr(AskInt(TbMain->FileDataSet(), &IFileDataSet::GetRecNo)));
}

void TForm1::TbMainDBMethods0ExecuteProc(TDbProcItem*, AnsiString, bool&)
{
    ShowRecordCount();
}

void TForm1::TbMainLiveRefresh(TObject*)
{
    ShowRecordCount();
}
