// Rules of the file list that need no window: how the command line is cut into file names, which
// folder becomes current after them, and which rows stay when the selected rows are removed.
//
// Names are UTF-16 as the file system spells them (a character outside the BMP is two units,
// neither of which can be a space, a tab, a double quote or a backslash).
#pragma once

#include <string>
#include <vector>

#include "stamp/WideText.h"

// The file names of a command-line text (the text after the program's name), in order, the way
// Windows programs split their arguments, so that a line mixing quoted and unquoted names works:
// - outside double quotes, spaces and tabs separate names;
// - a double quote switches quoting on or off and is not part of the name, so a quoted name may
//   hold spaces, and an opening quote without its closing one quotes up to the end of the text;
// - a backslash is an ordinary character (there are no escapes);
// - empty names ("" or the gaps between separators) are dropped.
std::vector<WideString> SplitCommandLine(const WideString& text);

// The folder that becomes current after the command-line names were added: the text of the last
// name before its last backslash ("C:\\Work\\a.txt" gives "C:\\Work", "C:\\a.txt" gives "C:").
// Empty when there is no name, the last name has no backslash, or its last backslash is its
// first character; the caller then leaves the current directory alone.
WideString FolderOfLastName(const std::vector<WideString>& names);

// Removing the selected rows of the list. Rows are numbered 0 to rowCount - 1; selectedRows may
// come in any order and may repeat an index; indices outside the rows are ignored. Both
// functions take time linear in rowCount plus the number of selected indices.

// The rows that stay, in their order: every row that is not selected (with rows 0 to 4 and rows
// 1, 3 and 4 selected, rows 0 and 2 stay). These become rows 0, 1, ... after the removal.
std::vector<int> RowsAfterRemoval(int rowCount, const std::vector<int>& selectedRows);

// The selected rows, each once, from the bottom of the list up. Deleting the rows one by one in
// this order (LVM_DELETEITEM) gives the list RowsAfterRemoval describes without any index
// arithmetic: a deletion only moves the rows below it, and those are already gone. Deleting from
// the bottom also moves the fewest rows.
std::vector<int> RowsToDeleteBottomUp(int rowCount, const std::vector<int>& selectedRows);
