// The Run command: writes the chosen parts of a StampChoice into every listed file, keeps the
// parts not chosen from each file's own times, and shows in each row what the file now holds.
// It reaches the dialog, the list and the file system through three small interfaces, so it
// runs the same over the real list view and Win32, and over test doubles.
#pragma once

#include <cstdint>
#include <string>

#include "StampTime.h"
#include "WideText.h"

// What the user picked: four values and four flags. The run takes only the date fields of the
// two date values and only the time-of-day fields of the two time values; a flag counts when
// it is nonzero.
struct StampChoice {
    StampTime tMakeDate;
    StampTime tMakeTime;
    StampTime tModifyDate;
    StampTime tModifyTime;
    std::int32_t bMakeDate = 0;
    std::int32_t bMakeTime = 0;
    std::int32_t bModifyDate = 0;
    std::int32_t bModifyTime = 0;
};

// Message box icons the run uses.
constexpr unsigned kIconExclamation = 0x30;  // MB_ICONEXCLAMATION
constexpr unsigned kIconInformation = 0x40;  // MB_ICONINFORMATION

// The rows of the file list: column 0 the path, 1 the creation and 2 the last-write time.
class RunRows {
  public:
    virtual ~RunRows() = default;
    virtual int RowCount() = 0;
    virtual WideString RowPath(int row) = 0;
    virtual void SetRowText(int row, int column, const std::string& text) = 0;
};

// The dialog that runs the command.
class RunHost {
  public:
    virtual ~RunHost() = default;
    virtual void FocusAddButton() = 0;
    // Pulls the controls into the dialog's members and gives the choice as it then stands
    // (whether or not the exchange stopped at a failure).
    virtual StampChoice PullChoice() = 0;
    // The run's boxes are shown through the wide functions: the failure message names a path.
    virtual void ShowMessage(const WideString& text, const WideString& caption, unsigned icon) = 0;
};

// The file system, through a handle opened for writing.
class FileTimes {
  public:
    using Handle = std::intptr_t;
    static constexpr Handle kInvalidHandle = -1;

    virtual ~FileTimes() = default;
    // GENERIC_WRITE, shared for reading, existing files and folders only; a path of any length.
    virtual Handle OpenForWrite(const WideString& path) = 0;
    virtual bool GetTimes(Handle handle, FILETIME* creation, FILETIME* access, FILETIME* write) = 0;
    // A null time is left as the file holds it.
    virtual bool SetTimes(Handle handle, const FILETIME* creation, const FILETIME* access,
                          const FILETIME* write) = 0;
    virtual void Close(Handle handle) = 0;
    virtual std::uint32_t LastError() = 0;
    // The system's text for an error code, or "(null)" when it has none.
    virtual WideString ErrorText(std::uint32_t code) = 0;
};

// The texts of the run.
namespace run_text {
extern const WideChar* const kNoFlag;
extern const WideChar* const kNoFlagCaption;
extern const WideChar* const kNoRows;
extern const WideChar* const kNoRowsCaption;
extern const WideChar* const kFailedCaption;
extern const WideChar* const kDoneCaption;
// The path is shown as the user reads it, without a long-path prefix.
WideString Failed(const WideString& systemText, const WideString& path);
WideString Done(int count);
}  // namespace run_text

// Runs the command from row 0. A StampTimeError leaves it (after the file in hand is closed)
// for the dialog's error box.
void ApplyRun(RunRows& rows, RunHost& host, FileTimes& files);
