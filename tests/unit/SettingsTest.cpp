#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "ZoneInfo.h"
#include "settings/Settings.h"

namespace {

using namespace settings;

TEST(Settings, PathInTheStartupDirectory) {
    EXPECT_EQ(SettingsPath(u"C:\\Work"), u"C:\\Work\\Velmora.ini");
    EXPECT_EQ(SettingsPath(u"C:\\"), u"C:\\\\Velmora.ini");  // a drive's root gives two
    // Kept whole, however long and whatever its characters.
    const WideString folders[] = {
        u"C:\\" + WideString(300, u'd'),
        u"C:\\한글\\café \U0001F600",
        u"\\\\?\\C:\\" + WideString(300, u'd'),
    };
    for (const WideString& folder : folders) {
        EXPECT_EQ(SettingsPath(folder), folder + u"\\Velmora.ini");
    }
    EXPECT_EQ(SettingsPath(u""), u"");  // unknown: nothing read or written
}

// The settings file's code page as a test knows it: ASCII and 表 (0x95 0x5C) only.
bool ToTestCodePage(const WideString& text, std::string& converted) {
    converted.clear();
    for (const WideChar c : text) {
        if (c < 0x80) {
            converted += static_cast<char>(c);
        } else if (c == u'表') {
            converted += "\x95\x5C";
        } else {
            return false;
        }
    }
    return true;
}

TEST(Settings, PathKeyIsTheFolderOfTheChosenFiles) {
    const struct {
        const char* label;
        WideString firstResult;
        bool several;
        std::optional<std::string> value;
    } cases[] = {
        {"one file", u"C:\\Work\\a.txt", false, "C:\\Work"},
        {"several files", u"C:\\Work", true, "C:\\Work"},
        {"one file in a root", u"C:\\a.txt", false, "C:\\"},
        {"several files in a root", u"C:\\", true, "C:\\"},
        {"several files in a root, from the item dialog", u"C:", true, "C:\\"},
        {"one file on a share", u"\\\\server\\share\\a.txt", false, "\\\\server\\share"},
        {"several files on a share", u"\\\\server\\share\\dir", true, "\\\\server\\share\\dir"},
        {"Japanese folder", u"C:\\表\\a.txt", false, "C:\\\x95\x5C"},
        {"only the file name has no spelling", u"C:\\Work\\한글.txt", false, "C:\\Work"},
        {"one file in a folder without a spelling", u"C:\\한글\\a.txt", false, std::nullopt},
        {"several files in a folder without a spelling", u"C:\\café", true, std::nullopt},
        {"folder outside the BMP", u"C:\\\U0001F600\\a.txt", false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(PathKeyValue(c.firstResult, c.several, ToTestCodePage), c.value);
    }
}

TEST(Settings, FlagAndModeTexts) {
    // What a flag reads as, after the read with capacity 5 has cut the stored text.
    const std::pair<const char*, std::int32_t> flags[] = {
        {"true", 1}, {"true" /* "truex" cut */, 1}, {"TRUE", 0}, {"True", 0}, {"1", 0}, {"", 0},
        {"fals", 0}};
    for (const auto& f : flags) EXPECT_EQ(FlagFromText(f.first), f.second) << f.first;
    EXPECT_STREQ(FlagText(1), "true");
    EXPECT_STREQ(FlagText(0), "false");
    EXPECT_STREQ(FlagText(-5), "true");

    const std::pair<const char*, long> modes[] = {{"12", 1}, {"21", 2}, {"-1", 0}, {"x", 0},
                                                  {"", 0},   {"0", 0},  {"2", 2},  {"9", 9}};
    for (const auto& m : modes) EXPECT_EQ(ModeFromText(m.first), m.second) << m.first;
    EXPECT_EQ(ModeText(-1), "-1");
    EXPECT_EQ(ModeText(2), "2");
}

// A settings file as a table of keys; reading cuts to capacity - 1 as the store does.
struct StoredKeys {
    std::map<std::string, std::string> keys;
    std::string reads;
    SettingsReader Reader() {
        return [this](const char* key, const char* def, std::size_t capacity) {
            reads += std::string(key) + ";";
            auto it = keys.find(key);
            const std::string text = it != keys.end() ? it->second : def;
            return text.substr(0, capacity - 1);
        };
    }
};

std::string Text(const StampTime& date, const StampTime& time) {
    return FormatStampText(date, time);
}

TEST(Settings, StartupValuesForEveryPairOfModes) {
    REQUIRE_KNOWN_ZONE(zone);
    const std::string today = Text(StampTime::Now(), StampTime::Now()).substr(0, 10);
    const std::string midnight = Text(StampTime::FromFields(2000, 1, 1, 0, 0, 0, -1),
                                      StampTime::FromFields(2000, 1, 1, 0, 0, 0, -1));
    EXPECT_EQ(midnight, "2000/01/01 00:00.00");  // also where 1 January is in daylight time
    struct Case {
        const char* day;
        const char* time;
        const char* makeDate;  // expected date part ("today" for the current date)
        const char* makeTime;  // expected time part ("now" for the current time)
        const char* modifyDate;
        const char* modifyTime;
    };
    const Case cases[] = {
        {"0", "0", "today", "00:00.00", "today", "00:00.00"},
        {"1", "2", "2010/09/21", "13:45.07", "2009/01/02", "03:04.05"},
        {"0", "2", "today", "13:45.07", "today", "03:04.05"},
        {"1", "0", "2010/09/21", "00:00.00", "2009/01/02", "00:00.00"},
        {"1", "1", "2010/09/21", "now", "2009/01/02", "now"},
        {"2", "3", "today", "00:00.00", "today", "00:00.00"},  // no such modes: as mode 0
        {"-1", "21", "today", "13:45.07", "today", "03:04.05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.day) + "/" + c.time);
        StoredKeys stored;
        stored.keys = {{kDefaultDay, c.day},
                       {kDefaultTime, c.time},
                       {kMakeDateTime, "2010/09/21 13:45.07"},
                       {kUpdateDateTime, "2009/01/02 03:04.05"}};
        StampTime makeDate, modifyDate, makeTime, modifyTime;
        LoadStartupValues(stored.Reader(), makeDate, modifyDate, makeTime, modifyTime);
        const auto expectDate = [&](const StampTime& v, const char* want) {
            EXPECT_EQ(Text(v, v).substr(0, 10), std::string(want) == "today" ? today : want);
        };
        const auto expectTime = [&](const StampTime& v, const char* want) {
            if (std::string(want) == "now") {
                EXPECT_LE(StampTime::Now().Seconds() - v.Seconds(), 2);
            } else {
                EXPECT_EQ(Text(v, v).substr(11), want);
            }
        };
        expectDate(makeDate, c.makeDate);
        expectTime(makeTime, c.makeTime);
        expectDate(modifyDate, c.modifyDate);
        expectTime(modifyTime, c.modifyTime);
    }
}

TEST(Settings, StoredTextsAreReadAfreshInOrder) {
    StoredKeys stored;
    stored.keys = {{kDefaultDay, "1"},
                   {kDefaultTime, "2"},
                   {kMakeDateTime, "2010/09/21 13:45.07"},
                   {kUpdateDateTime, "2009/01/02 03:04.05"}};
    StampTime a, b, c, d;
    LoadStartupValues(stored.Reader(), a, b, c, d);
    EXPECT_EQ(stored.reads,
              "default day;make date time;update date time;default time;make date time;"
              "update date time;");
}

TEST(Settings, MissingStoredTextFailsAfterTheValuesSetBeforeIt) {
    StoredKeys stored;
    stored.keys = {{kDefaultDay, "1"}, {kMakeDateTime, "2010/09/21 13:45.07"}};
    const StampTime untouched = StampTime::FromSeconds(42);
    StampTime makeDate = untouched, modifyDate = untouched, makeTime = untouched,
              modifyTime = untouched;
    try {
        LoadStartupValues(stored.Reader(), makeDate, modifyDate, makeTime, modifyTime);
        FAIL() << "no StampTimeError";
    } catch (const StampTimeError& e) {
        EXPECT_EQ(e.Code(), StampTimeError::kFail);  // the default "0" gives the year 0
    }
    EXPECT_EQ(Text(makeDate, makeDate), "2010/09/21 13:45.07");
    EXPECT_EQ(modifyDate, untouched);
    EXPECT_EQ(makeTime, untouched);
    EXPECT_EQ(modifyTime, untouched);
}

}  // namespace
