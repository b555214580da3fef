// Fuzz target: filter lines and the comparison of numbers. The input is a filter line and a
// field text, separated by the first newline. A line is parsed or refused with the server's
// error, and a parsed condition can be tested on any text; the number comparison is an
// order (antisymmetric, and equal numbers compare equal both ways).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "server/FilterCommand.h"
#include "server/Schema.h"
#include "server/ServerError.h"
#include "server/ValueText.h"

using namespace RecordServer;

namespace {

const TTableSchema& FuzzSchema()
{
    static const TTableSchema Schema =
        ParseSchema("[Table]\nName = T\n[Fields]\nCustNo, Number, 8, Key\nCompany, Text, 40\n", "fuzz.SFD");
    return Schema;
}

int Sign(int V)
{
    return (V > 0) - (V < 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    std::string_view Input(reinterpret_cast<const char*>(Data), Size);
    std::size_t Newline = Input.find('\n');
    std::string_view Line = Input.substr(0, Newline);
    std::string_view Field = Newline == std::string_view::npos ? std::string_view() : Input.substr(Newline + 1);

    if (Sign(CompareNumberTexts(Line, Field)) != -Sign(CompareNumberTexts(Field, Line))) std::abort();
    if (CompareNumberTexts(Field, Field) != 0) std::abort();
    try {
        std::optional<TFilterCondition> Condition = ParseFilterLine(Line, FuzzSchema());
        if (Condition) ConditionHolds(*Condition, Field);
    } catch (const EServerError&) {
    }
    return 0;
}
