// Thin wrappers of the controls the program uses: a window handle and the messages it takes.
// They own nothing; the dialog's data exchange binds each to its control once.
#pragma once

#include <string>

#include "stamp/WideText.h"
#include "stamp/WinTypes.h"

#include <commctrl.h>

class Wnd {
  public:
    HWND Hwnd() const { return hwnd_; }
    bool IsBound() const { return hwnd_ != nullptr; }
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    int Id() const { return GetDlgCtrlID(hwnd_); }
    void Enable(bool enable) const { EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    bool IsEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    std::string Text() const;
    void SetFont(HFONT font, bool redraw = true) const {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    HFONT Font() const { return reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(hwnd_, message, wParam, lParam);
    }

  protected:
    HWND hwnd_ = nullptr;
};

class Button : public Wnd {
  public:
    int Check() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    void SetIcon(HICON icon) const {
        Send(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
};

class Static : public Wnd {};

class DateTimeCtrl : public Wnd {
  public:
    // GDT_VALID with the record filled, or GDT_NONE / GDT_ERROR.
    DWORD Time(SYSTEMTIME& record) const {
        return static_cast<DWORD>(Send(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&record)));
    }
    bool SetTime(const SYSTEMTIME& record) const {
        return Send(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&record)) != 0;
    }
    bool SetNone() const { return Send(DTM_SETSYSTEMTIME, GDT_NONE, 0) != 0; }
    void SetFormat(const char* format) const {
        Send(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format));
    }
};

class ListCtrl : public Wnd {
  public:
    int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    int NextItem(int after, UINT flags) const {
        return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(after), flags));
    }
    // Texts go through the wide messages: column 0 holds a path as the file system names it.
    WideString ItemText(int item, int column) const;
    bool SetItemText(int item, int column, const WideString& text) const;
    // A row with its column 0 text; gives its index or -1.
    int InsertItem(int item, const WideString& text) const;
    bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, item) != 0; }
    bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
    int InsertColumn(int column, const char* heading, int format, int width) const;
    void SetExtendedStyle(DWORD mask, DWORD style) const {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
    }
    bool IsSelected(int item) const {
        return Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) != 0;
    }
    // A part (LVIR_BOUNDS, LVIR_LABEL, ...) of a cell, in the list's client coordinates.
    RECT SubItemRect(int item, int column, int part) const;
    // Whether the list's notifications carry UTF-16 texts (the *W codes) or ANSI ones.
    void SetUnicodeNotifications(bool unicode) const {
        Send(LVM_SETUNICODEFORMAT, unicode ? TRUE : FALSE);
    }
};

// Stops a window from redrawing while many changes are made, and redraws it once afterwards.
class RedrawLock {
  public:
    explicit RedrawLock(HWND window) : window_(window) {
        SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawLock() {
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawLock(const RedrawLock&) = delete;
    RedrawLock& operator=(const RedrawLock&) = delete;

  private:
    HWND window_;
};

class ComboBox : public Wnd {
  public:
    int CurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(Send(CB_SETCURSEL, index)); }
};

class ToolTipCtrl : public Wnd {
  public:
    bool Create(HWND owner);
    // A tool identified by the control's window, covering the whole control.
    bool AddTool(HWND tool, const char* text) const;
    void Activate(bool active) const { Send(TTM_ACTIVATE, active ? TRUE : FALSE); }
    void RelayEvent(const MSG* message) const {
        Send(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
    }
};
