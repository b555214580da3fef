#pragma once
// Every text that the suite shows to a person passes through TranslateText, in a context
// (the class or unit that says it), before any value goes into it:
//
//   throw EServerError(FormatText(TranslateText("TTableSession", "The table %1 has no field %2."),
//                                 {Table, Quoted(Name)}));
//
// The layers below the Qt edge have no translator of their own: the text is looked up
// through a hook that the program sets once at start-up (framework/ui points it at Qt's
// translators, see framework/ui/Translations.h). Without a hook a text is its own
// translation. The sources are read by lupdate, which takes TranslateText for Qt's
// translate and ZFD_TRANSLATE_NOOP for QT_TRANSLATE_NOOP (cmake/Translations.cmake), so
// the context and the source text must be literals at the call.
//
// Thread safety: TranslateText and FormatText may be called from any thread; the hook is
// set before other threads start and must itself be callable from any thread.
#include <initializer_list>
#include <span>
#include <string_view>

#include "framework/core/Exceptions.h"

// Looks a text up. Context and Source are literals (UTF-8); Disambiguation tells two uses of
// one source text apart (nullptr: none). With N >= 0 the text has plural forms chosen by N,
// and "%n" in the result is replaced by N.
using TTranslateHook = AnsiString (*)(const char* Context, const char* Source, const char* Disambiguation, int N);

// Sets the hook (nullptr: every text is its own translation) and answers the previous one.
TTranslateHook SetTranslateHook(TTranslateHook Hook);

AnsiString TranslateText(const char* Context, const char* Source, const char* Disambiguation = nullptr, int N = -1);

// Template with %1 ... %99 replaced by the values, in one pass (a value that holds "%2" is
// not read again); "%%" is one "%". A number without a value, or any other "%", stays as it
// stands, so that a translation that drops or misspells a place holder loses nothing else.
AnsiString FormatText(std::string_view Template, std::span<const std::string_view> Values);
inline AnsiString FormatText(std::string_view Template, std::initializer_list<std::string_view> Values)
{
    return FormatText(Template, std::span<const std::string_view>(Values.begin(), Values.size()));
}

// Marks a text of a table for translation without translating it there: the table keeps
// the source text and the code that shows it calls TranslateText with the same context.
#define ZFD_TRANSLATE_NOOP(Context, Text) Text
