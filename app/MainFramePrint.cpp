// CAppMainFrame: printing every open document at once. Each document prints through its first
// text view as a direct print (no dialog), one job per document, in the order they were opened.
// Layer: app/ (application shell).
#include "app/AppMainFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "framework/FwIds.h"
#include "framework/FwPrintIds.h"
#include "framework/MessageBox.h"
#include "framework/Printer.h"

#include <algorithm>

void CAppMainFrame::OnFilePrintAll() {
    // Without a printer every document would say so in turn: say it once.
    HDC printer = CPrinter::CreateDC();
    if (!printer) {
        AfxMessageBox(AFX_IDP_NO_PRINTER, MB_OK | MB_ICONSTOP);
        return;
    }
    DeleteDC(printer);
    // The abort window pumps messages while a document prints: a document closed meanwhile
    // is not visited, so each one is looked up again before its turn.
    for (CTextEditDoc* doc : TextDocuments()) {
        const std::vector<CTextEditDoc*> open = TextDocuments();
        if (std::find(open.begin(), open.end(), doc) == open.end())
            continue;
        for (CView* view : doc->GetViews()) {
            if (CTextEditView* text = DynamicDowncast<CTextEditView>(view)) {
                text->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
                break;
            }
        }
    }
}
