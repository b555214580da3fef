#include "framework/core/TPersistent.h"

#include "framework/core/Translation.h"
#include "framework/core/TypeInfo.h"

const TClassInfo* TPersistent::StaticClassInfo()
{
    static const TClassInfo Info = TClassBuilder<TPersistent, TObject>("TPersistent").Build();
    return &Info;
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) Source->AssignTo(this);
    else AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    Dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* Source)
{
    AnsiString SourceName = Source ? Source->ClassName() : AnsiString("nil");
    throw EConvertError(
        FormatText(TranslateText("TPersistent", "Cannot assign a %1 to a %2"), {SourceName, ClassName()}));
}

AnsiString TPersistent::GetNamePath()
{
    return ClassName();
}
