#include "settings/IniStore.h"

#include "filelist/CommandLine.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "stamp/WinTypes.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#endif

namespace {

std::function<bool(const WideString&)>& ReplaceHook() {
    static std::function<bool(const WideString&)> hook;
    return hook;
}

// How long a read or a write waits, in short pauses, for a file that another program holds open
// for a moment (a reader that does not share delete, a virus scanner, a second instance of the
// program) before it gives up.
constexpr std::chrono::milliseconds kBusyPatience{2000};
constexpr std::chrono::milliseconds kBusyPause{20};

enum class FileStatus {
    kDone,
    kMissing,  // reads only: no such file (or folder)
    kBusy,     // held by another program for now: worth another try
    kFailed,
};

// The file calls, by wide name: on Windows the W functions with the long form of a long path;
// natively the UTF-8 spelling of the name.
#ifdef _WIN32
void Pause() { Sleep(static_cast<DWORD>(kBusyPause.count())); }

// Another handle stands in the way: one without the sharing we need, or a locked range.
bool IsSharingError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Shares everything, so that a reader or writer that shares read never stops us, and we stop
// nobody's replacement of the file while we read it.
FileStatus ReadWholeFile(const WideString& file, std::string& text) {
    text.clear();
    HANDLE handle = CreateFileW(LongPathForm(file).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return FileStatus::kMissing;
        }
        return IsSharingError(error) ? FileStatus::kBusy : FileStatus::kFailed;
    }
    FileStatus status = FileStatus::kDone;
    char buffer[4096];
    DWORD count = 0;
    for (;;) {
        if (!ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) {
            status = IsSharingError(GetLastError()) ? FileStatus::kBusy : FileStatus::kFailed;
            break;
        }
        if (count == 0) break;
        text.append(buffer, count);
    }
    CloseHandle(handle);
    return status;
}

// A new file (never one that exists: that may be another writer's), written and flushed to the
// disk before it is closed, each step checked: a full disk shows up at any of them. A file made
// here and not completed is removed again.
bool WriteNewFileDurably(const WideString& file, const std::string& text) {
    const WideString name = LongPathForm(file);
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
        DWORD count = 0;
        written = WriteFile(handle, text.data() + done, chunk, &count, nullptr) && count > 0;
        done += count;
    }
    written = FlushFileBuffers(handle) && written;
    written = CloseHandle(handle) && written;
    if (!written) DeleteFileW(name.c_str());
    return written;
}

FileStatus RemoveFile(const WideString& file) {
    if (DeleteFileW(LongPathForm(file).c_str())) return FileStatus::kDone;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return FileStatus::kDone;
    return IsSharingError(error) ? FileStatus::kBusy : FileStatus::kFailed;
}

// Written through to the disk. Access denied counts as busy too (an open target that cannot be
// replaced, a file whose deletion is pending) unless the target is read-only or a folder, which
// no wait changes.
FileStatus RenameOver(const WideString& from, const WideString& to) {
    const WideString target = LongPathForm(to);
    if (MoveFileExW(LongPathForm(from).c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FileStatus::kDone;
    }
    const DWORD error = GetLastError();
    if (IsSharingError(error)) return FileStatus::kBusy;
    if (error != ERROR_ACCESS_DENIED) return FileStatus::kFailed;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool lasting = attributes != INVALID_FILE_ATTRIBUTES &&
                         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
    return lasting ? FileStatus::kFailed : FileStatus::kBusy;
}

// MOVEFILE_WRITE_THROUGH has made the new name durable already.
void SyncFolderOf(const WideString&) {}
#else
std::string Utf8(const WideString& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void Pause() { std::this_thread::sleep_for(kBusyPause); }

// Nothing here holds a file against a reader or a rename: no call is ever busy.
FileStatus ReadWholeFile(const WideString& file, std::string& text) {
    text.clear();
    errno = 0;
    std::FILE* stream = std::fopen(Utf8(file).c_str(), "rb");
    if (stream == nullptr) return errno == ENOENT ? FileStatus::kMissing : FileStatus::kFailed;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, count);
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    return failed ? FileStatus::kFailed : FileStatus::kDone;
}

bool WriteNewFileDurably(const WideString& file, const std::string& text) {
    const std::string name = Utf8(file);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t count = ::write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        written = count > 0;
        if (written) done += static_cast<std::size_t>(count);
    }
    written = ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;
    if (!written) ::unlink(name.c_str());
    return written;
}

FileStatus RemoveFile(const WideString& file) {
    return ::unlink(Utf8(file).c_str()) == 0 || errno == ENOENT ? FileStatus::kDone
                                                                : FileStatus::kFailed;
}

FileStatus RenameOver(const WideString& from, const WideString& to) {
    return ::rename(Utf8(from).c_str(), Utf8(to).c_str()) == 0 ? FileStatus::kDone
                                                               : FileStatus::kFailed;
}

// The folder's entry for the new name reaches the disk as well; at worst the old file stays.
void SyncFolderOf(const WideString& file) {
    const std::string name = Utf8(file);
    const std::size_t slash = name.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
#endif

// Runs `call` again after short pauses while it reports the file busy, until the deadline.
class Patience {
  public:
    Patience() : deadline_(std::chrono::steady_clock::now() + kBusyPatience) {}

    template <typename Call>
    FileStatus Retry(Call call) const {
        FileStatus status = call();
        while (status == FileStatus::kBusy && std::chrono::steady_clock::now() < deadline_) {
            Pause();
            status = call();
        }
        return status;
    }

  private:
    std::chrono::steady_clock::time_point deadline_;
};

// Windows' profile functions read a file that starts with one of these as Unicode text, which our
// code page text would corrupt.
bool HasByteOrderMark(const std::string& text) {
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        if (text.compare(0, std::char_traits<char>::length(mark), mark) == 0) return true;
    }
    return false;
}

// The settings file's text, waiting a moment for a file that another program holds. A file with
// a byte order mark counts as one that cannot be read.
FileStatus ReadSettingsText(const WideString& file, std::string& text, const Patience& patience) {
    const FileStatus status = patience.Retry([&] { return ReadWholeFile(file, text); });
    if (status == FileStatus::kDone && HasByteOrderMark(text)) return FileStatus::kFailed;
    return status;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Only ASCII letters fold; every other byte, and every byte from 0x80 up, stays as it is.
char FoldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A span [begin, end) of the file's text.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t Size() const { return end - begin; }
};

Span Trim(const std::string& text, Span span) {
    while (span.begin < span.end && IsBlank(text[span.begin])) ++span.begin;
    while (span.end > span.begin && IsBlank(text[span.end - 1])) --span.end;
    return span;
}

bool SameName(const std::string& text, Span span, const std::string& name) {
    if (span.Size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (FoldCase(text[span.begin + i]) != FoldCase(name[i])) return false;
    }
    return true;
}

enum class LineKind {
    kSection,  // "[name]"
    kEntry,    // "key=value"
    kOther,    // blank, comment, or text without '='
};

struct Line {
    std::size_t begin = 0;  // first byte of the line
    std::size_t next = 0;   // first byte after its line end (the text's size for the last line)
    LineKind kind = LineKind::kOther;
    Span name;   // section name or key, trimmed
    Span value;  // value, trimmed; entries only
};

Line ParseLine(const std::string& text, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.next = next;
    const Span content = Trim(text, {begin, end});
    if (content.Size() == 0 || text[content.begin] == ';') return line;
    if (text[content.begin] == '[') {
        // The last ']', so that a ']' as the second byte of a double-byte character in the
        // name does not end it.
        std::size_t close = content.end - 1;
        while (close > content.begin && text[close] != ']') --close;
        if (close > content.begin) {
            line.kind = LineKind::kSection;
            line.name = Trim(text, {content.begin + 1, close});
            return line;
        }
    }
    // No second byte of code page 932 is '=', so the first '=' always ends the key.
    std::size_t equals = content.begin;
    while (equals < content.end && text[equals] != '=') ++equals;
    if (equals == content.end) return line;
    line.kind = LineKind::kEntry;
    line.name = Trim(text, {content.begin, equals});
    line.value = Trim(text, {equals + 1, content.end});
    return line;
}

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string::npos ? text.size() : newline;
        const std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(ParseLine(text, begin, end, next));
        begin = next;
    }
    return lines;
}

// Where a key stands in the file, or where it would go.
struct Lookup {
    bool sectionFound = false;
    bool keyFound = false;
    std::size_t keyLine = 0;        // when keyFound
    std::size_t lastInSection = 0;  // the section line or its last entry, when sectionFound
};

Lookup Find(const std::string& text, const std::vector<Line>& lines, const std::string& section,
            const std::string& key) {
    Lookup found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (!found.sectionFound) {
            if (line.kind == LineKind::kSection && SameName(text, line.name, section)) {
                found.sectionFound = true;
                found.lastInSection = i;
            }
            continue;
        }
        if (line.kind == LineKind::kSection) break;
        if (line.kind != LineKind::kEntry) continue;
        if (SameName(text, line.name, key)) {
            found.keyFound = true;
            found.keyLine = i;
            break;
        }
        found.lastInSection = i;
    }
    return found;
}

// What must follow `text` so that the next line starts on a line of its own.
const char* LineBreakAfter(const std::string& text) {
    if (text.empty() || text.back() == '\n') return "";
    return text.back() == '\r' ? "\n" : "\r\n";
}

// The file's text with the key set: one line replaced or added, every other byte kept.
std::string WithEntry(const std::string& text, const std::string& section, const std::string& key,
                      const std::string& value) {
    const std::vector<Line> lines = SplitLines(text);
    const Lookup found = Find(text, lines, section, key);
    const std::string entry = key + "=" + value + "\r\n";
    if (found.keyFound) {
        const Line& line = lines[found.keyLine];
        return text.substr(0, line.begin) + entry + text.substr(line.next);
    }
    std::string result;
    if (found.sectionFound) {
        const std::size_t after = lines[found.lastInSection].next;
        result = text.substr(0, after);
        result += LineBreakAfter(result);
        result += entry;
        result += text.substr(after);
        return result;
    }
    result = text;
    result += LineBreakAfter(result);
    result += "[" + section + "]\r\n" + entry;
    return result;
}

// In the file's folder, "~vm" + eight hex digits that differ between calls and between processes:
// a name no longer than "Velmora.ini", so that the temporary file's path is never longer than the
// file's own.
WideString TempPathFor(const WideString& file) {
    static std::uint32_t counter = 0;
    std::uint64_t mix = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        mix ^= (static_cast<std::uint64_t>(device()) << 32) | device();
    } catch (...) {
        // No random device: the clock and the counter still tell the calls apart.
    }
    mix += ++counter * 0x9E3779B97F4A7C15ull;
    const std::uint32_t unique = static_cast<std::uint32_t>(mix ^ (mix >> 32));
    const std::size_t slash = file.find_last_of(WIDE("\\/"));
    WideString path = slash == WideString::npos ? WideString() : file.substr(0, slash + 1);
    path += WIDE("~vm");
    for (int shift = 28; shift >= 0; shift -= 4)
        path += static_cast<WideChar>("0123456789abcdef"[(unique >> shift) & 0xF]);
    return path;
}

bool HasLineBreakOrZero(const std::string& text) {
    return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A section or key name that a read finds again: a line of its own, and nothing at either end
// that the parser trims away.
bool IsWritableName(const std::string& name) {
    return !name.empty() && !HasLineBreakOrZero(name) && !IsBlank(name.front()) &&
           !IsBlank(name.back());
}

// A key also must not end before its '=' nor make its line a comment or (with a ']' in the key
// or the value, now or after a later write) a section line.
bool CanWrite(const std::string& section, const std::string& key, const std::string& value) {
    return IsWritableName(section) && IsWritableName(key) && key.find('=') == std::string::npos &&
           key.front() != ';' && key.front() != '[' && !HasLineBreakOrZero(value);
}

// Removes a temporary file of ours, waiting a moment should a scanner hold it.
void RemoveTemporary(const WideString& temp) {
    const Patience patience;
    patience.Retry([&] { return RemoveFile(temp); });
}

// The longest start of `text` of at most `limit` bytes that ends between two characters of code
// page 932: a cut never keeps the lead byte of a double-byte character without its second byte.
std::size_t CutLength(const std::string& text, std::size_t limit) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t size = IsLeadByte932(static_cast<unsigned char>(text[at])) ? 2 : 1;
        if (at + size > limit) break;
        at += size;
    }
    return at;
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t capacity,
                              const WideString& file) {
    if (capacity == 0) return std::string();
    std::string result = defaultValue;
    std::string text;
    if (!file.empty() && ReadSettingsText(file, text, Patience()) == FileStatus::kDone) {
        const std::vector<Line> lines = SplitLines(text);
        const Lookup found = Find(text, lines, section, key);
        if (found.keyFound) {
            Span value = lines[found.keyLine].value;
            if (value.Size() >= 2 && text[value.begin] == '"' && text[value.end - 1] == '"') {
                ++value.begin;
                --value.end;
            }
            result = text.substr(value.begin, value.Size());
        }
    }
    if (result.size() > capacity - 1) result.resize(CutLength(result, capacity - 1));
    return result;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const WideString& file) {
    if (file.empty() || !CanWrite(section, key, value)) return false;
    // One deadline for the whole write: the read and the replacement share it.
    const Patience patience;
    std::string text;
    const FileStatus read = ReadSettingsText(file, text, patience);
    if (read != FileStatus::kDone && read != FileStatus::kMissing) return false;
    const WideString temp = TempPathFor(file);
    if (!WriteNewFileDurably(temp, WithEntry(text, section, key, value))) return false;
    const auto& hook = ReplaceHook();
    if ((hook && !hook(temp)) ||
        patience.Retry([&] { return RenameOver(temp, file); }) != FileStatus::kDone) {
        RemoveTemporary(temp);
        return false;
    }
    SyncFolderOf(file);
    return true;
}

void SetIniReplaceHookForTests(std::function<bool(const WideString& tempPath)> hook) {
    ReplaceHook() = std::move(hook);
}
