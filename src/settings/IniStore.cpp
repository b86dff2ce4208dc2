#include "settings/IniStore.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include "stamp/WinTypes.h"

namespace {

std::function<bool(const WideString&)>& ReplaceHook() {
    static std::function<bool(const WideString&)> hook;
    return hook;
}

// The file calls, by wide name: on Windows the W functions with the long form of a long path;
// natively the UTF-8 spelling of the name.
#ifdef _WIN32
std::FILE* OpenFile(const WideString& file, const wchar_t* mode) {
    return _wfopen(LongPathForm(file).c_str(), mode);
}
void RemoveFile(const WideString& file) { DeleteFileW(LongPathForm(file).c_str()); }
bool RenameOver(const WideString& from, const WideString& to) {
    return MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#define FILE_MODE(mode) L"" mode
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
std::FILE* OpenFile(const WideString& file, const char* mode) {
    return std::fopen(Utf8(file).c_str(), mode);
}
void RemoveFile(const WideString& file) { std::remove(Utf8(file).c_str()); }
bool RenameOver(const WideString& from, const WideString& to) {
    return std::rename(Utf8(from).c_str(), Utf8(to).c_str()) == 0;
}
#define FILE_MODE(mode) mode
#endif

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

enum class ReadStatus { kRead, kMissing, kFailed };

ReadStatus ReadWholeFile(const WideString& file, std::string& text) {
    errno = 0;
    std::FILE* stream = OpenFile(file, FILE_MODE("rb"));
    if (stream == nullptr) return errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, count);
    const bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    return failed ? ReadStatus::kFailed : ReadStatus::kRead;
}

// Written, flushed and closed, each step checked: a full disk shows up at any of them.
bool WriteWholeFile(const WideString& file, const std::string& text) {
    std::FILE* stream = OpenFile(file, FILE_MODE("wb"));
    if (stream == nullptr) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    written = std::fflush(stream) == 0 && written;
    written = std::fclose(stream) == 0 && written;
    return written;
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

bool CanWrite(const std::string& section, const std::string& key, const std::string& value) {
    return !section.empty() && !key.empty() && !HasLineBreakOrZero(section) &&
           !HasLineBreakOrZero(key) && key.find('=') == std::string::npos &&
           !HasLineBreakOrZero(value);
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultValue, std::size_t capacity,
                              const WideString& file) {
    if (capacity == 0) return std::string();
    std::string result = defaultValue;
    std::string text;
    if (!file.empty() && ReadWholeFile(file, text) == ReadStatus::kRead) {
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
    if (result.size() > capacity - 1) result.resize(capacity - 1);
    return result;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const WideString& file) {
    if (file.empty() || !CanWrite(section, key, value)) return false;
    std::string text;
    if (ReadWholeFile(file, text) == ReadStatus::kFailed) return false;
    const WideString temp = TempPathFor(file);
    if (!WriteWholeFile(temp, WithEntry(text, section, key, value))) {
        RemoveFile(temp);
        return false;
    }
    const auto& hook = ReplaceHook();
    if (hook && !hook(temp)) return false;
    if (!RenameOver(temp, file)) {
        RemoveFile(temp);
        return false;
    }
    return true;
}

void SetIniReplaceHookForTests(std::function<bool(const WideString& tempPath)> hook) {
    ReplaceHook() = std::move(hook);
}
