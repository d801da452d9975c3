// The stand-in document and view. Layer: app/.
#include "app/PlaceholderView.h"

#include "framework/Archive.h"

IMPLEMENT_DYNCREATE(CPlaceholderDoc, CDocument)
IMPLEMENT_DYNCREATE(CPlaceholderView, CView)

void CPlaceholderDoc::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        std::string text(static_cast<size_t>(ar.GetFileLength()), '\0');
        if (!text.empty())
            ar.Read(&text[0], static_cast<UINT>(text.size()));
        m_text.swap(text);
    } else if (!m_text.empty()) {
        ar.Write(m_text.data(), static_cast<UINT>(m_text.size()));
    }
}

void CPlaceholderDoc::DeleteContents() {
    m_text.clear();
}

void CPlaceholderView::OnDraw(HDC dc) {
    const CPlaceholderDoc* doc = static_cast<const CPlaceholderDoc*>(GetDocument());
    if (!doc)
        return;
    RECT rc;
    GetClientRect(&rc);
    rc.left += 4;
    rc.top += 2;
    // The first few kilobytes are enough for a glance at the file.
    size_t n = doc->m_text.size() < 8192 ? doc->m_text.size() : 8192;
    HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
    DrawTextA(dc, doc->m_text.data(), static_cast<int>(n), &rc,
              DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
}
