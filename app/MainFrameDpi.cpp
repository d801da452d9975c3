// The main window moved to a monitor of another density: it takes the size the system
// suggests, every window inside it measures itself for the new density, the document frames
// keep their share of the client area, and the bars take the images made for it.
// Layer: app/.
#include "app/AppMainFrame.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"

#include <vector>

namespace {

// The document frames that are neither maximised nor minimised keep their place and size in
// proportion (the system does not move child windows for a new density).
void ScaleDocumentFrames(HWND client, UINT dpi, UINT oldDpi) {
    if (!client || !oldDpi || dpi == oldDpi)
        return;
    std::vector<HWND> frames;
    for (HWND child = ::GetWindow(client, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        frames.push_back(child);
    for (HWND frame : frames) {
        if (::IsZoomed(frame) || ::IsIconic(frame) || ::GetWindow(frame, GW_OWNER))
            continue;
        RECT rc;
        ::GetWindowRect(frame, &rc);
        ::MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&rc), 2);
        auto scale = [dpi, oldDpi](LONG v) {
            return MulDiv(v, static_cast<int>(dpi), static_cast<int>(oldDpi));
        };
        ::SetWindowPos(frame, nullptr, scale(rc.left), scale(rc.top), scale(rc.right - rc.left),
                       scale(rc.bottom - rc.top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace

LRESULT CAppMainFrame::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT dpi = HIWORD(wParam);
    const UINT oldDpi = FxDpiOf(m_hWnd);
    if (!dpi)
        return 0;
    ApplyDpiChange(dpi, reinterpret_cast<const RECT*>(lParam));
    ScaleDocumentFrames(m_hWndMDIClient, dpi, oldDpi);
    // The shared image lists may have been made again for the new density: the switch bar
    // and the toolbar take them anew (the toolbar's buttons follow its images' size).
    const int image = CUiResources::ImageSizeFor(dpi);
    m_switch.SetImageList(SharedUi().DocImages(image), SIZE{image, image});
    ApplyToolbarLayout();
    RecalcLayout();
    return 0;
}
