// How files get into the list: the open-file dialog (which replaces the list and remembers its
// folder), a drop on the window (appended), and the command line (once, at start-up).
#include <shlobj.h>
#include <shobjidl.h>

#include "app/VelmoraDlg.h"
#include "filelist/CommandLine.h"
#include "filelist/FileListRules.h"
#include "settings/IniStore.h"
#include "settings/Settings.h"
#include "winlib/WaitCursor.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::size_t kMaxChosenFiles = 200;
// The classic dialog's name buffer holds 200 long names: a folder of the longest path Windows
// holds, then 200 names of the longest a folder entry can have, each with its terminator.
constexpr std::size_t kNameBufferChars = 32768 + kMaxChosenFiles * 256 + 1;
constexpr std::size_t kPathCapacity = 256;

// The text before the last backslash (the empty text when there is none).
WideString BeforeLastBackslash(const WideString& text) {
    const std::size_t last = text.rfind(L'\\');
    return last == WideString::npos ? WideString() : text.substr(0, last);
}

// A text of the system's code page in UTF-16, as that code page spells it.
WideString FromCodePage(const char* text, std::size_t length) {
    const int size = static_cast<int>(length);
    const int wide = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    if (wide <= 0) return WideString();
    WideString converted(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, converted.data(), wide);
    return converted;
}

// The settings file's code page spelling of a folder, only when every character converts
// exactly: no best-fit stand-in, no default character, and the spelling reads back the same.
bool ToCodePageExactly(const WideString& text, std::string& converted) {
    if (text.empty()) {
        converted.clear();
        return true;
    }
    BOOL usedDefault = FALSE;
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), length,
                                         nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) return false;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), length, narrow.data(), size,
                        nullptr, &usedDefault);
    if (usedDefault) return false;
    std::wstring back(text.size() + 1, L'\0');
    const int backLength = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), size,
                                               back.data(), static_cast<int>(back.size()));
    if (backLength != length || back.compare(0, text.size(), text) != 0) return false;
    converted = narrow;
    return true;
}

// The item-based dialog of newer systems; false (and `shown` false) where there is none.
bool ChooseWithItemDialog(HWND owner, FileChoice& choice, bool& shown) {
    shown = false;
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog)))) {
        return false;
    }
    shown = true;
    const COMDLG_FILTERSPEC filter[] = {{L"全てのファイル(*.*)", L"*.*"}};
    dialog->SetFileTypes(1, filter);
    dialog->SetDefaultExtension(L"*");
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // As the classic dialog with our flags: a name that does not exist may be chosen (its row
    // shows the zero value), and the dialog may change the current directory.
    dialog->SetOptions((options & ~(FOS_FILEMUSTEXIST | FOS_NOCHANGEDIR)) | FOS_ALLOWMULTISELECT |
                       FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM);
    bool ok = false;
    IShellItemArray* items = nullptr;
    if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResults(&items))) {
        DWORD count = 0;
        items->GetCount(&count);
        for (DWORD i = 0; i < count; ++i) {
            IShellItem* item = nullptr;
            wchar_t* path = nullptr;
            if (SUCCEEDED(items->GetItemAt(i, &item)) &&
                SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
                choice.paths.emplace_back(path);
                CoTaskMemFree(path);
            }
            if (item != nullptr) item->Release();
        }
        items->Release();
        ok = !choice.paths.empty();
        // As the classic dialog gives it: the file, or the folder of several files.
        if (ok) {
            choice.first =
                choice.paths.size() == 1 ? choice.paths[0] : BeforeLastBackslash(choice.paths[0]);
        }
    }
    dialog->Release();
    return ok;
}

bool ChooseWithClassicDialog(HWND owner, FileChoice& choice) {
    std::vector<wchar_t> names(kNameBufferChars, L'\0');
    static const wchar_t kFilter[] = L"全てのファイル(*.*)\0*.*\0";
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    dialog.lpstrDefExt = L"*";
    if (!GetOpenFileNameW(&dialog)) return false;
    // One file: its full path. Several: the folder, then each name, each ended by a zero.
    choice.first = names.data();
    const wchar_t* next = names.data() + choice.first.size() + 1;
    if (*next == L'\0') {
        choice.paths.push_back(choice.first);
        return true;
    }
    const WideString folder =
        !choice.first.empty() && choice.first.back() == L'\\' ? choice.first : choice.first + L'\\';
    for (; *next != L'\0'; next += std::char_traits<wchar_t>::length(next) + 1) {
        choice.paths.push_back(folder + next);
    }
    return true;
}

// Every name of a drop, in order, each taken whole however long (a cut name could name another
// file, so a name that the block's end cuts off is left out). One walk over the drop data, never
// past its end: asking the shell name by name walks it from the start each time, which is
// quadratic in the number of names. Names of an ANSI drop are
// turned into UTF-16 as the system's code page spells them.
std::vector<WideString> DroppedNames(HDROP drop) {
    std::vector<WideString> names;
    const SIZE_T size = GlobalSize(drop);
    const auto* data = static_cast<const char*>(GlobalLock(drop));
    if (data == nullptr) return names;
    const auto* header = reinterpret_cast<const DROPFILES*>(data);
    if (size >= sizeof(DROPFILES) && header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
        const char* block = data + header->pFiles;
        const char* end = data + size;
        if (header->fWide) {
            const auto* name = reinterpret_cast<const wchar_t*>(block);
            const auto* last = reinterpret_cast<const wchar_t*>(block + (end - block) / 2 * 2);
            while (name < last && *name != L'\0') {
                const wchar_t* stop = std::find(name, last, L'\0');
                if (stop == last) break;  // cut off by the block's end: not a whole name
                names.emplace_back(name, stop);
                name = stop + 1;
            }
        } else {
            const char* name = block;
            while (name < end && *name != '\0') {
                const char* stop = std::find(name, end, '\0');
                if (stop == end) break;  // cut off by the block's end: not a whole name
                names.push_back(FromCodePage(name, static_cast<std::size_t>(stop - name)));
                name = stop + 1;
            }
        }
    }
    GlobalUnlock(drop);
    return names;
}

// Releases the drop data when the handler ends, also through a StampTimeError.
class DropData {
  public:
    explicit DropData(HDROP drop) : drop_(drop) {}
    ~DropData() { DragFinish(drop_); }
    DropData(const DropData&) = delete;
    DropData& operator=(const DropData&) = delete;

  private:
    HDROP drop_;
};

}  // namespace

bool CVelmoraDlg::ChooseFiles(FileChoice& choice) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    bool shown = false;
    bool ok = ChooseWithItemDialog(Hwnd(), choice, shown);
    if (!shown) ok = ChooseWithClassicDialog(Hwnd(), choice);
    if (com) CoUninitialize();
    return ok;
}

void CVelmoraDlg::AddFilesFromDialog() {
    // The stored folder is spelt exactly in the file's code page (see PathKeyValue).
    const std::string folder =
        ReadProfileString(settings::kSection, settings::kPath, "", kPathCapacity, g_iniPath);
    if (!folder.empty()) SetCurrentDirectoryW(FromCodePage(folder.data(), folder.size()).c_str());

    FileChoice choice;
    if (!ChooseFiles(choice)) return;
    const WaitCursor wait;

    m_FileList.DeleteAllItems();
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (std::size_t i = 0; i < choice.paths.size() && i < kMaxChosenFiles; ++i) {
            const int row = m_FileList.InsertItem(m_FileList.ItemCount(), choice.paths[i]);
            SetRowTimes(row, m_FileList.ItemText(row, 0));
        }
    }
    // The folder to start in next time: the chosen file's folder, or the folder of several.
    const std::optional<std::string> remembered =
        settings::PathKeyValue(choice.first, choice.paths.size() > 1, ToCodePageExactly);
    if (remembered) WriteProfileString(settings::kSection, settings::kPath, *remembered, g_iniPath);
}

void CVelmoraDlg::AddDroppedFiles(HDROP drop) {
    DropData release(drop);
    const WaitCursor wait;
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (const WideString& name : DroppedNames(drop)) AddFileRow(name);
    }
    UpdateData(FALSE);
    Default();
}

void CVelmoraDlg::AddCommandLineFiles() {
    const std::vector<WideString> names = SplitCommandLine(g_commandLine);
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (const WideString& name : names) {
            // A file whose time cannot be held is reported; the other names still come in and
            // the initialisation goes on.
            try {
                AddFileRow(name);
            } catch (const StampTimeError& error) {
                ReportError(error, MB_ICONSTOP, false);
            }
        }
    }
    const WideString folder = FolderOfLastName(names);
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
}
