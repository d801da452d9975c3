// CDocManager: the application's document templates, and the operations over all of them:
// new, open (a file that is open already is only activated), save-all, close-all, and the
// file-name prompt. Layer: framework/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CDocTemplate;
class CDocument;

class CDocManager {
public:
    CDocManager() = default;
    virtual ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<CDocTemplate*>& GetTemplates() const { return m_templates; }

    virtual CDocument* OpenDocumentFile(const char* path);
    // The open document with that path, or null.
    CDocument* FindOpenDocument(const char* path) const;
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);
    int GetOpenDocumentCount() const;
    // The system's open or save dialog with the templates' filters.
    virtual bool DoPromptFileName(std::string& fileName, UINT titleId, DWORD flags, bool openFile,
                                  CDocTemplate* docTemplate);

private:
    std::vector<CDocTemplate*> m_templates;
};
