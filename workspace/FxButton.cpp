// CFxButton. Layer: workspace/.
#include "workspace/FxButton.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CFxButton, CButton)

BEGIN_MESSAGE_MAP(CFxButton, CButton)
ON_WM_MOUSEMOVE()
ON_WM_KILLFOCUS()
ON_WM_CAPTURECHANGED()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
END_MESSAGE_MAP()

namespace {

COLORREF Ui(COLORREF CUiResources::*member, int sysColour) {
    return SharedUi().IsInitialised() ? SharedUi().*member : GetSysColor(sysColour);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Draw3dRect(HDC dc, const RECT& rc, COLORREF topLeft, COLORREF bottomRight) {
    FillSolid(dc, {rc.left, rc.top, rc.right - 1, rc.top + 1}, topLeft);
    FillSolid(dc, {rc.left, rc.top, rc.left + 1, rc.bottom - 1}, topLeft);
    FillSolid(dc, {rc.right - 1, rc.top, rc.right, rc.bottom}, bottomRight);
    FillSolid(dc, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, bottomRight);
}

void FrameSolid(HDC dc, const RECT& rc, COLORREF colour) {
    Draw3dRect(dc, rc, colour, colour);
}

} // namespace

CFxButton::CFxButton() = default;

bool CFxButton::AttachToControl(CWnd* parent, UINT controlId, DWORD style) {
    if (!m_attached && parent && SubclassDlgItem(controlId, parent)) {
        m_attached = true;
        SetFxStyle(style);
    }
    return m_attached;
}

LRESULT CFxButton::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    if (dpi && dpi != m_dpi) {
        m_dpi = static_cast<UINT>(dpi);
        Redraw();
    }
    return 0;
}

void CFxButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    m_dpi = FxDpiOf(m_hWnd);
    // Drawn here, whatever the dialog template says.
    if ((GetStyle() & BS_TYPEMASK) != BS_OWNERDRAW)
        ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CFxButton::SetImages(HIMAGELIST images, int pressedIndex, int normalIndex, int width,
                          int height) {
    m_images = images;
    m_pressedImage = pressedIndex;
    m_normalImage = normalIndex;
    int cx = 0, cy = 0;
    if (images && ImageList_GetIconSize(images, &cx, &cy)) {
        width = cx;
        height = cy;
    }
    m_imageWidth = width;
    m_imageHeight = height;
    if (m_hWnd)
        Redraw();
}

void CFxButton::SetFxStyle(DWORD style) {
    m_style = style & FXBS_MASK;
    if (m_hWnd)
        Redraw();
}

void CFxButton::SetSwatchColor(COLORREF colour) {
    m_swatch = colour;
    if (m_hWnd)
        Redraw();
}

void CFxButton::Redraw() {
    Invalidate(true);
    UpdateWindow();
}

void CFxButton::DrawItem(LPDRAWITEMSTRUCT item) {
    HDC dc = item->hDC;
    const bool enabled = !(item->itemState & ODS_DISABLED);
    const bool pressed = (item->itemState & ODS_SELECTED) != 0;
    const bool focused = (item->itemState & ODS_FOCUS) != 0;
    const COLORREF oldText = GetTextColor(dc);
    const COLORREF oldBack = GetBkColor(dc);
    const int oldMode = GetBkMode(dc);
    DrawFace(dc, item->rcItem);
    if (m_style & FXBS_SWATCH)
        DrawSwatch(dc, item->rcItem, enabled, pressed, focused);
    else
        DrawImageText(dc, item->rcItem, enabled, pressed, focused);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SetBkMode(dc, oldMode);
}

void CFxButton::DrawFace(HDC dc, const RECT& rc) {
    FillSolid(dc, rc, Ui(&CUiResources::m_face, COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
}

void CFxButton::DrawBorder(HDC dc, const RECT& rc, bool enabled, bool pressed, bool swatch) {
    if (!(m_style & FXBS_BORDER))
        return;
    const COLORREF light = Ui(&CUiResources::m_highlight, COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = Ui(&CUiResources::m_shadow, COLOR_BTNSHADOW);
    if (swatch && !enabled) {
        FrameSolid(dc, rc, light);
        return;
    }
    if (pressed) {
        Draw3dRect(dc, rc, shadow, light);
        return;
    }
    if ((m_style & FXBS_FLAT) && !m_hot) {
        if (swatch)
            FrameSolid(dc, rc, Ui(&CUiResources::m_faceText, COLOR_BTNTEXT));
        return;
    }
    Draw3dRect(dc, rc, light, shadow);
}

void CFxButton::DrawImageText(HDC dc, const RECT& rc, bool enabled, bool pressed, bool focused) {
    char text[260] = "";
    ::GetWindowTextA(m_hWnd, text, sizeof text);
    HGDIOBJ oldFont = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)))
        oldFont = SelectObject(dc, font);
    SIZE textSize = {0, 0};
    RECT measure = {0, 0, 0, 0};
    const int length = static_cast<int>(std::strlen(text));
    if (length) {
        DrawTextA(dc, text, length, &measure, DT_SINGLELINE | DT_CALCRECT);
        textSize = {measure.right, measure.bottom};
    }
    const int image = pressed ? m_pressedImage : m_normalImage;
    SIZE imageSize = {0, 0};
    if (m_images && image >= 0)
        imageSize = {m_imageWidth, m_imageHeight};
    const int gap = (length && imageSize.cx) ? FxScale(4, m_dpi) : 0;
    const bool stacked = (m_style & (FXBS_BELOW | FXBS_ABOVE)) != 0;
    const int blockW =
        stacked ? std::max(textSize.cx, imageSize.cx) : textSize.cx + gap + imageSize.cx;
    const int blockH =
        stacked ? textSize.cy + gap + imageSize.cy : std::max(textSize.cy, imageSize.cy);
    const int x0 = rc.left + (rc.right - rc.left - blockW) / 2;
    const int y0 = rc.top + (rc.bottom - rc.top - blockH) / 2;
    POINT imageAt, textAt;
    if (m_style & FXBS_TEXTFIRST) {
        textAt = {x0, y0 + (blockH - textSize.cy) / 2};
        imageAt = {x0 + textSize.cx + gap, y0 + (blockH - imageSize.cy) / 2};
    } else if (m_style & FXBS_BELOW) {
        textAt = {x0 + (blockW - textSize.cx) / 2, y0};
        imageAt = {x0 + (blockW - imageSize.cx) / 2, y0 + textSize.cy + gap};
    } else if (m_style & FXBS_ABOVE) {
        imageAt = {x0 + (blockW - imageSize.cx) / 2, y0};
        textAt = {x0 + (blockW - textSize.cx) / 2, y0 + imageSize.cy + gap};
    } else {
        imageAt = {x0, y0 + (blockH - imageSize.cy) / 2};
        textAt = {x0 + imageSize.cx + gap, y0 + (blockH - textSize.cy) / 2};
    }
    if (pressed) {
        ++imageAt.x, ++imageAt.y, ++textAt.x, ++textAt.y;
    }
    if (imageSize.cx) {
        if (enabled) {
            ImageList_Draw(m_images, image, dc, imageAt.x, imageAt.y, ILD_TRANSPARENT);
        } else {
            HICON icon = ImageList_GetIcon(m_images, image, ILD_NORMAL);
            if (icon) {
                DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, imageAt.x,
                           imageAt.y, imageSize.cx, imageSize.cy, DST_ICON | DSS_DISABLED);
                DestroyIcon(icon);
            }
        }
    }
    if (length) {
        RECT textRect = {textAt.x, textAt.y, textAt.x + textSize.cx, textAt.y + textSize.cy};
        if (enabled) {
            SetTextColor(dc, Ui(&CUiResources::m_faceText, COLOR_BTNTEXT));
            DrawTextA(dc, text, length, &textRect, DT_SINGLELINE);
        } else {
            DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text), length, textRect.left,
                       textRect.top, textSize.cx, textSize.cy, DST_PREFIXTEXT | DSS_DISABLED);
        }
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    if ((m_style & FXBS_FOCUS) && focused) {
        RECT focus = rc;
        InflateRect(&focus, -FxScale(2, m_dpi), -FxScale(2, m_dpi));
        DrawFocusRect(dc, &focus);
    }
    DrawBorder(dc, rc, enabled, pressed, false);
}

void CFxButton::DrawSwatch(HDC dc, const RECT& rc, bool enabled, bool pressed, bool focused) {
    char text[260] = "";
    ::GetWindowTextA(m_hWnd, text, sizeof text);
    const int length = static_cast<int>(std::strlen(text));
    HGDIOBJ oldFont = nullptr;
    if (HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)))
        oldFont = SelectObject(dc, font);
    RECT measure = {0, 0, 0, 0};
    if (length)
        DrawTextA(dc, text, length, &measure, DT_SINGLELINE | DT_CALCRECT);
    const int textW = length ? measure.right + FxScale(8, m_dpi) : 0;
    const int textH = length ? measure.bottom + FxScale(8, m_dpi) : 0;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT swatchPart = rc, textPart = rc;
    if (m_style & (FXBS_BELOW | FXBS_ABOVE)) {
        const int swatchH = std::max(0, h - textH);
        if (m_style & FXBS_BELOW) {
            textPart.bottom = rc.top + textH;
            swatchPart.top = textPart.bottom;
        } else {
            swatchPart.bottom = rc.top + swatchH;
            textPart.top = swatchPart.bottom;
        }
    } else {
        const int swatchW = std::max(w / 3, w - textW);
        if (m_style & FXBS_TEXTFIRST) {
            swatchPart.left = rc.right - swatchW;
            textPart.right = swatchPart.left;
        } else {
            swatchPart.right = rc.left + swatchW;
            textPart.left = swatchPart.right;
        }
    }
    const COLORREF textColour = enabled ? Ui(&CUiResources::m_faceText, COLOR_BTNTEXT)
                                        : Ui(&CUiResources::m_highlight, COLOR_BTNHIGHLIGHT);
    RECT arrowPart = {0, 0, 0, 0};
    if (m_style & FXBS_DROPARROW) {
        const int arrowW = (swatchPart.right - swatchPart.left) / 4;
        arrowPart = swatchPart;
        arrowPart.left = swatchPart.right - arrowW;
        swatchPart.right = arrowPart.left - 2;
        // The divider: a 3-D line between the parts.
        const int inset = FxScale(3, m_dpi);
        FillSolid(dc, {swatchPart.right, rc.top + inset, swatchPart.right + 1, rc.bottom - inset},
                  Ui(&CUiResources::m_shadow, COLOR_BTNSHADOW));
        FillSolid(dc,
                  {swatchPart.right + 1, rc.top + inset, swatchPart.right + 2, rc.bottom - inset},
                  Ui(&CUiResources::m_highlight, COLOR_BTNHIGHLIGHT));
    }
    if (length) {
        SetTextColor(dc, textColour);
        DrawTextA(dc, text, length, &textPart,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_WORD_ELLIPSIS);
    }
    RECT swatch = swatchPart;
    InflateRect(&swatch, -FxScale(4, m_dpi), -FxScale(4, m_dpi));
    if (pressed)
        OffsetRect(&swatch, 1, 1);
    if (swatch.right > swatch.left && swatch.bottom > swatch.top) {
        if (enabled)
            FillSolid(dc, swatch, m_swatch);
        FrameSolid(dc, swatch, textColour);
    }
    if (m_style & FXBS_DROPARROW) {
        // A downward triangle as shrinking horizontal lines.
        HPEN pen = CreatePen(PS_SOLID, 1, textColour);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        const int lines = FxScale(4, m_dpi);
        const int cx = (arrowPart.left + arrowPart.right) / 2;
        const int top = (arrowPart.top + arrowPart.bottom) / 2 - lines / 2;
        for (int i = 0; i < lines; ++i) {
            MoveToEx(dc, cx - (lines - 1) + i, top + i, nullptr);
            LineTo(dc, cx + lines - i, top + i);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    if ((m_style & FXBS_FOCUS) && focused) {
        RECT focus = rc;
        InflateRect(&focus, -FxScale(2, m_dpi), -FxScale(2, m_dpi));
        DrawFocusRect(dc, &focus);
    }
    DrawBorder(dc, rc, enabled, pressed, true);
}

void CFxButton::OnMouseMove(UINT flags, POINT pt) {
    if (m_style & FXBS_FLAT) {
        if (::GetCapture() != m_hWnd) {
            if (!(flags & MK_LBUTTON) || m_hot) {
                if (::GetActiveWindow()) {
                    m_hot = true;
                    ::SetCapture(m_hWnd);
                    Redraw();
                }
            }
        } else {
            RECT rc;
            GetClientRect(&rc);
            if (!::PtInRect(&rc, pt)) {
                m_hot = false;
                Redraw();
                if (!(flags & MK_LBUTTON))
                    ::ReleaseCapture();
            }
        }
    }
    Default();
}

void CFxButton::OnKillFocus(HWND) {
    Default();
    if (m_hot) {
        m_hot = false;
        Redraw();
    }
}

void CFxButton::OnCaptureChanged(HWND wnd) {
    Default();
    if (wnd != m_hWnd && m_hot) {
        m_hot = false;
        Redraw();
    }
}

void AttachFxButtons(CWnd* parent, CFxButton* buttons, const FxButtonRow* rows, int count) {
    for (int i = 0; i < count; ++i) {
        CFxButton& button = buttons[i];
        if (!button.AttachToControl(parent, rows[i].controlId, 0x1004B))
            continue;
        if (rows[i].image >= 0) {
            const int image = CUiResources::ImageSizeFor(FxDpiOf(parent->m_hWnd));
            button.SetImages(SharedUi().Images(image), rows[i].image, rows[i].image, image, image);
        }
        if (!rows[i].keepText)
            button.SetWindowText("");
    }
}
