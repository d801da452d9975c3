// CFxEditView: the window that shows and edits one CFxEditDoc: layout and word wrap,
// painting, caret and selection, keys, typing, mouse, and OLE drag and drop. It is also the
// document's wrapping interface. Layer: textview/ (view side, windows).
#pragma once

#include "framework/View.h"
#include "textdoc/DocView.h"
#include "textdoc/FxEditDoc.h"
#include "framework/FwIds.h"
#include "textview/SyntaxScanner.h"
#include "textview/WordWrap.h"

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

struct FileTypeInfo;
struct ViewFontMetrics;
class CFxDropTarget;

// The view's geometry, recomputed by LayoutView.
struct ViewLayout {
    RECT client = {0, 0, 0, 0};
    RECT ruler = {0, 0, 0, 0};  // the ruler, or a 3-pixel strip when it is hidden
    RECT gutter = {0, 0, 0, 0}; // margin + line numbers
    RECT text = {0, 0, 0, 0};
    int margin = 5;
    int visibleLines = 0; // whole lines only
};

// The process-wide identity of the last column block on the clipboard or in a drag: a block
// travels as plain text and is recognised only by this handle (and, on the clipboard, size).
struct ColumnDragData {
    HGLOBAL clipHandle = nullptr;
    SIZE_T clipSize = 0;
    HGLOBAL dragHandle = nullptr;
    static ColumnDragData& Shared();
};

class CFxEditView : public CView, public IFxDocView {
    DECLARE_DYNCREATE(CFxEditView)
public:
    enum HitZone { HT_NONE = 0, HT_RULER = 1, HT_GUTTER = 2, HT_TEXT = 3 };
    enum SelKind { SEL_STREAM = 0, SEL_WORD = 1, SEL_COLUMN = 2 };
    enum RefreshKind {
        RefreshLines = 1,
        RefreshAll = 2,
        RefreshInsert = 4,
        RefreshLineCount = 8,
        RefreshRelayout = 16
    };
    // Below this text width a window-edge re-wrap stays pending (a narrower window would make
    // one piece per character).
    static const int kMinWrapWidth = 64; // at 96 DPI

    CFxEditView();
    ~CFxEditView() override;

    // --- Document and file type ------------------------------------------------------------
    // The document shown; without one, the framework document if it is a CFxEditDoc.
    void SetEditDoc(CFxEditDoc* doc) { m_doc = doc; }
    CFxEditDoc* GetEditDoc() const { return m_doc; }
    // The file type read for options, colours, tab size and delimiters; null: "Default".
    void SetFileType(const FileTypeInfo* type);
    const FileTypeInfo& FileType() const { return *m_type; }
    // The document's attached view other than this one, or null.
    CFxEditView* OtherView() const;
    bool IsWrappingView() const { return m_doc && m_doc->FirstView() == this; }
    // Gives the document its attached views: the first two CFxEditView objects of the list.
    static void AttachViews(CFxEditDoc& doc, const std::vector<CView*>& views);

    // --- Settings and file type --------------------------------------------------------------
    // The display settings changed: the display font (null: the system font), the extra
    // pixels between lines or the gap between line numbers and text. The shared metrics take
    // the new values and every open document is refreshed through its first view: after a
    // new font or gap a document wrapped at the window edge is wrapped again to its new text
    // width, any other document is laid out and repainted. Nothing happens when all three
    // are as before. `fontRecreated`: the font is new even if its handle is the old one's.
    static void ApplyDisplaySettings(HFONT font, int lineSpacing, int gutterGap,
                                     bool fontRecreated = false);
    // The file type of this view's document changed: both of its views take `type` (null:
    // the built-in "Default"; it must outlive them), the document's ruler, line number,
    // whitespace and line break switches are copied from it, the views are laid out and
    // repainted, and a wrapped document is wrapped again with the type's wrap style and width.
    void ApplyFileType(const FileTypeInfo* type);
    // Every editor view whose window exists, in the order they were created.
    static const std::vector<CFxEditView*>& LiveViews();

    // --- Geometry (document pixels unless said otherwise) ----------------------------------
    void LayoutView();
    const ViewLayout& Layout() const { return m_layout; }
    int32_t PieceColumnToX(FxTextPos& pos);
    int32_t XToPieceColumn(int32_t rec, int& x);
    int32_t LineFromY(int docY) const;
    int DocXFromWindow(int x) const;
    int DocYFromWindow(int y) const;
    int WindowXFromDoc(int x) const;
    int WindowYFromRecord(int32_t rec) const;
    int HitTest(POINT pt) const;
    void InvalidateLines(int32_t a, int32_t b);
    void UpdateScrollBars(int bar); // SB_VERT, SB_HORZ or SB_BOTH
    int32_t ScrollLines(int code);
    int ScrollColumns(int code);
    bool EnsureVisible(int32_t rec, int docX);
    void GoToPos(FxTextPos logical);
    void UpdateViews(int kind, int32_t first, int32_t last);
    int32_t TopRecord() const { return m_top; }
    int HScroll() const { return m_hscroll; }

    // --- Word wrap -------------------------------------------------------------------------
    bool SetWrapMode(int mode, int width);
    // The pieces of one logical line (`head`: its flags with FXL_LINEEND when a break
    // follows, logical number, data, line length) appended to out; returns their count.
    int WrapLine(const FxLine& head, std::vector<FxLine>& out);
    // The same for `count` consecutive logical lines; *caretIndex (when given) receives the
    // index in out, counted from its size on entry, where the pieces of heads[caretLine]
    // begin (-1 when caretLine is outside the run). Returns the number of pieces.
    int WrapLines(const FxLine* heads, int32_t count, int32_t caretLine, std::vector<FxLine>& out,
                  int32_t* caretIndex);
    void WrapDocument(int mode, int width);
    void UnwrapDocument();
    bool IsRewrapPending() const { return m_rewrapPending; }

    // --- Caret and selection ---------------------------------------------------------------
    FxTextPos Caret() const { return m_caret; }
    int CaretX() const { return m_caretX; }
    int StickyX() const { return m_stickyX; }
    void MoveCaretTo(FxTextPos piecePos);
    bool HasSelection() const { return m_selFirst >= 0; }
    int SelectionKind() const { return m_selKind; }
    int32_t SelectionFirst() const { return m_selFirst; }
    int32_t SelectionLast() const { return m_selLast; }
    const RECT& ColumnRect() const { return m_colRect; }
    void SelectRange(FxTextPos anchor);
    void SelectColumnBlock(RECT docRect);
    void ClearSelection();
    void DeleteSelection();
    FxTextPos SelectionAnchor() const;
    FxTextPos SelectionStart() const; // the earlier end (stream)
    FxTextPos SelectionEnd() const;
    std::string CopySelectionText(int lineEndType) const;
    // The selection's first size - 1 bytes at most, never ending inside a character.
    int32_t CopySelectionText(int lineEndType, char* buf, int32_t size) const;
    // Bytes of the selection with line breaks of the given style: a whole document of more
    // than 2 GB can be selected in the 64-bit build.
    FxSize SelectionLength(int lineEndType, bool recount) const;
    bool HitTestSelection(POINT windowPt) const;
    // Inserts a snippet at the caret as one undoable insertion, replacing a selection: the
    // first caret mark "^!" is taken out and the caret ends where it stood (at the end of the
    // text when there is none); later marks stay as text. False for empty text, a read-only
    // document or a failure.
    bool InsertSnippet(const std::string& text);
    // Where the first caret mark of a snippet starts (a "^" that is a character of its own,
    // not the trail byte of a double-byte one); npos when there is none.
    static size_t FindCaretMark(const std::string& text);
    void InsertChars(const char* bytes, int32_t len);
    bool IsOverwrite() const { return m_overwrite; }
    void ArmColumnMode() { m_columnMode = true; }
    bool IsCapturing() const { return m_capture; }

    // Reads the input method's result string as ImmGetCompositionStringA does (a null buffer
    // asks for the length in bytes; -1: no input context). Tests put their own reader here to
    // drive WM_IME_COMPOSITION, which no input method can do under a virtual display.
    using ImeResultReader = LONG (*)(HWND wnd, char* buf, DWORD size);
    static ImeResultReader s_imeResultReader;

    // --- Column paste ----------------------------------------------------------------------
    // Inserts text (rows separated by CR LF) as a column block at the caret, inside the
    // caller's undo group: aligned, each row at the caret's x in the next record, a shorter
    // record padded with tabs to whole tab stops and then spaces (only spaces with
    // ExpandTabToSpaces); or appended, each row at a record's end after one space. Missing
    // records are added. The caret ends after the last row.
    struct PastedBlock {
        int32_t firstRecord = 0;
        int rows = 0;
        int left = 0, right = 0; // document x of the insertion and of the widest row's end
    };
    PastedBlock PasteColumnBlock(const std::string& text, bool aligned);

    // --- Drag and drop ---------------------------------------------------------------------
    // The drop target's work, callable directly: effect DROPEFFECT_COPY or _MOVE; the point in
    // window coordinates; text is the dropped CF_TEXT; isBlock when it is the editor's own
    // column block. Returns the effect done (DROPEFFECT_NONE when refused).
    DWORD DropText(const std::string& text, bool isBlock, POINT windowPt, DWORD effect);
    // The drag source's work after the drag loop ended with `effect`.
    void FinishDrag(DWORD effect);
    bool IsDragSource() const { return m_dragSource; }
    void BeginDragState() {
        m_dragSource = true;
        m_droppedIntoSource = false;
    }
    // The drop target's enter/over decision for a keyboard state (MK_CONTROL...).
    DWORD DropEffectFor(bool hasText, DWORD keyState) const;
    void ShowDropCaret(POINT windowPt);
    void RegisterDropTarget();
    // The drop target registered for the window (null when registering failed); not AddRef'ed.
    IDropTarget* DropTargetInterface() const;
    void RevokeDropTarget();
    void HideDropCaret();

    // --- IFxDocView --------------------------------------------------------------------------
    void SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) override;
    void OnTextEdited(const FxTextPos& caret, int32_t firstRecord, bool fromLineDown) override;
    void OnLineEndTypeChanged() override;

    // --- CView -------------------------------------------------------------------------------
    void OnDraw(HDC dc) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    bool OnScroll(UINT scrollCode, UINT pos, bool doScroll = true) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    // Undo and redo of the document, with the caret placed.
    bool Undo();
    bool Redo();

    // Paints the records [first, last] into a memory bitmap of the client size (the same line
    // painter as WM_PAINT); for tests of what a person sees.
    HBITMAP RenderToBitmap();
    // Lines are composed without a text call per run (true): glyphs of a font drawn without
    // antialiasing are set straight into the line bitmap, other fonts get one text call per
    // colour. False: one text call per run between tabs. Both give the same pixels; tests
    // compare the two.
    static bool s_composeLines;

    // Message handlers.
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnSetFocus(HWND oldWnd);
    void OnKillFocus(HWND newWnd);
    void OnVScroll(UINT code, UINT pos, HWND bar);
    void OnHScroll(UINT code, UINT pos, HWND bar);
    bool OnMouseWheel(UINT keys, short delta, POINT pt);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnImeComposition(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT keys, POINT pt);
    void OnLButtonUp(UINT keys, POINT pt);
    void OnLButtonDblClk(UINT keys, POINT pt);
    void OnRButtonDown(UINT keys, POINT pt);
    void OnMouseMove(UINT keys, POINT pt);
    void OnCaptureChanged(HWND newCapture);
    bool OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    void OnTimer(UINT_PTR id);
    LRESULT OnDpiChanged(WPARAM newDpi, LPARAM oldDpi);

    DECLARE_MESSAGE_MAP()

protected:
    // The selection's text with line breaks of the given style, cut at `limit` bytes: a short
    // part of a huge selection is taken without copying the rest.
    std::string SelectionTextUpTo(int lineEndType, size_t limit) const;
    // The live views.
    static std::vector<CFxEditView*>& Registry();
    void Register(bool live);
    // A caret of the current metrics when this view has the focus.
    void RecreateCaret();
    // The wrapping view lays out again and wraps the document at its new text width.
    void RewrapAtWindowEdge();
    // Caret placement.
    void ClampCaret();
    void UpdateCaretX();
    void PlaceCaret();
    void SetCaret(FxTextPos pos, bool resetSticky);
    void ResetSelectionFields();
    // Key movement helpers.
    FxTextPos CharLeft(FxTextPos p) const;
    FxTextPos CharRight(FxTextPos p) const;
    FxTextPos WordLeft(FxTextPos p) const;
    FxTextPos WordRight(FxTextPos p) const;
    FxTextPos AtStickyX(int32_t rec) const;
    void MoveOrExtend(FxTextPos to, bool extend, bool resetSticky);
    void OnKeyBackspace(bool ctrl);
    void OnKeyDelete(bool ctrl);
    void OnKeyEnter();
    void OnKeyTab();
    void OnKeyVertical(int key, bool shift, bool ctrl);
    // Editing primitives inside the caller's undo group.
    void InsertAtCaret(const char* text, FxSize len);
    // The whole string; one longer than a document can hold (a 64-bit process can be handed
    // one by the clipboard or a drop) throws std::bad_alloc, as the document's own limit does.
    void InsertAtCaret(const std::string& text);
    void DeleteRange(FxTextPos a, FxTextPos b, bool moveCaret);
    bool CheckWritable();
    void ReportException();
    // Words of the logical line around a position.
    int CharClass(const char* text, int32_t i, int32_t len) const;
    // The word (true) or single delimiter under p, as logical positions.
    bool WordAt(FxTextPos p, FxTextPos& start, FxTextPos& end) const;
    // Mouse.
    FxTextPos PointToPos(POINT windowPt) const;
    FxTextPos CharUnderPoint(POINT windowPt) const;
    RECT BandRect(const RECT& docRect) const;
    void EndCapture();
    void InvertBand(HDC dc, const RECT& docRect);
    void UpdateRubberBand(const RECT& oldRect, const RECT& newRect);
    RECT NormalRect(const RECT& r) const;
    void StartDrag();
    // Painting.
    struct PaintContext;
    void PaintAll(HDC target, const RECT& clip);
    void PaintRuler(HDC target, PaintContext& pc);
    void PaintLine(HDC mem, PaintContext& pc, int32_t rec);
    void PaintLineBack(HDC mem, PaintContext& pc, int32_t rec, int fromX);
    void PaintRuns(HDC mem, PaintContext& pc, const FxLine& line, int32_t from, int32_t to,
                   bool selected);
    void PaintSyntaxRuns(HDC mem, PaintContext& pc, const FxLine& line, int32_t upTo);
    void PaintGutter(HDC mem, PaintContext& pc, int32_t rec);
    TextMeasure MakeMeasure(HDC dc) const;
    COLORREF Colour(int slot) const;
    COLORREF TextBackColour() const;
    COLORREF ActiveLineColour() const;
    int TabSize() const;

    CFxEditDoc* m_doc = nullptr;
    const FileTypeInfo* m_type = nullptr;
    ViewLayout m_layout;
    ViewFontMetrics& m_fm;

    bool m_overwrite = false;
    bool m_capture = false;
    bool m_columnMode = false;
    bool m_columnDrag = false;    // a column rubber band is being dragged
    bool m_rewrapPending = false; // a wrap at the window edge waits for a usable width
    bool m_rewrapForced = false;  // ... and must split again even at the document's width
    bool m_hasFocus = false;

    // Selection: kind, length in bytes, first and last record (-1: none), the anchor (a piece
    // position: the end that is not the caret), the block rectangle in document pixels.
    int m_selKind = SEL_STREAM;
    FxSize m_selLength = 0;
    int32_t m_selFirst = -1, m_selLast = -1;
    FxTextPos m_anchor;
    RECT m_colRect = {0, 0, 0, 0};
    FxTextPos m_wordStart, m_wordEnd; // anchor word of a word drag (logical)
    FxTextPos m_dragAnchor;           // where a stream drag started

    int32_t m_top = 0; // first visible record
    int m_hscroll = 0; // horizontal scroll in average-width columns
    FxTextPos m_caret; // piece position
    int32_t m_caretDispCol = 0;
    int m_caretX = 0, m_stickyX = 0;
    int32_t m_caretLine = 0; // record of the last painted active line

    // Drag and drop.
    bool m_dragSource = false;
    bool m_droppedIntoSource = false;
    bool m_dropCaret = false;
    CFxDropTarget* m_dropTarget = nullptr;
    POINT m_downPt = {0, 0};

    // Scroll-bar thumbs moved without a redraw, redrawn by a timer: drawing a scroll bar costs
    // several times as much as scrolling the text by a line.
    void DeferScrollBarRedraw(int bar);
    void ArmScrollTimer();
    static constexpr UINT_PTR kScrollBarTimer = 0x5342;
    static constexpr UINT kScrollBarDelay = 15; // ms
    bool m_vbarStale = false, m_hbarStale = false;
    // Moves the pixels of `r` by (dx, dy) and paints what that uncovers at once; with a paint
    // pending it scrolls the window's update region along and leaves the paint to WM_PAINT.
    void ScrollPixels(int dx, int dy, const RECT& r);
    // The caret is hidden while scrolling goes on and shown again by the scroll timer: hiding
    // and showing it costs more than the scroll itself.
    bool m_caretHiddenForScroll = false;
    HDC m_wrapDC = nullptr; // the measuring context of a whole-document wrap, while it runs
    // Progress of a whole-document pass: a notice every `step` logical lines, numbered from 1.
    struct WrapProgress {
        bool on = false;
        int32_t step = 1, seen = 0;
        int reports = 0;
    } m_progress;
    void ReportWrapProgress(bool finished);
    std::vector<SyntaxRun> m_runs;   // scratch of the syntax painter
    std::vector<POINT> m_markPoints; // scratch of the marks painter: segment ends
    std::vector<DWORD> m_markCounts;
    std::vector<int> m_extents;
    friend class CFxDropTarget;
};
