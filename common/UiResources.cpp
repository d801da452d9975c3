// The shared user-interface resources. Layer: common/ (Win32 only).
#include "common/UiResources.h"

#include "common/UiResourceIds.h"

#include <cstddef>
#include <cstdlib>
#include <initializer_list>

namespace {

HIMAGELIST LoadImages(HINSTANCE module, UINT id, int size = CUiResources::kImageSize) {
    return ImageList_LoadImageA(module, MAKEINTRESOURCEA(id), size, 0, CUiResources::kMaskColour,
                                IMAGE_BITMAP, LR_CREATEDIBSECTION);
}

// Where the list of a size is kept: the 16-pixel list itself, or its slot of the larger ones.
HIMAGELIST* ListOfSize(HIMAGELIST& at16, HIMAGELIST (&larger)[2], int size) {
    switch (size) {
    case 16:
        return &at16;
    case 24:
        return &larger[0];
    case 32:
        return &larger[1];
    default:
        return nullptr;
    }
}

HCURSOR LoadOwnCursor(HINSTANCE module, UINT id, HCURSOR fallback) {
    HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(id));
    return cursor ? cursor : fallback;
}

// A font from the system's description, else the default GUI font (a stock object, which
// DeleteFont leaves alone).
HFONT MakeFont(const LOGFONTA* description, TEXTMETRICA& metrics) {
    HFONT font = description ? CreateFontIndirectA(description) : nullptr;
    if (!font)
        font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    metrics = {};
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, font);
        GetTextMetricsA(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    return font;
}

void DeleteFont(HFONT& font) {
    if (font && font != GetStockObject(DEFAULT_GUI_FONT))
        DeleteObject(font);
    font = nullptr;
}

} // namespace

HBRUSH CreateCheckerBrush(COLORREF even, COLORREF odd) {
    // A packed 8 x 8 32-bit DIB: header, then the rows, bottom row first.
    struct {
        BITMAPINFOHEADER header;
        DWORD pixels[64];
    } dib = {};
    dib.header.biSize = sizeof dib.header;
    dib.header.biWidth = 8;
    dib.header.biHeight = 8;
    dib.header.biPlanes = 1;
    dib.header.biBitCount = 32;
    dib.header.biCompression = BI_RGB;
    auto bgr = [](COLORREF c) {
        return static_cast<DWORD>(GetBValue(c)) | static_cast<DWORD>(GetGValue(c)) << 8 |
               static_cast<DWORD>(GetRValue(c)) << 16;
    };
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            dib.pixels[y * 8 + x] = (x + 7 - y) % 2 == 0 ? bgr(even) : bgr(odd);
    return CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
}

CUiResources& SharedUi() {
    static CUiResources resources;
    return resources;
}

CUiResources::~CUiResources() {
    Release();
}

void CUiResources::ReadPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version)) {
        m_win9x = version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
        m_winNt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
        m_winNt4 = m_winNt && version.dwMajorVersion <= 4;
        m_win2000 = m_winNt && version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
        m_winLater = m_winNt && (version.dwMajorVersion > 5 ||
                                 (version.dwMajorVersion == 5 && version.dwMinorVersion > 0));
    }
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    if (info.dwPageSize)
        m_pageSize = info.dwPageSize;
}

bool CUiResources::Init(HINSTANCE module) {
    Release();
    ReadPlatform();
    m_module = module;
    m_arrow = LoadCursorA(nullptr, IDC_ARROW);
    m_splitH = LoadOwnCursor(module, IDC_SPLIT_H, m_arrow);
    m_splitV = LoadOwnCursor(module, IDC_SPLIT_V, m_arrow);
    m_images = LoadImages(module, IDB_SHARED_IMAGES);
    m_docImages = LoadImages(module, IDB_DOC_IMAGES);
    m_initialised = true;
    const bool colours = RefreshColours();
    const bool fonts = RefreshFonts();
    return colours && fonts;
}

int CUiResources::ImageSizeFor(UINT dpi) {
    const int want = MulDiv(kImageSize, static_cast<int>(dpi ? dpi : 96), 96);
    int best = 16;
    for (int size : {24, 32})
        if (std::abs(size - want) < std::abs(best - want))
            best = size;
    return best;
}

HIMAGELIST CUiResources::Images(int size) {
    HIMAGELIST* list = ListOfSize(m_images, m_imagesAt, size);
    if (!m_initialised || !list)
        return nullptr;
    if (!*list)
        *list =
            LoadImages(m_module, size == 24 ? IDB_SHARED_IMAGES_24 : IDB_SHARED_IMAGES_32, size);
    return *list;
}

HIMAGELIST CUiResources::DocImages(int size) {
    HIMAGELIST* list = ListOfSize(m_docImages, m_docImagesAt, size);
    if (!m_initialised || !list)
        return nullptr;
    if (!*list)
        *list = LoadImages(m_module, size == 24 ? IDB_DOC_IMAGES_24 : IDB_DOC_IMAGES_32, size);
    return *list;
}

bool CUiResources::RefreshColours() {
    m_face = GetSysColor(COLOR_BTNFACE);
    m_faceText = GetSysColor(COLOR_BTNTEXT);
    m_highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    m_shadow = GetSysColor(COLOR_BTNSHADOW);
    m_darkShadow = GetSysColor(COLOR_3DDKSHADOW);
    m_selection = GetSysColor(COLOR_HIGHLIGHT);
    m_selectionText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_window = GetSysColor(COLOR_WINDOW);
    m_windowText = GetSysColor(COLOR_WINDOWTEXT);
    m_grayText = GetSysColor(COLOR_GRAYTEXT);
    // New objects first: a failure keeps the old ones, so nobody draws with a null handle.
    HPEN pen = CreatePen(PS_SOLID, 1, m_faceText);
    HBRUSH brush = CreateCheckerBrush(m_face, m_highlight);
    if (!pen || !brush) {
        if (pen)
            DeleteObject(pen);
        if (brush)
            DeleteObject(brush);
        return false;
    }
    ReleaseColourObjects();
    m_textPen = pen;
    m_ditherBrush = brush;
    return true;
}

bool CUiResources::RefreshFonts() {
    NONCLIENTMETRICSA metrics = {};
    // The size the platform knows: without the padded border width on systems before Vista.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    const bool known = SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    ReleaseFonts();
    m_font = MakeFont(known ? &metrics.lfMenuFont : nullptr, m_fontMetrics);
    m_statusFont = MakeFont(known ? &metrics.lfStatusFont : nullptr, m_statusMetrics);
    return m_font && m_statusFont;
}

void CUiResources::ReleaseColourObjects() {
    if (m_textPen)
        DeleteObject(m_textPen);
    if (m_ditherBrush)
        DeleteObject(m_ditherBrush);
    m_textPen = nullptr;
    m_ditherBrush = nullptr;
}

void CUiResources::ReleaseFonts() {
    DeleteFont(m_font);
    DeleteFont(m_statusFont);
}

void CUiResources::Release() {
    if (!m_initialised)
        return;
    ReleaseColourObjects();
    ReleaseFonts();
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_docImages)
        ImageList_Destroy(m_docImages);
    m_images = nullptr;
    m_docImages = nullptr;
    for (int i = 0; i < 2; ++i) {
        if (m_imagesAt[i])
            ImageList_Destroy(m_imagesAt[i]);
        if (m_docImagesAt[i])
            ImageList_Destroy(m_docImagesAt[i]);
        m_imagesAt[i] = m_docImagesAt[i] = nullptr;
    }
    // Shared cursors from LoadCursor are never destroyed.
    m_arrow = m_splitH = m_splitV = nullptr;
    m_initialised = false;
}
