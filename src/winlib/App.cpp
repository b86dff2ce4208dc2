#include "winlib/App.h"

#include "filelist/CommandLine.h"
#include "winlib/Dialog.h"

WinApp* WinApp::current_ = nullptr;

WinApp::WinApp() { current_ = this; }

WinApp::~WinApp() {
    if (current_ == this) current_ = nullptr;
}

HWND WinApp::MainWindow() const { return mainDialog_ != nullptr ? mainDialog_->Hwnd() : nullptr; }

void WinApp::Init(HINSTANCE instance) {
    instance_ = instance;
    commandLine_ = SkipProgramName(GetCommandLineW());
    char path[MAX_PATH] = "";
    GetModuleFileNameA(instance, path, MAX_PATH);
    appName_ = AppNameFromPath(path);
}

int WinApp::Run(HINSTANCE instance) {
    Init(instance);
    try {
        InitInstance();
    } catch (...) {
        Dialog::ReportCurrentException(MB_ICONSTOP, false);
        return 1;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WinApp* app = WinApp::Current();
    return app != nullptr ? app->Run(instance) : 1;
}
