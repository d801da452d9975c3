// CDlgAsFrame: the settings dialog "参数设置": a tree of nine pages on the left, the page
// shown at the right, and OK, Cancel, Apply and Help as flat image buttons. Pages are made
// the first time they are selected; a page with an invalid value keeps the selection. Layer:
// dialogs/.
#pragma once

#include "dialogs/DlgBase.h"
#include "workspace/FxButton.h"

#include <commctrl.h>

#include <memory>

class CDlgAsBase;
class ISettingsHost;

class CDlgAsFrame : public CDlgBase {
    DECLARE_DYNAMIC(CDlgAsFrame)
public:
    static const int kPageCount = 9;
    struct PageInfo {
        int image;    // in the shared 16 x 16 image list
        UINT titleId; // the tree text
        UINT dialogId;
    };
    static const PageInfo kPages[kPageCount];

    // pageId: the dialog id of the page to open (unknown: the first); controlId: a control
    // of that page to focus (0: none).
    CDlgAsFrame(ISettingsHost* host, UINT pageId, UINT controlId = 0, CWnd* parent = nullptr);
    ~CDlgAsFrame() override;

    // Modeless, for a caller that drives the dialog itself.
    bool CreateModeless(CWnd* parent);

    ISettingsHost* Host() const { return m_host; }
    // The dialog id of the page shown.
    UINT CurrentPageId() const { return m_current >= 0 ? kPages[m_current].dialogId : 0; }
    int CurrentPageIndex() const { return m_current; }
    // The page object of a table row (null while it was never shown).
    CDlgAsBase* Page(int index) const { return m_pages[index].get(); }
    CDlgAsBase* PageById(UINT dialogId) const;
    // Selects a page as the tree would; false when the current page refused or the page
    // could not be made.
    bool SelectPage(int index);
    bool SelectPageById(UINT dialogId);
    HWND Tree() const { return GetDlgItem(IDC_TREE); }

    // A page reported a change: Apply is enabled.
    void OnPageModified();
    // Runs Apply as its button does; false when a page refused.
    bool Apply();

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnApplyButton();
    void OnHelpButton();
    bool OnHelpInfo(HELPINFO* info);

    DECLARE_MESSAGE_MAP()

private:
    static const int IDC_TREE = 1000;
    CDlgAsBase* MakePage(UINT dialogId);
    void FocusInitialControl();
    void EndAll(int result);

    ISettingsHost* m_host;
    UINT m_initialPage;
    UINT m_initialControl;
    int m_current = -1;
    bool m_selecting = false;
    HTREEITEM m_items[kPageCount] = {};
    std::unique_ptr<CDlgAsBase> m_pages[kPageCount];
    CFxButton m_buttons[4];
};
