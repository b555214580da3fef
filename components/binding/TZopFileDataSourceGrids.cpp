#include "components/binding/TZopFileDataSource.h"

// The grid operations walk the registry for grids; the grid control is not part of the
// suite yet, so no entry is a grid and every walk finds nothing to do.
void TZopFileDataSource::RefreshDBGrid() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorFirstClick() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorLastClick() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorNextClick() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorPriorClick() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorPostClick() {}
void TZopFileDataSource::RefreshDBGridParamsWithNavigatorDeleteClick() {}
void TZopFileDataSource::RefreshDBGridParamsWhenDataFilterChanged() {}
void TZopFileDataSource::ResetDBGridSelectCell(TZopFileDBGrid*, int, int) {}
void TZopFileDataSource::ResetAllGridGridTopDataPos() {}
