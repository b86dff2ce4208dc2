// The application object: one global instance, constructed before the entry point runs. The
// entry point calls its InitInstance, which runs the main dialog modally; when it returns FALSE
// the process ends without a message loop of its own.
#pragma once

#include <string>

#include "stamp/WideText.h"
#include "stamp/WinTypes.h"

class Dialog;

class WinApp {
  public:
    WinApp();
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    static WinApp* Current() { return current_; }

    virtual BOOL InitInstance() = 0;

    HINSTANCE Instance() const { return instance_; }
    // The module holding the program's resources: the application's, or this program file's
    // when no application object has started (the tests).
    static HINSTANCE ResourceInstance() {
        return current_ != nullptr && current_->instance_ != nullptr ? current_->instance_
                                                                     : GetModuleHandleA(nullptr);
    }
    // The wide command line after the program's own name and the blanks that follow it: file
    // names in it are spelt as the file system spells them.
    const WideChar* CommandLine() const { return commandLine_; }
    // The program file's name without its extension: the caption of the library's own boxes.
    const std::string& AppName() const { return appName_; }

    // The main window: the owner of the library's boxes and of dialogs opened without a parent.
    HWND MainWindow() const;
    void SetMainDialog(Dialog* dialog) { mainDialog_ = dialog; }

    // Takes the instance, the command line and the program's name.
    void Init(HINSTANCE instance);
    // Called by the entry point; returns the process's exit code.
    int Run(HINSTANCE instance);

  private:
    static WinApp* current_;
    HINSTANCE instance_ = nullptr;
    const WideChar* commandLine_ = WIDE("");
    std::string appName_;
    Dialog* mainDialog_ = nullptr;
};
