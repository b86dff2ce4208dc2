// What the dialog tests under Wine share: an application object, message pumping, a capture of
// the real message boxes (read and closed by a CBT hook, the product's MessageBoxA untouched)
// and screenshots.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Utf8.h"
#include "stamp/WideText.h"
#include "winlib/App.h"

class TestApp : public WinApp {
  public:
    BOOL InitInstance() override { return FALSE; }
};

TestApp& TheTestApp();

// An ANSI test text as the program's wide text (for names the code page spells).
std::wstring Wide(const std::string& ansi);

// A SYSTEMTIME of the given fields (day of week and milliseconds 0).
inline SYSTEMTIME Record(int y, int mo, int d, int h, int mi, int s) {
    SYSTEMTIME r{};
    r.wYear = static_cast<WORD>(y);
    r.wMonth = static_cast<WORD>(mo);
    r.wDay = static_cast<WORD>(d);
    r.wHour = static_cast<WORD>(h);
    r.wMinute = static_cast<WORD>(mi);
    r.wSecond = static_cast<WORD>(s);
    return r;
}

// The system's text for a status code as the error box looks it up (language 0x0800).
std::string SystemText(DWORD code);

// A folder and everything in it, read-only files too, removed, whatever the names' characters
// and lengths.
void RemoveTree(const std::wstring& folder);
void RemoveTree(const std::string& folder);
// A file's bytes, or nothing when it cannot be read.
std::string FileBytes(const std::string& path);

// Handles every message waiting for this thread.
void Pump();

struct CapturedBox {
    std::string caption;
    std::string text;
    std::string icon;  // "stop", "exclamation", "information" or "none"
    HWND owner;
};

// While alive, every message box of this thread is recorded and closed with OK. `onDialog` sees
// every other dialog that is activated (the About box, ...) and may close it.
class BoxCapture {
  public:
    explicit BoxCapture(std::function<void(HWND)> onDialog = nullptr);
    ~BoxCapture();
    std::vector<CapturedBox> boxes;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    std::function<void(HWND)> onDialog_;
};

// Saves what the screen shows of a window (frame included) as a BMP under the folder named by
// VELMORA_SHOTS (the test runner converts them to PNG); does nothing when it is not set.
void SaveScreenshot(HWND window, const std::string& name);
