// The main dialog: the file list, the four date-time pickers with their check boxes, Run and
// close. Every user action is one message handled through the message table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stamp/StampTime.h"
#include "winlib/Controls.h"
#include "winlib/Dialog.h"

// What the open-file dialog gave: its first result text (the chosen file, or the folder of
// several) and every chosen file as a full path, in the dialog's order.
struct FileChoice {
    WideString first;
    std::vector<WideString> paths;
};

class CVelmoraDlg : public Dialog {
  public:
    CVelmoraDlg();
    ~CVelmoraDlg() override;

  protected:
    MessageTable GetMessageTable() const override;
    void DoDataExchange(DataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;

    // Handlers and steps, by subject: the window and its controls
    void OnSysCommand(UINT command, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int cx, int cy);
    void OnMakeDateTimeChange(NMHDR* header, LRESULT* result);
    void OnMakeDateCheck();
    void OnMakeTimeCheck();
    void OnModifyDateCheck();
    void OnModifyTimeCheck();
    void OnCopyToModify();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    void OnWebLink();
    void OnAbout();
    // the run
    void OnRun();
    // the file list and its sources
    void InitFileList();
    void AddFileRow(const WideString& path);
    // Columns 1 and 2 of a row: the times of its file, or the zero value's when they cannot be
    // read.
    void SetRowTimes(int row, const WideString& path);
    bool ReadFileTimes(const WideString& path, StampTime& creation, StampTime& write);
    void AddCommandLineFiles();
    void AddFilesFromDialog();
    void AddDroppedFiles(HDROP drop);
    void OnListKeyDown(NMHDR* header, LRESULT* result);
    void OnListCustomDraw(NMHDR* header, LRESULT* result);
    void OnListInfoTip(NMHDR* header, LRESULT* result);
    void RemoveSelectedRows();
    void OnRemoveAll();
    void ShowListMenu(HWND window, POINT point);
    void SetPickersFromRow();
    // the settings
    void LoadSettings();
    void LoadStartupValues();
    void SaveSettings();
    void WriteSettings();
    void ShowOptionDialog();

    // Enables the arrow button exactly when a creation part is ticked.
    void EnableCopyButton();

    // Shows the system's open-file dialog; false when it did not end with OK.
    virtual bool ChooseFiles(FileChoice& choice);

    Button m_MakeTimeCheck;
    Button m_MakeDateCheck;
    Button m_ModifyDateCheck;
    Button m_ModifyTimeCheck;
    Button m_CancelButton;
    Button m_RunButton;
    DateTimeCtrl m_MakeDate;
    DateTimeCtrl m_MakeTime;
    DateTimeCtrl m_ModifyDate;
    DateTimeCtrl m_ModifyTime;
    Button m_MakeGroup;
    Button m_ModifyGroup;
    Button m_FilesGroup;
    Button m_AddButton;
    ListCtrl m_FileList;

  public:
    // The chosen values and flags; the run uses the date fields of the date values and the
    // time-of-day fields of the time values.
    StampTime m_tMakeDate;
    StampTime m_tMakeTime;
    StampTime m_tModifyDate;
    StampTime m_tModifyTime;
    std::int32_t m_bMakeDate = 0;
    std::int32_t m_bMakeTime = 0;
    std::int32_t m_bModifyDate = 0;
    std::int32_t m_bModifyTime = 0;

  protected:
    HICON m_hIcon;
    ToolTipCtrl m_ToolTip;
    Static m_WebLink;
    Button m_CopyToModify;
};

// The command-line text the application keeps for the main dialog.
extern const WideChar* g_commandLine;
// The settings file's full path, fixed at start-up.
extern const WideChar* g_iniPath;
