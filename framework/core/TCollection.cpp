#include "framework/core/TCollection.h"

#include <algorithm>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/core/UpdateBracket.h"
#include "framework/core/TypeInfo.h"

const TClassInfo* TCollectionItem::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TCollectionItem, TPersistent>("TCollectionItem").Build();
    return &Info;
}

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    SetCollection(Collection);
}

TCollectionItem::~TCollectionItem()
{
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!FCollection) return -1;
    auto& Items = FCollection->FItems;
    auto It = std::find(Items.begin(), Items.end(), this);
    return It == Items.end() ? -1 : static_cast<int>(It - Items.begin());
}

void TCollectionItem::SetIndex(int Value)
{
    if (FCollection && Value != Index()) FCollection->MoveItem(this, Value);
}

AnsiString TCollectionItem::GetDisplayName()
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const AnsiString&)
{
    Changed(false);
}

TPersistent* TCollectionItem::GetOwner()
{
    return FCollection;
}

AnsiString TCollectionItem::GetNamePath()
{
    if (FCollection) return FCollection->GetNamePath() + "[" + IntToStr(Index()) + "]";
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

const TClassInfo* TCollection::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TCollection, TPersistent>("TCollection").Build();
    return &Info;
}

TCollection::TCollection(const TClassInfo* ItemClass) : FItemClass(ItemClass)
{
    if (!ItemClass || !ItemClass->CreateItem)
        // A program's mistake: left untranslated.
        throw EInvalidArgument("A collection needs an item class that can be created");
}

TCollection::~TCollection()
{
    FUpdateCount = 1;  // no Update calls while tearing down
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add()
{
    TCollectionItem* Item = FItemClass->CreateItem(this);
    Changed();
    return Item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    TCollectionItem* Item = Add();
    Item->SetIndex(Index);
    return Item;
}

void TCollection::Delete(int Index)
{
    delete GetItem(Index);
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty()) delete FItems.back();
    EndUpdate();
}

TCollectionItem* TCollection::GetItem(int Index) const
{
    if (Index < 0 || Index >= Count()) IndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Item)
{
    GetItem(Index)->Assign(Item);
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* Item : FItems)
        if (Item->FID == ID) return Item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TCollection*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    if (Other == this) return;
    WithinUpdate(*this, [&] {
        Clear();
        for (TCollectionItem* Item : Other->FItems) Add()->Assign(Item);
    });
}

AnsiString TCollection::GetNamePath()
{
    return ClassName();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* Item)
{
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It != FItems.end()) FItems.erase(It);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex)
{
    if (NewIndex < 0 || NewIndex >= Count()) IndexError(NewIndex);
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    FItems.erase(It);
    FItems.insert(FItems.begin() + NewIndex, Item);
    Changed();
}

void TCollection::IndexError(int Index) const
{
    throw EListError(FormatText(TranslateText("TCollection", "List index out of bounds (%1)"), {IntToStr(Index)}));
}

const TClassInfo* TOwnedCollection::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TOwnedCollection, TCollection>("TOwnedCollection").Build();
    return &Info;
}

TOwnedCollection::TOwnedCollection(TPersistent* Owner, const TClassInfo* ItemClass)
    : TCollection(ItemClass), FOwner(Owner)
{
}
