#include "winlib/App.h"

#include <vector>

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
    // The program file's wide path, however long; its name is the boxes' caption, in the code
    // page of the program's own texts.
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()))) ==
               path.size() &&
           path.size() < 32768) {
        path.resize(path.size() * 2);
    }
    const WideString name = AppNameFromPath(WideString(path.data(), length));
    const int size = WideCharToMultiByte(CP_ACP, 0, name.c_str(), static_cast<int>(name.size()),
                                         nullptr, 0, nullptr, nullptr);
    appName_.assign(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), static_cast<int>(name.size()), appName_.data(),
                        size, nullptr, nullptr);
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
