#include <gtest/gtest.h>

#include <vector>

#include "filelist/CommandLine.h"
#include "filelist/FileListRules.h"

namespace {

// Texts are UTF-16 as the wide command line gives them. U+1F600 (an emoji) is a surrogate pair;
// u'\xD800' alone is a high surrogate without its low one.

struct SplitCase {
    const char* label;
    WideString line;
    std::vector<WideString> names;
    WideString folder;
};

TEST(CommandLine, SplitsNamesAndFindsFolderOfLastName) {
    const SplitCase cases[] = {
        {"empty line", u"", {}, u""},
        {"one space between names", u"a.txt b.txt", {u"a.txt", u"b.txt"}, u""},
        {"several spaces between names", u"a.txt   b.txt", {u"a.txt", u"b.txt"}, u""},
        {"trailing space",
         uR"(C:\Work\a.txt C:\Temp\b.txt )",
         {uR"(C:\Work\a.txt)", uR"(C:\Temp\b.txt)"},
         uR"(C:\Temp)"},
        {"quoted full paths",
         uR"("C:\My Work\a.txt" "C:\Other Dir\b.txt")",
         {uR"(C:\My Work\a.txt)", uR"(C:\Other Dir\b.txt)"},
         uR"(C:\Other Dir)"},
        {"single full path", uR"(C:\Work\a.txt)", {uR"(C:\Work\a.txt)"}, uR"(C:\Work)"},
        {"mixed quoting as from Explorer",
         uR"("C:\My Photos\a.jpg" C:\b.jpg "C:\c d.jpg")",
         {uR"(C:\My Photos\a.jpg)", uR"(C:\b.jpg)", uR"(C:\c d.jpg)"},
         u"C:"},
        {"tabs separate names", u"a.txt\tb.txt \t c.txt\t", {u"a.txt", u"b.txt", u"c.txt"}, u""},
        {"lone opening quote", uR"("C:\a b.txt)", {uR"(C:\a b.txt)"}, u"C:"},
        {"quotes inside a name", uR"(C:\x"y z"\a.txt)", {uR"(C:\xy z\a.txt)"}, uR"(C:\xy z)"},
        {"empty quotes add nothing", uR"("" a.txt "")", {u"a.txt"}, u""},
        {"backslash before a quote is no escape",
         uR"("C:\dir\" b.txt)",
         {uR"(C:\dir\)", u"b.txt"},
         u""},
        {"only the last name gives the folder",
         uR"(C:\Work\a.txt b.txt)",
         {uR"(C:\Work\a.txt)", u"b.txt"},
         u""},
        {"backslash as first character", uR"(\a.txt)", {uR"(\a.txt)"}, u""},
        {"Japanese folder", uR"("C:\表\a b.txt")", {uR"(C:\表\a b.txt)"}, uR"(C:\表)"},
        {"name ending in a Japanese character", uR"(C:\dir\表)", {uR"(C:\dir\表)"}, uR"(C:\dir)"},
        {"names without an ANSI spelling",
         uR"(C:\한글\한글.txt "D:\Café Photos\café.jpg")",
         {uR"(C:\한글\한글.txt)", uR"(D:\Café Photos\café.jpg)"},
         uR"(D:\Café Photos)"},
        {"character outside the BMP",
         u"\U0001F600.txt C:\\\U0001F600\\b.txt",
         {u"\U0001F600.txt", u"C:\\\U0001F600\\b.txt"},
         u"C:\\\U0001F600"},
        {"quoted name holding a character outside the BMP",
         u"\"C:\\My \U0001F600 Dir\\a b.txt\" x.txt \"C:\\\U0001F600 \U0001F600.txt\"",
         {u"C:\\My \U0001F600 Dir\\a b.txt", u"x.txt", u"C:\\\U0001F600 \U0001F600.txt"},
         u"C:"},
        {"name ending in a lone high surrogate",
         u"a.txt C:\\b\\c\xD800",
         {u"a.txt", u"C:\\b\\c\xD800"},
         uR"(C:\b)"},
        {"quoted name ending in a lone high surrogate",
         u"\"C:\\a b\xD800",
         {u"C:\\a b\xD800"},
         u"C:"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<WideString> names = SplitCommandLine(c.line);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(FolderOfLastName(names), c.folder);
    }
}

TEST(CommandLine, SkipsProgramNameAndTheSpaceAfterIt) {
    const struct {
        const char* label;
        const char16_t* line;
        const char16_t* rest;
    } cases[] = {
        {"quoted name with spaces", uR"("C:\Program Files\Velmora\Velmora.exe" a.txt)", u"a.txt"},
        {"unquoted name", uR"(C:\Velmora\Velmora.exe a.txt b.txt)", u"a.txt b.txt"},
        {"spaces and tabs after the name", u"Velmora.exe  \t \t a.txt ", u"a.txt "},
        {"quoted name without an ANSI spelling", u"\"C:\\한글 \U0001F600\\Velmora.exe\" 表.txt",
         u"表.txt"},
        {"unquoted name without an ANSI spelling", uR"(C:\café\Velmora.exe 한글.txt)", u"한글.txt"},
        {"unquoted name ending in a lone high surrogate", u"C:\\V\xD800 a.txt", u"a.txt"},
        {"text right after the closing quote", uR"("C:\V.exe""b c")", uR"("b c")"},
        {"name alone", u"Velmora.exe", u""},
        {"quoted name without its closing quote", uR"("C:\My Velmora.exe a.txt)", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(WideString(SkipProgramName(c.line)), c.rest);
    }
}

TEST(FileListRemoval, KeepsUnselectedRowsInOrder) {
    const struct {
        const char* label;
        int rowCount;
        std::vector<int> selected;
        std::vector<int> remaining;
    } cases[] = {
        {"rows 1, 3 and 4 of five", 5, {1, 3, 4}, {0, 2}},
        {"none selected", 5, {}, {0, 1, 2, 3, 4}},
        {"all selected", 3, {0, 1, 2}, {}},
        {"unsorted with repeats", 6, {4, 0, 4, 2}, {1, 3, 5}},
        {"indices outside the rows", 3, {-1, 3, 1}, {0, 2}},
        {"empty list", 0, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RowsAfterRemoval(c.rowCount, c.selected), c.remaining);

        // Deleting one row at a time in the given order, as the list view does, leaves the same
        // rows.
        std::vector<int> rows;
        for (int row = 0; row < c.rowCount; ++row) rows.push_back(row);
        for (int row : RowsToDeleteBottomUp(c.rowCount, c.selected)) {
            ASSERT_GE(row, 0);
            ASSERT_LT(row, static_cast<int>(rows.size()));
            rows.erase(rows.begin() + row);
        }
        EXPECT_EQ(rows, c.remaining);
    }
}

}  // namespace
