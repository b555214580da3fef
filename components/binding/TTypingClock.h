#pragma once
// The order in which the user typed into the bound controls (TTypingClock), and per field
// the control typed into last (TLatestTyping). Each change that the user makes
// to a bound edit or to a grid cell's editor takes the next tick, so that when a bound edit
// and a grid cell of the same field were both typed into, the one typed into last is known
// (the dataset writes that one; see TZopFileDataSet::DoInitDataControlData).
//
// Threading: GUI thread only.
#include <cstdint>
#include <map>

#include "framework/core/Exceptions.h"

class TTypingClock {
public:
    // A tick later than every tick given before; never 0, which stands for "never typed into".
    static std::uint64_t Tick();
};

// For each field, the latest tick of the typing clock at which a bound control of that field
// was typed into (see TTypingClock). When a bound edit and a grid cell of one field were both
// typed into, only the one typed into last is written into the record.
class TLatestTyping {
public:
    // Notes that a control of Field was typed into at TypedAt (0: not typed into; ignored).
    void Note(const AnsiString& Field, std::uint64_t TypedAt);
    // True when a control of Field typed into at TypedAt (0: not typed into) is to be
    // written: no control of the field was typed into later.
    bool Wins(const AnsiString& Field, std::uint64_t TypedAt) const;

private:
    std::map<AnsiString, std::uint64_t> FLatest;  // by field name, trimmed
};
