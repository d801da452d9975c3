// The main frame's side of the output window: Go to from a pane opens the file it names and
// puts the caret there; the pane's notices go to the status bar. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "framework/MDIChildWnd.h"

#include <algorithm>
#include <vector>

void CAppMainFrame::ShowOutputStatus(const char* text) {
    ShowStatusMessage(text);
}

bool CAppMainFrame::OpenOutputTarget(const OutputTarget& target) {
    // Other openings than the file dialog's use no open option: the file's own encoding.
    CTextEditDoc* doc =
        DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(target.path.c_str(), 0));
    if (!doc)
        return false;
    CTextEditView* view = nullptr;
    for (CView* candidate : doc->GetViews())
        if ((view = DynamicDowncast<CTextEditView>(candidate)) != nullptr)
            break;
    if (!view)
        return false;
    const int32_t line = doc->ClampLine(target.line - 1);
    int32_t col = std::max(0, target.column - 1);
    const int32_t length = doc->GetLineLength(line);
    if (target.unicodeColumn) {
        // The column counts 16-bit units of the file; in the loaded line each character,
        // single or double byte, came from one unit.
        std::vector<char> text(static_cast<size_t>(length) + 1);
        const FxTextPos start = doc->LogicalToPiecePos(FxTextPos(0, line));
        const FxTextPos end = doc->LogicalToPiecePos(FxTextPos(length, line));
        // One line: no more than a line's 32-bit length.
        const int32_t got = static_cast<int32_t>(doc->CopyText(
            start, end, text.data(), static_cast<FxSize>(text.size()), doc->LineEndType()));
        col = UnitColumnToByteColumn(text.data(), std::min(got, length), col);
    }
    col = doc->ClampColumn(line, col);
    if (CFrameWnd* frame = view->GetParentFrame())
        if (CMDIChildWnd* child = dynamic_cast<CMDIChildWnd*>(frame))
            child->MDIActivate();
    view->GoToPos(doc->LogicalToPiecePos(FxTextPos(col, line)));
    view->SetFocus();
    return true;
}
