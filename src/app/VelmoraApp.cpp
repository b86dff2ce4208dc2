#include "app/VelmoraApp.h"

#include <cstring>

#include "app/VelmoraDlg.h"

CVelmoraApp theApp;

CVelmoraApp::CVelmoraApp() = default;

CVelmoraApp::~CVelmoraApp() = default;

BOOL CVelmoraApp::InitInstance() {
    g_commandLine = CommandLine();
    const DWORD length = GetCurrentDirectoryA(sizeof m_szIniPath, m_szIniPath);
    if (length == 0 || length >= sizeof m_szIniPath) {
        m_szIniPath[0] = '\0';
    } else {
        strncat(m_szIniPath, "\\", sizeof m_szIniPath - std::strlen(m_szIniPath) - 1);
        strncat(m_szIniPath, "Velmora.ini", sizeof m_szIniPath - std::strlen(m_szIniPath) - 1);
    }
    g_iniPath = m_szIniPath;
    CVelmoraDlg dialog;
    SetMainDialog(&dialog);
    dialog.DoModal();
    SetMainDialog(nullptr);
    return FALSE;
}
