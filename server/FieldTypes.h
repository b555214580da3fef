#pragma once
// The types a schema gives its fields beyond text and plain numbers, and what each takes:
//
//   type        stored as                         ordered as         a value the field takes
//   Text        the text as typed                 bytes              any text
//   Number      the number as typed, no blanks    exact decimals     a decimal number
//   Integer     a whole number, no point          exact decimals     a number without decimals
//   Decimal(n)  a number with exactly n decimals  exact decimals     a number with at most n
//   Date        YYYY-MM-DD                        bytes (= dates)    a calendar date so written
//   Boolean     True or False                     bytes (False first) True/False/1/0, any case
//
// Integer and Decimal(n) are number fields with a scale (TFieldDef::Scale 0 and n), Date and
// Boolean text fields whose values are checked: every store keeps, orders and compares them
// as it does numbers and texts, so that neither the stores nor the files change for them.
#include <string_view>

#include "server/Schema.h"

namespace RecordServer {

// The type as a schema writes it and GetFieldType answers: "Text", "Number", "Integer",
// "Decimal(2)", "Date", "Boolean".
AnsiString FieldTypeName(const TFieldDef& Field);
// Reads a type as a schema writes it (any letter case, blanks inside the brackets allowed)
// into Field's Type and Scale; false when Text names no type. A scale beyond what a store
// keeps after the point is no type either.
bool ParseFieldType(std::string_view Text, TFieldDef& Field);
// The size a field of this type has when the schema gives none (Date 10, Boolean 5); 0 for
// the types whose size must be given.
int DefaultFieldSize(const TFieldDef& Field);
// The least size that holds the type's values (a date's 10 characters, "False", "0.00").
int LeastFieldSize(const TFieldDef& Field);

// Value as Field stores it: a number of a field with a scale written with exactly that many
// decimals ("1250" is "1250.00" in a Decimal(2) field, "1.5e2" is "150"), a date or a
// boolean without blanks around it, a boolean as True or False. A value the field refuses
// (see TypedValueProblem), and every value of a text or plain number field, is left as it is.
AnsiString StoredValue(const TFieldDef& Field, const AnsiString& Value);
// Why Field refuses Value for its type, as the end of a sentence after the value ("is not a
// date (written YYYY-MM-DD, such as 2024-03-31)"); empty when it takes it. An empty value is
// taken. Numbers that are no numbers at all are left to the number checks.
AnsiString TypedValueProblem(const TFieldDef& Field, std::string_view Value);

}  // namespace RecordServer
