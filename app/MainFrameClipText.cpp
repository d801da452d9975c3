// CAppMainFrame as the clip text window's host: the active view for snippets, a new document
// for a new library, opening a library file, the library folder and the list's sort order.
// Layer: app/ (application shell).
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "framework/ResourceText.h"
#include "workspace/ClipTextIds.h"

namespace {

const char kClipSection[] = "ClipText";
const char kSortKey[] = "SortAscending";

} // namespace

CFxEditView* CAppMainFrame::ActiveClipTextView() {
    return GetActiveTextView();
}

bool CAppMainFrame::NewClipLibraryDocument(const std::string& text) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return false;
    app->OnFileNew();
    CTextEditView* view = GetActiveTextView();
    CTextEditDoc* doc = view ? view->GetTextDoc() : nullptr;
    if (!doc || !doc->GetPathName().empty())
        return false;
    doc->OfferSaveAs(AfxLoadString(IDS_CLIP_FILE_FILTER), "CTF", ClipLibraryFolder());
    // Inserted as it is: the header's own "^!" is text here, not a caret mark.
    view->InsertTextAsAction(text, FxUndoInsert);
    return true;
}

bool CAppMainFrame::OpenClipLibraryFile(const std::string& path) {
    return CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0) != nullptr;
}

std::string CAppMainFrame::ClipLibraryFolder() {
    SettingsStore* settings = AppSettings();
    return settings ? settings->ClipTextDir() : std::string();
}

bool CAppMainFrame::ReadClipSortAscending() {
    SettingsStore* settings = AppSettings();
    return settings ? settings->ReadBool(IniSettings, kClipSection, kSortKey, true) : true;
}

void CAppMainFrame::WriteClipSortAscending(bool ascending) {
    if (SettingsStore* settings = AppSettings())
        settings->WriteInt(IniSettings, kClipSection, kSortKey, ascending ? 1 : 0);
}
