#include "app/VelmoraApp.h"

#include <vector>

#include "app/VelmoraDlg.h"
#include "settings/Settings.h"

namespace {
// The current directory however long, or the empty text when it cannot be read.
std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> directory(size + 1, '\0');
    const DWORD length = GetCurrentDirectoryA(size + 1, directory.data());
    if (length == 0 || length > size) return std::string();
    return std::string(directory.data(), length);
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
