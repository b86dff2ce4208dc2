// The application object: fixes the settings path, runs the main dialog and ends.
#pragma once

#include <string>

#include "winlib/App.h"

class CVelmoraApp : public WinApp {
  public:
    CVelmoraApp();
    ~CVelmoraApp() override;
    BOOL InitInstance() override;

    // The full path of Velmora.ini in the directory that was current at start-up, however
    // long; empty when that directory could not be read (then nothing is read or written).
    WideString m_szIniPath;
};

extern CVelmoraApp theApp;
