#pragma once
// The order of records that every store keeps: by the key fields in schema order (numbers
// as exact decimals, texts by their bytes, which for UTF-8 is the order of the code points), then by
// id. Stores order their tables the same way; this compares two keys held in memory.
#include <cstdint>
#include <optional>
#include <string_view>

#include "server/RecordStore.h"
#include "server/Schema.h"

namespace RecordServer {

// Negative, 0 or positive as A comes before, at or after B.
int CompareRecordKeys(const TTableSchema& Schema, const TRecordKey& A, const TRecordKey& B);

// The key fields' texts among a record's Values (in schema order).
std::vector<AnsiString> KeyValues(const TTableSchema& Schema, const std::vector<AnsiString>& Values);

// A key's field texts as one text ("<bytes>:<text>" per field), as the view and the change
// logs hold keys.
AnsiString PackKey(const std::vector<AnsiString>& Values);
// The next field text of a packed key (Packed moves past it); false at its end.
bool NextPackedText(std::string_view& Packed, std::string_view& Text);
// A key's lead: the first key field's value when that field is a number written as a plain
// integer (an optional minus, up to 18 digits, no leading zero), as most keys are. Two keys
// with different leads compare as their leads do; any other two need the whole comparison.
std::optional<std::int64_t> KeyLead(const TTableSchema& Schema, const std::vector<AnsiString>& Key);
// The same comparison with A's key packed.
int ComparePackedKey(const TTableSchema& Schema, std::string_view PackedA, std::int64_t IdA, const TRecordKey& B);

}  // namespace RecordServer
