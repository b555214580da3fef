#include "interface/ZopFieldType.h"

#include "framework/core/TextUtils.h"

bool TZopFieldType::IsNumeric() const
{
    return Kind == TZopFieldKind::Number || Kind == TZopFieldKind::Integer || Kind == TZopFieldKind::Decimal;
}

TZopFieldType ReadFieldType(const AnsiString& Name)
{
    if (Name == "Number") return {TZopFieldKind::Number, -1};
    if (Name == "Integer") return {TZopFieldKind::Integer, 0};
    if (Name == "Date") return {TZopFieldKind::Date, -1};
    if (Name == "Boolean") return {TZopFieldKind::Boolean, -1};
    int Scale = -1;
    if (Name.size() > 9 && Name.rfind("Decimal(", 0) == 0 && Name.back() == ')' &&
        TryStrToInt(Name.substr(8, Name.size() - 9), Scale) && Scale >= 0)
        return {TZopFieldKind::Decimal, Scale};
    return {};
}
