#pragma once
// TGridColumns: the bound grid's column collection, owned by the grid, items of class
// TColumnItem. A column reaches its grid through it (FGrid).
#include "framework/core/TCollection.h"

class TColumnItem;
class TGridCell;
class TZopFileDBGrid;

class TGridColumns : public TOwnedCollection {
    DECLARE_CLASSINFO()
public:
    // ItemClass: TColumnItem or a descendant.
    TGridColumns(TPersistent* Owner, const TClassInfo* ItemClass);

    TColumnItem* Add();
    TColumnItem* GeTColumnItem(int Index) const;  // EListError out of range
    // Copies Value into the existing column at Index (Assign).
    void SeTColumnItem(int Index, TColumnItem* Value);
    int GetCount() const { return Count(); }
    // The data cell of column Col, row Row; null above either range.
    TGridCell* GetDataCell(int Col, int Row) const;

    TZopFileDBGrid* FGrid = nullptr;  // not owned: the grid owns this collection
};
