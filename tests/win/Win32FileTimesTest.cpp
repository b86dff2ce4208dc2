// The Win32 file-times backend and the run over real files, under Wine. Wine on Linux keeps no
// creation time of its own (it reports one made from the Unix times and ignores a new one), so
// these tests check last-write and last-access times only; creation times are covered by the
// native tests over the in-memory file system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RunFakes.h"
#include "Utf8.h"
#include "stamp/Win32FileTimes.h"

namespace {

std::uint64_t Units(const FILETIME& f) {
    return (std::uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime;
}

FILETIME FileTimeOf(const StampTime& value) {
    FILETIME f{};
    EXPECT_TRUE(value.ToFileTime(f));
    return f;
}

StampTime Local(int y, int mo, int d, int h, int mi, int s) {
    return StampTime::FromFields(y, mo, d, h, mi, s, -1);
}

class Win32FileTimesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        static int fixtures = 0;
        folder_ = std::wstring(temp) + L"velmora-test-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(++fixtures);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    }

    void TearDown() override {
        // Files first, then folders, the innermost (made last) first.
        for (const std::wstring& file : made_) {
            const std::wstring name = LongPathForm(file);
            SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(name.c_str());
        }
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) {
            RemoveDirectoryW(LongPathForm(*folder).c_str());
        }
        RemoveDirectoryW(folder_.c_str());
    }

    // Made in the long form, so that any length works; files are removed before folders.
    std::wstring MakeFile(const std::wstring& name) {
        const std::wstring path = folder_ + L"\\" + name;
        HANDLE h = CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
        CloseHandle(h);
        made_.insert(made_.begin(), path);
        return path;
    }

    std::wstring MakeFolder(const std::wstring& name) {
        const std::wstring path = folder_ + L"\\" + name;
        EXPECT_TRUE(CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) << Utf8(path);
        made_.push_back(path);
        return path;
    }

    static bool ReadTimes(const std::wstring& path, FILETIME& access, FILETIME& write) {
        HANDLE h = CreateFileW(LongPathForm(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        FILETIME creation;
        const bool ok = GetFileTime(h, &creation, &access, &write) != FALSE;
        CloseHandle(h);
        return ok;
    }

    // The system's text for a code, as the backend must give it.
    static std::wstring SystemText(DWORD code) {
        wchar_t* buffer = nullptr;
        const DWORD n =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                           code, 0x0400, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
        std::wstring text(buffer != nullptr ? buffer : L"", n);
        LocalFree(buffer);
        return text;
    }

    std::wstring folder_;
    std::vector<std::wstring> made_;
    Win32FileTimes files_;
};

TEST_F(Win32FileTimesTest, SetsLastWriteAndLastAccessOfFileAndFolder) {
    const FILETIME access = FileTimeOf(Local(2009, 1, 2, 3, 4, 5));
    const FILETIME write = FileTimeOf(Local(2010, 9, 21, 14, 5, 7));
    for (const std::wstring& path : {MakeFile(L"a.txt"), MakeFolder(L"photos")}) {
        SCOPED_TRACE(Utf8(path));
        const FileTimes::Handle h = files_.OpenForWrite(path);
        ASSERT_NE(h, FileTimes::kInvalidHandle) << Utf8(files_.ErrorText(files_.LastError()));
        EXPECT_TRUE(files_.SetTimes(h, nullptr, &access, &write));
        FILETIME c{}, a{}, w{};
        EXPECT_TRUE(files_.GetTimes(h, &c, &a, &w));
        files_.Close(h);
        EXPECT_EQ(Units(w), Units(write));
        FILETIME a2{}, w2{};
        ASSERT_TRUE(ReadTimes(path, a2, w2));
        EXPECT_EQ(Units(a2), Units(access));
        EXPECT_EQ(Units(w2), Units(write));
    }
}

TEST_F(Win32FileTimesTest, FailedOpensGiveTheSystemsErrorAndText) {
    // Root writes to read-only files on Linux, so under root the harness hands in a file that
    // Linux itself refuses to write (immutable); otherwise the read-only attribute does it.
    const wchar_t* immutable = _wgetenv(L"VELMORA_READONLY_FILE");
    std::wstring readOnly = immutable != nullptr ? immutable : L"";
    if (readOnly.empty()) {
        readOnly = MakeFile(L"readonly.txt");
        ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const std::wstring held = MakeFile(L"held.txt");
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    struct Case {
        std::wstring path;
        DWORD code;
    };
    std::vector<Case> cases = {{folder_ + L"\\missing.txt", ERROR_FILE_NOT_FOUND},
                               {held, ERROR_SHARING_VIOLATION}};
    if (std::getenv("VELMORA_READONLY_UNSUPPORTED") != nullptr) {
        std::printf("no file can be made read-only for root here: that case is left out\n");
    } else {
        cases.push_back({readOnly, ERROR_ACCESS_DENIED});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.path));
        const FileTimes::Handle h = files_.OpenForWrite(c.path);
        const std::uint32_t code = files_.LastError();
        EXPECT_EQ(h, FileTimes::kInvalidHandle);
        if (h != FileTimes::kInvalidHandle) files_.Close(h);
        EXPECT_EQ(code, c.code);
        const std::wstring text = files_.ErrorText(code);
        EXPECT_EQ(text, SystemText(c.code));
        EXPECT_NE(text, L"(null)");
        if (GetACP() == 932) {  // Japanese texts under LC_ALL=ja_JP.UTF-8
            EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](wchar_t ch) {
                return ch >= 0x3040;
            })) << Utf8(text);
        }
    }
    CloseHandle(holder);
    EXPECT_EQ(files_.ErrorText(0x2000FFFF), L"(null)");
}

TEST_F(Win32FileTimesTest, RunStampsRealFilesAndStopsAtAMissingOne) {
    FakeRows rows;
    rows.rows = {{MakeFile(L"one.jpg"), "", ""},
                 {MakeFolder(L"album"), "", ""},
                 {folder_ + L"\\gone.jpg", "", ""},
                 {MakeFile(L"after.jpg"), "", ""}};
    FILETIME afterAccess{}, afterWrite{};
    ASSERT_TRUE(ReadTimes(rows.rows[3].path, afterAccess, afterWrite));
    FakeHost host;
    host.choice.tModifyDate = Local(2010, 9, 21, 0, 0, 0);
    host.choice.tModifyTime = Local(2000, 1, 1, 14, 5, 7);
    host.choice.bModifyDate = host.choice.bModifyTime = 1;
    ApplyRun(rows, host, files_);

    const FILETIME picked = FileTimeOf(Local(2010, 9, 21, 14, 5, 7));
    for (int i = 0; i < 2; ++i) {
        FILETIME a{}, w{};
        ASSERT_TRUE(ReadTimes(rows.rows[i].path, a, w));
        EXPECT_EQ(Units(w), Units(picked)) << Utf8(rows.rows[i].path);
        EXPECT_EQ(Units(a) % 10000000u, 0u);  // the file's own creation time, whole seconds
        EXPECT_EQ(rows.rows[i].write, "2010/09/21 14:05.07");
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, L"タイムスタンプの変更に失敗しました。\n\n" +
                                         SystemText(ERROR_FILE_NOT_FOUND) + L"\n[" +
                                         rows.rows[2].path + L"]\n");
    EXPECT_EQ(host.messages[0].icon, 48u);
    FILETIME a{}, w{};
    ASSERT_TRUE(ReadTimes(rows.rows[3].path, a, w));
    EXPECT_EQ(Units(w), Units(afterWrite));
    EXPECT_EQ(rows.rows[3].write, "");
}

// Names as the file system spells them, whatever the ANSI code page can spell, and paths of any
// length: each is stamped itself, and a file that an ANSI spelling of the name would reach stays
// as it was. Under code page 932 the yen sign's best fit is the backslash, so "a¥b.txt" spelt
// in ANSI names "b.txt" in the folder "a".
TEST_F(Win32FileTimesTest, RunStampsNamesOutsideTheCodePageAndLongPaths) {
    MakeFolder(L"a");
    const std::wstring bestFitTwin = MakeFile(L"a\\b.txt");
    std::wstring deep = MakeFolder(std::wstring(120, L'd'));
    deep = MakeFolder(deep.substr(folder_.size() + 1) + L"\\" + std::wstring(120, L'e'));
    const std::wstring deepName =
        deep.substr(folder_.size() + 1) + L"\\" + std::wstring(70, L'f') + L"\u00e9.txt";
    FakeRows rows;
    rows.rows = {{MakeFile(L"\ud55c\uae00.txt"), "", ""},          // Korean
                 {MakeFile(L"caf\u00e9 \U0001F600.jpg"), "", ""},  // outside the BMP
                 {MakeFile(L"a\u00a5b.txt"), "", ""},              // best fit: a\b.txt
                 {MakeFile(deepName), "", ""}};
    ASSERT_GT(rows.rows[3].path.size(), 300u);
    FILETIME twinAccess{}, twinWrite{};
    ASSERT_TRUE(ReadTimes(bestFitTwin, twinAccess, twinWrite));
    FakeHost host;
    host.choice.tModifyDate = Local(2010, 9, 21, 0, 0, 0);
    host.choice.tModifyTime = Local(2000, 1, 1, 14, 5, 7);
    host.choice.bModifyDate = host.choice.bModifyTime = 1;
    ApplyRun(rows, host, files_);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, L"4件のタイムスタンプ変更に成功しました。")
        << Utf8(host.messages[0].text);
    const FILETIME picked = FileTimeOf(Local(2010, 9, 21, 14, 5, 7));
    for (const Row& row : rows.rows) {
        FILETIME a{}, w{};
        ASSERT_TRUE(ReadTimes(row.path, a, w)) << Utf8(row.path);
        EXPECT_EQ(Units(w), Units(picked)) << Utf8(row.path);
        EXPECT_EQ(row.write, "2010/09/21 14:05.07") << Utf8(row.path);
    }
    FILETIME a{}, w{};
    ASSERT_TRUE(ReadTimes(bestFitTwin, a, w));
    EXPECT_EQ(Units(w), Units(twinWrite));
}

// A long path that cannot be opened is reported as the user reads it, without the long form.
TEST_F(Win32FileTimesTest, FailureMessageShowsALongPathWithoutItsPrefix) {
    FakeRows rows;
    const std::wstring missing = folder_ + L"\\" + std::wstring(300, L'g') + L".txt";
    rows.rows = {{missing, "", ""}};
    FakeHost host;
    host.choice.bModifyDate = 1;
    ApplyRun(rows, host, files_);
    ASSERT_EQ(host.messages.size(), 1u);
    const std::wstring& text = host.messages[0].text;
    EXPECT_NE(text.find(L"\n[" + missing + L"]\n"), std::wstring::npos) << Utf8(text);
    EXPECT_EQ(text.find(L"\\\\?\\"), std::wstring::npos) << Utf8(text);
}

}  // namespace
