// CFxEditView: the live views of the process, and what a change of the display settings or of
// a document's file type does to them. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textview/FileTypeInfo.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>

std::vector<CFxEditView*>& CFxEditView::Registry() {
    static std::vector<CFxEditView*>* views = new std::vector<CFxEditView*>; // outlives views
    return *views;
}

const std::vector<CFxEditView*>& CFxEditView::LiveViews() {
    return Registry();
}

void CFxEditView::Register(bool live) {
    std::vector<CFxEditView*>& views = Registry();
    auto it = std::find(views.begin(), views.end(), this);
    if (live && it == views.end())
        views.push_back(this);
    else if (!live && it != views.end())
        views.erase(it);
}

void CFxEditView::RecreateCaret() {
    if (!m_hWnd || !m_hasFocus || m_dropCaret)
        return;
    m_caretHiddenForScroll = false;
    DestroyCaret();
    CreateCaret(m_hWnd, nullptr, m_fm.caretWidth, m_fm.textHeight);
    PlaceCaret();
    ShowCaret(m_hWnd);
}

void CFxEditView::RewrapAtWindowEdge() {
    LayoutView();
    // The new metrics give new pieces even at the same width. A text area too narrow to wrap
    // keeps the document as it is, and the forced pass waits with the pending re-wrap.
    m_rewrapForced = true;
    SetWrapMode(1, 0);
}

void CFxEditView::ApplyDisplaySettings(HFONT font, int lineSpacing, int gutterGap,
                                       bool fontRecreated) {
    ViewFontMetrics& fm = ViewFontMetrics::Shared();
    const bool newFont = fontRecreated || font != fm.font || !fm.measured;
    const bool newSpacing = std::max(0, lineSpacing) != fm.spacingSetting;
    const bool newGap = gutterGap != fm.gutterGap;
    if (!newFont && !newSpacing && !newGap)
        return;
    if (newFont)
        fm.SetFont(font);
    if (newSpacing)
        fm.SetLineSpacing(lineSpacing);
    if (newGap)
        fm.SetGutterGap(gutterGap);
    // Every open document once, through its first view.
    std::vector<CFxEditDoc*> done;
    const std::vector<CFxEditView*> views = Registry(); // a re-wrap may not change the list
    for (CFxEditView* v : views) {
        CFxEditDoc* doc = v->m_doc;
        if (!doc || doc->RecordCount() == 0 ||
            std::find(done.begin(), done.end(), doc) != done.end())
            continue;
        done.push_back(doc);
        CFxEditView* first = dynamic_cast<CFxEditView*>(doc->FirstView());
        if (!first || !first->m_hWnd)
            first = v;
        if ((newFont || newGap) && doc->WrapMode() == 1 && first->IsWrappingView())
            first->RewrapAtWindowEdge();
        else
            first->UpdateViews(RefreshRelayout, 0, -1);
    }
    if (newFont)
        for (CFxEditView* v : views)
            v->RecreateCaret(); // the caret is as high as the text
}

LRESULT CFxEditView::OnDpiChanged(WPARAM newDpi, LPARAM) {
    const UINT dpi = static_cast<UINT>(newDpi);
    if (!dpi)
        return 0;
    // The metrics are shared: the first view told makes the font again for the new density.
    const bool remade = m_fm.SetDpi(dpi);
    if (!m_doc || m_doc->RecordCount() == 0) {
        if (remade)
            RecreateCaret();
        return 0;
    }
    // The first visible line and the caret stay where they are in the text.
    const FxTextPos top = m_doc->PieceToLogical(FxTextPos(0, m_top));
    if (m_doc->WrapMode() == 1 && IsWrappingView()) {
        RewrapAtWindowEdge(); // keeps the carets and selections of both views
    } else {
        LayoutView();
        UpdateViews(RefreshRelayout, 0, -1);
    }
    const int32_t newTop = m_doc->ClampPiece(m_doc->LogicalToPiecePos(top).line);
    if (newTop != m_top) {
        m_top = newTop;
        SetScrollPos(m_hWnd, SB_VERT, m_top, TRUE);
        Invalidate(false);
    }
    UpdateCaretX();
    m_stickyX = m_caretX;
    RecreateCaret(); // the caret is as wide and as high as the new density makes it
    PlaceCaret();
    return 0;
}

void CFxEditView::ApplyFileType(const FileTypeInfo* type) {
    CFxEditView* views[2] = {this, OtherView()};
    for (CFxEditView* v : views)
        if (v)
            v->SetFileType(type);
    if (!m_doc)
        return;
    const FileTypeInfo& t = FileType();
    m_doc->m_showRuler = t.ruler != 0;
    m_doc->m_showLineNumbers = t.lineNumber != 0;
    m_doc->m_showWhitespace = t.whitespace != 0;
    m_doc->m_showLineBreaks = t.lineBreak != 0;
    if (m_doc->RecordCount() == 0)
        return; // still loading: the first update lays it out
    CFxEditView* first = IsWrappingView() ? this : OtherView();
    if (!first || !first->IsWrappingView())
        first = this;
    first->UpdateViews(RefreshRelayout, 0, -1);
    if (m_doc->IsWrapped()) {
        // Tab size and delimiters may have changed: the pieces are made again even when the
        // style and width stay.
        const int style = t.wrapStyle == 2 ? 2 : 1;
        if (style == 1) {
            first->RewrapAtWindowEdge();
        } else {
            m_doc->SetWrap(m_doc->WrapMode(), 0);
            first->SetWrapMode(2, std::max(1, std::min(t.wrapWidth, 8192)));
        }
    }
}
