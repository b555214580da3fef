#include "design/TZopFileDbControlFieldName.h"

#include "components/ExactClass.h"
#include "components/UZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "framework/core/DateTime.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/TLabel.h"
#include "interface/ServerCall.h"

TPropertyAttributes TZopFileDbControlFieldName::GetAttributes()
{
    return TPropertyAttributes{paValueList, paMultiSelect, paSortList};
}

int TZopFileDbControlFieldName::GetEditLimit()
{
    return 128;
}

AnsiString TZopFileDbControlFieldName::GetValue()
{
    return GetStrValue();
}

TZopFileDataSource* TZopFileDbControlFieldName::SelectedDataSource() const
{
    TPersistent* Selected = GetComponent(0);
    if (auto* Edit = ExactlyA<TZopFileDBEdit>(Selected)) return Edit->GetDataSource();
    if (auto* Text = ExactlyA<TZopFileDBText>(Selected)) return Text->GetDataSource();
    if (auto* Column = ExactlyA<TColumnItem>(Selected))
        if (TZopFileDBGrid* Grid = Column->Grid()) return Grid->GetDataSource();
    return nullptr;
}

void TZopFileDbControlFieldName::GetValues(const TGetStrProc& Proc)
{
    TZopFileDataSource* Source = SelectedDataSource();
    TZopFileDataSet* DataSet = Source ? Source->GetDataSet() : nullptr;
    if (!DataSet) return;
    if (Trim(DataSet->GetAccessFile()).empty() && Trim(DataSet->GetSchemaFileName()).empty()) return;

    bool OpenedHere = false;
    const AnsiString SavedUser = DataSet->GetAccessUser();
    if (!DataSet->GetActive()) {
        DataSet->SetFAccessUserName("Designer");
        try {
            DataSet->SetFActive(true);
        } catch (...) {
            // A failed opening leaves the dataset as it was found, user included.
            DataSet->SetFAccessUserName(SavedUser);
            throw;
        }
        OpenedHere = true;
        if (!DataSet->GetActive()) {
            DataSet->SetFAccessUserName(SavedUser);
            return;
        }
    }
    IFileDataSet* Server = DataSet->FileDataSet();
    const int Count = AskInt(Server, &IFileDataSet::GetFieldCount);
    for (int I = 0; I < Count; ++I) Proc(AskText(Server, &IFileDataSet::GetFieldName, OleVariant(I)));
    if (OpenedHere) {
        DataSet->SetFActive(false);
        DataSet->SetFAccessUserName(SavedUser);
    }
}

void TZopFileDbControlFieldName::SetValue(const AnsiString& Value)
{
    SetStrValue(Value);
    if (Trim(Value).empty()) return;
    TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(GetComponent(0));
    if (!Edit || !Edit->GetDataSource() || !Edit->GetDataSource()->GetDataSet()) return;
    // The dataset is not opened for these questions: its server answers them from the
    // schema in whatever state it is.
    IFileDataSet* Server = Edit->GetDataSource()->GetDataSet()->FileDataSet();
    const bool Key = AskBool(Server, &IFileDataSet::IsKeyField, OleVariant(Value));
    Edit->SetColor(Key ? static_cast<TColor>(0x0076B4F8) : static_cast<TColor>(0x00FFFFFF));
    Edit->SetMaxLength(AskInt(Server, &IFileDataSet::GetFieldSize, OleVariant(Value)));

    if (!Edit->ComponentState().Contains(csDesigning)) return;
    if (MessageDlg(TranslateText("TZopFileDbControlFieldName", "是否要產生標題(TLabel)??"), mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes) return;
    // Named by the time; labels made within one second (or a name taken by hand) take the
    // next free name after it: Lb_30073719, Lb_30073719_2, ...
    const AnsiString Stamp = "Lb_" + FormatDateTime("ddhhnnss", Now());
    AnsiString Name = Stamp;
    for (int N = 2; Edit->Owner() && Edit->Owner()->FindComponent(Name); ++N) Name = Stamp + "_" + IntToStr(N);
    auto* Label = new TLabel(Edit->Owner());
    Label->SetName(Name);
    Label->SetDesigning(true);
    Label->SetCaption(InputBox(TranslateText("TZopFileDbControlFieldName", "標題內容(TLabel.Caption)"),
                               TranslateText("TZopFileDbControlFieldName", "輸入標題內容"), Value));
    Label->SetLeft(Edit->Left() - Label->Width() - 24);
    Label->SetTop(Edit->Top() + 6);
    Label->SetParent(Edit->Parent());
}
