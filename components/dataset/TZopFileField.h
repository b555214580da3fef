#pragma once
// TZopFileField: one field of a dataset's current record, for code, as
// TZopFileDataSet::FieldByName hands it out:
//
//   DS->FieldByName("Amount").SetAsString("199.90");
//   double Total = DS->FieldByName("Amount").GetAsFloat();
//   TDateTime Ordered = DS->FieldByName("Ordered").GetAsDateTime();
//
// It is a small value (the dataset, the field's name and type): every read asks the server
// for the current record's value, every write goes into the record being inserted or edited,
// as a bound control's would (the server refuses a write while nothing is inserted or edited),
// and shows in the bound edits and texts of the field at once. A record being inserted is
// read once it is posted: until then a read raises (the server would answer with the record
// under the cursor).
// Values travel as text; the typed accessors convert, in the form the field's type stores:
//
//   accessor        reads                                   writes
//   AsString        the value as stored ("1250.00")         the text as it is
//   AsInteger       a whole number (a Decimal's "12.00")    the number's digits
//   AsFloat         a number, nearest double                Decimal(n): rounded to n decimals;
//                                                           Integer: a whole number only;
//                                                           else the shortest exact digits
//   AsBoolean       True or False                           True or False
//   AsDateTime      a date YYYY-MM-DD (midnight)            the date part, YYYY-MM-DD
//
// A typed read of an empty value (GetIsNull) or of a value that is not of that kind raises,
// as does every failure: EDatabaseError, whose message names the field and says why, the
// server's own words included ("Field Amount: ...").
//
// Threading: GUI thread only, as its dataset.
#include <cstdint>

#include "framework/core/DateTime.h"
#include "framework/core/Exceptions.h"
#include "interface/ZopFieldType.h"

class TZopFileDataSet;

class TZopFileField {
public:
    // DataSet: not owned; it must outlive this value.
    TZopFileField(TZopFileDataSet* DataSet, AnsiString Name, TZopFieldType Type);

    const AnsiString& GetFieldName() const { return FName; }
    const TZopFieldType& GetDataType() const { return FType; }

    AnsiString GetAsString() const;
    void SetAsString(const AnsiString& Value);
    std::int64_t GetAsInteger() const;
    void SetAsInteger(std::int64_t Value);
    double GetAsFloat() const;
    void SetAsFloat(double Value);
    bool GetAsBoolean() const;
    void SetAsBoolean(bool Value);
    TDateTime GetAsDateTime() const;
    void SetAsDateTime(TDateTime Value);
    // Whether the value is empty; Clear empties it.
    bool GetIsNull() const;
    void Clear();

private:
    [[noreturn]] void Fail(const AnsiString& Problem) const;
    // The value, raising with the field's name for an empty one.
    AnsiString Present(const AnsiString& Kind) const;

    TZopFileDataSet* FDataSet;  // not owned
    AnsiString FName;
    TZopFieldType FType;
};
