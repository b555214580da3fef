#pragma once
// The checks a record passes before it is written: what a post normalises, and what it
// refuses with a message naming the field and the value. The uniqueness of the key is not
// checked here but by the store as it writes (its unique index), so that two sessions posting
// the same key at the same moment cannot both succeed; RefuseDuplicateKey words the refusal.
#include <vector>

#include "server/Schema.h"

namespace RecordServer {

// Numbers are stored without the blanks around them, the typed fields' values in their
// stored form (StoredValue in FieldTypes.h: "1250.00" in a Decimal(2) field); texts as they
// are typed.
void NormalizeValues(const TTableSchema& Schema, std::vector<AnsiString>& Values);
// Raises EServerError for the first value (in field order) that is refused: an empty key
// field, a number field that holds no number (or one whose exponent is too long, or one
// beyond the range every store holds), a text longer than its field.
void CheckValues(const TTableSchema& Schema, const std::vector<AnsiString>& Values);
// Raises EServerError saying that the key in Values is another record's.
[[noreturn]] void RefuseDuplicateKey(const TTableSchema& Schema, const std::vector<AnsiString>& Values);

}  // namespace RecordServer
