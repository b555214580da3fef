#pragma once
// Collections of items of one class (the item class), streamed as "< item ... end >".
#include <vector>

#include "framework/core/TPersistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
    DECLARE_CLASSINFO()
public:
    // Joins Collection (appended at the end); Collection may be null.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves its collection.
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    int ID() const { return FID; }
    virtual AnsiString GetDisplayName();
    virtual void SetDisplayName(const AnsiString& Value);
    AnsiString DisplayName() { return GetDisplayName(); }
    TPersistent* GetOwner() override;
    AnsiString GetNamePath() override;

protected:
    // Tells the collection that this item (or, with AllItems, every item) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;  // not owned: the collection owns its items
    int FID = 0;
};

class TCollection : public TPersistent {
    DECLARE_CLASSINFO()
public:
    // ItemClass: the class of the items that Add creates (it must have a CreateItem factory).
    explicit TCollection(const TClassInfo* ItemClass);
    ~TCollection() override;  // frees the items

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);  // frees the item; EListError out of range
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* GetItem(int Index) const;  // EListError out of range
    // Copies Item into the existing item at Index (Assign); never replaces the object.
    void SetItem(int Index, TCollectionItem* Item);
    TCollectionItem* FindItemID(int ID) const;
    const TClassInfo* ItemClass() const { return FItemClass; }

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: clears this one and adds a copy of each of its items.
    void Assign(TPersistent* Source) override;
    AnsiString GetNamePath() override;

protected:
    // Called after items change (Item null: several changed), unless an update is open.
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);
    [[noreturn]] void IndexError(int Index) const;

    const TClassInfo* FItemClass;         // not owned (static class information)
    std::vector<TCollectionItem*> FItems;  // owned
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that knows its owner (for name paths and the designer).
class TOwnedCollection : public TCollection {
    DECLARE_CLASSINFO()
public:
    TOwnedCollection(TPersistent* Owner, const TClassInfo* ItemClass);
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;  // not owned
};
