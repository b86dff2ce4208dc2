#include "filelist/FileListRules.h"

#include <cstddef>

#include "filelist/CommandLine.h"

namespace {

// The length in bytes of the character at `at`: 2 for a lead byte that has a byte after it.
std::size_t CharLength(const std::string& text, std::size_t at) {
    const bool lead = IsLeadByte932(static_cast<unsigned char>(text[at]));
    return lead && at + 1 < text.size() ? 2 : 1;
}

// A mark for each row: true for a selected one. Indices outside the rows are ignored.
std::vector<bool> SelectedMarks(int rowCount, const std::vector<int>& selectedRows) {
    std::vector<bool> marks(rowCount > 0 ? static_cast<std::size_t>(rowCount) : 0, false);
    for (int row : selectedRows) {
        if (row >= 0 && row < rowCount) marks[static_cast<std::size_t>(row)] = true;
    }
    return marks;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> names;
    std::string name;
    bool quoted = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharLength(text, at);
        const char c = text[at];
        if (length == 1 && c == '"') {
            quoted = !quoted;
        } else if (length == 1 && !quoted && (c == ' ' || c == '\t')) {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name.append(text, at, length);
        }
        at += length;
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

std::string FolderOfLastName(const std::vector<std::string>& names) {
    if (names.empty()) return std::string();
    const std::string& name = names.back();
    std::size_t lastBackslash = std::string::npos;
    for (std::size_t at = 0; at < name.size(); at += CharLength(name, at)) {
        if (name[at] == '\\') lastBackslash = at;
    }
    if (lastBackslash == std::string::npos || lastBackslash == 0) return std::string();
    return name.substr(0, lastBackslash);
}

std::vector<int> RowsAfterRemoval(int rowCount, const std::vector<int>& selectedRows) {
    const std::vector<bool> marks = SelectedMarks(rowCount, selectedRows);
    std::vector<int> rows;
    for (int row = 0; row < rowCount; ++row) {
        if (!marks[static_cast<std::size_t>(row)]) rows.push_back(row);
    }
    return rows;
}

std::vector<int> RowsToDeleteBottomUp(int rowCount, const std::vector<int>& selectedRows) {
    const std::vector<bool> marks = SelectedMarks(rowCount, selectedRows);
    std::vector<int> rows;
    for (int row = rowCount - 1; row >= 0; --row) {
        if (marks[static_cast<std::size_t>(row)]) rows.push_back(row);
    }
    return rows;
}
