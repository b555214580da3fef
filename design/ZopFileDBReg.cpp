#include "design/ZopFileDBReg.h"

#include "components/UZopFileDataSet.h"
#include "design/TZopFileDbControlFieldName.h"
#include "framework/design/DesignRegistry.h"

void Register()
{
    RegisterPropertyEditor(TypeInfoOf<TZopFileDbControlFieldStr>(), nullptr, AnsiString(),
                           [](std::vector<TPersistent*> Selection, const TPropInfo* Prop) {
                               return std::make_unique<TZopFileDbControlFieldName>(std::move(Selection), Prop);
                           });
    RegisterComponents("ZopFileDBSuit",
                       {TZopFileDataSet::StaticClassInfo(), TZopFileDataSource::StaticClassInfo(),
                        TZopFileDBEdit::StaticClassInfo(), TZopFileDBText::StaticClassInfo(),
                        TZopFileDBNavigator::StaticClassInfo(), TZopFileDBGrid::StaticClassInfo()});
}
