#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filelist/CommandLine.h"
#include "filelist/FileListRules.h"

namespace {

// Texts are code page 932 bytes. "\x95\x5C" is 表, whose second byte is the backslash's byte;
// "\x95" alone is a lead byte without its second byte.

struct SplitCase {
    const char* label;
    std::string line;
    std::vector<std::string> names;
    std::string folder;
};

TEST(CommandLine, SplitsNamesAndFindsFolderOfLastName) {
    const SplitCase cases[] = {
        {"empty line", "", {}, ""},
        {"one space between names", "a.txt b.txt", {"a.txt", "b.txt"}, ""},
        {"several spaces between names", "a.txt   b.txt", {"a.txt", "b.txt"}, ""},
        {"trailing space",
         R"(C:\Work\a.txt C:\Temp\b.txt )",
         {R"(C:\Work\a.txt)", R"(C:\Temp\b.txt)"},
         R"(C:\Temp)"},
        {"quoted full paths",
         R"("C:\My Work\a.txt" "C:\Other Dir\b.txt")",
         {R"(C:\My Work\a.txt)", R"(C:\Other Dir\b.txt)"},
         R"(C:\Other Dir)"},
        {"single full path", R"(C:\Work\a.txt)", {R"(C:\Work\a.txt)"}, R"(C:\Work)"},
        {"mixed quoting as from Explorer",
         R"("C:\My Photos\a.jpg" C:\b.jpg "C:\c d.jpg")",
         {R"(C:\My Photos\a.jpg)", R"(C:\b.jpg)", R"(C:\c d.jpg)"},
         "C:"},
        {"tabs separate names", "a.txt\tb.txt \t c.txt\t", {"a.txt", "b.txt", "c.txt"}, ""},
        {"lone opening quote", R"("C:\a b.txt)", {R"(C:\a b.txt)"}, "C:"},
        {"quotes inside a name", R"(C:\x"y z"\a.txt)", {R"(C:\xy z\a.txt)"}, R"(C:\xy z)"},
        {"empty quotes add nothing", R"("" a.txt "")", {"a.txt"}, ""},
        {"backslash before a quote is no escape",
         R"("C:\dir\" b.txt)",
         {R"(C:\dir\)", "b.txt"},
         ""},
        {"only the last name gives the folder",
         R"(C:\Work\a.txt b.txt)",
         {R"(C:\Work\a.txt)", "b.txt"},
         ""},
        {"backslash as first character", R"(\a.txt)", {R"(\a.txt)"}, ""},
        {"double-byte folder",
         "\"C:\\\x95\x5C\\a b.txt\"",
         {"C:\\\x95\x5C\\a b.txt"},
         "C:\\\x95\x5C"},
        {"name ending in a double-byte character",
         "C:\\dir\\\x95\x5C",
         {"C:\\dir\\\x95\x5C"},
         R"(C:\dir)"},
        {"name ending in a lead byte", "a.txt C:\\b\x95", {"a.txt", "C:\\b\x95"}, "C:"},
        {"quoted name ending in a lead byte", "\"C:\\a b\x95", {"C:\\a b\x95"}, "C:"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.label);
        const std::vector<std::string> names = SplitCommandLine(c.line);
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(FolderOfLastName(names), c.folder);
    }
}

TEST(CommandLine, SkipsProgramNameAndTheSpaceAfterIt) {
    const struct {
        const char* label;
        const char* line;
        const char* rest;
    } cases[] = {
        {"quoted name with spaces", R"("C:\Program Files\Velmora\Velmora.exe" a.txt)", "a.txt"},
        {"unquoted name", R"(C:\Velmora\Velmora.exe a.txt b.txt)", "a.txt b.txt"},
        {"spaces and tabs after the name", "Velmora.exe  \t \t a.txt ", "a.txt "},
        {"quoted name holding a double-byte character", "\"C:\\\x95\x5C\\Velmora.exe\" a.txt",
         "a.txt"},
        {"text right after the closing quote", R"("C:\V.exe""b c")", R"("b c")"},
        {"name alone", "Velmora.exe", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(std::string(SkipProgramName(c.line)), c.rest);
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
