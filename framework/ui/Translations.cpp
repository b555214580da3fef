// Choosing and installing the suite's catalogue, and the hook through which the layers
// without Qt reach Qt's translators.
#include "framework/ui/Translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <memory>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"
#include "framework/ui/TApplication.h"

// The compiled catalogues are a resource of this library (cmake/Translations.cmake); a static
// library drops an object that nothing refers to, so the resource is initialised by name.
static void InitTranslationResources()
{
    Q_INIT_RESOURCE(zopfiledb_translations);
}

namespace {

constexpr const char* ResourceFolder = ":/zopfiledb/translations/";

std::unique_ptr<QTranslator> Installed;  // owned; installed in the application while set
AnsiString Current;

AnsiString ThroughQt(const char* Context, const char* Source, const char* Disambiguation, int N)
{
    return QCoreApplication::translate(Context, Source, Disambiguation, N).toStdString();
}

bool StartsWithLanguage(const AnsiString& Locale, std::string_view Language)
{
    return Locale.size() >= Language.size() && SameText(std::string_view(Locale).substr(0, Language.size()), Language) &&
           (Locale.size() == Language.size() || Locale[Language.size()] == '_' || Locale[Language.size()] == '-' ||
            Locale[Language.size()] == '.' || Locale[Language.size()] == '@');
}

}  // namespace

std::vector<AnsiString> AvailableLanguages()
{
    return {"zh_TW", "en"};
}

AnsiString LanguageForLocales(const std::vector<AnsiString>& Preferred)
{
    for (const AnsiString& Locale : Preferred) {
        if (Locale.empty() || StartsWithLanguage(Locale, "C") || StartsWithLanguage(Locale, "POSIX")) return "zh_TW";
        if (StartsWithLanguage(Locale, "zh")) return "zh_TW";
        if (StartsWithLanguage(Locale, "en")) return "en";
    }
    return "en";
}

bool UseLanguage(std::string_view Language)
{
    if (!QCoreApplication::instance())
        throw EInvalidOperation(FormatText(
            TranslateText("Translations", "The language %1 cannot be chosen before the application object exists."),
            {Language}));
    AnsiString Chosen(Language);
    if (Chosen.empty()) {
        std::vector<AnsiString> Preferred;
        const QLocale System = QLocale::system();
        if (System.language() == QLocale::C) Preferred.push_back("C");
        for (const QString& Name : System.uiLanguages()) Preferred.push_back(Name.toStdString());
        Chosen = LanguageForLocales(Preferred);
    }
    const std::vector<AnsiString> Languages = AvailableLanguages();
    if (std::find(Languages.begin(), Languages.end(), Chosen) == Languages.end()) return false;
    InitTranslationResources();
    const QString File = QString(ResourceFolder) + "zopfiledb_" + QString::fromStdString(Chosen) + ".qm";
    if (!QFile::exists(File)) return false;
    auto Translator = std::make_unique<QTranslator>();
    if (!Translator->load(File)) return false;
    const AnsiString DefaultTitle = TranslateText("TApplication", "Application");
    if (Installed) QCoreApplication::removeTranslator(Installed.get());
    Installed = std::move(Translator);
    QCoreApplication::installTranslator(Installed.get());
    SetTranslateHook(&ThroughQt);
    Current = Chosen;
    if (Application && Application->Title() == DefaultTitle)
        Application->SetTitle(TranslateText("TApplication", "Application"));
    return true;
}

AnsiString CurrentLanguage()
{
    return Current;
}
