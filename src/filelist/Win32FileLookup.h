// The file list's look-ups by name through Win32.
#pragma once

#include "filelist/ReadFileTimes.h"

class Win32FileLookup : public FileLookup {
  public:
    bool FullPath(const std::string& path, std::string& full) override;
    bool Times(const std::string& full, FILETIME& creation, FILETIME& write) override;
};
