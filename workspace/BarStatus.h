// CBarStatus: the status bar at the bottom of the main frame: a stretching message pane for
// prompts, transient notices and progress, and the editing indicators whose texts the active
// view's command-UI handlers set. Layer: workspace/ (bars).
#pragma once

#include "framework/ControlBar.h"
#include "workspace/BarPaint.h"

#include <windows.h>

#include <string>
#include <vector>

class CBarStatus : public CControlBar {
    DECLARE_DYNAMIC(CBarStatus)
public:
    // Pane style bits.
    enum PaneStyle : DWORD {
        PaneNoBorder = 0x00000100,
        PaneRaised = 0x00000200,
        PaneDisabled = 0x04000000,  // drawn embossed
        PaneStretch = 0x08000000,   // takes a share of the spare width
        PaneHighlight = 0x10000000, // a transient notice, in the selection colours
        PaneProgress = 0x20000000,  // label plus progress bar
    };
    static const UINT kBarId = 0xE801;
    static const UINT kTimerId = 0xE801;
    static const UINT kTimerPeriod = 2000;    // ms
    static const DWORD kHighlightTime = 4000; // ms a notice stays highlighted at least
    static const size_t kMaxText = 259;
    // Between the panes in the answer to WM_GETTEXT.
    static const char kPaneSeparator = '\t';

    struct Pane {
        UINT id = 0; // 0: the message pane
        DWORD style = 0;
        int length = 0;   // bytes of text
        int width = 0;    // measured text width
        int right = 0;    // right edge, client x
        int position = 0; // progress
        int maximum = 0;
        DWORD highlightTick = 0;
        char text[kMaxText + 1] = {0};
    };

    CBarStatus();
    ~CBarStatus() override;

    bool Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM,
                UINT id = kBarId);

    // One pane per id: 0 the stretching message pane, others start with their string.
    bool SetIndicators(const UINT* ids, int count);
    int GetPaneCount() const { return static_cast<int>(m_panes.size()); }
    const Pane& GetPane(int index) const { return m_panes[index]; }
    int CommandToIndex(UINT id) const;
    const char* GetPaneText(int index) const;
    // What the bar shows as one text, the answer to WM_GETTEXT (which the system carries to
    // other processes, screen readers and tests): the message pane and, unless the bar is
    // simple, every other pane after a tab.
    std::string ShownText() const;
    // Refused (true, nothing changed) while the pane shows progress.
    bool SetPaneText(int index, const char* text, bool redraw = true);
    // A transient notice in the message pane: highlighted, back to the idle prompt after
    // 4 to 6 seconds.
    void ShowMessage(const char* text);
    void ShowMessage(UINT textId);
    // Progress in the message pane; position -1 or position == maximum ends it.
    void SetProgress(UINT labelId, int position, int maximum);
    void SetSimple(bool simple);
    bool IsSimple() const { return m_simple; }
    bool IsTimerRunning() const { return m_timer != 0; }
    bool HasSizeGrip() const { return m_sizeGrip; }

    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    void DoPaint(HDC dc) override;

    // Ages the highlighted panes as the timer does (tests call it with a tick count).
    void AgeHighlights(DWORD now);

    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnSysColorChange();
    // The shared fonts were made again: measured and laid out with the new status font.
    void RefreshFonts();
    int GetBarHeight() const { return m_barHeight; }
    LRESULT OnNcHitTest(POINT pt);
    LRESULT OnSetText(WPARAM, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    bool OnEraseBkgnd(HDC dc);

    DECLARE_MESSAGE_MAP()

protected:
    // Font, heights, gaps and the size grip made again for the new density, then laid out.
    void OnDpiChanged(UINT oldDpi) override;

private:
    friend class CStatusPaneCmdUI;
    void RefreshMetrics();
    void Layout();
    void SyncWindowText();
    void StartTimer();
    void DrawPane(HDC dc, const Pane& pane, RECT rc);
    void DrawProgress(HDC dc, const Pane& pane, RECT rc);
    bool IsFrameMaximized() const;
    RECT GripRect() const;

    std::vector<Pane> m_panes;
    bool m_simple = true;
    bool m_sizeGrip = false;
    UINT_PTR m_timer = 0;
    bool m_changed = false; // a pane's text or state changed since the last layout
    COLORREF m_face = 0, m_text = 0, m_shadow = 0, m_highlight = 0, m_selBack = 0, m_selText = 0,
             m_greyText = 0;
    HFONT m_font = nullptr; // the status font for the bar's density (not owned)
    CBarDpiFont m_dpiFont;  // the shared status font scaled to another density
    int m_textHeight = 0, m_barHeight = 0, m_gap = 2, m_gripWidth = 0;
    // At 96 DPI: the room a pane's text gets besides its width, the text's inset from the
    // pane's left, and the least width of a progress bar; the two first also at the density.
    static constexpr int kPanePadding = 6, kTextInset = 3, kProgressWidth = 120;
    int m_padding = kPanePadding, m_textInset = kTextInset;
    int m_cx = 0, m_cy = 0;
    std::string m_windowText; // the message pane's text as the window text holds it
};
