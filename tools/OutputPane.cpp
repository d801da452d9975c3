// OutputPane. Layer: tools/.
#include "tools/OutputPane.h"

#include "common/LeadBytes.h"
#include "common/OutputChannels.h"
#include "framework/CmdUI.h"
#include "framework/GdiObject.h"
#include "framework/OleDataSource.h"
#include "framework/ResourceText.h"
#include "tools/OutputHost.h"
#include "tools/OutputIds.h"

#include <algorithm>
#include <climits>
#include <cstring>

IMPLEMENT_DYNAMIC(OutputPane, CWnd)

BEGIN_MESSAGE_MAP(OutputPane, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_WM_VSCROLL()
ON_MESSAGE(WM_HSCROLL, OnHScrollMessage)
ON_WM_CONTEXTMENU()
ON_WM_CAPTURECHANGED()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(OutputPane::kAppendMessage, OnAppendMessage)
ON_MESSAGE(OutputPane::kClearMessage, OnClearMessage)
ON_MESSAGE(OutputPane::kRefreshMessage, OnRefreshMessage)
ON_COMMAND(ID_OUTPUT_GOTO, OnGoTo)
ON_COMMAND(ID_OUTPUT_STOP, OnStop)
ON_COMMAND(ID_OUTPUT_COPY, OnCopy)
ON_COMMAND(ID_OUTPUT_CLEAR, OnClear)
ON_COMMAND(ID_OUTPUT_SELECT_ALL, OnSelectAll)
ON_COMMAND(ID_OUTPUT_TOGGLE_BOOKMARK, OnToggleBookmark)
ON_COMMAND(ID_OUTPUT_NEXT_BOOKMARK, OnNextBookmark)
ON_COMMAND(ID_OUTPUT_PREV_BOOKMARK, OnPrevBookmark)
ON_COMMAND(ID_OUTPUT_CLEAR_BOOKMARKS, OnClearBookmarks)
ON_COMMAND(ID_OUTPUT_LINE_NUMBERS, OnLineNumbers)
ON_COMMAND(ID_OUTPUT_WHITESPACE, OnWhitespace)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_GOTO, OnUpdateGoTo)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_STOP, OnUpdateStop)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_COPY, OnUpdateCopy)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_CLEAR, OnUpdateHasText)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_SELECT_ALL, OnUpdateHasText)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_TOGGLE_BOOKMARK, OnUpdateToggleBookmark)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_NEXT_BOOKMARK, OnUpdateHasBookmarks)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_PREV_BOOKMARK, OnUpdateHasBookmarks)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_CLEAR_BOOKMARKS, OnUpdateHasBookmarks)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_LINE_NUMBERS, OnUpdateLineNumbers)
ON_UPDATE_COMMAND_UI(ID_OUTPUT_WHITESPACE, OnUpdateWhitespace)
END_MESSAGE_MAP()

namespace {

// Owns a file handle opened for reading.
class ReadHandle {
public:
    explicit ReadHandle(const char* path)
        : m_handle(::CreateFileA(path, GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ReadHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// Whether the file starts with a UTF-8 or UTF-16 mark: its first line's unit columns count it.
bool FileStartsWithMark(const char* path) {
    ReadHandle file(path);
    if (file.Get() == INVALID_HANDLE_VALUE)
        return false;
    unsigned char head[3] = {0, 0, 0};
    DWORD got = 0;
    if (!::ReadFile(file.Get(), head, sizeof head, &got, nullptr))
        return false;
    if (got >= 2 && ((head[0] == 0xFF && head[1] == 0xFE) || (head[0] == 0xFE && head[1] == 0xFF)))
        return true;
    return got == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

int DecimalDigits(int32_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// A drag of pane text: the selection as plain text, copied.
HGLOBAL TextToGlobal(const std::string& text) {
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem)
        return nullptr;
    if (char* p = static_cast<char*>(::GlobalLock(mem))) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        ::GlobalUnlock(mem);
    }
    return mem;
}

} // namespace

OutputPane::OutputPane(int key) : m_key(key) {}

OutputPane::~OutputPane() = default;

bool OutputPane::Create(CWnd* parent, const RECT& rc) {
    const char* cls = RegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_IBEAM));
    return CreateEx(0, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, rc, parent,
                    static_cast<UINT>(m_key));
}

int OutputPane::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    m_font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    Measure();
    UpdateScrollBars();
    return 0;
}

void OutputPane::OnDestroy() {
    if (m_hasCaret)
        ::DestroyCaret();
    m_hasCaret = false;
    CWnd::OnDestroy();
}

void OutputPane::Measure() {
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.Get(), m_font);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc.Get(), &tm);
    m_lineHeight = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    m_charWidth = std::max<int>(1, tm.tmAveCharWidth);
    m_digitWidth = 1;
    for (char digit = '0'; digit <= '9'; ++digit) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc.Get(), &digit, 1, &size);
        m_digitWidth = std::max<int>(m_digitWidth, size.cx);
    }
}

// --- Geometry ---------------------------------------------------------------------------------

int OutputPane::GetGutterWidth() const {
    if (!m_lineNumbers)
        return kMargin;
    return std::max(5 + DecimalDigits(m_lines.Count()) * m_digitWidth, 20) + 5;
}

int OutputPane::TextWidth() const {
    RECT rc = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rc);
    return std::max<int>(0, rc.right - TextLeft());
}

int OutputPane::VisibleLines() const {
    RECT rc = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rc);
    return std::max<int>(1, rc.bottom / m_lineHeight);
}

void OutputPane::LayOut(HDC dc, int32_t line, LineLayout* out, bool measure) const {
    const OutputLines::Line& rec = m_lines.At(line);
    const size_t length = static_cast<size_t>(rec.length);
    out->text.clear();
    out->wideOfByte.assign(length + 1, 0);
    // Expand tabs (a double-byte character takes two display columns) and convert each
    // character to its wide character, so that every byte column has one wide index.
    std::string expanded;
    expanded.reserve(length + 16);
    std::vector<int> startOfChar; // wide index of each character, in order
    int dispCol = 0;
    std::vector<size_t> charBytes;
    for (size_t i = 0; i < length;) {
        const int n = FxCharLen(rec.text, i, length);
        if (rec.text[i] == '\t') {
            const int spaces = kTabSize - dispCol % kTabSize;
            expanded.append(static_cast<size_t>(spaces), ' ');
            charBytes.push_back(static_cast<size_t>(spaces) | 0x80000000u);
            dispCol += spaces;
        } else {
            expanded.append(rec.text + i, static_cast<size_t>(n));
            charBytes.push_back(static_cast<size_t>(n));
            dispCol += n;
        }
        i += static_cast<size_t>(n);
    }
    std::wstring wide;
    if (!expanded.empty()) {
        const int wlen = ::MultiByteToWideChar(CP_ACP, 0, expanded.data(),
                                               static_cast<int>(expanded.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(wlen, 0)));
        if (wlen > 0)
            ::MultiByteToWideChar(CP_ACP, 0, expanded.data(), static_cast<int>(expanded.size()),
                                  &wide[0], wlen);
    }
    // Each character of the expanded text should give one wide character; when the system
    // sees it otherwise (a byte it cannot convert), convert character by character.
    size_t wideCount = 0;
    for (size_t c : charBytes)
        wideCount += (c & 0x80000000u) ? (c & 0x7FFFFFFFu) : 1;
    if (wide.size() != wideCount) {
        wide.clear();
        size_t at = 0;
        for (size_t c : charBytes) {
            if (c & 0x80000000u) {
                wide.append(c & 0x7FFFFFFFu, L' ');
                at += c & 0x7FFFFFFFu;
                continue;
            }
            wchar_t w = L'?';
            if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, expanded.data() + at,
                                      static_cast<int>(c), &w, 1) != 1)
                w = L'?';
            wide.push_back(w);
            at += c;
        }
    }
    // Byte column -> wide index.
    size_t at = 0, w = 0;
    for (size_t c : charBytes) {
        const bool tab = (c & 0x80000000u) != 0;
        const size_t bytes = tab ? 1 : c;
        for (size_t k = 0; k < bytes; ++k)
            out->wideOfByte[at + k] = static_cast<int>(w);
        at += bytes;
        w += tab ? (c & 0x7FFFFFFFu) : 1;
    }
    out->wideOfByte[length] = static_cast<int>(w);
    out->text = std::move(wide);
    out->edge.assign(out->text.size() + 1, 0);
    if (measure) {
        int x = 0;
        for (size_t k = 0; k < out->text.size(); ++k) {
            x += CharWidth(dc, out->text[k]);
            out->edge[k + 1] = x;
        }
    }
}

int OutputPane::CharWidth(HDC dc, wchar_t c) const {
    // The widths of the pane's one font, asked once per character.
    if (m_widths.empty())
        m_widths.assign(65536, -1);
    int16_t& cached = m_widths[static_cast<unsigned short>(c)];
    if (cached < 0) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(dc, &c, 1, &size);
        cached = static_cast<int16_t>(std::clamp<LONG>(size.cx, 0, 32767));
    }
    return cached;
}

POINT OutputPane::PosToPoint(Pos pos) {
    pos = ValidPos(pos);
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.Get(), m_font);
    LineLayout layout;
    LayOut(dc.Get(), pos.line, &layout, true);
    const int x = layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(pos.col)])];
    return POINT{TextLeft() + x - m_hscroll, (pos.line - m_top) * m_lineHeight};
}

OutputPane::Pos OutputPane::PointToPos(POINT pt) {
    Pos pos;
    int32_t line =
        m_top + (pt.y >= 0 ? pt.y / m_lineHeight : (pt.y - m_lineHeight + 1) / m_lineHeight);
    pos.line = std::clamp<int32_t>(line, 0, m_lines.Count() - 1);
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.Get(), m_font);
    LineLayout layout;
    LayOut(dc.Get(), pos.line, &layout, true);
    const int x = pt.x - TextLeft() + m_hscroll;
    const OutputLines::Line& rec = m_lines.At(pos.line);
    const size_t length = static_cast<size_t>(rec.length);
    // The character whose middle lies right of x starts at the answer.
    pos.col = rec.length;
    for (size_t i = 0; i < length;) {
        const int n = FxCharLen(rec.text, i, length);
        const int left = layout.edge[static_cast<size_t>(layout.wideOfByte[i])];
        const int right =
            layout.edge[static_cast<size_t>(layout.wideOfByte[i + static_cast<size_t>(n)])];
        if (x < (left + right) / 2) {
            pos.col = static_cast<int32_t>(i);
            break;
        }
        i += static_cast<size_t>(n);
    }
    return pos;
}

// --- Scrolling --------------------------------------------------------------------------------

void OutputPane::UpdateScrollBars() {
    if (!m_hWnd)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = m_lines.Count() - 1;
    si.nPage = static_cast<UINT>(VisibleLines());
    si.nPos = m_top;
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    if (m_hbar) {
        const int width = std::max(m_widestLine, (m_lines.MaxLength() + kTabSize) * m_charWidth);
        SCROLLINFO hi = {};
        hi.cbSize = sizeof hi;
        hi.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        hi.nMin = 0;
        hi.nMax = width;
        hi.nPage = static_cast<UINT>(std::max(1, TextWidth()));
        hi.nPos = m_hscroll;
        ::SetScrollInfo(m_hbar, SB_CTL, &hi, TRUE);
    }
}

void OutputPane::SetHScrollBar(HWND bar) {
    m_hbar = bar;
    UpdateScrollBars();
}

void OutputPane::ScrollTo(int32_t top) {
    const int32_t maxTop = std::max<int32_t>(0, m_lines.Count() - VisibleLines());
    top = std::clamp<int32_t>(top, 0, maxTop);
    if (top == m_top)
        return;
    const int32_t delta = m_top - top;
    m_top = top;
    if (std::abs(delta) < VisibleLines())
        ::ScrollWindowEx(m_hWnd, 0, delta * m_lineHeight, nullptr, nullptr, nullptr, nullptr,
                         SW_INVALIDATE);
    else
        Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

void OutputPane::SetHScroll(int x) {
    x = std::max(0, x);
    if (x == m_hscroll)
        return;
    m_hscroll = x;
    Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

void OutputPane::ScrollCaretIntoView() {
    const int visible = VisibleLines();
    if (m_caret.line < m_top)
        ScrollTo(m_caret.line);
    else if (m_caret.line >= m_top + visible)
        ScrollTo(m_caret.line - visible + 1);
    const POINT pt = PosToPoint(m_caret);
    const int width = TextWidth();
    const int x = pt.x - TextLeft() + m_hscroll;
    if (x < m_hscroll)
        SetHScroll(std::max(0, x - width / 4));
    else if (width > 0 && x >= m_hscroll + width - 2)
        SetHScroll(x - width * 3 / 4);
}

void OutputPane::OnVScroll(UINT code, UINT, HWND) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_VERT, &si);
    const int32_t page = std::max(1, VisibleLines() - 1);
    switch (code) {
    case SB_LINEUP:
        ScrollTo(m_top - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(m_top + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(m_top - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(m_top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollTo(si.nTrackPos);
        break;
    case SB_TOP:
        ScrollTo(0);
        break;
    case SB_BOTTOM:
        ScrollTo(m_lines.Count());
        break;
    default:
        break;
    }
}

LRESULT OutputPane::OnHScrollMessage(WPARAM wParam, LPARAM lParam) {
    HWND bar = reinterpret_cast<HWND>(lParam);
    if (!bar)
        return 0;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(bar, SB_CTL, &si);
    const int page = std::max(m_charWidth, TextWidth() - m_charWidth);
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        SetHScroll(m_hscroll - m_charWidth * 4);
        break;
    case SB_LINERIGHT:
        SetHScroll(m_hscroll + m_charWidth * 4);
        break;
    case SB_PAGELEFT:
        SetHScroll(m_hscroll - page);
        break;
    case SB_PAGERIGHT:
        SetHScroll(m_hscroll + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetHScroll(si.nTrackPos);
        break;
    case SB_LEFT:
        SetHScroll(0);
        break;
    default:
        break;
    }
    return 0;
}

bool OutputPane::OnMouseWheel(UINT, short delta, POINT) {
    UINT lines = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL)
        lines = static_cast<UINT>(std::max(1, VisibleLines() - 1));
    ScrollTo(m_top - delta * static_cast<int>(lines) / WHEEL_DELTA);
    return true;
}

void OutputPane::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    // Keep the last line at the bottom when the pane grows.
    ScrollTo(m_top);
    UpdateScrollBars();
    Invalidate(false);
}

// --- Text -------------------------------------------------------------------------------------

void OutputPane::Append(const char* text, size_t length) {
    const int oldDigits = DecimalDigits(m_lines.Count());
    const int32_t first = m_lines.Append(text, length);
    if (!m_hWnd)
        return;
    if (m_lineNumbers && DecimalDigits(m_lines.Count()) != oldDigits)
        Invalidate(false);
    else
        InvalidateLines(first, m_lines.Count() - 1);
    // The last line comes into view.
    const int32_t visible = VisibleLines();
    const int32_t last = m_lines.Count() - 1;
    if (last >= m_top + visible || last < m_top) {
        m_top = std::max<int32_t>(0, last - visible + 1);
        Invalidate(false);
    }
    // Text comes in bursts of pieces: the scroll bars and the caret follow once the burst is
    // over (a posted message runs after every sent one).
    if (!m_refreshPending)
        m_refreshPending = PostMessage(kRefreshMessage);
    if (!m_refreshPending)
        OnRefreshMessage(0, 0);
}

LRESULT OutputPane::OnRefreshMessage(WPARAM, LPARAM) {
    m_refreshPending = false;
    UpdateScrollBars();
    UpdateCaret();
    return 0;
}

LRESULT OutputPane::OnAppendMessage(WPARAM wParam, LPARAM lParam) {
    Append(reinterpret_cast<const char*>(lParam), static_cast<size_t>(wParam));
    return 0;
}

LRESULT OutputPane::OnClearMessage(WPARAM, LPARAM) {
    Clear();
    return 0;
}

void OutputPane::Clear() {
    m_lines.Clear();
    m_caret = Pos();
    m_anchor = Pos{0, -1};
    m_caretX = -1;
    m_top = 0;
    m_hscroll = 0;
    m_widestLine = 0;
    if (!m_hWnd)
        return;
    Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

std::string OutputPane::LineText(int32_t line) const {
    const OutputLines::Line& rec = m_lines.At(line);
    return rec.length ? std::string(rec.text, static_cast<size_t>(rec.length)) : std::string();
}

void OutputPane::InvalidateLines(int32_t first, int32_t last) {
    RECT rc;
    GetClientRect(&rc);
    const int32_t from = std::max(first, m_top);
    if (last < from)
        return;
    rc.top = (from - m_top) * m_lineHeight;
    if (last < m_top + VisibleLines() + 1)
        rc.bottom = std::min<LONG>(rc.bottom, (last - m_top + 1) * m_lineHeight);
    if (rc.top < rc.bottom)
        ::InvalidateRect(m_hWnd, &rc, FALSE);
}

// --- Caret and selection -----------------------------------------------------------------------

OutputPane::Pos OutputPane::ValidPos(Pos pos) const {
    pos.line = std::clamp<int32_t>(pos.line, 0, m_lines.Count() - 1);
    const OutputLines::Line& rec = m_lines.At(pos.line);
    pos.col = std::clamp<int32_t>(pos.col, 0, rec.length);
    // Never inside a double-byte character.
    int32_t col = 0;
    while (col < pos.col) {
        const int n =
            FxCharLen(rec.text, static_cast<size_t>(col), static_cast<size_t>(rec.length));
        if (col + n > pos.col)
            break;
        col += n;
    }
    pos.col = col;
    return pos;
}

void OutputPane::GetSelection(Pos* start, Pos* end) const {
    if (!HasSelection()) {
        *start = *end = m_caret;
        return;
    }
    *start = std::min(m_anchor, m_caret);
    *end = std::max(m_anchor, m_caret);
}

void OutputPane::MoveCaret(Pos pos, bool extend) {
    Pos oldStart, oldEnd;
    GetSelection(&oldStart, &oldEnd);
    const bool hadSelection = HasSelection();
    pos = ValidPos(pos);
    if (extend) {
        if (m_anchor.line < 0)
            m_anchor = m_caret;
    } else {
        m_anchor = Pos{0, -1};
    }
    const Pos oldCaret = m_caret;
    m_caret = pos;
    if (m_hWnd) {
        Pos newStart, newEnd;
        GetSelection(&newStart, &newEnd);
        if (hadSelection)
            InvalidateLines(oldStart.line, oldEnd.line);
        if (HasSelection())
            InvalidateLines(std::min(newStart.line, oldCaret.line),
                            std::max(newEnd.line, oldCaret.line));
        ScrollCaretIntoView();
        UpdateCaret();
    }
}

void OutputPane::ClearSelection() {
    if (!HasSelection()) {
        m_anchor = Pos{0, -1};
        return;
    }
    Pos start, end;
    GetSelection(&start, &end);
    m_anchor = Pos{0, -1};
    InvalidateLines(start.line, end.line);
}

void OutputPane::SelectAll() {
    const int32_t last = m_lines.Count() - 1;
    m_anchor = Pos{0, 0};
    m_caret = Pos{m_lines.At(last).length, last};
    m_caretX = -1;
    if (m_hWnd) {
        Invalidate(false);
        ScrollCaretIntoView();
        UpdateCaret();
    }
}

std::string OutputPane::GetSelectedText() const {
    if (!HasSelection())
        return std::string();
    Pos start, end;
    GetSelection(&start, &end);
    std::string text;
    for (int32_t line = start.line; line <= end.line; ++line) {
        const OutputLines::Line& rec = m_lines.At(line);
        const int32_t from = line == start.line ? start.col : 0;
        const int32_t to = line == end.line ? end.col : rec.length;
        if (to > from)
            text.append(rec.text + from, static_cast<size_t>(to - from));
        if (line != end.line)
            text += "\r\n";
    }
    return text;
}

bool OutputPane::CopySelection() {
    if (!HasSelection())
        return false;
    HGLOBAL mem = TextToGlobal(GetSelectedText());
    if (!mem)
        return false;
    if (!::OpenClipboard(m_hWnd)) {
        ::GlobalFree(mem);
        return false;
    }
    ::EmptyClipboard();
    const bool ok = ::SetClipboardData(CF_TEXT, mem) != nullptr;
    ::CloseClipboard();
    if (!ok)
        ::GlobalFree(mem);
    return ok;
}

void OutputPane::UpdateCaret() {
    if (!m_hasCaret || !m_hWnd)
        return;
    const POINT pt = PosToPoint(m_caret);
    ::SetCaretPos(pt.x, pt.y);
}

void OutputPane::OnSetFocus(HWND) {
    ::CreateCaret(m_hWnd, nullptr, 2, m_lineHeight);
    m_hasCaret = true;
    UpdateCaret();
    ::ShowCaret(m_hWnd);
}

void OutputPane::OnKillFocus(HWND) {
    if (m_hasCaret) {
        ::HideCaret(m_hWnd);
        ::DestroyCaret();
    }
    m_hasCaret = false;
}

int32_t OutputPane::StepLeft(int32_t line, int32_t col) const {
    const OutputLines::Line& rec = m_lines.At(line);
    int32_t at = 0, prev = 0;
    while (at < col) {
        prev = at;
        at += FxCharLen(rec.text, static_cast<size_t>(at), static_cast<size_t>(rec.length));
    }
    return prev;
}

int32_t OutputPane::StepRight(int32_t line, int32_t col) const {
    const OutputLines::Line& rec = m_lines.At(line);
    if (col >= rec.length)
        return rec.length;
    return col + FxCharLen(rec.text, static_cast<size_t>(col), static_cast<size_t>(rec.length));
}

int32_t OutputPane::FirstNonBlank(int32_t line) const {
    const OutputLines::Line& rec = m_lines.At(line);
    int32_t col = 0;
    while (col < rec.length && IsBlank(rec.text[col]))
        ++col;
    return col;
}

LRESULT OutputPane::OnGetDlgCode(WPARAM, LPARAM) {
    // The moving keys are the pane's own, ahead of any shortcut of the frame.
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void OutputPane::OnKeyDown(UINT key, UINT, UINT) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    // The clipboard keys copy and select the pane's text; the read-only pane takes the other
    // editing keys (cut, paste, undo, delete) and does nothing with them.
    if (ctrl && !shift && (key == 'C' || key == VK_INSERT)) {
        CopySelection();
        return;
    }
    if (ctrl && !shift && key == 'A') {
        SelectAll();
        return;
    }
    const int32_t last = m_lines.Count() - 1;
    const int32_t page = std::max(1, VisibleLines() - 1);
    Pos pos = m_caret;
    bool vertical = false;
    switch (key) {
    case VK_ESCAPE:
        ClearSelection();
        return;
    case VK_RETURN:
        GoTo();
        return;
    case VK_UP:
        if (ctrl) {
            ScrollTo(m_top - 1);
            return;
        }
        pos.line = std::max(0, pos.line - 1);
        vertical = true;
        break;
    case VK_DOWN:
        if (ctrl) {
            ScrollTo(m_top + 1);
            return;
        }
        pos.line = std::min(last, pos.line + 1);
        vertical = true;
        break;
    case VK_PRIOR:
        pos.line = std::max(0, pos.line - page);
        ScrollTo(m_top - page);
        vertical = true;
        break;
    case VK_NEXT:
        pos.line = std::min(last, pos.line + page);
        ScrollTo(m_top + page);
        vertical = true;
        break;
    case VK_LEFT:
        if (pos.col > 0)
            pos.col = StepLeft(pos.line, pos.col);
        else if (pos.line > 0)
            pos = Pos{m_lines.At(pos.line - 1).length, pos.line - 1};
        break;
    case VK_RIGHT:
        if (pos.col < m_lines.At(pos.line).length)
            pos.col = StepRight(pos.line, pos.col);
        else if (pos.line < last)
            pos = Pos{0, pos.line + 1};
        break;
    case VK_HOME:
        if (ctrl) {
            pos = Pos{0, 0};
        } else {
            const int32_t blank = FirstNonBlank(pos.line);
            pos.col = pos.col == blank ? 0 : blank;
        }
        break;
    case VK_END:
        if (ctrl)
            pos = Pos{m_lines.At(last).length, last};
        else
            pos.col = m_lines.At(pos.line).length;
        break;
    default:
        return;
    }
    if (vertical) {
        // Up and down keep the horizontal place the caret had when they started.
        if (m_caretX < 0)
            m_caretX = PosToPoint(m_caret).x + m_hscroll;
        const int32_t line = pos.line;
        pos = PointToPos(POINT{m_caretX - m_hscroll, (line - m_top) * m_lineHeight});
        pos.line = line;
        const int keepX = m_caretX;
        MoveCaret(pos, shift);
        m_caretX = keepX;
    } else {
        m_caretX = -1;
        MoveCaret(pos, shift);
    }
}

// --- Mouse ------------------------------------------------------------------------------------

void OutputPane::OnLButtonDown(UINT flags, POINT pt) {
    // The pane takes the focus; the document frames stay as they are.
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    const Pos pos = PointToPos(pt);
    m_caretX = -1;
    if (flags & MK_SHIFT) {
        MoveCaret(pos, true);
        return;
    }
    Pos start, end;
    GetSelection(&start, &end);
    if (HasSelection() && !(pos < start) && pos < end) {
        POINT screen = pt;
        ::ClientToScreen(m_hWnd, &screen);
        if (::DragDetect(m_hWnd, screen)) {
            DragSelection();
            return;
        }
        MoveCaret(pos, false);
        return;
    }
    MoveCaret(pos, false);
    m_selecting = true;
    ::SetCapture(m_hWnd);
}

void OutputPane::OnMouseMove(UINT, POINT pt) {
    if (!m_selecting)
        return;
    MoveCaret(PointToPos(pt), true);
}

void OutputPane::OnLButtonUp(UINT, POINT) {
    if (m_selecting) {
        m_selecting = false;
        ::ReleaseCapture();
    }
}

void OutputPane::OnCaptureChanged(HWND) {
    m_selecting = false;
}

void OutputPane::OnLButtonDblClk(UINT, POINT pt) {
    MoveCaret(PointToPos(pt), false);
    GoTo();
}

void OutputPane::DragSelection() {
    HGLOBAL mem = TextToGlobal(GetSelectedText());
    if (!mem)
        return;
    COleDataSource* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, mem);
    source->DoDragDrop(DROPEFFECT_COPY);
    source->InternalRelease();
}

void OutputPane::OnContextMenu(HWND, POINT pt) {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDM_OUTPUT_PANE));
    if (!menu)
        return;
    if (HMENU popup = ::GetSubMenu(menu, 0))
        AfxTrackPopupMenu(popup, pt, this);
    ::DestroyMenu(menu);
}

// --- Bookmarks, options, Go to ----------------------------------------------------------------

void OutputPane::ShowStatus(UINT id) {
    if (m_host)
        m_host->ShowOutputStatus(AfxLoadString(id).c_str());
}

void OutputPane::ToggleBookmark() {
    m_lines.SetBookmark(m_caret.line, !m_lines.IsBookmarked(m_caret.line));
    InvalidateLines(m_caret.line, m_caret.line);
}

bool OutputPane::NextBookmark() {
    int32_t line = m_lines.NextBookmark(m_caret.line);
    if (line < 0) {
        if (!m_lines.BookmarkCount())
            return false;
        ShowStatus(IDS_OUTPUT_WRAPPED_END);
        line = m_lines.NextBookmark(-1);
    }
    m_caretX = -1;
    MoveCaret(Pos{0, line}, false);
    return true;
}

bool OutputPane::PrevBookmark() {
    int32_t line = m_lines.PrevBookmark(m_caret.line);
    if (line < 0) {
        if (!m_lines.BookmarkCount())
            return false;
        ShowStatus(IDS_OUTPUT_WRAPPED_START);
        line = m_lines.PrevBookmark(m_lines.Count());
    }
    m_caretX = -1;
    MoveCaret(Pos{0, line}, false);
    return true;
}

void OutputPane::ClearBookmarks() {
    m_lines.ClearBookmarks();
    Invalidate(false);
}

void OutputPane::SetLineNumbers(bool on) {
    m_lineNumbers = on;
    Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

void OutputPane::SetWhitespace(bool on) {
    m_whitespace = on;
    Invalidate(false);
}

bool OutputPane::CanGoTo() const {
    if (!m_reader)
        return false;
    const OutputLines::Line& rec = m_lines.At(m_caret.line);
    OutputTarget target;
    return m_reader(rec.text, rec.length, &target);
}

bool OutputPane::GoTo() {
    if (!m_reader)
        return false;
    const OutputLines::Line& rec = m_lines.At(m_caret.line);
    OutputTarget target;
    if (!m_reader(rec.text, rec.length, &target))
        return false;
    const DWORD attributes = ::GetFileAttributesA(target.path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (m_host)
            m_host->ShowOutputStatus(
                AfxFormat(AfxLoadString(IDS_OUTPUT_NOT_FOUND).c_str(), target.path.c_str())
                    .c_str());
        return false;
    }
    // The first line of a file with a mark had the mark counted as its first unit.
    if (target.unicodeColumn && target.line == 1 && FileStartsWithMark(target.path.c_str()))
        target.column = std::max(1, target.column - 1);
    return m_host && m_host->OpenOutputTarget(target);
}

bool OutputPane::IsChannelBusy() const {
    return m_channels && m_channels->IsOutputChannelBusy(m_key);
}

void OutputPane::OnGoTo() {
    GoTo();
}

void OutputPane::OnStop() {
    if (m_channels)
        m_channels->StopOutputJob(m_key);
}

void OutputPane::OnCopy() {
    CopySelection();
}

void OutputPane::OnClear() {
    Clear();
}

void OutputPane::OnSelectAll() {
    SelectAll();
}

void OutputPane::OnToggleBookmark() {
    ToggleBookmark();
}

void OutputPane::OnNextBookmark() {
    NextBookmark();
}

void OutputPane::OnPrevBookmark() {
    PrevBookmark();
}

void OutputPane::OnClearBookmarks() {
    ClearBookmarks();
}

void OutputPane::OnLineNumbers() {
    SetLineNumbers(!m_lineNumbers);
}

void OutputPane::OnWhitespace() {
    SetWhitespace(!m_whitespace);
}

void OutputPane::OnUpdateGoTo(CCmdUI* ui) {
    ui->Enable(CanGoTo());
}

void OutputPane::OnUpdateStop(CCmdUI* ui) {
    ui->Enable(IsChannelBusy());
}

void OutputPane::OnUpdateCopy(CCmdUI* ui) {
    ui->Enable(HasSelection());
}

void OutputPane::OnUpdateHasText(CCmdUI* ui) {
    ui->Enable(m_lines.HasText());
}

void OutputPane::OnUpdateToggleBookmark(CCmdUI* ui) {
    ui->Enable(true);
}

void OutputPane::OnUpdateHasBookmarks(CCmdUI* ui) {
    ui->Enable(m_lines.BookmarkCount() > 0);
}

void OutputPane::OnUpdateLineNumbers(CCmdUI* ui) {
    ui->SetCheck(m_lineNumbers ? 1 : 0);
}

void OutputPane::OnUpdateWhitespace(CCmdUI* ui) {
    ui->SetCheck(m_whitespace ? 1 : 0);
}

// --- Drawing ----------------------------------------------------------------------------------

bool OutputPane::OnEraseBkgnd(HDC) {
    return true; // every pixel is painted
}

void OutputPane::OnSysColorChange() {
    Invalidate(false);
}

void OutputPane::OnPaint() {
    CPaintDC paint(m_hWnd);
    RECT client;
    GetClientRect(&client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // The lines are drawn one after another into an off-screen bitmap, then copied at once.
    const RECT& dirty = paint.Paint().rcPaint;
    CMemoryDC mem(paint.Get());
    CBitmapHandle bitmap(::CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    if (!mem.Get() || !bitmap) {
        PaintInto(paint.Get(), client, dirty);
        return;
    }
    CSelectObject selBitmap(mem.Get(), bitmap.Get());
    PaintInto(mem.Get(), client, dirty);
    ::BitBlt(paint.Get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
             mem.Get(), dirty.left, dirty.top, SRCCOPY);
}

void OutputPane::PaintInto(HDC dc, const RECT& client, const RECT& dirty) {
    CSaveDC saved(dc);
    ::SelectObject(dc, m_font);
    PaintTools tools;
    tools.whitespace.Reset(::CreatePen(PS_SOLID, 1, kWhitespaceColour));
    tools.markPen.Reset(::CreatePen(PS_SOLID, 1, RGB(0, 0, 128)));
    tools.markBrush.Reset(::CreateSolidBrush(RGB(0, 0, 255)));
    tools.window = ::GetSysColor(COLOR_WINDOW);
    tools.text = ::GetSysColor(COLOR_WINDOWTEXT);
    GetSelection(&tools.selStart, &tools.selEnd);
    tools.selected = HasSelection();
    const int gutter = GetGutterWidth();
    const int32_t first = m_top + std::max<LONG>(0, dirty.top) / m_lineHeight;
    const int32_t stop = std::min<int32_t>(
        m_lines.Count(),
        m_top + (std::min(dirty.bottom, client.bottom) + m_lineHeight - 1) / m_lineHeight);
    const int bottom = std::max(0, stop - m_top) * m_lineHeight;

    // The text area, line by line, clipped to its column.
    {
        CSaveDC clip(dc);
        ::IntersectClipRect(dc, gutter, dirty.top, client.right, dirty.bottom);
        ::SelectObject(dc, tools.whitespace.Get());
        ::SetBkMode(dc, OPAQUE);
        for (int32_t line = first; line < stop; ++line)
            PaintText(dc, line,
                      RECT{gutter, (line - m_top) * m_lineHeight, client.right,
                           (line - m_top + 1) * m_lineHeight},
                      tools);
        // Below the last line.
        if (bottom < client.bottom) {
            const RECT rest = {gutter, bottom, client.right, client.bottom};
            ::SetBkColor(dc, tools.window);
            ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        }
    }

    // The gutter: its face and the gap before the text as two columns, then the numbers and
    // bookmark marks.
    const RECT face = {0, dirty.top, m_lineNumbers ? gutter - 3 : 0, dirty.bottom};
    const RECT gap = {face.right, dirty.top, gutter, dirty.bottom};
    if (face.right > 0) {
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &face, nullptr, 0, nullptr);
    }
    ::SetBkColor(dc, tools.window);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &gap, nullptr, 0, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetTextAlign(dc, TA_RIGHT | TA_TOP);
    ::SelectObject(dc, tools.markPen.Get());
    ::SelectObject(dc, tools.markBrush.Get());
    for (int32_t line = first; line < stop; ++line) {
        const int y = (line - m_top) * m_lineHeight;
        if (m_lineNumbers) {
            char number[16];
            const int len = wsprintfA(number, "%d", static_cast<int>(line + 1));
            ::ExtTextOutA(dc, face.right - 3, y, 0, nullptr, number, static_cast<UINT>(len),
                          nullptr);
        }
        if (m_lines.IsBookmarked(line)) {
            // A rounded blue mark at the left edge of the line.
            const int w = m_lineNumbers ? std::min(10, gutter - 4) : 4;
            ::RoundRect(dc, 1, y + 1, 1 + w, y + m_lineHeight - 1, 4, 4);
        }
    }
}

void OutputPane::PaintText(HDC dc, int32_t line, const RECT& area, PaintTools& tools) {
    const OutputLines::Line& rec = m_lines.At(line);
    LineLayout layout;
    LayOut(dc, line, &layout, true);
    const int width = layout.edge.back();
    if (width > m_widestLine) {
        m_widestLine = width;
        if (m_hbar && !m_refreshPending)
            m_refreshPending = PostMessage(kRefreshMessage);
    }

    // The text on its background, in one call.
    const int x0 = area.left - m_hscroll;
    ::SetBkColor(dc, tools.window);
    ::SetTextColor(dc, tools.text);
    ::ExtTextOutW(dc, x0, area.top, ETO_OPAQUE | ETO_CLIPPED, &area, layout.text.data(),
                  static_cast<UINT>(layout.text.size()), nullptr);

    if (tools.selected && line >= tools.selStart.line && line <= tools.selEnd.line) {
        const int32_t from = line == tools.selStart.line ? tools.selStart.col : 0;
        const int32_t to = line == tools.selEnd.line ? tools.selEnd.col : rec.length;
        const int left =
            x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(from)])];
        int right =
            x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(to)])];
        // A selected line break shows as a little room after the line.
        if (line != tools.selEnd.line)
            right += m_charWidth;
        const RECT sel = {std::max<LONG>(left, area.left), area.top,
                          std::min<LONG>(right, area.right), area.bottom};
        if (sel.left < sel.right) {
            ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
            ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
            ::ExtTextOutW(dc, x0, area.top, ETO_OPAQUE | ETO_CLIPPED, &sel, layout.text.data(),
                          static_cast<UINT>(layout.text.size()), nullptr);
        }
    }

    if (!m_whitespace || !rec.length)
        return;
    // A dot in the middle of each space, an arrow across each tab's room: one call.
    std::vector<POINT>& pts = tools.points;
    std::vector<DWORD>& counts = tools.counts;
    pts.clear();
    counts.clear();
    const int midY = area.top + m_lineHeight / 2;
    const size_t length = static_cast<size_t>(rec.length);
    for (size_t i = 0; i < length;) {
        const char c = rec.text[i];
        if (c != ' ' && c != '\t') {
            i += static_cast<size_t>(FxCharLen(rec.text, i, length));
            continue;
        }
        const int left = x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[i])];
        const int right = x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[i + 1])];
        ++i;
        if (right < area.left || left > area.right)
            continue;
        if (c == ' ') {
            const int cx = (left + right) / 2;
            pts.push_back({cx, midY});
            pts.push_back({cx + 2, midY});
            pts.push_back({cx + 2, midY + 1});
            pts.push_back({cx, midY + 1});
            counts.push_back(4);
        } else {
            const int end = std::max(left + 4, right - 2);
            pts.push_back({left + 1, midY});
            pts.push_back({end, midY});
            counts.push_back(2);
            pts.push_back({end - 3, midY - 3});
            pts.push_back({end, midY});
            pts.push_back({end - 4, midY + 4});
            counts.push_back(3);
        }
    }
    if (!counts.empty())
        ::PolyPolyline(dc, pts.data(), counts.data(), static_cast<DWORD>(counts.size()));
}
