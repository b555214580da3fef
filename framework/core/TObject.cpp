#include "framework/core/TObject.h"

#include <typeinfo>

#include "framework/core/TypeInfo.h"

AnsiString TObject::ClassName() const
{
    return ShortTypeName(typeid(*this));
}

const TClassInfo* TObject::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TObject>("TObject").Build();
    return &Info;
}

bool TObject::InheritsFrom(const TClassInfo* Class) const
{
    return ClassInfo()->InheritsFrom(Class);
}

void TObject::Free()
{
    BeforeDestruction();
    delete this;
}
