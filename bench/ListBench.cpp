// The file list with the real main dialog, created modeless, each figure against the platform's
// own cost of the same work, in one process:
//   1. adding dropped files by a real WM_DROPFILES with a wide drop block, against a bare loop of
//      GetFileAttributesExW per name plus LVM_INSERTITEMW and two LVM_SETITEMTEXTW per name on
//      the same list view (the list view is the only store of the files);
//   2. removing every other row, selected, by the remove command;
//   3. the Run over listed files, against the five file calls per file.
// Rounds alternate between the program and its bare loop; medians and ratios are printed. The
// pieces each step is made of are then timed one by one on the same list view, to show where
// the time goes. The names are UTF-16 and some hold characters code page 932 cannot spell.
// Usage: velmora_list_bench.exe [DIVISOR] divides every count (quick run: 10).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "DialogTestSupport.h"
#include "app/VelmoraDlg.h"
#include "filelist/FileListRules.h"
#include "filelist/ReadFileTimes.h"
#include "filelist/Win32FileLookup.h"
#include "res/resource.h"
#include "stamp/ApplyRun.h"
#include "stamp/StampTime.h"
#include "stamp/WideText.h"
#include "stamp/Win32FileTimes.h"

#include <shlobj.h>  // DROPFILES

namespace {

constexpr int kRounds = 7;

double Seconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Accumulates the time of one piece over many calls.
struct Piece {
    const char* name;
    double total = 0;
};

class Timed {
  public:
    explicit Timed(Piece& piece) : piece_(piece), start_(Seconds()) {}
    ~Timed() { piece_.total += Seconds() - start_; }
    Timed(const Timed&) = delete;
    Timed& operator=(const Timed&) = delete;

  private:
    Piece& piece_;
    double start_;
};

void PrintPieces(const std::vector<Piece>& pieces, int calls) {
    for (const Piece& p : pieces) {
        std::printf("    %-48s %8.4f s  %8.2f us/row\n", p.name, p.total,
                    calls > 0 ? p.total * 1e6 / calls : 0.0);
    }
}

// The program's times beside those of what it stands on (`base`), and the goal on their ratio.
void PrintFigures(const char* what, const char* base, const std::vector<double>& program,
                  const std::vector<double>& bare, double goalRatio) {
    const double p = Median(program), b = Median(bare);
    std::printf("  %-22s median %.4f s (min %.4f)\n", "program", p, Min(program));
    std::printf("  %-22s median %.4f s (min %.4f)\n", base, b, Min(bare));
    std::printf("  ratio %.3f (of the minima %.3f); goal %s at most %.2fx %s: %s\n", p / b,
                Min(program) / Min(bare), what, goalRatio, base,
                p / b <= goalRatio ? "met" : "MISSED");
}

// Bench file i in a folder. Names 1, 5, 9, ... hold Hangul, names 3, 7, 11, ... a character
// outside the BMP (two UTF-16 units): none of them has a spelling in code page 932.
WideString BenchName(const WideString& folder, int i) {
    static const WideChar* const kMarks[] = {WIDE(""), WIDE("-\uD55C\uAE00"), WIDE(""),
                                             WIDE("-\U00020B9F")};
    char number[16];
    std::snprintf(number, sizeof number, "%05d", i);
    return folder + WIDE("\\file") + WidenAscii(number) + kMarks[i % 4] + WIDE(".jpg");
}

// A drop block as the shell makes it: DROPFILES, then UTF-16 names each ended by a zero, then a
// final zero. The receiver frees it with DragFinish.
HDROP MakeDrop(const std::vector<WideString>& names, int count) {
    std::size_t units = 1;
    for (int i = 0; i < count; ++i) units += names[i].size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(WideChar));
    if (block == nullptr) std::abort();
    char* bytes = static_cast<char*>(GlobalLock(block));
    DROPFILES* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = sizeof(DROPFILES);
    header->fNC = FALSE;
    header->fWide = TRUE;
    WideChar* next = reinterpret_cast<WideChar*>(bytes + sizeof(DROPFILES));
    for (int i = 0; i < count; ++i) {
        next = std::copy(names[i].begin(), names[i].end(), next);
        *next++ = 0;
    }
    *next = 0;
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

// The names of a wide drop block, in one walk that stays inside the block, as the handler
// walks it.
std::vector<WideString> WalkDrop(HDROP drop) {
    std::vector<WideString> names;
    const SIZE_T size = GlobalSize(drop);
    const char* bytes = static_cast<const char*>(GlobalLock(drop));
    if (bytes == nullptr) return names;
    const DROPFILES* header = reinterpret_cast<const DROPFILES*>(bytes);
    const WideChar* name = reinterpret_cast<const WideChar*>(bytes + header->pFiles);
    const WideChar* end = name + (size - header->pFiles) / sizeof(WideChar);
    while (name < end && *name != 0) {
        const WideChar* stop = std::find(name, end, WideChar(0));
        names.emplace_back(name, stop);
        name = stop + 1;
    }
    GlobalUnlock(drop);
    return names;
}

// Rows in a vector, as RunBench has them.
class VectorRows : public RunRows {
  public:
    explicit VectorRows(std::vector<WideString> paths)
        : paths_(std::move(paths)), texts_(paths_.size() * 2) {}
    int RowCount() override { return static_cast<int>(paths_.size()); }
    WideString RowPath(int row) override { return paths_[row]; }
    void SetRowText(int row, int column, const std::string& text) override {
        texts_[row * 2 + column - 1] = text;
    }

  private:
    std::vector<WideString> paths_;
    std::vector<std::string> texts_;
};

// Rows in the dialog's list view, through the same messages as the dialog's own adapter.
class ListRows : public RunRows {
  public:
    explicit ListRows(const ListCtrl& list) : list_(list) {}
    int RowCount() override { return list_.ItemCount(); }
    WideString RowPath(int row) override { return list_.ItemText(row, 0); }
    void SetRowText(int row, int column, const std::string& text) override {
        list_.SetItemText(row, column, WidenAscii(text));
    }

  private:
    const ListCtrl& list_;
};

class QuietHost : public RunHost {
  public:
    StampChoice choice;
    void FocusAddButton() override {}
    StampChoice PullChoice() override { return choice; }
    void ShowMessage(const WideString&, const WideString&, unsigned) override {}
};

// Files that are never touched: every call succeeds at once with a fixed time.
class NullFiles : public FileTimes {
  public:
    Handle OpenForWrite(const WideString&) override { return 1; }
    bool GetTimes(Handle, FILETIME* creation, FILETIME* access, FILETIME* write) override {
        const FILETIME t{0xD53E8000u, 0x01CB5970u};  // 2010-09-21
        *creation = *access = *write = t;
        return true;
    }
    bool SetTimes(Handle, const FILETIME*, const FILETIME*, const FILETIME*) override {
        return true;
    }
    void Close(Handle) override {}
    std::uint32_t LastError() override { return 0; }
    WideString ErrorText(std::uint32_t) override { return WIDE("(null)"); }
};

class Bench {
  public:
    Bench(CVelmoraDlg& dialog, std::vector<WideString> names)
        : dialog_(dialog), hwnd_(dialog.Hwnd()), names_(std::move(names)) {
        list_.Attach(GetDlgItem(hwnd_, IDC_FILE_LIST));
    }

    void Drop(int count) {
        SendMessageA(hwnd_, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names_, count)), 0);
    }
    void Command(int id, int code = 0, HWND control = nullptr) {
        SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    void RemoveAll() {
        Command(ID_REMOVE_ALL);
        Pump();
    }
    void Select(int row, bool on) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = on ? LVIS_SELECTED : 0;
        SendMessageA(list_.Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }
    void SelectEvenRows() {
        for (int row = 0; row < list_.ItemCount(); row += 2) Select(row, true);
        Pump();
    }
    // The rows hold exactly the names picked by `keep`, in order.
    bool RowsAre(const std::vector<int>& keep) const {
        if (list_.ItemCount() != static_cast<int>(keep.size())) return false;
        for (std::size_t i = 0; i < keep.size(); ++i) {
            if (list_.ItemText(static_cast<int>(i), 0) != names_[keep[i]]) return false;
        }
        return true;
    }
    bool RowsAreFirst(int count) const {
        std::vector<int> all(count);
        for (int i = 0; i < count; ++i) all[i] = i;
        return RowsAre(all);
    }

    // The platform's own cost of adding, on the emptied list view with its redraw off as the
    // handler has it: the attribute query per name and a row with its two texts per name.
    double BareAdd(int count) {
        RemoveAll();
        HWND list = list_.Hwnd();
        WideChar stamp[] = WIDE("2010/09/21 14:05.07");  // as long as every stamp text
        const double start = Seconds();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (int i = 0; i < count; ++i) {
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (!GetFileAttributesExW(names_[i].c_str(), GetFileExInfoStandard, &data)) {
                std::abort();
            }
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = const_cast<WideChar*>(names_[i].c_str());
            const LRESULT row =
                SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
            LVITEMW text{};
            text.pszText = stamp;
            for (text.iSubItem = 1; text.iSubItem <= 2; ++text.iSubItem) {
                SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                             reinterpret_cast<LPARAM>(&text));
            }
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        const double seconds = Seconds() - start;
        if (list_.ItemCount() != count) std::abort();
        Pump();
        return seconds;
    }
    // What the Run stands on: five file calls per file.
    void BareRun(int count, const FILETIME& instant) const {
        for (int i = 0; i < count; ++i) {
            HANDLE h = CreateFileW(names_[i].c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (h == INVALID_HANDLE_VALUE) std::abort();
            FILETIME c, a, w;
            GetFileTime(h, &c, &a, &w);
            SetFileTime(h, &instant, &instant, &instant);
            GetFileTime(h, &c, &a, &w);
            CloseHandle(h);
        }
    }

    void AddFiles(int count);
    void RemoveSelected(int count);
    void Run(int count);

  private:
    void AddPieces(int count);
    void AddVariants(int count);
    void RemovePieces(int count);
    void RunPieces(int count);

    CVelmoraDlg& dialog_;
    HWND hwnd_;
    std::vector<WideString> names_;
    ListCtrl list_;
};

void Bench::AddFiles(int count) {
    std::printf(
        "\n1. adding %d files by WM_DROPFILES, a wide drop block (goal: at most 1.3x the "
        "platform's own cost,\n   GetFileAttributesExW + LVM_INSERTITEMW + 2 LVM_SETITEMTEXTW "
        "per name)\n",
        count);
    std::vector<double> program, bare, paint;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        RemoveAll();
        HDROP drop = MakeDrop(names_, count);
        double start = Seconds();
        SendMessageA(hwnd_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        program.push_back(Seconds() - start);
        start = Seconds();
        Pump();
        paint.push_back(Seconds() - start);
        ok = ok && RowsAreFirst(count) && list_.ItemText(count - 1, 2).size() == 19;

        bare.push_back(BareAdd(count));
    }
    std::printf(
        "  rows, names and times listed: %s; painting afterwards (not counted) median %.4f s\n",
        ok ? "ok" : "not ok", Median(paint));
    PrintFigures("add", "platform's own cost", program, bare, 1.3);
    AddPieces(count);
    AddVariants(count);
}

// The steps of the drop handler one by one, as it makes them, on the dialog's own list view.
void Bench::AddPieces(int count) {
    RemoveAll();
    std::vector<Piece> pieces = {{"one walk over the drop block"},
                                 {"InsertItem (LVM_INSERTITEMW)"},
                                 {"ReadFileTimes (GetFullPathNameW + GetFAExW)"},
                                 {"FormatStampText + WidenAscii, x2"},
                                 {"SetItemText x2 (LVM_SETITEMTEXTW)"},
                                 {"redraw on again + InvalidateRect"},
                                 {"UpdateData(FALSE)"}};
    HDROP drop = MakeDrop(names_, count);
    const double start = Seconds();
    std::vector<WideString> dropped;
    {
        Timed t(pieces[0]);
        dropped = WalkDrop(drop);
    }
    SendMessageA(list_.Hwnd(), WM_SETREDRAW, FALSE, 0);
    for (const WideString& path : dropped) {
        int row;
        {
            Timed t(pieces[1]);
            row = list_.ItemCount();
            list_.InsertItem(row, path);
        }
        StampTime creation, write;
        {
            Timed t(pieces[2]);
            Win32FileLookup lookup;
            ReadFileTimes(path, lookup, creation, write);
        }
        WideString c, w;
        {
            Timed t(pieces[3]);
            c = WidenAscii(FormatStampText(creation, creation));
            w = WidenAscii(FormatStampText(write, write));
        }
        {
            Timed t(pieces[4]);
            list_.SetItemText(row, 1, c);
            list_.SetItemText(row, 2, w);
        }
    }
    {
        Timed t(pieces[5]);
        SendMessageA(list_.Hwnd(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_.Hwnd(), nullptr, TRUE);
    }
    {
        Timed t(pieces[6]);
        dialog_.UpdateData(FALSE);
    }
    const double whole = Seconds() - start;
    DragFinish(drop);
    std::printf("  pieces, one round through the same calls (whole %.4f s; names %s):\n", whole,
                RowsAreFirst(count) ? "as dropped" : "differ");
    PrintPieces(pieces, count);
    RemoveAll();
}

// Other ways of making the same rows on the dialog's own list view, from the names walked once,
// and each half of the platform's own cost; each against the whole platform's own cost measured
// right after it in every round.
void Bench::AddVariants(int count) {
    std::printf(
        "  the rows made other ways and in halves (names walked once; medians; ratio to the "
        "platform's own\n  cost alternated with it):\n");
    auto asHandler = [&](int i) {
        const int row = list_.ItemCount();
        list_.InsertItem(row, names_[i]);
        StampTime creation, write;
        Win32FileLookup lookup;
        ReadFileTimes(names_[i], lookup, creation, write);
        list_.SetItemText(row, 1, WidenAscii(FormatStampText(creation, creation)));
        list_.SetItemText(row, 2, WidenAscii(FormatStampText(write, write)));
    };
    const WideString stamp = WIDE("2010/09/21 14:05.07");
    auto listOnly = [&](int i) {
        const int row = list_.InsertItem(list_.ItemCount(), names_[i]);
        list_.SetItemText(row, 1, stamp);
        list_.SetItemText(row, 2, stamp);
    };
    auto insertOnly = [&](int i) { list_.InsertItem(list_.ItemCount(), names_[i]); };
    std::string sink;
    WideString full;
    auto filesOnly = [&](int i) {
        StampTime creation, write;
        Win32FileLookup lookup;
        ReadFileTimes(names_[i], lookup, creation, write);
        sink = FormatStampText(creation, creation);
        sink = FormatStampText(write, write);
    };
    auto fullPathOnly = [&](int i) { full = FullPathOf(names_[i]); };
    auto attributesOnly = [&](int i) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExW(names_[i].c_str(), GetFileExInfoStandard, &data);
    };
    struct Variant {
        const char* name;
        std::function<void(int)> row;
        bool presize;
        bool hide;
    };
    const Variant variants[] = {
        {"as the handler does it, minus the walk", asHandler, false, false},
        {"the same, LVM_SETITEMCOUNT first", asHandler, true, false},
        {"the same, list hidden instead of redraw off", asHandler, false, true},
        {"list view only: insert + 2 texts (own cost's half)", listOnly, false, false},
        {"list view only: insert", insertOnly, false, false},
        {"files only: ReadFileTimes + FormatStampText x2", filesOnly, false, false},
        {"files only: FullPathOf (GetFullPathNameW)", fullPathOnly, false, false},
        {"files only: GetFileAttributesExW (own cost's half)", attributesOnly, false, false},
    };
    for (const Variant& v : variants) {
        std::vector<double> times, ends, bare;
        for (int round = 0; round < kRounds; ++round) {
            RemoveAll();
            const double start = Seconds();
            if (v.hide) {
                ShowWindow(list_.Hwnd(), SW_HIDE);
            } else {
                SendMessageA(list_.Hwnd(), WM_SETREDRAW, FALSE, 0);
            }
            if (v.presize) SendMessageA(list_.Hwnd(), LVM_SETITEMCOUNT, count, 0);
            for (int i = 0; i < count; ++i) v.row(i);
            const double rows = Seconds();
            if (v.hide) {
                ShowWindow(list_.Hwnd(), SW_SHOW);
            } else {
                SendMessageA(list_.Hwnd(), WM_SETREDRAW, TRUE, 0);
                InvalidateRect(list_.Hwnd(), nullptr, TRUE);
            }
            times.push_back(rows - start);
            ends.push_back(Seconds() - rows);
            Pump();
            bare.push_back(BareAdd(count));
        }
        const double m = Median(times);
        std::printf("    %-52s %8.4f s %7.2f us/row  x%.2f  (+ %.4f s redraw on)\n", v.name, m,
                    m * 1e6 / count, m / Median(bare), Median(ends));
    }
    RemoveAll();
}

void Bench::RemoveSelected(int count) {
    const int selected = (count + 1) / 2;
    std::printf("\n2. removing %d selected rows (every other one) out of %d (goal: under 0.2 s)\n",
                selected, count);
    std::vector<int> keep;
    for (int i = 1; i < count; i += 2) keep.push_back(i);
    std::vector<double> program;
    bool ok = true, selectedOk = true;
    for (int round = 0; round < kRounds; ++round) {
        RemoveAll();
        Drop(count);
        Pump();
        SelectEvenRows();
        selectedOk = selectedOk && list_.SelectedCount() == selected;
        const double start = Seconds();
        Command(ID_REMOVE_SELECTED);
        program.push_back(Seconds() - start);
        Pump();
        ok = ok && RowsAre(keep);
    }
    const double p = Median(program);
    std::printf("  %d rows selected before: %s; exactly the unselected rows remain, in order: %s\n",
                selected, selectedOk ? "ok" : "not ok", ok ? "ok" : "not ok");
    std::printf("  program   median %.4f s (min %.4f); goal under 0.2 s: %s\n", p,
                *std::min_element(program.begin(), program.end()), p < 0.2 ? "met" : "MISSED");
    RemovePieces(count);
}

// The removal's steps on the dialog's own list view, and the list view's cost per deleted row.
void Bench::RemovePieces(int count) {
    const int selected = (count + 1) / 2;
    std::printf("  pieces:\n");
    RemoveAll();
    Drop(count);
    Pump();
    SelectEvenRows();
    double start = Seconds();
    std::vector<int> rows;
    for (int row = list_.NextItem(-1, LVNI_SELECTED); row != -1;
         row = list_.NextItem(row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    const double collect = Seconds() - start;
    std::vector<double> perQuarter(4, 0);
    start = Seconds();
    SendMessageA(list_.Hwnd(), WM_SETREDRAW, FALSE, 0);
    const double lockOn = Seconds() - start;
    const std::vector<int> bottomUp = RowsToDeleteBottomUp(list_.ItemCount(), rows);
    for (std::size_t i = 0; i < bottomUp.size(); ++i) {
        const double s = Seconds();
        list_.DeleteItem(bottomUp[i]);
        perQuarter[i * 4 / bottomUp.size()] += Seconds() - s;
    }
    double s = Seconds();
    SendMessageA(list_.Hwnd(), WM_SETREDRAW, TRUE, 0);
    const double lockOff = Seconds() - s;
    s = Seconds();
    InvalidateRect(list_.Hwnd(), nullptr, TRUE);
    const double invalidate = Seconds() - s;
    const double deleting = Seconds() - start;
    std::printf("    collecting the selected rows (LVM_GETNEXTITEM): %.4f s\n", collect);
    std::printf("    deleting them, bottom up, redraw off: %.4f s (%.2f us/row), of which\n",
                deleting, deleting * 1e6 / selected);
    std::printf(
        "      WM_SETREDRAW FALSE %.4f s, WM_SETREDRAW TRUE %.4f s, InvalidateRect %.4f s\n",
        lockOn, lockOff, invalidate);
    for (int q = 0; q < 4; ++q) {
        std::printf("      LVM_DELETEITEM, quarter %d of the deletions: %.2f us/row\n", q + 1,
                    perQuarter[q] * 1e6 / (selected / 4.0));
    }
    Pump();

    // The same deletions when none of the rows is selected.
    RemoveAll();
    Drop(count);
    Pump();
    start = Seconds();
    {
        RedrawLock lock(list_.Hwnd());
        for (int row = (count - 1) / 2 * 2; row >= 0; row -= 2) list_.DeleteItem(row);
    }
    const double unselected = Seconds() - start;
    std::printf("    the same LVM_DELETEITEMs with nothing selected: %.4f s (%.2f us/row)\n",
                unselected, unselected * 1e6 / selected);
    Pump();

    // Keeping instead of deleting: read the kept rows, empty the list, put the kept rows back.
    RemoveAll();
    Drop(count);
    Pump();
    SelectEvenRows();
    start = Seconds();
    {
        RedrawLock lock(list_.Hwnd());
        std::vector<int> chosen;
        for (int row = list_.NextItem(-1, LVNI_SELECTED); row != -1;
             row = list_.NextItem(row, LVNI_SELECTED)) {
            chosen.push_back(row);
        }
        struct Kept {
            WideString text[3];
        };
        std::vector<Kept> kept;
        for (int row : RowsAfterRemoval(list_.ItemCount(), chosen)) {
            kept.push_back(
                {{list_.ItemText(row, 0), list_.ItemText(row, 1), list_.ItemText(row, 2)}});
        }
        list_.DeleteAllItems();
        for (const Kept& k : kept) {
            const int row = list_.InsertItem(list_.ItemCount(), k.text[0]);
            list_.SetItemText(row, 1, k.text[1]);
            list_.SetItemText(row, 2, k.text[2]);
        }
    }
    const double rebuilt = Seconds() - start;
    std::vector<int> keep;
    for (int i = 1; i < count; i += 2) keep.push_back(i);
    std::printf(
        "    instead: read the kept rows, LVM_DELETEALLITEMS, insert them again: %.4f s "
        "(%s)\n",
        rebuilt, RowsAre(keep) ? "same rows" : "rows differ");
    Pump();
    RemoveAll();
}

void Bench::Run(int count) {
    std::printf("\n3. the Run over %d listed files (goal: within 20 %% of the bare loop)\n", count);
    RemoveAll();
    Drop(count);
    Pump();
    SYSTEMTIME record{};
    record.wYear = 2010;
    record.wMonth = 9;
    record.wDay = 21;
    record.wHour = 14;
    record.wMinute = 5;
    record.wSecond = 7;
    for (int id : {IDC_MAKE_DATE, IDC_MAKE_TIME, IDC_MODIFY_DATE, IDC_MODIFY_TIME}) {
        SendMessageA(GetDlgItem(hwnd_, id), DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&record));
    }
    // Every part ticked, so that each file gets the same three times as in the bare loop.
    for (int id :
         {IDC_MAKE_DATE_CHECK, IDC_MAKE_TIME_CHECK, IDC_MODIFY_DATE_CHECK, IDC_MODIFY_TIME_CHECK}) {
        SendMessageA(GetDlgItem(hwnd_, id), BM_SETCHECK, BST_CHECKED, 0);
    }
    const StampTime value = StampTime::FromFields(2010, 9, 21, 14, 5, 7, -1);
    FILETIME instant{};
    value.ToFileTime(instant);
    HWND run = GetDlgItem(hwnd_, IDC_RUN);

    std::vector<double> program, bare;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        BoxCapture capture;
        double start = Seconds();
        Command(IDC_RUN, BN_CLICKED, run);
        program.push_back(Seconds() - start);
        Pump();
        ok = ok && capture.boxes.size() == 1 &&
             capture.boxes[0].text.rfind(std::to_string(count), 0) == 0;

        start = Seconds();
        BareRun(count, instant);
        bare.push_back(Seconds() - start);
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(names_[count - 1].c_str(), GetFileExInfoStandard, &data);
    const bool written = StampTime::FromFileTime(data.ftLastWriteTime, -1) == value;
    std::printf("  one closing box with the count each round: %s; last file written: %s\n",
                ok ? "ok" : "not ok", written ? "ok" : "not ok");
    PrintFigures("run", "bare loop", program, bare, 1.2);
    RunPieces(count);
}

// The Run's fixed part (focus, pull, closing box) and its part per row.
void Bench::RunPieces(int count) {
    std::printf("  pieces:\n");
    std::vector<double> fixed;
    {
        RemoveAll();
        HWND run = GetDlgItem(hwnd_, IDC_RUN);
        for (int round = 0; round < kRounds; ++round) {
            BoxCapture capture;
            const double start = Seconds();
            Command(IDC_RUN, BN_CLICKED, run);  // no rows: pull, then one box
            fixed.push_back(Seconds() - start);
            Pump();
        }
    }
    std::printf("    Run with no rows (focus, pull, one message box): median %.4f s\n",
                Median(fixed));
    std::vector<double> box;
    for (int round = 0; round < kRounds; ++round) {
        BoxCapture capture;
        const double start = Seconds();
        MessageBoxW(hwnd_, WIDE("2000"), WIDE("bench"), MB_OK | MB_ICONINFORMATION);
        box.push_back(Seconds() - start);
        Pump();
    }
    std::printf("    one message box alone, closed by the capture: median %.4f s\n", Median(box));

    // ApplyRun itself, with each of its two outer parts real or stood in for.
    Drop(count);
    Pump();
    std::vector<WideString> paths(names_.begin(), names_.begin() + count);
    VectorRows vectorRows(paths);
    ListRows listRows(list_);
    QuietHost host;
    // The choice the dialog pulled in its last Run: every part ticked, 2010-09-21 14:05:07.
    host.choice.tMakeDate = dialog_.m_tMakeDate;
    host.choice.tMakeTime = dialog_.m_tMakeTime;
    host.choice.tModifyDate = dialog_.m_tModifyDate;
    host.choice.tModifyTime = dialog_.m_tModifyTime;
    host.choice.bMakeDate = dialog_.m_bMakeDate;
    host.choice.bMakeTime = dialog_.m_bMakeTime;
    host.choice.bModifyDate = dialog_.m_bModifyDate;
    host.choice.bModifyTime = dialog_.m_bModifyTime;
    NullFiles nullFiles;
    Win32FileTimes files;
    const StampTime value = StampTime::FromFields(2010, 9, 21, 14, 5, 7, -1);
    FILETIME instant{};
    value.ToFileTime(instant);
    std::vector<double> bare;
    auto time = [&](RunRows& rows, FileTimes& f, bool lockList) {
        std::vector<double> v;
        for (int round = 0; round < kRounds; ++round) {
            const double s = Seconds();
            if (lockList) {
                RedrawLock lock(list_.Hwnd());
                ApplyRun(rows, host, f);
            } else {
                ApplyRun(rows, host, f);
            }
            v.push_back(Seconds() - s);
            Pump();
            const double b = Seconds();
            BareRun(count, instant);
            bare.push_back(Seconds() - b);
        }
        return Median(v);
    };
    const double compute = time(vectorRows, nullFiles, false);
    const double fileOnly = time(vectorRows, files, false);
    const double listOn = time(listRows, nullFiles, false);
    const double listLocked = time(listRows, nullFiles, true);
    const double both = time(listRows, files, false);
    const double b = Median(bare);
    auto line = [&](const char* what, double t) {
        std::printf("    %-58s %.4f s %7.2f us/row  %5.1f %% of bare\n", what, t, t * 1e6 / count,
                    t * 100 / b);
    };
    std::printf("    (bare loop alternated with the following: median %.4f s, %.2f us/file)\n", b,
                b * 1e6 / count);
    line("ApplyRun, rows in a vector, files stood in for", compute);
    line("ApplyRun, rows in a vector, real files", fileOnly);
    line("ApplyRun, the dialog's list view, files stood in for", listOn);
    line("  the same with the list view's redraw off (RedrawLock)", listLocked);
    line("ApplyRun, the dialog's list view and real files, no box", both);
    std::printf("    the closing box (Run with no rows) is %.1f %% of this bare loop\n",
                Median(fixed) * 100 / b);
    RemoveAll();
}

}  // namespace

int main(int argc, char** argv) {
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const int addCount = 10000 / divisor;
    const int runCount = 2000 / divisor;

    WideChar temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const WideString folder = WideString(temp) + WIDE("velmora-list-bench");
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<WideString> names;
    for (int i = 0; i < addCount; ++i) {
        names.push_back(BenchName(folder, i));
        HANDLE h =
            CreateFileW(names.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) std::abort();
        CloseHandle(h);
    }
    std::printf("files in %ls, half of them named outside code page 932; %d rounds each, medians\n",
                folder.c_str(), kRounds);

    CVelmoraDlg dialog;
    TheTestApp().SetMainDialog(&dialog);
    HWND hwnd = dialog.Create(nullptr);
    if (hwnd == nullptr) return 1;
    Pump();
    {
        Bench bench(dialog, names);
        bench.AddFiles(addCount);
        bench.RemoveSelected(addCount);
        bench.Run(runCount);
    }
    DestroyWindow(hwnd);
    Pump();
    TheTestApp().SetMainDialog(nullptr);

    for (const WideString& path : names) DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
