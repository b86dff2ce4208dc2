// The settings with the real main dialog and option dialog, created from their templates under
// Wine, on real settings files in a temporary folder. The files are read back with Wine's own
// profile functions or byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "settings/IniStore.h"
#include "settings/Settings.h"

namespace {

const char kSection[] = "Settings";
const int kPickers[] = {IDC_MAKE_DATE, IDC_MAKE_TIME, IDC_MODIFY_DATE, IDC_MODIFY_TIME};
const int kChecks[] = {IDC_MAKE_DATE_CHECK, IDC_MAKE_TIME_CHECK, IDC_MODIFY_DATE_CHECK,
                       IDC_MODIFY_TIME_CHECK};
// The zero value as a picker shows it in a zone nine hours east of UTC (TZ=JST-9).
const char kZeroShown[] = "1970-01-01 09:00:00";

std::string Text(const SYSTEMTIME& r) {
    char text[32] = "";
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", r.wYear, r.wMonth, r.wDay,
                  r.wHour, r.wMinute, r.wSecond);
    return text;
}

std::string Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return Text(now).substr(0, 10);
}

std::string CurrentFolder() {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Every file of a folder, with its bytes, sorted by name.
std::vector<std::string> Contents(const std::string& folder) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            files.push_back(name + "=" + FileBytes(folder + "\\" + name));
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

// The names in a folder, by their wide spelling, sorted.
std::vector<std::wstring> WideContents(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(LongPathForm(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void MakeFile(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    CloseHandle(h);
}

// Wine keeps a parsed copy of a settings file and trusts it while the file's write time stays
// the same; the flush (all three names null) makes it read the disk again.
void ForgetWineCopy(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

// A key as Wine reads it; "<none>" when it is missing.
std::string Stored(const std::string& file, const char* key) {
    ForgetWineCopy(file);
    char value[256] = "";
    GetPrivateProfileStringA(kSection, key, "<none>", value, sizeof value, file.c_str());
    return value;
}

// Writes a key with Wine's profile functions; a null value removes it.
void Store(const std::string& file, const char* key, const char* value) {
    ForgetWineCopy(file);
    ASSERT_TRUE(WritePrivateProfileStringA(kSection, key, value, file.c_str())) << key;
    ForgetWineCopy(file);
}

// A double-zero-terminated list as Wine's profile functions give it, sorted.
std::vector<std::string> Names(const char* list) {
    std::vector<std::string> names;
    for (const char* p = list; *p != '\0'; p += names.back().size() + 1) names.push_back(p);
    std::sort(names.begin(), names.end());
    return names;
}

// What the option dialog showed, seen from inside its modal loop once it was up.
struct OptionView {
    int openings = 0;
    int day = -2, time = -2;  // CB_GETCURSEL of the two lists
    std::vector<std::string> dayItems, timeItems;
    bool focusOnOk = false;
    bool stuck = false;  // the action left it open, and a later timer cancelled it
};

std::vector<std::string> Items(HWND list) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[128] = "";
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// The option dialog in hand: the timers reach it through these.
HWND g_options = nullptr;
OptionView* g_view = nullptr;
std::function<void(HWND)> g_act;

void CALLBACK ActOnOptions(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_view == nullptr || !IsWindow(g_options)) return;
    HWND day = GetDlgItem(g_options, IDC_DEFAULT_DAY),
         time = GetDlgItem(g_options, IDC_DEFAULT_TIME);
    g_view->day = static_cast<int>(SendMessageA(day, CB_GETCURSEL, 0, 0));
    g_view->time = static_cast<int>(SendMessageA(time, CB_GETCURSEL, 0, 0));
    g_view->dayItems = Items(day);
    g_view->timeItems = Items(time);
    g_view->focusOnOk = GetFocus() == GetDlgItem(g_options, IDOK);
    g_act(g_options);
}

void CALLBACK RescueOptions(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_view == nullptr || !IsWindow(g_options) || !IsWindowVisible(g_options)) return;
    g_view->stuck = true;
    PostMessageA(g_options, WM_COMMAND, IDCANCEL, 0);
}

// Opens the option dialog through the main dialog's command. Once it is up, its state is noted
// and `act` runs inside its modal loop; `act` has to close it.
OptionView RunOptions(HWND main, std::function<void(HWND)> act, std::vector<CapturedBox>& boxes) {
    OptionView view;
    g_view = &view;
    g_act = std::move(act);
    g_options = nullptr;
    UINT_PTR actTimer = 0, rescue = 0;
    {
        BoxCapture capture([&](HWND window) {
            if (GetDlgItem(window, IDC_DEFAULT_DAY) == nullptr || window == g_options) return;
            g_options = window;
            ++view.openings;
            actTimer = SetTimer(nullptr, 0, 0, ActOnOptions);
            rescue = SetTimer(nullptr, 0, 3000, RescueOptions);
        });
        SendMessageA(main, WM_COMMAND, ID_OPTIONS, 0);
        Pump();
        boxes = capture.boxes;
    }
    for (UINT_PTR timer : {actTimer, rescue}) {
        if (timer != 0) KillTimer(nullptr, timer);
    }
    g_view = nullptr;
    g_options = nullptr;
    g_act = nullptr;
    return view;
}

void PressKey(WPARAM key) { PostMessageA(GetFocus(), WM_KEYDOWN, key, 0); }
void Click(HWND options, int id) { SendMessageA(GetDlgItem(options, id), BM_CLICK, 0, 0); }
void Pick(HWND options, int list, int index) {
    SendMessageA(GetDlgItem(options, list), CB_SETCURSEL, index, 0);
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "velmora-settings-" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(folder.find(' '), std::string::npos) << folder;  // a command line names it
        RemoveTree(folder);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        startFolder = CurrentFolder();
        iniPath = Path("Velmora.ini");
        UseSettingsFile(iniPath);
        g_commandLine = L"";
    }
    void TearDown() override {
        Close();
        SetCurrentDirectoryA(startFolder.c_str());
        g_commandLine = L"";
        g_iniPath = L"";
        RemoveTree(folder);
    }

    // Creates the main dialog and gives the message boxes its creation showed.
    std::vector<CapturedBox> Open() {
        Close();
        BoxCapture capture;
        dialog = std::make_unique<CVelmoraDlg>();
        TheTestApp().SetMainDialog(dialog.get());
        hwnd = dialog->Create(nullptr);
        EXPECT_NE(hwnd, nullptr);
        Pump();
        return capture.boxes;
    }
    // Destroys the main dialog, which writes the settings, and gives the boxes that showed.
    std::vector<CapturedBox> Close() {
        if (dialog == nullptr) return {};
        BoxCapture capture;
        DestroyWindow(hwnd);
        Pump();
        TheTestApp().SetMainDialog(nullptr);
        dialog.reset();
        hwnd = nullptr;
        return capture.boxes;
    }

    std::string Path(const std::string& name) const { return folder + "\\" + name; }
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::string Shown(int id) const {
        SYSTEMTIME r{};
        if (SendMessageA(Item(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&r)) !=
            GDT_VALID) {
            return "<none>";
        }
        return Text(r);
    }
    std::vector<std::string> AllShown() const {
        std::vector<std::string> shown;
        for (int id : kPickers) shown.push_back(Shown(id));
        return shown;
    }
    // Sets a picker as the user's edit would show, without the notice (which would pull).
    void SetPicker(int id, const SYSTEMTIME& r) {
        Dialog::QuietControls quiet(*dialog);
        SendMessageA(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&r));
    }
    std::vector<std::int32_t> Flags() const {
        return {dialog->m_bMakeDate, dialog->m_bMakeTime, dialog->m_bModifyDate,
                dialog->m_bModifyTime};
    }
    // The check boxes tick, and each picker is enabled, as the flags say.
    void ExpectFlagsShown(const std::vector<bool>& ticked, const std::vector<bool>& enabled) {
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(kPickers[i]);
            EXPECT_EQ(Checked(kChecks[i]), ticked[i]);
            EXPECT_EQ(Enabled(kPickers[i]), enabled[i]);
        }
        EXPECT_EQ(Enabled(IDC_COPY_TO_MODIFY), enabled[0] || enabled[1]);
    }

    // The program's settings path, kept alive while the dialog uses it.
    void UseSettingsFile(const std::string& ini) {
        iniPathW = Wide(ini);
        g_iniPath = iniPathW.c_str();
    }

    std::string folder, startFolder, iniPath;
    std::wstring iniPathW;
    std::unique_ptr<CVelmoraDlg> dialog;
    HWND hwnd = nullptr;
};

TEST_F(SettingsTest, FirstStartTicksEverythingWithTodayAtMidnight) {
    EXPECT_TRUE(Open().empty());
    const std::vector<bool> all(4, true);
    ExpectFlagsShown(all, all);
    EXPECT_EQ(Shown(IDC_MAKE_DATE).substr(0, 10), Today());
    EXPECT_EQ(Shown(IDC_MODIFY_DATE).substr(0, 10), Today());
    EXPECT_EQ(Shown(IDC_MAKE_TIME), "2000-01-01 00:00:00");
    EXPECT_EQ(Shown(IDC_MODIFY_TIME), "2000-01-01 00:00:00");

    std::vector<CapturedBox> boxes;
    const OptionView view = RunOptions(
        hwnd, [](HWND options) { Click(options, IDCANCEL); }, boxes);
    EXPECT_EQ(view.openings, 1);
    EXPECT_FALSE(view.stuck);
    EXPECT_EQ(view.day, 0);
    EXPECT_EQ(view.time, 0);
    EXPECT_EQ(view.dayItems, (std::vector<std::string>{"今日の日付", "前回設定した日付"}));
    EXPECT_EQ(view.timeItems, (std::vector<std::string>{"0:00", "現在時刻", "前回設定した時刻"}));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(Exists(iniPath));  // reading wrote nothing
}

TEST_F(SettingsTest, CloseWritesThePickersAndTheFlagsOnly) {
    EXPECT_TRUE(Open().empty());
    // The date from the date picker, the time of day from the time picker; not pulled.
    SetPicker(IDC_MAKE_DATE, Record(2010, 9, 21, 1, 2, 3));
    SetPicker(IDC_MAKE_TIME, Record(2000, 1, 1, 13, 45, 7));
    SetPicker(IDC_MODIFY_DATE, Record(2009, 1, 2, 23, 59, 59));
    SetPicker(IDC_MODIFY_TIME, Record(1999, 12, 31, 3, 4, 5));
    // The flags come from the members, whatever the check boxes show.
    dialog->m_bMakeDate = 0;
    dialog->m_bModifyTime = 0;
    ASSERT_TRUE(Checked(IDC_MAKE_DATE_CHECK));
    EXPECT_TRUE(Close().empty());

    const struct {
        const char* key;
        const char* value;
    } expected[] = {
        {"make date time", "2010/09/21 13:45.07"},
        {"update date time", "2009/01/02 03:04.05"},
        {"make date", "false"},
        {"make time", "true"},
        {"modify date", "true"},
        {"modify time", "false"},
    };
    std::vector<std::string> keys;
    for (const auto& e : expected) {
        EXPECT_EQ(Stored(iniPath, e.key), e.value) << e.key;
        keys.push_back(e.key);
    }
    std::sort(keys.begin(), keys.end());
    char list[1024] = "";
    ForgetWineCopy(iniPath);
    GetPrivateProfileStringA(kSection, nullptr, "", list, sizeof list, iniPath.c_str());
    EXPECT_EQ(Names(list), keys);
    GetPrivateProfileSectionNamesA(list, sizeof list, iniPath.c_str());
    EXPECT_EQ(Names(list), std::vector<std::string>{kSection});
}

TEST_F(SettingsTest, RestartShowsTheStoredValuesAndFlags) {
    const struct {
        const char* key;
        const char* value;
    } stored[] = {
        {"default day", "1"},
        {"default time", "2"},
        {"make date time", "2010/09/21 13:45.07"},
        {"update date time", "2009/01/02 03:04.05"},
        {"make date", "false"},
        {"make time", "TRUE"},
        {"modify date", "truex"},  // read with capacity 5: "true"
    };
    for (const auto& s : stored) Store(iniPath, s.key, s.value);

    EXPECT_TRUE(Open().empty());
    // A date value read from a stamp text carries its time of day, a time value its date.
    EXPECT_EQ(AllShown(), (std::vector<std::string>{"2010-09-21 13:45:07", "2010-09-21 13:45:07",
                                                    "2009-01-02 03:04:05", "2009-01-02 03:04:05"}));
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{0, 0, 1, 1}));
    const std::vector<bool> flags{false, false, true, true};
    ExpectFlagsShown(flags, flags);
    SaveScreenshot(hwnd, "settings-restart");
}

TEST_F(SettingsTest, StoredDateModeWithoutItsTextFailsOnceThenHeals) {
    Store(iniPath, "default day", "1");
    Store(iniPath, "make date", "false");
    Store(iniPath, "update date time", "2009/01/02 03:04.05");

    const std::vector<CapturedBox> boxes = Open();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, "stop");
    EXPECT_EQ(boxes[0].text, SystemText(StampTimeError::kFail));  // "0" gives the year 0
    EXPECT_EQ(boxes[0].caption, TheTestApp().AppName());
    EXPECT_EQ(boxes[0].owner, hwnd);
    EXPECT_TRUE(IsWindow(hwnd));
    // The flags were loaded and enabled the pickers, but the final push never came.
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{0, 1, 1, 1}));
    ExpectFlagsShown({false, false, false, false}, {false, true, true, true});
    EXPECT_EQ(AllShown(), std::vector<std::string>(4, kZeroShown));

    EXPECT_TRUE(Close().empty());
    for (const char* key : {"make date time", "update date time"}) {
        SCOPED_TRACE(key);
        const std::string text = Stored(iniPath, key);
        EXPECT_EQ(text, "1970/01/01 09:00.00");
        const StampFields f = ParseStampText(text);
        EXPECT_NO_THROW(
            StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, -1));
    }
    EXPECT_EQ(Stored(iniPath, "make date"), "false");

    EXPECT_TRUE(Open().empty());
    EXPECT_EQ(Shown(IDC_MAKE_DATE), kZeroShown);
    EXPECT_EQ(Shown(IDC_MODIFY_DATE), kZeroShown);
    ExpectFlagsShown({false, true, true, true}, {false, true, true, true});
}

TEST_F(SettingsTest, OptionDialogStoresTheModesOnOkOnly) {
    const auto enter = [](HWND) { PressKey(VK_RETURN); };
    const auto ok = [](HWND options) { Click(options, IDOK); };
    const auto changeThenCancel = [](HWND options) {
        Pick(options, IDC_DEFAULT_DAY, 1);
        Pick(options, IDC_DEFAULT_TIME, 2);
        Click(options, IDCANCEL);
    };
    const auto changeThenEsc = [](HWND options) {
        Pick(options, IDC_DEFAULT_DAY, 0);
        PressKey(VK_ESCAPE);
    };
    const auto currentTimeThenOk = [](HWND options) {
        Pick(options, IDC_DEFAULT_TIME, 1);
        Click(options, IDOK);
    };
    const struct {
        const char* name;
        bool setUp;  // stores the two values below first (null: no key)
        const char* day;
        const char* time;
        std::function<void(HWND)> act;
        int shownDay, shownTime;
        const char* storedDay;  // null: the file keeps its bytes
        const char* storedTime;
    } cases[] = {
        {"hand-edited day 2, OK", true, "2", "0", ok, -1, 0, "-1", "0"},
        {"after -1, change, Cancel", false, nullptr, nullptr, changeThenCancel, 0, 0, nullptr,
         nullptr},
        {"change, Esc", true, "1", "2", changeThenEsc, 1, 2, nullptr, nullptr},
        {"Enter at once, no keys", true, nullptr, nullptr, enter, 0, 0, "0", "0"},
        {"current time, OK", true, "1", "0", currentTimeThenOk, 1, 0, "1", "1"},
    };
    Store(iniPath, "make date", "true");
    EXPECT_TRUE(Open().empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.setUp) {
            Store(iniPath, "default day", c.day);
            Store(iniPath, "default time", c.time);
        }
        const std::string before = FileBytes(iniPath);
        const std::vector<std::string> pickers = AllShown();
        const std::vector<std::int32_t> flags = Flags();
        const StampTime values[] = {dialog->m_tMakeDate, dialog->m_tMakeTime, dialog->m_tModifyDate,
                                    dialog->m_tModifyTime};

        std::vector<CapturedBox> boxes;
        const OptionView view = RunOptions(hwnd, c.act, boxes);
        EXPECT_EQ(view.openings, 1);
        EXPECT_FALSE(view.stuck);
        EXPECT_TRUE(view.focusOnOk);
        EXPECT_EQ(view.day, c.shownDay);
        EXPECT_EQ(view.time, c.shownTime);
        EXPECT_TRUE(boxes.empty());
        if (c.storedDay == nullptr) {
            EXPECT_EQ(FileBytes(iniPath), before);
        } else {
            EXPECT_EQ(Stored(iniPath, "default day"), c.storedDay);
            EXPECT_EQ(Stored(iniPath, "default time"), c.storedTime);
        }
        // The running dialog is left as it was.
        EXPECT_EQ(AllShown(), pickers);
        EXPECT_EQ(Flags(), flags);
        EXPECT_EQ(dialog->m_tMakeDate, values[0]);
        EXPECT_EQ(dialog->m_tMakeTime, values[1]);
        EXPECT_EQ(dialog->m_tModifyDate, values[2]);
        EXPECT_EQ(dialog->m_tModifyTime, values[3]);
        EXPECT_TRUE(IsWindowEnabled(hwnd));
    }
}

TEST_F(SettingsTest, CommandLineFolderBecomesCurrentButSettingsStayInTheStartFolder) {
    const std::string a = Path("A"), b = Path("B");
    ASSERT_TRUE(CreateDirectoryA(a.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(b.c_str(), nullptr));
    const std::string startIni = a + "\\Velmora.ini";
    Store(startIni, "make date", "false");
    iniPath = startIni;
    UseSettingsFile(iniPath);
    // The first file's time is one a StampTime cannot hold: reported, and the start goes on.
    const std::string old = b + "\\old.txt", file = b + "\\b.txt";
    MakeFile(old);
    MakeFile(file);
    {
        const SYSTEMTIME r = Record(1950, 6, 1, 0, 0, 0);
        FILETIME t{};
        SystemTimeToFileTime(&r, &t);
        HANDLE h = CreateFileA(old.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, &t, nullptr, &t));
        CloseHandle(h);
    }
    const std::wstring line = Wide(old + " " + file);
    g_commandLine = line.c_str();
    SetCurrentDirectoryA(a.c_str());

    const std::vector<CapturedBox> boxes = Open();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, "stop");
    EXPECT_EQ(CurrentFolder(), b);
    HWND list = Item(IDC_FILE_LIST);
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(rows, 1);
    char last[MAX_PATH] = "";
    LVITEMA item{};
    item.pszText = last;
    item.cchTextMax = sizeof last;
    SendMessageA(list, LVM_GETITEMTEXTA, rows - 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::string(last), file);
    // The later steps ran: flags from A, start-up values, the final push.
    EXPECT_EQ(Flags(), (std::vector<std::int32_t>{0, 1, 1, 1}));
    ExpectFlagsShown({false, true, true, true}, {false, true, true, true});
    EXPECT_EQ(Shown(IDC_MAKE_DATE).substr(0, 10), Today());

    EXPECT_TRUE(Close().empty());
    EXPECT_EQ(Stored(startIni, "make date"), "false");
    EXPECT_EQ(Stored(startIni, "make date time").size(), 19u);
    EXPECT_EQ(Stored(startIni, "modify time"), "true");
    EXPECT_FALSE(Exists(b + "\\Velmora.ini"));
    EXPECT_EQ(Contents(b).size(), 2u);
}

// (A read-only settings file cannot stand for an unwritable one here: the tests run as root
// under Wine, where even Wine's own profile functions write into it.)
TEST_F(SettingsTest, UnusableSettingsPlacesLoseNothingAndSayNothing) {
    // The current folder holds a Velmora.ini that must be neither read nor written.
    Store(iniPath, "make date", "false");
    SetCurrentDirectoryA(folder.c_str());
    const std::vector<std::string> before = Contents(folder);
    const std::string missingFolderIni = Path("missing") + "\\Velmora.ini";
    for (const std::string& ini : {missingFolderIni, std::string()}) {
        SCOPED_TRACE(ini.empty() ? "current folder unknown" : "folder missing");
        UseSettingsFile(ini);
        EXPECT_TRUE(Open().empty());
        EXPECT_EQ(Flags(), std::vector<std::int32_t>(4, 1));  // the defaults
        EXPECT_EQ(Shown(IDC_MAKE_DATE).substr(0, 10), Today());
        for (const CapturedBox& box : Close()) ADD_FAILURE() << "box: " << box.text;
        EXPECT_EQ(Contents(folder), before);
        EXPECT_FALSE(Exists(Path("missing")));
    }
    UseSettingsFile(iniPath);
}

// Started from a folder whose path is 240 characters long (the settings file's temporary
// neighbour would once pass the path limit there) or whose name the code page cannot spell, the
// program keeps its settings in that folder: written at close, read at the next start, and
// nothing else is left behind.
TEST_F(SettingsTest, SettingsLiveInLongAndNonAnsiStartFolders) {
    std::wstring longFolder = Wide(folder) + L"\\";
    longFolder.append(240 - longFolder.size(), L'l');
    const std::wstring folders[] = {longFolder, Wide(folder) + L"\\\ud55c\uae00 \U0001F600"};
    for (const std::wstring& start : folders) {
        SCOPED_TRACE(Utf8(start));
        ASSERT_TRUE(CreateDirectoryW(start.c_str(), nullptr));
        iniPathW = settings::SettingsPath(start);
        g_iniPath = iniPathW.c_str();
        EXPECT_TRUE(Open().empty());
        EXPECT_EQ(Flags(), std::vector<std::int32_t>(4, 1));
        SendMessageA(Item(IDC_MAKE_DATE_CHECK), BM_CLICK, 0, 0);
        EXPECT_TRUE(Close().empty());
        EXPECT_EQ(WideContents(start), std::vector<std::wstring>{L"Velmora.ini"});
        EXPECT_EQ(ReadProfileString(kSection, "make date", "<none>", 256, iniPathW), "false");
        EXPECT_EQ(ReadProfileString(kSection, "make date time", "", 256, iniPathW).size(), 19u);

        EXPECT_TRUE(Open().empty());
        EXPECT_EQ(Flags(), (std::vector<std::int32_t>{0, 1, 1, 1}));
        EXPECT_TRUE(Close().empty());
        EXPECT_EQ(WideContents(start), std::vector<std::wstring>{L"Velmora.ini"});
    }
    UseSettingsFile(iniPath);
}

}  // namespace
