// CAppPreview: the editor's print preview, with its flat toolbar of text labels and 16 x 16
// images: print, next and previous page, one or two pages, zoom in and out, close.
// Layer: print/.
#pragma once

#include "framework/PreviewView.h"

#include <commctrl.h>

class CAppPreview : public CPreviewView {
public:
    CAppPreview() = default;
    ~CAppPreview() override;

    HWND Toolbar() const { return m_toolbar; }
    // Index of the one/two pages button's image and its label now.
    int NumPageImage() const;

protected:
    void OnCreateToolbar() override;
    int ToolbarHeight() const override;
    void OnStateChanged() override;
    void LayoutToolbar(int cx) override;

private:
    HWND m_toolbar = nullptr;
    HIMAGELIST m_images = nullptr;
    int m_height = 0;
};
