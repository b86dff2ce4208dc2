// The file list: its columns, its rows and their times, and its commands. The list view is the
// only store of the target files.
#include "app/VelmoraDlg.h"
#include "filelist/FileListRules.h"
#include "filelist/Win32FileLookup.h"
#include "res/resource.h"
#include "winlib/App.h"

namespace {

struct Column {
    const char* heading;
    int width;
};

const Column kColumns[] = {{"ファイルパス", 200}, {"作成日時", 120}, {"更新日時", 120}};

}  // namespace

void CVelmoraDlg::InitFileList() {
    m_FileList.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 3; ++i) {
        m_FileList.InsertColumn(i, kColumns[i].heading, LVCFMT_LEFT, kColumns[i].width);
    }
}

void CVelmoraDlg::AddFileRow(const WideString& path) {
    if (path.empty()) return;
    const int row = m_FileList.ItemCount();
    m_FileList.InsertItem(row, path);
    StampTime creation, write;
    ReadFileTimes(path, creation, write);
    m_FileList.SetItemText(row, 1, WidenAscii(FormatStampText(creation, creation)));
    m_FileList.SetItemText(row, 2, WidenAscii(FormatStampText(write, write)));
}

bool CVelmoraDlg::ReadFileTimes(const WideString& path, StampTime& creation, StampTime& write) {
    Win32FileLookup lookup;
    return ::ReadFileTimes(path, lookup, creation, write);
}

void CVelmoraDlg::OnListKeyDown(NMHDR* header, LRESULT* result) {
    // Delete removes the selected rows whatever Shift, Ctrl or Alt say.
    if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) RemoveSelectedRows();
    *result = 0;
}

void CVelmoraDlg::RemoveSelectedRows() {
    if (m_FileList.SelectedCount() == 0) {
        MessageBoxA(Hwnd(), "ファイルが選択されていません", "ファイルリストの削除",
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::vector<int> selected;
    for (int row = m_FileList.NextItem(-1, LVNI_SELECTED); row != -1;
         row = m_FileList.NextItem(row, LVNI_SELECTED)) {
        selected.push_back(row);
    }
    RedrawLock lock(m_FileList.Hwnd());
    for (int row : RowsToDeleteBottomUp(m_FileList.ItemCount(), selected)) {
        m_FileList.DeleteItem(row);
    }
}

void CVelmoraDlg::OnRemoveAll() { m_FileList.DeleteAllItems(); }

void CVelmoraDlg::ShowListMenu(HWND window, POINT point) {
    if (window != m_FileList.Hwnd()) {
        Default();
        return;
    }
    HMENU menu = LoadMenuA(WinApp::ResourceInstance(), MAKEINTRESOURCEA(IDR_LIST_MENU));
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, 0);
    MENUITEMINFOA state{};
    state.cbSize = sizeof state;
    state.fMask = MIIM_STATE;
    state.fState = m_FileList.SelectedCount() == 1 ? 0 : MFS_GRAYED;
    SetMenuItemInfoA(popup, ID_SET_FROM_FILE, FALSE, &state);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0,
                   Hwnd(), nullptr);
    DestroyMenu(menu);
}

void CVelmoraDlg::SetPickersFromRow() {
    const int row = m_FileList.NextItem(-1, LVNI_SELECTED);
    const struct {
        int column;
        const DateTimeCtrl& date;
        const DateTimeCtrl& time;
    } sides[] = {{1, m_MakeDate, m_MakeTime}, {2, m_ModifyDate, m_ModifyTime}};
    for (const auto& side : sides) {
        // A stamp text is ASCII.
        const WideString text = m_FileList.ItemText(row, side.column);
        const StampFields f = ParseStampText(std::string(text.begin(), text.end()));
        const StampTime value =
            StampTime::FromFields(f.year, f.month, f.day, f.hour, f.minute, f.second, -1);
        SYSTEMTIME record{};
        value.ToSystemTime(record);
        // The members take these values at the next pull, not through the pickers' notices.
        QuietControls quiet(*this);
        side.date.SetTime(record);
        side.time.SetTime(record);
    }
}
