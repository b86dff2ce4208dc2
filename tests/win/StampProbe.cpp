// Stamps the files named on the command line through the real run and the Win32 backend:
// creation 2009-01-02 03:04:05 and modification 2010-09-21 14:05:07, local time. stat_check.sh
// reads the result back from Linux. Prints what the run reported and exits 0 on a full run.
#include <cstdio>

#include "RunFakes.h"
#include "stamp/Win32FileTimes.h"

#include <shellapi.h>

int main() {
    // The names as the file system spells them: the wide command line.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    FakeRows rows;
    for (int i = 1; i < argc; ++i) rows.rows.push_back({argv[i], "", ""});
    LocalFree(argv);
    FakeHost host;
    host.choice.tMakeDate = host.choice.tMakeTime = StampTime::FromFields(2009, 1, 2, 3, 4, 5, -1);
    host.choice.tModifyDate = host.choice.tModifyTime =
        StampTime::FromFields(2010, 9, 21, 14, 5, 7, -1);
    host.choice.bMakeDate = host.choice.bMakeTime = 1;
    host.choice.bModifyDate = host.choice.bModifyTime = 1;
    Win32FileTimes files;
    ApplyRun(rows, host, files);
    for (const Message& m : host.messages) {
        char text[4096] = "";
        WideCharToMultiByte(CP_UTF8, 0, m.text.c_str(), -1, text, sizeof text, nullptr, nullptr);
        std::printf("%s (icon %u)\n", text, m.icon);
    }
    return host.messages.size() == 1 && host.messages[0].icon == kIconInformation ? 0 : 1;
}
