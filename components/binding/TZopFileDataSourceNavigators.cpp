#include "components/binding/TZopFileDataSource.h"

// The navigator bar is not part of the suite yet: no registry entry is a navigator.
void TZopFileDataSource::RefreshNavigator() {}
