// CDocTemplate: binds a document class to the frame and view classes that show it, with the
// resources of one id: the document string ("\nuntitled name\n...\nfilter\n.ext..."), menu and
// accelerators. Layer: framework/.
#pragma once

#include "framework/CmdTarget.h"

#include <string>
#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName,
    };
    enum Confidence {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen,
    };

    CDocTemplate(UINT idResource, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    // Loads the document string and the shared resources; called when the template is added.
    virtual void LoadTemplate();
    bool GetDocString(std::string& text, DocStringIndex index) const;

    // --- Documents -----------------------------------------------------------------------
    virtual void AddDocument(CDocument* doc);
    virtual void RemoveDocument(CDocument* doc);
    virtual const std::vector<CDocument*>& GetDocuments() const;
    // How well a file fits this template; yesAlreadyOpen (with match set) when one of its
    // documents has that path.
    virtual Confidence MatchDocType(const char* path, CDocument*& match);
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
    virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible = true);
    virtual bool SaveAllModified();
    virtual void CloseAllDocuments(bool endSession);
    // Opens the file in a new document and frame, or makes a new untitled one for null.
    virtual CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) = 0;
    virtual void SetDefaultTitle(CDocument* doc) = 0;

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;

protected:
    std::string m_strDocStrings;
    std::vector<CDocument*> m_docList;
};
