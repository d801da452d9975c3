// CRecentFileList: the most recently used files, kept in the profile (section "Recent File
// List", keys "File1".."FileN") and shown in the File menu under the ids 57616 and up.
// Layer: framework/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCmdUI;

class CRecentFileList {
public:
    CRecentFileList(UINT startId, const char* section, const char* entryFormat, int size);

    int GetSize() const { return m_size; }
    int GetCount() const { return static_cast<int>(m_files.size()); }
    const std::string& operator[](int index) const { return m_files[static_cast<size_t>(index)]; }

    // Puts the path first (moving it when it is listed already, compared without case).
    void Add(const char* path);
    void Remove(int index);
    // Replaces the menu item of the update by one item per file ("&1 path", ...), or shows the
    // item's original text greyed when the list is empty.
    void UpdateMenu(CCmdUI* cmdUI);

    void ReadList(const char* profileName);
    void WriteList(const char* profileName) const;

private:
    UINT m_startId;
    std::string m_section;
    std::string m_entryFormat;
    int m_size;
    std::vector<std::string> m_files;
    std::string m_originalText; // the placeholder item's text
};
