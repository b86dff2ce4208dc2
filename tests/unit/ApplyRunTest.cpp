#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryFileTimes.h"
#include "RunFakes.h"
#include "stamp/ApplyRun.h"

namespace {

StampTime Local(int y, int mo, int d, int h, int mi, int s) {
    return StampTime::FromFields(y, mo, d, h, mi, s, -1);
}

FILETIME FileTimeOf(const StampTime& value, std::uint32_t extraUnits = 0) {
    FILETIME f{};
    EXPECT_TRUE(value.ToFileTime(f));
    f.dwLowDateTime += extraUnits;  // stays below the next second; no carry at these values
    return f;
}

std::string TextOf(const FILETIME& f) {
    const StampTime value = StampTime::FromFileTime(f, -1);
    return FormatStampText(value, value);
}

bool WholeSecond(const FILETIME& f) {
    const std::uint64_t units = (std::uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime;
    return units % 10000000u == 0;
}

class ApplyRunTest : public ::testing::Test {
  protected:
    MemoryFileTimes files;
    FakeRows rows;
    FakeHost host;

    // A listed file created on 2009-03-04 05:06:07 and written on 2011-08-09 10:11:12 local
    // time, both with a part below one second.
    MemoryFileTimes::Entry& AddFile(const WideString& path) {
        MemoryFileTimes::Entry& e = files.entries[path];
        e.creation = FileTimeOf(Local(2009, 3, 4, 5, 6, 7), 1234567);
        e.write = FileTimeOf(Local(2011, 8, 9, 10, 11, 12), 7654321);
        e.access = e.write;
        rows.rows.push_back({path, "old c", "old w"});
        return e;
    }

    void Tick(int makeDate, int makeTime, int modifyDate, int modifyTime) {
        host.choice.tMakeDate = Local(2010, 9, 21, 23, 58, 57);
        host.choice.tMakeTime = Local(2001, 2, 3, 14, 5, 7);
        host.choice.tModifyDate = Local(2012, 12, 24, 22, 33, 44);
        host.choice.tModifyTime = Local(2002, 3, 4, 8, 9, 10);
        host.choice.bMakeDate = makeDate;
        host.choice.bMakeTime = makeTime;
        host.choice.bModifyDate = modifyDate;
        host.choice.bModifyTime = modifyTime;
    }

    void ExpectOnlyMessage(const WideString& text, const WideString& caption, unsigned icon) {
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, text);
        EXPECT_EQ(host.messages[0].caption, caption);
        EXPECT_EQ(host.messages[0].icon, icon);
    }
};

TEST_F(ApplyRunTest, FlagsAreTestedBeforeTheList) {
    ApplyRun(rows, host, files);
    ExpectOnlyMessage(u"変更対象をチェックしてください。", u"タイムスタンプ変更ツール", 48);
    EXPECT_EQ(host.events, "focus pull ");

    host.messages.clear();
    Tick(0, 0, 0, 1);
    ApplyRun(rows, host, files);
    ExpectOnlyMessage(u"ファイルを選択してください。", u"タイムスタンプ変更", 48);
    EXPECT_EQ(files.opens, 0);
}

// Which parts of which time come from the picks, and which are each file's own.
TEST_F(ApplyRunTest, EachTickedPartComesFromThePicksAndTheRestFromTheFile) {
    struct Case {
        int makeDate, makeTime, modifyDate, modifyTime;
        const char* creation;  // expected, "" for unchanged
        const char* access;
        const char* write;
    };
    const Case cases[] = {
        {1, 0, 0, 0, "2010/09/21 05:06.07", "2010/09/21 05:06.07", ""},
        {0, 1, 0, 0, "2009/03/04 14:05.07", "2009/03/04 14:05.07", ""},
        {0, 0, 0, 1, "", "2009/03/04 05:06.07", "2011/08/09 08:09.10"},
        {0, 0, 1, 0, "", "2009/03/04 05:06.07", "2012/12/24 10:11.12"},
        {1, 1, 1, 1, "2010/09/21 14:05.07", "2010/09/21 14:05.07", "2012/12/24 08:09.10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.makeDate) + std::to_string(c.makeTime) +
                     std::to_string(c.modifyDate) + std::to_string(c.modifyTime));
        files.entries.clear();
        rows.rows.clear();
        host.messages.clear();
        const MemoryFileTimes::Entry before = AddFile(u"C:\\a.txt");
        Tick(c.makeDate, c.makeTime, c.modifyDate, c.modifyTime);
        ApplyRun(rows, host, files);

        const MemoryFileTimes::Entry& after = files.entries.at(u"C:\\a.txt");
        if (*c.creation == 0) {
            EXPECT_EQ(after.creation.dwLowDateTime, before.creation.dwLowDateTime);
        } else {
            EXPECT_EQ(TextOf(after.creation), c.creation);
            EXPECT_TRUE(WholeSecond(after.creation));
        }
        EXPECT_EQ(TextOf(after.access), c.access);
        EXPECT_TRUE(WholeSecond(after.access));
        if (*c.write == 0) {
            EXPECT_EQ(after.write.dwLowDateTime, before.write.dwLowDateTime);
        } else {
            EXPECT_EQ(TextOf(after.write), c.write);
            EXPECT_TRUE(WholeSecond(after.write));
        }
        EXPECT_EQ(rows.rows[0].creation, TextOf(after.creation));
        EXPECT_EQ(rows.rows[0].write, TextOf(after.write));
        ExpectOnlyMessage(u"1件のタイムスタンプ変更に成功しました。", u"タイムスタンプ変更", 64);
        EXPECT_EQ(files.openCount, 0);
    }
}

// Whatever the zone and whatever today's season, a file stamped in summer or in winter
// receives exactly the picked local fields, and its row shows them.
TEST_F(ApplyRunTest, PickedLocalFieldsAreWrittenInEitherSeason) {
    AddFile(u"C:\\summer.jpg");
    AddFile(u"C:\\winter.jpg");
    const StampTime picks[][2] = {{Local(2010, 7, 15, 10, 20, 30), Local(2010, 1, 15, 10, 20, 30)},
                                  {Local(2010, 1, 15, 23, 0, 1), Local(2010, 7, 15, 0, 30, 0)}};
    for (const auto& pick : picks) {
        host.messages.clear();
        host.choice = StampChoice{};
        host.choice.tMakeDate = host.choice.tMakeTime = pick[0];
        host.choice.tModifyDate = host.choice.tModifyTime = pick[1];
        host.choice.bMakeDate = host.choice.bMakeTime = 1;
        host.choice.bModifyDate = host.choice.bModifyTime = 1;
        for (int run = 0; run < 2; ++run) {  // a second run leaves every file as the first did
            ApplyRun(rows, host, files);
            for (const Row& row : rows.rows) {
                const MemoryFileTimes::Entry& e = files.entries.at(row.path);
                EXPECT_EQ(TextOf(e.creation), FormatStampText(pick[0], pick[0]));
                EXPECT_EQ(TextOf(e.write), FormatStampText(pick[1], pick[1]));
                EXPECT_EQ(row.creation, FormatStampText(pick[0], pick[0]));
                EXPECT_EQ(row.write, FormatStampText(pick[1], pick[1]));
            }
        }
        ASSERT_EQ(host.messages.size(), 2u);
        EXPECT_EQ(host.messages[1].text, u"2件のタイムスタンプ変更に成功しました。");
    }
}

TEST_F(ApplyRunTest, FileThatCannotBeOpenedEndsTheRun) {
    struct Case {
        const char16_t* path;
        bool exists, readOnly, locked;
        const char16_t* systemText;
    };
    const Case cases[] = {
        {u"C:\\missing.txt", false, false, false, u"The file was not found.\r\n"},
        {u"", false, false, false, u"The file was not found.\r\n"},
        {u"C:\\readonly.txt", true, true, false, u"Access is denied.\r\n"},
        {u"C:\\locked.txt", true, false, true, u"The file is in use.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path));
        files.entries.clear();
        rows.rows.clear();
        host.messages.clear();
        AddFile(u"C:\\first.txt");
        if (c.exists) {
            MemoryFileTimes::Entry& e = AddFile(c.path);
            e.readOnly = c.readOnly;
            e.locked = c.locked;
        } else {
            rows.rows.push_back({c.path, "old c", "old w"});
        }
        const MemoryFileTimes::Entry third = AddFile(u"C:\\third.txt");
        Tick(1, 1, 1, 1);
        ApplyRun(rows, host, files);

        EXPECT_EQ(rows.rows[0].creation, "2010/09/21 14:05.07");
        ExpectOnlyMessage(WideString(u"タイムスタンプの変更に失敗しました。\n\n") + c.systemText +
                              u"\n[" + c.path + u"]\n",
                          u"タイムスタンプ変更ツール", 48);
        EXPECT_EQ(rows.rows[2].creation, "old c");
        EXPECT_EQ(files.entries.at(u"C:\\third.txt").setCalls, 0);
        EXPECT_EQ(files.entries.at(u"C:\\third.txt").write.dwLowDateTime,
                  third.write.dwLowDateTime);
        EXPECT_EQ(files.openCount, 0);
    }
}

// A row's path reaches the file system exactly as listed, whatever its length or characters;
// the failure message shows it as the user reads it, without a long-path prefix.
TEST_F(ApplyRunTest, WidePathsAreOpenedAsListedAndShownWithoutLongPrefix) {
    const WideString deep = u"C:\\" + WideString(300, u'd') + u"\\a.txt";
    const struct {
        WideString path, shown;
    } cases[] = {
        {u"C:\\한글\\café.jpg", u"C:\\한글\\café.jpg"},
        {u"C:\\\U0001F600.txt", u"C:\\\U0001F600.txt"},
        {u"\\\\?\\" + deep, deep},
        {u"\\\\?\\UNC\\server\\share\\a.txt", u"\\\\server\\share\\a.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.shown.substr(0, 40)));
        files.entries.clear();
        rows.rows.clear();
        host.messages.clear();
        MemoryFileTimes::Entry& e = AddFile(c.path);
        Tick(1, 0, 0, 0);
        ApplyRun(rows, host, files);
        EXPECT_EQ(e.setCalls, 1);
        EXPECT_EQ(rows.rows[0].creation, "2010/09/21 05:06.07");

        host.messages.clear();
        e.locked = true;
        ApplyRun(rows, host, files);
        ExpectOnlyMessage(u"タイムスタンプの変更に失敗しました。\n\nThe file is in use.\r\n\n[" +
                              c.shown + u"]\n",
                          u"タイムスタンプ変更ツール", 48);
    }
}

TEST_F(ApplyRunTest, FailedReadOrWriteIsReportedAndNeverCounted) {
    enum Fault { kFirstRead, kWrite, kReadBack };
    for (Fault fault : {kFirstRead, kWrite, kReadBack}) {
        SCOPED_TRACE(fault);
        files.entries.clear();
        rows.rows.clear();
        host.messages.clear();
        MemoryFileTimes::Entry& e = AddFile(u"D:\\photo.jpg");
        const MemoryFileTimes::Entry before = e;
        if (fault == kFirstRead) e.failGetOnCall = 1;
        if (fault == kWrite) e.failSet = true;
        if (fault == kReadBack) e.failGetOnCall = 2;
        AddFile(u"D:\\later.jpg");
        Tick(1, 0, 1, 0);
        ApplyRun(rows, host, files);

        const WideString systemText = fault == kWrite ? u"Access is denied.\r\n" : u"(null)";
        ExpectOnlyMessage(
            u"タイムスタンプの変更に失敗しました。\n\n" + systemText + u"\n[D:\\photo.jpg]\n",
            u"タイムスタンプ変更ツール", 48);
        const MemoryFileTimes::Entry& after = files.entries.at(u"D:\\photo.jpg");
        EXPECT_EQ(after.setCalls, fault == kFirstRead ? 0 : 1);
        if (fault != kReadBack) {
            EXPECT_EQ(after.creation.dwLowDateTime, before.creation.dwLowDateTime);
            EXPECT_EQ(after.write.dwLowDateTime, before.write.dwLowDateTime);
        }
        EXPECT_EQ(rows.rows[0].creation, "old c");  // the row keeps its old texts
        EXPECT_EQ(files.entries.at(u"D:\\later.jpg").setCalls, 0);
        EXPECT_EQ(files.openCount, 0);
    }
}

TEST_F(ApplyRunTest, FolderIsChangedLikeAFile) {
    AddFile(u"C:\\Photos");
    Tick(1, 0, 0, 0);
    ApplyRun(rows, host, files);
    EXPECT_EQ(rows.rows[0].creation, "2010/09/21 05:06.07");
    ExpectOnlyMessage(u"1件のタイムスタンプ変更に成功しました。", u"タイムスタンプ変更", 64);
}

TEST_F(ApplyRunTest, ComposedTimeOutOfRangeLeavesTheHandlerAfterClosingTheFile) {
    // With the date 3001-01-01 ticked, a creation time of day of 00:00:01 stays inside the range
    // in every test zone and 23:00:00 lies past it.
    AddFile(u"C:\\early.txt").creation = FileTimeOf(Local(2009, 3, 4, 0, 0, 1));
    AddFile(u"C:\\late.txt").creation = FileTimeOf(Local(2009, 3, 4, 23, 0, 0));
    AddFile(u"C:\\never.txt");
    Tick(1, 0, 0, 0);
    host.choice.tMakeDate = Local(3001, 1, 1, 0, 0, 0);
    try {
        ApplyRun(rows, host, files);
        FAIL() << "no StampTimeError";
    } catch (const StampTimeError& e) {
        EXPECT_EQ(e.Code(), StampTimeError::kInvalidArg);
    }
    EXPECT_EQ(rows.rows[0].creation, "3001/01/01 00:00.01");
    EXPECT_EQ(files.entries.at(u"C:\\late.txt").setCalls, 0);
    EXPECT_EQ(rows.rows[1].creation, "old c");
    EXPECT_EQ(files.entries.at(u"C:\\never.txt").getCalls, 0);
    EXPECT_EQ(files.openCount, 0);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
