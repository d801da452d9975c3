// CFontDialog: the system's font dialog, starting at a given font (for the screen, or for a
// printer's fonts), with the chosen font, its size, style and colour. Layer: framework/.
#pragma once

#include "framework/CommonDialog.h"

#include <commdlg.h>

#include <string>

class CFontDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFontDialog)
public:
    explicit CFontDialog(const LOGFONTA* initial = nullptr,
                         DWORD flags = CF_EFFECTS | CF_SCREENFONTS, HDC printer = nullptr,
                         CWnd* parent = nullptr);

    INT_PTR DoModal() override;
    void GetCurrentFont(LOGFONTA* font) const { *font = m_lf; }
    std::string GetFaceName() const { return m_lf.lfFaceName; }
    // The point size in tenths of a point.
    int GetSize() const { return m_cf.iPointSize; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    bool IsItalic() const { return m_lf.lfItalic != 0; }

    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;

protected:
    static UINT_PTR CALLBACK HookProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
};
