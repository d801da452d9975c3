// CTextEditDoc: the editor's document, a framework document that is a CFxEditDoc. It joins the
// engine to the user: encodings chosen in the file dialogs, the save flow with its backup and
// messages, " *" in the title, read-only protection, reloading, the watch with the file change
// monitor, and the texts of the engine's events. Layer: app/ (application shell).
#pragma once

#include "framework/Document.h"
#include "textdoc/FxEditDoc.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class FileChangeMonitor;
class ITextDocHost;
struct FileTypeInfo;

class CTextEditDoc : public CDocument, public CFxEditDoc {
    DECLARE_DYNCREATE(CTextEditDoc)
public:
    CTextEditDoc();
    ~CTextEditDoc() override;

    // --- The program around the documents (process-wide; null: not there) ----------------
    static void SetHost(ITextDocHost* host);
    static void SetFileMonitor(FileChangeMonitor* monitor);
    static FileChangeMonitor* GetFileMonitor();
    // The encoding that a document created now requests for its load (0 = detect).
    static int PendingOpenEncoding();
    // Opens a file through the application with the requested encoding (0-4), or activates
    // it when it is open already. Errors are reported with the exception's message.
    static CDocument* OpenFileWithEncoding(const char* path, int encoding);

    // --- The modified flag and the contents, kept equal in both bases ---------------------
    void SetModifiedFlag(bool modified = true) override;
    bool IsModified() const override { return CFxEditDoc::IsModified(); }
    // Counts the edits (every change that marks the document modified): a recovery copy is
    // taken again only when it moved.
    uint32_t EditSerial() const { return m_editSerial; }
    // The text was put back from a recovery copy: modified, with the title marker, and it stays
    // modified until it is saved or read from its file again; undoing to the text as restored
    // does not make it the file's.
    void MarkRestored();
    bool IsRestoredText() const { return m_restoredText; }
    void DeleteContents() override;

    // --- Framework steps -----------------------------------------------------------------
    // The whole path becomes the title; the file is watched unless it is already.
    void SetPathName(const char* path, bool addToMRU = true) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const char* path) override;
    void Serialize(CArchive& ar) override;
    bool SaveModified() override;
    bool DoSave(const char* path, bool replace = true) override;
    void OnChangedViewList() override;

    // The engine's reset, then the file type of the path ("Default" when the path's own type
    // cannot be loaded) with its four display switches; with ProtectReadOnly the file's
    // attribute sets the read-only flag.
    using CFxEditDoc::InitDocument;
    bool InitDocument(const char* path);
    const FileTypeInfo* FileType() const { return m_fileType; }
    // The file type the user chose for this document ("view as"); the views follow through
    // CTextEditView::ApplyFileType. A later Save As to another name picks the type again.
    void SetFileType(const FileTypeInfo* type) { m_fileType = type; }

    // --- Engine events -------------------------------------------------------------------
    void OnDocEvent(int code, int arg) override;
    // Shows a long load's or save's progress in the status bar; the load or save stops when Esc
    // is waiting in the input queue. A stopped save leaves the file and the document as they
    // were, and the status bar says so.
    bool OnFileProgress(bool saving, int percent) override;
    // Tests: the free memory that the question before opening a larger file compares with
    // (0: the system's figure).
    static void SetFreeMemoryForTest(uint64_t bytes);

    // --- Reloading -----------------------------------------------------------------------
    // The reload command: warns that changes are lost (OK / Cancel), then reloads.
    void OnReloadCommand();
    // The file changed on disk (the monitor's notice): an unmodified document reloads without
    // a word with AutoReload, else after the question; a modified one always asks, saying the
    // edits will be lost, No being the default.
    void OnFileChangedOnDisk();
    // Reads the file again; carets come back to their lines. False keeps the text as it was,
    // also when the read fails after the document was emptied for it.
    bool Reload();

    // --- The file change monitor ---------------------------------------------------------
    UINT WatchId() const { return m_watchId; }
    // The document a kFileChangedMessage notice names, when it is one of the open documents
    // and the notice is for its current watch; null for a stale notice.
    static CTextEditDoc* FromChangeNotice(WPARAM wParam, LPARAM lParam,
                                          const std::vector<CDocument*>& openDocs);

    // The Save As dialog of this document offers `filter` ("name|pattern|" pairs) first, with
    // its default extension and initial folder (a new clip text library).
    void OfferSaveAs(const std::string& filter, const std::string& ext, const std::string& folder);

protected:
    // Asks for the Save As name, encoding and line-end type; false when cancelled.
    virtual bool PromptSaveName(std::string& path, int& encoding, int& lineEnd, bool copy);

private:
    // What a reload gives back when reading fails after the document was emptied.
    struct KeptText;
    void KeepText(KeptText& kept) const;
    void RestoreText(const KeptText& kept);
    // Attaches the file type of the path; on the first attach wrapping follows the type.
    // The document's type's display switches are copied to it.
    void AttachFileType(const char* path);
    // With ProtectReadOnly on, the read-only flag becomes the file's attribute.
    void ReadReadOnlyAttribute(const char* path);
    void WatchFile();
    void UnwatchFile();
    void ApplyTitleMarker(bool modified);
    // The title for an untitled document, or the path, without the " *" marker.
    std::string NameForMessages() const;

    UINT m_watchId = 0; // 0 = not watched
    uint32_t m_editSerial = 0;
    bool m_restoredText = false; // see MarkRestored
    const FileTypeInfo* m_fileType = nullptr;
    bool m_lossyAccepted = false; // the user agreed to overwrite the original once
    UINT m_progressLabel = 0;     // a load's or save's progress shown and not yet ended
    bool m_saveCancelled = false; // the last write stopped at the user's Esc
    std::string m_saveFilter, m_saveExt, m_saveFolder; // see OfferSaveAs
};
