#include "winlib/Dialog.h"

#include <cstring>
#include <new>
#include <string>

#include "winlib/App.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_QUERYDRAGICON || message == WM_INITDIALOG || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM;
}

bool Matches(const MessageEntry& e, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < e.message || message > e.lastMessage) return false;
    if (message == WM_COMMAND) return HIWORD(wParam) == e.code && LOWORD(wParam) == e.id;
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        return header->code == e.code && header->idFrom == e.id;
    }
    return true;
}

const char kInternalError[] = "アプリケーションの内部エラーです。";
const char kCommandFailed[] = "コマンドの実行に失敗しました。";

}  // namespace

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

MessageTable Dialog::GetMessageTable() const { return {nullptr, 0}; }

void Dialog::DoDataExchange(DataExchange&) {}

BOOL Dialog::PreTranslateMessage(MSG* message) { return IsDialogMessageA(hwnd_, message); }

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

HWND Dialog::Create(HWND owner) {
    // The control classes the dialogs use are registered before the first one is created.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX classes{sizeof classes,
                                     ICC_DATE_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    (void)registered;
    return CreateDialogParamA(WinApp::ResourceInstance(), MAKEINTRESOURCEA(templateId_), owner,
                              DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModal() {
    // Without a parent the main window owns the dialog (none for the main dialog itself).
    HWND owner = parent_;
    WinApp* app = WinApp::Current();
    if (owner == nullptr && app != nullptr) owner = app->MainWindow();
    modalOwner_ = owner;
    ownerDisabled_ = owner != nullptr && IsWindowEnabled(owner);
    if (ownerDisabled_) EnableWindow(owner, FALSE);

    modal_ = true;
    modalEnded_ = false;
    modalResult_ = -1;
    if (Create(owner) == nullptr) {
        modal_ = false;
        GiveBackOwner(false);
        return -1;
    }
    if (!modalEnded_ && !IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);

    MSG msg;
    while (!modalEnded_) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // WM_QUIT: end the dialog and leave the quit for the outer loop
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Ended by a WM_QUIT, or destroyed without EndDialog: the owner gets its input back here.
    if (hwnd_ != nullptr && IsWindowVisible(hwnd_)) HideModal();
    GiveBackOwner(false);
    modal_ = false;
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    return modalResult_;
}

void Dialog::GiveBackOwner(bool activate) {
    if (ownerDisabled_ && modalOwner_ != nullptr) EnableWindow(modalOwner_, TRUE);
    ownerDisabled_ = false;
    if (activate && modalOwner_ != nullptr) SetActiveWindow(modalOwner_);
}

// As Windows ends a modal dialog: the owner is enabled before the box is hidden, so that the
// system never hands the activation to another window; the box hides without activating
// anything; the owner is activated when the box was the active window, and its dialog manager
// gives the focus back to the control that had it.
void Dialog::HideModal() {
    const bool wasActive = GetActiveWindow() == hwnd_;
    GiveBackOwner(false);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (wasActive) GiveBackOwner(true);
}

void Dialog::EndDialog(int result) {
    modalEnded_ = true;
    modalResult_ = result;
    if (hwnd_ == nullptr) return;
    if (!modal_) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    HideModal();
    // Wakes the modal loop, which may be waiting for a message, so that it sees the end now.
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    DataExchange dx(*this, saveAndValidate != FALSE);
    QuietControls quiet(*this);
    try {
        DoDataExchange(dx);
    } catch (const DataExchange::Failed&) {
        return FALSE;
    }
    return TRUE;
}

LRESULT Dialog::Default() {
    if (current_ == nullptr) return 0;
    pendingDefault_ = current_->message;
    current_->result = DefDlgProcA(hwnd_, current_->message, current_->wParam, current_->lParam);
    pendingDefault_ = 0;
    return current_->result;
}

void Dialog::ReportError(const StampTimeError& error, UINT icon, bool fromMenu) {
    ReportCode(error.Code(), icon, fromMenu);
}

// Builds the box's text in a fixed buffer, so that reporting a lack of memory needs none.
void Dialog::ReportCode(std::uint32_t code, UINT icon, bool fromMenu) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT),
                       reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    char text[512] = "";
    if (length != 0 && buffer != nullptr) {
        // At most 511 bytes, cut before a double-byte character that would not fit whole.
        DWORD kept = 0;
        while (kept < length) {
            const DWORD size = IsDBCSLeadByte(static_cast<BYTE>(buffer[kept])) ? 2 : 1;
            if (kept + size > sizeof text - 1 || kept + size > length) break;
            kept += size;
        }
        std::memcpy(text, buffer, kept);
        text[kept] = '\0';
    } else {
        lstrcpynA(text, fromMenu ? kCommandFailed : kInternalError, sizeof text);
    }
    if (buffer != nullptr) LocalFree(buffer);
    ShowErrorBox(text, icon);
}

void Dialog::ShowErrorBox(const char* text, UINT icon) {
    WinApp* app = WinApp::Current();
    HWND owner = app != nullptr ? app->MainWindow() : nullptr;
    MessageBoxA(owner, text, app != nullptr ? app->AppName().c_str() : "", MB_OK | icon);
}

// The exception being handled, in its box: a StampTimeError with its code's text, a lack of
// memory with the system's text for it, anything else as an internal error.
void Dialog::ReportCurrentException(UINT icon, bool fromMenu) {
    try {
        throw;
    } catch (const StampTimeError& error) {
        ReportError(error, icon, fromMenu);
    } catch (const std::bad_alloc&) {
        ReportCode(static_cast<std::uint32_t>(E_OUTOFMEMORY), icon, fromMenu);
    } catch (...) {
        ShowErrorBox(fromMenu ? kCommandFailed : kInternalError, icon);
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;
    const INT_PTR result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // The default handling asked for by a handler comes back here first: let it through.
    if (pendingDefault_ != 0 && message == pendingDefault_) {
        pendingDefault_ = 0;
        return FALSE;
    }
    // Setting controls during an exchange must not start another handler.
    if (InExchange() && ((message == WM_COMMAND && lParam != 0) || message == WM_NOTIFY)) {
        return FALSE;
    }

    Message m{message, wParam, lParam, 0};
    Message* outer = current_;
    current_ = &m;
    bool handled = false;
    RECT before{};
    try {
        if (message == WM_INITDIALOG) {
            GetWindowRect(hwnd_, &before);
            m.result = OnInitDialog();
            CenterIfNotPlaced(before);
            handled = true;
        } else {
            handled = Handle(m);
        }
    } catch (...) {
        // No exception leaves a handler: it ends here, reported, and the window stays open. A
        // command counts as handled.
        const bool fromMenu = message == WM_COMMAND && HIWORD(wParam) == 0 && lParam == 0;
        current_ = outer;
        ReportCurrentException(MB_ICONSTOP, fromMenu);
        if (message == WM_INITDIALOG) {
            CenterIfNotPlaced(before);
            return FALSE;  // no control gets the focus
        }
        return message == WM_COMMAND ? TRUE : FALSE;
    }
    current_ = outer;
    if (!handled) return FALSE;
    if (ReturnsDirectly(message)) return static_cast<INT_PTR>(m.result);
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, m.result);
    return TRUE;
}

bool Dialog::Handle(Message& m) {
    const MessageTable table = GetMessageTable();
    for (std::size_t i = 0; i < table.count; ++i) {
        if (Matches(table.entries[i], m.message, m.wParam, m.lParam)) {
            table.entries[i].thunk(*this, m);
            return true;
        }
    }
    // The library's own dialog handling: OK and Cancel end the dialog.
    if (m.message == WM_COMMAND && HIWORD(m.wParam) <= 1) {
        if (LOWORD(m.wParam) == IDOK) {
            OnOK();
            return true;
        }
        if (LOWORD(m.wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return false;
}

void Dialog::CenterIfNotPlaced(RECT before) {
    RECT now{};
    GetWindowRect(hwnd_, &now);
    if (now.left != before.left || now.top != before.top) return;  // placed itself
    // Over the owner when it is visible and not minimized, else over the work area of the
    // screen; kept inside that work area.
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT centre = area;
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &centre);
    const int width = now.right - now.left;
    const int height = now.bottom - now.top;
    int left = (centre.left + centre.right) / 2 - width / 2;
    int top = (centre.top + centre.bottom) / 2 - height / 2;
    if (left + width > area.right) left = area.right - width;
    if (top + height > area.bottom) top = area.bottom - height;
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DataExchange::Control(int id, Wnd& wrapper) {
    if (!wrapper.IsBound()) wrapper.Attach(dialog_.Item(id));
}

void DataExchange::DateTime(int id, StampTime& value) {
    HWND picker = dialog_.Item(id);
    if (save_) {
        SYSTEMTIME record{};
        if (SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&record)) !=
            GDT_VALID) {
            return;
        }
        try {
            value = StampTime::FromSystemTime(record, -1);
        } catch (const StampTimeError& error) {
            Dialog::ReportError(error, MB_ICONEXCLAMATION, false);
            SetFocus(picker);
            throw Failed{};
        }
    } else {
        SYSTEMTIME record{};
        if (value.ToSystemTime(record)) {
            SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&record));
        } else {
            SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0);
        }
    }
}

void DataExchange::Check(int id, std::int32_t& flag) {
    HWND box = dialog_.Item(id);
    if (save_) {
        flag = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        SendMessageA(box, BM_SETCHECK, flag != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}
