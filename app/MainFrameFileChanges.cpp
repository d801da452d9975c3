// The main frame's side of the file change monitor: a notice of a file changed on disk goes
// to the open document that still watches it. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"

LRESULT CAppMainFrame::OnFileChangedMessage(WPARAM wParam, LPARAM lParam) {
    CApp* app = AppGetApp();
    if (!app || !app->GetDocTemplate())
        return 0;
    // A stale notice (the document closed, or saved and watched again) names no open
    // document with that watch: it is dropped.
    if (CTextEditDoc* doc =
            CTextEditDoc::FromChangeNotice(wParam, lParam, app->GetDocTemplate()->GetDocuments()))
        doc->OnFileChangedOnDisk();
    return 0;
}
