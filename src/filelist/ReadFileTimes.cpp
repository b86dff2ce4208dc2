#include "filelist/ReadFileTimes.h"

namespace {

constexpr std::size_t kMaxPath = 260;

StampTime ValueOf(const FILETIME& time) {
    // Beyond 0x7FFFFFFFFFFFFFFF the system cannot make calendar fields of a file time.
    if ((time.dwHighDateTime & 0x80000000u) != 0) return StampTime();
    return StampTime::FromFileTime(time, -1);
}

}  // namespace

bool ReadFileTimes(const std::string& path, FileLookup& lookup, StampTime& creation,
                   StampTime& write) {
    if (path.size() >= kMaxPath) return false;
    std::string full;
    if (!lookup.FullPath(path, full) || full.size() >= kMaxPath) return false;
    FILETIME creationTime{}, writeTime{};
    if (!lookup.Times(full, creationTime, writeTime)) return false;
    StampTime c = ValueOf(creationTime);
    const StampTime w = ValueOf(writeTime);
    if (c == StampTime()) c = w;
    creation = c;
    write = w;
    return true;
}
