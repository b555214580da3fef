// check_translations FILE.ts...: lists what each file lacks (TranslationFileCheck.h) and ends
// with 1 when anything does. cmake/CheckTranslations.cmake runs it on the files that lupdate
// has just updated.
#include <QString>

#include <iostream>

#include "tests/i18n/TranslationFileCheck.h"

int main(int argc, char** argv)
{
    int Failed = 0;
    for (int I = 1; I < argc; ++I) {
        int Count = 0;
        const std::vector<std::string> Problems = TranslationFileProblems(QString::fromLocal8Bit(argv[I]), Count);
        std::cout << argv[I] << ": " << Count << " texts, " << Problems.size() << " without a finished translation\n";
        for (const std::string& Problem : Problems) std::cout << "  " << Problem << "\n";
        if (!Problems.empty()) Failed = 1;
    }
    return argc < 2 ? 2 : Failed;
}
