// CDocument: the data of one open file and its life: new, open, save, save as, close, the
// save-changes prompt, title and path, and the list of views showing it. The hooks a derived
// document overrides (modified flag, DeleteContents, the On...Document steps) are virtual with
// signatures a document engine of the program can share. Layer: framework/.
#pragma once

#include "framework/CmdTarget.h"

#include <windows.h>

#include <string>
#include <vector>

class CArchive;
class CDocTemplate;
class CException;
class CFile;
class CFileException;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument();
    ~CDocument() override;

    // --- Title and path ------------------------------------------------------------------
    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char* title);
    const std::string& GetPathName() const { return m_strPathName; }
    // Stores the full path, makes its file name the title and, when asked, adds it to the
    // recent-file list.
    virtual void SetPathName(const char* path, bool addToMRU = true);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // --- Modified flag (shared with the document engine's virtuals) ------------------------
    virtual void SetModifiedFlag(bool modified = true);
    virtual bool IsModified() const;

    // --- Views ---------------------------------------------------------------------------
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    CView* GetFirstView() const { return m_viewList.empty() ? nullptr : m_viewList.front(); }
    void AddView(CView* view);
    void RemoveView(CView* view);
    // Every view but `sender` gets OnUpdate(sender, hint, hintObject).
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
    // The list of views changed; the default closes the document when the last view went.
    virtual void OnChangedViewList();
    // Re-titles every frame that shows this document.
    void UpdateFrameCounts();

    // --- Life ----------------------------------------------------------------------------
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const char* path);
    virtual bool OnSaveDocument(const char* path);
    virtual void OnCloseDocument();
    virtual void DeleteContents();
    virtual void Serialize(CArchive& ar);
    // Asks whether to save changes; false when the user cancelled (or the save failed).
    virtual bool SaveModified();
    virtual bool CanCloseFrame(CFrameWnd* frame);
    // Saves under path, or asks for a name when path is null; with replace the document takes
    // the new name. A failed Save As removes the new file only when this save created it.
    virtual bool DoSave(const char* path, bool replace = true);
    // Save to the current path (Save As when there is none or it cannot be written).
    virtual bool DoFileSave();
    // Opens the file for the On...Document steps; saving goes through a mirror file.
    virtual CFile* GetFile(const char* path, UINT flags, CFileException* error);
    virtual void ReleaseFile(CFile* file, bool abort);
    // Tells the user that opening or saving failed, with the exception's message when it has
    // one, else the string defaultId.
    virtual void ReportSaveLoadException(const char* path, const CException* e, bool saving,
                                         UINT defaultId);

    // Commands.
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    bool OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    bool m_bAutoDelete = true; // deleted when closed
    DECLARE_MESSAGE_MAP()

protected:
    friend class CDocTemplate;
    // The name a save proposes: the path, or the title cut before the first character a file
    // name cannot hold, plus the template's default extension.
    std::string ProposedSaveName() const;

    std::string m_strTitle;
    std::string m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
    bool m_bModified = false;

private:
    // Reports the exception being handled (call in a catch block) as a failed open or save.
    void ReportCurrentSaveLoadException(const char* path, bool saving, UINT defaultId);
};
