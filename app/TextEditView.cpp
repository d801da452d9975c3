// CTextEditView. Layer: app/ (application shell).
#include "app/TextEditView.h"

#include "app/AppIds.h"
#include "app/CommandIds.h"
#include "app/ShellIds.h"
#include "app/TextEditDoc.h"
#include "common/CountText.h"
#include "settings/SettingsIds.h"
#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"
#include "textdoc/Dbcs.h"

#include <string>

IMPLEMENT_DYNCREATE(CTextEditView, CFxEditView)

BEGIN_MESSAGE_MAP(CTextEditView, CFxEditView)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_POSITION, OnUpdatePosition)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_SIZE, OnUpdateSize)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_READONLY, OnUpdateReadOnly)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_OVERWRITE, OnUpdateOverwrite)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_TYPE, OnUpdateType)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_CHAR, OnUpdateChar)
ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateEditClear)
ON_COMMAND(ID_FILE_RELOAD, OnFileReload)
ON_UPDATE_COMMAND_UI(ID_FILE_RELOAD, OnUpdateFileReload)
ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
ON_COMMAND(ID_EDIT_REDO, OnEditRedo)
ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateEditRedo)
ON_COMMAND(ID_EDIT_CUT, OnEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedSelection)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedSelection)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdatePaste)
ON_COMMAND(ID_EDIT_APPEND_CUT, OnEditAppendCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_APPEND_CUT, OnUpdateNeedSelection)
ON_COMMAND(ID_EDIT_APPEND_COPY, OnEditAppendCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_APPEND_COPY, OnUpdateNeedSelection)
ON_COMMAND(ID_EDIT_COLUMN_PASTE_ALIGNED, OnEditColumnPasteAligned)
ON_UPDATE_COMMAND_UI(ID_EDIT_COLUMN_PASTE_ALIGNED, OnUpdateColumnPaste)
ON_COMMAND(ID_EDIT_COLUMN_PASTE_APPENDED, OnEditColumnPasteAppended)
ON_UPDATE_COMMAND_UI(ID_EDIT_COLUMN_PASTE_APPENDED, OnUpdateColumnPaste)
ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_DELETE_TO_LINE_START, OnEditDeleteToLineStart)
ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE_TO_LINE_START, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_DELETE_TO_LINE_END, OnEditDeleteToLineEnd)
ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE_TO_LINE_END, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_DELETE_TO_DOC_START, OnEditDeleteToDocStart)
ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE_TO_DOC_START, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_DELETE_TO_DOC_END, OnEditDeleteToDocEnd)
ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE_TO_DOC_END, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_SELECT_TO_LINE_START, OnEditSelectToLineStart)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_TO_LINE_START, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_SELECT_TO_LINE_END, OnEditSelectToLineEnd)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_TO_LINE_END, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_SELECT_TO_DOC_START, OnEditSelectToDocStart)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_TO_DOC_START, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_SELECT_TO_DOC_END, OnEditSelectToDocEnd)
ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_TO_DOC_END, OnUpdateNeedText)
ON_UPDATE_COMMAND_UI(ID_EDIT_FORMAT_CODE, OnUpdateNever)
ON_COMMAND(ID_EDIT_LOWER_CASE, OnEditLowerCase)
ON_UPDATE_COMMAND_UI(ID_EDIT_LOWER_CASE, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_UPPER_CASE, OnEditUpperCase)
ON_UPDATE_COMMAND_UI(ID_EDIT_UPPER_CASE, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_INVERT_CASE, OnEditInvertCase)
ON_UPDATE_COMMAND_UI(ID_EDIT_INVERT_CASE, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_CAPITALIZE, OnEditCapitalize)
ON_UPDATE_COMMAND_UI(ID_EDIT_CAPITALIZE, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_TRIM_TRAILING, OnEditTrimTrailing)
ON_UPDATE_COMMAND_UI(ID_EDIT_TRIM_TRAILING, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_SPACES_TO_TABS, OnEditSpacesToTabs)
ON_UPDATE_COMMAND_UI(ID_EDIT_SPACES_TO_TABS, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_LEADING_SPACES_TO_TABS, OnEditLeadingSpacesToTabs)
ON_UPDATE_COMMAND_UI(ID_EDIT_LEADING_SPACES_TO_TABS, OnUpdateNeedText)
ON_COMMAND(ID_EDIT_TABS_TO_SPACES, OnEditTabsToSpaces)
ON_UPDATE_COMMAND_UI(ID_EDIT_TABS_TO_SPACES, OnUpdateNeedText)
ON_COMMAND(ID_SEARCH_TOGGLE_BOOKMARK, OnToggleBookmark)
ON_UPDATE_COMMAND_UI(ID_SEARCH_TOGGLE_BOOKMARK, OnUpdateAlways)
ON_COMMAND(ID_SEARCH_NEXT_BOOKMARK, OnNextBookmark)
ON_UPDATE_COMMAND_UI(ID_SEARCH_NEXT_BOOKMARK, OnUpdateNeedBookmark)
ON_COMMAND(ID_SEARCH_PREV_BOOKMARK, OnPrevBookmark)
ON_UPDATE_COMMAND_UI(ID_SEARCH_PREV_BOOKMARK, OnUpdateNeedBookmark)
ON_COMMAND(ID_SEARCH_CLEAR_BOOKMARKS, OnClearBookmarks)
ON_UPDATE_COMMAND_UI(ID_SEARCH_CLEAR_BOOKMARKS, OnUpdateNeedBookmark)
ON_COMMAND(ID_EDIT_MATCH_PAIR, OnMatchPair)
ON_UPDATE_COMMAND_UI(ID_EDIT_MATCH_PAIR, OnUpdateAlways)
ON_COMMAND(ID_SEARCH_FIND, OnSearchFind)
ON_UPDATE_COMMAND_UI(ID_SEARCH_FIND, OnUpdateAlways)
ON_COMMAND(ID_SEARCH_REPLACE, OnSearchReplace)
ON_UPDATE_COMMAND_UI(ID_SEARCH_REPLACE, OnUpdateAlways)
ON_COMMAND(ID_SEARCH_FIND_NEXT, OnSearchFindNext)
ON_UPDATE_COMMAND_UI(ID_SEARCH_FIND_NEXT, OnUpdateAlways)
ON_COMMAND(ID_SEARCH_FIND_PREV, OnSearchFindPrev)
ON_UPDATE_COMMAND_UI(ID_SEARCH_FIND_PREV, OnUpdateAlways)
ON_COMMAND(ID_DOC_AUTO_PASTE, OnDocAutoPaste)
ON_UPDATE_COMMAND_UI(ID_DOC_AUTO_PASTE, OnUpdateDocAutoPaste)
ON_COMMAND(ID_EDIT_COLUMN_SELECT, OnEditColumnSelect)
ON_UPDATE_COMMAND_UI(ID_EDIT_COLUMN_SELECT, OnUpdateColumnSelect)
ON_UPDATE_COMMAND_UI(ID_INSERT_DATETIME, OnUpdateDateTimeMenu)
ON_COMMAND_RANGE(ID_DATETIME_FIRST, ID_DATETIME_LAST, OnInsertDateTime)
ON_UPDATE_COMMAND_UI_RANGE(ID_DATETIME_FIRST, ID_DATETIME_LAST, OnUpdateDateTime)
ON_COMMAND(ID_VIEW_RULER, OnViewRuler)
ON_UPDATE_COMMAND_UI(ID_VIEW_RULER, OnUpdateViewSwitch)
ON_COMMAND(ID_VIEW_LINE_NUMBERS, OnViewLineNumbers)
ON_UPDATE_COMMAND_UI(ID_VIEW_LINE_NUMBERS, OnUpdateViewSwitch)
ON_COMMAND(ID_VIEW_LINE_BREAKS, OnViewLineBreaks)
ON_UPDATE_COMMAND_UI(ID_VIEW_LINE_BREAKS, OnUpdateViewSwitch)
ON_COMMAND(ID_VIEW_WHITESPACE, OnViewWhitespace)
ON_UPDATE_COMMAND_UI(ID_VIEW_WHITESPACE, OnUpdateViewSwitch)
ON_UPDATE_COMMAND_UI(ID_VIEW_AS, OnUpdateViewAsMenu)
ON_COMMAND_RANGE(ID_VIEWAS_FIRST, ID_VIEWAS_LIMIT, OnViewAs)
ON_UPDATE_COMMAND_UI_RANGE(ID_VIEWAS_FIRST, ID_VIEWAS_LIMIT, OnUpdateViewAs)
ON_COMMAND(ID_DOC_WORD_WRAP, OnDocWordWrap)
ON_UPDATE_COMMAND_UI(ID_DOC_WORD_WRAP, OnUpdateDocWordWrap)
ON_COMMAND(ID_DOC_READ_ONLY, OnDocReadOnly)
ON_UPDATE_COMMAND_UI(ID_DOC_READ_ONLY, OnUpdateDocReadOnly)
ON_COMMAND(ID_DOC_WORD_COUNT, OnDocWordCount)
ON_UPDATE_COMMAND_UI(ID_DOC_WORD_COUNT, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_FONT, ID_DOC_FONT, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_FONT, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_LINE_SPACING, ID_DOC_LINE_SPACING, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_LINE_SPACING, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_WRAP_SETTINGS, ID_DOC_WRAP_SETTINGS, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_WRAP_SETTINGS, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_TAB_SETTINGS, ID_DOC_TAB_SETTINGS, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_TAB_SETTINGS, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_COLOR_SETTINGS, ID_DOC_COLOR_SETTINGS, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_COLOR_SETTINGS, OnUpdateAlways)
ON_COMMAND_RANGE(ID_DOC_AUTO_SAVE, ID_DOC_AUTO_SAVE, OnDocSettingsPage)
ON_UPDATE_COMMAND_UI(ID_DOC_AUTO_SAVE, OnUpdateDocAutoSave)
ON_COMMAND(ID_FILE_PRINT, OnFileQuickPrint)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateAlways)
ON_COMMAND(ID_FILE_PRINT_DIRECT, OnFilePrintDirect)
ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_PREVIEW, OnUpdateAlways)
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

CTextEditDoc* CTextEditView::GetTextDoc() const {
    return DynamicDowncast<CTextEditDoc>(GetDocument());
}

FxTextPos CTextEditView::LogicalCaret() const {
    return m_doc ? m_doc->PieceToLogical(m_caret) : FxTextPos();
}

void CTextEditView::OnInitialUpdate() {
    // The file type comes before the layout: tab size, margins and colours depend on it. The
    // base then wraps the document when this is its first view and the type asks for it.
    if (CTextEditDoc* doc = GetTextDoc())
        SetFileType(doc->FileType());
    CFxEditView::OnInitialUpdate();
}

// --- Reloading ---------------------------------------------------------------------------------

void CTextEditView::BeginReload(int32_t& caretLine, int32_t& caretCol) {
    const FxTextPos caret = LogicalCaret();
    caretLine = caret.line;
    caretCol = caret.col;
    ClearSelection();
    m_caret = FxTextPos(0, 0);
    m_top = 0;
    m_hscroll = 0;
    m_caretX = m_stickyX = 0;
    m_overwrite = false;
    m_columnMode = false;
}

void CTextEditView::EndReload(int32_t caretLine, int32_t caretCol) {
    if (CTextEditDoc* doc = GetTextDoc())
        SetFileType(doc->FileType());
    LayoutView();
    UpdateScrollBars(SB_BOTH);
    GoToPos(m_doc->LogicalToPiecePos(FxTextPos(caretCol, caretLine)));
    Invalidate(false);
}

void CTextEditView::RestoreWrap(int mode, int column) {
    if (mode == 0 || !m_doc)
        return;
    const FxTextPos caret = LogicalCaret();
    SetWrapMode(mode, column);
    GoToPos(m_doc->LogicalToPiecePos(caret));
    Invalidate(false);
}

// --- Bookmarks and lines for the reopen list ---------------------------------------------------

int32_t CTextEditView::NextBookmarkAfter(int32_t line) const {
    if (!m_doc || m_doc->BookmarkCount() == 0)
        return -1;
    // Records after the head of line+1 in document order: never back to the start.
    FxTextPos from(0, line + 1);
    if (!m_doc->IsValidLine(from.line))
        return -1;
    m_doc->LogicalToPiece(from);
    for (int32_t rec = from.line; rec < m_doc->RecordCount(); ++rec) {
        if (m_doc->Record(rec).flags & FXL_BOOKMARK)
            return m_doc->PieceToLogicalLine(m_doc->HeadPieceOf(rec));
    }
    return -1;
}

void CTextEditView::SetBookmarkOnLine(int32_t line) {
    if (!m_doc || !m_doc->IsValidLine(line))
        return;
    FxTextPos pos(0, line);
    m_doc->LogicalToPiece(pos);
    FxLine& head = m_doc->RecordRef(pos.line);
    if (!(head.flags & FXL_BOOKMARK)) {
        head.flags |= FXL_BOOKMARK;
        m_doc->SetBookmarkCount(m_doc->BookmarkCount() + 1);
        InvalidateLines(pos.line, pos.line);
    }
}

void CTextEditView::GoToLine(int32_t line) {
    if (!m_doc)
        return;
    GoToPos(m_doc->LogicalToPiecePos(FxTextPos(0, m_doc->ClampLine(line))));
}

// --- Status panes --------------------------------------------------------------------------

std::string CTextEditView::PositionText(int32_t line, int32_t dispCol) {
    return AfxFormat(AfxLoadString(IDS_PANE_POSITION).c_str(), static_cast<int>(line + 1),
                     static_cast<int>(dispCol + 1));
}

std::string CTextEditView::TypeText(int lineEndType, int encoding) {
    UINT endId = lineEndType == FxLineEndUnix  ? IDS_PANE_UNIX
                 : lineEndType == FxLineEndMac ? IDS_PANE_MAC
                                               : IDS_PANE_DOS;
    UINT encId = encoding == FxEncUtf8      ? IDS_PANE_UTF8
                 : encoding == FxEncUtf16Le ? IDS_PANE_UTF16LE
                 : encoding == FxEncUtf16Be ? IDS_PANE_UTF16BE
                                            : IDS_PANE_ANSI;
    return AfxFormat(AfxLoadString(IDS_PANE_TYPE).c_str(), AfxLoadString(endId).c_str(),
                     AfxLoadString(encId).c_str());
}

unsigned CTextEditView::CharCodeAt(const char* text, int32_t len, int32_t col) {
    if (!text || col < 0 || col >= len)
        return 65535;
    const unsigned char lead = static_cast<unsigned char>(text[col]);
    if (FxCharLen(text, static_cast<size_t>(col), static_cast<size_t>(len)) == 2)
        return lead + 256u * static_cast<unsigned char>(text[col + 1]);
    return lead;
}

void CTextEditView::OnUpdatePosition(CCmdUI* cmdUI) {
    cmdUI->SetText(PositionText(LogicalCaret().line, m_caretDispCol).c_str());
    cmdUI->Enable(true);
}

std::string CTextEditView::SizePaneText(bool selection, FxSize bytes) {
    return FxFormatCount(AfxLoadString(selection ? IDS_PANE_SELECTION : IDS_PANE_SIZE), bytes);
}

void CTextEditView::OnUpdateSize(CCmdUI* cmdUI) {
    const bool selection = m_doc && HasSelection();
    const std::string text =
        SizePaneText(selection, !m_doc      ? 0
                                : selection ? SelectionLength(m_doc->LineEndType(), false)
                                            : m_doc->DocumentSize());
    cmdUI->SetText(text.c_str());
    cmdUI->Enable(true);
}

void CTextEditView::OnUpdateReadOnly(CCmdUI* cmdUI) {
    cmdUI->SetText(AfxLoadString(IDS_PANE_READONLY).c_str());
    cmdUI->Enable(m_doc && m_doc->IsReadOnly());
}

void CTextEditView::OnUpdateOverwrite(CCmdUI* cmdUI) {
    cmdUI->SetText(AfxLoadString(IDS_PANE_OVERWRITE).c_str());
    cmdUI->Enable(IsOverwrite());
}

void CTextEditView::OnUpdateType(CCmdUI* cmdUI) {
    cmdUI->SetText(m_doc ? TypeText(m_doc->LineEndType(), m_doc->Encoding()).c_str() : "");
    cmdUI->Enable(true);
}

void CTextEditView::OnUpdateChar(CCmdUI* cmdUI) {
    unsigned code = 65535;
    if (m_doc && m_caret.line >= 0 && m_caret.line < m_doc->RecordCount()) {
        const FxLine& piece = m_doc->Record(m_caret.line);
        code = CharCodeAt(piece.data, piece.len, m_caret.col);
    }
    cmdUI->SetText(
        AfxFormat(AfxLoadString(IDS_PANE_CHAR).c_str(), static_cast<int>(code), code).c_str());
    cmdUI->Enable(true);
}

// --- Commands ----------------------------------------------------------------------------------

// The Del key arrives as this command through the accelerator table: it does what the key
// does in the view.
void CTextEditView::OnEditClear() {
    OnKeyDelete(false);
}

void CTextEditView::OnUpdateEditClear(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->DocumentSize() > 0);
}

void CTextEditView::OnFileReload() {
    if (CTextEditDoc* doc = GetTextDoc())
        doc->OnReloadCommand();
}

void CTextEditView::OnUpdateFileReload(CCmdUI* cmdUI) {
    CTextEditDoc* doc = GetTextDoc();
    cmdUI->Enable(doc && !doc->GetPathName().empty());
}
