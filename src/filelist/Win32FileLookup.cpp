#include "filelist/Win32FileLookup.h"

#include "stamp/Win32FileTimes.h"

bool Win32FileLookup::FullPath(const WideString& path, WideString& full) {
    full = FullPathOf(path);
    return !full.empty();
}

bool Win32FileLookup::Times(const WideString& full, FILETIME& creation, FILETIME& write) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(LongPathForm(full).c_str(), GetFileExInfoStandard, &data)) {
        return false;
    }
    creation = data.ftCreationTime;
    write = data.ftLastWriteTime;
    return true;
}
