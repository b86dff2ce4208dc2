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
    std::map<std::string, Times> times;
    std::string unresolvable = "bad:name";

    bool FullPath(const std::string& path, std::string& full) override {
        if (path == unresolvable) return false;
        full = path.rfind("C:\\", 0) == 0 ? path : "C:\\Work\\" + path;
        return true;
    }
    bool Times(const std::string& full, FILETIME& creation, FILETIME& write) override {
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
    const std::string longName(259 - 8, 'a');  // with "C:\Work\" exactly 259 bytes
    lookup.times["C:\\Work\\a.jpg"] = {FileTimeOf(kCreated), FileTimeOf(kWritten)};
    lookup.times["C:\\Photos"] = {FileTimeOf(kCreated), FileTimeOf(kWritten)};
    lookup.times["C:\\Work\\" + longName] = {FileTimeOf(kCreated), FileTimeOf(kWritten)};
    lookup.times["C:\\nocreation.txt"] = {FILETIME{0, 0}, FileTimeOf(kWritten)};
    lookup.times["C:\\badcreation.txt"] = {FILETIME{0, 0x80000000u}, FileTimeOf(kWritten)};
    lookup.times["C:\\" + std::string(257, 'b')] = {FileTimeOf(kCreated), FileTimeOf(kWritten)};

    struct Case {
        std::string path;
        bool ok;
        std::int64_t creation, write;  // seconds, when ok
    };
    const Case cases[] = {
        {"a.jpg", true, kCreated, kWritten},
        {"C:\\Photos", true, kCreated, kWritten},       // a folder like a file
        {longName, true, kCreated, kWritten},           // its full path is 259 bytes
        {longName + "x", false, 0, 0},                  // its full path is 260 bytes
        {"C:\\" + std::string(257, 'b'), false, 0, 0},  // the name itself is 260 bytes
        {"missing.txt", false, 0, 0},
        {"bad:name", false, 0, 0},
        {"C:\\nocreation.txt", true, kWritten, kWritten},
        {"C:\\badcreation.txt", true, kWritten, kWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 40));
        StampTime creation = StampTime::FromSeconds(7), write = StampTime::FromSeconds(8);
        EXPECT_EQ(ReadFileTimes(c.path, lookup, creation, write), c.ok);
        EXPECT_EQ(creation.Seconds(), c.ok ? c.creation : 7);  // untouched on failure
        EXPECT_EQ(write.Seconds(), c.ok ? c.write : 8);
    }
}

TEST(ReadFileTimes, TimesAStampTimeCannotHold) {
    MemoryLookup lookup;
    lookup.times["C:\\1950.txt"] = {FileTimeOf(-631152000), FileTimeOf(kWritten)};
    lookup.times["C:\\3100.txt"] = {FileTimeOf(kCreated), FileTimeOf(35659382400)};
    lookup.times["C:\\1601.txt"] = {FILETIME{1, 0}, FILETIME{0, 0}};
    StampTime creation, write;
    EXPECT_THROW(ReadFileTimes("C:\\1950.txt", lookup, creation, write), StampTimeError);
    EXPECT_THROW(ReadFileTimes("C:\\3100.txt", lookup, creation, write), StampTimeError);
    // Before 1900 is no time at all: both read as the zero value.
    creation = write = StampTime::FromSeconds(5);
    EXPECT_TRUE(ReadFileTimes("C:\\1601.txt", lookup, creation, write));
    EXPECT_EQ(creation, StampTime());
    EXPECT_EQ(write, StampTime());
}

}  // namespace
