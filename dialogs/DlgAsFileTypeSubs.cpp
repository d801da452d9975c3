// The three sub-pages of the file type page: options (406), wrap, tab and indent (407) and
// colours (408). Layer: dialogs/.
#include "dialogs/DlgAsFileTypes.h"

#include "dialogs/DlgIds.h"
#include "framework/ColorDialog.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <cstring>

void CDlgAsFileTypeSub::SetModified(bool modified) {
    CDlgAsBase::SetModified(modified);
    if (modified)
        if (CDlgAsBase* page = dynamic_cast<CDlgAsBase*>(GetParent()))
            page->SetModified(true);
}

// --- 406: options ------------------------------------------------------------------------------

namespace {
const UINT kOptionTexts[CDlgAsEditor1::kRows] = {5903, 5904, 5905, 5906, 5901, 5902, 5900, 5907};
} // namespace

CDlgAsEditor1::CDlgAsEditor1(CWnd* frame) : CDlgAsFileTypeSub(IDD_AS_EDITOR1, frame) {}

int* CDlgAsEditor1::Option(FileTypeInfo& t, int row) {
    int* fields[kRows] = {&t.ruler,      &t.lineNumber,        &t.lineBreak,
                          &t.whitespace, &t.expandTabToSpaces, &t.homeKeyGFNW,
                          &t.dragDrop,   &t.wrapOnLoad};
    return fields[row];
}

bool CDlgAsEditor1::OnInitDialog() {
    CDlgAsFileTypeSub::OnInitDialog();
    m_loading = true;
    HWND list = GetDlgItem(IDC_ED_OPTIONS);
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT rc;
    ::GetClientRect(list, &rc);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH;
    col.cx = rc.right - rc.left - GetSystemMetrics(SM_CXVSCROLL);
    ::SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    for (int i = 0; i < kRows; ++i) {
        const std::string text = AfxLoadString(kOptionTexts[i]);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>(text.c_str());
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    m_loading = false;
    return true;
}

void CDlgAsEditor1::Load(const FileTypeInfo& type) {
    m_loading = true;
    HWND list = GetDlgItem(IDC_ED_OPTIONS);
    FileTypeInfo& t = const_cast<FileTypeInfo&>(type);
    for (int i = 0; i < kRows; ++i)
        ListView_SetCheckState(list, i, *Option(t, i) != 0);
    m_loading = false;
}

bool CDlgAsEditor1::Save(FileTypeInfo& type) {
    HWND list = GetDlgItem(IDC_ED_OPTIONS);
    for (int i = 0; i < kRows; ++i)
        *Option(type, i) = ListView_GetCheckState(list, i) ? 1 : 0;
    return true;
}

bool CDlgAsEditor1::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (hdr->idFrom == IDC_ED_OPTIONS && hdr->code == LVN_ITEMCHANGED && !m_loading) {
        const NMLISTVIEW* lv = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((lv->uChanged & LVIF_STATE) && ((lv->uOldState ^ lv->uNewState) & LVIS_STATEIMAGEMASK))
            SetModified(true);
    }
    return CDlgAsFileTypeSub::OnNotify(wParam, lParam, result);
}

// --- 407: wrap, tab, indent --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgAsEditor2, CDlgAsFileTypeSub)
ON_CBN_SELCHANGE(IDC_ED_WRAPSTYLE, OnStyleChanged)
END_MESSAGE_MAP()

CDlgAsEditor2::CDlgAsEditor2(CWnd* frame) : CDlgAsFileTypeSub(IDD_AS_EDITOR2, frame) {}

bool CDlgAsEditor2::OnInitDialog() {
    CDlgAsFileTypeSub::OnInitDialog();
    HWND style = GetDlgItem(IDC_ED_WRAPSTYLE);
    for (UINT id = 5080; id <= 5081; ++id) {
        const LRESULT at = ::SendMessageA(style, CB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(AfxLoadString(id).c_str()));
        ::SendMessageA(style, CB_SETITEMDATA, static_cast<WPARAM>(at), id - 5080 + 1);
    }
    return true;
}

void CDlgAsEditor2::Load(const FileTypeInfo& type) {
    m_loading = true;
    const int style = type.wrapStyle == 1 || type.wrapStyle == 2 ? type.wrapStyle - 1 : -1;
    ::SendMessageA(GetDlgItem(IDC_ED_WRAPSTYLE), CB_SETCURSEL, static_cast<WPARAM>(style), 0);
    SetItemInt(IDC_ED_WRAPWIDTH, type.wrapWidth);
    SetItemInt(IDC_ED_TAB, type.tabSize);
    SetItemInt(IDC_ED_INDENT, type.indentSize);
    EnableItem(IDC_ED_WRAPWIDTH, type.wrapStyle == 2);
    m_loading = false;
}

void CDlgAsEditor2::OnStyleChanged() {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_ED_WRAPSTYLE), CB_GETCURSEL, 0, 0);
    EnableItem(IDC_ED_WRAPWIDTH, sel == 1);
}

bool CDlgAsEditor2::Save(FileTypeInfo& type) {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_ED_WRAPSTYLE), CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) {
        AfxMessageBox(IDS_NO_WRAP_STYLE, MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(IDC_ED_WRAPSTYLE));
        return false;
    }
    int width = type.wrapWidth, tab = 0, indent = 0;
    if (sel == 1 && !ValidateInt(IDC_ED_WRAPWIDTH, 1, 8192, IDS_RANGE_WRAP, &width))
        return false;
    if (!ValidateInt(IDC_ED_TAB, 1, 64, IDS_RANGE_TAB, &tab) ||
        !ValidateInt(IDC_ED_INDENT, 0, 80, IDS_RANGE_INDENT, &indent))
        return false;
    type.wrapStyle = static_cast<int>(sel) + 1;
    type.wrapWidth = width;
    type.tabSize = tab;
    type.indentSize = indent;
    return true;
}

// --- 408: colours ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDlgAsColors, CDlgAsFileTypeSub)
ON_LBN_SELCHANGE(IDC_COL_LIST, OnSelect)
ON_BN_CLICKED(IDC_COL_FORE, OnFore)
ON_BN_CLICKED(IDC_COL_BACK, OnBack)
ON_BN_CLICKED(IDC_COL_SYNCTEXT, OnSync)
ON_BN_CLICKED(IDC_COL_SYNCACTIVE, OnSync)
END_MESSAGE_MAP()

const CDlgAsColors::Row CDlgAsColors::kRows[13] = {
    {5400, RulerFore, RulerBack},
    {5402, TextFore, TextBack},
    {5403, SelectionFore, SelectionBack},
    {5401, LineNumberFore, LineNumberBack},
    {5404, -1, BookmarkBack},
    {5405, -1, ActiveLineBack},
    {5406, MarksFore, -1},
    {5409, LineCommentFore, -1},
    {5410, LineComment2Fore, -1},
    {5411, BlockCommentFore, -1},
    {5412, BlockComment2Fore, -1},
    {5407, StringFore, -1},
    {5408, String2Fore, -1},
};

namespace {
bool ChooseWithDialog(HWND owner, COLORREF* colour) {
    CColorDialog dialog(*colour, CC_RGBINIT | CC_FULLOPEN, CWnd::FromHandle(owner));
    if (dialog.DoModal() != IDOK)
        return false;
    *colour = dialog.GetColor();
    return true;
}
} // namespace

CDlgAsColors::ChooseColour CDlgAsColors::s_chooseColour = ChooseWithDialog;

CDlgAsColors::CDlgAsColors(CWnd* frame) : CDlgAsFileTypeSub(IDD_AS_COLORS, frame) {}

bool CDlgAsColors::OnInitDialog() {
    CDlgAsFileTypeSub::OnInitDialog();
    m_fore.AttachToControl(this, IDC_COL_FORE, 0x60053);
    m_back.AttachToControl(this, IDC_COL_BACK, 0x60053);
    HWND list = GetDlgItem(IDC_COL_LIST);
    for (const Row& r : kRows)
        ::SendMessageA(list, LB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(AfxLoadString(r.nameId).c_str()));
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    return true;
}

void CDlgAsColors::Load(const FileTypeInfo& type) {
    m_loading = true;
    std::memcpy(m_colours, type.colors, sizeof m_colours);
    SetCheck(IDC_COL_SYNCTEXT, type.syncTextBkWithSys != 0);
    SetCheck(IDC_COL_SYNCACTIVE, type.syncActLineWithTextBk != 0);
    ShowSwatches();
    m_loading = false;
}

bool CDlgAsColors::Save(FileTypeInfo& type) {
    std::memcpy(type.colors, m_colours, sizeof m_colours);
    type.syncTextBkWithSys = IsChecked(IDC_COL_SYNCTEXT) ? 1 : 0;
    type.syncActLineWithTextBk = IsChecked(IDC_COL_SYNCACTIVE) ? 1 : 0;
    return true;
}

void CDlgAsColors::ShowSwatches() {
    LRESULT sel = ::SendMessageA(GetDlgItem(IDC_COL_LIST), LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR || sel >= 13)
        sel = 0;
    const Row& r = kRows[sel];
    // The text background follows the system while the first check box is set.
    const bool backFixed = r.back == TextBack && IsChecked(IDC_COL_SYNCTEXT);
    EnableItem(IDC_COL_FORE, r.fore >= 0);
    EnableItem(IDC_COL_BACK, r.back >= 0 && !backFixed);
    m_fore.SetSwatchColor(r.fore >= 0 ? m_colours[r.fore] : GetSysColor(COLOR_BTNFACE));
    m_back.SetSwatchColor(r.back >= 0 ? (backFixed ? GetSysColor(COLOR_WINDOW) : m_colours[r.back])
                                      : GetSysColor(COLOR_BTNFACE));
}

void CDlgAsColors::OnSelect() {
    ShowSwatches();
}

void CDlgAsColors::OnSync() {
    ShowSwatches();
}

void CDlgAsColors::Choose(bool back) {
    LRESULT sel = ::SendMessageA(GetDlgItem(IDC_COL_LIST), LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR || sel >= 13)
        return;
    const int slot = back ? kRows[sel].back : kRows[sel].fore;
    if (slot < 0)
        return;
    COLORREF colour = m_colours[slot];
    if (!s_chooseColour || !s_chooseColour(m_hWnd, &colour) || colour == m_colours[slot])
        return;
    m_colours[slot] = colour;
    ShowSwatches();
    SetModified(true);
}

void CDlgAsColors::OnFore() {
    Choose(false);
}

void CDlgAsColors::OnBack() {
    Choose(true);
}
