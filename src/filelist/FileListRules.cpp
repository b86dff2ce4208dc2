#include "filelist/FileListRules.h"

#include <cstddef>

namespace {

// A mark for each row: true for a selected one. Indices outside the rows are ignored.
std::vector<bool> SelectedMarks(int rowCount, const std::vector<int>& selectedRows) {
    std::vector<bool> marks(rowCount > 0 ? static_cast<std::size_t>(rowCount) : 0, false);
    for (int row : selectedRows) {
        if (row >= 0 && row < rowCount) marks[static_cast<std::size_t>(row)] = true;
    }
    return marks;
}

}  // namespace

std::vector<WideString> SplitCommandLine(const WideString& text) {
    std::vector<WideString> names;
    WideString name;
    bool quoted = false;
    for (const WideChar c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (!name.empty()) names.push_back(name);
    return names;
}

WideString FolderOfLastName(const std::vector<WideString>& names) {
    if (names.empty()) return WideString();
    const WideString& name = names.back();
    const std::size_t lastBackslash = name.rfind('\\');
    if (lastBackslash == WideString::npos || lastBackslash == 0) return WideString();
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
