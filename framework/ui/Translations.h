#pragma once
// The language in which the suite speaks to a person. Catalogues for Traditional Chinese
// ("zh_TW") and English ("en") are compiled into this library (made from translations/*.ts);
// the same files are installed beside the libraries, under <libdir>/zopfiledb/translations.
//
// A program calls UseLanguage once, after the application object exists (TApplicationHost)
// and before it creates its forms: a form's texts are translated when it loads, and a text
// already shown does not change with the language.
//
//   UseLanguage();        // the user's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)
//   UseLanguage("en");    // English, whatever the locale says
//
// The locale's languages are tried in order: Chinese of any region shows Traditional Chinese,
// English shows English; C and POSIX, which ask for no language, show Traditional Chinese, the
// suite's own. A locale that names only languages without a catalogue shows English.
//
// GUI thread only.
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

// The languages that have a catalogue.
std::vector<AnsiString> AvailableLanguages();

// The catalogue for a locale's languages, most wanted first ("en_GB", "zh-Hant-TW", "C").
AnsiString LanguageForLocales(const std::vector<AnsiString>& Preferred);

// Shows every text from now on in Language ("zh_TW", "en"; empty: the user's locale) and
// points the framework's translation hook at Qt's translators. False, with nothing changed,
// for a language without a catalogue; EInvalidOperation without an application object. An
// application title left at its default ("Application") follows the language; a program's
// own title stays.
bool UseLanguage(std::string_view Language = {});

// The language in use; empty before UseLanguage.
AnsiString CurrentLanguage();
