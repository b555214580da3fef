#include "components/grid/TGridColumns.h"

#include "components/grid/TColumnItem.h"
#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

const TClassInfo* TGridColumns::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TGridColumns, TOwnedCollection>("TGridColumns").Build();
    return &Info;
}

TGridColumns::TGridColumns(TPersistent* Owner, const TClassInfo* ItemClass) : TOwnedCollection(Owner, ItemClass)
{
    if (!ItemClass->InheritsFrom(TColumnItem::StaticClassInfo()))
        throw EInvalidArgument(
            TranslateText("TGridColumns", "TGridColumns needs an item class derived from TColumnItem"));
}

TColumnItem* TGridColumns::Add()
{
    return static_cast<TColumnItem*>(TOwnedCollection::Add());
}

TColumnItem* TGridColumns::GeTColumnItem(int Index) const
{
    return static_cast<TColumnItem*>(GetItem(Index));
}

void TGridColumns::SeTColumnItem(int Index, TColumnItem* Value)
{
    GeTColumnItem(Index)->Assign(Value);
}

TGridCell* TGridColumns::GetDataCell(int Col, int Row) const
{
    if (Col > GetCount() - 1) return nullptr;
    return GeTColumnItem(Col)->GetDataCell(Row);
}
