#include "StampTime.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// Seconds from 1601-01-01 (the FILETIME epoch) to 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11644473600;
constexpr std::uint64_t kFileTimeUnitsPerSecond = 10000000;

// Local fields of a count, or false for a count outside the value range. The bound is ours:
// glibc's localtime goes far beyond it, the Windows C runtime stops near it.
bool BreakDown(std::int64_t seconds, std::tm& fields) {
    if (seconds < StampTime::kMinSeconds || seconds > StampTime::kMaxSeconds) return false;
    std::time_t t = static_cast<std::time_t>(seconds);
#ifdef _WIN32
    return localtime_s(&fields, &t) == 0;
#else
    return localtime_r(&t, &fields) != nullptr;
#endif
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = FloorDiv(y, 400);
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

std::int64_t YearFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = FloorDiv(days, 146097);
    const std::int64_t doe = days - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return yoe + era * 400 + (month <= 2);
}

// The zone's offset from UTC in force now, in seconds (local minus UTC).
std::int64_t OffsetNow() {
    const std::int64_t now = StampTime::Now().Seconds();
    std::tm local{};
    if (!BreakDown(now, local)) return 0;
    const std::int64_t localSeconds =
        DaysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            kSecondsPerDay +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    return localSeconds - now;
}

}  // namespace

const char* StampTimeError::what() const noexcept {
    return code_ == kFail ? "StampTimeError E_FAIL" : "StampTimeError E_INVALIDARG";
}

StampTime StampTime::FromFields(int year, int month, int day, int hour, int minute, int second,
                                int daylight) {
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || second < 0 || second > 59) {
        throw StampTimeError(StampTimeError::kFail);
    }
    std::tm fields{};
    fields.tm_sec = second;
    fields.tm_min = minute;
    fields.tm_hour = hour;
    fields.tm_mday = day;
    fields.tm_mon = month - 1;
    fields.tm_year = year - 1900;
    fields.tm_isdst = daylight;
    const std::time_t made = std::mktime(&fields);
    const std::int64_t seconds = static_cast<std::int64_t>(made);
    if (made == static_cast<std::time_t>(-1) || seconds < kMinSeconds || seconds > kMaxSeconds) {
        throw StampTimeError(StampTimeError::kInvalidArg);
    }
    return StampTime(seconds);
}

StampTime StampTime::FromSystemTime(const SYSTEMTIME& record, int daylight) {
    if (record.wYear < 1900) return StampTime();
    return FromFields(record.wYear, record.wMonth, record.wDay, record.wHour, record.wMinute,
                      record.wSecond, daylight);
}

StampTime StampTime::FromFileTime(const FILETIME& fileTime, int /*daylight*/) {
    const std::uint64_t units =
        (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    const std::int64_t seconds =
        static_cast<std::int64_t>(units / kFileTimeUnitsPerSecond) - kFileTimeEpochOffset;
    if (seconds >= kMinSeconds && seconds <= kMaxSeconds) return StampTime(seconds);
    // Outside the range the local date is judged with today's offset: a local year before 1900
    // counts as the zero value (a file time of 0 is "no time"), any other is refused.
    const std::int64_t local = seconds + OffsetNow();
    if (YearFromDays(FloorDiv(local, kSecondsPerDay)) < 1900) return StampTime();
    throw StampTimeError(StampTimeError::kInvalidArg);
}

StampTime StampTime::Now() { return StampTime(static_cast<std::int64_t>(std::time(nullptr))); }

int StampTime::Year() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_year + 1900 : 0;
}

int StampTime::Month() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_mon + 1 : 0;
}

int StampTime::Day() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_mday : 0;
}

int StampTime::Hour() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_hour : -1;
}

int StampTime::Minute() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_min : -1;
}

int StampTime::Second() const {
    std::tm f{};
    return BreakDown(seconds_, f) ? f.tm_sec : -1;
}

bool StampTime::ToSystemTime(SYSTEMTIME& record) const {
    std::tm f{};
    if (!BreakDown(seconds_, f)) return false;
    record.wYear = static_cast<std::uint16_t>(f.tm_year + 1900);
    record.wMonth = static_cast<std::uint16_t>(f.tm_mon + 1);
    record.wDayOfWeek = static_cast<std::uint16_t>(f.tm_wday);
    record.wDay = static_cast<std::uint16_t>(f.tm_mday);
    record.wHour = static_cast<std::uint16_t>(f.tm_hour);
    record.wMinute = static_cast<std::uint16_t>(f.tm_min);
    record.wSecond = static_cast<std::uint16_t>(f.tm_sec);
    record.wMilliseconds = 0;
    return true;
}

bool StampTime::ToFileTime(FILETIME& fileTime) const {
    if (seconds_ < kMinSeconds || seconds_ > kMaxSeconds) return false;
    const std::uint64_t units =
        static_cast<std::uint64_t>(seconds_ + kFileTimeEpochOffset) * kFileTimeUnitsPerSecond;
    fileTime.dwLowDateTime = static_cast<std::uint32_t>(units & 0xFFFFFFFFu);
    fileTime.dwHighDateTime = static_cast<std::uint32_t>(units >> 32);
    return true;
}

std::string FormatStampText(const StampTime& date, const StampTime& time) {
    // One breakdown for each value (one in all when both are the same value).
    std::tm d{}, t{};
    const bool dateOk = BreakDown(date.Seconds(), d);
    const bool timeOk = date == time ? dateOk : BreakDown(time.Seconds(), t);
    if (date == time) t = d;
    char text[64];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d.%02d", dateOk ? d.tm_year + 1900 : 0,
                  dateOk ? d.tm_mon + 1 : 0, dateOk ? d.tm_mday : 0, timeOk ? t.tm_hour : -1,
                  timeOk ? t.tm_min : -1, timeOk ? t.tm_sec : -1);
    return text;
}

StampFields ParseStampText(const std::string& text) {
    const char* s = text.c_str();
    const std::size_t length = std::strlen(s);
    auto piece = [&](std::size_t start, std::size_t count) {
        if (start >= length) return 0;
        const std::string part(s + start, count < length - start ? count : length - start);
        return std::atoi(part.c_str());
    };
    StampFields f;
    f.year = piece(0, 4);
    f.month = piece(5, 2);
    f.day = piece(8, 2);
    f.hour = piece(11, 2);
    f.minute = piece(14, 2);
    f.second = piece(17, 2);
    return f;
}
