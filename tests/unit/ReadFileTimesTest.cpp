#include <gtest/gtest.h>

#include <map>
#include <string>

#include "filelist/ReadFileTimes.h"

namespace {

// Names resolve against the folder C:\Work; the file system knows the names in `times`.
class MemoryLookup : public FileLookup {
  public:
    struct Times {
        FILETIME creation, write;
    };
    std::map<WideString, Times> times;
    WideString unresolvable = u"bad:name";

    bool FullPath(const WideString& path, WideString& full) override {
        if (path == unresolvable) return false;
        full = path.rfind(u"C:\\", 0) == 0 ? path : u"C:\\Work\\" + path;
        return true;
    }
    bool Times(const WideString& full, FILETIME& creation, FILETIME& write) override {
        auto it = times.find(full);
        if (it == times.end()) return false;
        creation = it->second.creation;
        write = it->second.write;
        return true;
    }
};

FILETIME FileTimeOf(std::int64_t unixSeconds) {
    const std::uint64_t units = static_cast<std::uint64_t>(unixSeconds + 11644473600) * 10000000u;
    return {static_cast<std::uint32_t>(units), static_cast<std::uint32_t>(units >> 32)};
}

const std::int64_t kCreated = 1230865445;  // 2009-01-02 03:04:05 UTC
const std::int64_t kWritten = 1285077907;  // 2010-09-21 14:05:07 UTC

TEST(ReadFileTimes, WhatTheListShowsForEachKindOfName) {
    MemoryLookup lookup;
    const WideString longName(259 - 8, u'a');  // with "C:\Work\" exactly 259 characters
    const WideString deep = u"C:\\" + WideString(200, u'd') + u"\\" + WideString(150, u'e');
    const FILETIME created = FileTimeOf(kCreated), written = FileTimeOf(kWritten);
    lookup.times[u"C:\\Work\\a.jpg"] = {created, written};
    lookup.times[u"C:\\Photos"] = {created, written};
    lookup.times[u"C:\\Work\\" + longName] = {created, written};
    lookup.times[u"C:\\Work\\" + longName + u"x"] = {created, written};
    lookup.times[u"C:\\" + WideString(257, u'b')] = {created, written};
    lookup.times[deep] = {created, written};
    lookup.times[u"C:\\Work\\한글.txt"] = {created, written};
    lookup.times[u"C:\\Work\\\U0001F600.txt"] = {created, written};
    lookup.times[u"C:\\nocreation.txt"] = {FILETIME{0, 0}, written};
    lookup.times[u"C:\\badcreation.txt"] = {FILETIME{0, 0x80000000u}, written};

    struct Case {
        WideString path;
        bool ok;
        std::int64_t creation, write;  // seconds, when ok
    };
    const Case cases[] = {
        {u"a.jpg", true, kCreated, kWritten},
        {u"C:\\Photos", true, kCreated, kWritten},    // a folder like a file
        {longName, true, kCreated, kWritten},         // its full path is 259 characters
        {longName + u"x", true, kCreated, kWritten},  // 260: no limit on the length
        {u"C:\\" + WideString(257, u'b'), true, kCreated, kWritten},  // the name itself is 260
        {deep, true, kCreated, kWritten},                             // 354 characters
        {u"한글.txt", true, kCreated, kWritten},                      // no ANSI spelling
        {u"\U0001F600.txt", true, kCreated, kWritten},                // outside the BMP
        {longName + u"xy", false, 0, 0},                              // long but missing
        {u"missing.txt", false, 0, 0},
        {u"bad:name", false, 0, 0},
        {u"C:\\nocreation.txt", true, kWritten, kWritten},
        {u"C:\\badcreation.txt", true, kWritten, kWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path.substr(0, 40)));
        StampTime creation = StampTime::FromSeconds(7), write = StampTime::FromSeconds(8);
        EXPECT_EQ(ReadFileTimes(c.path, lookup, creation, write), c.ok);
        EXPECT_EQ(creation.Seconds(), c.ok ? c.creation : 7);  // untouched on failure
        EXPECT_EQ(write.Seconds(), c.ok ? c.write : 8);
    }
}

TEST(ReadFileTimes, TimesAStampTimeCannotHold) {
    MemoryLookup lookup;
    lookup.times[u"C:\\1950.txt"] = {FileTimeOf(-631152000), FileTimeOf(kWritten)};
    lookup.times[u"C:\\3100.txt"] = {FileTimeOf(kCreated), FileTimeOf(35659382400)};
    lookup.times[u"C:\\1601.txt"] = {FILETIME{1, 0}, FILETIME{0, 0}};
    StampTime creation, write;
    EXPECT_THROW(ReadFileTimes(u"C:\\1950.txt", lookup, creation, write), StampTimeError);
    EXPECT_THROW(ReadFileTimes(u"C:\\3100.txt", lookup, creation, write), StampTimeError);
    // Before 1900 is no time at all: both read as the zero value.
    creation = write = StampTime::FromSeconds(5);
    EXPECT_TRUE(ReadFileTimes(u"C:\\1601.txt", lookup, creation, write));
    EXPECT_EQ(creation, StampTime());
    EXPECT_EQ(write, StampTime());
}

}  // namespace
