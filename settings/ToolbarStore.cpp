// The standard toolbar's button table, default layout, and its layout in SETTINGS.INI.
// Layer: settings/.
#include "settings/IniCodec.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"
#include "common/UiResources.h"

#include <commctrl.h>

#include <cstring>

namespace {

const ToolbarButton kButtons[ToolbarButtonSet::kButtonCount] = {
    {0, 255, 1, 0},    {57600, 0, 0, 0},  {57601, 1, 0, 0},  {57603, 3, 0, 0},  {35122, 2, 0, 0},
    {35120, 4, 0, 0},  {57609, 5, 0, 0},  {57607, 6, 0, 0},  {57634, 7, 0, 0},  {57635, 8, 0, 0},
    {57637, 9, 0, 0},  {57632, 10, 0, 0}, {57643, 11, 0, 0}, {57644, 12, 0, 0}, {35420, 13, 0, 0},
    {35423, 14, 0, 0}, {35422, 15, 0, 0}, {35421, 16, 0, 0}, {35424, 17, 0, 0}, {35425, 18, 0, 0},
    {35426, 19, 0, 0}, {35428, 20, 0, 0}, {35427, 21, 0, 0}, {35429, 22, 0, 0}, {57650, 23, 0, 0},
    {57651, 24, 0, 0}, {57652, 25, 0, 0}, {57653, 26, 0, 0}, {35329, 27, 0, 0}, {35328, 28, 0, 0},
    {35330, 29, 0, 0}, {35331, 30, 0, 0}, {35327, 31, 0, 0}, {35322, 32, 0, 0}, {35324, 33, 0, 0},
    {35527, 34, 0, 0}, {35620, 35, 0, 0}, {35820, 36, 0, 0},
};

const uint8_t kDefaultLayout[ToolbarButtonSet::kDefaultLayoutCount] = {
    0,   1,  3,  4,  255, 5,   6,  255, 8,  7,  9,   10, 255, 11, 12,
    255, 13, 16, 17, 18,  255, 19, 21,  20, 22, 255, 28, 27,  29, 30,
    255, 23, 24, 25, 26,  255, 31, 34,  32, 33, 255, 35, 255, 36};

const char kSection[] = "ToolBars";

} // namespace

ToolbarButtonSet::ToolbarButtonSet() : buttons(kButtons), defaultLayout(kDefaultLayout) {
    std::memset(layout, 0, sizeof layout);
}

const ToolbarButton* SettingsStore::ButtonByCommand(UINT command) const {
    for (const ToolbarButton& b : kButtons) {
        if (b.command == command && b.image != 255)
            return &b;
    }
    return nullptr;
}

const ToolbarButton* SettingsStore::ButtonByImage(int image) const {
    for (const ToolbarButton& b : kButtons) {
        if (b.image == image)
            return &b;
    }
    return nullptr;
}

void SettingsStore::SetToolbarLayout(const uint8_t* layout, int count) {
    if (count < 0)
        count = 0;
    if (count > 255)
        count = 255;
    if (count)
        std::memcpy(m_toolbar.layout, layout, static_cast<size_t>(count));
    m_toolbar.layoutCount = count;
    m_toolbar.loaded = true;
    m_toolbar.dirty = true;
}

void SettingsStore::LoadToolbar() {
    std::string text = ReadString(IniSettings, kSection, m_toolbar.key);
    m_toolbar.layoutCount = 0;
    if (text.empty()) {
        std::memcpy(m_toolbar.layout, kDefaultLayout, sizeof kDefaultLayout);
        m_toolbar.layoutCount = ToolbarButtonSet::kDefaultLayoutCount;
    } else if (lstrcmpiA(text.c_str(), "empty") != 0) {
        for (int v : NumberList::Parse(text.c_str())) {
            if (m_toolbar.layoutCount >= 255 || v < 0 || v > 255 || !ButtonByImage(v))
                break;
            m_toolbar.layout[m_toolbar.layoutCount++] = static_cast<uint8_t>(v);
        }
    }
    m_toolbar.loaded = true;
    m_toolbar.dirty = false;
}

void SettingsStore::SaveToolbar() {
    if (!m_toolbar.dirty)
        return;
    std::vector<int> values(m_toolbar.layout, m_toolbar.layout + m_toolbar.layoutCount);
    WriteString(IniSettings, kSection, m_toolbar.key,
                values.empty() ? "empty" : NumberList::Format(values).c_str());
    m_toolbar.dirty = false;
}

HIMAGELIST SettingsStore::ToolbarImages(bool hot, int size) {
    int at = size == 24 ? 1 : size == 32 ? 2 : 0;
    static const UINT kBitmaps[3] = {IDB_TOOLBAR, IDB_TOOLBAR_24, IDB_TOOLBAR_32};
    static const int kSizes[3] = {16, 24, 32};
    HIMAGELIST& il = m_toolbar.images[at][hot ? 1 : 0];
    if (!il)
        il = ImageList_LoadImageA(m_resources, MAKEINTRESOURCEA(kBitmaps[at]), kSizes[at], 0,
                                  RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return il;
}

bool SettingsStore::ApplyToolbarLayout(HWND toolbar, const uint8_t* layout, int count, UINT dpi) {
    if (count >= 256 || count < 0)
        return false;
    // The images drawn for the density, on buttons keeping their margins around them.
    const int image = CUiResources::ImageSizeFor(dpi);
    const int scale = dpi ? static_cast<int>(dpi) : 96;
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(image, image));
    SendMessageA(
        toolbar, TB_SETBUTTONSIZE, 0,
        MAKELPARAM(image + MulDiv(m_toolbar.buttonWidth - m_toolbar.imageWidth, scale, 96),
                   image + MulDiv(m_toolbar.buttonHeight - m_toolbar.imageHeight, scale, 96)));
    if (HIMAGELIST il = ToolbarImages(false, image))
        SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(il));
    std::vector<TBBUTTON> buttons;
    for (int i = 0; i < count; ++i) {
        const ToolbarButton* b = ButtonByImage(layout[i]);
        if (!b)
            continue;
        TBBUTTON t;
        std::memset(&t, 0, sizeof t);
        t.iBitmap = b->image == 255 ? 6 : b->image;
        t.idCommand = static_cast<int>(b->command);
        t.fsState = TBSTATE_ENABLED;
        t.fsStyle = b->style;
        t.dwData = 0;
        t.iString = -1;
        buttons.push_back(t);
    }
    for (LRESULT n = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0); n > 0; --n)
        SendMessageA(toolbar, TB_DELETEBUTTON, static_cast<WPARAM>(n - 1), 0);
    if (!buttons.empty())
        SendMessageA(toolbar, TB_ADDBUTTONSA, buttons.size(),
                     reinterpret_cast<LPARAM>(buttons.data()));
    return true;
}
