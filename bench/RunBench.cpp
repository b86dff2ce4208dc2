// The run over many real files through the Win32 backend, against a bare loop of the same Win32
// calls on the same files, in one process. Rounds alternate between the two; the medians and
// their ratio are printed. The names are UTF-16 and half of them hold characters code page 932
// cannot spell.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "stamp/ApplyRun.h"
#include "stamp/WideText.h"
#include "stamp/Win32FileTimes.h"

namespace {

class Rows : public RunRows {
  public:
    std::vector<WideString> paths;
    std::vector<std::string> texts;
    int RowCount() override { return static_cast<int>(paths.size()); }
    WideString RowPath(int row) override { return paths[row]; }
    void SetRowText(int row, int column, const std::string& text) override {
        texts[row * 2 + column - 1] = text;
    }
};

class Host : public RunHost {
  public:
    StampChoice choice;
    WideString last;
    void FocusAddButton() override {}
    StampChoice PullChoice() override { return choice; }
    void ShowMessage(const WideString& text, const WideString&, unsigned) override { last = text; }
};

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// What the run does per file, with nothing around it.
void BareLoop(const std::vector<WideString>& paths, const FILETIME& creation,
              const FILETIME& write) {
    for (const WideString& path : paths) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) std::abort();
        FILETIME c, a, w;
        GetFileTime(h, &c, &a, &w);
        SetFileTime(h, &creation, &creation, &write);
        GetFileTime(h, &c, &a, &w);
        CloseHandle(h);
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int rounds = 7;
    WideChar temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const WideString folder = WideString(temp) + WIDE("velmora-bench");
    CreateDirectoryW(folder.c_str(), nullptr);

    // Names 1, 5, 9, ... hold Hangul, names 3, 7, 11, ... a character outside the BMP.
    static const WideChar* const kMarks[] = {WIDE(""), WIDE("-\uD55C\uAE00"), WIDE(""),
                                             WIDE("-\U00020B9F")};
    Rows rows;
    for (int i = 0; i < count; ++i) {
        const WideString path =
            folder + WIDE("\\file") + WidenAscii(std::to_string(i)) + kMarks[i % 4] + WIDE(".jpg");
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) std::abort();
        CloseHandle(h);
        rows.paths.push_back(path);
    }
    rows.texts.resize(rows.paths.size() * 2);

    Host host;
    host.choice.tMakeDate = host.choice.tMakeTime = StampTime::FromFields(2009, 1, 2, 3, 4, 5, -1);
    host.choice.tModifyDate = host.choice.tModifyTime =
        StampTime::FromFields(2010, 9, 21, 14, 5, 7, -1);
    host.choice.bMakeDate = host.choice.bMakeTime = 1;
    host.choice.bModifyDate = host.choice.bModifyTime = 1;
    FILETIME creation{}, write{};
    host.choice.tMakeDate.ToFileTime(creation);
    host.choice.tModifyDate.ToFileTime(write);

    Win32FileTimes files;
    std::vector<double> run, bare;
    for (int round = 0; round < rounds; ++round) {
        double start = Seconds();
        ApplyRun(rows, host, files);
        run.push_back(Seconds() - start);
        start = Seconds();
        BareLoop(rows.paths, creation, write);
        bare.push_back(Seconds() - start);
    }
    std::printf("files %d, rounds %d, last message ok: %s\n", count, rounds,
                host.last.rfind(WidenAscii(std::to_string(count)), 0) == 0 ? "yes" : "no");
    std::printf("run       median %.4f s (min %.4f)\n", Median(run),
                *std::min_element(run.begin(), run.end()));
    std::printf("bare loop median %.4f s (min %.4f)\n", Median(bare),
                *std::min_element(bare.begin(), bare.end()));
    const double ratio = Median(run) / Median(bare);
    std::printf("ratio run/bare %.3f; goal at most 1.20x the bare loop: %s\n", ratio,
                ratio <= 1.2 ? "met" : "MISSED");

    for (const WideString& path : rows.paths) DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
