// CDockBar: the strip along one side of a frame (or inside a floating mini frame) that holds
// docked control bars in rows. Its bar array keeps the rows in order: a null entry ends a row,
// and the array both starts and ends with one. Bars may edit the array themselves (a sizing bar
// breaks a row that has grown too long), so every layout reads it afresh. Layer: framework/.
#pragma once

#include "framework/ControlBar.h"

#include <vector>

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(bool floating = false);
    ~CDockBar() override;

    // Creates the dock bar as a visible child of parent, aligned by style (CBRS_ALIGN_...).
    bool Create(CWnd* parent, DWORD style, UINT id);

    // Takes bar into the array and makes it a child of this dock bar. With a rectangle (screen
    // coordinates) the row is the one whose band holds the rectangle's middle, or a new row
    // before the first or after the last; the bar keeps the rectangle's leading coordinate.
    // Without one, the bar starts a new row at the end.
    void DockControlBar(CControlBar* bar, const RECT* screenRect = nullptr);
    // Takes bar out of the array (the window stays where it is); empty rows close up.
    void RemoveControlBar(CControlBar* bar);

    // The array: bars and null row breaks.
    std::vector<CControlBar*> m_arrBars;
    // The room the frame gives the dock bar in the layout being made (frame client
    // coordinates); empty before the first layout.
    RECT m_rectLayout = {0, 0, 0, 0};
    bool m_bFloating;

    int FindBar(const CControlBar* bar) const;
    // First and one-past-last index of the row holding index (indexes of bar entries only).
    void GetRowRange(int index, int* first, int* end) const;
    int GetVisibleBarCount() const;
    // Inserts a row break before index (no-op when one is already there).
    void InsertRowBreak(int index);

    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    // Lays the bars out in their rows and answers the dock bar's own size; with query set
    // nothing moves and the bars are measured by their windows.
    SIZE LayoutBars(bool query);
    void DoPaint(HDC dc) override;

    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    // The frame-independent part of DockControlBar: where in the array the bar goes.
    int InsertPosition(const RECT& rc) const;
    SIZE LayoutPass(bool query, bool* changed);
    void Normalise();
};
