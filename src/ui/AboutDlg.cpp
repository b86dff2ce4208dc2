#include "ui/AboutDlg.h"

#include "res/resource.h"
#include "ui/LinkText.h"

namespace {
// The underlined font of the About box's link, from its initialisation to its WM_DESTROY.
HFONT g_aboutLinkFont = nullptr;
}  // namespace

CAboutDlg::CAboutDlg() : Dialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

MessageTable CAboutDlg::GetMessageTable() const {
    using T = CAboutDlg;
    static const MessageEntry kTable[] = {
        On<T>::CtlColor<&T::OnCtlColor>(),
        On<T>::Plain<&T::OnDestroy>(WM_DESTROY),
        On<T>::Command<&T::OnAboutLink>(IDC_ABOUT_LINK, STN_CLICKED),
        On<T>::SetCursor<&T::OnSetCursor>(),
    };
    return TableOf(kTable);
}

BOOL CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    Static link;
    link.Attach(Item(IDC_ABOUT_LINK));
    g_aboutLinkFont = MakeUnderlinedFont(link);
    return TRUE;
}

HBRUSH CAboutDlg::OnCtlColor(HDC dc, HWND control, UINT) {
    const HBRUSH brush = reinterpret_cast<HBRUSH>(Default());
    ColorLinkText(dc, control, IDC_ABOUT_LINK);
    return brush;
}

void CAboutDlg::OnDestroy() {
    Default();
    if (g_aboutLinkFont != nullptr) DeleteObject(g_aboutLinkFont);
    g_aboutLinkFont = nullptr;
}

void CAboutDlg::OnAboutLink() {
    Static link;
    link.Attach(Item(IDC_ABOUT_LINK));
    OpenLink(link);
}

BOOL CAboutDlg::OnSetCursor(HWND window, UINT, UINT) {
    if (SetLinkCursor(window, IDC_ABOUT_LINK)) return TRUE;
    return static_cast<BOOL>(Default());
}
