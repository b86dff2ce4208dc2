// What the unit tests know of the time zones ctest runs them under (TZ).
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>

struct ZoneInfo {
    const char* tz;
    int standardHours;      // offset of standard time from UTC
    int summerMonth;        // a month inside daylight saving time, 0 for none
    const char* epochText;  // the zero value as a stamp text
    const char* maxText;    // 3001-01-01 07:59:59 UTC as a stamp text
};

inline const ZoneInfo* CurrentZone() {
    static const ZoneInfo kZones[] = {
        {"UTC0", 0, 0, "1970/01/01 00:00.00", "3001/01/01 07:59.59"},
        {"JST-9", 9, 0, "1970/01/01 09:00.00", "3001/01/01 16:59.59"},
        {"EST5EDT", -5, 7, "1969/12/31 19:00.00", "3001/01/01 02:59.59"},
        {"America/New_York", -5, 7, "1969/12/31 19:00.00", "3001/01/01 02:59.59"},
        {"Australia/Sydney", 10, 1, "1970/01/01 10:00.00", "3001/01/01 18:59.59"},
    };
    const char* tz = std::getenv("TZ");
    if (tz == nullptr) return nullptr;
    for (const ZoneInfo& zone : kZones) {
        if (std::strcmp(zone.tz, tz) == 0) return &zone;
    }
    return nullptr;
}

#define REQUIRE_KNOWN_ZONE(zone)          \
    const ZoneInfo* zone = CurrentZone(); \
    if (zone == nullptr) GTEST_SKIP() << "TZ is not one of the test zones"
