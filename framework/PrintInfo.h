// CPrintInfo: what one print or preview run carries from the view's preparation through every
// page: the print dialog's data, the direct and preview flags, the page being printed, the
// drawing rectangle, the page description and the view's own data. Layer: framework/.
#pragma once

#include "framework/PrintDialog.h"

#include <windows.h>

#include <memory>
#include <string>

class CPrintInfo {
public:
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT page) { m_pPD->m_pd.nMinPage = static_cast<WORD>(page); }
    void SetMaxPage(UINT page) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(page); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    // The range to print: the dialog's from/to pages when a range was chosen, else min/max.
    UINT GetFromPage() const;
    UINT GetToPage() const;
    void SetFromPage(UINT page) { m_pPD->m_pd.nFromPage = static_cast<WORD>(page); }
    void SetToPage(UINT page) { m_pPD->m_pd.nToPage = static_cast<WORD>(page); }

    std::unique_ptr<CPrintDialog> m_pPD; // the dialog data: range, copies, printer, flags
    bool m_bDirect = false;              // print without asking (command line, print all)
    bool m_bPreview = false;             // drawing for the preview window
    bool m_bContinuePrinting = true;     // cleared by the view to stop before the next page
    UINT m_nCurPage = 1;                 // the page being prepared or printed
    UINT m_nNumPreviewPages = 1;         // pages side by side in the preview (1 or 2)
    void* m_lpUserData = nullptr;        // the view's own data for this run
    RECT m_rectDraw = {0, 0, 0, 0};      // the printable area in logical units of this page
    std::string m_strPageDesc;           // "one page\nrange of pages\n" formats (%u)
    // Copies and collation the loop makes itself (the device context prints one copy).
    int m_nCopies = 1;
    bool m_bCollate = false;
    // Output goes to this file instead of the printer when not empty.
    std::string m_strOutputFile;
};
