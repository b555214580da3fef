#include "components/binding/TZopFileDBText.h"

#include "components/binding/TZopFileDataSource.h"
#include "framework/core/TypeInfo.h"

const TClassInfo* TZopFileDBText::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TZopFileDBText, TLabel>("TZopFileDBText")
            .Property("DataSource", &TZopFileDBText::FDataSource, &TZopFileDBText::SetFDataSource)
            .Property("DataField", &TZopFileDBText::FDataField)
            .Build();
    return &Info;
}

TZopFileDBText::TZopFileDBText(TComponent* Owner) : TLabel(Owner) {}

void TZopFileDBText::Notification(TComponent* Component, TOperation Operation)
{
    TLabel::Notification(Component, Operation);
    if (Operation == opRemove && Component == FDataSource) FDataSource = nullptr;
}

void TZopFileDBText::SetFDataSource(TZopFileDataSource* Value)
{
    if (FDataSource) FDataSource->RemoveDBText(this);
    FDataSource = Value;
    if (Value) Value->AddNewDBText(this);
}
