// CFxButton: an owner-drawn push button with a flat, hot-tracking look that shows an image
// from an image list beside its text, or a colour swatch with an optional drop-down arrow.
// Layer: workspace/.
#pragma once

#include "framework/Button.h"

#include <commctrl.h>

enum : DWORD {
    FXBS_FLAT = 0x01,         // border only while hot or pressed; tracks the pointer
    FXBS_BORDER = 0x02,       // a 3-D border
    FXBS_TEXTFIRST = 0x04,    // image to the right of the text
    FXBS_IMAGEFIRST = 0x08,   // image to the left of the text (also when no layout bit is set)
    FXBS_BELOW = 0x10,        // image below the text
    FXBS_ABOVE = 0x20,        // image above the text
    FXBS_FOCUS = 0x40,        // focus rectangle when focused
    FXBS_SWATCH = 0x20000,    // a colour swatch instead of an image
    FXBS_DROPARROW = 0x40000, // the swatch has a drop-down arrow part
    FXBS_MASK = 0x7007F,
};

class CFxButton : public CButton {
    DECLARE_DYNAMIC(CFxButton)
public:
    CFxButton();

    // Subclasses the dialog control once (made owner-drawn) and applies the style.
    bool AttachToControl(CWnd* parent, UINT controlId, DWORD style);
    // An index of -1 means no image. The images are drawn at the list's own size; width and
    // height count only for a list that has none.
    void SetImages(HIMAGELIST images, int pressedIndex, int normalIndex, int width, int height);
    void SetFxStyle(DWORD style);
    DWORD GetFxStyle() const { return m_style; }
    void SetSwatchColor(COLORREF colour);
    COLORREF GetSwatchColor() const { return m_swatch; }
    bool IsAttached() const { return m_attached; }
    bool IsHot() const { return m_hot; }
    // The size the images are drawn at.
    SIZE GetImageSize() const { return SIZE{m_imageWidth, m_imageHeight}; }

    virtual void Redraw();
    virtual void DrawFace(HDC dc, const RECT& rc);
    virtual void DrawImageText(HDC dc, const RECT& rc, bool enabled, bool pressed, bool focused);
    virtual void DrawSwatch(HDC dc, const RECT& rc, bool enabled, bool pressed, bool focused);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

    void OnMouseMove(UINT flags, POINT pt);
    void OnKillFocus(HWND next);
    void OnCaptureChanged(HWND wnd);
    // WM_FXDPICHANGED: gaps and insets follow the new density.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    void DrawBorder(HDC dc, const RECT& rc, bool enabled, bool pressed, bool swatch);

    bool m_attached = false;
    bool m_hot = false;
    DWORD m_style = FXBS_IMAGEFIRST | FXBS_BORDER;
    int m_pressedImage = -1;
    int m_normalImage = -1;
    int m_imageWidth = 16;
    int m_imageHeight = 16;
    UINT m_dpi = 96;               // the density the gaps and insets are drawn for
    HIMAGELIST m_images = nullptr; // not owned
    COLORREF m_swatch = RGB(0, 0, 0);
};

// One row of a dialog's table of image buttons.
struct FxButtonRow {
    UINT controlId;
    int image;    // index in the shared image list, -1 none
    int keepText; // 0: the caption is cleared
};

// Attaches each row's button (style FXBS_FLAT | FXBS_BORDER | FXBS_IMAGEFIRST | FXBS_FOCUS |
// 0x10000) with its image from the shared 16 x 16 image list. buttons has count entries.
void AttachFxButtons(CWnd* parent, CFxButton* buttons, const FxButtonRow* rows, int count);
