// How files get into the list: the open-file dialog (which replaces the list and remembers its
// folder), a drop on the window (appended), and the command line (once, at start-up).
#include <shlobj.h>
#include <shobjidl.h>

#include "app/VelmoraDlg.h"
#include "filelist/CommandLine.h"
#include "filelist/FileListRules.h"
#include "settings/IniStore.h"

namespace {

constexpr std::size_t kMaxChosenFiles = 200;
constexpr std::size_t kNameBufferSize = 10000;
const char kSection[] = "Settings";
const char kPathKey[] = "path";

// The text before the last backslash, stepping over double-byte characters.
std::string BeforeLastBackslash(const std::string& text) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte932(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            ++i;
        } else if (text[i] == '\\') {
            last = i;
        }
    }
    return last == std::string::npos ? std::string() : text.substr(0, last);
}

bool EndsWithBackslash(const std::string& text) {
    return !text.empty() && BeforeLastBackslash(text).size() + 1 == text.size();
}

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::vector<char> narrow(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow.data();
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
                choice.paths.push_back(Narrow(path));
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
    std::vector<char> names(kNameBufferSize, '\0');
    static const char kFilter[] = "全てのファイル(*.*)\0*.*\0";
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = static_cast<DWORD>(names.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    dialog.lpstrDefExt = "*";
    if (!GetOpenFileNameA(&dialog)) return false;
    // One file: its full path. Several: the folder, then each name, each ended by a zero.
    choice.first = names.data();
    const char* next = names.data() + choice.first.size() + 1;
    if (*next == '\0') {
        choice.paths.push_back(choice.first);
        return true;
    }
    const std::string folder = EndsWithBackslash(choice.first) ? choice.first : choice.first + "\\";
    for (; *next != '\0'; next += std::char_traits<char>::length(next) + 1) {
        choice.paths.push_back(folder + next);
    }
    return true;
}

// Every name of a drop, in order, each taken whole however long (a cut name could name another
// file). One walk over the drop data: asking the shell name by name walks it from the start
// each time, which is quadratic in the number of names.
std::vector<std::string> DroppedNames(HDROP drop) {
    std::vector<std::string> names;
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(drop));
    if (header == nullptr) return names;
    const char* block = reinterpret_cast<const char*>(header) + header->pFiles;
    if (header->fWide) {
        for (auto* name = reinterpret_cast<const wchar_t*>(block); *name != L'\0';
             name += std::char_traits<wchar_t>::length(name) + 1) {
            names.push_back(Narrow(name));
        }
    } else {
        for (const char* name = block; *name != '\0';
             name += std::char_traits<char>::length(name) + 1) {
            names.emplace_back(name);
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
    const std::string folder = ReadProfileString(kSection, kPathKey, "", 256, g_iniPath);
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());

    FileChoice choice;
    if (!ChooseFiles(choice)) return;

    m_FileList.DeleteAllItems();
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (std::size_t i = 0; i < choice.paths.size() && i < kMaxChosenFiles; ++i) {
            const int row = m_FileList.InsertItem(m_FileList.ItemCount(), choice.paths[i]);
            StampTime creation, write;
            ReadFileTimes(m_FileList.ItemText(row, 0), creation, write);
            m_FileList.SetItemText(row, 1, FormatStampText(creation, creation));
            m_FileList.SetItemText(row, 2, FormatStampText(write, write));
        }
    }
    // The folder to start in next time: the chosen file's folder, or the folder of several.
    const std::string remembered =
        choice.paths.size() > 1 ? choice.first : BeforeLastBackslash(choice.first);
    WriteProfileString(kSection, kPathKey, remembered, g_iniPath);
}

void CVelmoraDlg::AddDroppedFiles(HDROP drop) {
    DropData release(drop);
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (const std::string& name : DroppedNames(drop)) AddFileRow(name);
    }
    UpdateData(FALSE);
    Default();
}

void CVelmoraDlg::AddCommandLineFiles() {
    const std::vector<std::string> names = SplitCommandLine(g_commandLine);
    {
        RedrawLock lock(m_FileList.Hwnd());
        for (const std::string& name : names) {
            // A file whose time cannot be held is reported; the other names still come in and
            // the initialisation goes on.
            try {
                AddFileRow(name);
            } catch (const StampTimeError& error) {
                ReportError(error, MB_ICONSTOP, false);
            }
        }
    }
    const std::string folder = FolderOfLastName(names);
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
}
