// What the clip text window needs of the program around it: the active editor view, new and
// opened documents, the library folder and the stored sort order. The main frame implements
// it. Layer: workspace/ (bars and docking windows).
#pragma once

#include <string>

class CFxEditView;

class IClipTextHost {
public:
    // The view of the active document window; null when there is none.
    virtual CFxEditView* ActiveClipTextView() = 0;
    // A new document holding text, whose save dialog offers clip text libraries in the
    // library folder.
    virtual bool NewClipLibraryDocument(const std::string& text) = 0;
    // Opens a library file as a document.
    virtual bool OpenClipLibraryFile(const std::string& path) = 0;
    // The folder of the libraries, made when missing.
    virtual std::string ClipLibraryFolder() = 0;
    virtual bool ReadClipSortAscending() = 0;
    virtual void WriteClipSortAscending(bool ascending) = 0;

protected:
    ~IClipTextHost() = default;
};
