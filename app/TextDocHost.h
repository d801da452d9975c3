// What a text document needs from the main frame: the status bar's message pane for its short
// notices and progress, and the document switch bar's view of its name and state. The main
// frame implements it and hands it to CTextEditDoc::SetHost. Layer: app/ (application shell).
#pragma once

#include <windows.h>

#include <cstdint>

class CTextEditDoc;

class ITextDocHost {
public:
    // Document switch bar states.
    enum DocState { StateUnmodified = 12, StateModified = 13 };

    // A transient notice in the status bar's first pane.
    virtual void ShowStatusMessage(const char* text) = 0;
    // Progress in the first pane: label string, position out of maximum; position -1 or
    // position >= maximum ends it and brings the idle prompt back.
    virtual void ShowStatusProgress(UINT labelId, int position, int maximum) = 0;
    // The document's path changed (Save As, first save, open).
    virtual void OnDocumentRenamed(CTextEditDoc* doc, const char* path) = 0;
    // The modified flag changed: StateModified or StateUnmodified.
    virtual void OnDocumentStateChanged(CTextEditDoc* doc, int state) = 0;

protected:
    ~ITextDocHost() = default;
};

// What reloading needs of a view showing the document; the editor view implements it.
class ITextDocReloadView {
public:
    // Before the text goes: the caret as a logical position; then the view drops its
    // selection, puts caret and scroll position at the start, insert mode, no column mode.
    virtual void BeginReload(int32_t& caretLine, int32_t& caretCol) = 0;
    // After a successful reload: lay the new text out and put the caret at this logical
    // position (already checked against the new text).
    virtual void EndReload(int32_t caretLine, int32_t caretCol) = 0;
    // Asked of the first view only, after every EndReload: wrap the document again with the
    // mode and column it had before (mode 0: leave it unwrapped).
    virtual void RestoreWrap(int mode, int column) = 0;

protected:
    ~ITextDocReloadView() = default;
};
