// The main dialog's settings: the flags at start-up, the start-up values of the pickers, and
// what is written when the dialog closes. Every access goes to the file; nothing is cached.
#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "settings/IniStore.h"
#include "settings/OptionDlg.h"
#include "settings/Settings.h"

namespace {

std::string Read(const char* key, const char* defaultValue, std::size_t capacity) {
    return ReadProfileString(settings::kSection, key, defaultValue, capacity, g_iniPath);
}

void Write(const char* key, const std::string& value) {
    WriteProfileString(settings::kSection, key, value, g_iniPath);
}

// What a picker shows now, as a value (a year before 1900 gives the zero value).
StampTime PickerValue(const DateTimeCtrl& picker) {
    SYSTEMTIME record{};
    if (picker.Time(record) != GDT_VALID) record = SYSTEMTIME{};
    return StampTime::FromSystemTime(record, -1);
}

}  // namespace

void CVelmoraDlg::LoadSettings() {
    m_bMakeDate =
        settings::FlagFromText(Read(settings::kMakeDate, "true", settings::kFlagCapacity));
    m_bMakeTime =
        settings::FlagFromText(Read(settings::kMakeTime, "true", settings::kFlagCapacity));
    m_bModifyDate =
        settings::FlagFromText(Read(settings::kModifyDate, "true", settings::kFlagCapacity));
    m_bModifyTime =
        settings::FlagFromText(Read(settings::kModifyTime, "true", settings::kFlagCapacity));
}

void CVelmoraDlg::LoadStartupValues() {
    settings::LoadStartupValues(Read, m_tMakeDate, m_tModifyDate, m_tMakeTime, m_tModifyTime);
}

// The closing writes: the pickers as they stand (not the members), then the members' flags.
void CVelmoraDlg::WriteSettings() {
    const StampTime makeDate = PickerValue(m_MakeDate);
    const StampTime makeTime = PickerValue(m_MakeTime);
    Write(settings::kMakeDateTime, FormatStampText(makeDate, makeTime));
    const StampTime modifyDate = PickerValue(m_ModifyDate);
    const StampTime modifyTime = PickerValue(m_ModifyTime);
    Write(settings::kUpdateDateTime, FormatStampText(modifyDate, modifyTime));
    Write(settings::kMakeDate, settings::FlagText(m_bMakeDate));
    Write(settings::kMakeTime, settings::FlagText(m_bMakeTime));
    Write(settings::kModifyDate, settings::FlagText(m_bModifyDate));
    Write(settings::kModifyTime, settings::FlagText(m_bModifyTime));
}

void CVelmoraDlg::ShowOptionDialog() {
    COptionDlg options;
    options.DoModal();
}
