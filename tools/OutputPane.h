// OutputPane: one read-only text pane of the output window. It takes text appended by
// background jobs (WM_USER + 3, length in wParam, bytes in lParam, sent from their threads),
// shows it line by line with an optional line-number gutter and whitespace marks, and lets the
// user select, copy, drag, bookmark and clear it, stop the job writing into it, and jump from
// a line to the file position it names. Its control id is its channel key. Layer: tools/.
#pragma once

#include "framework/GdiObject.h"
#include "framework/Wnd.h"
#include "tools/OutputLines.h"
#include "tools/OutputTarget.h"

#include <cstdint>
#include <string>
#include <vector>

class CCmdUI;
class IOutputChannels;
class IOutputHost;

class OutputPane : public CWnd {
    DECLARE_DYNAMIC(OutputPane)
public:
    static const UINT kAppendMessage = WM_USER + 3;
    // Clears the text; sent so that a job thread's request runs on the pane's own thread.
    static const UINT kClearMessage = WM_USER + 4;
    // Brings the scroll bars and the caret up to date after a burst of appended text.
    static const UINT kRefreshMessage = WM_USER + 5;
    static const int kTabSize = 8;
    static const COLORREF kWhitespaceColour = 0xFFCC66;
    static const int kMargin = 5;

    struct Pos {
        int32_t col = 0; // byte column in the line
        int32_t line = 0;
        bool operator==(const Pos& o) const { return col == o.col && line == o.line; }
        bool operator!=(const Pos& o) const { return !(*this == o); }
        bool operator<(const Pos& o) const {
            return line < o.line || (line == o.line && col < o.col);
        }
    };

    explicit OutputPane(int key);
    ~OutputPane() override;

    // A visible child with a vertical scroll bar; the control id is the key.
    bool Create(CWnd* parent, const RECT& rc);

    int Key() const { return m_key; }
    void SetChannels(IOutputChannels* channels) { m_channels = channels; }
    void SetHost(IOutputHost* host) { m_host = host; }
    // How Go to reads a line; none: the pane offers no Go to.
    void SetLineReader(OutputLineReader reader) { m_reader = std::move(reader); }
    bool HasLineReader() const { return static_cast<bool>(m_reader); }
    // The horizontal scroll bar (a scroll bar control outside the pane) that serves this pane
    // while it is shown; null: none.
    void SetHScrollBar(HWND bar);

    // --- Text --------------------------------------------------------------------------------
    void Append(const char* text, size_t length);
    void Clear();
    const OutputLines& Lines() const { return m_lines; }
    std::string LineText(int32_t line) const;

    // --- Caret and selection -----------------------------------------------------------------
    Pos GetCaret() const { return m_caret; }
    bool HasSelection() const { return m_anchor.line >= 0 && m_anchor != m_caret; }
    // The ordered ends of the selection (both the caret when there is none).
    void GetSelection(Pos* start, Pos* end) const;
    // Moves the caret to a valid position near pos; with extend the selection runs from the
    // anchor (the old caret when there was none), else it is removed. Scrolls it into view.
    void MoveCaret(Pos pos, bool extend);
    void ClearSelection();
    void SelectAll();
    // The selected text, lines joined by CR LF.
    std::string GetSelectedText() const;
    bool CopySelection();

    // --- Bookmarks, options, Go to --------------------------------------------------------------
    void ToggleBookmark();
    // False when there is no bookmark; the wrap notices go to the status bar.
    bool NextBookmark();
    bool PrevBookmark();
    void ClearBookmarks();
    bool ShowsLineNumbers() const { return m_lineNumbers; }
    bool ShowsWhitespace() const { return m_whitespace; }
    void SetLineNumbers(bool on);
    void SetWhitespace(bool on);
    // Whether the caret line names a file position Go to can open.
    bool CanGoTo() const;
    // Opens the position the caret line names; a missing file is reported in the status bar.
    bool GoTo();
    bool IsChannelBusy() const;

    // --- Geometry, for the window and tests ------------------------------------------------------
    int32_t GetTopLine() const { return m_top; }
    int GetHScroll() const { return m_hscroll; }
    int GetLineHeight() const { return m_lineHeight; }
    int GetGutterWidth() const;
    int VisibleLines() const;
    // The client point of a position's left edge, and the position under a client point.
    POINT PosToPoint(Pos pos);
    Pos PointToPos(POINT pt);
    void ScrollTo(int32_t top);
    void ScrollCaretIntoView();

    // Paints the visible lines that meet `dirty` into dc; the paint handler's work.
    void PaintInto(HDC dc, const RECT& client, const RECT& dirty);

    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(HWND oldWnd);
    void OnKillFocus(HWND newWnd);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnLButtonDown(UINT flags, POINT pt);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnLButtonDblClk(UINT flags, POINT pt);
    void OnMouseMove(UINT flags, POINT pt);
    bool OnMouseWheel(UINT flags, short delta, POINT pt);
    void OnVScroll(UINT code, UINT pos, HWND bar);
    LRESULT OnHScrollMessage(WPARAM wParam, LPARAM lParam);
    void OnContextMenu(HWND wnd, POINT pt);
    void OnCaptureChanged(HWND wnd);
    void OnSysColorChange();
    LRESULT OnAppendMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnClearMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefreshMessage(WPARAM wParam, LPARAM lParam);

    void OnGoTo();
    void OnStop();
    void OnCopy();
    void OnClear();
    void OnSelectAll();
    void OnToggleBookmark();
    void OnNextBookmark();
    void OnPrevBookmark();
    void OnClearBookmarks();
    void OnLineNumbers();
    void OnWhitespace();
    void OnUpdateGoTo(CCmdUI* ui);
    void OnUpdateStop(CCmdUI* ui);
    void OnUpdateCopy(CCmdUI* ui);
    void OnUpdateHasText(CCmdUI* ui);
    void OnUpdateToggleBookmark(CCmdUI* ui);
    void OnUpdateHasBookmarks(CCmdUI* ui);
    void OnUpdateLineNumbers(CCmdUI* ui);
    void OnUpdateWhitespace(CCmdUI* ui);

    DECLARE_MESSAGE_MAP()

private:
    // One line as drawn: its text with tabs expanded, as wide characters, the wide index of
    // each byte column and the left edge of each wide character (pixels from the text start).
    struct LineLayout {
        std::wstring text;
        std::vector<int> wideOfByte; // size length + 1
        std::vector<int> edge;       // size text.size() + 1
    };
    // What one paint pass shares between its lines.
    struct PaintTools {
        CPenHandle whitespace, markPen;
        CBrushHandle markBrush;
        COLORREF window = 0, text = 0;
        Pos selStart, selEnd;
        bool selected = false;
        std::vector<POINT> points;
        std::vector<DWORD> counts;
    };
    static int DecimalDigits(int32_t n);
    void LayOut(HDC dc, int32_t line, LineLayout* out, bool measure) const;
    int CharWidth(HDC dc, wchar_t c) const;
    void Measure();
    int TextLeft() const { return GetGutterWidth(); }
    int TextWidth() const;
    void UpdateScrollBars();
    void UpdateCaret();
    // The text's lines moved `shift` places to the front (its oldest went): the caret, the
    // selection and the first visible line follow them.
    void FollowShift(int64_t shift);
    void InvalidateLines(int32_t first, int32_t last);
    void SetHScroll(int x);
    void DragSelection();
    void ShowStatus(UINT id);
    // The text area of one line: text, selection, whitespace marks (the pen selected).
    void PaintText(HDC dc, int32_t line, const RECT& area, PaintTools& tools);
    Pos ValidPos(Pos pos) const;
    int32_t StepLeft(int32_t line, int32_t col) const;
    int32_t StepRight(int32_t line, int32_t col) const;
    int32_t FirstNonBlank(int32_t line) const;

    int m_key;
    OutputLines m_lines;
    Pos m_caret;
    Pos m_anchor{0, -1}; // line -1: no selection
    int m_caretX = -1;   // the x that up and down keep, -1: take the caret's
    int32_t m_top = 0;
    int m_hscroll = 0;
    bool m_lineNumbers = true;
    bool m_whitespace = true;
    bool m_selecting = false;
    bool m_hasCaret = false;
    bool m_refreshPending = false;
    mutable std::vector<int16_t> m_widths; // pixels of each character, -1 until asked
    HFONT m_font = nullptr;
    int m_lineHeight = 16;
    int m_charWidth = 7;
    int m_digitWidth = 7;
    int m_widestLine = 0; // pixels, the widest line drawn so far
    HWND m_hbar = nullptr;
    IOutputChannels* m_channels = nullptr;
    IOutputHost* m_host = nullptr;
    OutputLineReader m_reader;
};
