#include "settings/OptionDlg.h"

#include "app/VelmoraDlg.h"
#include "res/resource.h"
#include "settings/IniStore.h"
#include "settings/Settings.h"

namespace {

// The items, index = mode. They are inserted at their index, so the lists show this order on
// every system whatever the sort style would make of them.
const char* const kDayItems[] = {"今日の日付", "前回設定した日付"};
const char* const kTimeItems[] = {"0:00", "現在時刻", "前回設定した時刻"};

template <std::size_t N>
void Fill(const ComboBox& list, const char* const (&items)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        list.Send(CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(items[i]));
    }
}

long StoredMode(const char* key) {
    return settings::ModeFromText(
        ReadProfileString(settings::kSection, key, "0", settings::kModeCapacity, g_iniPath));
}

}  // namespace

COptionDlg::COptionDlg() : Dialog(IDD_OPTION) {}

COptionDlg::~COptionDlg() = default;

MessageTable COptionDlg::GetMessageTable() const {
    using T = COptionDlg;
    static const MessageEntry kTable[] = {
        On<T>::Clicked<&T::SaveModes>(IDOK),
        On<T>::ShowWindow<&T::SelectStoredModes>(),
    };
    return TableOf(kTable);
}

void COptionDlg::DoDataExchange(DataExchange& dx) {
    dx.Control(IDC_DEFAULT_DAY, m_DefaultDay);
    dx.Control(IDC_DEFAULT_TIME, m_DefaultTime);
}

BOOL COptionDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    Fill(m_DefaultDay, kDayItems);
    Fill(m_DefaultTime, kTimeItems);
    return TRUE;
}

void COptionDlg::SelectStoredModes(BOOL, UINT) {
    Default();
    // An index without an item leaves the list without a selection.
    m_DefaultDay.SetCurSel(static_cast<int>(StoredMode(settings::kDefaultDay)));
    m_DefaultTime.SetCurSel(static_cast<int>(StoredMode(settings::kDefaultTime)));
}

void COptionDlg::SaveModes() {
    WriteProfileString(settings::kSection, settings::kDefaultDay,
                       settings::ModeText(m_DefaultDay.CurSel()), g_iniPath);
    WriteProfileString(settings::kSection, settings::kDefaultTime,
                       settings::ModeText(m_DefaultTime.CurSel()), g_iniPath);
    Dialog::OnOK();
}
