// CToolBar: a control bar over the system toolbar control: flat buttons of a fixed size with
// images from an image list, raw access to the buttons, command UI at idle (enable, and check
// requests that turn a button into a check button), tool tips answered by the frame, and
// fly-by prompts in the frame's status bar while the pointer rests on a button. Commands and
// notifications of the control always go to the frame, wherever the bar is docked.
// Layer: framework/.
#pragma once

#include "framework/CmdUI.h"
#include "framework/ControlBar.h"

#include <commctrl.h>

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    // ctrlStyle: the toolbar control's own styles (TBSTYLE_FLAT ...); style: window and bar
    // styles as for every control bar.
    bool CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, UINT id = AFX_IDW_TOOLBAR);

    void SetSizes(SIZE button, SIZE image);
    // Buttons sized to the images of the bar's image list (a list's image size is its own:
    // 16, 24 or 32 pixels as the density asks), with a 7-pixel margin at 96 DPI around them.
    void FitButtonsToImages();
    SIZE GetButtonSize() const { return m_buttonSize; }
    void SetImageList(HIMAGELIST images);
    HIMAGELIST GetImageList() const;
    // Replaces every button.
    bool SetButtons(const TBBUTTON* buttons, int count);

    // --- Raw access to the buttons ---------------------------------------------------------
    int GetButtonCount() const;
    bool GetButton(int index, TBBUTTON* button) const;
    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    bool GetItemRect(int index, RECT* rc) const;
    BYTE GetButtonState(int index) const;
    void SetButtonState(int index, BYTE state);
    BYTE GetButtonStyle(int index) const;
    void SetButtonStyle(int index, BYTE style);

    // The frame commands, tool tips and prompts go to (the dock site, else the top frame).
    CFrameWnd* GetCommandFrame() const;
    // The command whose prompt the status bar shows for the pointer (0: none).
    UINT GetFlyByCommand() const { return m_flyBy; }

    // Docked, the buttons wrap into as many rows (top, bottom) or columns (left, right) as the
    // dock side's length needs; floating, they wrap to the width last chosen by sizing the
    // mini frame, else to a block about three times as wide as it is high.
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    // One row (horz) or one column, unwrapped.
    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

    void OnPaint();
    bool OnEraseBkgnd(HDC dc);

protected:
    // The buttons follow the images again and the rows are wrapped anew.
    void OnDpiChanged(UINT oldDpi) override;
    // Horizontal: one row; vertical: one column (every button wraps).
    void SetOrientation(bool horz);
    bool IsHorzLayout() const { return m_horz; }

private:
    // Breaks the rows so that none is wider than width (button area, without the borders) and
    // answers the extent of the buttons so laid out.
    SIZE WrapToWidth(int width);
    int ItemWidth(const TBBUTTON& button) const;
    // The buttons' width in one row.
    int RowWidth() const;
    // The borders around the buttons.
    SIZE BorderSize(bool horz);
    // The length of the dock side the bar is docked to (0: unknown).
    int DockLength(bool horz) const;

    void TrackFlyBy(POINT pt);
    void EndFlyBy();

    SIZE m_buttonSize = {23, 23};
    SIZE m_imageSize = {16, 16};
    bool m_horz = true;
    int m_mruWidth = 0; // floating: the button area's width last chosen by sizing, 0 none
    UINT m_flyBy = 0;
    bool m_trackingLeave = false;
};

// The command-UI item of one toolbar button.
class CToolCmdUI : public CCmdUI {
public:
    explicit CToolCmdUI(CToolBar& bar) : m_bar(bar) {}
    // Enabling clears the disabled state; disabling also clears checked and pressed.
    void Enable(bool on = true) override;
    // Makes the button a check button: 1 checked, 2 indeterminate, 0 neither.
    void SetCheck(int check = 1) override;
    void SetRadio(bool on = true) override { SetCheck(on ? 1 : 0); }
    void SetText(const char*) override {}

private:
    CToolBar& m_bar;
};
