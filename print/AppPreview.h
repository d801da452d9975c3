// CAppPreview: the editor's print preview, with its flat framework toolbar of text labels and
// 16 x 16 images on 23 x 23 buttons at 96 DPI (24 and 32-pixel images on larger buttons at
// higher densities): print, next and previous page, one or two pages, zoom in
// and out, close. The buttons' commands reach the preview through the frame, and their states
// come from the preview's command UI. Layer: print/.
#pragma once

#include "framework/PreviewView.h"
#include "framework/ToolBar.h"

#include <commctrl.h>

class CCmdUI;

class CAppPreview : public CPreviewView {
public:
    CAppPreview() = default;
    ~CAppPreview() override;

    CToolBar& ToolBar() { return m_toolbar; }
    HWND Toolbar() const { return m_toolbar.m_hWnd; }
    // Index of the one/two pages button's image now: it offers the other mode.
    int NumPageImage() const;

    void OnUpdateNext(CCmdUI* ui);
    void OnUpdatePrev(CCmdUI* ui);
    void OnUpdateNumPage(CCmdUI* ui);
    void OnUpdateZoomIn(CCmdUI* ui);
    void OnUpdateZoomOut(CCmdUI* ui);
    // The density of the preview's monitor changed: images and buttons for the new one.
    LRESULT OnDpiChanged(WPARAM newDpi, LPARAM oldDpi);
    // The images for dpi (16, 24 or 32-pixel cells), made the first time they are asked for.
    HIMAGELIST ImagesFor(UINT dpi);

    DECLARE_MESSAGE_MAP()

protected:
    void OnCreateToolbar() override;
    int ToolbarHeight() const override;
    void OnStateChanged() override;
    void LayoutToolbar(int cx) override;

private:
    // Gives the one/two pages button the image and label of the mode it offers, when they
    // changed.
    void ShowNumPageButton();
    // Button and image sizes for dpi, and the bar's height from them.
    void SizeToolbar(UINT dpi);

    static const int kButtonSize = 23; // at 96 DPI

    CToolBar m_toolbar;
    HIMAGELIST m_images[3] = {nullptr, nullptr, nullptr}; // 16, 24, 32-pixel cells
    UINT m_dpi = 96;                                      // the density the toolbar is sized for
    int m_height = 0;
    int m_numPageShown = 0; // the page count the one/two pages button was made for
};
