// CBarTool: the standard toolbar, a flat toolbar of buttons sized to their images whose
// buttons the main frame applies from the layout the settings store keeps; tool tips and
// status prompts come from the commands' strings through the frame. Layer: workspace/.
#pragma once

#include "framework/ToolBar.h"

class CBarTool : public CToolBar {
    DECLARE_DYNAMIC(CBarTool)
public:
    static constexpr UINT kBarId = 0xE8FE;
    // Child, fly-by prompts, tool tips, multiple floating.
    static constexpr DWORD kBarStyle = 0x40000034;

    CBarTool();
    ~CBarTool() override;

    // alignment: a CBRS_ALIGN_ side with its border bits; visible adds WS_VISIBLE.
    bool Create(CWnd* parent, DWORD alignment, bool visible, UINT id = kBarId);
    // After the buttons were replaced from outside (the layout applied through the control's
    // messages): the images fall back to the shared list, and the orientation is applied again.
    void OnButtonsReplaced();
};
