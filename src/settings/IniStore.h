// The settings file store: reads and writes single keys of an INI file the way Windows' own
// profile functions (GetPrivateProfileStringA, WritePrivateProfileStringA) do, so Velmora.ini
// stays readable and writable by either. Plain C++ and file I/O only, the same on Windows and
// in the native tests.
//
// The file, as we parse it:
// - ANSI text (code page 932 for our own texts). Bytes pass through unchanged; only the ASCII
//   letters A-Z and a-z are compared without regard to case, and bytes from 0x80 up (lead and
//   second bytes of double-byte characters) always compare exactly.
// - Lines end with CRLF or LF; the last line may lack its line end. Everything we write ends
//   with CRLF.
// - "[name]": a section line. The name is the text between the first '[' and the last ']' on
//   the line, with white space around it trimmed, so a second byte ']' inside a double-byte
//   name stays in the name. Anything after the last ']' is ignored.
// - "key=value": an entry of the section above it. The key is the text before the first '=',
//   the value the text after it, each with white space (space, tab, CR, VT, FF) trimmed at both
//   ends. A value with a double quote at both ends is read without those two quotes.
// - A line whose first non-blank character is ';' is a comment. Blank lines, comments, lines
//   without '=' and lines before the first section never match a key.
// - Section and key names match without regard to ASCII case; the first matching section and
//   in it the first matching key win. A second section of the same name is never looked at.
//
// A write changes one line and leaves every other byte of the file as it was: it replaces the
// matching entry line with "key=value" (the key spelled as the caller spells it), or adds that
// line after the last entry line of the section (right after the section line when it has
// none), or appends "[section]" and the entry line at the end of the file. A line that the new
// text follows and that lacks its line end gets a CRLF first.
//
// A write never leaves a half-written file: the whole new text goes to a temporary file in the
// same folder ("~vm" + eight hex digits, a name no longer than "Velmora.ini"), which is flushed,
// closed and then renamed over the file. If that fails, the temporary file is removed and the
// file keeps its old contents. Reads open only the file's own name, so a temporary file left
// behind by a crash is never taken for the settings.
//
// The file is named by its wide path (UTF-16), whatever its length or characters: the W file
// functions on Windows, with the long form (\\?\) for long paths; its UTF-8 spelling natively.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "stamp/WideText.h"

// The value of `key` in `section` of `file`, or `defaultValue` when the file, the section or
// the key is missing or the file cannot be read (an empty file name counts as missing). The
// result is cut to capacity - 1 bytes, as a buffer of `capacity` bytes with its terminating
// zero would hold it: capacity 0 or 1 gives the empty text. The cut counts bytes and can
// split a double-byte character at the end.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t capacity,
                              const WideString& file);

// Sets `key` in `section` of `file` to `value`, creating the section and the file when they
// are missing. Returns false, with the file unchanged, when it cannot: an empty file name, a
// section or key name that is empty or holds a line break or a zero byte, a key with a '=', a
// value with a line break or a zero byte, a file that exists but cannot be read, or a temporary
// file that cannot be written or renamed (a missing or read-only folder, a full disk, a read-only
// target on Windows).
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const WideString& file);

// For tests: called with the temporary file's name once it is complete and closed, just before
// it replaces the file. Returning false stops the write there, as a crash at that moment would:
// the temporary file stays behind and WriteProfileString returns false. An empty function
// removes the hook.
void SetIniReplaceHookForTests(std::function<bool(const WideString& tempPath)> hook);
