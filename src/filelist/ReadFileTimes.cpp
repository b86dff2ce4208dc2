#include "filelist/ReadFileTimes.h"

namespace {

StampTime ValueOf(const FILETIME& time) {
    // Beyond 0x7FFFFFFFFFFFFFFF the system cannot make calendar fields of a file time.
    if ((time.dwHighDateTime & 0x80000000u) != 0) return StampTime();
    return StampTime::FromFileTime(time, -1);
}

}  // namespace

bool ReadFileTimes(const WideString& path, FileLookup& lookup, StampTime& creation,
                   StampTime& write) {
    WideString full;
    if (path.empty() || !lookup.FullPath(path, full)) return false;
    FILETIME creationTime{}, writeTime{};
    if (!lookup.Times(full, creationTime, writeTime)) return false;
    StampTime c = ValueOf(creationTime);
    const StampTime w = ValueOf(writeTime);
    if (c == StampTime()) c = w;
    creation = c;
    write = w;
    return true;
}
