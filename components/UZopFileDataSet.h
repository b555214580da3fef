#pragma once
// The component suite in one header: the dataset, the data source and the bound controls.
#include "components/binding/TZopFileDBEdit.h"
#include "components/binding/TZopFileDBText.h"
#include "components/binding/TZopFileDataSource.h"
#include "components/dataset/TZopFileDataSet.h"
#include "components/navigator/TNavBtn.h"
#include "components/navigator/TZopFileDBNavigator.h"

// Registers the suite's classes with the class registry so that form files can name them.
void RegisterZopFileDBClasses();
