// The user-interface resources the bars, the clip-text window and the file tree draw with: one
// process-wide object, filled first thing at start-up, its colours, pen and brush made again
// when the system colours change and its fonts when the system's metrics change, released at
// process exit. Layer: common/ (Win32 only).
#pragma once

#include <windows.h>
#include <commctrl.h>

class CUiResources {
public:
    CUiResources() = default;
    ~CUiResources();
    CUiResources(const CUiResources&) = delete;
    CUiResources& operator=(const CUiResources&) = delete;

    // Fills everything from the system and from `module`'s resources. A resource that is
    // missing leaves its handle null (an image list, a cursor falls back to the arrow); only
    // a pen, brush or font that cannot be made at all makes this false.
    bool Init(HINSTANCE module);
    // The system colours changed: colours, pen and checkerboard brush again.
    bool RefreshColours();
    // The non-client metrics changed: both fonts and their metrics again.
    bool RefreshFonts();
    void Release();
    bool IsInitialised() const { return m_initialised; }

    // Platform.
    bool m_win9x = false;    // Windows 95, 98, Me
    bool m_winNt = false;    // the NT family
    bool m_winNt4 = false;   // NT 4 (or older)
    bool m_win2000 = false;  // Windows 2000
    bool m_winLater = false; // XP and later
    DWORD m_pageSize = 4096;

    // Cursors: the arrow and the two splitter cursors of the program's resources.
    HCURSOR m_arrow = nullptr;
    HCURSOR m_splitH = nullptr; // dragging a vertical divider left and right
    HCURSOR m_splitV = nullptr; // dragging a horizontal divider up and down

    // System colours.
    COLORREF m_face = 0;
    COLORREF m_faceText = 0;
    COLORREF m_highlight = 0; // the light 3-D edge
    COLORREF m_shadow = 0;
    COLORREF m_darkShadow = 0;
    COLORREF m_selection = 0;
    COLORREF m_selectionText = 0;
    COLORREF m_window = 0;
    COLORREF m_windowText = 0;
    COLORREF m_grayText = 0;

    // The shared 16 x 16 image lists, magenta transparent: the general images and the
    // document-state images.
    HIMAGELIST m_images = nullptr;
    HIMAGELIST m_docImages = nullptr;

    // The same lists drawn for another density: cells of 16, 24 or 32 pixels (ImageSizeFor).
    // Each size is loaded the first time it is asked for and kept until Release, so that a
    // window moved to a monitor of another density takes the other size; null when the
    // resources have none.
    HIMAGELIST Images(int size);
    HIMAGELIST DocImages(int size);
    // The cell size of the image lists drawn for dpi: of 16, 24 and 32 pixels the nearest to
    // 16 pixels at 96 DPI scaled to dpi (the smaller of two as near).
    static int ImageSizeFor(UINT dpi);

    HPEN m_textPen = nullptr;       // one pixel, button text colour
    HBRUSH m_ditherBrush = nullptr; // 8 x 8 checkerboard of face and highlight

    // The user-interface font of the bars (the menu font) and the status bar's font, each with
    // its metrics.
    HFONT m_font = nullptr;
    HFONT m_statusFont = nullptr;
    TEXTMETRICA m_fontMetrics = {};
    TEXTMETRICA m_statusMetrics = {};

    static const int kImageSize = 16; // the size of m_images and m_docImages
    static const COLORREF kMaskColour = RGB(255, 0, 255);

private:
    void ReadPlatform();
    void ReleaseColourObjects();
    void ReleaseFonts();

    bool m_initialised = false;
    HINSTANCE m_module = nullptr;
    // The 24 and 32-pixel lists, once loaded: [0] 24, [1] 32.
    HIMAGELIST m_imagesAt[2] = {nullptr, nullptr};
    HIMAGELIST m_docImagesAt[2] = {nullptr, nullptr};
};

// The process's one object.
CUiResources& SharedUi();

// An 8 x 8 brush with the two colours on alternate pixels.
HBRUSH CreateCheckerBrush(COLORREF even, COLORREF odd);
