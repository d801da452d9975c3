// CRecentFileList. Layer: framework/.
#include "framework/RecentFileList.h"

#include "common/PathName.h"

#include "framework/CmdUI.h"
#include "framework/ResourceText.h"

CRecentFileList::CRecentFileList(UINT startId, const char* section, const char* entryFormat,
                                 int size)
    : m_startId(startId), m_section(section), m_entryFormat(entryFormat), m_size(size) {}

void CRecentFileList::Add(const char* path) {
    const std::string name = FxFullPathName(path);
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (FxSamePath(m_files[i], name)) {
            m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    m_files.insert(m_files.begin(), name);
    if (static_cast<int>(m_files.size()) > m_size)
        m_files.resize(static_cast<size_t>(m_size));
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < GetCount())
        m_files.erase(m_files.begin() + index);
}

void CRecentFileList::UpdateMenu(CCmdUI* cmdUI) {
    HMENU menu = cmdUI->m_pMenu;
    if (m_originalText.empty() && menu) {
        char text[256] = "";
        GetMenuStringA(menu, cmdUI->m_nIndex, text, sizeof text, MF_BYPOSITION);
        m_originalText = text;
    }
    if (m_files.empty()) {
        if (!m_originalText.empty())
            cmdUI->SetText(m_originalText.c_str());
        cmdUI->Enable(false);
        return;
    }
    if (!menu)
        return;
    for (int i = 0; i < m_size; ++i)
        DeleteMenu(menu, m_startId + static_cast<UINT>(i), MF_BYCOMMAND);
    for (size_t i = 0; i < m_files.size(); ++i) {
        std::string shown;
        for (char c : m_files[i]) {
            shown += c;
            if (c == '&')
                shown += '&';
        }
        std::string text = AfxFormat("&%d %s", static_cast<int>(i + 1), shown.c_str());
        InsertMenuA(menu, cmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION,
                    m_startId + static_cast<UINT>(i), text.c_str());
    }
    // The caller's walk continues after the last inserted item.
    cmdUI->m_nIndex--;
    cmdUI->m_nIndexMax = static_cast<UINT>(GetMenuItemCount(menu));
    cmdUI->m_bEnableChanged = true;
}

void CRecentFileList::ReadList(const char* profileName) {
    m_files.clear();
    if (!profileName || !*profileName)
        return;
    for (int i = 0; i < m_size; ++i) {
        std::string key = AfxFormat(m_entryFormat.c_str(), i + 1);
        char path[MAX_PATH] = "";
        GetPrivateProfileStringA(m_section.c_str(), key.c_str(), "", path, sizeof path,
                                 profileName);
        if (path[0])
            m_files.push_back(path);
    }
}

void CRecentFileList::WriteList(const char* profileName) const {
    if (!profileName || !*profileName)
        return;
    // The whole section is rewritten so that removed entries do not linger.
    WritePrivateProfileStringA(m_section.c_str(), nullptr, nullptr, profileName);
    for (size_t i = 0; i < m_files.size(); ++i) {
        std::string key = AfxFormat(m_entryFormat.c_str(), static_cast<int>(i + 1));
        WritePrivateProfileStringA(m_section.c_str(), key.c_str(), m_files[i].c_str(), profileName);
    }
}
