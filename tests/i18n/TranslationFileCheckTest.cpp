// The check that every text has a finished translation: what it takes for a fault.
#include <gtest/gtest.h>

#include <QString>

#include "tests/i18n/TranslationFileCheck.h"
#include "tests/support/TempDir.h"

namespace {

std::string TsFile(const std::string& Messages)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"en\">\n"
           "<context>\n    <name>TForm1</name>\n" +
           Messages + "</context>\n</TS>\n";
}

TEST(TranslationFileCheck, ReportsEachUnfinishedEmptyOrIncompleteTranslationAndPassesFinishedOnes)
{
    struct TCase {
        const char* What;
        const char* Message;
        const char* Problem;  // empty: none
    };
    const TCase Cases[] = {
        {"finished", "<source>First</source><translation>第一筆</translation>", ""},
        {"place holders in another order", "<source>%1 of %2</source><translation>%2 中的 %1</translation>", ""},
        {"entities and a quote", "<source>Try &apos;%1&apos;; or not</source><translation>試「%1」</translation>", ""},
        {"new", "<source>Query</source><translation type=\"unfinished\"></translation>", "TForm1: unfinished: Query"},
        {"unfinished with a text", "<source>Query</source><translation type=\"unfinished\">查詢</translation>",
         "TForm1: unfinished: Query"},
        {"empty", "<source>Query</source><translation>  </translation>", "TForm1: empty: Query"},
        {"lost place holder", "<source>The table %1 has no field %2</source><translation>資料表 %1 沒有欄位</translation>",
         "TForm1: %2 missing from the translation: The table %1 has no field %2"},
        {"%1 is not found inside %12", "<source>%1 rows</source><translation>%12 筆</translation>",
         "TForm1: %1 missing from the translation: %1 rows"},
        {"a control character", "<source>a\n<byte value=\"xd\"/>b %1</source><translation>甲\n<byte value=\"xd\"/>乙 %1</translation>", ""},
        {"plural forms all kept", "<source>%n rows</source><translation><numerusform>%n row</numerusform>"
                                  "<numerusform>%n rows</numerusform></translation>", ""},
        {"one plural form empty", "<source>%n rows</source><translation><numerusform>%n row</numerusform>"
                                  "<numerusform></numerusform></translation>", "TForm1: empty: %n rows"},
        {"one plural form without its count", "<source>%n rows</source><translation><numerusform>one row</numerusform>"
                                              "<numerusform>%n rows</numerusform></translation>",
         "TForm1: %n missing from the translation: %n rows"},
    };
    TempDir Dir;
    for (const TCase& C : Cases) {
        const std::string Path = Dir.WriteFile("case.ts", TsFile(std::string("    <message>") + C.Message + "</message>\n"));
        int Count = 0;
        const std::vector<std::string> Problems = TranslationFileProblems(QString::fromStdString(Path), Count);
        EXPECT_EQ(Count, 1) << C.What;
        if (*C.Problem) {
            ASSERT_EQ(Problems.size(), 1u) << C.What;
            EXPECT_EQ(Problems[0], C.Problem) << C.What;
        } else {
            EXPECT_TRUE(Problems.empty()) << C.What << ": " << (Problems.empty() ? "" : Problems[0]);
        }
    }
}

TEST(TranslationFileCheck, AFileThatIsMissingBrokenOrEmptyIsAProblem)
{
    TempDir Dir;
    int Count = -1;
    EXPECT_EQ(TranslationFileProblems(QString::fromStdString(Dir.File("none.ts")), Count).size(), 1u);
    const std::string Broken = Dir.WriteFile("broken.ts", "<TS><context><name>X</name><message><source>a</source>");
    EXPECT_EQ(TranslationFileProblems(QString::fromStdString(Broken), Count).size(), 1u);
    const std::string Empty = Dir.WriteFile("empty.ts", TsFile(""));
    EXPECT_EQ(TranslationFileProblems(QString::fromStdString(Empty), Count).size(), 1u);
    EXPECT_EQ(Count, 0);
}

}  // namespace
