#include "components/binding/TTypingClock.h"

#include <algorithm>

#include "framework/core/TextUtils.h"

std::uint64_t TTypingClock::Tick()
{
    static std::uint64_t Last = 0;
    return ++Last;
}

bool TLatestTyping::Wins(const AnsiString& Field, std::uint64_t TypedAt) const
{
    auto It = FLatest.find(Trim(Field));
    return It == FLatest.end() || TypedAt >= It->second;
}

void TLatestTyping::Note(const AnsiString& Field, std::uint64_t TypedAt)
{
    if (TypedAt == 0 || Trim(Field).empty()) return;
    std::uint64_t& Latest = FLatest[Trim(Field)];
    Latest = std::max(Latest, TypedAt);
}
