// CTextEditView: the editor's view class, registered with the document template: the editor
// view of a CTextEditDoc with the texts of the status bar's panes and the view's side of
// reloading. The editing commands of the menus attach here. Layer: app/ (application shell).
#pragma once

#include "app/TextDocHost.h"
#include "textview/FxEditView.h"

#include <string>

class CCmdUI;
class CTextEditDoc;

class CTextEditView : public CFxEditView, public ITextDocReloadView {
    DECLARE_DYNCREATE(CTextEditView)
public:
    CTextEditView() = default;

    CTextEditDoc* GetTextDoc() const;
    // The caret as a logical position (line, byte column).
    FxTextPos LogicalCaret() const;

    void OnInitialUpdate() override;

    // --- ITextDocReloadView --------------------------------------------------------------
    void BeginReload(int32_t& caretLine, int32_t& caretCol) override;
    void EndReload(int32_t caretLine, int32_t caretCol) override;
    void RestoreWrap(int mode, int column) override;

    // --- Status pane texts (the panes' update handlers) ----------------------------------
    static std::string PositionText(int32_t line, int32_t dispCol);
    static std::string TypeText(int lineEndType, int encoding);
    // The character code the pane shows for the byte(s) at col of a line of len bytes: a
    // double-byte character is lead + 256 x trail, the end of the line 65535.
    static unsigned CharCodeAt(const char* text, int32_t len, int32_t col);

    // Bookmarks by logical line, for the reopen list: the next bookmarked line after `line`
    // without wrapping (-1 when none), and setting one.
    int32_t NextBookmarkAfter(int32_t line) const;
    void SetBookmarkOnLine(int32_t line);
    // Puts the caret at the start of a logical line and scrolls it into view.
    void GoToLine(int32_t line);

    void OnUpdatePosition(CCmdUI* cmdUI);
    void OnUpdateSize(CCmdUI* cmdUI);
    void OnUpdateReadOnly(CCmdUI* cmdUI);
    void OnUpdateOverwrite(CCmdUI* cmdUI);
    void OnUpdateType(CCmdUI* cmdUI);
    void OnUpdateChar(CCmdUI* cmdUI);

    void OnEditClear();
    void OnUpdateEditClear(CCmdUI* cmdUI);
    void OnFileReload();
    void OnUpdateFileReload(CCmdUI* cmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* cmdUI);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()
};
