#include "winlib/Controls.h"

#include <vector>

std::string Wnd::Text() const {
    const int length = GetWindowTextLengthA(hwnd_);
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(hwnd_, text.data(), length + 1);
    return text.data();
}

WideString ListCtrl::ItemText(int item, int column) const {
    // The list view copies what fits; grow until the text no longer fills the buffer.
    std::vector<wchar_t> text(264, L'\0');
    for (;;) {
        LVITEMW lv{};
        lv.iSubItem = column;
        lv.pszText = text.data();
        lv.cchTextMax = static_cast<int>(text.size());
        const LRESULT length =
            Send(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (length < static_cast<LRESULT>(text.size()) - 1) {
            return WideString(text.data(), static_cast<std::size_t>(length));
        }
        text.assign(text.size() * 2, L'\0');
    }
}

bool ListCtrl::SetItemText(int item, int column, const WideString& text) const {
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != 0;
}

bool ToolTipCtrl::Create(HWND owner) {
    hwnd_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE)),
                            nullptr);
    return hwnd_ != nullptr;
}

bool ToolTipCtrl::AddTool(HWND tool, const char* text) const {
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every version of the common controls
    info.uFlags = TTF_IDISHWND;
    info.hwnd = GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<char*>(text);
    return Send(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

int ListCtrl::InsertItem(int item, const WideString& text) const {
    LVITEMW lv{};
    lv.mask = LVIF_TEXT;
    lv.iItem = item;
    lv.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
}

RECT ListCtrl::SubItemRect(int item, int column, int part) const {
    RECT rect{};
    rect.top = column;
    rect.left = part;
    if (Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)) == 0) {
        return RECT{};
    }
    return rect;
}

int ListCtrl::InsertColumn(int column, const char* heading, int format, int width) const {
    LVCOLUMNA lv{};
    lv.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    lv.fmt = format;
    lv.cx = width;
    lv.pszText = const_cast<char*>(heading);
    return static_cast<int>(Send(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&lv)));
}
