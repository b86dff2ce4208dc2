#include "app/VelmoraApp.h"

#include <vector>

#include "app/VelmoraDlg.h"
#include "settings/Settings.h"

namespace {
// The current directory's wide path however long, or the empty text when it cannot be read.
WideString CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) return WideString();
    std::vector<wchar_t> directory(size + 1, L'\0');
    const DWORD length = GetCurrentDirectoryW(size + 1, directory.data());
    if (length == 0 || length > size) return WideString();
    return WideString(directory.data(), length);
}
}  // namespace

CVelmoraApp theApp;

CVelmoraApp::CVelmoraApp() = default;

CVelmoraApp::~CVelmoraApp() = default;

BOOL CVelmoraApp::InitInstance() {
    g_commandLine = CommandLine();
    m_szIniPath = settings::SettingsPath(CurrentDirectory());
    g_iniPath = m_szIniPath.c_str();
    CVelmoraDlg dialog;
    SetMainDialog(&dialog);
    dialog.DoModal();
    SetMainDialog(nullptr);
    return FALSE;
}
