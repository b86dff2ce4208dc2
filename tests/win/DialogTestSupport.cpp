#include "DialogTestSupport.h"

#include <cstdio>
#include <cstdlib>

namespace {
BoxCapture* g_capture = nullptr;

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string IconName(HWND box) {
    // The icon control is 20 on Windows and 1088 on Wine.
    for (int id : {20, 1088}) {
        HWND control = GetDlgItem(box, id);
        if (control == nullptr) continue;
        const HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
        if (icon == nullptr) continue;
        if (icon == LoadIconA(nullptr, IDI_HAND)) return "stop";
        if (icon == LoadIconA(nullptr, IDI_EXCLAMATION)) return "exclamation";
        if (icon == LoadIconA(nullptr, IDI_ASTERISK)) return "information";
        return "other";
    }
    return "none";
}
}  // namespace

TestApp& TheTestApp() {
    static TestApp app;
    static const bool initialised = [] {
        app.Init(GetModuleHandleA(nullptr));
        return true;
    }();
    (void)initialised;
    return app;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BoxCapture::BoxCapture(std::function<void(HWND)> onDialog) : onDialog_(std::move(onDialog)) {
    g_capture = this;
    hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

BoxCapture::~BoxCapture() {
    UnhookWindowsHookEx(hook_);
    g_capture = nullptr;
}

LRESULT CALLBACK BoxCapture::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_capture != nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) == "#32770") {
            HWND textControl = GetDlgItem(window, 0xFFFF);
            const std::string icon = IconName(window);
            if (textControl != nullptr && icon != "none") {  // a message box, not our dialog
                g_capture->boxes.push_back({WindowText(window), WindowText(textControl), icon,
                                            GetWindow(window, GW_OWNER)});
                PostMessageA(window, WM_COMMAND, IDOK, 0);
            } else if (g_capture->onDialog_) {
                g_capture->onDialog_(window);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SaveScreenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("VELMORA_SHOTS");
    if (folder == nullptr || *folder == '\0') return;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    Pump();
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, size, 1, out);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(LongPathForm(folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(LongPathForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(LongPathForm(path).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(LongPathForm(folder).c_str());
}

void RemoveTree(const std::string& folder) { RemoveTree(Wide(folder)); }

std::string FileBytes(const std::string& path) {
    std::string bytes;
    if (FILE* in = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
        std::fclose(in);
    }
    return bytes;
}

std::string SystemText(DWORD code) {
    char* buffer = nullptr;
    const DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                       0x0800, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text(buffer != nullptr ? buffer : "", n);
    LocalFree(buffer);
    return text;
}

std::wstring Wide(const std::string& ansi) {
    std::wstring text(ansi.size() + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(),
                            static_cast<int>(text.size()))));
    return text;
}
