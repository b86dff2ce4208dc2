#include "Win32FileTimes.h"

#include <vector>

namespace {
HANDLE ToWin32(FileTimes::Handle handle) { return reinterpret_cast<HANDLE>(handle); }

// The name the file calls take: a name whose full path is shorter than MAX_PATH as it is, so
// that relative names resolve as they always do; a longer one as its full path in the long form.
WideString NameForFileCalls(const WideString& path) {
    const WideString full = FullPathOf(path);
    return full.size() < kLongPathFrom ? path : LongPathForm(full);
}
}  // namespace

WideString FullPathOf(const WideString& path) {
    wchar_t small[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, small, nullptr);
    if (length == 0) return WideString();
    if (length < MAX_PATH) return WideString(small, length);
    // Longer: the length asked for counts the terminator.
    std::vector<wchar_t> large(length);
    const DWORD written = GetFullPathNameW(path.c_str(), length, large.data(), nullptr);
    if (written == 0 || written >= length) return WideString();
    return WideString(large.data(), written);
}

FileTimes::Handle Win32FileTimes::OpenForWrite(const WideString& path) {
    // Backup semantics let a folder be opened like a file.
    HANDLE file = CreateFileW(NameForFileCalls(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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

WideString Win32FileTimes::ErrorText(std::uint32_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return WIDE("(null)");
    WideString text(buffer, length);
    LocalFree(buffer);
    return text;
}
