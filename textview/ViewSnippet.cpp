// CFxEditView: inserting a snippet whose caret mark "^!" says where the caret ends up.
// Layer: textview/ (editor view).
#include "textview/FxEditView.h"

#include "common/LeadBytes.h"
#include "textdoc/FxEditDoc.h"
#include "textdoc/UndoTypes.h"

size_t CFxEditView::FindCaretMark(const std::string& text) {
    const size_t len = text.size();
    for (size_t i = 0; i < len;) {
        const int step = FxCharLen(text.data(), i, len);
        if (step == 1 && text[i] == '^' && i + 1 < len && text[i + 1] == '!')
            return i;
        i += static_cast<size_t>(step);
    }
    return std::string::npos;
}

bool CFxEditView::InsertSnippet(const std::string& text) {
    if (text.empty() || !CheckWritable())
        return false;
    const size_t mark = FindCaretMark(text);
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoInsert);
        if (HasSelection())
            DeleteSelection();
        if (mark == std::string::npos) {
            InsertAtCaret(text.data(), static_cast<int32_t>(text.size()));
        } else {
            // The part after the mark goes in first and the caret comes back to where it was;
            // the part before it then leaves the caret at the mark's place.
            const std::string after = text.substr(mark + 2);
            if (!after.empty()) {
                ClampCaret();
                const FxTextPos at = m_doc->PieceToLogical(m_caret);
                InsertAtCaret(after.data(), static_cast<int32_t>(after.size()));
                GoToPos(at);
            }
            if (mark > 0)
                InsertAtCaret(text.data(), static_cast<int32_t>(mark));
        }
        GoToPos(m_doc->PieceToLogical(m_caret));
    } catch (...) {
        ReportException();
        return false;
    }
    return true;
}
