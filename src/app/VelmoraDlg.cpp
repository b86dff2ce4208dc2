#include "app/VelmoraDlg.h"

#include "res/resource.h"
#include "stamp/ApplyRun.h"
#include "stamp/Win32FileTimes.h"
#include "ui/AboutDlg.h"
#include "ui/LinkText.h"
#include "winlib/App.h"
#include "winlib/WaitCursor.h"

const WideChar* g_commandLine = WIDE("");
const WideChar* g_iniPath = WIDE("");

namespace {

// The underlined font of the main dialog's link text, from initialisation to WM_DESTROY.
HFONT g_webLinkFont = nullptr;

// The run's view of the list view: the list is the only store of the target files.
class ListViewRows : public RunRows {
  public:
    explicit ListViewRows(const ListCtrl& list) : list_(list) {}
    int RowCount() override { return list_.ItemCount(); }
    WideString RowPath(int row) override { return list_.ItemText(row, 0); }
    void SetRowText(int row, int column, const std::string& text) override {
        list_.SetItemText(row, column, WidenAscii(text));
    }

  private:
    const ListCtrl& list_;
};

}  // namespace

// The run's view of the dialog.
class DialogRunHost : public RunHost {
  public:
    explicit DialogRunHost(CVelmoraDlg& dialog, HWND hwnd) : dialog_(dialog), hwnd_(hwnd) {}
    void FocusAddButton() override { SetFocus(GetDlgItem(hwnd_, IDC_ADD)); }
    StampChoice PullChoice() override {
        dialog_.UpdateData(TRUE);
        StampChoice choice;
        choice.tMakeDate = dialog_.m_tMakeDate;
        choice.tMakeTime = dialog_.m_tMakeTime;
        choice.tModifyDate = dialog_.m_tModifyDate;
        choice.tModifyTime = dialog_.m_tModifyTime;
        choice.bMakeDate = dialog_.m_bMakeDate;
        choice.bMakeTime = dialog_.m_bMakeTime;
        choice.bModifyDate = dialog_.m_bModifyDate;
        choice.bModifyTime = dialog_.m_bModifyTime;
        return choice;
    }
    void ShowMessage(const WideString& text, const WideString& caption, unsigned icon) override {
        // The box ends the run: the user sees the normal cursor while it waits.
        WaitCursor::ShowNormal();
        MessageBoxW(hwnd_, text.c_str(), caption.c_str(), MB_OK | icon);
    }

  private:
    CVelmoraDlg& dialog_;
    HWND hwnd_;
};

CVelmoraDlg::CVelmoraDlg()
    : Dialog(IDD_MAIN_DIALOG),
      m_hIcon(LoadIconA(WinApp::ResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

CVelmoraDlg::~CVelmoraDlg() = default;

MessageTable CVelmoraDlg::GetMessageTable() const {
    using T = CVelmoraDlg;
    static const MessageEntry kTable[] = {
        On<T>::SysCommand<&T::OnSysCommand>(),
        On<T>::Plain<&T::OnPaint>(WM_PAINT),
        On<T>::QueryDragIcon<&T::OnQueryDragIcon>(),
        On<T>::Clicked<&T::AddFilesFromDialog>(IDC_ADD),
        On<T>::Clicked<&T::OnRun>(IDC_RUN),
        On<T>::Notify<&T::OnMakeDateTimeChange>(IDC_MAKE_DATE, DTN_DATETIMECHANGE),
        On<T>::Notify<&T::OnMakeDateTimeChange>(IDC_MAKE_TIME, DTN_DATETIMECHANGE),
        On<T>::Notify<&T::OnListKeyDown>(IDC_FILE_LIST, LVN_KEYDOWN),
        On<T>::Notify<&T::OnListCustomDraw>(IDC_FILE_LIST, NM_CUSTOMDRAW),
        On<T>::Notify<&T::OnListInfoTip>(IDC_FILE_LIST, LVN_GETINFOTIPW),
        On<T>::Size<&T::OnSize>(),
        On<T>::Clicked<&T::OnMakeDateCheck>(IDC_MAKE_DATE_CHECK),
        On<T>::Clicked<&T::OnMakeTimeCheck>(IDC_MAKE_TIME_CHECK),
        On<T>::DropFiles<&T::AddDroppedFiles>(),
        On<T>::ContextMenu<&T::ShowListMenu>(),
        On<T>::Command<&T::RemoveSelectedRows>(ID_REMOVE_SELECTED),
        On<T>::Clicked<&T::OnModifyDateCheck>(IDC_MODIFY_DATE_CHECK),
        On<T>::Clicked<&T::OnModifyTimeCheck>(IDC_MODIFY_TIME_CHECK),
        On<T>::Clicked<&T::OnCancel>(IDCANCEL),
        On<T>::Plain<&T::SaveSettings>(WM_DESTROY),
        On<T>::CtlColor<&T::OnCtlColor>(),
        On<T>::SetCursor<&T::OnSetCursor>(),
        On<T>::Command<&T::OnWebLink>(IDC_WEB_LINK, STN_CLICKED),
        On<T>::Command<&T::SetPickersFromRow>(ID_SET_FROM_FILE),
        On<T>::Clicked<&T::OnCopyToModify>(IDC_COPY_TO_MODIFY),
        On<T>::Command<&T::ShowOptionDialog>(ID_OPTIONS),
        On<T>::Command<&T::OnAbout>(ID_ABOUT),
        On<T>::Command<&T::OnRemoveAll>(ID_REMOVE_ALL),
    };
    return TableOf(kTable);
}

BOOL CVelmoraDlg::OnInitDialog() {
    Dialog::OnInitDialog();

    // The window menu ends with a separator and the About item.
    HMENU systemMenu = GetSystemMenu(Hwnd(), FALSE);
    if (systemMenu != nullptr) {
        char about[256] = "";
        if (LoadStringA(WinApp::ResourceInstance(), IDS_ABOUTBOX, about, sizeof about) > 0 &&
            about[0] != '\0') {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    m_AddButton.SetIcon(LoadIconA(WinApp::ResourceInstance(), MAKEINTRESOURCEA(IDI_ADD)));

    InitFileList();
    AddCommandLineFiles();
    LoadSettings();

    m_MakeDate.Enable(m_bMakeDate != 0);
    m_MakeTime.Enable(m_bMakeTime != 0);
    m_ModifyDate.Enable(m_bModifyDate != 0);
    m_ModifyTime.Enable(m_bModifyTime != 0);
    EnableCopyButton();
    m_MakeTime.SetFormat("HH:mm:ss");
    m_ModifyTime.SetFormat("HH:mm:ss");

    LoadStartupValues();
    UpdateData(FALSE);

    m_ToolTip.Create(Hwnd());
    m_ToolTip.AddTool(m_AddButton.Hwnd(), "ファイルを開く");
    m_ToolTip.AddTool(m_CopyToModify.Hwnd(), "作成日時の設定値を変更日時に流用する");
    m_ToolTip.Activate(true);

    g_webLinkFont = MakeUnderlinedFont(m_WebLink);
    return TRUE;
}

void CVelmoraDlg::OnCancel() { Dialog::OnCancel(); }

void CVelmoraDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        Default();
    }
}

void CVelmoraDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

HBRUSH CVelmoraDlg::OnCtlColor(HDC dc, HWND control, UINT) {
    const HBRUSH brush = reinterpret_cast<HBRUSH>(Default());
    ColorLinkText(dc, control, IDC_WEB_LINK);
    return brush;
}

BOOL CVelmoraDlg::OnSetCursor(HWND window, UINT, UINT) {
    if (SetLinkCursor(window, IDC_WEB_LINK)) return TRUE;
    return static_cast<BOOL>(Default());
}

void CVelmoraDlg::OnWebLink() { OpenLink(m_WebLink); }

void CVelmoraDlg::OnRun() {
    ListViewRows rows(m_FileList);
    DialogRunHost host(*this, Hwnd());
    Win32FileTimes files;
    const WaitCursor wait;
    ApplyRun(rows, host, files);
}

void CVelmoraDlg::SaveSettings() {
    Default();
    if (g_webLinkFont != nullptr) DeleteObject(g_webLinkFont);
    g_webLinkFont = nullptr;
    WriteSettings();
}
