// The file times of the run, through Win32 file handles.
#pragma once

#include "ApplyRun.h"

class Win32FileTimes : public FileTimes {
  public:
    Handle OpenForWrite(const std::string& path) override;
    bool GetTimes(Handle handle, FILETIME* creation, FILETIME* access, FILETIME* write) override;
    bool SetTimes(Handle handle, const FILETIME* creation, const FILETIME* access,
                  const FILETIME* write) override;
    void Close(Handle handle) override;
    std::uint32_t LastError() override;
    std::string ErrorText(std::uint32_t code) override;
};
