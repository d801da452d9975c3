// CDlgAsToolbar. Layer: dialogs/.
#include "dialogs/DlgAsToolbar.h"

#include "settings/SettingsStore.h"
#include "dialogs/CommandCatalogue.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/ResourceText.h"

#include <commctrl.h>

#include <cstring>

BEGIN_MESSAGE_MAP(CDlgAsToolbar, CDlgAsBase)
ON_BN_CLICKED(IDC_TB_ADD, OnAdd)
ON_BN_CLICKED(IDC_TB_SEP, OnSeparator)
ON_BN_CLICKED(IDC_TB_DEL, OnDelete)
ON_BN_CLICKED(IDC_TB_UP, OnUp)
ON_BN_CLICKED(IDC_TB_DN, OnDown)
ON_BN_CLICKED(IDC_TB_DEFAULT, OnDefault)
ON_LBN_SELCHANGE(IDC_TB_LAYOUT, OnLayoutSelect)
END_MESSAGE_MAP()

namespace {

UINT DragListMessage() {
    static const UINT message = RegisterWindowMessageA(DRAGLISTMSGSTRING);
    return message;
}

std::string ButtonText(const ToolbarButton* b) {
    if (!b || b->image == 255)
        return AfxLoadString(IDS_TB_SEPARATOR);
    return CommandShortName(b->command);
}

} // namespace

CDlgAsToolbar::CDlgAsToolbar(CWnd* frame) : CDlgAsBase(IDD_AS_TOOLBAR, frame) {}

bool CDlgAsToolbar::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    HWND bar = GetDlgItem(IDC_TB_BAR);
    ::SendMessageA(bar, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(AfxLoadString(IDS_TB_BAR_STANDARD).c_str()));
    ::SendMessageA(bar, CB_SETCURSEL, 0, 0);
    SettingsStore* s = Store();
    HWND available = GetDlgItem(IDC_TB_AVAILABLE);
    std::vector<uint8_t> layout;
    if (s) {
        const ToolbarButtonSet& set = s->Toolbar();
        for (int i = 0; i < ToolbarButtonSet::kButtonCount; ++i) {
            const ToolbarButton& b = set.buttons[i];
            if (b.image == 255)
                continue;
            const LRESULT at = ::SendMessageA(available, LB_ADDSTRING, 0,
                                              reinterpret_cast<LPARAM>(ButtonText(&b).c_str()));
            ::SendMessageA(available, LB_SETITEMDATA, static_cast<WPARAM>(at), b.image);
        }
        if (!set.loaded)
            s->LoadToolbar();
        layout.assign(set.layout, set.layout + set.layoutCount);
    }
    ::SendMessageA(available, LB_SETCURSEL, 0, 0);
    FillLayout(layout, -1);
    MakeDragList(GetDlgItem(IDC_TB_LAYOUT));
    m_loading = false;
    return true;
}

std::vector<uint8_t> CDlgAsToolbar::Layout() const {
    std::vector<uint8_t> layout;
    HWND list = GetDlgItem(IDC_TB_LAYOUT);
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && layout.size() < 255; ++i) {
        const LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (data != kEndEntry)
            layout.push_back(static_cast<uint8_t>(data));
    }
    return layout;
}

void CDlgAsToolbar::FillLayout(const std::vector<uint8_t>& layout, int select) {
    SettingsStore* s = Store();
    HWND list = GetDlgItem(IDC_TB_LAYOUT);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (uint8_t image : layout) {
        const ToolbarButton* b = s ? s->ButtonByImage(image) : nullptr;
        const LRESULT at =
            ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ButtonText(b).c_str()));
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), image);
    }
    if (!layout.empty()) {
        const LRESULT at = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
        ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), kEndEntry);
    }
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    UpdateButtons();
}

int CDlgAsToolbar::LayoutSelection() const {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_TB_LAYOUT), LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void CDlgAsToolbar::UpdateButtons() {
    const int count =
        static_cast<int>(::SendMessageA(GetDlgItem(IDC_TB_LAYOUT), LB_GETCOUNT, 0, 0));
    EnableItem(IDC_TB_DEL, count >= 2);
    EnableItem(IDC_TB_UP, count >= 2);
    EnableItem(IDC_TB_DN, count >= 2);
}

void CDlgAsToolbar::OnLayoutSelect() {
    UpdateButtons();
}

void CDlgAsToolbar::Insert(int image) {
    std::vector<uint8_t> layout = Layout();
    if (layout.size() >= 255)
        return;
    int at = LayoutSelection();
    if (at < 0 || at > static_cast<int>(layout.size()))
        at = static_cast<int>(layout.size());
    layout.insert(layout.begin() + at, static_cast<uint8_t>(image));
    FillLayout(layout, at + 1);
    SetModified(true);
}

void CDlgAsToolbar::OnAdd() {
    HWND available = GetDlgItem(IDC_TB_AVAILABLE);
    const LRESULT sel = ::SendMessageA(available, LB_GETCURSEL, 0, 0);
    if (sel == LB_ERR)
        return;
    Insert(
        static_cast<int>(::SendMessageA(available, LB_GETITEMDATA, static_cast<WPARAM>(sel), 0)));
}

void CDlgAsToolbar::OnSeparator() {
    Insert(255);
}

void CDlgAsToolbar::OnDelete() {
    std::vector<uint8_t> layout = Layout();
    int sel = LayoutSelection();
    if (sel < 0 || layout.empty())
        return;
    if (sel >= static_cast<int>(layout.size()))
        sel = static_cast<int>(layout.size()) - 1; // the end entry: the one before it
    layout.erase(layout.begin() + sel);
    FillLayout(layout, layout.empty() ? -1 : sel);
    SetModified(true);
}

void CDlgAsToolbar::Move(int from, int to) {
    std::vector<uint8_t> layout = Layout();
    const int count = static_cast<int>(layout.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    const uint8_t image = layout[static_cast<size_t>(from)];
    layout.erase(layout.begin() + from);
    layout.insert(layout.begin() + to, image);
    FillLayout(layout, to);
    SetModified(true);
}

void CDlgAsToolbar::OnUp() {
    const int sel = LayoutSelection();
    Move(sel, sel - 1);
}

void CDlgAsToolbar::OnDown() {
    const int sel = LayoutSelection();
    Move(sel, sel + 1);
}

void CDlgAsToolbar::OnDefault() {
    SettingsStore* s = Store();
    if (!s)
        return;
    const ToolbarButtonSet& set = s->Toolbar();
    FillLayout(std::vector<uint8_t>(set.defaultLayout,
                                    set.defaultLayout + ToolbarButtonSet::kDefaultLayoutCount),
               -1);
    SetModified(true);
}

// Dragging an entry of the layout list moves it before the entry it is dropped on.
LRESULT CDlgAsToolbar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == DragListMessage() && wParam == IDC_TB_LAYOUT) {
        const DRAGLISTINFO* info = reinterpret_cast<const DRAGLISTINFO*>(lParam);
        const int over = LBItemFromPt(info->hWnd, info->ptCursor, TRUE);
        const int count = static_cast<int>(::SendMessageA(info->hWnd, LB_GETCOUNT, 0, 0));
        LRESULT answer = 0;
        switch (info->uNotification) {
        case DL_BEGINDRAG:
            m_dragFrom = over;
            answer = over >= 0 && over < count - 1 ? TRUE : FALSE;
            break;
        case DL_DRAGGING:
            DrawInsert(m_hWnd, info->hWnd, over);
            answer = over >= 0 ? DL_MOVECURSOR : DL_STOPCURSOR;
            break;
        case DL_DROPPED:
            DrawInsert(m_hWnd, info->hWnd, -1);
            if (m_dragFrom >= 0 && over >= 0) {
                int to = over > m_dragFrom ? over - 1 : over;
                if (to > count - 2)
                    to = count - 2;
                Move(m_dragFrom, to);
            }
            m_dragFrom = -1;
            break;
        case DL_CANCELDRAG:
            DrawInsert(m_hWnd, info->hWnd, -1);
            m_dragFrom = -1;
            break;
        default:
            break;
        }
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, answer);
        return answer;
    }
    return CDlgAsBase::WindowProc(message, wParam, lParam);
}

void CDlgAsToolbar::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    const std::vector<uint8_t> layout = Layout();
    ToolbarButtonSet& set = s->Toolbar();
    if (static_cast<int>(layout.size()) == set.layoutCount &&
        (layout.empty() || std::memcmp(layout.data(), set.layout, layout.size()) == 0))
        return;
    s->SetToolbarLayout(layout.data(), static_cast<int>(layout.size()));
    if (ISettingsHost* host = Host())
        host->ApplyToolbarLayout();
    s->SaveToolbar();
}
