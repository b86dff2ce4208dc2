#include "settings/Settings.h"

#include <cstdlib>

namespace settings {

const char* const kSection = "Settings";
const char* const kMakeDate = "make date";
const char* const kMakeTime = "make time";
const char* const kModifyDate = "modify date";
const char* const kModifyTime = "modify time";
const char* const kMakeDateTime = "make date time";
const char* const kUpdateDateTime = "update date time";
const char* const kDefaultDay = "default day";
const char* const kDefaultTime = "default time";
const char* const kPath = "path";

WideString SettingsPath(const WideString& startupDirectory) {
    if (startupDirectory.empty()) return WideString();
    return startupDirectory + WIDE("\\Velmora.ini");
}

std::optional<std::string> PathKeyValue(const WideString& firstResult, bool several,
                                        const ExactCodePage& toCodePage) {
    WideString folder = firstResult;
    if (!several) {
        const std::size_t last = firstResult.rfind('\\');
        folder = last == WideString::npos ? WideString() : firstResult.substr(0, last);
    }
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    std::string value;
    if (!toCodePage(folder, value)) return std::nullopt;
    return value;
}

std::int32_t FlagFromText(const std::string& text) { return text == "true" ? 1 : 0; }

const char* FlagText(std::int32_t flag) { return flag != 0 ? "true" : "false"; }

long ModeFromText(const std::string& text) {
    const char first[2] = {text.empty() ? '\0' : text[0], '\0'};
    return std::atol(first);
}

std::string ModeText(long mode) { return std::to_string(mode); }

namespace {

StampTime FromStored(const SettingsReader& read, const char* key) {
    const StampFields f = ParseStampText(read(key, "0", kStampCapacity));
    return StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, -1);
}

}  // namespace

void LoadStartupValues(const SettingsReader& read, StampTime& makeDate, StampTime& modifyDate,
                       StampTime& makeTime, StampTime& modifyTime) {
    const long dayMode = ModeFromText(read(kDefaultDay, "0", kModeCapacity));
    if (dayMode == 1) {
        makeDate = FromStored(read, kMakeDateTime);
        modifyDate = FromStored(read, kUpdateDateTime);
    } else {
        makeDate = StampTime::Now();
        modifyDate = StampTime::Now();
    }
    const long timeMode = ModeFromText(read(kDefaultTime, "0", kModeCapacity));
    if (timeMode == 1) {
        makeTime = StampTime::Now();
        modifyTime = StampTime::Now();
    } else if (timeMode == 2) {
        makeTime = FromStored(read, kMakeDateTime);
        modifyTime = FromStored(read, kUpdateDateTime);
    } else {
        // Midnight as the zone's rules have it on that day (in daylight time on 1 January, too).
        makeTime = StampTime::FromFields(2000, 1, 1, 0, 0, 0, -1);
        modifyTime = StampTime::FromFields(2000, 1, 1, 0, 0, 0, -1);
    }
}

}  // namespace settings
