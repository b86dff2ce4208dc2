// A dialog whose window messages go through its class's message table: a static array of
// entries {message, notification code, control id, handler}, searched in order, the first match
// handling the message. Handlers are member functions with typed arguments; a message without an
// entry gets the default dialog handling. An exception that leaves a handler is reported in one
// place, the dialog procedure: no exception ends the program.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stamp/StampTime.h"
#include "stamp/WinTypes.h"
#include "winlib/Controls.h"

#include <shellapi.h>

class Dialog;
class DataExchange;

// One message as the dialog procedure received it, and what its handler answers.
struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
};

struct MessageEntry {
    using Thunk = void (*)(Dialog& dialog, Message& message);
    UINT message;      // first message of the range
    UINT lastMessage;  // last message of the range (the same for one message)
    UINT code;         // WM_COMMAND / WM_NOTIFY: notification code
    UINT id;           // WM_COMMAND / WM_NOTIFY: control or command id
    Thunk thunk;
};

struct MessageTable {
    const MessageEntry* entries;
    std::size_t count;
};

class Dialog {
  public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog in a modal loop of its own (so that PreTranslateMessage sees every
    // message) and gives the value passed to EndDialog, or -1 when it could not be created.
    INT_PTR DoModal();
    // Creates the dialog modeless, for tests that drive it message by message.
    HWND Create(HWND owner);
    void EndDialog(int result);

    HWND Hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

    // TRUE pulls the controls into the members, FALSE pushes the members into the controls.
    // Gives FALSE when the exchange stopped at a failure (already reported to the user).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    bool InExchange() const { return exchangeDepth_ > 0; }

    // While alive, notifications from the dialog's controls start no handler, as during an
    // exchange: for code that sets controls itself.
    class QuietControls {
      public:
        explicit QuietControls(Dialog& dialog) : dialog_(dialog) { ++dialog_.exchangeDepth_; }
        ~QuietControls() { --dialog_.exchangeDepth_; }
        QuietControls(const QuietControls&) = delete;
        QuietControls& operator=(const QuietControls&) = delete;

      private:
        Dialog& dialog_;
    };

    // The default handling of the message being handled now; gives its result.
    LRESULT Default();

    // Shows the error box for a StampTimeError: owned by the main window, captioned with the
    // application's name, with the system's text for the code.
    static void ReportError(const StampTimeError& error, UINT icon, bool fromMenu);
    // The same box for a status code; without a system text for it, the internal-error text
    // (the command-failed text for a menu command).
    static void ReportCode(std::uint32_t code, UINT icon, bool fromMenu);
    // Inside a catch block: reports the exception being handled, whatever it is.
    static void ReportCurrentException(UINT icon, bool fromMenu);

  protected:
    virtual MessageTable GetMessageTable() const;
    virtual void DoDataExchange(DataExchange& dx);
    virtual BOOL PreTranslateMessage(MSG* message);
    // Base initialisation: binds the controls and pushes the members into them.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    bool Handle(Message& m);
    void CenterIfNotPlaced(RECT before);

    static void ShowErrorBox(const char* text, UINT icon);
    void HideModal();
    void GiveBackOwner(bool activate);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    bool modal_ = false;          // running in DoModal's loop
    HWND modalOwner_ = nullptr;   // the window DoModal disabled, if any
    bool ownerDisabled_ = false;  // still disabled by DoModal
    bool modalEnded_ = false;
    int modalResult_ = -1;
    int exchangeDepth_ = 0;
    Message* current_ = nullptr;  // the message being handled
    UINT pendingDefault_ = 0;     // the message handed on to the default handling
};

// Builders of table entries, one for each kind of handler, so that each handler receives its
// message's arguments already decoded.
template <class T>
struct On {
    template <void (T::*F)()>
    static constexpr MessageEntry Command(UINT id, UINT code = 0) {
        return {WM_COMMAND, WM_COMMAND, code, id,
                [](Dialog& d, Message&) { (static_cast<T&>(d).*F)(); }};
    }
    template <void (T::*F)()>
    static constexpr MessageEntry Clicked(UINT id) {
        return Command<F>(id, BN_CLICKED);
    }
    template <void (T::*F)(NMHDR*, LRESULT*)>
    static constexpr MessageEntry Notify(UINT id, UINT code) {
        return {WM_NOTIFY, WM_NOTIFY, code, id, [](Dialog& d, Message& m) {
                    (static_cast<T&>(d).*F)(reinterpret_cast<NMHDR*>(m.lParam), &m.result);
                }};
    }
    template <void (T::*F)()>
    static constexpr MessageEntry Plain(UINT message) {
        return {message, message, 0, 0, [](Dialog& d, Message&) { (static_cast<T&>(d).*F)(); }};
    }
    template <void (T::*F)(UINT, LPARAM)>
    static constexpr MessageEntry SysCommand() {
        return {WM_SYSCOMMAND, WM_SYSCOMMAND, 0, 0, [](Dialog& d, Message& m) {
                    (static_cast<T&>(d).*F)(static_cast<UINT>(m.wParam), m.lParam);
                }};
    }
    template <HCURSOR (T::*F)()>
    static constexpr MessageEntry QueryDragIcon() {
        return {WM_QUERYDRAGICON, WM_QUERYDRAGICON, 0, 0, [](Dialog& d, Message& m) {
                    m.result = reinterpret_cast<LRESULT>((static_cast<T&>(d).*F)());
                }};
    }
    template <void (T::*F)(UINT, int, int)>
    static constexpr MessageEntry Size() {
        return {WM_SIZE, WM_SIZE, 0, 0, [](Dialog& d, Message& m) {
                    (static_cast<T&>(d).*F)(static_cast<UINT>(m.wParam),
                                            static_cast<short>(LOWORD(m.lParam)),
                                            static_cast<short>(HIWORD(m.lParam)));
                }};
    }
    template <void (T::*F)(HDROP)>
    static constexpr MessageEntry DropFiles() {
        return {WM_DROPFILES, WM_DROPFILES, 0, 0, [](Dialog& d, Message& m) {
                    (static_cast<T&>(d).*F)(reinterpret_cast<HDROP>(m.wParam));
                }};
    }
    template <void (T::*F)(HWND, POINT)>
    static constexpr MessageEntry ContextMenu() {
        return {WM_CONTEXTMENU, WM_CONTEXTMENU, 0, 0, [](Dialog& d, Message& m) {
                    const POINT point{static_cast<short>(LOWORD(m.lParam)),
                                      static_cast<short>(HIWORD(m.lParam))};
                    (static_cast<T&>(d).*F)(reinterpret_cast<HWND>(m.wParam), point);
                }};
    }
    // Every control-colour message.
    template <HBRUSH (T::*F)(HDC, HWND, UINT)>
    static constexpr MessageEntry CtlColor() {
        return {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0, [](Dialog& d, Message& m) {
                    m.result = reinterpret_cast<LRESULT>((static_cast<T&>(d).*F)(
                        reinterpret_cast<HDC>(m.wParam), reinterpret_cast<HWND>(m.lParam),
                        m.message - WM_CTLCOLORMSGBOX));
                }};
    }
    template <BOOL (T::*F)(HWND, UINT, UINT)>
    static constexpr MessageEntry SetCursor() {
        return {WM_SETCURSOR, WM_SETCURSOR, 0, 0, [](Dialog& d, Message& m) {
                    m.result = (static_cast<T&>(d).*F)(reinterpret_cast<HWND>(m.wParam),
                                                       LOWORD(m.lParam), HIWORD(m.lParam));
                }};
    }
    template <void (T::*F)(BOOL, UINT)>
    static constexpr MessageEntry ShowWindow() {
        return {WM_SHOWWINDOW, WM_SHOWWINDOW, 0, 0, [](Dialog& d, Message& m) {
                    (static_cast<T&>(d).*F)(static_cast<BOOL>(m.wParam),
                                            static_cast<UINT>(m.lParam));
                }};
    }
};

template <std::size_t N>
constexpr MessageTable TableOf(const MessageEntry (&entries)[N]) {
    return {entries, N};
}

// The data exchange of one UpdateData call. A failure stops it: members exchanged before the
// failing control hold their new values, the rest keep theirs.
class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}
    bool Saving() const { return save_; }

    // Binds a wrapper to its control, once.
    void Control(int id, Wnd& wrapper);
    // A date-time picker with one whole value: a pull takes a valid value through
    // FromSystemTime with daylight flag -1 (a year before 1900 gives the zero value) and leaves
    // the member alone when the picker holds none.
    void DateTime(int id, StampTime& value);
    // A check box with a 0 or 1 flag.
    void Check(int id, std::int32_t& flag);

    // Thrown to stop the exchange once the failure has been reported.
    struct Failed {};

  private:
    Dialog& dialog_;
    bool save_;
};
