// The main dialog's controls: the data exchange, the enabling rules, the copy to the
// modification side, the tooltip relay, the resize rule and the minimized painting.
#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "ui/Layout.h"

void CVelmoraDlg::DoDataExchange(DataExchange& dx) {
    dx.Control(IDC_MAKE_DATE_CHECK, m_MakeDateCheck);
    dx.Control(IDC_MAKE_TIME_CHECK, m_MakeTimeCheck);
    dx.Control(IDC_MODIFY_DATE_CHECK, m_ModifyDateCheck);
    dx.Control(IDC_MODIFY_TIME_CHECK, m_ModifyTimeCheck);
    dx.Control(IDCANCEL, m_CancelButton);
    dx.Control(IDC_RUN, m_RunButton);
    dx.Control(IDC_MAKE_DATE, m_MakeDate);
    dx.Control(IDC_MAKE_TIME, m_MakeTime);
    dx.Control(IDC_MODIFY_DATE, m_ModifyDate);
    dx.Control(IDC_MODIFY_TIME, m_ModifyTime);
    dx.Control(IDC_MAKE_GROUP, m_MakeGroup);
    dx.Control(IDC_MODIFY_GROUP, m_ModifyGroup);
    dx.Control(IDC_FILES_GROUP, m_FilesGroup);
    dx.Control(IDC_ADD, m_AddButton);
    dx.Control(IDC_FILE_LIST, m_FileList);
    dx.DateTime(IDC_MAKE_DATE, m_tMakeDate);
    dx.DateTime(IDC_MAKE_TIME, m_tMakeTime);
    dx.DateTime(IDC_MODIFY_DATE, m_tModifyDate);
    dx.DateTime(IDC_MODIFY_TIME, m_tModifyTime);
    dx.Check(IDC_MAKE_DATE_CHECK, m_bMakeDate);
    dx.Check(IDC_MAKE_TIME_CHECK, m_bMakeTime);
    dx.Check(IDC_MODIFY_DATE_CHECK, m_bModifyDate);
    dx.Check(IDC_MODIFY_TIME_CHECK, m_bModifyTime);
    dx.Control(IDC_WEB_LINK, m_WebLink);
    dx.Control(IDC_COPY_TO_MODIFY, m_CopyToModify);
}

BOOL CVelmoraDlg::PreTranslateMessage(MSG* message) {
    // The tools are not subclassed: the tips see the mouse only through this relay.
    if (message->message == WM_MOUSEMOVE && m_ToolTip.IsBound()) m_ToolTip.RelayEvent(message);
    return Dialog::PreTranslateMessage(message);
}

void CVelmoraDlg::EnableCopyButton() {
    m_CopyToModify.Enable(m_bMakeDate != 0 || m_bMakeTime != 0);
}

void CVelmoraDlg::OnMakeDateTimeChange(NMHDR*, LRESULT* result) {
    UpdateData(TRUE);
    *result = 0;
}

void CVelmoraDlg::OnMakeDateCheck() {
    UpdateData(TRUE);
    m_MakeDate.Enable(m_bMakeDate != 0);
    EnableCopyButton();
}

void CVelmoraDlg::OnMakeTimeCheck() {
    UpdateData(TRUE);
    m_MakeTime.Enable(m_bMakeTime != 0);
    EnableCopyButton();
}

void CVelmoraDlg::OnModifyDateCheck() {
    UpdateData(TRUE);
    m_ModifyDate.Enable(m_bModifyDate != 0);
}

void CVelmoraDlg::OnModifyTimeCheck() {
    UpdateData(TRUE);
    m_ModifyTime.Enable(m_bModifyTime != 0);
}

void CVelmoraDlg::OnCopyToModify() {
    UpdateData(FALSE);
    m_ModifyTimeCheck.SetCheck(m_bMakeTime);
    m_ModifyDateCheck.SetCheck(m_bMakeDate);
    m_ModifyTimeCheck.Enable(m_MakeTimeCheck.IsEnabled());
    m_ModifyDateCheck.Enable(m_MakeDateCheck.IsEnabled());
    m_ModifyDate.Enable(m_bMakeDate != 0);
    m_ModifyTime.Enable(m_bMakeTime != 0);
    UpdateData(TRUE);
    m_tModifyDate = m_tMakeDate;
    m_tModifyTime = m_tMakeTime;
    UpdateData(FALSE);
}

void CVelmoraDlg::OnSize(UINT, int cx, int cy) {
    Default();
    if (Item(IDC_FILES_GROUP) == nullptr) return;  // the controls do not exist yet
    std::array<LayoutRect, kLayoutControls> current{};
    for (std::size_t i = 0; i < kLayoutControls; ++i) {
        RECT r{};
        HWND control = Item(kLayoutOrder[i]);
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        current[i] = {r.left, r.top, r.right, r.bottom};
    }
    const std::array<LayoutBox, kLayoutControls> placed = PlaceControls(cx, cy, current);
    for (std::size_t i = 0; i < kLayoutControls; ++i) {
        const LayoutBox& b = placed[i];
        MoveWindow(Item(kLayoutOrder[i]), b.left, b.top, b.width, b.height, TRUE);
    }
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CVelmoraDlg::OnPaint() {
    if (!IsIconic(Hwnd())) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Hwnd(), &paint);
    SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(Hwnd(), &paint);
}

HCURSOR CVelmoraDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
