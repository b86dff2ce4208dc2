// The real main dialog and About box, created from the real templates under Wine and driven
// message by message.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>

#include "DialogTestSupport.h"
#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/Layout.h"

namespace {

// The main dialog, counting its exchanges. During a push it sends itself the notifications that
// setting a picker or a check box can cause, which must start no handler.
class ProbeDlg : public CVelmoraDlg {
  public:
    int pulls = 0;
    bool notifyDuringPush = false;

  protected:
    void DoDataExchange(DataExchange& dx) override {
        if (dx.Saving()) ++pulls;
        if (!dx.Saving() && notifyDuringPush) SendChanges(Hwnd());
        CVelmoraDlg::DoDataExchange(dx);
    }

  public:
    static void SendChanges(HWND dialog) {
        NMDATETIMECHANGE change{};
        change.nmhdr.hwndFrom = GetDlgItem(dialog, IDC_MAKE_DATE);
        change.nmhdr.idFrom = IDC_MAKE_DATE;
        change.nmhdr.code = DTN_DATETIMECHANGE;
        SendMessageA(dialog, WM_NOTIFY, IDC_MAKE_DATE, reinterpret_cast<LPARAM>(&change));
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_MAKE_DATE_CHECK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_MAKE_DATE_CHECK)));
    }
};

StampTime Local(int y, int mo, int d, int h, int mi, int s) {
    return StampTime::FromFields(y, mo, d, h, mi, s, -1);
}

class MainDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TheTestApp().SetMainDialog(&dialog);
        hwnd = dialog.Create(nullptr);
        ASSERT_NE(hwnd, nullptr);
        Pump();
    }
    void TearDown() override {
        BoxCapture capture;  // a picker left out of range makes the closing writes fail
        DestroyWindow(hwnd);
        Pump();
        TheTestApp().SetMainDialog(nullptr);
    }

    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Checked(int id) const {
        return static_cast<int>(SendMessageA(Item(id), BM_GETCHECK, 0, 0));
    }
    void Click(int id) {
        SendMessageA(Item(id), BM_CLICK, 0, 0);
        Pump();
    }
    // Clicks the check boxes whose state differs from the one wanted, as a user would.
    void Tick(bool makeDate, bool makeTime, bool modifyDate, bool modifyTime) {
        const std::pair<int, bool> wanted[] = {{IDC_MAKE_DATE_CHECK, makeDate},
                                               {IDC_MAKE_TIME_CHECK, makeTime},
                                               {IDC_MODIFY_DATE_CHECK, modifyDate},
                                               {IDC_MODIFY_TIME_CHECK, modifyTime}};
        for (const auto& w : wanted) {
            if ((Checked(w.first) == BST_CHECKED) != w.second) Click(w.first);
        }
    }
    // Sets a picker as the user's edit would show, without the notice (which would pull).
    void SetPicker(int id, const SYSTEMTIME& r) {
        Dialog::QuietControls quiet(dialog);
        SendMessageA(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&r));
    }
    StampTime Shown(int id) {
        SYSTEMTIME r{};
        EXPECT_EQ(SendMessageA(Item(id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&r)),
                  GDT_VALID);
        return StampTime::FromSystemTime(r, -1);
    }
    RECT Place(int id) const {
        RECT r{};
        GetWindowRect(Item(id), &r);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Each picker is enabled exactly when its flag is on; the arrow when a creation part is.
    void ExpectEnablingHolds() {
        EXPECT_EQ(Enabled(IDC_MAKE_DATE), dialog.m_bMakeDate != 0);
        EXPECT_EQ(Enabled(IDC_MAKE_TIME), dialog.m_bMakeTime != 0);
        EXPECT_EQ(Enabled(IDC_MODIFY_DATE), dialog.m_bModifyDate != 0);
        EXPECT_EQ(Enabled(IDC_MODIFY_TIME), dialog.m_bModifyTime != 0);
        EXPECT_EQ(Enabled(IDC_COPY_TO_MODIFY), dialog.m_bMakeDate != 0 || dialog.m_bMakeTime != 0);
    }

    ProbeDlg dialog;
    HWND hwnd = nullptr;
};

TEST_F(MainDialogTest, AfterInitialisation) {
    SaveScreenshot(hwnd, "main-template-size");
    EXPECT_EQ(GetFocus(), Item(IDC_ADD));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_WEB_LINK)));
    ExpectEnablingHolds();

    char text[64] = "";
    GetWindowTextA(Item(IDC_MAKE_TIME), text, sizeof text);
    const std::string shown = text;
    ASSERT_EQ(shown.size(), 8u) << shown;
    EXPECT_EQ(shown[2], ':');
    EXPECT_EQ(shown[5], ':');

    // Two tips, and the minimized window's drag image is the program's icon.
    HWND tips = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tips != nullptr && GetWindow(tips, GW_OWNER) != hwnd) {
        tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr);
    }
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 2);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0)),
              LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));

    HMENU menu = GetSystemMenu(hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    char item[64] = "";
    GetMenuStringA(menu, count - 1, item, sizeof item, MF_BYPOSITION);
    EXPECT_STREQ(item, "バージョン情報(&A)...");
    EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_TRUE(GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MainDialogTest, CheckBoxesEnableTheirPickersAndTheArrow) {
    const int sequence[] = {IDC_MAKE_DATE_CHECK,   IDC_MAKE_TIME_CHECK,   IDC_MAKE_DATE_CHECK,
                            IDC_MODIFY_DATE_CHECK, IDC_MODIFY_TIME_CHECK, IDC_MAKE_TIME_CHECK,
                            IDC_MODIFY_DATE_CHECK, IDC_MAKE_DATE_CHECK};
    std::int32_t* flags[] = {&dialog.m_bMakeDate, &dialog.m_bMakeTime, &dialog.m_bModifyDate,
                             &dialog.m_bModifyTime};
    const int boxes[] = {IDC_MAKE_DATE_CHECK, IDC_MAKE_TIME_CHECK, IDC_MODIFY_DATE_CHECK,
                         IDC_MODIFY_TIME_CHECK};
    std::int32_t expected[4];
    for (int i = 0; i < 4; ++i) {
        int clicks = 0;
        for (int id : sequence) clicks += id == boxes[i] ? 1 : 0;
        expected[i] = (*flags[i] != 0) != (clicks % 2 == 1) ? 1 : 0;
    }
    for (int id : sequence) {
        SCOPED_TRACE(id);
        const int before = Checked(id);
        Click(id);
        EXPECT_NE(Checked(id), before);
        ExpectEnablingHolds();
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(*flags[i], expected[i]) << boxes[i];
}

TEST_F(MainDialogTest, ArrowCopiesCreationSettingsToModification) {
    Tick(false, true, true, false);
    dialog.m_tMakeDate = Local(2010, 9, 21, 1, 2, 3);
    dialog.m_tMakeTime = Local(2000, 1, 1, 13, 45, 7);
    dialog.m_tModifyDate = dialog.m_tModifyTime = Local(2001, 2, 3, 4, 5, 6);
    // A value shown but not pulled yet is replaced by the push that starts the copy.
    SetPicker(IDC_MAKE_DATE, Record(1999, 1, 1, 0, 0, 0));
    Click(IDC_COPY_TO_MODIFY);

    EXPECT_EQ(Checked(IDC_MODIFY_DATE_CHECK), BST_UNCHECKED);
    EXPECT_EQ(Checked(IDC_MODIFY_TIME_CHECK), BST_CHECKED);
    EXPECT_EQ(dialog.m_bModifyDate, 0);
    EXPECT_EQ(dialog.m_bModifyTime, 1);
    EXPECT_TRUE(Enabled(IDC_MODIFY_DATE_CHECK));
    EXPECT_TRUE(Enabled(IDC_MODIFY_TIME_CHECK));
    ExpectEnablingHolds();
    EXPECT_EQ(dialog.m_tModifyDate, Local(2010, 9, 21, 1, 2, 3));
    EXPECT_EQ(dialog.m_tModifyTime, Local(2000, 1, 1, 13, 45, 7));
    EXPECT_EQ(Shown(IDC_MODIFY_DATE), Local(2010, 9, 21, 1, 2, 3));
    EXPECT_EQ(Shown(IDC_MODIFY_TIME), Local(2000, 1, 1, 13, 45, 7));
}

TEST_F(MainDialogTest, PullStopsAtAPickerOutOfRange) {
    const StampTime old = Local(2005, 5, 5, 5, 5, 5);
    dialog.m_tMakeDate = dialog.m_tMakeTime = dialog.m_tModifyDate = dialog.m_tModifyTime = old;
    SetPicker(IDC_MAKE_DATE, Record(2011, 2, 3, 4, 5, 6));
    SetPicker(IDC_MAKE_TIME, Record(1950, 1, 1, 0, 0, 0));
    SetPicker(IDC_MODIFY_DATE, Record(2012, 1, 1, 0, 0, 0));
    const std::int32_t modifyTimeFlag = dialog.m_bModifyTime;
    SendMessageA(Item(IDC_MODIFY_TIME_CHECK), BM_SETCHECK,
                 modifyTimeFlag != 0 ? BST_UNCHECKED : BST_CHECKED, 0);
    BoxCapture capture;
    EXPECT_FALSE(dialog.UpdateData(TRUE));

    EXPECT_EQ(dialog.m_tMakeDate, Local(2011, 2, 3, 4, 5, 6));
    EXPECT_EQ(dialog.m_tMakeTime, old);
    EXPECT_EQ(dialog.m_tModifyDate, old);
    EXPECT_EQ(dialog.m_tModifyTime, old);
    EXPECT_EQ(dialog.m_bModifyTime, modifyTimeFlag);
    ASSERT_EQ(capture.boxes.size(), 1u);
    EXPECT_EQ(capture.boxes[0].icon, "exclamation");
    EXPECT_EQ(capture.boxes[0].caption, TheTestApp().AppName());
    EXPECT_EQ(capture.boxes[0].text, SystemText(StampTimeError::kInvalidArg));
    EXPECT_FALSE(capture.boxes[0].text.empty());
    EXPECT_EQ(capture.boxes[0].owner, hwnd);
}

TEST_F(MainDialogTest, YearBefore1900PullsAsZeroValue) {
    dialog.m_tMakeDate = Local(2005, 5, 5, 5, 5, 5);
    SetPicker(IDC_MAKE_DATE, Record(1850, 5, 5, 0, 0, 0));
    BoxCapture capture;
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.m_tMakeDate, StampTime());
    EXPECT_TRUE(capture.boxes.empty());
}

TEST_F(MainDialogTest, NotificationsDuringAnExchangeStartNoHandler) {
    dialog.pulls = 0;
    ProbeDlg::SendChanges(hwnd);  // outside an exchange: the change pulls, the click pulls
    EXPECT_EQ(dialog.pulls, 2);
    dialog.pulls = 0;
    dialog.notifyDuringPush = true;
    dialog.UpdateData(FALSE);
    EXPECT_EQ(dialog.pulls, 0);
}

TEST_F(MainDialogTest, RunReportsNoFlagThenNoFiles) {
    BoxCapture capture;
    Tick(false, false, false, false);
    Click(IDC_RUN);
    Tick(false, false, false, true);
    Click(IDC_RUN);
    ASSERT_EQ(capture.boxes.size(), 2u);
    EXPECT_EQ(capture.boxes[0].text, "変更対象をチェックしてください。");
    EXPECT_EQ(capture.boxes[0].caption, "タイムスタンプ変更ツール");
    EXPECT_EQ(capture.boxes[0].icon, "exclamation");
    EXPECT_EQ(capture.boxes[1].text, "ファイルを選択してください。");
    EXPECT_EQ(capture.boxes[1].caption, "タイムスタンプ変更");
    EXPECT_EQ(capture.boxes[1].icon, "exclamation");
    EXPECT_EQ(capture.boxes[1].owner, hwnd);
    EXPECT_EQ(GetFocus(), Item(IDC_ADD));
}

TEST_F(MainDialogTest, ResizeMovesControlsByTheRule) {
    struct Size {
        int width, height;
    };
    RECT first[kLayoutControls];
    const Size sizes[] = {{800, 560}, {420, 300}, {800, 560}};
    for (std::size_t s = 0; s < 3; ++s) {
        SetWindowPos(hwnd, nullptr, 10, 10, sizes[s].width, sizes[s].height, SWP_NOZORDER);
        Pump();
        RECT client{};
        GetClientRect(hwnd, &client);
        const int cx = client.right, cy = client.bottom;
        EXPECT_EQ(Place(IDC_RUN).left, cx > 480 ? cx - 110 : 370);
        EXPECT_EQ(Place(IDC_RUN).top, cy - 64);
        EXPECT_EQ(Place(IDCANCEL).top, cy - 39);
        EXPECT_EQ(Place(IDC_WEB_LINK).left, cx > 420 ? cx - 150 : 270);
        const RECT list = Place(IDC_FILE_LIST);
        EXPECT_EQ(list.right - list.left, cx - 2 * list.left);
        EXPECT_EQ(Place(IDC_MAKE_GROUP).top, cy - 81);
        EXPECT_EQ(Place(IDC_ADD).top, Place(IDC_ADD).top);
        for (std::size_t i = 0; i < kLayoutControls; ++i) {
            const RECT r = Place(kLayoutOrder[i]);
            if (s == 0) first[i] = r;
            if (s == 2) {
                EXPECT_TRUE(EqualRect(&r, &first[i])) << kLayoutOrder[i];
            }
        }
        if (s == 0) SaveScreenshot(hwnd, "main-resized");
    }
}

TEST_F(MainDialogTest, AboutBoxOpensFromBothPlacesAndLeavesNoFontBehind) {
    std::vector<HFONT> fonts;
    std::vector<COLORREF> colours;
    auto capture = std::make_unique<BoxCapture>([&](HWND about) {
        if (GetDlgItem(about, IDC_ABOUT_LINK) == nullptr) return;  // the main dialog again
        char caption[128] = "";
        GetWindowTextA(about, caption, sizeof caption);
        EXPECT_STREQ(caption, "タイムスタンプ変更ツール　-　バージョン情報");
        fonts.push_back(reinterpret_cast<HFONT>(
            SendMessageA(GetDlgItem(about, IDC_ABOUT_LINK), WM_GETFONT, 0, 0)));
        // The link is asked for its colours like any static text.
        HDC dc = GetDC(about);
        SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(about, IDC_ABOUT_LINK)));
        colours.push_back(GetTextColor(dc));
        ReleaseDC(about, dc);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    });
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 12; ++i) {
        if (i % 2 == 0) {
            SendMessageA(hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        } else {
            SendMessageA(hwnd, WM_COMMAND, ID_ABOUT, 0);
        }
    }
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before);
    ASSERT_EQ(fonts.size(), 12u);
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        EXPECT_EQ(GetObjectType(fonts[i]), 0u) << "font of opening " << i << " still exists";
        EXPECT_EQ(colours[i], RGB(0, 0, 255));
    }
    EXPECT_TRUE(capture->boxes.empty());
    EXPECT_TRUE(IsWindowEnabled(hwnd));
    capture.reset();

    LOGFONTA underlined{};
    CAboutDlg about;
    HWND aboutWindow = about.Create(hwnd);
    ASSERT_NE(aboutWindow, nullptr);
    SetWindowPos(aboutWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(aboutWindow);
    Pump();
    EXPECT_TRUE(IsWindowVisible(aboutWindow));
    HFONT font = reinterpret_cast<HFONT>(
        SendMessageA(GetDlgItem(aboutWindow, IDC_ABOUT_LINK), WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectA(font, sizeof underlined, &underlined), 0);
    EXPECT_EQ(underlined.lfUnderline, 1);
    SaveScreenshot(aboutWindow, "about-box");
    DestroyWindow(aboutWindow);
    Pump();
    EXPECT_EQ(GetObjectType(font), 0u);
}

// A dialog whose handlers fail, to see the error box of a StampTimeError that leaves a handler.
class FailingDlg : public Dialog {
  public:
    enum class Throw { kStampTimeError, kNoMemory, kLengthError, kUnknown };
    FailingDlg() : Dialog(IDD_ABOUTBOX) {}
    std::uint32_t code = 0;
    Throw what = Throw::kStampTimeError;
    bool after = false;

  protected:
    MessageTable GetMessageTable() const override {
        using T = FailingDlg;
        static const MessageEntry kTable[] = {On<T>::Command<&T::Fail>(100, 0),
                                              On<T>::Clicked<&T::Fail>(IDC_ABOUT_LINK)};
        return TableOf(kTable);
    }
    void Fail() {
        switch (what) {
            case Throw::kStampTimeError:
                throw StampTimeError(code);
            case Throw::kNoMemory:
                throw std::bad_alloc();
            case Throw::kLengthError:
                std::string().reserve(std::string().max_size() + 1);
                break;
            case Throw::kUnknown:
                throw 42;
        }
        after = true;  // never reached: the handler ends at the failure
    }
};

TEST_F(MainDialogTest, ErrorLeavingAHandlerShowsTheStopBox) {
    FailingDlg failing;
    HWND window = failing.Create(hwnd);
    ASSERT_NE(window, nullptr);
    using Throw = FailingDlg::Throw;
    struct Case {
        Throw what;
        std::uint32_t code;
        bool fromMenu;
        std::string text;
    };
    // Any exception, not only a StampTimeError, ends the handler in the box; the window lives.
    const Case cases[] = {
        {Throw::kStampTimeError, StampTimeError::kInvalidArg, true,
         SystemText(StampTimeError::kInvalidArg)},
        {Throw::kStampTimeError, StampTimeError::kFail, false, SystemText(StampTimeError::kFail)},
        {Throw::kStampTimeError, 0x2000FFFF, true, "コマンドの実行に失敗しました。"},
        {Throw::kStampTimeError, 0x2000FFFF, false, "アプリケーションの内部エラーです。"},
        {Throw::kNoMemory, 0, false, SystemText(static_cast<DWORD>(E_OUTOFMEMORY))},
        {Throw::kNoMemory, 0, true, SystemText(static_cast<DWORD>(E_OUTOFMEMORY))},
        {Throw::kLengthError, 0, false, "アプリケーションの内部エラーです。"},
        {Throw::kUnknown, 0, true, "コマンドの実行に失敗しました。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.what));
        BoxCapture capture;
        failing.what = c.what;
        failing.code = c.code;
        const LRESULT handled =
            c.fromMenu ? SendMessageA(window, WM_COMMAND, 100, 0)
                       : SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_ABOUT_LINK)));
        (void)handled;
        ASSERT_EQ(capture.boxes.size(), 1u) << c.code;
        EXPECT_EQ(capture.boxes[0].icon, "stop");
        ASSERT_FALSE(c.text.empty());
        EXPECT_EQ(capture.boxes[0].text, c.text.substr(0, 511));
        EXPECT_EQ(capture.boxes[0].caption, TheTestApp().AppName());
        EXPECT_EQ(capture.boxes[0].owner, hwnd);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(failing.after);
    }
    DestroyWindow(window);
}

// After a nested dialog or a message box closes, the main window is the active window again and
// the control that had the focus has it again, so Esc, Enter and the access keys keep working.
TEST_F(MainDialogTest, MainWindowIsActiveAgainAfterANestedDialog) {
    struct Route {
        const char* name;
        std::function<void()> open;
        int closeWith;  // the command posted to the nested dialog; 0 for a message box
        int focused;    // the control with the focus before, and after
    };
    const Route routes[] = {
        {"About box from the window menu",
         [&] { SendMessageA(hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }, IDOK, IDC_RUN},
        {"About box from the context menu", [&] { SendMessageA(hwnd, WM_COMMAND, ID_ABOUT, 0); },
         IDOK, IDC_MAKE_DATE_CHECK},
        {"option dialog, OK", [&] { SendMessageA(hwnd, WM_COMMAND, ID_OPTIONS, 0); }, IDOK,
         IDC_FILE_LIST},
        {"option dialog, Cancel", [&] { SendMessageA(hwnd, WM_COMMAND, ID_OPTIONS, 0); }, IDCANCEL,
         IDC_RUN},
        // Run with no flag: its message box; the run moves the focus to the add button first.
        {"message box of the run", [&] { Click(IDC_RUN); }, 0, IDC_ADD},
    };
    Tick(false, false, false, false);
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
        SetFocus(Item(route.focused));
        Pump();
        ASSERT_EQ(GetActiveWindow(), hwnd);
        int nested = 0;
        BoxCapture capture([&](HWND window) {
            if (window == hwnd) return;
            ++nested;
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(route.closeWith), 0);
        });
        route.open();
        Pump();
        EXPECT_EQ(nested + static_cast<int>(capture.boxes.size()), 1);
        EXPECT_TRUE(IsWindowEnabled(hwnd));
        EXPECT_EQ(GetActiveWindow(), hwnd);
        EXPECT_EQ(GetForegroundWindow(), hwnd);
        EXPECT_EQ(GetFocus(), Item(route.focused));
    }
}

// Runs the real main dialog in its own modal loop; `act` is called once the window is up, from
// a timer of the loop itself.
class ModalRun {
  public:
    static INT_PTR Run(std::function<void(HWND)> act, bool& stuck) {
        act_ = std::move(act);
        stuck_ = false;
        CVelmoraDlg dialog;
        TheTestApp().SetMainDialog(&dialog);
        const UINT_PTR step = SetTimer(nullptr, 0, 300, Act);
        const UINT_PTR rescue = SetTimer(nullptr, 0, 8000, Rescue);
        const INT_PTR result = dialog.DoModal();
        KillTimer(nullptr, step);
        KillTimer(nullptr, rescue);
        TheTestApp().SetMainDialog(nullptr);
        stuck = stuck_;
        return result;
    }

  private:
    static HWND Window() { return TheTestApp().MainWindow(); }
    static void CALLBACK Act(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (Window() != nullptr && act_) act_(Window());
    }
    // The route did not close the window: end it so that the test goes on, and say so.
    static void CALLBACK Rescue(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        stuck_ = true;
        if (Window() != nullptr) PostMessageA(Window(), WM_COMMAND, IDCANCEL, 0);
    }
    static std::function<void(HWND)> act_;
    static bool stuck_;
};
std::function<void(HWND)> ModalRun::act_;
bool ModalRun::stuck_ = false;

void PostEscape(HWND window) {
    PostMessageA(GetDlgItem(window, IDC_ADD), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}

// Every way of closing ends the program's modal loop with the same closing writes; minimising,
// restoring and moving the window first change nothing.
TEST(MainDialogClosing, EveryWayOfClosingWritesTheSameSettings) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"velmora-closing-" + std::to_wstring(GetCurrentProcessId());
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring ini = folder + L"\\Velmora.ini";
    g_iniPath = ini.c_str();

    const struct {
        const char* name;
        std::function<void(HWND)> act;
    } routes[] = {
        {"Esc", PostEscape},
        {"the close button", [](HWND w) { PostMessageA(GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0); }},
        {"the caption's close box",
         [](HWND w) {
             RECT r{};
             GetWindowRect(w, &r);
             PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(r.right - 8, r.top + 8));
         }},
        {"閉じる from the window menu",
         [](HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4", [](HWND w) { PostMessageA(w, WM_SYSKEYDOWN, VK_F4, 0x20000001); }},
        {"minimise, restore and move, then Esc",
         [](HWND w) {
             SendMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
             SendMessageA(w, WM_SYSCOMMAND, SC_RESTORE, 0);
             SetWindowPos(w, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
             PostEscape(w);
         }},
    };
    std::string first;
    for (const auto& route : routes) {
        SCOPED_TRACE(route.name);
        DeleteFileW(ini.c_str());
        bool stuck = false;
        BoxCapture capture;
        EXPECT_EQ(ModalRun::Run(route.act, stuck), IDCANCEL);
        EXPECT_FALSE(stuck) << "the route did not close the window";
        EXPECT_TRUE(capture.boxes.empty());
        const std::string written = FileBytes(Utf8(ini).c_str());
        EXPECT_NE(written.find("make date time="), std::string::npos) << written;
        EXPECT_NE(written.find("modify time=true"), std::string::npos) << written;
        if (first.empty()) first = written;
        EXPECT_EQ(written, first);
        EXPECT_EQ(std::vector<std::wstring>(1, L"Velmora.ini"), [&] {
            std::vector<std::wstring> names;
            WIN32_FIND_DATAW found{};
            HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
            do {
                if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
            } while (FindNextFileW(search, &found));
            FindClose(search);
            return names;
        }());
    }
    g_iniPath = L"";
    RemoveTree(folder);
}

}  // namespace
