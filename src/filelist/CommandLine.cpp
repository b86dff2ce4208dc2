#include "filelist/CommandLine.h"

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

WideString AppNameFromPath(const WideString& path) {
    const std::size_t separator = path.find_last_of(WIDE("\\/:"));
    const std::size_t nameStart = separator == WideString::npos ? 0 : separator + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t end = dot == WideString::npos || dot < nameStart ? path.size() : dot;
    return path.substr(nameStart, end - nameStart);
}
