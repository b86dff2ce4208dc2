// The settings store on real files under Wine, while another program holds Velmora.ini open: a
// reader or scanner that does not share delete stops the file's replacement, one that shares
// nothing stops its reading too. The store waits a moment for such a holder and gives up on one
// that keeps the file, leaving the old contents and no temporary file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "Utf8.h"
#include "settings/IniStore.h"
#include "stamp/WinTypes.h"

namespace {

// Closes a handle from a second thread after a delay, as a reader that lets go.
class DelayedClose {
  public:
    DelayedClose(HANDLE handle, DWORD delayMs) : handle_(handle), delayMs_(delayMs) {
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        EXPECT_NE(thread_, nullptr);
    }
    ~DelayedClose() {
        if (thread_ == nullptr) return;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    DelayedClose(const DelayedClose&) = delete;
    DelayedClose& operator=(const DelayedClose&) = delete;

    bool Closed() const { return closed_; }

  private:
    static DWORD WINAPI Run(void* self) {
        auto* close = static_cast<DelayedClose*>(self);
        Sleep(close->delayMs_);
        close->closed_ = true;  // before the handle goes, so that no write can beat it
        CloseHandle(close->handle_);
        return 0;
    }

    HANDLE handle_;
    DWORD delayMs_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> closed_{false};
};

class IniStoreWinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        static int fixtures = 0;
        folder_ = std::wstring(temp) + L"velmora-ini-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(++fixtures);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr)) << Utf8(folder_);
        file_ = folder_ + L"\\Velmora.ini";
    }

    void TearDown() override {
        for (const std::wstring& name : Names()) DeleteFileW((folder_ + L"\\" + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // The names in the folder, sorted.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder_ + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }

    void Put(const std::string& text) const {
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
        EXPECT_EQ(written, text.size());
        CloseHandle(h);
    }

    std::string Get() const {
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
        std::string text;
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(h, buffer, sizeof buffer, &count, nullptr) && count > 0) {
            text.append(buffer, count);
        }
        CloseHandle(h);
        return text;
    }

    // Another program's handle on the file, sharing what `share` says and never delete.
    HANDLE Hold(DWORD share) const {
        HANDLE h = CreateFileW(file_.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
        return h;
    }

    std::wstring folder_;
    std::wstring file_;  // Velmora.ini in folder_
};

struct Holder {
    const char* label;
    DWORD share;
};

// The first lets the store read the file but not replace it; the second stops the read too.
const Holder kHolders[] = {
    {"reader sharing read", FILE_SHARE_READ},
    {"holder sharing nothing", 0},
};

const char kOld[] = "[Settings]\r\nother=1\r\nk=old\r\n";

TEST_F(IniStoreWinTest, WriteWaitsForAHolderThatLetsGo) {
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.label);
        Put(kOld);
        HANDLE h = Hold(holder.share);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        {
            DelayedClose release(h, 300);
            EXPECT_TRUE(WriteProfileString("Settings", "k", "new", file_));
            // The file could not be replaced while it was held.
            EXPECT_TRUE(release.Closed());
        }
        // Written over the old text, which was read and not taken for missing.
        EXPECT_EQ(Get(), "[Settings]\r\nother=1\r\nk=new\r\n");
        EXPECT_EQ(Names(), std::vector<std::wstring>{L"Velmora.ini"});
    }
}

TEST_F(IniStoreWinTest, ReadWaitsForAHolderThatSharesNothing) {
    Put(kOld);
    HANDLE h = Hold(0);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DelayedClose release(h, 300);
    EXPECT_EQ(ReadProfileString("Settings", "k", "dflt", 256, file_), "old");
    EXPECT_TRUE(release.Closed());
}

TEST_F(IniStoreWinTest, WriteGivesUpOnAHolderThatKeepsTheFile) {
    for (const Holder& holder : kHolders) {
        SCOPED_TRACE(holder.label);
        Put(kOld);
        HANDLE h = Hold(holder.share);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        const ULONGLONG start = GetTickCount64();
        EXPECT_FALSE(WriteProfileString("Settings", "k", "new", file_));
        // It gave up on the holder rather than waiting for it (which would be forever here).
        EXPECT_LT(GetTickCount64() - start, 15000u);
        EXPECT_EQ(Names(), std::vector<std::wstring>{L"Velmora.ini"});
        CloseHandle(h);
        EXPECT_EQ(Get(), kOld);

        // Once the holder has gone, writes succeed again.
        EXPECT_TRUE(WriteProfileString("Settings", "k", "new", file_));
        EXPECT_EQ(Get(), "[Settings]\r\nother=1\r\nk=new\r\n");
    }
}

// A write that fails after its temporary file was complete (flushed and closed beside the file)
// leaves the old contents and takes its temporary file away.
TEST_F(IniStoreWinTest, WriteFailingAfterItsTemporaryFileLeavesNothingBehind) {
    Put(kOld);
    std::wstring seen;
    std::vector<std::wstring> namesThen;
    SetIniReplaceHookForTests([&](const WideString& temp) {
        seen = temp;
        namesThen = Names();
        return false;
    });
    EXPECT_FALSE(WriteProfileString("Settings", "k", "new", file_));
    SetIniReplaceHookForTests(nullptr);
    ASSERT_EQ(namesThen.size(), 2u);  // the temporary file was there, beside the file
    EXPECT_EQ(seen.substr(0, folder_.size() + 1), folder_ + L"\\");
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"Velmora.ini"});
    EXPECT_EQ(Get(), kOld);
}

}  // namespace
