#include "ui/LinkText.h"

#include <shellapi.h>

#include "res/resource.h"
#include "winlib/App.h"

HFONT MakeUnderlinedFont(const Wnd& link) {
    LOGFONTA description{};
    if (GetObjectA(link.Font(), sizeof description, &description) == 0) return nullptr;
    description.lfUnderline = 1;
    HFONT font = CreateFontIndirectA(&description);
    if (font != nullptr) link.SetFont(font, true);
    return font;
}

void ColorLinkText(HDC dc, HWND control, int linkId) {
    if (GetDlgCtrlID(control) == linkId) SetTextColor(dc, RGB(0, 0, 255));
}

bool SetLinkCursor(HWND window, int linkId) {
    if (GetDlgCtrlID(window) != linkId) return false;
    SetCursor(LoadCursorA(WinApp::ResourceInstance(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)));
    return true;
}

void OpenLink(const Wnd& link) {
    ShellExecuteA(nullptr, nullptr, link.Text().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
