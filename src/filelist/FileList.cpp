// The file list: its columns, its rows and their times, and its commands. The list view is the
// only store of the target files.
#include <algorithm>

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

// The room the list view leaves on each side of a cell's text.
const int kTextMargin = 5;

// A path too long for its column loses characters in its middle, so that the drive and the file
// name stay; a file name that alone does not fit is cut at its end.
const UINT kPathFormat =
    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS;

// Where a row's path is drawn: column 0's label less the margins, above the grid line that ends
// the row, so that the path lines up with the times.
RECT PathTextRect(const ListCtrl& list, int row) {
    RECT area = list.SubItemRect(row, 0, LVIR_LABEL);
    InflateRect(&area, -kTextMargin, 0);
    --area.bottom;
    return area;
}

// Whether the whole path fits its column in the list's font.
bool PathFits(const ListCtrl& list, int row, const WideString& path) {
    const RECT area = PathTextRect(list, row);
    HDC dc = GetDC(list.Hwnd());
    const HGDIOBJ oldFont = SelectObject(dc, list.Font());
    SIZE size{};
    GetTextExtentPoint32W(dc, path.c_str(), static_cast<int>(path.size()), &size);
    SelectObject(dc, oldFont);
    ReleaseDC(list.Hwnd(), dc);
    return size.cx <= area.right - area.left;
}

// One of the list's own colours; the system colour stands for the list's default.
COLORREF ListColor(const ListCtrl& list, UINT message, int systemColor) {
    const COLORREF color = static_cast<COLORREF>(list.Send(message));
    return color == CLR_DEFAULT ? GetSysColor(systemColor) : color;
}

// Draws column 0 of a row as the list view draws its cells, the path shortened in its middle.
// A selected row shows highlighted while the list has the focus.
void DrawPathCell(const ListCtrl& list, HDC dc, int row) {
    const WideString path = list.ItemText(row, 0);
    const RECT cell = list.SubItemRect(row, 0, LVIR_LABEL);
    const bool highlighted = list.IsSelected(row) && GetFocus() == list.Hwnd();
    const COLORREF back = highlighted ? GetSysColor(COLOR_HIGHLIGHT)
                                      : ListColor(list, LVM_GETTEXTBKCOLOR, COLOR_WINDOW);
    const COLORREF text = highlighted ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                      : ListColor(list, LVM_GETTEXTCOLOR, COLOR_WINDOWTEXT);
    const int saved = SaveDC(dc);
    if (back != CLR_NONE) {
        SetBkColor(dc, back);
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    RECT area = PathTextRect(list, row);
    DrawTextW(dc, path.c_str(), static_cast<int>(path.size()), &area, kPathFormat);
    RestoreDC(dc, saved);
}

}  // namespace

void CVelmoraDlg::InitFileList() {
    // Info tips show a path whole where its column cuts it; they come as LVN_GETINFOTIPW.
    m_FileList.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_FileList.SetUnicodeNotifications(true);
    for (int i = 0; i < 3; ++i) {
        m_FileList.InsertColumn(i, kColumns[i].heading, LVCFMT_LEFT, kColumns[i].width);
    }
}

void CVelmoraDlg::AddFileRow(const WideString& path) {
    if (path.empty()) return;
    const int row = m_FileList.ItemCount();
    m_FileList.InsertItem(row, path);
    SetRowTimes(row, path);
}

void CVelmoraDlg::SetRowTimes(int row, const WideString& path) {
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

void CVelmoraDlg::OnListCustomDraw(NMHDR* header, LRESULT* result) {
    const auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            *result = CDRF_NOTIFYITEMDRAW;
            return;
        case CDDS_ITEMPREPAINT:
            *result = CDRF_NOTIFYSUBITEMDRAW;
            return;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            // The path column is drawn here; the time columns as the list view draws them.
            if (draw->iSubItem == 0) {
                DrawPathCell(m_FileList, draw->nmcd.hdc, static_cast<int>(draw->nmcd.dwItemSpec));
                *result = CDRF_SKIPDEFAULT;
                return;
            }
            break;
        default:
            break;
    }
    *result = CDRF_DODEFAULT;
}

void CVelmoraDlg::OnListInfoTip(NMHDR* header, LRESULT* result) {
    auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
    *result = 0;
    if (tip->pszText == nullptr || tip->cchTextMax <= 0) return;
    // The whole path for a row whose column cuts it, as much of it as the tip takes; no tip for
    // the others.
    const WideString path = m_FileList.ItemText(tip->iItem, 0);
    std::size_t length = 0;
    if (tip->iSubItem == 0 && !PathFits(m_FileList, tip->iItem, path)) {
        length = std::min(path.size(), static_cast<std::size_t>(tip->cchTextMax) - 1);
    }
    path.copy(tip->pszText, length);
    tip->pszText[length] = L'\0';
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
