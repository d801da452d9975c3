// The date and time formats offered by the insert time/date command. Layer: settings/.
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"

namespace {

// The enumeration callbacks carry no context: the list being filled is held here for the
// duration of one enumeration (user-interface thread only).
std::vector<DateTimeFormat>* g_collecting = nullptr;
bool g_collectingTime = false;

BOOL CALLBACK CollectFormat(LPSTR format) {
    if (g_collecting && format &&
        g_collecting->size() < static_cast<size_t>(ID_DATETIME_LAST - ID_DATETIME_FIRST + 1)) {
        UINT cmd = ID_DATETIME_FIRST + static_cast<UINT>(g_collecting->size());
        g_collecting->push_back(DateTimeFormat{format, g_collectingTime, cmd});
    }
    return TRUE;
}

} // namespace

void SettingsStore::CollectDateTimeFormats() {
    m_dateTime.clear();
    g_collecting = &m_dateTime;
    g_collectingTime = false;
    EnumDateFormatsA(CollectFormat, LOCALE_USER_DEFAULT, DATE_SHORTDATE);
    EnumDateFormatsA(CollectFormat, LOCALE_USER_DEFAULT, DATE_LONGDATE);
    EnumDateFormatsA(CollectFormat, LOCALE_USER_DEFAULT, DATE_YEARMONTH);
    g_collectingTime = true;
    EnumTimeFormatsA(CollectFormat, LOCALE_USER_DEFAULT, 0);
    g_collecting = nullptr;
}

std::string SettingsStore::FormatNow(size_t index) const {
    if (index >= m_dateTime.size())
        return std::string();
    SYSTEMTIME now;
    GetLocalTime(&now);
    char buf[MAX_PATH];
    const DateTimeFormat& f = m_dateTime[index];
    int n = f.isTime
                ? GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, f.format.c_str(), buf, sizeof buf)
                : GetDateFormatA(LOCALE_USER_DEFAULT, 0, &now, f.format.c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string();
}

HMENU SettingsStore::BuildDateTimeMenu(HMENU docMenu) {
    if (m_dateTime.empty())
        CollectDateTimeFormats();
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return nullptr;
    for (size_t i = 0; i < m_dateTime.size(); ++i)
        AppendMenuA(popup, MF_STRING, m_dateTime[i].command, FormatNow(i).c_str());
    if (docMenu) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_SUBMENU;
        mii.hSubMenu = popup;
        SetMenuItemInfoA(docMenu, ID_INSERT_DATETIME, FALSE, &mii);
    }
    return popup;
}

void SettingsStore::RefreshDateTimeItem(HMENU menu, UINT command) {
    if (command < ID_DATETIME_FIRST || command - ID_DATETIME_FIRST >= m_dateTime.size())
        return;
    std::string text = FormatNow(command - ID_DATETIME_FIRST);
    ModifyMenuA(menu, command, MF_BYCOMMAND | MF_STRING | MF_ENABLED, command, text.c_str());
}
