// What the dialog tests under Wine share: an application object, message pumping, a capture of
// the real message boxes (read and closed by a CBT hook, the product's MessageBoxA untouched)
// and screenshots.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "winlib/App.h"

class TestApp : public WinApp {
  public:
    BOOL InitInstance() override { return FALSE; }
};

TestApp& TheTestApp();

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
