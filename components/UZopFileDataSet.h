#pragma once
// The component suite in one header: the dataset, the data source, the bound controls and the grid.
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDBText.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/grid/TColumnItem.h"
#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "components/navigator/TNavBtn.h"
#include "components/navigator/TZopFileDBNavigator.h"

// Registers the suite's classes with the class registry so that form files can name them.
void RegisterZopFileDBClasses();
