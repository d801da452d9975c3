// CFxEditView: pasting a column block, row by row into successive records, either aligned at
// the insertion x (padded with tabs and spaces) or appended to the records' ends. Layer:
// textview/ (view side).
#include "textview/FxEditView.h"

#include "textview/FileTypeInfo.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <string>

CFxEditView::PastedBlock CFxEditView::PasteColumnBlock(const std::string& text, bool aligned) {
    FxTextPos at = m_caret;
    const int x0 = PieceColumnToX(at);
    const int spaceWidth = std::max(1, m_fm.spaceWidth);
    const int tab = std::max(1, TabSize());
    int32_t rec = at.line;
    size_t p = 0;
    FxTextPos last = m_caret;
    PastedBlock pasted;
    pasted.firstRecord = at.line;
    pasted.left = pasted.right = x0;
    bool any = false;
    while (p < text.size() || !any) {
        const size_t eol = text.find("\r\n", p);
        std::string row = text.substr(p, eol == std::string::npos ? std::string::npos : eol - p);
        p = eol == std::string::npos ? text.size() : eol + 2;
        any = true;
        const bool beyond = rec >= m_doc->RecordCount();
        if (beyond) {
            m_caret = m_doc->EndPos();
            InsertAtCaret("\r\n", 2);
            rec = m_doc->RecordCount() - 1;
        }
        if (aligned) {
            int x = x0;
            int32_t col = beyond ? 0 : XToPieceColumn(rec, x);
            FxTextPos bpos(col, rec);
            const int bx = beyond ? 0 : PieceColumnToX(bpos);
            if (bx < x0) {
                int pad = (x0 - bx) / spaceWidth;
                std::string padding;
                if (FileType().expandTabToSpaces) {
                    padding.assign(static_cast<size_t>(pad), ' ');
                } else {
                    // Display column at the boundary: bytes count 1, a tab to its next stop.
                    const FxLine& r = m_doc->Record(rec);
                    int disp = 0;
                    for (int32_t i = 0; i < col && i < r.len; ++i)
                        disp = r.data[i] == '\t' ? (disp / tab + 1) * tab : disp + 1;
                    while (pad > 0) {
                        const int toStop = tab - disp % tab;
                        if (toStop > pad)
                            break;
                        padding += '\t';
                        pad -= toStop;
                        disp += toStop;
                    }
                    padding.append(static_cast<size_t>(pad), ' ');
                }
                row.insert(0, padding);
            }
            m_caret = FxTextPos(col, rec);
        } else {
            const int32_t len = m_doc->Record(rec).len;
            if (!beyond && !row.empty())
                row.insert(0, 1, ' ');
            m_caret = FxTextPos(len, rec);
        }
        InsertAtCaret(row);
        last = m_caret;
        pasted.right = std::max(pasted.right, m_caretX);
        ++pasted.rows;
        ++rec;
        if (p >= text.size())
            break;
    }
    m_caret = last;
    UpdateViews(RefreshAll, 0, -1);
    GoToPos(m_doc->PieceToLogical(last));
    return pasted;
}
