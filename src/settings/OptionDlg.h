// The option dialog: the start-up date mode and time mode, read from and written to the settings
// file directly; it keeps no state of its own.
#pragma once

#include "winlib/Controls.h"
#include "winlib/Dialog.h"

class COptionDlg : public Dialog {
  public:
    COptionDlg();
    ~COptionDlg() override;

  protected:
    MessageTable GetMessageTable() const override;
    void DoDataExchange(DataExchange& dx) override;
    BOOL OnInitDialog() override;

    void SaveModes();
    void SelectStoredModes(BOOL show, UINT status);

    ComboBox m_DefaultDay;
    ComboBox m_DefaultTime;
};
