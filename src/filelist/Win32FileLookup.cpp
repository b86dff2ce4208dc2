#include "filelist/Win32FileLookup.h"

bool Win32FileLookup::FullPath(const std::string& path, std::string& full) {
    char buffer[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    full.assign(buffer, length);
    return true;
}

bool Win32FileLookup::Times(const std::string& full, FILETIME& creation, FILETIME& write) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &data)) return false;
    creation = data.ftCreationTime;
    write = data.ftLastWriteTime;
    return true;
}
