// The file list and the ways files reach it, with the real main dialog created from its template
// under Wine, on real files in a temporary folder.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "settings/IniStore.h"
#include "stamp/WideText.h"

namespace {

// The zero value's text in a zone nine hours east of UTC (the tests run with TZ=JST-9).
const char kZeroText[] = "1970/01/01 09:00.00";
const char kZeroShown[] = "1970-01-01 09:00:00";

FileChoice Choice(const std::string& first, const std::vector<std::string>& paths) {
    FileChoice choice{Wide(first), {}};
    for (const std::string& path : paths) choice.paths.push_back(Wide(path));
    return choice;
}

// The main dialog with the members the tests call made public, and an open-file dialog that
// gives a prepared answer and notes the current directory it was opened in.
class ListDlg : public CVelmoraDlg {
  public:
    using CVelmoraDlg::AddFileRow;
    void AddFileRow(const std::string& path) { CVelmoraDlg::AddFileRow(Wide(path)); }

    bool chooseOk = false;
    FileChoice prepared;
    int chooseCalls = 0;
    std::string folderWhenChoosing;

    bool realDialog = false;  // the system's dialog instead of the prepared answer

  protected:
    bool ChooseFiles(FileChoice& choice) override {
        if (realDialog) return CVelmoraDlg::ChooseFiles(choice);
        ++chooseCalls;
        char folder[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof folder, folder);
        folderWhenChoosing = folder;
        if (chooseOk) choice = prepared;
        return chooseOk;
    }
};

std::string CurrentFolder() {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    return folder;
}

// A UTC file time, built by the system so the expectations do not lean on the program's own
// conversions.
FILETIME Utc(int y, int mo, int d, int h, int mi, int s) {
    const SYSTEMTIME r = Record(y, mo, d, h, mi, s);
    FILETIME t{};
    SystemTimeToFileTime(&r, &t);
    return t;
}

// Files are reached by their wide names in the long form, so that any name and length works.
HANDLE OpenForAttributes(const std::wstring& path, DWORD access) {
    return CreateFileW(LongPathForm(path).c_str(), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

FILETIME WriteTime(const std::wstring& path) {
    FILETIME write{};
    HANDLE h = OpenForAttributes(path, FILE_READ_ATTRIBUTES);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    GetFileTime(h, nullptr, nullptr, &write);
    CloseHandle(h);
    return write;
}

void SetWriteTime(const std::wstring& path, const FILETIME& write) {
    HANDLE h = OpenForAttributes(path, FILE_WRITE_ATTRIBUTES);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &write)) << Utf8(path);
    CloseHandle(h);
}
void SetWriteTime(const std::string& path, const FILETIME& write) {
    SetWriteTime(Wide(path), write);
}

// The two time columns a row of this file or folder must show: its times as GetFileTime
// reports them, a creation time of zero taking the last-write time.
std::vector<std::string> TimeTexts(const std::wstring& path) {
    HANDLE h = OpenForAttributes(path, FILE_READ_ATTRIBUTES);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    FILETIME creation{}, write{};
    EXPECT_TRUE(GetFileTime(h, &creation, nullptr, &write));
    CloseHandle(h);
    const StampTime w = StampTime::FromFileTime(write, -1);
    StampTime c = StampTime::FromFileTime(creation, -1);
    if (c == StampTime()) c = w;
    return {FormatStampText(c, c), FormatStampText(w, w)};
}
std::vector<std::string> TimeTexts(const std::string& path) { return TimeTexts(Wide(path)); }

void MakeFile(const std::wstring& path) {
    HANDLE h = CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    DWORD written = 0;
    WriteFile(h, "velmora", 7, &written, nullptr);
    CloseHandle(h);
}
void MakeFile(const std::string& path) { MakeFile(Wide(path)); }

// Wine keeps a parsed copy of a settings file and trusts it while the file's write time stays
// the same; two writes within one tick of the file system's clock look alike. The documented
// flush (all three names null) drops that copy, so Wine reads what is on the disk.
void ForgetWineCopy(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

std::string WineRead(const char* section, const char* key, const std::string& file) {
    ForgetWineCopy(file);
    char value[256] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file.c_str());
    return value;
}

bool WineWrite(const char* section, const char* key, const char* value, const std::string& file) {
    ForgetWineCopy(file);
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

// Closes a context menu as soon as it opens, after noting what it held.
class MenuCapture {
  public:
    struct Item {
        UINT id;
        std::string text;  // empty for a separator
        bool separator;
    };
    int opened = 0;
    UINT setFromFileState = 0;
    std::vector<Item> items;

    MenuCapture() {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
        // Should the menu not close, end it rather than hang the test.
        timer_ = SetTimer(nullptr, 0, 5000, Expired);
    }
    ~MenuCapture() {
        KillTimer(nullptr, timer_);
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }

  private:
    static void CALLBACK Expired(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ != nullptr && call->message == WM_INITMENUPOPUP) {
            current_->Note(reinterpret_cast<HMENU>(call->wParam));
            // The menu's own loop reads the key, whichever window it is posted to.
            PostMessageA(call->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Note(HMENU menu) {
        ++opened;
        setFromFileState = GetMenuState(menu, ID_SET_FROM_FILE, MF_BYCOMMAND);
        items.clear();
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const bool separator =
                (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
            items.push_back({GetMenuItemID(menu, i), text, separator});
        }
    }

    static MenuCapture* current_;
    HHOOK hook_;
    UINT_PTR timer_;
};
MenuCapture* MenuCapture::current_ = nullptr;

class FileListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "velmora-filelist-" + std::to_string(GetCurrentProcessId());
        // The command-line test names one file without quotes.
        ASSERT_EQ(folder.find(' '), std::string::npos) << folder;
        RemoveTree(folder);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        startFolder = CurrentFolder();
        iniPath = folder + "\\Velmora.ini";
        iniPathW = Wide(iniPath);
        g_iniPath = iniPathW.c_str();
        g_commandLine = L"";
    }
    void TearDown() override {
        Close();
        SetCurrentDirectoryA(startFolder.c_str());
        g_commandLine = L"";
        g_iniPath = L"";
        RemoveTree(folder);
    }

    void Open() {
        Close();
        dialog = std::make_unique<ListDlg>();
        TheTestApp().SetMainDialog(dialog.get());
        hwnd = dialog->Create(nullptr);
        ASSERT_NE(hwnd, nullptr);
        list = GetDlgItem(hwnd, IDC_FILE_LIST);
        Pump();
    }
    void Close() {
        if (dialog == nullptr) return;
        DestroyWindow(hwnd);
        Pump();
        TheTestApp().SetMainDialog(nullptr);
        dialog.reset();
        hwnd = list = nullptr;
    }

    std::string Path(const std::string& name) const { return folder + "\\" + name; }

    int RowCount() const { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const {
        std::vector<char> text(2048, '\0');
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text.data();
    }
    void SetCell(int row, int column, const std::string& text) const {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = const_cast<char*>(text.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < RowCount(); ++row) texts.push_back(Cell(row, column));
        return texts;
    }
    std::vector<std::string> Times(int row) const { return {Cell(row, 1), Cell(row, 2)}; }
    // Column 0 as the list holds it, wide.
    std::vector<std::wstring> Paths() const {
        std::vector<std::wstring> paths;
        std::vector<wchar_t> text(4096, L'\0');
        for (int row = 0; row < RowCount(); ++row) {
            LVITEMW item{};
            item.pszText = text.data();
            item.cchTextMax = static_cast<int>(text.size());
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
            paths.emplace_back(text.data());
        }
        return paths;
    }
    void Select(const std::vector<int>& rows) const {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED;
        for (int row : rows) {
            SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&state));
        }
    }
    void Command(int id) const { SendMessageA(hwnd, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // The list's key notification, as the list view sends it to the dialog.
    LRESULT ListKey(WORD key) const {
        NMLVKEYDOWN down{};
        down.hdr.hwndFrom = list;
        down.hdr.idFrom = IDC_FILE_LIST;
        down.hdr.code = LVN_KEYDOWN;
        down.wVKey = key;
        SendMessageA(hwnd, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&down));
        return GetWindowLongPtrA(hwnd, DWLP_MSGRESULT);
    }
    void SetPicker(int id, const SYSTEMTIME& r) const {
        SendMessageA(GetDlgItem(hwnd, id), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&r));
    }
    std::string Shown(int id) const {
        SYSTEMTIME r{};
        if (SendMessageA(GetDlgItem(hwnd, id), DTM_GETSYSTEMTIME, 0,
                         reinterpret_cast<LPARAM>(&r)) != GDT_VALID) {
            return "<none>";
        }
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", r.wYear, r.wMonth, r.wDay,
                      r.wHour, r.wMinute, r.wSecond);
        return text;
    }
    // Drops the names on the dialog as the shell does, as ANSI or as UTF-16 names.
    // A drop of wide names, as the shell makes it.
    void DropWide(const std::vector<std::wstring>& names) const {
        std::wstring payload;  // each name with its terminating zero, then a final zero
        for (const std::wstring& name : names) payload.append(name.c_str(), name.size() + 1);
        payload += L'\0';
        HGLOBAL data = GlobalAlloc(GHND, sizeof(DROPFILES) + payload.size() * sizeof(wchar_t));
        ASSERT_NE(data, nullptr);
        auto* header = static_cast<DROPFILES*>(GlobalLock(data));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        payload.copy(reinterpret_cast<wchar_t*>(header + 1), payload.size());
        GlobalUnlock(data);
        SendMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(data), 0);
    }
    void Drop(const std::vector<std::string>& names, bool wide = false) const {
        std::string payload;  // each name with its terminating zero, then a final zero
        for (const std::string& name : names) {
            if (wide) {
                std::wstring text(name.size(), L'\0');
                text.resize(static_cast<std::size_t>(
                    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()),
                                        &text[0], static_cast<int>(text.size()))));
                payload.append(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
            } else {
                payload.append(name.c_str(), name.size() + 1);
            }
        }
        payload.append(wide ? 2 : 1, '\0');
        HGLOBAL data = GlobalAlloc(GHND, sizeof(DROPFILES) + payload.size());
        ASSERT_NE(data, nullptr);
        auto* header = static_cast<DROPFILES*>(GlobalLock(data));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = wide ? TRUE : FALSE;
        payload.copy(reinterpret_cast<char*>(header + 1), payload.size());
        GlobalUnlock(data);
        // The program releases the data with DragFinish.
        SendMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(data), 0);
    }
    void ClickAdd() const {
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ADD, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDC_ADD)));
    }

    std::string folder;
    std::string startFolder;
    std::wstring iniPathW;
    std::string iniPath;
    std::unique_ptr<ListDlg> dialog;
    HWND hwnd = nullptr;
    HWND list = nullptr;
};

TEST_F(FileListTest, ColumnsAndRowsOfFilesFoldersAndMissingNames) {
    Open();
    EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
              LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
    const struct {
        const char* heading;
        int width;
    } columns[] = {{"ファイルパス", 200}, {"作成日時", 120}, {"更新日時", 120}};
    for (int i = 0; i < 3; ++i) {
        char heading[64] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = heading;
        column.cchTextMax = sizeof heading;
        ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(heading, columns[i].heading);
        EXPECT_EQ(column.cx, columns[i].width);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    EXPECT_EQ(RowCount(), 0);  // an empty command line adds nothing

    const std::string file = Path("a.txt"), sub = Path("sub");
    MakeFile(file);
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    MakeFile(sub + "\\inner.txt");
    SetWriteTime(file, Utc(2001, 2, 2, 19, 5, 6));
    SetWriteTime(sub, Utc(2002, 3, 3, 20, 6, 7));
    SetCurrentDirectoryA(folder.c_str());

    const struct {
        std::string path;
        std::string write;    // the last-write column
        std::string timesOf;  // the file whose times both columns show; empty: the zero value
    } rows[] = {
        {file, "2001/02/03 04:05.06", file},
        {sub, "2002/03/04 05:06.07", sub},
        {Path("missing.txt"), kZeroText, ""},
        {file, "2001/02/03 04:05.06", file},     // the same path again: a second row
        {"a.txt", "2001/02/03 04:05.06", file},  // relative, kept as given, read from here
    };
    for (const auto& row : rows) {
        dialog->AddFileRow(row.path);
        dialog->AddFileRow("");  // adds nothing
    }
    ASSERT_EQ(RowCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(rows[i].path);
        EXPECT_EQ(Cell(i, 0), rows[i].path);
        EXPECT_EQ(Cell(i, 2), rows[i].write);
        const std::vector<std::string> expected =
            rows[i].timesOf.empty() ? std::vector<std::string>{kZeroText, kZeroText}
                                    : TimeTexts(rows[i].timesOf);
        EXPECT_EQ(Times(i), expected);
    }
}

TEST_F(FileListTest, DeleteKeyAndRemoveCommandTakeTheSelectedRows) {
    Open();
    const struct {
        const char* name;
        BYTE modifier;  // held down while the key arrives; 0 for none
        bool menu;      // ID_REMOVE_SELECTED instead of the key
    } ways[] = {
        {"Delete", 0, false},
        {"Shift+Delete", VK_SHIFT, false},
        {"Ctrl+Delete", VK_CONTROL, false},
        {"Alt+Delete", VK_MENU, false},
        {"menu command", 0, true},
    };
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < 5; ++i) dialog->AddFileRow(Path("r" + std::to_string(i)));
        BYTE held[256];
        std::copy(keys, keys + 256, held);
        if (way.modifier != 0) held[way.modifier] = 0x80;
        SetKeyboardState(held);
        auto remove = [&] {
            if (way.menu) {
                Command(ID_REMOVE_SELECTED);
            } else {
                EXPECT_EQ(ListKey(VK_DELETE), 0);
            }
        };

        BoxCapture capture;
        Select({1, 3, 4});
        remove();
        EXPECT_EQ(Column(0), (std::vector<std::string>{Path("r0"), Path("r2")}));
        EXPECT_TRUE(capture.boxes.empty());

        Select({});
        remove();
        SetKeyboardState(keys);
        EXPECT_EQ(Column(0), (std::vector<std::string>{Path("r0"), Path("r2")}));
        ASSERT_EQ(capture.boxes.size(), 1u);
        EXPECT_EQ(capture.boxes[0].text, "ファイルが選択されていません");
        EXPECT_EQ(capture.boxes[0].caption, "ファイルリストの削除");
        EXPECT_EQ(capture.boxes[0].icon, "information");
        EXPECT_EQ(capture.boxes[0].owner, hwnd);
    }

    // Another key removes nothing and says nothing.
    BoxCapture capture;
    Select({0});
    EXPECT_EQ(ListKey(VK_BACK), 0);
    EXPECT_EQ(RowCount(), 2);

    // Removing all rows: silently, also from an empty list.
    Command(ID_REMOVE_ALL);
    EXPECT_EQ(RowCount(), 0);
    Command(ID_REMOVE_ALL);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_TRUE(capture.boxes.empty());
}

TEST_F(FileListTest, ContextMenuOnTheListOnly) {
    Open();
    for (int i = 0; i < 3; ++i) dialog->AddFileRow(Path("r" + std::to_string(i)));
    auto contextMenu = [&](HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        const LPARAM point = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), point);
        Pump();
    };

    const struct {
        std::vector<int> selected;
        UINT state;
    } cases[] = {{{}, MF_GRAYED}, {{1}, MF_ENABLED}, {{0, 2}, MF_GRAYED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected.size());
        Select(c.selected);
        MenuCapture menu;
        contextMenu(list);
        ASSERT_EQ(menu.opened, 1);
        EXPECT_EQ(menu.setFromFileState & (MF_GRAYED | MF_DISABLED),
                  c.state == MF_GRAYED ? static_cast<UINT>(MF_GRAYED | MF_DISABLED) : 0u);
        const MenuCapture::Item expected[] = {
            {ID_REMOVE_SELECTED, "選択ファイルをリストから削除(&D)", false},
            {ID_REMOVE_ALL, "全てのファイルをリストから削除(&L)", false},
            {0, "", true},
            {ID_SET_FROM_FILE, "変更日時に設定する(&C)", false},
            {0, "", true},
            {ID_OPTIONS, "オプション設定(&O)...", false},
            {0, "", true},
            {ID_ABOUT, "バージョン情報(&A)...", false},
        };
        ASSERT_EQ(menu.items.size(), 8u);
        for (std::size_t i = 0; i < 8; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(menu.items[i].separator, expected[i].separator);
            EXPECT_EQ(menu.items[i].text, expected[i].text);
            if (!expected[i].separator) {
                EXPECT_EQ(menu.items[i].id, expected[i].id);
            }
        }
    }
    EXPECT_EQ(Column(0).size(), 3u);  // closing the menu chose nothing

    Select({1});
    for (HWND other : {GetDlgItem(hwnd, IDC_ADD), GetDlgItem(hwnd, IDC_MAKE_DATE), hwnd}) {
        MenuCapture menu;
        contextMenu(other);
        EXPECT_EQ(menu.opened, 0) << other;
    }
}

TEST_F(FileListTest, SetPickersFromRowFillsThePickersOnly) {
    Open();
    const StampTime member = StampTime::FromFields(2005, 5, 5, 5, 5, 5, -1);
    const SYSTEMTIME before = Record(2020, 6, 7, 8, 9, 10);
    const std::string shownBefore = "2020-06-07 08:09:10";
    const std::string good = "2003/04/05 06:07.08", goodShown = "2003-04-05 06:07:08";
    const struct {
        const char* name;
        const char* creation;  // column texts put into the row; null: as the row was added
        const char* write;
        std::string make, modify;  // what the creation and the modification pickers show
        bool error;
    } cases[] = {
        {"good row", good.c_str(), "2011/12/13 14:15.16", goodShown, "2011-12-13 14:15:16", false},
        {"missing file", nullptr, nullptr, kZeroShown, kZeroShown, false},
        {"empty times", "", "", shownBefore, shownBefore, true},
        {"creation good, write empty", good.c_str(), "", goodShown, shownBefore, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (int i = 0; i < 3; ++i) dialog->AddFileRow(Path("missing" + std::to_string(i)));
        if (c.creation != nullptr) {
            SetCell(1, 1, c.creation);
            SetCell(1, 2, c.write);
        }
        for (int column : {1, 2}) SetCell(2, column, "2015/05/05 05:05.05");
        Select({1, 2});  // the lowest selected row counts
        dialog->m_tMakeDate = dialog->m_tMakeTime = member;
        dialog->m_tModifyDate = dialog->m_tModifyTime = member;
        for (int id : {IDC_MAKE_DATE, IDC_MAKE_TIME, IDC_MODIFY_DATE, IDC_MODIFY_TIME}) {
            SetPicker(id, before);
        }

        BoxCapture capture;
        Command(ID_SET_FROM_FILE);
        EXPECT_EQ(Shown(IDC_MAKE_DATE), c.make);
        EXPECT_EQ(Shown(IDC_MAKE_TIME), c.make);
        EXPECT_EQ(Shown(IDC_MODIFY_DATE), c.modify);
        EXPECT_EQ(Shown(IDC_MODIFY_TIME), c.modify);
        for (const StampTime* value : {&dialog->m_tMakeDate, &dialog->m_tMakeTime,
                                       &dialog->m_tModifyDate, &dialog->m_tModifyTime}) {
            EXPECT_EQ(*value, member);
        }
        ASSERT_EQ(capture.boxes.size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_EQ(capture.boxes[0].icon, "stop");
            EXPECT_EQ(capture.boxes[0].text, SystemText(StampTimeError::kFail));
            EXPECT_EQ(capture.boxes[0].caption, TheTestApp().AppName());
            EXPECT_EQ(capture.boxes[0].owner, hwnd);
        }
    }
}

TEST_F(FileListTest, DropAppendsEveryNameWholeAndRestoresThePickers) {
    Open();
    const std::string file = Path("a.txt"), other = Path("b.txt");
    MakeFile(file);
    MakeFile(other);
    SetWriteTime(other, Utc(2001, 2, 2, 19, 5, 6));
    dialog->AddFileRow(file);

    std::string longName = folder + "\\";
    longName.append(300 - longName.size(), 'n');
    ASSERT_EQ(longName.size(), 300u);
    dialog->m_tMakeDate = StampTime::FromFields(2005, 5, 5, 5, 5, 5, -1);
    dialog->m_bModifyTime = 1;
    SetPicker(IDC_MAKE_DATE, Record(2020, 6, 7, 8, 9, 10));
    SendMessageA(GetDlgItem(hwnd, IDC_MODIFY_TIME_CHECK), BM_SETCHECK, BST_UNCHECKED, 0);

    BoxCapture capture;
    Drop({other, Path("missing.txt"), file, longName});
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{file, other, Path("missing.txt"), file, longName}));
    EXPECT_EQ(Cell(1, 2), "2001/02/03 04:05.06");
    EXPECT_EQ(Times(1), TimeTexts(other));
    EXPECT_EQ(Times(2), (std::vector<std::string>{kZeroText, kZeroText}));
    EXPECT_EQ(Times(3), TimeTexts(file));
    EXPECT_EQ(Times(4), (std::vector<std::string>{kZeroText, kZeroText}));
    EXPECT_EQ(Shown(IDC_MAKE_DATE), "2005-05-05 05:05:05");
    EXPECT_EQ(SendMessageA(GetDlgItem(hwnd, IDC_MODIFY_TIME_CHECK), BM_GETCHECK, 0, 0),
              BST_CHECKED);

    // The shell's own drops carry UTF-16 names: a double-byte name comes whole as well.
    const std::string wideName = Path("表表表.txt");
    MakeFile(wideName);
    Drop({wideName}, true);
    ASSERT_EQ(RowCount(), 6);
    EXPECT_EQ(Cell(5, 0), wideName);
    EXPECT_EQ(Times(5), TimeTexts(wideName));
    EXPECT_TRUE(capture.boxes.empty());
}

TEST_F(FileListTest, OpenFileDialogReplacesTheRowsAndRemembersTheFolder) {
    Open();
    const std::string file = Path("a.txt"), start = Path("start");
    MakeFile(file);
    SetWriteTime(file, Utc(2001, 2, 2, 19, 5, 6));
    ASSERT_TRUE(CreateDirectoryA(start.c_str(), nullptr));

    std::vector<std::string> manyPaths{file};
    for (int i = 1; i < 250; ++i) manyPaths.push_back(Path("f" + std::to_string(i) + ".txt"));
    const FileChoice many = Choice(folder, manyPaths);
    const std::vector<std::string> first200(manyPaths.begin(), manyPaths.begin() + 200);
    const struct {
        const char* name;
        bool ok;
        FileChoice choice;
        std::vector<std::string> rows;  // empty: the old row stays
        std::string stored;             // empty: the settings file stays as it was
    } cases[] = {
        {"250 files", true, many, first200, folder},
        {"one file",
         true,
         Choice("X:\\dir\\a.txt", {"X:\\dir\\a.txt"}),
         {"X:\\dir\\a.txt"},
         "X:\\dir"},
        // The last byte of 表 is the backslash's: the folder ends before the real backslash.
        {"one file ending in 表",
         true,
         Choice("X:\\dir\\表", {"X:\\dir\\表"}),
         {"X:\\dir\\表"},
         "X:\\dir"},
        {"several files",
         true,
         Choice("X:\\dir", {"X:\\dir\\a.txt", "X:\\dir\\b.txt"}),
         {"X:\\dir\\a.txt", "X:\\dir\\b.txt"},
         "X:\\dir"},
        // A drive's root is stored as the root, not as the drive's current folder.
        {"one file in a root", true, Choice("X:\\a.txt", {"X:\\a.txt"}), {"X:\\a.txt"}, "X:\\"},
        {"several files in a root (classic dialog)",
         true,
         Choice("X:\\", {"X:\\a.txt", "X:\\b.txt"}),
         {"X:\\a.txt", "X:\\b.txt"},
         "X:\\"},
        {"several files in a root (item-based dialog)",
         true,
         Choice("X:", {"X:\\a.txt", "X:\\b.txt"}),
         {"X:\\a.txt", "X:\\b.txt"},
         "X:\\"},
        {"cancel", false, Choice("X:\\dir\\a.txt", {"X:\\dir\\a.txt"}), {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(iniPath.c_str());
        ASSERT_TRUE(WineWrite("Settings", "path", start.c_str(), iniPath));
        const std::string iniBefore = FileBytes(iniPath);
        SetCurrentDirectoryA(folder.c_str());
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        dialog->AddFileRow(Path("old.txt"));
        dialog->chooseOk = c.ok;
        dialog->prepared = c.choice;
        dialog->chooseCalls = 0;

        BoxCapture capture;
        ClickAdd();
        EXPECT_EQ(dialog->chooseCalls, 1);
        EXPECT_EQ(dialog->folderWhenChoosing, start);  // the stored folder, made current
        EXPECT_TRUE(capture.boxes.empty());
        if (c.ok) {
            EXPECT_EQ(Column(0), c.rows);
            EXPECT_EQ(WineRead("Settings", "path", iniPath), c.stored);
        } else {
            EXPECT_EQ(Column(0), std::vector<std::string>{Path("old.txt")});
            EXPECT_EQ(FileBytes(iniPath), iniBefore);
        }
    }
    // A folder the settings file's code page cannot spell exactly is not stored: a best-fit
    // spelling would open the dialog somewhere else next time. The rows still come in.
    for (const wchar_t* chosen : {L"X:\\\ud55c\uae00\\a.txt", L"X:\\a\u00a5b\\a.txt"}) {
        SCOPED_TRACE(Utf8(chosen));
        ASSERT_TRUE(WineWrite("Settings", "path", start.c_str(), iniPath));
        const std::string iniBefore = FileBytes(iniPath);
        dialog->chooseOk = true;
        dialog->prepared = FileChoice{chosen, {chosen}};
        ClickAdd();
        EXPECT_EQ(Paths(), std::vector<std::wstring>{chosen});
        EXPECT_EQ(FileBytes(iniPath), iniBefore);
    }
    // The rows of the last accepted choice carry the times read from the files.
    dialog->chooseOk = true;
    dialog->prepared = many;
    ClickAdd();
    ASSERT_EQ(RowCount(), 200);
    EXPECT_EQ(Cell(0, 2), "2001/02/03 04:05.06");
    EXPECT_EQ(Times(0), TimeTexts(file));
    EXPECT_EQ(Times(199), (std::vector<std::string>{kZeroText, kZeroText}));
}

// The first edit control of the open-file dialog: under Wine, the file name.
BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The add command does not ask that the file exist: a typed name that names no file is taken,
// and its row shows the zero value. The item-based dialog asks for existence by default
// (FOS_FILEMUSTEXIST) and would answer "file not found"; the program clears that option, as the
// classic dialog's flags do not ask for it either.
TEST_F(FileListTest, RealOpenFileDialogTakesANameThatDoesNotExist) {
    Open();
    const std::string typed = Path("typed.txt");
    HWND chooser = nullptr;
    BoxCapture capture([&](HWND window) {
        if (window == hwnd || chooser != nullptr) return;
        chooser = window;
        HWND edit = nullptr;
        EnumChildWindows(window, FindEdit, reinterpret_cast<LPARAM>(&edit));
        if (edit != nullptr) SetWindowTextA(edit, typed.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // closes it should OK be refused
    });
    dialog->realDialog = true;
    ClickAdd();
    EXPECT_NE(chooser, nullptr);
    for (const CapturedBox& box : capture.boxes) ADD_FAILURE() << "box: " << box.text;
    EXPECT_EQ(Column(0), std::vector<std::string>{typed});
    EXPECT_EQ(Times(0), (std::vector<std::string>{kZeroText, kZeroText}));
    EXPECT_EQ(WineRead("Settings", "path", iniPath), folder);
}

TEST_F(FileListTest, SettingsFilesAreSharedWithWinesProfileFunctions) {
    const struct {
        bool byOurs;  // in the first round; the second round swaps the writers
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {
        {true, "Settings", "path", "C:\\表\\dir"}, {false, "Settings", "day", "表"},
        {false, "SETTINGS", "Path", "D:\\表"},  // the same key, spelled otherwise
        {true, "settings", "Mode", "2"},           {false, "Other", "path", "x"},
        {true, "OTHER", "extra", "表\\表"},
    };
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } reads[] = {
        {"settings", "PATH", "D:\\表"}, {"Settings", "DAY", "表"},
        {"SETTINGS", "mode", "2"},      {"other", "Path", "x"},
        {"Other", "Extra", "表\\表"},   {"Settings", "none", "<none>"},
        {"None", "path", "<none>"},
    };
    for (bool swap : {false, true}) {
        SCOPED_TRACE(swap ? "Wine writes first" : "ours writes first");
        const std::string file = Path(swap ? "second.ini" : "first.ini");
        for (const auto& w : writes) {
            if (w.byOurs != swap) {
                EXPECT_TRUE(WriteProfileString(w.section, w.key, w.value, Wide(file))) << w.key;
            } else {
                EXPECT_TRUE(WineWrite(w.section, w.key, w.value, file)) << w.key;
            }
        }
        for (const auto& r : reads) {
            SCOPED_TRACE(std::string(r.section) + "/" + r.key);
            EXPECT_EQ(WineRead(r.section, r.key, file), r.value);
            EXPECT_EQ(ReadProfileString(r.section, r.key, "<none>", 256, Wide(file)), r.value);
        }
    }
}

TEST_F(FileListTest, CommandLineNamesBecomeRowsAndTheLastFolderCurrent) {
    const std::string sub = Path("sub dir");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    const std::string names[] = {Path("a b.txt"), Path("c.txt"), sub + "\\表表.txt"};
    for (const std::string& name : names) {
        MakeFile(name);
        SetWriteTime(name, Utc(2001, 2, 2, 19, 5, 6));
    }
    const std::string line = "\"" + names[0] + "\" " + names[1] + " \"" + names[2] + "\"";
    const std::wstring wideLine = Wide(line);
    g_commandLine = wideLine.c_str();
    SetCurrentDirectoryA(folder.c_str());
    Open();

    EXPECT_EQ(Column(0), (std::vector<std::string>{names[0], names[1], names[2]}));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Cell(row, 2), "2001/02/03 04:05.06") << names[row];
        EXPECT_EQ(Times(row), TimeTexts(names[row])) << names[row];
    }
    // The folder of the last name: the second byte of 表 (a backslash's byte) is no separator.
    EXPECT_EQ(CurrentFolder(), sub);
    SaveScreenshot(hwnd, "filelist-command-line");
}

// Names as the file system spells them reach the rows and the run from each source: a name
// outside code page 932, one with a character outside the BMP, one whose best-fit ANSI spelling
// names another existing file (under code page 932 the yen sign's best fit is the backslash, so
// "a¥b.txt" would become "a\b.txt", a file in the folder "a"), and a path of over 300
// characters. Each row shows its file's times; Run stamps each file and leaves the other one as
// it was. Wine's item-based dialog hangs on a typed name longer than MAX_PATH, so the long path
// comes from the command line and the drop only.
TEST_F(FileListTest, NamesAsTheFileSystemSpellsThemFromEverySource) {
    const std::wstring base = Wide(folder);
    ASSERT_TRUE(CreateDirectoryW((base + L"\\a").c_str(), nullptr));
    const std::wstring twin = base + L"\\a\\b.txt";
    std::wstring deep = base + L"\\" + std::wstring(120, L'd');
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    deep += L"\\" + std::wstring(120, L'e');
    ASSERT_TRUE(CreateDirectoryW(LongPathForm(deep).c_str(), nullptr));
    const std::vector<std::wstring> names = {
        base + L"\\\ud55c\uae00.txt",                      // Korean
        base + L"\\caf\u00e9 \U0001F600.jpg",              // outside the BMP
        base + L"\\a\u00a5b.txt",                          // best fit: a\b.txt
        deep + L"\\" + std::wstring(70, L'f') + L".txt"};  // a long path
    ASSERT_GT(names[3].size(), 300u);
    for (const std::wstring& name : names) MakeFile(name);
    MakeFile(twin);
    const FILETIME old = Utc(2001, 2, 2, 19, 5, 6);
    SetWriteTime(twin, old);

    const std::vector<std::wstring> shortNames(names.begin(), names.begin() + 3);
    // The item-based dialog gets the names typed into its name box, each quoted.
    auto typeNames = [&](HWND window) {
        HWND edit = nullptr;
        EnumChildWindows(window, FindEdit, reinterpret_cast<LPARAM>(&edit));
        std::wstring typed;
        for (const std::wstring& name : shortNames) typed += L"\"" + name + L"\" ";
        if (edit != nullptr) SetWindowTextW(edit, typed.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // closes it should OK be refused
    };
    std::wstring line;
    for (const std::wstring& name : names) line += L"\"" + name + L"\" ";
    const char* sources[] = {"command line", "wide drop", "open-file dialog"};
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        for (const std::wstring& name : names) SetWriteTime(name, old);
        g_commandLine = std::string(source) == "command line" ? line.c_str() : L"";
        Open();
        g_commandLine = L"";
        const bool fromDialog = std::string(source) == "open-file dialog";
        const std::vector<std::wstring>& listed = fromDialog ? shortNames : names;
        const int count = static_cast<int>(listed.size());
        if (std::string(source) == "wide drop") DropWide(names);
        if (fromDialog) {
            BoxCapture capture([&](HWND window) {
                if (window != hwnd) typeNames(window);
            });
            dialog->realDialog = true;
            ClickAdd();
            for (const CapturedBox& box : capture.boxes) ADD_FAILURE() << "box: " << box.text;
        }
        ASSERT_EQ(Paths(), listed);
        for (int row = 0; row < count; ++row) {
            EXPECT_EQ(Times(row), TimeTexts(names[row])) << Utf8(names[row]);
            EXPECT_EQ(Cell(row, 2), "2001/02/03 04:05.06") << Utf8(names[row]);
        }

        // Run with the modification date and time picked.
        for (int id : {IDC_MAKE_DATE_CHECK, IDC_MAKE_TIME_CHECK}) {
            SendMessageA(GetDlgItem(hwnd, id), BM_SETCHECK, BST_UNCHECKED, 0);
        }
        for (int id : {IDC_MODIFY_DATE_CHECK, IDC_MODIFY_TIME_CHECK}) {
            SendMessageA(GetDlgItem(hwnd, id), BM_SETCHECK, BST_CHECKED, 0);
        }
        SetPicker(IDC_MODIFY_DATE, Record(2010, 9, 21, 0, 0, 0));
        SetPicker(IDC_MODIFY_TIME, Record(2000, 1, 1, 14, 5, 7));
        BoxCapture capture;
        Command(IDC_RUN);
        ASSERT_EQ(capture.boxes.size(), 1u);
        EXPECT_EQ(capture.boxes[0].text,
                  std::to_string(count) + "件のタイムスタンプ変更に成功しました。");
        const FILETIME picked = Utc(2010, 9, 21, 5, 5, 7);  // 14:05:07 in Tokyo
        for (int row = 0; row < count; ++row) {
            const FILETIME now = WriteTime(names[row]);
            EXPECT_EQ(CompareFileTime(&picked, &now), 0) << Utf8(names[row]);
            EXPECT_EQ(Cell(row, 2), "2010/09/21 14:05.07") << Utf8(names[row]);
        }
        const FILETIME twinNow = WriteTime(twin);
        EXPECT_EQ(CompareFileTime(&old, &twinNow), 0) << "the best-fit twin was touched";
        SaveScreenshot(hwnd, std::string("filelist-wide-") + (source[0] == 'c'   ? "command-line"
                                                              : source[0] == 'w' ? "drop"
                                                                                 : "dialog"));
        Close();
    }
}

// A drop block is read up to its own end and no further: a last name that the block's end cuts
// off (no terminating zero inside the block) is left out, in a wide block and in an ANSI one.
TEST_F(FileListTest, DropNeverReadsPastItsBlock) {
    Open();
    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide" : "ANSI");
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        const std::wstring whole = L"X:\\whole.txt";
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(DROPFILES) + 64);
        ASSERT_NE(data, nullptr);
        const SIZE_T size = GlobalSize(data);  // the block as the program sees it
        auto* header = static_cast<DROPFILES*>(GlobalLock(data));
        *header = DROPFILES{};
        header->pFiles = sizeof(DROPFILES);
        header->fWide = wide ? TRUE : FALSE;
        // One whole name, then a name that runs up to the block's last byte.
        char* block = reinterpret_cast<char*>(header + 1);
        std::fill(block, reinterpret_cast<char*>(header) + size, 'c');
        for (std::size_t i = 0; i <= whole.size(); ++i) {
            if (wide) {
                reinterpret_cast<wchar_t*>(block)[i] = whole.c_str()[i];
            } else {
                block[i] = static_cast<char>(whole.c_str()[i]);
            }
        }
        GlobalUnlock(data);
        SendMessageA(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(data), 0);
        EXPECT_EQ(Paths(), std::vector<std::wstring>{whole});
    }
}

// Column 0 of each row as the list view paints it (through WM_PRINTCLIENT, into a bitmap of its
// own), inside the grid lines: one 0x00RRGGBB value a pixel, row by row.
struct CellPixels {
    int width = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    // The pixels of the columns [0, columns).
    std::vector<DWORD> Left(int columns) const {
        std::vector<DWORD> strip;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            if (static_cast<int>(i) % width < columns) strip.push_back(pixels[i]);
        }
        return strip;
    }
};

std::vector<CellPixels> PathCells(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(list);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                 PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const DWORD* image = static_cast<const DWORD*>(bits);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT column{};
    SendMessageA(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&column));
    std::vector<CellPixels> cells;
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&bounds));
        CellPixels cell;
        cell.width = column.right - column.left - 2;
        for (int y = bounds.top + 1; y < bounds.bottom - 1; ++y) {
            for (int x = column.left + 1; x < column.right - 1; ++x) {
                cell.pixels.push_back(image[y * client.right + x] & 0xFFFFFF);
            }
        }
        cells.push_back(cell);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list, screen);
    return cells;
}

DWORD Rgb(int systemColor) {
    const COLORREF c = GetSysColor(systemColor);
    return (static_cast<DWORD>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Files of one folder whose path is too long for the path column: each row still shows its drive
// and its file name, the path losing characters in its middle, and its tip gives the whole path;
// a path that fits has no tip. A selected row is highlighted while the list has the focus.
TEST_F(FileListTest, LongPathsKeepTheirDriveAndFileName) {
    std::string deep = folder;
    for (const char* part :
         {"\\release-build-output-of-the-project", "\\intermediate-files-and-objects",
          "\\for-the-windows-x86-target-platform"}) {
        deep += part;
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    const std::string drive = folder.substr(0, 3);  // "C:\"
    const std::vector<std::string> paths = {deep + "\\alpha.txt", deep + "\\beta-notes.txt",
                                            deep + "\\gamma.log", drive + "a.txt"};
    ASSERT_GT(paths[0].size(), 140u);
    Open();
    // The list view talks UTF-16 to the dialog, so that its tips come as LVN_GETINFOTIPW.
    EXPECT_TRUE(SendMessageA(list, LVM_GETUNICODEFORMAT, 0, 0));
    for (const std::string& path : paths) {
        if (path != paths.back()) MakeFile(path);
        dialog->AddFileRow(path);
    }
    ASSERT_EQ(Column(0), paths);  // the rows keep the whole paths

    auto tip = [&](int row) {
        std::vector<wchar_t> text(1024, L'\0');
        NMLVGETINFOTIPW request{};
        request.hdr.hwndFrom = list;
        request.hdr.idFrom = IDC_FILE_LIST;
        request.hdr.code = LVN_GETINFOTIPW;
        request.pszText = text.data();
        request.cchTextMax = static_cast<int>(text.size());
        request.iItem = row;
        SendMessageW(hwnd, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&request));
        return std::wstring(text.data());
    };
    for (int row = 0; row < 3; ++row) EXPECT_EQ(tip(row), Wide(paths[row])) << row;
    EXPECT_EQ(tip(3), L"");

    // The names are the only difference between the long paths: cut at their end, the rows would
    // look the same. The drive starts each row as it starts the short path.
    const std::vector<CellPixels> cells = PathCells(list);
    ASSERT_EQ(cells.size(), 4u);
    HDC dc = GetDC(list);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    SIZE driveSize{};
    GetTextExtentPoint32A(dc, drive.c_str(), static_cast<int>(drive.size()), &driveSize);
    SelectObject(dc, oldFont);
    ReleaseDC(list, dc);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(paths[row]);
        EXPECT_EQ(cells[row].Left(driveSize.cx), cells[3].Left(driveSize.cx));
        for (int other = row + 1; other < 3; ++other) {
            EXPECT_NE(cells[row].pixels, cells[other].pixels) << paths[other];
        }
    }
    EXPECT_EQ(cells[0].At(cells[0].width - 1, 1), Rgb(COLOR_WINDOW));

    Select({1});
    SetFocus(list);
    ASSERT_EQ(GetFocus(), list);
    const std::vector<CellPixels> focused = PathCells(list);
    EXPECT_EQ(focused[1].At(focused[1].width - 1, 1), Rgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(focused[0].pixels, cells[0].pixels);
    SaveScreenshot(hwnd, "filelist-long-paths");
}

// The link's hand cursor as the program carries it: one 32 x 32 image in 16 colours (4 bits a
// pixel, where a 2-colour cursor has 1) with its AND mask, the hot spot on the fingertip.
TEST(LinkCursorTest, HandIs32By32In16Colours) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(IDC_HAND_CURSOR), RT_GROUP_CURSOR);
    ASSERT_NE(group, nullptr);
    // The group: reserved word, type, count, then a 14-byte entry per image ending with its id.
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(directory, nullptr);
    WORD count = 0, id = 0;
    std::memcpy(&count, directory + 4, sizeof count);
    std::memcpy(&id, directory + 6 + 12, sizeof id);
    ASSERT_EQ(count, 1);
    const HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(id), RT_CURSOR);
    ASSERT_NE(image, nullptr);
    // The image: the hot spot, then the bitmap header, the palette, the colours and the mask.
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
    ASSERT_NE(data, nullptr);
    WORD hotSpot[2] = {};
    BITMAPINFOHEADER header{};
    std::memcpy(hotSpot, data, sizeof hotSpot);
    std::memcpy(&header, data + sizeof hotSpot, sizeof header);
    EXPECT_EQ(hotSpot[0], 12);
    EXPECT_EQ(hotSpot[1], 1);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64);  // the colours and the mask
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(SizeofResource(module, image), 4u + 40 + 16 * 4 + 32 * 16 + 32 * 4);
}

// The cursors seen by the list view while rows come in or the run writes them.
std::vector<HCURSOR> g_cursorsSeen;
WNDPROC g_listProc = nullptr;
LRESULT CALLBACK NoteCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_INSERTITEMW || message == LVM_SETITEMTEXTW) {
        g_cursorsSeen.push_back(GetCursor());
    }
    return CallWindowProcW(g_listProc, window, message, wParam, lParam);
}

// Work that can take seconds shows the wait cursor for as long as it runs, and the cursor from
// before again afterwards, also when the work ends in an error.
TEST_F(FileListTest, WaitCursorWhileTheWorkRuns) {
    const std::string file = Path("a.txt"), old = Path("old.txt");
    MakeFile(file);
    MakeFile(old);
    {
        const SYSTEMTIME r = Record(1950, 6, 1, 0, 0, 0);  // a time a StampTime cannot hold
        FILETIME t{};
        SystemTimeToFileTime(&r, &t);
        HANDLE h = OpenForAttributes(Wide(old), FILE_WRITE_ATTRIBUTES);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(h, &t, nullptr, &t));
        CloseHandle(h);
    }
    Open();
    g_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteCursor)));
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    const struct {
        const char* name;
        std::function<void()> work;
        std::size_t boxes;
    } cases[] = {
        {"a drop",
         [&] {
             DropWide({Wide(file), Wide(file)});
         },
         0},
        {"the open-file dialog's files",
         [&] {
             dialog->chooseOk = true;
             dialog->prepared = Choice(file, {file});
             ClickAdd();
         },
         0},
        {"a drop that ends in an error",
         [&] {
             DropWide({Wide(file), Wide(old), Wide(file)});
         },
         1},
        {"the run",
         [&] {
             SendMessageA(GetDlgItem(hwnd, IDC_MODIFY_DATE_CHECK), BM_SETCHECK, BST_CHECKED, 0);
             Command(IDC_RUN);
         },
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_cursorsSeen.clear();
        SetCursor(arrow);
        BoxCapture capture;
        c.work();
        EXPECT_EQ(capture.boxes.size(), c.boxes);
        ASSERT_FALSE(g_cursorsSeen.empty());
        for (HCURSOR seen : g_cursorsSeen) EXPECT_EQ(seen, wait);
        EXPECT_EQ(GetCursor(), arrow);
    }
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
}

}  // namespace
