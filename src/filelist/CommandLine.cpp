#include "filelist/CommandLine.h"

namespace {
// Steps over one character: two bytes for a double-byte one (never past the terminator).
const char* Next(const char* p) {
    if (IsLeadByte932(static_cast<unsigned char>(*p)) && p[1] != '\0') return p + 2;
    return p + 1;
}
}  // namespace

const WideChar* SkipProgramName(const WideChar* commandLine) {
    const WideChar* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p != 0 && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p > ' ') ++p;
    }
    while (*p != 0 && *p <= ' ') ++p;
    return p;
}

std::string AppNameFromPath(const std::string& path) {
    std::size_t nameStart = 0;
    std::size_t dot = std::string::npos;
    for (const char* p = path.c_str(); *p != '\0'; p = Next(p)) {
        const std::size_t at = static_cast<std::size_t>(p - path.c_str());
        if (*p == '\\' || *p == '/' || *p == ':') {
            nameStart = at + 1;
            dot = std::string::npos;
        } else if (*p == '.') {
            dot = at;
        }
    }
    const std::size_t end = dot == std::string::npos ? path.size() : dot;
    return path.substr(nameStart, end - nameStart);
}
