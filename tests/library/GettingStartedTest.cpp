// docs/getting-started.md shows the orders example's code: each snippet that the guide marks
// "<!-- from FILE, REGION -->" is the text between "// [REGION]" and "// [end REGION]" (or
// "# ...") in FILE, with its common indentation taken off; "<!-- from FILE -->" is the whole
// file. The example itself is built and run by the consumer tests.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& Path)
{
    std::ifstream In(Path);
    EXPECT_TRUE(In) << "cannot read " << Path;
    std::vector<std::string> Result;
    for (std::string Line; std::getline(In, Line);) Result.push_back(Line);
    return Result;
}

std::string Joined(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (const std::string& Line : Lines) Text += Line + "\n";
    return Text;
}

// The lines of Region in File (all of it when Region is empty), without their common indentation.
std::string RegionOf(const std::string& File, const std::string& Region)
{
    std::vector<std::string> All = Lines(std::string(SOURCE_DIR) + "/" + File), Body;
    if (Region.empty()) {
        Body = All;
    } else {
        const std::regex Start("\\s*(//|#) \\[" + Region + "\\]"), End("\\s*(//|#) \\[end " + Region + "\\]");
        std::size_t I = 0;
        while (I < All.size() && !std::regex_match(All[I], Start)) ++I;
        if (I == All.size()) return "(no region " + Region + " in " + File + ")";
        for (++I; I < All.size() && !std::regex_match(All[I], End); ++I) Body.push_back(All[I]);
        if (I == All.size()) return "(region " + Region + " in " + File + " has no end)";
    }
    while (!Body.empty() && Body.back().empty()) Body.pop_back();
    std::size_t Indent = std::string::npos;
    for (const std::string& Line : Body)
        if (!Line.empty()) Indent = std::min(Indent, Line.find_first_not_of(' '));
    for (std::string& Line : Body) Line = Line.empty() ? Line : Line.substr(Indent);
    return Joined(Body);
}

TEST(GettingStarted, EverySnippetOfTheGuideIsTheExamplesCode)
{
    const std::vector<std::string> Doc = Lines(std::string(SOURCE_DIR) + "/docs/getting-started.md");
    const std::regex From("<!-- from ([^, ]+)(, ([^>]+))? -->");
    int Snippets = 0;
    for (std::size_t I = 0; I < Doc.size(); ++I) {
        std::smatch Match;
        if (!std::regex_match(Doc[I], Match, From)) continue;
        ++Snippets;
        ASSERT_LT(I + 1, Doc.size());
        ASSERT_EQ(Doc[I + 1].rfind("```", 0), 0u) << "a code block follows line " << I + 1;
        std::vector<std::string> Block;
        std::size_t J = I + 2;
        for (; J < Doc.size() && Doc[J] != "```"; ++J) Block.push_back(Doc[J]);
        ASSERT_LT(J, Doc.size()) << "the code block after line " << I + 1 << " ends";
        EXPECT_EQ(Joined(Block), RegionOf(Match[1], Match[3])) << "docs/getting-started.md line " << I + 1;
    }
    // Every step of the guide that shows code: CMake, the schema, the start, the form file,
    // its class and class info, creating and opening it, the form in code, writing and reading.
    EXPECT_EQ(Snippets, 11);
}

}  // namespace
