// CDlgAsBase and the shared validation of numeric fields. Layer: dialogs/.
#include "dialogs/DlgAsBase.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgAsFrame.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CDlgAsBase, CDlgBase)

CDlgAsBase::CDlgAsBase(UINT idTemplate, CWnd* frame)
    : CDlgBase(idTemplate, frame), m_frame(frame) {}

bool CDlgAsBase::CreatePage(CWnd* parent, const RECT& rc) {
    m_loading = true;
    const bool made = Create(m_nIDTemplate, parent);
    m_loading = false;
    if (!made)
        return false;
    // A control's position and width are rounded from dialog units to pixels each on its own,
    // so a control that reaches the template's edge can end a pixel past the page (and past the
    // place, which the frame rounds in its own units): the page grows to hold its controls.
    LONG width = rc.right - rc.left, height = rc.bottom - rc.top;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT c = {};
        ::GetWindowRect(child, &c);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&c), 2);
        width = std::max(width, c.right);
        height = std::max(height, c.bottom);
    }
    ::SetWindowPos(m_hWnd, HWND_TOP, rc.left, rc.top, width, height, SWP_NOACTIVATE);
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    return true;
}

void CDlgAsBase::OnPageApply() {
    if (!m_modified)
        return;
    StoreValues();
    m_modified = false;
}

void CDlgAsBase::OnOK() {
    OnPageApply();
}

void CDlgAsBase::SetModified(bool modified) {
    m_modified = modified;
    if (modified)
        if (CDlgAsFrame* frame = dynamic_cast<CDlgAsFrame*>(m_frame))
            frame->OnPageModified();
}

bool CDlgAsBase::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT code = HIWORD(wParam);
    if (!m_loading && lParam) {
        char cls[16] = "";
        ::GetClassNameA(reinterpret_cast<HWND>(lParam), cls, sizeof cls);
        const bool edit = lstrcmpiA(cls, "Edit") == 0 && code == EN_CHANGE;
        const bool combo =
            lstrcmpiA(cls, "ComboBox") == 0 && (code == CBN_EDITCHANGE || code == CBN_SELCHANGE);
        const LONG style = ::GetWindowLongA(reinterpret_cast<HWND>(lParam), GWL_STYLE);
        const LONG kind = style & BS_TYPEMASK;
        const bool option = lstrcmpiA(cls, "Button") == 0 && code == BN_CLICKED &&
                            (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON ||
                             kind == BS_CHECKBOX || kind == BS_RADIOBUTTON);
        if (edit || combo || option)
            SetModified(true);
    }
    // Enter inside a page does nothing; Escape cancels the whole dialog.
    if (LOWORD(wParam) == IDOK && code == BN_CLICKED)
        return true;
    if (LOWORD(wParam) == IDCANCEL && code == BN_CLICKED) {
        if (m_frame && m_frame->m_hWnd)
            m_frame->PostMessage(WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    return CDlgBase::OnCommand(wParam, lParam);
}

SettingsStore* CDlgAsBase::Store() const {
    return GetSettings();
}

ISettingsHost* CDlgAsBase::Host() const {
    CDlgAsFrame* frame = dynamic_cast<CDlgAsFrame*>(m_frame);
    return frame ? frame->Host() : nullptr;
}

bool CDlgAsBase::FocusControl(UINT id) {
    if (!GetDlgItem(static_cast<int>(id)))
        return false;
    FocusItem(static_cast<int>(id));
    return true;
}

void CDlgAsBase::FocusItem(int id) {
    HWND item = GetDlgItem(id);
    if (!item)
        return;
    ::SetFocus(item);
    ::SendMessageA(item, EM_SETSEL, 0, -1);
}

void CDlgAsBase::SetItemInt(int id, int value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    const bool loading = m_loading;
    m_loading = true;
    SetItemText(id, text);
    m_loading = loading;
}

void CDlgAsBase::SetItemReal(int id, double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    const bool loading = m_loading;
    m_loading = true;
    SetItemText(id, text);
    m_loading = loading;
}

bool CDlgAsBase::ValidateInt(int id, int min, int max, UINT msgId, int* value) {
    const std::string text = ItemText(id);
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    const bool number = end != text.c_str() && errno == 0;
    if (number && v >= min && v <= max) {
        *value = static_cast<int>(v);
        return true;
    }
    const int reset = !number ? min : v < min ? min : max;
    AfxMessageBox(AfxFormat(AfxLoadString(msgId).c_str(), min, max).c_str(),
                  MB_OK | MB_ICONINFORMATION);
    SetItemInt(id, reset);
    *value = reset;
    FocusItem(id);
    return false;
}

bool CDlgAsBase::ValidateUInt(int id, unsigned min, unsigned max, UINT msgId, unsigned* value) {
    const std::string text = ItemText(id);
    const char* p = text.c_str();
    while (*p == ' ')
        ++p;
    char* end = nullptr;
    errno = 0;
    const unsigned long v = *p == '-' ? 0 : std::strtoul(p, &end, 10);
    const bool number = *p != '-' && end && end != p && errno == 0;
    if (number && v >= min && v <= max) {
        *value = static_cast<unsigned>(v);
        return true;
    }
    const unsigned reset = !number ? min : v < min ? min : max;
    AfxMessageBox(
        AfxFormat(AfxLoadString(msgId).c_str(), static_cast<int>(min), static_cast<int>(max))
            .c_str(),
        MB_OK | MB_ICONINFORMATION);
    SetItemInt(id, static_cast<int>(reset));
    *value = reset;
    FocusItem(id);
    return false;
}

bool CDlgAsBase::ValidateReal(int id, double min, double max, UINT msgId, double* value) {
    const std::string text = ItemText(id);
    bool number = !text.empty() && std::strspn(text.c_str(), "0123456789+-.") == text.size();
    double v = 0;
    if (number)
        number = std::sscanf(text.c_str(), "%lf", &v) == 1;
    if (number && v >= min && v <= max) {
        *value = v;
        return true;
    }
    const double reset = !number ? min : v < min ? min : max;
    AfxMessageBox(AfxFormat(AfxLoadString(msgId).c_str(), min, max).c_str(),
                  MB_OK | MB_ICONINFORMATION);
    SetItemReal(id, reset);
    *value = reset;
    FocusItem(id);
    return false;
}
