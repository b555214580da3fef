#include "tests/support/TableCommands.h"

#include <sstream>
#include <utility>
#include <vector>

#include "framework/core/TextUtils.h"
#include "interface/ServerCall.h"

namespace {

using TPairs = std::vector<std::pair<AnsiString, AnsiString>>;

TPairs ReadPairs(std::istringstream& Words)
{
    TPairs Pairs;
    for (std::string Word; Words >> Word;) {
        std::size_t Equals = Word.find('=');
        if (Equals == std::string::npos) throw Exception("not a field=value pair: " + Word);
        Pairs.emplace_back(Word.substr(0, Equals), Word.substr(Equals + 1));
    }
    return Pairs;
}

void SetAndPost(IFileDataSet* S, const TPairs& Values, std::size_t From)
{
    for (std::size_t I = From; I < Values.size(); ++I)
        Check(S->SetFieldValue(OleVariant(Values[I].first), OleVariant(Values[I].second)));
    Ask(S, &IFileDataSet::Post);
}

// Puts the cursor on a record whose Field holds Value: the current one when it does (the
// record just posted, which a benchmark deletes again at once in a table of a million), else
// the first from the top.
void Find(IFileDataSet* S, const std::pair<AnsiString, AnsiString>& Wanted)
{
    if (AskText(S, &IFileDataSet::GetFieldValue, OleVariant(Wanted.first)) == Wanted.second) return;
    Check(S->First());
    for (int Left = AskInt(S, &IFileDataSet::GetRecordCount); Left > 0; --Left) {
        if (AskText(S, &IFileDataSet::GetFieldValue, OleVariant(Wanted.first)) == Wanted.second) return;
        Check(S->Next());
    }
    throw Exception("no record has " + Wanted.first + " = " + Wanted.second);
}

}  // namespace

void RunTableCommand(IFileDataSet* S, const std::string& Line)
{
    std::istringstream Words(Line);
    std::string Command;
    Words >> Command;
    if (Command == "post") {
        Check(S->Insert());
        SetAndPost(S, ReadPairs(Words), 0);
    } else if (Command == "edit" || Command == "delete") {
        TPairs Pairs = ReadPairs(Words);
        if (Pairs.empty()) throw Exception("no record named");
        Find(S, Pairs[0]);
        if (Command == "delete") {
            Check(S->Delete());
        } else {
            Check(S->Edit());
            SetAndPost(S, Pairs, 1);
        }
    } else if (Command == "burst") {
        long long From = 0, Count = 0;
        Words >> From >> Count;
        for (long long N = From; N < From + Count; ++N) {
            Check(S->Insert());
            SetAndPost(S, {{"CustNo", IntToStr(N)}, {"Company", "B" + IntToStr(N)}}, 0);
        }
    } else {
        throw Exception("unknown command: " + Command);
    }
}

