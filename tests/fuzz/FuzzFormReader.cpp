// Fuzz target: the form reader. Any text is read or refused with a form error; a form that
// was read writes a text that reads back and writes the same text again, and written back
// over its own text unchanged leaves that text as it was.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/core/FormReader.h"
#include "framework/core/FormTextUpdate.h"
#include "framework/core/FormWriter.h"
#include "tests/framework/FormTestClasses.h"

using namespace FormTest;

namespace {

// Reads Text into a fresh form and writes it; false when the reader or the writer refuses.
bool ReadAndWrite(std::string_view Text, AnsiString& Written)
{
    TTestForm Form(nullptr);
    try {
        ReadFormText(Text, &Form, "fuzz.form");
    } catch (const Exception&) {
        return false;
    }
    try {
        const TWrittenObject Loaded = DescribeForm(&Form);
        std::optional<AnsiString> Same = UpdateFormText(Text, Loaded, Loaded);
        if (Same && *Same != Text) std::abort();
        Written = WriteFormText(&Form);
    } catch (const EWriteError&) {
        return false;  // read, but holds what a form file cannot say (a reference outside it)
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    ResetFormTest();
    AnsiString First, Second;
    if (!ReadAndWrite(std::string_view(reinterpret_cast<const char*>(Data), Size), First)) return 0;
    if (!ReadAndWrite(First, Second) || Second != First) std::abort();
    return 0;
}
