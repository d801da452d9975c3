// CFxEditView: creation, the message map, layout, pixel and column conversions and the
// refresh after changes. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "framework/Document.h"
#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/GdiObject.h"
#include "framework/MemoryException.h"
#include "framework/ResourceException.h"
#include "textdoc/Dbcs.h"
#include "textview/FileTypeInfo.h"
#include "textview/ViewDC.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <new>

IMPLEMENT_DYNCREATE(CFxEditView, CView)

BEGIN_MESSAGE_MAP(CFxEditView, CView)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_MESSAGE(WM_IME_COMPOSITION, OnImeComposition)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_WM_SETCURSOR()
ON_WM_TIMER()
ON_MESSAGE(WM_FXDPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

namespace {

// The built-in "Default" file type, for documents that have none.
const FileTypeInfo& DefaultFileType() {
    static FileTypeInfo* type = new FileTypeInfo(MakeDefaultFileType()); // lives to the end
    return *type;
}

int DecimalDigits(int32_t n) {
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

} // namespace

ColumnDragData& ColumnDragData::Shared() {
    static ColumnDragData data;
    return data;
}

CFxEditView::CFxEditView() : m_type(&DefaultFileType()), m_fm(ViewFontMetrics::Shared()) {}

CFxEditView::~CFxEditView() {
    Register(false);
    RevokeDropTarget();
    if (m_doc) {
        IFxDocView* first = m_doc->FirstView();
        IFxDocView* second = m_doc->SecondView();
        if (first == this || second == this)
            m_doc->SetAttachedViews(first == this ? (second == this ? nullptr : second) : first,
                                    nullptr);
    }
}

void CFxEditView::SetFileType(const FileTypeInfo* type) {
    m_type = type ? type : &DefaultFileType();
}

int CFxEditView::TabSize() const {
    int t = m_type->tabSize;
    return t < 1 || t > 64 ? 8 : t;
}

void CFxEditView::AttachViews(CFxEditDoc& doc, const std::vector<CView*>& views) {
    CFxEditView* found[2] = {nullptr, nullptr};
    int n = 0;
    for (CView* v : views) {
        if (n == 2)
            break;
        if (CFxEditView* ev = DynamicDowncast<CFxEditView>(v))
            found[n++] = ev;
    }
    doc.SetAttachedViews(found[0], found[1]);
}

CFxEditView* CFxEditView::OtherView() const {
    if (!m_doc || m_doc->RecordCount() == 0)
        return nullptr;
    IFxDocView* other = m_doc->FirstView() == this ? m_doc->SecondView() : m_doc->FirstView();
    if (other == this)
        return nullptr;
    return dynamic_cast<CFxEditView*>(other);
}

bool CFxEditView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_IBEAM), nullptr);
    cs.style |= WS_VSCROLL | WS_HSCROLL;
    return CView::PreCreateWindow(cs);
}

int CFxEditView::OnCreate(LPCREATESTRUCTA cs) {
    if (CView::OnCreate(cs) == -1)
        return -1;
    if (!m_doc || m_doc->RecordCount() == 0)
        m_doc = dynamic_cast<CFxEditDoc*>(GetDocument());
    // A view opened on a monitor of another density than the views so far measured for (a
    // window that started there): the metrics are made again and the other views follow.
    const UINT dpi = FxDpiOf(m_hWnd), old = m_fm.dpi;
    if (!m_fm.measured || dpi != old) {
        m_fm.SetDpi(dpi);
        if (m_fm.measured && old)
            for (CFxEditView* v : std::vector<CFxEditView*>(LiveViews()))
                if (v->m_hWnd)
                    ::SendMessageA(v->m_hWnd, WM_FXDPICHANGED, dpi, old);
    }
    RegisterDropTarget();
    Register(true);
    return 0;
}

void CFxEditView::OnDestroy() {
    if (m_vbarStale || m_hbarStale || m_caretHiddenForScroll)
        KillTimer(kScrollBarTimer);
    m_vbarStale = m_hbarStale = m_caretHiddenForScroll = false;
    Register(false);
    RevokeDropTarget();
    if (m_capture)
        ReleaseCapture();
    CView::OnDestroy();
}

// --- Layout -------------------------------------------------------------------------------

void CFxEditView::LayoutView() {
    ViewLayout& l = m_layout;
    GetClientRect(&l.client);
    const bool ruler = m_doc && m_doc->m_showRuler;
    const bool numbers = m_doc && m_doc->m_showLineNumbers;
    l.ruler = {0, 0, l.client.right, ruler ? m_fm.rulerHeight : m_fm.Px(3)};
    l.margin = ruler ? std::max(m_fm.Px(5), m_fm.aveWidth / 2) : m_fm.Px(5);
    int numberWidth = 0;
    if (numbers) {
        l.margin = std::max(l.margin, m_fm.Px(m_fm.gutterGap));
        numberWidth = DecimalDigits(m_doc->LogicalLineCount()) * m_fm.digitWidth + m_fm.Px(5);
        numberWidth = std::max(numberWidth, m_fm.Px(20));
    }
    l.gutter = {0, l.ruler.bottom, l.margin + numberWidth, l.client.bottom};
    // A window narrower than its gutter has an empty text area, never one of negative width.
    l.text = {l.gutter.right, l.ruler.bottom, std::max(l.client.right, l.gutter.right),
              l.client.bottom};
    l.visibleLines = std::max(0, static_cast<int>((l.text.bottom - l.text.top) / m_fm.linePitch));
    if (m_doc) {
        m_doc->m_viewInts[0] = l.ruler.bottom - l.ruler.top;
        m_doc->m_viewInts[1] = l.margin;
    }
}

int CFxEditView::DocXFromWindow(int x) const {
    return std::max(0, x + m_hscroll * m_fm.aveWidth - static_cast<int>(m_layout.text.left));
}

int CFxEditView::DocYFromWindow(int y) const {
    return std::max(0, y + m_top * m_fm.linePitch - static_cast<int>(m_layout.text.top));
}

int CFxEditView::WindowXFromDoc(int x) const {
    return x - m_hscroll * m_fm.aveWidth + m_layout.text.left;
}

int CFxEditView::WindowYFromRecord(int32_t rec) const {
    return m_layout.text.top + (rec - m_top) * m_fm.linePitch;
}

int32_t CFxEditView::LineFromY(int docY) const {
    int32_t rec = std::max(0, docY) / m_fm.linePitch;
    return m_doc ? std::min(rec, m_doc->RecordCount() - 1) : 0;
}

int CFxEditView::HitTest(POINT pt) const {
    if (PtInRect(&m_layout.text, pt))
        return HT_TEXT;
    if (PtInRect(&m_layout.gutter, pt))
        return HT_GUTTER;
    if (PtInRect(&m_layout.ruler, pt))
        return HT_RULER;
    return HT_NONE;
}

TextMeasure CFxEditView::MakeMeasure(HDC dc) const {
    TextMeasure m;
    m.dc = dc;
    m.spaceWidth = m_fm.spaceWidth;
    m.tabGlyphWidth = m_fm.tabGlyphWidth;
    m.dbcsWidth = m_fm.dbcsWidth;
    m.tabSize = TabSize();
    if (dc && m_fm.widths.Usable())
        m.widths = &m_fm.widths;
    return m;
}

int32_t CFxEditView::PieceColumnToX(FxTextPos& pos) {
    const FxLine& r = m_doc->Record(m_doc->ClampPiece(pos.line));
    int32_t col = std::max(0, std::min(pos.col, r.len));
    // Snap forward to a character boundary.
    int32_t i = 0;
    while (i < col)
        i += FxCharLen(r.data, static_cast<size_t>(i), static_cast<size_t>(r.len));
    pos.col = std::min(i, r.len);
    if (pos.col == 0 || !r.data)
        return 0;
    CViewDC dc(m_hWnd, m_fm.Font());
    return MakeMeasure(dc).Width(r.data, 0, pos.col, r.dispCol);
}

int32_t CFxEditView::XToPieceColumn(int32_t rec, int& x) {
    const FxLine& r = m_doc->Record(m_doc->ClampPiece(rec));
    if (x <= 0 || r.len == 0) {
        x = 0;
        return 0;
    }
    CViewDC dc(m_hWnd, m_fm.Font());
    int32_t col = NearestBoundary(MakeMeasure(dc), r.data, r.len, r.dispCol, x);
    return std::min(col, r.len);
}

void CFxEditView::InvalidateLines(int32_t a, int32_t b) {
    if (!m_hWnd || !m_doc)
        return;
    if (a > b)
        std::swap(a, b);
    const int32_t lastVisible = m_top + m_layout.visibleLines; // the partial line included
    if (b < m_top || a > lastVisible)
        return;
    a = std::max(a, m_top);
    b = std::min(b, lastVisible);
    RECT r = {0, WindowYFromRecord(a), m_layout.client.right, WindowYFromRecord(b + 1)};
    r.top = std::max(r.top, m_layout.text.top);
    InvalidateRect(m_hWnd, &r, FALSE);
}

// --- Refresh after changes ------------------------------------------------------------------

void CFxEditView::UpdateViews(int kind, int32_t first, int32_t last) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    if (kind == RefreshInsert || kind == RefreshLineCount) {
        // The states of records through `first` stay current; any change below repaints all.
        m_doc->m_syntaxMark = std::min(m_doc->m_syntaxMark, first - 1);
        m_doc->m_prevSyntaxMark = first + 1;
    } else if (kind != RefreshLines && kind != RefreshAll) {
        m_doc->m_syntaxMark = -1;
        m_doc->m_prevSyntaxMark = -1;
    }
    CFxEditView* views[2] = {this, OtherView()};
    for (CFxEditView* v : views) {
        if (!v || !v->m_hWnd)
            continue;
        const int32_t count = m_doc->RecordCount();
        switch (kind) {
        case RefreshLines:
            v->InvalidateLines(first, last < 0 ? count - 1 : last);
            break;
        case RefreshInsert:
            v->ClampCaret();
            v->InvalidateLines(first, last < 0 ? count - 1 : last);
            break;
        case RefreshLineCount: {
            const LONG oldLeft = v->m_layout.text.left;
            v->LayoutView();
            v->m_top = std::min(v->m_top, count - 1);
            v->ClampCaret();
            v->UpdateScrollBars(SB_VERT);
            if (v->m_layout.text.left != oldLeft) {
                v->Invalidate(false);
            } else {
                RECT r = v->m_layout.client;
                r.top = std::max(static_cast<int>(v->m_layout.text.top),
                                 v->WindowYFromRecord(std::max(first, v->m_top)));
                InvalidateRect(v->m_hWnd, &r, FALSE);
            }
            break;
        }
        default:
            if (kind != RefreshAll)
                v->LayoutView();
            v->m_top = std::min(v->m_top, count - 1);
            v->ClampCaret();
            v->UpdateCaretX();
            v->UpdateScrollBars(SB_BOTH);
            v->Invalidate(false);
            v->PlaceCaret();
            break;
        }
    }
}

void CFxEditView::OnTextEdited(const FxTextPos& caret, int32_t firstRecord, bool fromLineDown) {
    m_caret = caret;
    ClampCaret();
    UpdateCaretX();
    m_stickyX = m_caretX;
    if (fromLineDown)
        UpdateViews(RefreshLineCount, firstRecord, -1);
    else
        UpdateViews(RefreshInsert, firstRecord,
                    m_doc->HeadPieceOf(firstRecord) + m_doc->GetPieceCount(firstRecord) - 1);
    EnsureVisible(m_caret.line, m_caretX);
    PlaceCaret();
}

void CFxEditView::OnLineEndTypeChanged() {
    if (HasSelection())
        m_selLength = SelectionLength(m_doc->LineEndType(), true);
}

void CFxEditView::OnUpdate(CView*, LPARAM, CObject*) {
    UpdateViews(RefreshAll, 0, -1);
}

void CFxEditView::OnInitialUpdate() {
    m_selFirst = m_selLast = -1;
    m_selKind = SEL_STREAM;
    m_caret = FxTextPos(0, 0);
    m_top = 0;
    m_hscroll = 0;
    m_caretX = m_stickyX = 0;
    LayoutView();
    if (m_doc && IsWrappingView() && m_doc->WrapMode() != 0) {
        // Apply the document's mode from scratch: its records may not be split yet.
        const int mode = m_doc->WrapMode(), width = m_doc->WrapColumn();
        m_doc->UnwrapAllLines();
        m_doc->SetWrap(0, 0);
        SetWrapMode(mode, width);
    }
    UpdateScrollBars(SB_BOTH);
    SetScrollPos(m_hWnd, SB_VERT, 0, TRUE);
    SetScrollPos(m_hWnd, SB_HORZ, 0, TRUE);
    Invalidate(false);
    PlaceCaret();
}

// --- Size and focus -------------------------------------------------------------------------

void CFxEditView::OnSize(UINT type, int cx, int cy) {
    CView::OnSize(type, cx, cy);
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    LayoutView();
    const bool empty = m_doc->RecordCount() <= 1 && m_doc->Record(0).len == 0;
    if (!empty && (m_doc->WrapMode() == 1 || m_rewrapPending) && IsWrappingView()) {
        m_rewrapPending = true;
        CFrameWnd* frame = GetParentFrame();
        CFrameWnd* top = frame ? frame->GetTopLevelFrame() : nullptr;
        const bool active = !frame || !top || top->GetActiveFrame() == frame;
        if (active)
            SetWrapMode(1, 0);
    }
    if (m_doc->RecordCount() < m_layout.visibleLines && m_top != 0) {
        m_top = 0;
        Invalidate(false);
    }
    UpdateScrollBars(SB_BOTH);
    PlaceCaret();
}

void CFxEditView::OnSetFocus(HWND oldWnd) {
    CView::OnSetFocus(oldWnd);
    m_hasFocus = true;
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    if (m_rewrapPending)
        SetWrapMode(1, 0);
    if (CFxEditView* other = OtherView())
        if (other->HasSelection())
            other->ClearSelection();
    ClampCaret();
    m_caretHiddenForScroll = false; // a new caret starts shown
    CreateCaret(m_hWnd, nullptr, m_fm.caretWidth, m_fm.textHeight);
    UpdateCaretX();
    PlaceCaret();
    ShowCaret(m_hWnd);
}

void CFxEditView::OnKillFocus(HWND) {
    m_hasFocus = false;
    m_caretHiddenForScroll = false; // the caret goes with the focus
    if (!m_dropCaret) {
        HideCaret(m_hWnd);
        DestroyCaret();
    }
}

bool CFxEditView::OnEraseBkgnd(HDC) {
    return true; // every pixel is painted by the line painter
}

// --- Errors ---------------------------------------------------------------------------------

void CFxEditView::ReportException() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    try {
        throw;
    } catch (const CMemoryException&) {
        m_doc->OnDocEvent(FxEvOutOfMemory, 0);
    } catch (const std::bad_alloc&) {
        m_doc->OnDocEvent(FxEvOutOfMemory, 0);
    } catch (const CResourceException&) {
        m_doc->OnDocEvent(FxEvOutOfResources, 0);
    } catch (...) {
        m_doc->OnDocEvent(FxEvInternalError, 0);
    }
}

bool CFxEditView::Undo() {
    FxTextPos caret;
    ClearSelection();
    if (!m_doc->Undo(&caret, this))
        return false;
    return true;
}

bool CFxEditView::Redo() {
    FxTextPos caret;
    ClearSelection();
    return m_doc->Redo(&caret, this);
}
