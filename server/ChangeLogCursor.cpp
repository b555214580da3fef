#include "server/ChangeLogCursor.h"

#include <algorithm>

#include "server/KeyOrder.h"

namespace RecordServer {

void TChangeLogCursor::Restart(std::int64_t End)
{
    FApplied = End;
    FOwn.clear();
}

void TChangeLogCursor::OwnWrite(std::int64_t Seq)
{
    // When nobody else wrote since this session's last look, its own entry is the next one
    // and the look moves past it; otherwise Take skips it when it gets there.
    if (Seq == FApplied + 1) FApplied = Seq;
    else if (Seq > FApplied) FOwn.push_back(Seq);
}

TChangesSeen TChangeLogCursor::TakeAll(const std::function<bool(TEntry&)>& Next, std::vector<TChange>& Changes)
{
    std::int64_t Expected = FApplied + 1;
    TEntry Entry;
    while (Next(Entry)) {
        if (Entry.Seq != Expected) return TChangesSeen::Lost;
        Expected = Entry.Seq + 1;
        // An entry of no single record (the table emptied at once, by TRUNCATE): every view
        // is read again.
        if (Entry.What == EmptiedEntry) return TChangesSeen::Lost;
        auto Own = std::find(FOwn.begin(), FOwn.end(), Entry.Seq);
        if (Own != FOwn.end()) {
            FOwn.erase(Own);
            continue;
        }
        TChange Change;
        Change.Id = Entry.Id;
        Change.Kind = static_cast<TChangeKind>(Entry.What);
        if (Change.Kind != TChangeKind::Inserted) {
            if (Entry.OldKey.substr(0, FKeyTag.size()) != FKeyTag) return TChangesSeen::Lost;
            Change.OldKey = DecodeLogKey(Entry.OldKey.substr(FKeyTag.size()));
        }
        if (Change.Kind != TChangeKind::Deleted && !Entry.NewKey.empty()) {
            if (Entry.NewKey.substr(0, FKeyTag.size()) != FKeyTag) return TChangesSeen::Lost;
            Change.NewKey = DecodeLogKey(Entry.NewKey.substr(FKeyTag.size()));
        }
        Changes.push_back(std::move(Change));
    }
    FApplied = Expected - 1;
    return TChangesSeen::Listed;
}

std::vector<AnsiString> DecodeLogKey(std::string_view Text)
{
    std::vector<AnsiString> Values;
    std::string_view Value;
    while (!Text.empty() && NextPackedText(Text, Value)) Values.emplace_back(Value);
    return Values;
}

std::uint32_t StableHash(std::string_view Text)
{
    std::uint32_t Hash = 2166136261u;
    for (char C : Text) {
        Hash ^= static_cast<unsigned char>(C);
        Hash *= 16777619u;
    }
    return Hash;
}

}  // namespace RecordServer
