#pragma once
// The field types that IFileDataSet::GetFieldType names, as the components read them:
//
//   name        kind      Scale   a value, as text
//   Text        Text      -1      any text
//   Number      Number    -1      a decimal number as typed ("13", "-0.5", "1e3")
//   Integer     Integer   0       a whole number ("42")
//   Decimal(n)  Decimal   n       a number with exactly n decimals ("1250.00")
//   Date        Date      -1      a date written YYYY-MM-DD ("2024-03-31")
//   Boolean     Boolean   -1      True or False
//
// A name this unit does not know (a newer server's) reads as Text, so that its values are
// still shown and written as text.
#include "framework/core/Exceptions.h"

enum class TZopFieldKind { Text, Number, Integer, Decimal, Date, Boolean };

struct TZopFieldType {
    TZopFieldKind Kind = TZopFieldKind::Text;
    int Scale = -1;  // Integer 0, Decimal(n) n, else -1

    // Number, Integer and Decimal: values that are numbers, shown right-aligned.
    bool IsNumeric() const;
};

TZopFieldType ReadFieldType(const AnsiString& Name);
