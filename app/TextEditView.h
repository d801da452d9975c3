// CTextEditView: the editor's view class, registered with the document template: the editor
// view of a CTextEditDoc with the texts of the status bar's panes and the view's side of
// reloading. The editing commands of the menus attach here. Layer: app/ (application shell).
#pragma once

#include "app/TextDocHost.h"
#include "framework/Dialog.h"
#include "print/QuickPrintSettings.h"
#include "textview/FxEditView.h"

#include <memory>
#include <string>
#include <vector>

class CCmdUI;
struct FileTypeInfo;
struct FxSearch;
class CTextEditDoc;

struct PrintJob;

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
    // --- Undo and redo (TextEditViewEdit.cpp) --------------------------------------------
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* cmdUI);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI* cmdUI);
    // The menu text of the next undo (redo) action: 5601 + action (5631 + action), the
    // "cannot" text for an action outside the table, the base text without a document.
    static std::string UndoMenuText(const CFxEditDoc* doc, bool redo);

    // --- Clipboard and selection commands ------------------------------------------------
    // The selection as CF_TEXT with CR LF breaks, after the clipboard's text with append; a
    // column block is remembered in ColumnDragData so that it pastes as a block.
    bool CopyToClipboard(bool append);
    // The clipboard's CF_TEXT; isBlock when it is this editor's last copied column block.
    bool ReadClipboardText(std::string& text, bool& isBlock);
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditAppendCut();
    void OnEditAppendCopy();
    void OnEditColumnPasteAligned();
    void OnEditColumnPasteAppended();
    void OnEditSelectAll();
    void OnEditDeleteToLineStart();
    void OnEditDeleteToLineEnd();
    void OnEditDeleteToDocStart();
    void OnEditDeleteToDocEnd();
    void OnEditSelectToLineStart();
    void OnEditSelectToLineEnd();
    void OnEditSelectToDocStart();
    void OnEditSelectToDocEnd();
    void OnUpdateNeedSelection(CCmdUI* cmdUI);
    void OnUpdateNeedText(CCmdUI* cmdUI);
    void OnUpdatePaste(CCmdUI* cmdUI);
    void OnUpdateColumnPaste(CCmdUI* cmdUI);

    // --- Case and white-space conversion (TextEditViewConvert.cpp) --------------------------
    // Case commands work on the selection (each row of a block), or the whole document without
    // one; single-byte letters only, double-byte characters untouched. The white-space
    // commands work on every line. Each is one undo group; the selection is cleared.
    enum CaseKind { CaseLower, CaseUpper, CaseInvert, CaseCapitalize };
    void ConvertCase(int kind);
    enum BlankKind { BlankAllSpacesToTabs, BlankLeadingSpacesToTabs, BlankTabsToSpaces };
    void ConvertBlanks(int kind);
    void OnEditLowerCase();
    void OnEditUpperCase();
    void OnEditInvertCase();
    void OnEditCapitalize();
    void OnEditTrimTrailing();
    void OnEditSpacesToTabs();
    void OnEditLeadingSpacesToTabs();
    void OnEditTabsToSpaces();

    // --- Bookmarks and bracket matching -----------------------------------------------------
    void OnToggleBookmark();
    void OnNextBookmark();
    void OnPrevBookmark();
    void OnClearBookmarks();
    void OnUpdateNeedBookmark(CCmdUI* cmdUI);
    // Moves the caret to the partner of the bracket at the caret (or just left of it): the
    // file type's pairs, occurrences in comments and strings skipped, no wrap at the
    // document's ends. False, with the caret left, when there is no pair or no partner.
    bool MatchPair();
    // The command: MatchPair, and a beep when it finds nothing.
    void OnMatchPair();
    // Replaces MessageBeep for the beeps of the view's commands (null: MessageBeep again).
    using BeepHook = void (*)(UINT type);
    static void SetBeepHook(BeepHook hook);
    void OnUpdateAlways(CCmdUI* cmdUI);
    void OnUpdateNever(CCmdUI* cmdUI);

    // --- Automatic paste (TextEditViewAutoPaste.cpp) ---------------------------------------
    // The command makes this document the main frame's automatic paste target, or clears the
    // target when it is; enabled while there is no target or this document is it.
    void OnDocAutoPaste();
    void OnUpdateDocAutoPaste(CCmdUI* cmdUI);
    // The clipboard's text appended at the end of the document after one empty line (a line
    // break when the last line is empty, else two), with a bookmark on the first new line; one
    // undo step. A read-only document raises the read-only event and takes nothing.
    bool AutoPasteClipboard();
    bool AppendAutoPaste(const std::string& text);

    // --- Find and replace (TextEditViewFind.cpp) ------------------------------------------
    // The text offered to the Find and Replace boxes: a stream selection's first line, else
    // the word at the caret; at most maxBytes, cut at a character boundary.
    std::string FindPrefillText(int maxBytes = 260) const;
    // Searches for the pattern with the saved options but this direction, from the caret
    // (or past a selection that is a match), with wrap-around. Found: the match is selected.
    // Not found: the selection is cleared and the not-found message shown; an invalid pattern
    // shows its error. quiet: no message boxes (the caller reports).
    bool FindAndSelect(const std::string& pattern, bool down, bool fromSelection,
                       bool quiet = false);
    // The selected text's rectangle in screen pixels (the union of its pieces); empty without
    // a stream selection.
    RECT SelectionScreenRect();
    // Whether the stream selection is exactly a match of the pattern with the saved options.
    bool SelectionIsMatch(const std::string& pattern) const;
    // Replaces the selection when it is a match, then finds the next match.
    bool ReplaceAndFind(const std::string& pattern, const std::string& replacement);
    // Replace all in the selection (inSelection with a stream selection) or the whole
    // document; the count of replacements, -1 on an error (reported).
    int ReplaceAll(const std::string& pattern, const std::string& replacement, bool inSelection);
    // Bookmarks the lines holding a match after clearing every bookmark; the count of lines.
    int MarkAllMatches(const std::string& pattern);
    // The not-found message or the search error's message, as a warning box.
    static void ReportSearchFailure(const std::string& pattern, int error, unsigned messageId,
                                    int errorChar = 0);
    void OnSearchFind();
    void OnSearchReplace();
    void OnSearchFindNext();
    void OnSearchFindPrev();

    // --- Document menu, display toggles, context menu (TextEditViewDocument.cpp) ----------
    // The text of a date and time item as the document window's menu shows it (at most 260
    // bytes); empty when the menu has no such item.
    std::string DateTimeItemText(UINT id) const;
    // Inserts text at the caret as one undo group of action `action`, the selection deleted
    // first. False when nothing was inserted (read-only, empty text).
    bool InsertTextAsAction(const std::string& text, int action);
    void OnInsertDateTime(UINT id);
    void OnUpdateDateTime(CCmdUI* cmdUI);
    // The date and time item and the "view as" item get their submenus from the settings store
    // when the menu holding them opens without them.
    void OnUpdateDateTimeMenu(CCmdUI* cmdUI);
    void OnUpdateViewAsMenu(CCmdUI* cmdUI);
    // The four display switches of the document: ruler, line numbers, line breaks, white space.
    enum DisplaySwitch { ShowRuler, ShowLineNumbers, ShowLineBreaks, ShowWhitespace };
    bool IsSwitchOn(int which) const;
    void ToggleSwitch(int which);
    void OnViewRuler();
    void OnViewLineNumbers();
    void OnViewLineBreaks();
    void OnViewWhitespace();
    void OnUpdateViewSwitch(CCmdUI* cmdUI);
    // The document takes a file type: its views, switches, layout and wrapping follow.
    static void ApplyFileType(CTextEditDoc& doc, const FileTypeInfo& type);
    void OnViewAs(UINT id);
    void OnUpdateViewAs(CCmdUI* cmdUI);
    void OnDocWordWrap();
    void OnUpdateDocWordWrap(CCmdUI* cmdUI);
    void OnDocReadOnly();
    void OnUpdateDocReadOnly(CCmdUI* cmdUI);
    // The word count's message: string 7004 with the seven counts.
    static std::string WordCountText(const FxWordCount& counts);
    // The size pane: the selection's bytes while there is one, else the document's, whole
    // however large.
    static std::string SizePaneText(bool selection, FxSize bytes);
    void OnDocWordCount();
    // Opens the settings dialog at the page and field of the shortcut.
    void OnDocSettingsPage(UINT id);
    void OnUpdateDocAutoSave(CCmdUI* cmdUI);

    // --- Printing ------------------------------------------------------------------------
    bool OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(HDC dc, CPrintInfo* info) override;
    void OnPrepareDC(HDC dc, CPrintInfo* info) override;
    void OnPrint(HDC dc, CPrintInfo* info) override;
    void OnEndPrinting(HDC dc, CPrintInfo* info) override;
    // Fills a new job from the quick dialog's one-time settings, or else the stored print
    // settings; called when printing begins, after the job's defaults are set.
    virtual bool ApplyPrintSettings(PrintJob& job);
    // The next print run takes these instead of the stored settings (once).
    void SetOneTimePrintSettings(const QuickPrintSettings& settings);
    // The quick print dialog, then the print run with its values.
    void OnFileQuickPrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    // Lets the document change: closes a preview of it; false while one of its views prints
    // (the change must wait).
    static bool ReleaseFromPrinting(CDocument* doc);
    // Automatic pastes that arrived while this view printed, appended now.
    void FlushHeldPastes();
    void OnEditColumnSelect();
    void OnUpdateColumnSelect(CCmdUI* cmdUI);
    // Shows the first popup of menu 112 at a screen point, owned by the main frame so that the
    // commands come back through the frame's route to this view. The chosen command, 0 when none.
    UINT ShowContextMenu(POINT screenPt);
    void OnContextMenu(HWND wnd, POINT screenPt);

    DECLARE_MESSAGE_MAP()

private:
    enum PasteKind { PasteNormal, PasteAligned, PasteAppended };
    void Paste(int kind);
    void DeleteToOtherEnd(FxTextPos otherLogical);
    void SelectToOtherEnd(FxTextPos otherLogical);
    // The saved options, the file type's delimiters and this pattern.
    void FillSearch(FxSearch& req, const std::string& pattern) const;
    std::unique_ptr<QuickPrintSettings> m_oneTimePrint; // used by the next print run only
    std::vector<std::string> m_heldPastes;              // automatic pastes waiting for a print run
};

// The Find (420) and Replace (421) dialogs over a text view. Modal from the view's commands;
// tests create them modeless and press their buttons.
class CFindReplaceDlg : public CDialog {
public:
    CFindReplaceDlg(CTextEditView* view, bool replace);
    bool OnInitDialog() override;
    void OnOK() override; // Enter: the Find button
    // Buttons.
    void OnFind();
    void OnMark();
    void OnReplace();
    void OnReplaceAll();
    void OnTextChanged();
    void OnScopeChanged();
    void UpdateButtons();
    // Puts the dialog next to the match's rectangle, out of its way; a mouse pointer over the
    // Find or Replace button moves with it.
    void MoveOutOfTheWay();
    // Where the dialog's top left goes for a match rectangle (screen pixels, not yet grown):
    // below the grown rectangle when the dialog fits there, else above, else to its right,
    // else to its left, centred on it along the other axis and kept inside the screen.
    static POINT PlaceBeside(const RECT& match, SIZE dialog, const RECT& screen);
    // How far the match rectangle is grown each way before the dialog is placed.
    static const int kMatchMargin = 30;

    DECLARE_MESSAGE_MAP()

private:
    std::string BoxText(int id) const;
    // Reads and saves the options and the find text; moves the text to the top of its box.
    bool ReadOptions();
    void PushToBox(int id, const std::string& text);
    void PushReplacement(const std::string& with);
    void StoreHistory(int id);
    CTextEditView* m_view;
    bool m_replace;
};
