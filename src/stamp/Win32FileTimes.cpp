#include "Win32FileTimes.h"

namespace {
HANDLE ToWin32(FileTimes::Handle handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

FileTimes::Handle Win32FileTimes::OpenForWrite(const std::string& path) {
    // Backup semantics let a folder be opened like a file.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kInvalidHandle;
    return reinterpret_cast<Handle>(file);
}

bool Win32FileTimes::GetTimes(Handle handle, FILETIME* creation, FILETIME* access,
                              FILETIME* write) {
    return GetFileTime(ToWin32(handle), creation, access, write) != FALSE;
}

bool Win32FileTimes::SetTimes(Handle handle, const FILETIME* creation, const FILETIME* access,
                              const FILETIME* write) {
    return SetFileTime(ToWin32(handle), creation, access, write) != FALSE;
}

void Win32FileTimes::Close(Handle handle) { CloseHandle(ToWin32(handle)); }

std::uint32_t Win32FileTimes::LastError() { return GetLastError(); }

std::string Win32FileTimes::ErrorText(std::uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return "(null)";
    std::string text(buffer, length);
    LocalFree(buffer);
    return text;
}
