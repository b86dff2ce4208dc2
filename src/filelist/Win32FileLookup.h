// The file list's look-ups by name through Win32, for paths of any length.
#pragma once

#include "filelist/ReadFileTimes.h"

class Win32FileLookup : public FileLookup {
  public:
    bool FullPath(const WideString& path, WideString& full) override;
    bool Times(const WideString& full, FILETIME& creation, FILETIME& write) override;
};
