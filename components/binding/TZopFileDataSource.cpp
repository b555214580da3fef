#include "components/binding/TZopFileDataSource.h"

#include "components/ExactClass.h"
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDBText.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TZopFileDBGrid.h"
#include "components/navigator/TZopFileDBNavigator.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"
#include "interface/ServerCall.h"

const TClassInfo* TZopFileDataSource::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TZopFileDataSource, TComponent>("TZopFileDataSource")
                                       .Property("DataSet", &TZopFileDataSource::FDataSet,
                                                 &TZopFileDataSource::SetFDataSet)
                                       .Build();
    return &Info;
}

TZopFileDataSource::TZopFileDataSource(TComponent* Owner) : TComponent(Owner), FCtrlList(new TStringList) {}

TZopFileDataSource::~TZopFileDataSource()
{
    // The dataset must not notify a data source that is gone; a dataset that another data
    // source linked since keeps that link.
    if (FDataSet && FDataSet->DataSource() == this) FDataSet->SetFDataSource(nullptr);
    if (FCtrlList) {
        for (int I = 0; I < FCtrlList->Count(); ++I) FCtrlList->PutObject(I, nullptr);
        delete FCtrlList;
        FCtrlList = nullptr;
    }
}

void TZopFileDataSource::Notification(TComponent* Component, TOperation Operation)
{
    TComponent::Notification(Component, Operation);
    if (Operation != opRemove) return;
    if (Component == FDataSet) FDataSet = nullptr;
    // A registered control that is destroyed leaves the registry, so that no walk reaches it.
    if (FCtrlList) {
        int Index = FCtrlList->IndexOfObject(Component);
        if (Index >= 0) FCtrlList->Delete(Index);
    }
}

void TZopFileDataSource::SetFDataSet(TZopFileDataSet* Value)
{
    if (FDataSet) {
        FDataSet->SetFDataSource(nullptr);
        if (FDataSet != Value) FDataSet->RemoveFreeNotification(this);
    }
    FDataSet = Value;
    if (Value) {
        Value->SetFDataSource(this);
        Value->FreeNotification(this);  // told when the dataset is freed, whoever owns it
    }
    if (FDataSet && FDataSet->GetActive()) PostDisplayData();
}

void TZopFileDataSource::AddControl(TComponent* Control)
{
    if (!Control || FCtrlList->IndexOfObject(Control) >= 0) return;
    FCtrlList->AddObject(Control->Name(), Control);
    Control->FreeNotification(this);
}

void TZopFileDataSource::RemoveControl(TComponent* Control)
{
    if (!Control) return;
    // An unregistered control gives -1: the list raises its index error and stays as it is.
    int Index = FCtrlList->IndexOfObject(Control);
    FCtrlList->PutObject(Index, nullptr);
    FCtrlList->Delete(Index);
}

void TZopFileDataSource::AddNewDBEdit(TZopFileDBEdit* Edit) { AddControl(Edit); }
void TZopFileDataSource::AddNewDBText(TZopFileDBText* Text) { AddControl(Text); }
void TZopFileDataSource::RemoveDBEdit(TZopFileDBEdit* Edit) { RemoveControl(Edit); }
void TZopFileDataSource::RemoveDBText(TZopFileDBText* Text) { RemoveControl(Text); }

TComponent* TZopFileDataSource::CtrlByName(const AnsiString& Name) const
{
    for (int I = 0; I < FCtrlList->Count(); ++I) {
        auto* Control = static_cast<TComponent*>(FCtrlList->Objects(I));
        if (Control && Control->Name() == Name) return Control;
    }
    return nullptr;
}

IFileDataSet* TZopFileDataSource::Server() const
{
    return FDataSet->FileDataSet();
}

void TZopFileDataSource::PostDisplayData()
{
    ShowRecord(true);
}

void TZopFileDataSource::PostDisplayDataWithOutDbGird()
{
    ShowRecord(false);
}

void TZopFileDataSource::ShowRecord(bool WithGrids)
{
    if (!FDataSet) return;
    // While a record is being edited nothing is refreshed: what the user typed stays.
    if (StateIs(Server(), "Edit")) return;
    const int Count = FCtrlList->Count();
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control)) {
            if (WithGrids && StateIs(Server(), "Insert"))
                Edit->SetText(AnsiString());
            else
                ShowInEdit(Edit);
        } else if (TZopFileDBText* Text = ExactlyA<TZopFileDBText>(Control)) {
            if (WithGrids && StateIs(Server(), "Insert"))
                Text->SetCaption(AnsiString());
            else
                ShowInText(Text);
        } else if (TZopFileDBGrid* Grid = ExactlyA<TZopFileDBGrid>(Control); Grid && WithGrids) {
            RefreshGridPage(Grid);
        }
    }
}

void TZopFileDataSource::FieldWritten(const AnsiString& Field, const AnsiString& Value)
{
    const int Count = FCtrlList->Count();
    for (int I = 0; I < Count; ++I) {
        TObject* Control = FCtrlList->Objects(I);
        if (TZopFileDBEdit* Edit = ExactlyA<TZopFileDBEdit>(Control); Edit && Edit->GetDataField() == Field)
            ShowValueInEdit(Edit, Value);
        else if (TZopFileDBText* Text = ExactlyA<TZopFileDBText>(Control); Text && Text->FDataField == Field)
            Text->SetCaption(Value);
    }
}

void TZopFileDataSource::ShowInEdit(TZopFileDBEdit* Edit)
{
    if (!AskBool(Server(), &IFileDataSet::GetActive)) {
        Edit->SetText(AnsiString());
        return;
    }
    const AnsiString Field = Edit->GetDataField();
    if (Trim(Field).empty()) return;
    ShowValueInEdit(Edit, FieldValueFor(Edit, Field));
}

void TZopFileDataSource::ShowValueInEdit(TZopFileDBEdit* Edit, const AnsiString& Value)
{
    // The handlers see the value; they cannot change what is shown.
    if (Edit->OnBeforeGetData) Edit->OnBeforeGetData(Edit, Value);
    Edit->SetText(Value);
    if (Edit->OnAfterGetData) Edit->OnAfterGetData(Edit, Value);
}

void TZopFileDataSource::ShowInText(TZopFileDBText* Text)
{
    if (!AskBool(Server(), &IFileDataSet::GetActive)) {
        // A closed dataset's texts show their own names as placeholders.
        Text->SetCaption(Text->Name());
        return;
    }
    const AnsiString Field = Text->FDataField;
    if (Trim(Field).empty()) return;
    Text->SetCaption(FieldValueFor(Text, Field));
}

AnsiString TZopFileDataSource::FieldValueFor(const TComponent* Control, const AnsiString& Field) const
{
    try {
        return AskText(Server(), &IFileDataSet::GetFieldValue, OleVariant(Field));
    } catch (Exception& E) {
        // A DataField that names no field of the table is found here, when the data is
        // first shown: the message says which control asks for it.
        E.SetMessage(FormatText(TranslateText("TZopFileDataSource", "%1 cannot show the field '%2': %3"),
                                {Control->Name(), Field, E.Message()}));
        throw;
    }
}
