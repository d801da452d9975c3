// CDlgAsFrame. Layer: dialogs/.
#include "dialogs/DlgAsFrame.h"

#include "common/UiResources.h"
#include "dialogs/DlgAsBackup.h"
#include "dialogs/DlgAsBase.h"
#include "dialogs/DlgAsFile.h"
#include "dialogs/DlgAsFileTypes.h"
#include "dialogs/DlgAsFonts.h"
#include "dialogs/DlgAsGeneral.h"
#include "dialogs/DlgAsKeyboard.h"
#include "dialogs/DlgAsPrint.h"
#include "dialogs/DlgAsToolbar.h"
#include "dialogs/DlgAsTools.h"
#include "dialogs/DlgIds.h"
#include "framework/ResourceText.h"

IMPLEMENT_DYNAMIC(CDlgAsFrame, CDlgBase)

BEGIN_MESSAGE_MAP(CDlgAsFrame, CDlgBase)
ON_BN_CLICKED(IDC_AS_APPLY, OnApplyButton)
ON_BN_CLICKED(IDC_AS_HELP, OnHelpButton)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

const CDlgAsFrame::PageInfo CDlgAsFrame::kPages[kPageCount] = {
    {38, IDS_PAGE_GENERAL, IDD_AS_GENERAL},  {39, IDS_PAGE_FONTS, IDD_AS_FONTS},
    {40, IDS_PAGE_PRINT, IDD_AS_PRINT},      {41, IDS_PAGE_FILE, IDD_AS_FILE},
    {42, IDS_PAGE_EDITOR, IDD_AS_FILETYPES}, {43, IDS_PAGE_BACKUP, IDD_AS_BACKUP},
    {44, IDS_PAGE_TOOLBAR, IDD_AS_TOOLBAR},  {45, IDS_PAGE_KEYBOARD, IDD_AS_KEYBOARD},
    {46, IDS_PAGE_TOOLS, IDD_AS_TOOLS},
};

CDlgAsFrame::CDlgAsFrame(ISettingsHost* host, UINT pageId, UINT controlId, CWnd* parent)
    : CDlgBase(IDD_AS_FRAME, parent), m_host(host), m_initialPage(pageId),
      m_initialControl(controlId) {}

CDlgAsFrame::~CDlgAsFrame() {
    if (m_hWnd)
        DestroyWindow();
}

bool CDlgAsFrame::CreateModeless(CWnd* parent) {
    if (!Create(IDD_AS_FRAME, parent))
        return false;
    ShowWindow(SW_SHOW);
    return true;
}

CDlgAsBase* CDlgAsFrame::MakePage(UINT dialogId) {
    switch (dialogId) {
    case IDD_AS_GENERAL:
        return new CDlgAsGeneral(this);
    case IDD_AS_FONTS:
        return new CDlgAsFonts(this);
    case IDD_AS_PRINT:
        return new CDlgAsPrint(this);
    case IDD_AS_FILE:
        return new CDlgAsFile(this);
    case IDD_AS_FILETYPES:
        return new CDlgAsFileTypes(this);
    case IDD_AS_BACKUP:
        return new CDlgAsBackup(this);
    case IDD_AS_TOOLBAR:
        return new CDlgAsToolbar(this);
    case IDD_AS_KEYBOARD:
        return new CDlgAsKeyboard(this);
    case IDD_AS_TOOLS:
        return new CDlgAsTools(this);
    default:
        return nullptr;
    }
}

CDlgAsBase* CDlgAsFrame::PageById(UINT dialogId) const {
    for (int i = 0; i < kPageCount; ++i)
        if (kPages[i].dialogId == dialogId)
            return m_pages[i].get();
    return nullptr;
}

bool CDlgAsFrame::OnInitDialog() {
    CDlgBase::OnInitDialog();
    static const FxButtonRow kRows[4] = {
        {IDOK, -1, 1}, {IDCANCEL, -1, 1}, {IDC_AS_APPLY, -1, 1}, {IDC_AS_HELP, -1, 1}};
    AttachFxButtons(this, m_buttons, kRows, 4);
    EnableItem(IDC_AS_APPLY, false);

    HWND tree = Tree();
    if (SharedUi().IsInitialised() && SharedUi().m_images)
        TreeView_SetImageList(tree, SharedUi().m_images, TVSIL_NORMAL);
    int initial = 0;
    for (int i = 0; i < kPageCount; ++i) {
        const std::string title = AfxLoadString(kPages[i].titleId);
        TVINSERTSTRUCTA ins = {};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(title.c_str());
        ins.item.iImage = ins.item.iSelectedImage = kPages[i].image;
        ins.item.lParam = i;
        m_items[i] = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (kPages[i].dialogId == m_initialPage)
            initial = i;
    }
    if (!SelectPage(initial) && initial != 0)
        SelectPage(0);
    FocusInitialControl();
    return m_initialControl == 0;
}

void CDlgAsFrame::FocusInitialControl() {
    if (m_current < 0)
        return;
    CDlgAsBase* page = m_pages[m_current].get();
    if (m_initialControl && page && page->FocusControl(m_initialControl))
        return;
    m_initialControl = 0;
    ::SetFocus(Tree());
}

bool CDlgAsFrame::SelectPage(int index) {
    if (index < 0 || index >= kPageCount)
        return false;
    if (index == m_current)
        return true;
    CDlgAsBase* old = m_current >= 0 ? m_pages[m_current].get() : nullptr;
    if (old && old->m_hWnd && !old->ValidatePage())
        return false;
    if (!m_pages[index]) {
        std::unique_ptr<CDlgAsBase> page(MakePage(kPages[index].dialogId));
        RECT rc;
        ::GetWindowRect(GetDlgItem(IDC_AS_PLACEHOLDER), &rc);
        ScreenToClient(&rc);
        if (!page || !page->CreatePage(this, rc))
            return false;
        m_pages[index] = std::move(page);
    }
    if (old && old->m_hWnd)
        old->ShowWindow(SW_HIDE);
    m_current = index;
    m_nIDHelp = kPages[index].dialogId;
    CDlgAsBase* page = m_pages[index].get();
    ::SetWindowPos(page->m_hWnd, GetDlgItem(IDC_AS_PLACEHOLDER), 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    if (m_items[index] && TreeView_GetSelection(Tree()) != m_items[index]) {
        m_selecting = true;
        TreeView_SelectItem(Tree(), m_items[index]);
        m_selecting = false;
    }
    return true;
}

bool CDlgAsFrame::SelectPageById(UINT dialogId) {
    for (int i = 0; i < kPageCount; ++i)
        if (kPages[i].dialogId == dialogId)
            return SelectPage(i);
    return false;
}

bool CDlgAsFrame::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr->idFrom == IDC_TREE && !m_selecting) {
        if (hdr->code == TVN_SELCHANGINGA || hdr->code == TVN_SELCHANGINGW) {
            const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(lParam);
            const int index = static_cast<int>(tv->itemNew.lParam);
            // The change is refused while the current page holds an invalid value or the
            // new page cannot be made.
            *result = SelectPage(index) ? FALSE : TRUE;
            return true;
        }
    }
    return CDlgBase::OnNotify(wParam, lParam, result);
}

void CDlgAsFrame::OnPageModified() {
    EnableItem(IDC_AS_APPLY, true);
}

bool CDlgAsFrame::Apply() {
    for (int i = 0; i < kPageCount; ++i) {
        CDlgAsBase* page = m_pages[i].get();
        if (page && page->m_hWnd && page->IsWindowVisible() && !page->ValidatePage())
            return false;
    }
    for (int i = 0; i < kPageCount; ++i) {
        CDlgAsBase* page = m_pages[i].get();
        if (page && page->m_hWnd)
            page->OnPageApply();
    }
    HWND apply = GetDlgItem(IDC_AS_APPLY);
    if (::GetFocus() == apply)
        ::SetFocus(GetDlgItem(IDOK));
    EnableItem(IDC_AS_APPLY, false);
    return true;
}

void CDlgAsFrame::OnApplyButton() {
    Apply();
}

void CDlgAsFrame::OnOK() {
    if (IsEnterInsidePage())
        return;
    for (int i = 0; i < kPageCount; ++i) {
        CDlgAsBase* page = m_pages[i].get();
        if (page && page->m_hWnd && !page->ValidatePage()) {
            if (i != m_current)
                SelectPage(i);
            return;
        }
    }
    for (int i = 0; i < kPageCount; ++i) {
        CDlgAsBase* page = m_pages[i].get();
        if (page && page->m_hWnd)
            page->OnOK();
    }
    EndAll(IDOK);
}

void CDlgAsFrame::OnCancel() {
    for (int i = 0; i < kPageCount; ++i) {
        CDlgAsBase* page = m_pages[i].get();
        if (page && page->m_hWnd)
            page->OnCancel();
    }
    EndAll(IDCANCEL);
}

void CDlgAsFrame::EndAll(int result) {
    EndDialog(result);
}

void CDlgAsFrame::OnHelpButton() {
    ShowHelp(CurrentPageId() ? CurrentPageId() : IDD_AS_FRAME);
}

bool CDlgAsFrame::OnHelpInfo(HELPINFO*) {
    OnHelpButton();
    return true;
}
