// A stand-in document and view for the editor's document template until the text document and
// the editor view take their place: the document holds a file's bytes, the view shows the
// first lines. Layer: app/.
#pragma once

#include "framework/Document.h"
#include "framework/View.h"

#include <string>

class CPlaceholderDoc : public CDocument {
    DECLARE_DYNCREATE(CPlaceholderDoc)
public:
    void Serialize(CArchive& ar) override;
    void DeleteContents() override;

    std::string m_text;
};

class CPlaceholderView : public CView {
    DECLARE_DYNCREATE(CPlaceholderView)
public:
    void OnDraw(HDC dc) override;
};
