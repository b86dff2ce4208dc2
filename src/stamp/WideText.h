// File paths, and the texts that hold them, as the file system names them: UTF-16 from where a
// path enters the program to where it is used, never through the ANSI code page (whose "best
// fit" spelling of a character it lacks can name another existing file). On Windows the units
// are wchar_t, as the W functions take them; the native build uses char16_t, the same UTF-16.
#pragma once

#include <string>

#ifdef _WIN32
using WideChar = wchar_t;
#define WIDE(text) L"" text
#else
using WideChar = char16_t;
#define WIDE(text) u"" text
#endif
using WideString = std::basic_string<WideChar>;

// Paths of this many characters or more need the long form (\\?\C:\... or \\?\UNC\server\...)
// for the system's file calls.
constexpr std::size_t kLongPathFrom = 260;

// The form of a full path that the file calls take whatever its length: the path itself when it
// is shorter than kLongPathFrom or has a \\?\ prefix already (or is not a full drive or UNC
// path), else \\?\ before a drive path and \\?\UNC\ instead of the two backslashes of a network
// path.
WideString LongPathForm(const WideString& fullPath);

// The text as a user reads it: a path without its \\?\ or \\?\UNC\ prefix.
WideString WithoutLongPrefix(const WideString& path);

// ASCII text (stamp texts, numbers) as UTF-16.
WideString WidenAscii(const std::string& text);
