// StampTime: the local date-time value that every date and time of the program passes through.
// It counts seconds since 1970-01-01 00:00:00 UTC and is built from, and broken into, local
// calendar fields with the rules of mktime and localtime. Only the constructors fail, always
// with StampTimeError.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "WinTypes.h"

class StampTimeError : public std::exception {
  public:
    static constexpr std::uint32_t kFail = 0x80004005;        // E_FAIL: a field out of range
    static constexpr std::uint32_t kInvalidArg = 0x80070057;  // E_INVALIDARG: instant out of range

    explicit StampTimeError(std::uint32_t code) : code_(code) {}
    std::uint32_t Code() const { return code_; }
    const char* what() const noexcept override;

  private:
    std::uint32_t code_;
};

class StampTime {
  public:
    // 1970-01-01 00:00:00 UTC to 3001-01-01 07:59:59 UTC: what every constructor yields.
    static constexpr std::int64_t kMinSeconds = 0;
    static constexpr std::int64_t kMaxSeconds = 32535244799;

    // The zero value: what nothing has set yet.
    StampTime() = default;

    // A raw count, unchecked; a count outside the range cannot be broken down.
    static StampTime FromSeconds(std::int64_t seconds) { return StampTime(seconds); }

    // Local fields with a daylight flag (-1: the zone's rules decide, 0: standard time).
    static StampTime FromFields(int year, int month, int day, int hour, int minute, int second,
                                int daylight);
    // A SYSTEMTIME read as local time; the zero value when wYear is below 1900.
    static StampTime FromSystemTime(const SYSTEMTIME& record, int daylight);
    // A FILETIME (UTC): its exact instant, the part below one second dropped. The daylight flag
    // is accepted for the callers' sake; an instant needs none.
    static StampTime FromFileTime(const FILETIME& fileTime, int daylight);
    static StampTime Now();

    std::int64_t Seconds() const { return seconds_; }

    // Local fields; Year, Month, Day give 0 and Hour, Minute, Second give -1 for a value that
    // cannot be broken down.
    int Year() const;
    int Month() const;
    int Day() const;
    int Hour() const;
    int Minute() const;
    int Second() const;

    // Fills the record and gives true, or leaves it alone and gives false.
    bool ToSystemTime(SYSTEMTIME& record) const;
    // The FILETIME of the exact instant; false for a value outside the range.
    bool ToFileTime(FILETIME& fileTime) const;

    friend bool operator==(const StampTime& a, const StampTime& b) {
        return a.seconds_ == b.seconds_;
    }
    friend bool operator!=(const StampTime& a, const StampTime& b) { return !(a == b); }

  private:
    explicit StampTime(std::int64_t seconds) : seconds_(seconds) {}

    std::int64_t seconds_ = 0;
};

// The six numbers of a stamp text, exactly as read: not validated, year not reduced by 1900.
struct StampFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "%04d/%02d/%02d %02d:%02d.%02d": the date of one value, the time of day of another.
std::string FormatStampText(const StampTime& date, const StampTime& time);

// Cuts the six fields at fixed byte positions (0-3, 5-6, 8-9, 11-12, 14-15, 17-18), each read
// with atoi; separators are not examined and the reader never fails.
StampFields ParseStampText(const std::string& text);
