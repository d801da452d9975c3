// CTextEditView: the commands of the Document and View menus that act on the document (date and
// time, display switches, file type, word wrap, read-only, word count, settings shortcuts,
// printing) and the context menu. Layer: app/ (application shell).
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "dialogs/DlgIds.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "common/CountText.h"
#include "settings/FileTypes.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"
#include "framework/CmdUI.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/WaitCursor.h"
#include "textdoc/Dbcs.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

// The longest text of a menu item that a command reads back.
const int kMenuTextBytes = 260;

// A menu loaded from the resources, destroyed with its popups on leaving.
class LoadedMenu {
public:
    explicit LoadedMenu(UINT id)
        : m_menu(LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id))) {}
    ~LoadedMenu() {
        if (m_menu)
            DestroyMenu(m_menu);
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    HMENU Get() const { return m_menu; }

private:
    HMENU m_menu;
};

bool& SwitchOf(CFxEditDoc& doc, int which) {
    switch (which) {
    case CTextEditView::ShowRuler:
        return doc.m_showRuler;
    case CTextEditView::ShowLineNumbers:
        return doc.m_showLineNumbers;
    case CTextEditView::ShowLineBreaks:
        return doc.m_showLineBreaks;
    default:
        return doc.m_showWhitespace;
    }
}

int SwitchOfCommand(UINT id) {
    switch (id) {
    case ID_VIEW_RULER:
        return CTextEditView::ShowRuler;
    case ID_VIEW_LINE_NUMBERS:
        return CTextEditView::ShowLineNumbers;
    case ID_VIEW_LINE_BREAKS:
        return CTextEditView::ShowLineBreaks;
    default:
        return CTextEditView::ShowWhitespace;
    }
}

// The first view of the document that computes its word wrap, or null.
CFxEditView* WrappingView(CFxEditDoc& doc) {
    return dynamic_cast<CFxEditView*>(doc.FirstView());
}

} // namespace

// --- Date and time ---------------------------------------------------------------------------

std::string CTextEditView::DateTimeItemText(UINT id) const {
    HMENU menu = nullptr;
    if (CMDIChildWnd* frame = DynamicDowncast<CMDIChildWnd>(GetParentFrame()))
        menu = frame->m_hMenuShared;
    if (!menu) {
        CFrameWnd* top = GetTopLevelFrame();
        menu = top ? ::GetMenu(top->m_hWnd) : nullptr;
    }
    // Read with room to spare, then cut at 260 bytes on a character boundary.
    char buf[4 * kMenuTextBytes] = "";
    if (!menu || GetMenuStringA(menu, id, buf, sizeof buf - 1, MF_BYCOMMAND) <= 0)
        return std::string();
    const size_t len = strnlen(buf, sizeof buf - 1);
    size_t end = 0;
    while (end < len) {
        const size_t step = static_cast<size_t>(FxCharLen(buf, end, len));
        if (end + step > static_cast<size_t>(kMenuTextBytes))
            break;
        end += step;
    }
    return std::string(buf, end);
}

bool CTextEditView::InsertTextAsAction(const std::string& text, int action) {
    if (text.empty() || !CheckWritable())
        return false;
    try {
        FxUndoGroupGuard group(*m_doc, action);
        if (HasSelection())
            DeleteSelection();
        InsertAtCaret(text.data(), static_cast<int32_t>(text.size()));
        GoToPos(m_doc->PieceToLogical(m_caret));
    } catch (...) {
        ReportException();
        return false;
    }
    return true;
}

void CTextEditView::OnInsertDateTime(UINT id) {
    InsertTextAsAction(DateTimeItemText(id), FxUndoInsert);
}

namespace {

// Gives the item `command` of the menu the settings store's popup, unless it has one the
// store built. A popup left by an earlier store (the store's lists are empty then) is
// replaced and destroyed.
void AttachStorePopup(HMENU menu, UINT command, bool storeBuiltOne,
                      HMENU (SettingsStore::*build)(HMENU)) {
    SettingsStore* settings = AppSettings();
    if (!settings || !menu)
        return;
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, command, FALSE, &mii))
        return;
    if (mii.hSubMenu && storeBuiltOne)
        return;
    HMENU built = (settings->*build)(menu);
    if (mii.hSubMenu && built && mii.hSubMenu != built)
        DestroyMenu(mii.hSubMenu);
}

bool StoreHasDateTimeMenu() {
    SettingsStore* settings = AppSettings();
    return settings && !settings->DateTimeFormats().empty();
}

bool StoreHasViewAsMenu() {
    SettingsStore* settings = AppSettings();
    return settings && !settings->FileTypes().empty() && settings->FileTypes().front().menuId;
}

} // namespace

void CTextEditView::OnUpdateDateTime(CCmdUI* cmdUI) {
    if (cmdUI->m_pSubMenu) {
        // The date and time item itself, updated through its first command.
        AttachStorePopup(cmdUI->m_pMenu, ID_INSERT_DATETIME, StoreHasDateTimeMenu(),
                         &SettingsStore::BuildDateTimeMenu);
    } else if (cmdUI->m_pMenu) {
        // Each time its menu opens an item shows the time of that moment.
        if (SettingsStore* settings = AppSettings())
            settings->RefreshDateTimeItem(cmdUI->m_pMenu, cmdUI->m_nID);
    }
    cmdUI->Enable(true);
}

void CTextEditView::OnUpdateDateTimeMenu(CCmdUI* cmdUI) {
    AttachStorePopup(cmdUI->m_pMenu, ID_INSERT_DATETIME, StoreHasDateTimeMenu(),
                     &SettingsStore::BuildDateTimeMenu);
    cmdUI->Enable(true);
}

void CTextEditView::OnUpdateViewAsMenu(CCmdUI* cmdUI) {
    AttachStorePopup(cmdUI->m_pMenu, ID_VIEW_AS, StoreHasViewAsMenu(),
                     &SettingsStore::BuildViewAsMenu);
    cmdUI->Enable(true);
}

// --- Display switches --------------------------------------------------------------------------

bool CTextEditView::IsSwitchOn(int which) const {
    return m_doc && SwitchOf(*m_doc, which);
}

void CTextEditView::ToggleSwitch(int which) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    bool& on = SwitchOf(*m_doc, which);
    on = !on;
    if (which == ShowLineBreaks || which == ShowWhitespace) {
        UpdateViews(RefreshLines, 0, -1);
        return;
    }
    // The ruler and the gutter move the text area: both views lay out again.
    LayoutView();
    if (CFxEditView* other = OtherView())
        other->LayoutView();
    UpdateViews(RefreshAll, 0, -1);
    // The gutter's width (and the margin the ruler asks for) changes the text width that a
    // document wrapped at the window edge was split to; an unchanged width splits nothing.
    if (m_doc->WrapMode() == 1)
        SetWrapMode(1, 0);
}

void CTextEditView::OnViewRuler() {
    ToggleSwitch(ShowRuler);
}

void CTextEditView::OnViewLineNumbers() {
    ToggleSwitch(ShowLineNumbers);
}

void CTextEditView::OnViewLineBreaks() {
    ToggleSwitch(ShowLineBreaks);
}

void CTextEditView::OnViewWhitespace() {
    ToggleSwitch(ShowWhitespace);
}

void CTextEditView::OnUpdateViewSwitch(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck(IsSwitchOn(SwitchOfCommand(cmdUI->m_nID)) ? 1 : 0);
}

// --- File type ---------------------------------------------------------------------------------

// The document keeps the type; its views take it, with the type's switches, a new layout and
// the wrap made again.
void CTextEditView::ApplyFileType(CTextEditDoc& doc, const FileTypeInfo& type) {
    doc.SetFileType(&type);
    if (CFxEditView* first = WrappingView(doc))
        first->CFxEditView::ApplyFileType(&type);
}

void CTextEditView::OnViewAs(UINT id) {
    SettingsStore* settings = AppSettings();
    CTextEditDoc* doc = GetTextDoc();
    FileTypeInfo* type = settings ? settings->FileTypeByCommand(id) : nullptr;
    if (!doc || !type || doc->FileType() == type)
        return;
    if (!settings->EnsureLoaded(*type)) {
        const std::string text = AfxFormat(AfxLoadString(IDS_VIEW_AS_UNREADABLE).c_str(),
                                           type->title.c_str(), type->templatePath.c_str());
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ApplyFileType(*doc, *type);
}

void CTextEditView::OnUpdateViewAs(CCmdUI* cmdUI) {
    if (cmdUI->m_pSubMenu) // the "view as" item itself
        AttachStorePopup(cmdUI->m_pMenu, ID_VIEW_AS, StoreHasViewAsMenu(),
                         &SettingsStore::BuildViewAsMenu);
    CTextEditDoc* doc = GetTextDoc();
    const FileTypeInfo* type = doc ? doc->FileType() : nullptr;
    cmdUI->Enable(true);
    cmdUI->SetCheck(type && type->menuId == cmdUI->m_nID ? 1 : 0);
}

// --- Word wrap and read-only --------------------------------------------------------------------

void CTextEditView::OnDocWordWrap() {
    if (!m_doc)
        return;
    if (m_doc->IsWrapped())
        SetWrapMode(0, 0);
    else
        SetWrapMode(FileType().wrapStyle, FileType().wrapWidth);
}

void CTextEditView::OnUpdateDocWordWrap(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck(m_doc && m_doc->IsWrapped() ? 1 : 0);
}

void CTextEditView::OnDocReadOnly() {
    if (m_doc)
        m_doc->SetReadOnly(!m_doc->IsReadOnly());
}

void CTextEditView::OnUpdateDocReadOnly(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck(m_doc && m_doc->IsReadOnly() ? 1 : 0);
}

// --- Word count --------------------------------------------------------------------------------

std::string CTextEditView::WordCountText(const FxWordCount& c) {
    // Each count fills the first "%d" left, whole however large.
    std::string text = AfxLoadString(IDS_WORD_COUNT);
    for (int64_t n : {c.total, c.words, c.punctuation, c.whitespace, c.other, c.chinese, c.unknown})
        text = FxFormatCount(text, n);
    return text;
}

void CTextEditView::OnDocWordCount() {
    if (!m_doc)
        return;
    FxWordCount counts;
    {
        CWaitCursor wait;
        counts = m_doc->CountWords();
    }
    AfxMessageBox(WordCountText(counts).c_str(), MB_OK | MB_ICONINFORMATION);
}

// --- Settings ---------------------------------------------------------------------

// Each shortcut opens the settings dialog at its page and field: the font page, the line
// spacing on the general page, the file type page (which selects this document's type) at
// its wrap, tab or colour settings, and the backup page.
void CTextEditView::OnDocSettingsPage(UINT id) {
    static const struct {
        UINT command, page, control;
    } kTargets[] = {
        {ID_DOC_FONT, IDD_AS_FONTS, 0},
        {ID_DOC_LINE_SPACING, IDD_AS_GENERAL, IDC_GEN_LINESPACING},
        {ID_DOC_WRAP_SETTINGS, IDD_AS_FILETYPES, IDC_ED_WRAPSTYLE},
        {ID_DOC_TAB_SETTINGS, IDD_AS_FILETYPES, IDC_ED_TAB},
        {ID_DOC_COLOR_SETTINGS, IDD_AS_FILETYPES, IDC_COL_LIST},
        {ID_DOC_AUTO_SAVE, IDD_AS_BACKUP, IDC_BAK_AUTOSAVE},
    };
    CAppMainFrame* frame = AppMainFrame();
    if (!frame)
        return;
    for (const auto& t : kTargets)
        if (t.command == id)
            frame->OpenSettings(t.page, t.control);
}

void CTextEditView::OnUpdateDocAutoSave(CCmdUI* cmdUI) {
    SettingsStore* settings = AppSettings();
    cmdUI->Enable(true);
    cmdUI->SetCheck(settings && settings->IsAutoSaveOn() ? 1 : 0);
}

// --- Column select -----------------------------------------------------------------------------

// The next mouse selection in the text makes a column block, as with Alt held.
void CTextEditView::OnEditColumnSelect() {
    if (m_doc && m_doc->DocumentSize() > 0 && !m_doc->IsWrapped())
        ArmColumnMode();
}

void CTextEditView::OnUpdateColumnSelect(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->DocumentSize() > 0 && !m_doc->IsWrapped());
}

// --- Context menu ------------------------------------------------------------------------------

UINT CTextEditView::ShowContextMenu(POINT screenPt) {
    LoadedMenu menu(IDR_TEXT_CONTEXT_MENU);
    HMENU popup = menu.Get() ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup)
        return 0;
    // The main frame owns the popup: it updates each popup as it opens through its command
    // route (whose active view must be this one), shows the prompts and adds the shortcuts.
    CFrameWnd* frame = GetParentFrame();
    if (frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
    CFrameWnd* top = GetTopLevelFrame();
    HWND owner = top && top->m_hWnd ? top->m_hWnd : m_hWnd;
    const UINT id =
        static_cast<UINT>(TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                         screenPt.x, screenPt.y, 0, owner, nullptr));
    if (id != 0 && m_hWnd)
        SendMessage(WM_COMMAND, id);
    return id;
}

void CTextEditView::OnContextMenu(HWND, POINT screenPt) {
    if (screenPt.x == -1 && screenPt.y == -1) {
        // From the keyboard: below the caret.
        screenPt.x = WindowXFromDoc(CaretX());
        screenPt.y = WindowYFromRecord(Caret().line + 1);
        ::ClientToScreen(m_hWnd, &screenPt);
    }
    ShowContextMenu(screenPt);
}
