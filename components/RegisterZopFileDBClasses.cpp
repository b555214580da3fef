#include "components/UZopFileDataSet.h"
#include "framework/core/ClassRegistry.h"

void RegisterZopFileDBClasses()
{
    RegisterOstrelClasses();
    RegisterClasses({TZopFileDataSet::StaticClassInfo(), TZopFileDataSource::StaticClassInfo(),
                     TZopFileDBEdit::StaticClassInfo(), TZopFileDBText::StaticClassInfo(), TNavBtn::StaticClassInfo(),
                     TZopFileDBNavigator::StaticClassInfo(), TZopFileDBGrid::StaticClassInfo(),
                     TGridColumns::StaticClassInfo(), TColumnItem::StaticClassInfo(), TGridCell::StaticClassInfo()});
}
