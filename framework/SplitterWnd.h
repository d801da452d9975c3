// CSplitterWnd: a dynamic splitter of up to two rows in one column. Each pane is a view of the
// frame's document with its own scroll bars; the second pane is created on splitting (by the
// split command or by dragging the split box at the top) and removed by dragging the bar past
// the minimum pane size. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CView;

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();

    // A dynamic splitter (the context's view class becomes the first pane and the class of
    // panes made by splitting).
    bool Create(CWnd* parent, int maxRows, int maxCols, SIZE minSize, CCreateContext* context,
                DWORD style = WS_CHILD | WS_VISIBLE | SPLS_DYNAMIC_SPLIT, UINT id = 0xE900);

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return 1; }
    int GetMaxRowCount() const { return m_nMaxRows; }
    static UINT IdFromRowCol(int row, int col);
    CWnd* GetPane(int row, int col) const;
    // Height of the first row while split.
    int GetSplitRowHeight() const { return m_cyFirstRow; }

    virtual bool CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE initSize,
                            CCreateContext* context);
    // Splits so that the first row is cyBefore pixels high; the new second pane is a new view
    // of the same document, initially updated.
    virtual bool SplitRow(int cyBefore);
    virtual void DeleteRow(int row);
    bool CanSplit() const { return m_nRows < m_nMaxRows; }
    // The split command: splits in the middle.
    void DoKeyboardSplit();

    CView* GetActivePane(int* row = nullptr, int* col = nullptr) const;
    void SetActivePane(int row, int col);
    bool CanActivateNext(bool previous) const;
    void ActivateNext(bool previous);
    void RecalcLayout();

    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    bool OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, POINT pt);
    void OnMouseMove(UINT flags, POINT pt);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnCancelMode();

    // WM_FXDPICHANGED: the bar, the box and the panes' minimum follow the new density; the
    // first row keeps its share of the height.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM oldDpi);

    // In pixels at the window's density: the split bar and split box height, and the least
    // height of a pane (Create takes it at 96 DPI).
    int m_cySplitter = 6;
    SIZE m_minSize = {10, 10};

    DECLARE_MESSAGE_MAP()

private:
    // The bar (split) or box (unsplit) rectangle.
    RECT SplitterRect() const;
    void EndTracking(bool accept);
    // The pixel sizes above for the density dpi.
    void ScaleSizes(UINT dpi);

    SIZE m_minSize96 = {10, 10};
    int m_nRows = 0;
    int m_nMaxRows = 2;
    int m_cyFirstRow = 0;
    const CRuntimeClass* m_pDynamicViewClass = nullptr;
    bool m_bTracking = false;
    int m_trackOffset = 0; // pointer offset inside the bar
    int m_trackY = 0;      // the bar's top while tracking
};
