// The first text view of a document: the one the frame and the recovery copies speak to when
// a document has two. Layer: app/.
#pragma once

#include "app/TextEditView.h"
#include "framework/Document.h"

// Null when the document shows no text view.
inline CTextEditView* FirstTextView(CDocument* doc) {
    for (CView* view : doc->GetViews())
        if (CTextEditView* text = DynamicDowncast<CTextEditView>(view))
            return text;
    return nullptr;
}
