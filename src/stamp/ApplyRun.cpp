#include "ApplyRun.h"

#include <cstdio>

namespace run_text {
const WideChar* const kNoFlag = WIDE("変更対象をチェックしてください。");
const WideChar* const kNoFlagCaption = WIDE("タイムスタンプ変更ツール");
const WideChar* const kNoRows = WIDE("ファイルを選択してください。");
const WideChar* const kNoRowsCaption = WIDE("タイムスタンプ変更");
const WideChar* const kFailedCaption = WIDE("タイムスタンプ変更ツール");
const WideChar* const kDoneCaption = WIDE("タイムスタンプ変更");

WideString Failed(const WideString& systemText, const WideString& path) {
    return WIDE("タイムスタンプの変更に失敗しました。\n\n") + systemText + WIDE("\n[") +
           WithoutLongPrefix(path) + WIDE("]\n");
}

WideString Done(int count) {
    char number[16];
    std::snprintf(number, sizeof number, "%d", count);
    return WidenAscii(number) + WIDE("件のタイムスタンプ変更に成功しました。");
}
}  // namespace run_text

namespace {

// Closes the file in hand on every way out of a row, the StampTimeError one included.
class HeldFile {
  public:
    HeldFile(FileTimes& files, FileTimes::Handle handle) : files_(files), handle_(handle) {}
    ~HeldFile() { Close(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    FileTimes::Handle Get() const { return handle_; }
    void Close() {
        if (handle_ != FileTimes::kInvalidHandle) files_.Close(handle_);
        handle_ = FileTimes::kInvalidHandle;
    }

  private:
    FileTimes& files_;
    FileTimes::Handle handle_;
};

// The date fields of one value and the time-of-day fields of another, one breakdown each; a
// value that cannot be broken down gives what its getters give (0 for the date, -1 for the time).
void Fill(SYSTEMTIME& record, const StampTime& date, const StampTime& time) {
    SYSTEMTIME d{0, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF, 0};
    SYSTEMTIME t = d;
    date.ToSystemTime(d);
    if (time == date) {
        t = d;
    } else {
        time.ToSystemTime(t);
    }
    record.wYear = d.wYear;
    record.wMonth = d.wMonth;
    record.wDay = d.wDay;
    record.wHour = t.wHour;
    record.wMinute = t.wMinute;
    record.wSecond = t.wSecond;
}

// The exact instant of a composed value; composed values always lie in the range.
FILETIME InstantOf(const StampTime& value) {
    FILETIME fileTime{};
    if (!value.ToFileTime(fileTime)) throw StampTimeError(StampTimeError::kInvalidArg);
    return fileTime;
}

// Shows why the file of a row could not be changed. The error code is taken at once; a file in
// hand is closed before the message waits for the user.
void ReportFailure(RunRows& rows, RunHost& host, FileTimes& files, int row,
                   HeldFile* file = nullptr) {
    const std::uint32_t code = files.LastError();
    if (file != nullptr) file->Close();
    const WideString text = files.ErrorText(code);
    host.ShowMessage(run_text::Failed(text, rows.RowPath(row)), run_text::kFailedCaption,
                     kIconExclamation);
}

}  // namespace

void ApplyRun(RunRows& rows, RunHost& host, FileTimes& files) {
    host.FocusAddButton();
    const StampChoice choice = host.PullChoice();
    const bool makeAny = choice.bMakeDate != 0 || choice.bMakeTime != 0;
    const bool modifyAny = choice.bModifyDate != 0 || choice.bModifyTime != 0;
    if (!makeAny && !modifyAny) {
        host.ShowMessage(run_text::kNoFlag, run_text::kNoFlagCaption, kIconExclamation);
        return;
    }
    if (rows.RowCount() <= 0) {
        host.ShowMessage(run_text::kNoRows, run_text::kNoRowsCaption, kIconExclamation);
        return;
    }

    int row = 0;
    for (; row < rows.RowCount(); ++row) {
        const FileTimes::Handle handle = files.OpenForWrite(rows.RowPath(row));
        if (handle == FileTimes::kInvalidHandle) {
            ReportFailure(rows, host, files, row);
            return;
        }
        HeldFile file(files, handle);

        // Nothing is written to a file whose times could not be read.
        FILETIME creation{}, access{}, write{};
        if (!files.GetTimes(file.Get(), &creation, &access, &write)) {
            ReportFailure(rows, host, files, row, &file);
            return;
        }
        const StampTime c = StampTime::FromFileTime(creation, -1);
        const StampTime w = StampTime::FromFileTime(write, -1);

        SYSTEMTIME newCreation{}, newModify{};
        Fill(newCreation, choice.bMakeDate ? choice.tMakeDate : c,
             choice.bMakeTime ? choice.tMakeTime : c);
        Fill(newModify, choice.bModifyDate ? choice.tModifyDate : w,
             choice.bModifyTime ? choice.tModifyTime : w);
        const StampTime nc = StampTime::FromSystemTime(newCreation, -1);
        const StampTime nw = StampTime::FromSystemTime(newModify, -1);
        const FILETIME newCreationTime = InstantOf(nc);
        const FILETIME newWriteTime = InstantOf(nw);

        // The last-access time always receives the new creation time.
        if (!files.SetTimes(file.Get(), makeAny ? &newCreationTime : nullptr, &newCreationTime,
                            modifyAny ? &newWriteTime : nullptr)) {
            ReportFailure(rows, host, files, row, &file);
            return;
        }

        FILETIME readCreation{}, readAccess{}, readWrite{};
        if (!files.GetTimes(file.Get(), &readCreation, &readAccess, &readWrite)) {
            ReportFailure(rows, host, files, row, &file);
            return;
        }
        const StampTime shownCreation = StampTime::FromFileTime(readCreation, -1);
        const StampTime shownWrite = StampTime::FromFileTime(readWrite, -1);
        rows.SetRowText(row, 1, FormatStampText(shownCreation, shownCreation));
        rows.SetRowText(row, 2, FormatStampText(shownWrite, shownWrite));
    }
    host.ShowMessage(run_text::Done(row), run_text::kDoneCaption, kIconInformation);
}
