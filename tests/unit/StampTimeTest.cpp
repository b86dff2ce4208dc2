#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ZoneInfo.h"
#include "stamp/StampTime.h"

namespace {

struct Fields {
    int year, month, day, hour, minute, second;
};

Fields FieldsOf(const StampTime& value) {
    return {value.Year(), value.Month(), value.Day(), value.Hour(), value.Minute(), value.Second()};
}

bool operator==(const Fields& a, const Fields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

std::ostream& operator<<(std::ostream& out, const Fields& f) {
    return out << f.year << "-" << f.month << "-" << f.day << " " << f.hour << ":" << f.minute
               << ":" << f.second;
}

std::uint32_t CodeOf(const Fields& f, int daylight) {
    try {
        StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, daylight);
    } catch (const StampTimeError& e) {
        return e.Code();
    }
    return 0;
}

FILETIME FileTimeOf(std::int64_t unixSeconds, std::uint64_t extraUnits = 0) {
    const std::uint64_t units =
        static_cast<std::uint64_t>(unixSeconds + 11644473600) * 10000000u + extraUnits;
    return {static_cast<std::uint32_t>(units), static_cast<std::uint32_t>(units >> 32)};
}

TEST(StampTime, FromFieldsCarriesSurplusDaysIntoNextMonth) {
    EXPECT_EQ(FieldsOf(StampTime::FromFields(2010, 4, 31, 12, 0, 0, -1)),
              (Fields{2010, 5, 1, 12, 0, 0}));
    EXPECT_EQ(FieldsOf(StampTime::FromFields(2010, 2, 30, 0, 0, 0, -1)),
              (Fields{2010, 3, 2, 0, 0, 0}));
    EXPECT_EQ(FieldsOf(StampTime::FromFields(2012, 2, 30, 0, 0, 0, -1)),
              (Fields{2012, 3, 1, 0, 0, 0}));
}

TEST(StampTime, FromFieldsRefusesFieldsOutOfRangeAndInstantsBefore1970) {
    const std::vector<Fields> failures = {
        {1899, 1, 1, 0, 0, 0},  {2010, 0, 1, 0, 0, 0},     {2010, 13, 1, 0, 0, 0},
        {2010, 1, 0, 0, 0, 0},  {2010, 1, 32, 0, 0, 0},    {2010, 1, 1, 24, 0, 0},
        {2010, 1, 1, -1, 0, 0}, {2010, 1, 1, 0, 60, 0},    {2010, 1, 1, 0, 0, 60},
        {0, 0, 0, 0, 0, 0},     {1899, 13, 32, 24, 60, 60}};
    for (const Fields& f : failures) EXPECT_EQ(CodeOf(f, -1), StampTimeError::kFail) << f;
    EXPECT_EQ(CodeOf({1950, 1, 1, 0, 0, 0}, -1), StampTimeError::kInvalidArg);
    EXPECT_EQ(CodeOf({1900, 1, 1, 0, 0, 0}, -1), StampTimeError::kInvalidArg);
}

TEST(StampTime, RangeEdgesInEveryZone) {
    REQUIRE_KNOWN_ZONE(zone);
    // 1970-01-01 00:00:00 local lies at -offset: the zero value in UTC, refused ahead of UTC.
    const std::int64_t epochLocal = -static_cast<std::int64_t>(zone->standardHours) * 3600;
    if (epochLocal < 0) {
        EXPECT_EQ(CodeOf({1970, 1, 1, 0, 0, 0}, -1), StampTimeError::kInvalidArg);
    } else {
        EXPECT_EQ(StampTime::FromFields(1970, 1, 1, 0, 0, 0, -1).Seconds(), epochLocal);
    }
    EXPECT_EQ(FormatStampText(StampTime(), StampTime()), zone->epochText);

    // The last second of the range, and one past it, as local fields.
    const StampTime last = StampTime::FromSeconds(StampTime::kMaxSeconds);
    ASSERT_EQ(FormatStampText(last, last), zone->maxText);
    const Fields f = FieldsOf(last);
    EXPECT_EQ(StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, -1), last);
    ASSERT_EQ(f.minute * 100 + f.second, 5959);
    EXPECT_EQ(CodeOf({f.year, f.month, f.day, f.hour + 1, 0, 0}, -1), StampTimeError::kInvalidArg);
}

TEST(StampTime, ValueOutsideRangeCannotBeBrokenDown) {
    for (std::int64_t count : {std::int64_t{-1}, StampTime::kMaxSeconds + 1}) {
        const StampTime value = StampTime::FromSeconds(count);
        EXPECT_EQ(FieldsOf(value), (Fields{0, 0, 0, -1, -1, -1})) << count;
        SYSTEMTIME record{1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_FALSE(value.ToSystemTime(record));
        EXPECT_EQ(record.wYear + record.wMonth + record.wDayOfWeek + record.wDay, 1 + 2 + 3 + 4);
        EXPECT_EQ(record.wHour + record.wMinute + record.wSecond + record.wMilliseconds,
                  5 + 6 + 7 + 8);
        EXPECT_EQ(FormatStampText(value, value), "0000/00/00 -1:-1.-1");
        FILETIME fileTime{};
        EXPECT_FALSE(value.ToFileTime(fileTime));
    }
}

TEST(StampTime, ToSystemTimeFillsEveryFieldFromLocalTime) {
    const StampTime value = StampTime::FromFields(2010, 9, 21, 14, 5, 7, -1);
    SYSTEMTIME record{};
    record.wMilliseconds = 999;
    ASSERT_TRUE(value.ToSystemTime(record));
    EXPECT_EQ(record.wYear, 2010);
    EXPECT_EQ(record.wMonth, 9);
    EXPECT_EQ(record.wDayOfWeek, 2);  // a Tuesday
    EXPECT_EQ(record.wDay, 21);
    EXPECT_EQ(record.wHour, 14);
    EXPECT_EQ(record.wMinute, 5);
    EXPECT_EQ(record.wSecond, 7);
    EXPECT_EQ(record.wMilliseconds, 0);
    EXPECT_EQ(StampTime::FromSystemTime(record, -1), value);
}

TEST(StampTime, FromSystemTimeBefore1900IsZeroValue) {
    SYSTEMTIME record{1601, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(StampTime::FromSystemTime(record, -1), StampTime());
    record.wYear = 1899;
    record.wMonth = 13;  // fields are not looked at below 1900
    EXPECT_EQ(StampTime::FromSystemTime(record, 0), StampTime());
    record = {1900, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_THROW(StampTime::FromSystemTime(record, -1), StampTimeError);
}

TEST(StampTime, FromFileTimeTakesTheExactInstant) {
    const std::int64_t instant = 1277985600;  // 2010-07-01 12:00:00 UTC
    EXPECT_EQ(StampTime::FromFileTime(FileTimeOf(instant, 9999999), -1).Seconds(), instant);
    EXPECT_EQ(StampTime::FromFileTime(FileTimeOf(instant), 0).Seconds(), instant);
    EXPECT_EQ(StampTime::FromFileTime(FileTimeOf(0), -1), StampTime());
    EXPECT_EQ(StampTime::FromFileTime(FileTimeOf(StampTime::kMaxSeconds), -1).Seconds(),
              StampTime::kMaxSeconds);

    FILETIME back{};
    ASSERT_TRUE(StampTime::FromSeconds(instant).ToFileTime(back));
    EXPECT_EQ(back.dwLowDateTime, FileTimeOf(instant).dwLowDateTime);
    EXPECT_EQ(back.dwHighDateTime, FileTimeOf(instant).dwHighDateTime);
}

TEST(StampTime, FromFileTimeOutsideRange) {
    REQUIRE_KNOWN_ZONE(zone);
    // A file time of 0 (1601) and anything before 1900 locally is "no time".
    EXPECT_EQ(StampTime::FromFileTime(FILETIME{0, 0}, -1), StampTime());
    EXPECT_EQ(StampTime::FromFileTime(FileTimeOf(-2208988800 - 86400 * 400), -1), StampTime());
    const std::vector<std::int64_t> refused = {
        -631152000,                     // 1950-01-01 UTC
        -1,                             // one second before the range
        StampTime::kMaxSeconds + 1,     // one second past it
        StampTime::kMaxSeconds + 86400  // a day past it
    };
    for (std::int64_t seconds : refused) {
        EXPECT_THROW(StampTime::FromFileTime(FileTimeOf(seconds), -1), StampTimeError) << seconds;
    }
    EXPECT_THROW(StampTime::FromFileTime(FILETIME{0xFFFFFFFFu, 0xFFFFFFFFu}, -1), StampTimeError);
    // 1899-12-31 20:00 UTC is 1900 locally only ahead of UTC by four hours or more.
    const FILETIME lastEvening1899 = FileTimeOf(-2208988800 - 4 * 3600);
    if (zone->standardHours >= 4) {
        EXPECT_THROW(StampTime::FromFileTime(lastEvening1899, -1), StampTimeError);
    } else {
        EXPECT_EQ(StampTime::FromFileTime(lastEvening1899, -1), StampTime());
    }
}

TEST(StampTime, DaylightFlagZeroReadsSummerFieldsAsStandardTime) {
    REQUIRE_KNOWN_ZONE(zone);
    const int month = zone->summerMonth != 0 ? zone->summerMonth : 7;
    const StampTime guessed = StampTime::FromFields(2010, month, 15, 10, 20, 30, -1);
    const StampTime standard = StampTime::FromFields(2010, month, 15, 10, 20, 30, 0);
    EXPECT_EQ(FieldsOf(guessed), (Fields{2010, month, 15, 10, 20, 30}));
    if (zone->summerMonth != 0) {
        EXPECT_EQ(standard.Seconds() - guessed.Seconds(), 3600);
        EXPECT_EQ(standard.Hour(), 11);
    } else {
        EXPECT_EQ(standard, guessed);
    }
}

TEST(StampText, ParseCutsFixedPositions) {
    struct Case {
        const char* text;
        Fields expected;
    };
    const Case cases[] = {
        {"2010/09/21 14:05.07", {2010, 9, 21, 14, 5, 7}},
        {"2010-09-21 14:05:07", {2010, 9, 21, 14, 5, 7}},
        {"0", {0, 0, 0, 0, 0, 0}},
        {"", {0, 0, 0, 0, 0, 0}},
        {"2010/09/21", {2010, 9, 21, 0, 0, 0}},
        {"2010/09/21 1", {2010, 9, 21, 1, 0, 0}},
        {" 2010/09/21 14:05.07", {201, 0, 0, 1, 0, 0}},
        {"2010/-9/+2 x4:05.07trailing", {2010, -9, 2, 0, 5, 7}},
        {"0000/00/00 -1:-1.-1", {0, 0, 0, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        const StampFields f = ParseStampText(c.text);
        EXPECT_EQ((Fields{f.year, f.month, f.day, f.hour, f.minute, f.second}), c.expected)
            << '"' << c.text << '"';
    }
}

TEST(StampText, FormatTakesDateOfOneValueAndTimeOfAnother) {
    const StampTime date = StampTime::FromFields(2010, 9, 21, 1, 2, 3, -1);
    const StampTime time = StampTime::FromFields(2000, 1, 1, 14, 5, 7, -1);
    EXPECT_EQ(FormatStampText(date, time), "2010/09/21 14:05.07");
    EXPECT_EQ(FormatStampText(date, date), "2010/09/21 01:02.03");
    EXPECT_EQ(FormatStampText(StampTime::FromSeconds(-1), time), "0000/00/00 14:05.07");
}

TEST(StampText, RoundTripGivesTheSameValue) {
    const std::int64_t values[] = {0,          1,         1285076707, 1262304000,
                                   1277985600, 951782400, 4102444799, StampTime::kMaxSeconds};
    for (std::int64_t seconds : values) {
        const StampTime value = StampTime::FromSeconds(seconds);
        const std::string text = FormatStampText(value, value);
        ASSERT_EQ(text.size(), 19u) << text;
        const StampFields f = ParseStampText(text);
        EXPECT_EQ(StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, -1),
                  value)
            << text;
    }
}

}  // namespace
