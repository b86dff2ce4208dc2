// The application object: fixes the settings path, runs the main dialog and ends.
#pragma once

#include "winlib/App.h"

class CVelmoraApp : public WinApp {
  public:
    CVelmoraApp();
    ~CVelmoraApp() override;
    BOOL InitInstance() override;

    // The full path of Velmora.ini in the directory that was current at start-up; empty when
    // that directory could not be read.
    char m_szIniPath[256] = {};
};

extern CVelmoraApp theApp;
