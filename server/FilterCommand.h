#pragma once
// Filter command lines: a plain-text filter language that is not SQL. A line is six
// comma-terminated items:
//     description, field name, start, end, comparison, value,
// Start and end are 1-based character positions in the field's text, inclusive (0 or empty:
// from the first / to the last character); the comparison is one of = <> < <= > >=. When
// both the compared part and the value are numbers they compare as numbers, otherwise as
// text. A record passes a filter when it passes every line.
#include <optional>
#include <string_view>

#include "framework/core/Exceptions.h"

namespace RecordServer {

struct TTableSchema;

enum class TCompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct TFilterCondition {
    AnsiString Description;
    AnsiString FieldName;  // a field of the schema, exactly as it names it
    int Start = 0;         // 0: from the first character
    int End = 0;           // 0: to the last character
    TCompareOp Op = TCompareOp::Equal;
    AnsiString Value;
    bool ValueIsNumber = false;  // Value holds a number, compared exactly
};

// Parses one line against Schema. An empty or all-blank line gives nullopt; a malformed line
// raises EServerError (E_INVALIDARG) naming the problem.
std::optional<TFilterCondition> ParseFilterLine(std::string_view Line, const TTableSchema& Schema);
// The comparison as written in a filter line ("<=").
const char* CompareOpText(TCompareOp Op);
// Whether a field holding FieldText passes Condition.
bool ConditionHolds(const TFilterCondition& Condition, std::string_view FieldText);

}  // namespace RecordServer
