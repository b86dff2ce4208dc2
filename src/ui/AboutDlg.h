// The About box: name, version, copyright and the web address as a link.
#pragma once

#include "winlib/Dialog.h"

class CAboutDlg : public Dialog {
  public:
    CAboutDlg();
    ~CAboutDlg() override;

  protected:
    MessageTable GetMessageTable() const override;
    BOOL OnInitDialog() override;

    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnDestroy();
    void OnAboutLink();
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
};
