#include "stamp/WideText.h"

namespace {
const WideChar kPrefix[] = WIDE("\\\\?\\");
const WideChar kUncPrefix[] = WIDE("\\\\?\\UNC\\");

bool StartsWith(const WideString& text, const WideChar* start) {
    return text.compare(0, std::char_traits<WideChar>::length(start), start) == 0;
}

bool IsDriveLetter(WideChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

WideString LongPathForm(const WideString& fullPath) {
    if (fullPath.size() < kLongPathFrom || StartsWith(fullPath, kPrefix) ||
        StartsWith(fullPath, WIDE("\\\\.\\"))) {
        return fullPath;
    }
    if (fullPath.size() >= 3 && IsDriveLetter(fullPath[0]) && fullPath[1] == ':' &&
        fullPath[2] == '\\') {
        return kPrefix + fullPath;
    }
    if (StartsWith(fullPath, WIDE("\\\\"))) return kUncPrefix + fullPath.substr(2);
    return fullPath;
}

WideString WithoutLongPrefix(const WideString& path) {
    if (StartsWith(path, kUncPrefix)) return WIDE("\\\\") + path.substr(8);
    if (StartsWith(path, kPrefix)) return path.substr(4);
    return path;
}

WideString WidenAscii(const std::string& text) { return WideString(text.begin(), text.end()); }
