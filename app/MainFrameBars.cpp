// The main frame's bar table: the five bars created in table order from their saved
// "ControlBars" records, docked where they were, saved at exit, shown and hidden by the View
// commands; the toolbar with its stored layout and the document switch bar. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/CommandIds.h"
#include "app/FileTreeHost.h"
#include "app/ShellIds.h"
#include "common/UiResources.h"
#include "settings/IniCodec.h"
#include "settings/SettingsIds.h"
#include "framework/CmdUI.h"
#include "framework/DockBar.h"
#include "framework/Dpi.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kBarSection[] = "ControlBars";
// A saved size beyond this is taken for damage, not for a bar.
const int kMaxBarExtent = 8192;

struct BarDescriptor {
    UINT id;
    UINT titleId;    // 0: none
    DWORD dockSides; // CBRS_ALIGN_ sides it may dock to
    DWORD defaultSide;
    SIZE defaultSize; // {0, 0}: none
    bool dockable;
    bool visible;
};

const BarDescriptor kBarTable[CAppMainFrame::kBarCount] = {
    {0xE8FE, 5304, CBRS_ALIGN_ANY, CBRS_ALIGN_TOP, {0, 0}, true, true},
    {0xE8FD, IDS_BAR_WORKSPACE, CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT, {150, 300}, true, true},
    {0xE8FC, IDS_BAR_OUTPUT, CBRS_ALIGN_ANY, CBRS_ALIGN_BOTTOM, {300, 100}, true, true},
    {0xE8FB, 5305, CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM, CBRS_ALIGN_BOTTOM, {0, 0}, true, true},
    {AFX_IDW_STATUS_BAR,
     0,
     CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM,
     CBRS_ALIGN_BOTTOM,
     {0, 0},
     false,
     true},
};

DWORD SideOfDockBar(UINT id) {
    switch (id) {
    case AFX_IDW_DOCKBAR_TOP:
        return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_LEFT:
        return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
        return CBRS_ALIGN_RIGHT;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return CBRS_ALIGN_BOTTOM;
    default:
        return 0;
    }
}

// The alignment with the border on the side facing the documents.
DWORD AlignmentStyle(DWORD side) {
    switch (side) {
    case CBRS_ALIGN_TOP:
        return CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
    case CBRS_ALIGN_LEFT:
        return CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
    case CBRS_ALIGN_RIGHT:
        return CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
    default:
        return CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
    }
}

RECT DefaultRect(const BarDescriptor& d) {
    return {-1, -1, d.defaultSize.cx, d.defaultSize.cy};
}

// The records keep the bars' rectangles at 96 DPI, so that a bar keeps the size the user gave
// it on a monitor of another density (and the records of older runs keep their meaning).
// The corner and the size are scaled each on its own, so that the size comes back whole.
RECT ScaledRect(const RECT& rc, UINT dpi) {
    const int left = FxScale(rc.left, dpi), top = FxScale(rc.top, dpi);
    return {left, top, left + FxScale(rc.right - rc.left, dpi),
            top + FxScale(rc.bottom - rc.top, dpi)};
}

RECT UnscaledRect(const RECT& rc, UINT dpi) {
    const int left = FxUnscale(rc.left, dpi), top = FxUnscale(rc.top, dpi);
    return {left, top, left + FxUnscale(rc.right - rc.left, dpi),
            top + FxUnscale(rc.bottom - rc.top, dpi)};
}

} // namespace

CControlBar* CAppMainFrame::BarOfEntry(int entry) {
    switch (entry) {
    case kBarWorkspace:
        return &m_workspaceBar;
    case kBarOutput:
        return &m_outputBar;
    case kBarStatus:
        return &m_status;
    case kBarToolbar:
        return &m_toolbar;
    case kBarSwitch:
        return &m_switch;
    default:
        return nullptr;
    }
}

void CAppMainFrame::ReadBarTable() {
    SettingsStore* settings = AppSettings();
    const UINT dpi = FxDpiOf(m_hWnd);
    for (int i = 0; i < kBarCount; ++i) {
        const BarDescriptor& d = kBarTable[i];
        BarEntry& entry = m_barTable[i];
        entry.visible = d.visible;
        entry.dockBarId = 0;
        entry.rect = ScaledRect(DefaultRect(d), dpi);
        if (!settings)
            continue;
        char key[8];
        std::snprintf(key, sizeof key, "%02d", i);
        const std::string text = settings->ReadString(IniSettings, kBarSection, key, "");
        if (text.empty())
            continue;
        entry.visible = FieldRecord::GetBool(text.c_str(), "Visible", d.visible);
        if (!d.dockable)
            continue;
        const int id = FieldRecord::GetInt(text.c_str(), "ID", 0);
        // Only the four dock sides come back; a bar that floated returns to its default.
        const DWORD side = SideOfDockBar(static_cast<UINT>(id));
        if (side && (side & d.dockSides))
            entry.dockBarId = static_cast<UINT>(id);
        RECT rc;
        rc.left = FieldRecord::GetInt(text.c_str(), "Left", -1);
        rc.top = FieldRecord::GetInt(text.c_str(), "Top", -1);
        rc.right = FieldRecord::GetInt(text.c_str(), "Right", d.defaultSize.cx);
        rc.bottom = FieldRecord::GetInt(text.c_str(), "Bottom", d.defaultSize.cy);
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        const bool sane = rc.right >= rc.left && rc.bottom >= rc.top && w <= kMaxBarExtent &&
                          h <= kMaxBarExtent && std::abs(rc.left) <= 4 * kMaxBarExtent &&
                          std::abs(rc.top) <= 4 * kMaxBarExtent;
        if (!sane) {
            entry.dockBarId = 0;
            entry.rect = ScaledRect(DefaultRect(d), dpi);
            entry.visible = true;
            continue;
        }
        // A docked bar lies inside the frame wherever its rectangle was: the rectangle only
        // orders the bars of a side. A bar that floated docks at its default side, so no
        // record can put a bar off the screens.
        entry.rect = ScaledRect(rc, dpi);
    }
}

bool CAppMainFrame::CreateBars() {
    // The file tree page may be made with the workspace bar: it needs its host first.
    m_workspaceBar.FileTree().SetHost(&AppFileTreeHost());
    SetFileTreeDrives(&m_workspaceBar.FileTree());
    const UINT dpi = FxDpiOf(m_hWnd);
    const int least = FxScale(32, dpi), most = FxScale(kMaxBarExtent, dpi);
    for (int i = 0; i < kBarCount; ++i) {
        const BarDescriptor& d = kBarTable[i];
        BarEntry& entry = m_barTable[i];
        DWORD side = SideOfDockBar(entry.dockBarId);
        if (!side) {
            side = d.defaultSide;
            entry.dockBarId = 0;
        }
        const DWORD visible = entry.visible ? WS_VISIBLE : 0;
        const std::string title = d.titleId ? AfxLoadString(d.titleId) : std::string();
        // A sizing bar starts at its saved size, within reason.
        const int cx = std::clamp<int>(entry.rect.right - entry.rect.left, least, most);
        const int cy = std::clamp<int>(entry.rect.bottom - entry.rect.top, least, most);
        const DWORD style = AlignmentStyle(side) | visible | 0x42400004;
        switch (i) {
        case kBarWorkspace:
            if (!m_workspaceBar.Create(this, d.id, title.c_str(), cx, cy, 0, style))
                return false;
            break;
        case kBarOutput:
            if (!m_outputBar.Create(this, d.id, title.c_str(), cx, cy, FXCB_FITCHILD, style))
                return false;
            // The output window takes the place of the bar's empty container; the channels
            // write into its panes.
            m_outputWindow.SetChannels(this);
            m_outputWindow.SetHost(this);
            if (!m_outputWindow.Create(&m_outputBar))
                return false;
            m_outputBar.SetContainer(m_outputWindow.m_hWnd);
            SetOutputPanes(&m_outputWindow);
            break;
        case kBarStatus:
            if (!m_status.Create(this, WS_CHILD | visible | CBRS_ALIGN_BOTTOM, d.id) ||
                !m_status.SetIndicators(kIndicators, 7))
                return false;
            break;
        case kBarToolbar:
            if (!CreateToolBar(AlignmentStyle(side), entry.visible))
                return false;
            break;
        case kBarSwitch:
            if (!CreateSwitchBar(WS_CHILD | visible | AlignmentStyle(side)))
                return false;
            break;
        default:
            break;
        }
        CControlBar* bar = BarOfEntry(i);
        if (!bar)
            continue;
        if (!bar->m_hWnd)
            return false;
        if (d.dockable)
            bar->EnableDocking(d.dockSides);
    }
    EnableDocking(CBRS_ALIGN_ANY);
    for (int i = 0; i < kBarCount; ++i) {
        CControlBar* bar = BarOfEntry(i);
        const BarEntry& entry = m_barTable[i];
        if (!bar || !kBarTable[i].dockable)
            continue;
        if (entry.dockBarId) {
            RECT screen = entry.rect;
            ClientToScreen(&screen);
            DockControlBar(bar, entry.dockBarId, &screen);
        } else {
            DockControlBar(bar);
        }
    }
    return true;
}

void CAppMainFrame::SaveBarTable() {
    if (m_barsSaved)
        return;
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    m_barsSaved = true;
    SavePlacement();
    const UINT dpi = FxDpiOf(m_hWnd);
    for (int i = 0; i < kBarCount; ++i) {
        CControlBar* bar = BarOfEntry(i);
        if (!bar || !bar->m_hWnd)
            continue;
        // In full screen the bars' own state is the one before it.
        const bool visible = m_fullScreen ? m_barTable[i].visible : bar->IsVisible();
        FieldRecord record;
        record.Add("Visible", visible ? 1 : 0);
        if (bar->m_pDockBar && bar->m_pDockBar->m_hWnd) {
            RECT rc;
            bar->GetWindowRect(&rc);
            ScreenToClient(&rc);
            rc = UnscaledRect(rc, dpi);
            record.Add("ID", bar->m_pDockBar->GetDlgCtrlID())
                .Add("Left", rc.left)
                .Add("Top", rc.top)
                .Add("Right", rc.right)
                .Add("Bottom", rc.bottom);
        }
        char key[8];
        std::snprintf(key, sizeof key, "%02d", i);
        settings->WriteString(IniSettings, kBarSection, key, record.Text().c_str());
    }
}

// --- View commands ---------------------------------------------------------------------------

namespace {

int EntryOfCommand(UINT id) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
        return CAppMainFrame::kBarToolbar;
    case ID_VIEW_WORKSPACE:
        return CAppMainFrame::kBarWorkspace;
    case ID_VIEW_SWITCHBAR:
        return CAppMainFrame::kBarSwitch;
    case ID_VIEW_OUTPUT:
        return CAppMainFrame::kBarOutput;
    default:
        return -1;
    }
}

} // namespace

void CAppMainFrame::OnViewBar(UINT id) {
    const int entry = EntryOfCommand(id);
    CControlBar* bar = entry >= 0 ? BarOfEntry(entry) : nullptr;
    if (bar && bar->m_hWnd)
        ShowControlBar(bar, !bar->IsVisible(), false);
}

void CAppMainFrame::OnUpdateViewBar(CCmdUI* cmdUI) {
    const int entry = EntryOfCommand(cmdUI->m_nID);
    CControlBar* bar = entry >= 0 ? BarOfEntry(entry) : nullptr;
    cmdUI->Enable(bar && bar->m_hWnd);
    cmdUI->SetCheck(bar && bar->m_hWnd && bar->IsVisible() ? 1 : 0);
}

void CAppMainFrame::ShowWorkspacePage(UINT pageId) {
    if (!m_workspaceBar.m_hWnd)
        return;
    m_workspaceBar.SelectPage(pageId);
    if (!m_workspaceBar.IsVisible())
        ShowControlBar(&m_workspaceBar, true, false);
}

void CAppMainFrame::OnViewFileTree() {
    ShowWorkspacePage(CWorkspaceBar::kFileTreePage);
}

void CAppMainFrame::OnViewClipText() {
    ShowWorkspacePage(CWorkspaceBar::kClipTextPage);
}

void CAppMainFrame::OnUpdateViewPage(CCmdUI* cmdUI) {
    const UINT page = cmdUI->m_nID == ID_VIEW_FILETREE ? CWorkspaceBar::kFileTreePage
                                                       : CWorkspaceBar::kClipTextPage;
    cmdUI->SetCheck(m_workspaceBar.m_hWnd && m_workspaceBar.IsPageVisible(page) ? 1 : 0);
}

bool CAppMainFrame::CreateToolBar(DWORD alignment, bool visible) {
    if (!m_toolbar.Create(this, alignment, visible))
        return false;
    m_toolbar.SetWindowText(AfxLoadString(IDS_TOOLBAR_STANDARD).c_str());
    if (SettingsStore* settings = AppSettings()) {
        ToolbarButtonSet& set = settings->Toolbar();
        if (!set.loaded)
            settings->LoadToolbar();
        settings->ApplyToolbarLayout(m_toolbar.m_hWnd, set.layout, set.layoutCount,
                                     FxDpiOf(m_hWnd));
    }
    m_toolbar.OnButtonsReplaced();
    return m_toolbar.m_hWnd != nullptr;
}

bool CAppMainFrame::CreateSwitchBar(DWORD style) {
    if (!m_switch.Create(this, CBarSwitch::kBarId, style))
        return false;
    m_switch.SetWindowText(AfxLoadString(IDS_SWITCHBAR_TITLE).c_str());
    const int image = CUiResources::ImageSizeFor(FxDpiOf(m_hWnd));
    m_switch.SetImageList(SharedUi().DocImages(image), SIZE{image, image});
    return m_switch.m_hWnd != nullptr;
}
