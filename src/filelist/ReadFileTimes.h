// Reading a listed file's current times by name, from the file system's directory data (the
// file is not opened). The list shows them when a row is added.
#pragma once

#include "stamp/StampTime.h"
#include "stamp/WideText.h"

// The two questions asked of the file system.
class FileLookup {
  public:
    virtual ~FileLookup() = default;
    // The full path of a name, however long, or false when it cannot be made.
    virtual bool FullPath(const WideString& path, WideString& full) = 0;
    // The creation and last-write times of a file or folder, or false when the file system
    // gives no attribute data for the name.
    virtual bool Times(const WideString& full, FILETIME& creation, FILETIME& write) = 0;
};

// Fails for a name that cannot become a full path and a name without attribute data; the values
// are then left as they were. A path of any length that the file system holds is read. A time
// that cannot be turned into calendar fields reads as the zero value; a local year before 1900
// too; a time that a StampTime cannot hold raises StampTimeError. A creation time of zero takes
// the last-write time.
bool ReadFileTimes(const WideString& path, FileLookup& lookup, StampTime& creation,
                   StampTime& write);
