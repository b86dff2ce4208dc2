// Command-line texts, read byte by byte in code page 932: the second byte of a double-byte
// character (which can be 0x5C, the backslash) is never taken for a space, a quote or a
// backslash.
#pragma once

#include <string>

// A lead byte of a double-byte character in code page 932.
inline bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The text after the program's own name (a quoted name counts as one token, quotes included)
// and the spaces and control characters that follow it.
const char* SkipProgramName(const char* commandLine);

// A program path's file name without its extension ("C:\\x\\Velmora.exe" gives "Velmora").
std::string AppNameFromPath(const std::string& path);
