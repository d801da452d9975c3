// CWorkspaceBar: the workspace window's docking bar: a tab strip at the bottom (control id
// 0xE900) over two pages, the file tree (0xE901) and the clip texts (0xE902). A page's window
// is made the first time its tab is selected and then hidden and shown as the tabs change.
// Layer: workspace/.
#pragma once

#include "workspace/FxControlBar.h"
#include "workspace/TabStrip.h"
#include "workspace/WsbClipText.h"
#include "workspace/WsbFileTree.h"

class CWorkspaceBar : public CFxControlBar {
    DECLARE_DYNAMIC(CWorkspaceBar)
public:
    static const UINT kBarId = 0xE8FD;
    static constexpr UINT kTabId = 0xE900;
    static const UINT kFileTreePage = 0xE901;
    static const UINT kClipTextPage = 0xE902;
    static const int kPageCount = 2;

    struct Page {
        int image;      // in the shared image list
        UINT titleId;   // string
        UINT commandId; // the page window's control id
        HWND window;    // null until first selected
    };

    CWorkspaceBar();

    // Selects the page of the command id (the first page when none matches).
    void SelectPage(UINT commandId);
    int GetCurSel() const { return m_current; }
    UINT GetCurPageId() const { return m_pages[m_current].commandId; }
    HWND GetPageWindow(UINT commandId) const;
    // The visible page of the command id (for the View menu checks).
    bool IsPageVisible(UINT commandId) const;
    CTabStrip& GetTabStrip() { return m_tabStrip; }
    // The clip text page (its window exists once its tab was selected).
    CWsbClipText& ClipText() { return m_clipText; }
    // The file tree page (its window exists once its tab was first selected).
    CWsbFileTree& FileTree() { return m_fileTree; }

    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);
    // The strip's change notice: the new page is made and shown, or the change refused.
    void OnTabChanging(NMHDR* hdr, LRESULT* result);

    DECLARE_MESSAGE_MAP()

protected:
    // The tab strip measures itself for the new density first, then the pages are placed
    // above it again.
    void OnDpiChanged(UINT oldDpi) override;

private:
    // Makes (when needed) and shows page index, hiding the one shown; false when the page's
    // window cannot be made (the old one stays).
    bool ShowPage(int index);
    void PlacePages();

    Page m_pages[kPageCount];
    int m_current = -1;
    CTabStrip m_tabStrip;
    CWsbClipText m_clipText;
    RECT m_content = {0, 0, 0, 0};
    CWsbFileTree m_fileTree;
};
