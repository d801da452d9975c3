// CDlgAsFileTypes. Layer: dialogs/.
#include "dialogs/DlgAsFileTypes.h"

#include "settings/SettingsStore.h"
#include "common/UiResources.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/ResourceText.h"
#include "workspace/TabNotify.h"

#include <cstring>

namespace {

// The option and colour part of a type, which the page edits.
bool SameSettings(const FileTypeInfo& a, const FileTypeInfo& b) {
    return a.ruler == b.ruler && a.lineNumber == b.lineNumber && a.lineBreak == b.lineBreak &&
           a.whitespace == b.whitespace && a.dragDrop == b.dragDrop &&
           a.expandTabToSpaces == b.expandTabToSpaces && a.homeKeyGFNW == b.homeKeyGFNW &&
           a.syncTextBkWithSys == b.syncTextBkWithSys &&
           a.syncActLineWithTextBk == b.syncActLineWithTextBk && a.tabSize == b.tabSize &&
           a.indentSize == b.indentSize && a.wrapStyle == b.wrapStyle &&
           a.wrapWidth == b.wrapWidth && a.wrapOnLoad == b.wrapOnLoad &&
           std::memcmp(a.colors, b.colors, sizeof a.colors) == 0;
}

void CopySettings(FileTypeInfo& to, const FileTypeInfo& from) {
    to.ruler = from.ruler;
    to.lineNumber = from.lineNumber;
    to.lineBreak = from.lineBreak;
    to.whitespace = from.whitespace;
    to.dragDrop = from.dragDrop;
    to.expandTabToSpaces = from.expandTabToSpaces;
    to.homeKeyGFNW = from.homeKeyGFNW;
    to.syncTextBkWithSys = from.syncTextBkWithSys;
    to.syncActLineWithTextBk = from.syncActLineWithTextBk;
    to.tabSize = from.tabSize;
    to.indentSize = from.indentSize;
    to.wrapStyle = from.wrapStyle;
    to.wrapWidth = from.wrapWidth;
    to.wrapOnLoad = from.wrapOnLoad;
    std::memcpy(to.colors, from.colors, sizeof to.colors);
}

const UINT kSubTemplates[CDlgAsFileTypes::kSubPages] = {IDD_AS_EDITOR1, IDD_AS_EDITOR2,
                                                        IDD_AS_COLORS};
const UINT kSubTitles[CDlgAsFileTypes::kSubPages] = {IDS_SUBPAGE_EDITOR1, IDS_SUBPAGE_EDITOR2,
                                                     IDS_SUBPAGE_COLORS};

} // namespace

CDlgAsFileTypes::CDlgAsFileTypes(CWnd* frame) : CDlgAsBase(IDD_AS_FILETYPES, frame) {}

CDlgAsFileTypes::~CDlgAsFileTypes() = default;

bool CDlgAsFileTypes::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    SettingsStore* s = Store();
    const CLstFileTypeInfo* types = s ? &s->FileTypes() : nullptr;
    const size_t count = types ? types->size() : 0;
    m_copies.resize(count);
    m_items.resize(count);
    HWND tree = GetDlgItem(IDC_FT_TREE);
    int initial = count ? 0 : -1;
    const FileTypeInfo* active = Host() ? Host()->ActiveFileType() : nullptr;
    for (size_t i = 0; i < count; ++i) {
        const FileTypeInfo& t = (*types)[i];
        const std::string text = AfxFormat("%s(%s)", t.title.c_str(), t.extensions.c_str());
        TVINSERTSTRUCTA ins = {};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM;
        ins.item.pszText = const_cast<char*>(text.c_str());
        ins.item.lParam = static_cast<LPARAM>(i);
        m_items[i] = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        if (&t == active)
            initial = static_cast<int>(i);
    }
    // The tab strip sits between the tree and the sub-pages.
    RECT treeRc, place;
    ::GetWindowRect(tree, &treeRc);
    ::GetWindowRect(GetDlgItem(IDC_FT_PLACEHOLDER), &place);
    ScreenToClient(&treeRc);
    ScreenToClient(&place);
    RECT strip = {place.left, treeRc.bottom + 2, place.right, place.top};
    if (m_tabs.Create(this, WS_CHILD | WS_VISIBLE | WS_TABSTOP, IDC_FT_TABS, strip)) {
        m_tabs.SetTabWidth(80);
        if (SharedUi().IsInitialised())
            m_tabs.SetImageList(SharedUi().m_images,
                                SIZE{CUiResources::kImageSize, CUiResources::kImageSize});
        for (int i = 0; i < kSubPages; ++i)
            m_tabs.InsertTab(i, AfxLoadString(kSubTitles[i]).c_str(), kSubTemplates[i]);
    }
    m_loading = false;
    if (initial >= 0)
        SelectType(initial);
    SelectSub(0);
    return true;
}

FileTypeInfo& CDlgAsFileTypes::Copy(int index) {
    std::unique_ptr<FileTypeInfo>& copy = m_copies[static_cast<size_t>(index)];
    if (!copy) {
        SettingsStore* s = Store();
        FileTypeInfo& live = s->FileTypes()[static_cast<size_t>(index)];
        s->EnsureLoaded(live);
        // A whole copy of the record: its strings and keyword tables are its own.
        copy.reset(new FileTypeInfo(live));
    }
    return *copy;
}

bool CDlgAsFileTypes::StoreVisible() {
    if (m_type < 0 || m_sub < 0 || !m_subs[m_sub] || !m_subs[m_sub]->m_hWnd)
        return true;
    return m_subs[m_sub]->Save(Copy(m_type));
}

void CDlgAsFileTypes::ShowSub() {
    if (m_sub < 0 || m_type < 0 || !m_subs[m_sub])
        return;
    m_subs[m_sub]->Load(Copy(m_type));
}

bool CDlgAsFileTypes::SelectType(int index) {
    if (index < 0 || index >= static_cast<int>(m_copies.size()))
        return false;
    if (index == m_type)
        return true;
    if (!StoreVisible())
        return false;
    m_type = index;
    ShowSub();
    HWND tree = GetDlgItem(IDC_FT_TREE);
    if (TreeView_GetSelection(tree) != m_items[static_cast<size_t>(index)]) {
        m_selecting = true;
        TreeView_SelectItem(tree, m_items[static_cast<size_t>(index)]);
        m_selecting = false;
    }
    return true;
}

bool CDlgAsFileTypes::SelectSub(int index) {
    if (index < 0 || index >= kSubPages)
        return false;
    if (index == m_sub)
        return true;
    if (!StoreVisible())
        return false;
    if (!m_subs[index]) {
        std::unique_ptr<CDlgAsFileTypeSub> sub;
        if (index == 0)
            sub.reset(new CDlgAsEditor1(m_frame));
        else if (index == 1)
            sub.reset(new CDlgAsEditor2(m_frame));
        else
            sub.reset(new CDlgAsColors(m_frame));
        RECT rc;
        ::GetWindowRect(GetDlgItem(IDC_FT_PLACEHOLDER), &rc);
        ScreenToClient(&rc);
        if (!sub->CreatePage(this, rc))
            return false;
        m_subs[index] = std::move(sub);
    }
    if (m_sub >= 0 && m_subs[m_sub])
        m_subs[m_sub]->ShowWindow(SW_HIDE);
    m_sub = index;
    ShowSub();
    m_subs[index]->ShowWindow(SW_SHOW);
    if (m_tabs.m_hWnd && m_tabs.GetCurSel() != index) {
        m_selecting = true;
        m_tabs.SelectTab(index);
        m_selecting = false;
    }
    return true;
}

bool CDlgAsFileTypes::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!m_selecting && hdr->idFrom == IDC_FT_TREE &&
        (hdr->code == TVN_SELCHANGINGA || hdr->code == TVN_SELCHANGINGW)) {
        const NMTREEVIEWA* tv = reinterpret_cast<const NMTREEVIEWA*>(lParam);
        *result = SelectType(static_cast<int>(tv->itemNew.lParam)) ? FALSE : TRUE;
        return true;
    }
    if (!m_selecting && hdr->idFrom == IDC_FT_TABS &&
        hdr->code == static_cast<UINT>(TCN_SELCHANGING)) {
        const NMTABSTRIP* tab = reinterpret_cast<const NMTABSTRIP*>(lParam);
        *result = SelectSub(tab->newIndex) ? FALSE : TRUE;
        return true;
    }
    return CDlgAsBase::OnNotify(wParam, lParam, result);
}

bool CDlgAsFileTypes::FocusControl(UINT id) {
    int sub = -1;
    if (id == IDC_ED_OPTIONS)
        sub = 0;
    else if (id >= IDC_ED_TAB && id <= IDC_ED_WRAPSTYLE)
        sub = 1;
    else if (id >= IDC_COL_FORE && id <= IDC_COL_LIST)
        sub = 2;
    if (sub < 0)
        return CDlgAsBase::FocusControl(id);
    if (!SelectSub(sub))
        return false;
    return m_subs[sub]->FocusControl(id);
}

bool CDlgAsFileTypes::ValidatePage() {
    return StoreVisible();
}

void CDlgAsFileTypes::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    CLstFileTypeInfo& live = s->FileTypes();
    for (size_t i = 0; i < m_copies.size() && i < live.size(); ++i) {
        if (!m_copies[i] || SameSettings(*m_copies[i], live[i]))
            continue;
        // In place: documents keep pointing at the same entry.
        CopySettings(live[i], *m_copies[i]);
        live[i].modified = true;
        s->SetFileTypesDirty();
        if (ISettingsHost* host = Host())
            host->ApplyFileType(live[i]);
    }
}
