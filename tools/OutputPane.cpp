// OutputPane: the pane window itself: its message map, creation, the text it takes, its
// commands (bookmarks, display options, Go to, stop) and its context menu. Layout, selection
// and painting live beside it in OutputPaneLayout.cpp, OutputPaneSelection.cpp and
// OutputPanePaint.cpp. Layer: tools/.
#include "tools/OutputPane.h"

#include "common/OutputChannels.h"
#include "framework/CmdUI.h"
#include "framework/GdiObject.h"
#include "framework/ResourceText.h"
#include "tools/OutputHost.h"
#include "tools/OutputIds.h"

#include <algorithm>

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

} // namespace

OutputPane::OutputPane(int key) : m_key(key) {
    m_lines.SetDropNotice(AfxLoadString(IDS_OUTPUT_LINES_DROPPED));
}

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

// --- Text -------------------------------------------------------------------------------------

void OutputPane::Append(const char* text, size_t length) {
    const int oldDigits = DecimalDigits(m_lines.Count());
    const int64_t oldShift = m_lines.Shift();
    const int64_t oldDropped = m_lines.DroppedLines();
    const int32_t first = m_lines.Append(text, length);
    FollowShift(m_lines.Shift() - oldShift);
    if (!m_hWnd)
        return;
    if (m_lines.DroppedLines() != oldDropped ||
        (m_lineNumbers && DecimalDigits(m_lines.Count()) != oldDigits))
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

void OutputPane::FollowShift(int64_t shift) {
    if (!shift)
        return;
    // A position on a line that went moves to the notice that took their place.
    auto follow = [shift](Pos& pos) {
        if (pos.line < 0)
            return;
        if (pos.line - shift <= 0)
            pos = Pos{0, 0};
        else
            pos.line = static_cast<int32_t>(pos.line - shift);
    };
    follow(m_caret);
    follow(m_anchor);
    m_top = static_cast<int32_t>(std::max<int64_t>(0, m_top - shift));
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
