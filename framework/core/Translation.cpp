// The translation hook of the layers without Qt, and the filling of message templates.
#include "framework/core/Translation.h"

#include <atomic>

#include "framework/core/TextUtils.h"

namespace {

std::atomic<TTranslateHook> Hook{nullptr};

void ReplacePluralCount(AnsiString& Text, int N)
{
    const AnsiString Count = IntToStr(N);
    for (std::size_t At = Text.find("%n"); At != AnsiString::npos; At = Text.find("%n", At + Count.size()))
        Text.replace(At, 2, Count);
}

}  // namespace

TTranslateHook SetTranslateHook(TTranslateHook NewHook)
{
    return Hook.exchange(NewHook);
}

AnsiString TranslateText(const char* Context, const char* Source, const char* Disambiguation, int N)
{
    const TTranslateHook Current = Hook.load();
    AnsiString Text = Current ? Current(Context, Source, Disambiguation, N) : AnsiString(Source ? Source : "");
    // Qt's translators fill in %n themselves; the identity path and any other hook may not.
    if (N >= 0) ReplacePluralCount(Text, N);
    return Text;
}

AnsiString FormatText(std::string_view Template, std::span<const std::string_view> Values)
{
    AnsiString Out;
    Out.reserve(Template.size() + 16 * Values.size());
    std::size_t I = 0;
    while (I < Template.size()) {
        const char C = Template[I];
        if (C != '%' || I + 1 >= Template.size()) {
            Out += C;
            ++I;
            continue;
        }
        if (Template[I + 1] == '%') {
            Out += '%';
            I += 2;
            continue;
        }
        std::size_t End = I + 1;
        int Number = 0;
        while (End < Template.size() && End < I + 3 && Template[End] >= '0' && Template[End] <= '9')
            Number = Number * 10 + (Template[End++] - '0');
        if (End == I + 1 || Number < 1 || static_cast<std::size_t>(Number) > Values.size()) {
            Out.append(Template.substr(I, End - I));
            I = End;
            continue;
        }
        Out.append(Values[static_cast<std::size_t>(Number - 1)]);
        I = End;
    }
    return Out;
}
