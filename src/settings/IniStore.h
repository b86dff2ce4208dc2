// The settings file store: reads and writes single keys of an INI file the way Windows' own
// profile functions (GetPrivateProfileStringA, WritePrivateProfileStringA) do, so Velmora.ini
// stays readable and writable by either. Plain C++ and file I/O only, the same on Windows and
// in the native tests.
//
// The file, as we parse it:
// - ANSI text (code page 932 for our own texts). Bytes pass through unchanged; only the ASCII
//   letters A-Z and a-z are compared without regard to case, and bytes from 0x80 up (lead and
//   second bytes of double-byte characters) always compare exactly.
// - A file that starts with a byte order mark (UTF-8 EF BB BF, UTF-16 LE FF FE, UTF-16 BE FE FF)
//   is Unicode text to Windows' profile functions, not ours to parse or to add ANSI text to: it
//   counts as a file that cannot be read (every read gives the default, every write fails and
//   leaves it as it is).
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
// A write takes only names that a read finds again, so that it never adds a line that later
// writes cannot replace: a section or key name is not empty, holds no line break or zero byte
// and has no white space at either end (the parser trims it away); a key holds no '=' (that
// would end it) and starts with neither ';' (the line would be a comment) nor '[' (with a ']' in
// the key or in a later value the line would be a section line). Everything else round-trips:
// a section name may hold or start with '[' and hold or end with ']', since the name runs to the
// last ']'; a key may hold ']', '[' and ';' after its first byte; and double-byte names whose
// second bytes are '[', '\' or ']' are kept byte for byte. A value is written as given; a read
// trims white space and a pair of enclosing quotes from it, as Windows' own functions do.
//
// A write never leaves a half-written file: the whole new text goes to a new temporary file in
// the same folder ("~vm" + eight hex digits, a name no longer than "Velmora.ini"), which is
// flushed to the disk (FlushFileBuffers; fsync natively), closed and then renamed over the file,
// the rename written through as well. A power loss leaves the old file or the new one. When the
// rename fails, the temporary file is removed and the file keeps its old contents. Reads open
// only the file's own name, so a temporary file left behind by a crash is never taken for the
// settings; a write never removes one that is not its own, as another instance may be writing
// it.
//
// Another program may hold the file for a moment: a reader or virus scanner that shares read
// but not delete lets us read it but not replace it, and one that shares nothing stops the read
// too. A read and a write wait for such a file in short pauses, up to about two seconds for the
// whole call, and then give up (a read with the default, a write with false and the old file
// intact); a read-only file or a folder in the file's place fails at once.
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
// zero would hold it: capacity 0 or 1 gives the empty text. The cut never splits a double-byte
// character of code page 932: one that would not fit whole is left out.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t capacity,
                              const WideString& file);

// Sets `key` in `section` of `file` to `value`, creating the section and the file when they
// are missing. Returns false, with the file unchanged and no temporary file left, when it
// cannot: an empty file name, a section or key name that a read would not find again (see
// above), a value with a line break or a zero byte, a file that exists but cannot be read (a
// byte order mark, held by another program for longer than the wait), or a temporary file that
// cannot be written or renamed (a missing or read-only folder, a full disk, a read-only target
// on Windows, a target held open for longer than the wait).
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const WideString& file);

// For tests: called with the temporary file's name once it is complete and closed, just before
// it replaces the file. Returning false makes the write fail there, as a failed rename would:
// the temporary file is removed, the file keeps its old contents and WriteProfileString returns
// false. An empty function removes the hook.
void SetIniReplaceHookForTests(std::function<bool(const WideString& tempPath)> hook);
