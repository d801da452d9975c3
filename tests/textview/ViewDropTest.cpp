// Drag and drop through the drop target's work, and a random edit sequence in a wrapped
// document checked against a plain string model, then undone to the start.
#include "tests/textview/ViewTestUtil.h"

#include "framework/CreateContext.h"
#include "textview/ViewFontMetrics.h"

#include <cstring>
#include <random>
#include <string>

TEST_F(ViewTest, MoveForwardWithinOneLineLandsWhereDropped) {
    SetScript("[ab|cdefg");
    m_view->BeginDragState();
    // Dropped between "f" and "g": after removing "ab" the position moves back by 2.
    const DWORD done = m_view->DropText(m_view->CopySelectionText(0), false,
                                        PointOf(FxTextPos(6, 0)), DROPEFFECT_MOVE);
    m_view->FinishDrag(done);
    EXPECT_EQ(done, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(Text(), "cdefabg");
    EXPECT_EQ(m_view->CopySelectionText(0), "ab");
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "abcdefg");
}

TEST_F(ViewTest, MoveAcrossDosLineBreaksCorrectsByOffsets) {
    SetText("ab\ncd\nxyz");
    m_view->MoveCaretTo(FxTextPos(1, 1));
    m_view->SelectRange(FxTextPos(1, 0)); // "b\r\nc": 4 bytes, 3 offsets
    m_view->BeginDragState();
    const DWORD done = m_view->DropText(m_view->CopySelectionText(0), false,
                                        PointOf(FxTextPos(2, 2)), DROPEFFECT_MOVE);
    m_view->FinishDrag(done);
    EXPECT_EQ(Text(), "ad\nxyb\ncz");
}

TEST_F(ViewTest, DropOntoItsOwnSelectionChangesNothing) {
    SetScript("a[bcd|e");
    m_view->BeginDragState();
    const DWORD done = m_view->DropText("bcd", false, PointOf(FxTextPos(2, 0)), DROPEFFECT_MOVE);
    EXPECT_EQ(done, static_cast<DWORD>(DROPEFFECT_NONE));
    m_view->FinishDrag(done);
    EXPECT_EQ(Text(), "abcde");
    EXPECT_FALSE(m_view->HasSelection());
}

TEST_F(ViewTest, CopyDropLeavesTheSource) {
    SetScript("[ab|-");
    m_view->BeginDragState();
    m_view->FinishDrag(m_view->DropText("ab", false, PointOf(FxTextPos(3, 0)), DROPEFFECT_COPY));
    EXPECT_EQ(Text(), "ab-ab");
}

TEST_F(ViewTest, MoveBetweenTwoViewsOfOneDocumentIsOneOperation) {
    SetText("hello world");
    ViewWindow second;
    second.Open(m_doc, 300, 120, &m_type);
    ASSERT_EQ(m_doc->SecondView(), second.view);
    m_view->MoveCaretTo(FxTextPos(5, 0));
    m_view->SelectRange(FxTextPos(0, 0));
    m_view->BeginDragState();
    // Dropped at the end through the second view: handed to the source view.
    POINT at = PointOf(FxTextPos(11, 0), second.view);
    const DWORD done = second.view->DropText("hello", false, at, DROPEFFECT_MOVE);
    m_view->FinishDrag(done);
    EXPECT_EQ(Text(), " worldhello");
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "hello world");
    second.Close();
}

TEST_F(ViewTest, ColumnBlockDropsAsABlock) {
    SetText("abc\ndef\nxy\nzz");
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    m_view->SelectColumnBlock(RECT{0, 0, 1 * fm.aveWidth, fm.linePitch + 1});
    ASSERT_EQ(m_view->CopySelectionText(0), "a\r\nd\r\n");
    m_view->BeginDragState();
    const DWORD done =
        m_view->DropText("a\r\nd\r\n", true, PointOf(FxTextPos(2, 2)), DROPEFFECT_COPY);
    m_view->FinishDrag(done);
    EXPECT_EQ(Text(), "abc\ndef\nxya\nzzd");
}

// Rows that land beyond a shorter line's end are padded as the aligned column paste pads:
// tabs to whole tab stops, then spaces; only spaces with ExpandTabToSpaces.
TEST_F(ViewTest, ColumnBlockDroppedPastShortLinesIsPaddedWithTabs) {
    for (int expand = 0; expand <= 1; ++expand) {
        m_type.expandTabToSpaces = expand;
        SetText("abcdefghijkl\n\nab\nzz");
        const ViewFontMetrics& fm = ViewFontMetrics::Shared();
        m_view->SelectColumnBlock(
            RECT{0, 3 * fm.linePitch, 2 * fm.aveWidth, 3 * fm.linePitch + fm.linePitch / 2});
        ASSERT_EQ(m_view->CopySelectionText(0), "zz\r\n");
        // Three rows dropped at column 10 of the first line: the two below are shorter.
        m_view->BeginDragState();
        const DWORD done = m_view->DropText("12\r\n34\r\n56\r\n", true, PointOf(FxTextPos(10, 0)),
                                            DROPEFFECT_COPY);
        m_view->FinishDrag(done);
        if (expand)
            EXPECT_EQ(Text(), "abcdefghij12kl\n          34\nab        56\nzz");
        else
            EXPECT_EQ(Text(), "abcdefghij12kl\n\t  34\nab\t  56\nzz");
    }
    m_type.expandTabToSpaces = 0;
}

TEST_F(ViewTest, RandomEditsInAWrappedDocumentMatchAModel) {
    SetText("the quick brown fox\njumps over\n\nthe lazy dog");
    m_view->SetWrapMode(2, 7);
    const std::string start = Text();
    std::string model = start;
    std::mt19937 rng(12345);
    auto logicalToIndex = [&](FxTextPos p) {
        size_t i = 0;
        for (int32_t l = 0; l < p.line; ++l)
            i = model.find('\n', i) + 1;
        return i + static_cast<size_t>(p.col);
    };
    int undoable = 0;
    for (int step = 0; step < 150; ++step) {
        const int32_t rec =
            static_cast<int32_t>(rng() % static_cast<unsigned>(m_doc->RecordCount()));
        const int32_t col =
            static_cast<int32_t>(rng() % static_cast<unsigned>(m_doc->Record(rec).len + 1));
        m_view->ClearSelection();
        m_view->MoveCaretTo(FxTextPos(col, rec));
        const size_t at = logicalToIndex(LogicalCaret());
        switch (rng() % 5) {
        case 0:
        case 1: {
            const char c = "ab xy-."[rng() % 7];
            Char(static_cast<unsigned char>(c));
            model.insert(at, 1, c);
            break;
        }
        case 2: {
            // Automatic indentation copies the width of the blanks before the caret.
            size_t ls = 0;
            if (at > 0) {
                size_t nl = model.rfind('\n', at - 1);
                ls = nl == std::string::npos ? 0 : nl + 1;
            }
            int w = 0;
            for (size_t e = ls; e < at && (model[e] == ' ' || model[e] == '\t'); ++e)
                w = model[e] == '\t' ? (w / 8 + 1) * 8 : w + 1;
            std::string text = "\n";
            text.append(static_cast<size_t>(w / 8), '\t');
            text.append(static_cast<size_t>(w % 8), ' ');
            Press("Enter");
            model.insert(at, text);
            break;
        }
        case 3: {
            // A selection of a few characters forward, deleted.
            const FxTextPos a = m_view->Caret();
            for (unsigned k = rng() % 6; k > 0; --k)
                Press("S-Right");
            const size_t b = logicalToIndex(LogicalCaret());
            (void)a;
            Press("Del");
            if (b > at)
                model.erase(at, b - at);
            else if (at < model.size())
                model.erase(at, 1);
            break;
        }
        default:
            Press("Back");
            if (at > 0)
                model.erase(at - 1, 1);
            break;
        }
        ++undoable;
        ASSERT_EQ(Text(), model) << "step " << step;
        int64_t sum = 0;
        for (int32_t r = 0; r < m_doc->RecordCount(); ++r) {
            ASSERT_GE(m_doc->Record(r).len, 0);
            if (m_doc->Record(r).IsContinued()) {
                ASSERT_GT(m_doc->Record(r).len, 0) << "empty continuation at " << r;
            }
            sum += m_doc->Record(r).len;
        }
        (void)sum;
    }
    while (m_view->Undo()) {
    }
    EXPECT_EQ(Text(), start);
}

namespace {

// A data object holding CF_TEXT (or nothing), as another program's drag would offer it.
class TextDataObject : public IDataObject {
public:
    explicit TextDataObject(const char* text, bool hasText = true)
        : m_text(text), m_hasText(hasText) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; } // lives on the test's stack
    STDMETHODIMP GetData(FORMATETC* fmt, STGMEDIUM* medium) override {
        if (QueryGetData(fmt) != S_OK)
            return DV_E_FORMATETC;
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, m_text.size() + 1);
        std::memcpy(GlobalLock(mem), m_text.c_str(), m_text.size() + 1);
        GlobalUnlock(mem);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = mem;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* fmt) override {
        return m_hasText && fmt->cfFormat == CF_TEXT && (fmt->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::string m_text;
    bool m_hasText;
    ULONG m_refs = 1;
};

POINTL ScreenPoint(CFxEditView* view, POINT client) {
    ClientToScreen(view->m_hWnd, &client);
    return POINTL{client.x, client.y};
}

} // namespace

TEST_F(ViewTest, DropTargetInterfaceInsertsForeignText) {
    IDropTarget* target = m_view->DropTargetInterface();
    ASSERT_NE(target, nullptr);
    SetScript("abc|");
    TextDataObject data("XY");
    const POINTL at = ScreenPoint(m_view, PointOf(FxTextPos(1, 0)));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, MK_CONTROL, at, &effect), S_OK);
    PumpViewMessages();
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Text(), "aXYbc");
}

TEST_F(ViewTest, DropTargetInterfaceRefusesDataWithoutText) {
    IDropTarget* target = m_view->DropTargetInterface();
    ASSERT_NE(target, nullptr);
    SetScript("abc|");
    TextDataObject data("XY", false);
    const POINTL at = ScreenPoint(m_view, PointOf(FxTextPos(1, 0)));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&data, 0, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Text(), "abc");
}

// The real drag loop: the button goes down on the selection and, with the button already up
// again and the pointer elsewhere in the text, the loop drops there at once.
TEST_F(ViewTest, DragLoopMovesTheSelectionToThePointer) {
    m_type.dragDrop = 1;
    SetScript("[hello| world");
    POINT screen = PointOf(FxTextPos(11, 0));
    ClientToScreen(m_view->m_hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(2, 0)), MK_LBUTTON);
    PumpViewMessages();
    EXPECT_EQ(Text(), " worldhello");
    EXPECT_FALSE(m_view->IsDragSource());
    // One undo step puts the text back.
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "hello world");
}

// Released without moving onto another place: the drop lands on the selection itself, which
// changes nothing; the caret stays where the button went down.
TEST_F(ViewTest, DragLoopOntoItsOwnSelectionOnlyPlacesTheCaret) {
    m_type.dragDrop = 1;
    SetScript("[hello| world");
    POINT screen = PointOf(FxTextPos(2, 0));
    ClientToScreen(m_view->m_hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(2, 0)), MK_LBUTTON);
    PumpViewMessages();
    EXPECT_EQ(Text(), "hello world");
    EXPECT_FALSE(m_view->HasSelection());
    EXPECT_EQ(m_view->Caret(), FxTextPos(2, 0));
}

// A column block dragged through the real loop is recognised by its handle and lands as a
// block.
TEST_F(ViewTest, DragLoopMovesAColumnBlockAsABlock) {
    m_type.dragDrop = 1;
    SetText("abc\ndef\nxy\nzz");
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    m_view->SelectColumnBlock(RECT{0, 0, 1 * fm.aveWidth, fm.linePitch + 1});
    POINT screen = PointOf(FxTextPos(2, 2));
    ClientToScreen(m_view->m_hWnd, &screen);
    SetCursorPos(screen.x, screen.y);
    POINT down = PointOf(FxTextPos(0, 1));
    down.x += fm.aveWidth / 2;
    Mouse(WM_LBUTTONDOWN, down, MK_LBUTTON);
    PumpViewMessages();
    EXPECT_EQ(Text(), "bc\nef\nxya\nzzd");
    EXPECT_EQ(ColumnDragData::Shared().dragHandle, nullptr);
}
