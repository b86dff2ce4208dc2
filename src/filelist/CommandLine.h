// Command-line texts and the program file's name, in UTF-16, where a space, a quote or a
// backslash is always itself and no unit of another character can be one of them.
#pragma once

#include <string>

#include "stamp/WideText.h"

// A lead byte of a double-byte character in code page 932 (for texts of the settings file).
inline bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text after the program's own name (a quoted name counts as one token, quotes included)
// and the spaces and control characters that follow it.
const WideChar* SkipProgramName(const WideChar* commandLine);

// A program path's file name without its extension ("C:\\x\\Velmora.exe" gives "Velmora").
WideString AppNameFromPath(const WideString& path);
