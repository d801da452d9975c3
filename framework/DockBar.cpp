// CDockBar. Layer: framework/.
#include "framework/DockBar.h"

#include "framework/FrameWnd.h"
#include "framework/FwIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

// Neighbouring bars in a row overlap by this much, and so do neighbouring rows: the bars'
// own borders then draw one line between them.
const int kOverlap = 2;

} // namespace

CDockBar::CDockBar(bool floating) : m_bFloating(floating) {
    SetBorders(0, 0, 0, 0);
    m_arrBars.push_back(nullptr);
    m_bAutoDelete = true;
}

CDockBar::~CDockBar() = default;

bool CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT rc = {0, 0, 0, 0};
    DWORD windowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!CreateEx(0, cls, nullptr, windowStyle, rc, parent, id))
        return false;
    if (!m_bFloating)
        if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(parent))
            frame->AddControlBar(this);
    return true;
}

int CDockBar::FindBar(const CControlBar* bar) const {
    for (size_t i = 0; i < m_arrBars.size(); ++i)
        if (m_arrBars[i] == bar)
            return static_cast<int>(i);
    return -1;
}

void CDockBar::GetRowRange(int index, int* first, int* end) const {
    const int n = static_cast<int>(m_arrBars.size());
    int a = index;
    while (a > 0 && m_arrBars[a - 1])
        --a;
    int b = index;
    while (b < n && m_arrBars[b])
        ++b;
    *first = a;
    *end = b;
}

int CDockBar::GetVisibleBarCount() const {
    int count = 0;
    for (CControlBar* bar : m_arrBars)
        if (bar && bar->IsVisible())
            ++count;
    return count;
}

void CDockBar::InsertRowBreak(int index) {
    if (index <= 0 || index >= static_cast<int>(m_arrBars.size()))
        return;
    if (!m_arrBars[index - 1] || !m_arrBars[index])
        return;
    m_arrBars.insert(m_arrBars.begin() + index, nullptr);
}

void CDockBar::Normalise() {
    std::vector<CControlBar*> tidy;
    tidy.push_back(nullptr);
    for (CControlBar* bar : m_arrBars) {
        if (bar || tidy.back())
            tidy.push_back(bar);
    }
    if (tidy.back())
        tidy.push_back(nullptr);
    m_arrBars.swap(tidy);
}

int CDockBar::InsertPosition(const RECT& rc) const {
    const bool horz = IsHorz();
    const int mid = horz ? (rc.top + rc.bottom) / 2 : (rc.left + rc.right) / 2;
    const int lead = horz ? rc.left : rc.top;
    const int n = static_cast<int>(m_arrBars.size());
    // Walk the rows, each band from the leading edge of its first visible bar to the far
    // edge of its thickest.
    int rowStart = 1;
    bool anyRow = false;
    int firstBand = 0;
    while (rowStart < n) {
        int first, end;
        GetRowRange(rowStart, &first, &end);
        int lo = 32767, hi = -32767;
        for (int i = first; i < end; ++i) {
            CControlBar* bar = m_arrBars[i];
            if (!bar->IsVisible())
                continue;
            RECT br;
            bar->GetWindowRect(&br);
            lo = std::min<int>(lo, horz ? br.top : br.left);
            hi = std::max<int>(hi, horz ? br.bottom : br.right);
        }
        if (lo <= hi) {
            if (!anyRow)
                firstBand = lo;
            anyRow = true;
            if (mid >= lo && mid < hi) {
                // In this row: before the first visible bar whose leading edge lies beyond.
                for (int i = first; i < end; ++i) {
                    CControlBar* bar = m_arrBars[i];
                    if (!bar->IsVisible())
                        continue;
                    RECT br;
                    bar->GetWindowRect(&br);
                    if ((horz ? br.left : br.top) > lead)
                        return i;
                }
                return end;
            }
        }
        rowStart = end + 1;
    }
    if (anyRow && mid < firstBand)
        return -1; // a new row in front
    return -2;     // a new row at the end
}

void CDockBar::DockControlBar(CControlBar* bar, const RECT* screenRect) {
    if (CDockBar* old = bar->m_pDockBar)
        old->RemoveControlBar(bar);
    RECT rc;
    if (screenRect) {
        rc = *screenRect;
    } else {
        bar->GetWindowRect(&rc);
        rc.top = rc.bottom = rc.left = rc.right = 32767;
    }
    int pos = screenRect ? InsertPosition(rc) : -2;
    if (pos == -1) {
        m_arrBars.insert(m_arrBars.begin() + 1, {bar, nullptr});
    } else if (pos == -2) {
        if (m_arrBars.back())
            m_arrBars.push_back(nullptr);
        m_arrBars.push_back(bar);
        m_arrBars.push_back(nullptr);
    } else {
        m_arrBars.insert(m_arrBars.begin() + pos, bar);
    }
    Normalise();

    // The bar's side and parent follow the dock bar.
    DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
    DWORD style = bar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY);
    if (!m_bFloating) {
        style |= align;
        if (align & CBRS_ALIGN_TOP)
            style |= CBRS_BORDER_BOTTOM;
        else if (align & CBRS_ALIGN_BOTTOM)
            style |= CBRS_BORDER_TOP;
        else if (align & CBRS_ALIGN_LEFT)
            style |= CBRS_BORDER_RIGHT;
        else
            style |= CBRS_BORDER_LEFT;
    }
    bar->m_dwStyle = style;
    bar->m_pDockBar = this;
    if (::GetParent(bar->m_hWnd) != m_hWnd)
        ::SetParent(bar->m_hWnd, m_hWnd);
    // The rectangle's place is kept (the row layout starts from its leading coordinate) and
    // so is its size until the layout, so that bars docked one after another find each
    // other's rows.
    if (screenRect) {
        RECT local = rc;
        ScreenToClient(&local);
        ::SetWindowPos(bar->m_hWnd, nullptr, local.left, local.top, local.right - local.left,
                       local.bottom - local.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::SetWindowPos(bar->m_hWnd, nullptr, 32767, 32767, 0, 0,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    }
    bar->SendMessage(WM_NCPAINT, 1);
}

void CDockBar::RemoveControlBar(CControlBar* bar) {
    int index = FindBar(bar);
    if (index < 0)
        return;
    m_arrBars.erase(m_arrBars.begin() + index);
    Normalise();
    if (bar->m_pDockBar == this)
        bar->m_pDockBar = nullptr;
}

SIZE CDockBar::CalcFixedLayout(bool, bool) {
    return LayoutBars(false);
}

SIZE CDockBar::CalcDynamicLayout(int, DWORD) {
    return LayoutBars(false);
}

SIZE CDockBar::LayoutBars(bool query) {
    // A bar's layout may break its row (or a bar may not fit): the pass starts again on the
    // changed array, a bounded number of times.
    SIZE size = {0, 0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        bool changed = false;
        size = LayoutPass(query, &changed);
        if (!changed)
            break;
    }
    return size;
}

SIZE CDockBar::LayoutPass(bool query, bool* changed) {
    const bool horz = IsHorz();
    RECT layout = m_rectLayout;
    if (layout.right <= layout.left && layout.bottom <= layout.top && m_pDockSite)
        m_pDockSite->GetClientRect(&layout);
    const int avail = horz ? layout.right - layout.left : layout.bottom - layout.top;
    const bool topSide = (m_dwStyle & CBRS_ALIGN_TOP) != 0;
    const bool leftSide = (m_dwStyle & CBRS_ALIGN_LEFT) != 0;
    int cross = m_bFloating ? 0 : ((horz && topSide) || (!horz && leftSide) ? -kOverlap : 0);
    int crossEnd = 0;
    int along = m_bFloating ? 0 : -kOverlap;
    int rowThick = 0;
    int rowExtent = 0;
    int longest = 0;
    bool rowHasBar = false;
    // The array is read afresh at every step: a bar's layout may break its row.
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        CControlBar* bar = m_arrBars[i];
        if (!bar) {
            if (rowHasBar) {
                crossEnd = cross + rowThick;
                cross += rowThick - kOverlap;
                longest = std::max(longest, rowExtent);
            }
            rowThick = 0;
            rowExtent = 0;
            rowHasBar = false;
            along = m_bFloating ? 0 : -kOverlap;
            continue;
        }
        if (!bar->IsVisible() || !bar->m_hWnd)
            continue;
        SIZE size;
        RECT cur;
        bar->GetWindowRect(&cur);
        ScreenToClient(&cur);
        if (query) {
            size = {cur.right - cur.left, cur.bottom - cur.top};
        } else if (m_bFloating) {
            size = bar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        } else {
            const std::vector<CControlBar*> before = m_arrBars;
            size = bar->CalcDynamicLayout(-1, horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
            if (m_arrBars != before) {
                *changed = true;
                return {0, 0};
            }
        }
        int len = horz ? size.cx : size.cy;
        const int thick = horz ? size.cy : size.cx;
        if (!m_bFloating && len > avail + 2 * kOverlap)
            len = avail + 2 * kOverlap;
        int lead = along;
        if (!m_bFloating && !query) {
            const int curLead = horz ? cur.left : cur.top;
            if (curLead > lead && curLead < 32000)
                lead = curLead;
            // A bar that would run off the end moves back as far as its neighbours allow.
            if (lead + len > avail + kOverlap)
                lead = std::max(along, avail + kOverlap - len);
            // One that starts beyond the end goes to a row of its own.
            if (rowHasBar && lead >= avail - kOverlap) {
                m_arrBars.insert(m_arrBars.begin() + i, nullptr);
                *changed = true;
                return {0, 0};
            }
        }
        RECT place;
        if (horz)
            place = {lead, cross, lead + len, cross + thick};
        else
            place = {cross, lead, cross + thick, lead + len};
        if (!query && !::EqualRect(&place, &cur))
            ::SetWindowPos(bar->m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        along = lead + len - kOverlap;
        rowExtent = std::max(rowExtent, lead + len);
        rowThick = std::max(rowThick, thick);
        rowHasBar = true;
    }
    if (rowHasBar) {
        crossEnd = cross + rowThick;
        longest = std::max(longest, rowExtent);
    }
    SIZE total = {0, 0};
    const int thickness = crossEnd > 0 ? crossEnd : 0;
    if (m_bFloating) {
        total = {longest, thickness};
    } else if (horz) {
        total = {avail, thickness};
    } else {
        total = {thickness, avail};
    }
    if (!horz && m_bFloating)
        total = {thickness, longest};
    return total;
}

void CDockBar::DoPaint(HDC) {}

void CDockBar::OnDestroy() {
    for (CControlBar* bar : m_arrBars)
        if (bar && bar->m_pDockBar == this)
            bar->m_pDockBar = nullptr;
    m_arrBars.assign(1, nullptr);
    CControlBar::OnDestroy();
}
