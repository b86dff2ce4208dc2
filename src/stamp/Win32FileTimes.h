// The file times of the run, through Win32 file handles.
#pragma once

#include "ApplyRun.h"

// The full path of a name (a relative one against the current directory), however long, or the
// empty text when it cannot be made.
WideString FullPathOf(const WideString& path);

class Win32FileTimes : public FileTimes {
  public:
    Handle OpenForWrite(const WideString& path) override;
    bool GetTimes(Handle handle, FILETIME* creation, FILETIME* access, FILETIME* write) override;
    bool SetTimes(Handle handle, const FILETIME* creation, const FILETIME* access,
                  const FILETIME* write) override;
    void Close(Handle handle) override;
    std::uint32_t LastError() override;
    WideString ErrorText(std::uint32_t code) override;
};
