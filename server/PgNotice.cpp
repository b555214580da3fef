#include "server/PgNotice.h"

#include "framework/core/TextUtils.h"

namespace RecordServer {

namespace {

// Enough for every sequence, id and length, and short enough that reading one cannot overflow.
constexpr std::size_t MaxDigits = 18;

// A run of digits ended by Stop, taken off the front of Text.
bool TakeNumber(std::string_view& Text, char Stop, std::int64_t& Value)
{
    std::size_t End = Text.find(Stop);
    if (End == std::string_view::npos || End == 0 || End > MaxDigits) return false;
    Value = 0;
    for (char C : Text.substr(0, End)) {
        if (C < '0' || C > '9') return false;
        Value = Value * 10 + (C - '0');
    }
    Text.remove_prefix(End + 1);
    return true;
}

// "-" or "<bytes>:<text>", taken off the front of Text.
bool TakeKey(std::string_view& Text, AnsiString& Key, bool& Present)
{
    if (!Text.empty() && Text.front() == '-') {
        Text.remove_prefix(1);
        Present = false;
        return true;
    }
    std::int64_t Length = 0;
    if (!TakeNumber(Text, ':', Length) || static_cast<std::uint64_t>(Length) > Text.size()) return false;
    Key = AnsiString(Text.substr(0, static_cast<std::size_t>(Length)));
    Text.remove_prefix(static_cast<std::size_t>(Length));
    Present = true;
    return true;
}

}  // namespace

std::optional<TPgNotice> ParsePgNotice(std::string_view Payload)
{
    TPgNotice Notice;
    std::int64_t What = 0;
    bool Parsed = TakeNumber(Payload, ' ', Notice.Seq) && TakeNumber(Payload, ' ', Notice.Id) &&
                  TakeNumber(Payload, ' ', What) && What >= 1 && What <= 3 &&
                  TakeKey(Payload, Notice.OldKey, Notice.HasOldKey) && TakeKey(Payload, Notice.NewKey, Notice.HasNewKey) &&
                  Payload.empty();
    if (!Parsed || (What != 3 && !Notice.HasNewKey)) return std::nullopt;
    Notice.What = static_cast<int>(What);
    return Notice;
}

AnsiString FormatPgNotice(const TPgNotice& Notice)
{
    auto Key = [](bool Present, const AnsiString& Text) {
        return Present ? IntToStr(static_cast<std::int64_t>(Text.size())) + ":" + Text : AnsiString("-");
    };
    return IntToStr(Notice.Seq) + " " + IntToStr(Notice.Id) + " " + IntToStr(Notice.What) + " " +
           Key(Notice.HasOldKey, Notice.OldKey) + Key(Notice.HasNewKey, Notice.NewKey);
}

}  // namespace RecordServer
