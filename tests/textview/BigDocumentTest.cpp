// The editing features on a document of more than 2 GB (64-bit build): word wrap, the
// selection's length and text, Mark All, replace all, bookmarks and printing across the 2 GB
// edge, on one document loaded once for the suite and shown in a real view.
#include "tests/textview/ViewTestUtil.h"

#include "FileTestUtil.h"
#include "framework/PrintInfo.h"
#include "print/EditPrinting.h"
#include "textdoc/FileIO.h"
#include "textview/ViewFontMetrics.h"

#include "framework/OleInit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The common dialogs' FindText and ReplaceText macros would rename the search functions.
#undef FindText
#undef ReplaceText
#include "search/FxSearch.h"

#ifdef _WIN64

namespace {

// 2,112 MiB of lines of 1 MiB: lines 2048 and on start past the 2 GB edge.
const uint64_t kChunks = 2048 + 64;
const int32_t kLastLine = static_cast<int32_t>(kChunks);
const int64_t kFileSize = static_cast<int64_t>(kChunks * kMiB);

// The view's document, recording the wrap progress and the other events it is told.
class BigDoc : public CFxEditHostDoc {
public:
    void OnDocEvent(int code, int arg) override {
        if (code == FxEvWrapProgress)
            wrapProgress.push_back(arg);
        else
            events.push_back(code);
    }
    std::vector<int> wrapProgress;
    std::vector<int> events; // the others, by code
};

std::string LineTail(const CFxEditDoc& doc, int32_t line, size_t n) {
    FxTextPos head(0, line);
    doc.LogicalToPiece(head);
    const FxLine& r = doc.Record(head.line);
    const size_t len = static_cast<size_t>(r.lineLen);
    return len < n ? std::string(r.data, len) : std::string(r.data + len - n, n);
}

std::vector<int32_t> BookmarkedLines(const CFxEditDoc& doc) {
    std::vector<int32_t> lines;
    for (int32_t rec = 0; rec < doc.RecordCount(); ++rec)
        if (doc.Record(rec).flags & FXL_BOOKMARK)
            lines.push_back(doc.PieceToLogicalLine(rec));
    return lines;
}

// The texts drawn into a metafile, in the ANSI code page, in the order they were drawn.
int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* rec, int, LPARAM param) {
    auto* texts = reinterpret_cast<std::vector<std::string>*>(param);
    const auto* bytes = reinterpret_cast<const char*>(rec);
    if (rec->iType == EMR_EXTTEXTOUTA) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTA*>(rec);
        texts->emplace_back(bytes + t->emrtext.offString, t->emrtext.nChars);
    } else if (rec->iType == EMR_EXTTEXTOUTW) {
        const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
        const auto* wide = reinterpret_cast<const wchar_t*>(bytes + t->emrtext.offString);
        const int n = static_cast<int>(t->emrtext.nChars);
        std::string ansi(static_cast<size_t>(n) * 2, '\0');
        const int len = WideCharToMultiByte(CP_ACP, 0, wide, n, &ansi[0],
                                            static_cast<int>(ansi.size()), nullptr, nullptr);
        ansi.resize(static_cast<size_t>(std::max(0, len)));
        texts->push_back(ansi);
    }
    return 1;
}

std::vector<std::string> TextsOf(HENHMETAFILE emf) {
    std::vector<std::string> texts;
    EnumEnhMetaFile(nullptr, emf, CollectText, &texts, nullptr);
    return texts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t.find(text) != std::string::npos)
            return true;
    return false;
}

class BigDocumentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new Scratch;
        const std::string path = s_dir->Path("big.txt");
        ASSERT_TRUE(MakeChunkedFile(path, kChunks));
        AfxOleInit();
        ViewFontMetrics::Shared().SetFont(TestFont());
        s_type = new FileTypeInfo(MakeFileType());
        s_doc = new BigDoc;
        s_doc->m_bAutoDelete = false;
        s_doc->OnNewDocument();
        s_win = new ViewWindow;
        s_win->Open(s_doc, 480, 320, s_type);
        ASSERT_NE(s_win->view, nullptr);
        ASSERT_TRUE(LoadDocumentFile(*s_doc, path.c_str()));
        s_win->view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
        PumpViewMessages();
    }
    static void TearDownTestSuite() {
        if (s_win)
            s_win->Close();
        delete s_win;
        delete s_doc;
        delete s_type;
        delete s_dir;
        s_win = nullptr;
        s_doc = nullptr;
        s_type = nullptr;
        s_dir = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(s_win, nullptr);
        ASSERT_NE(s_win->view, nullptr);
        ASSERT_EQ(s_doc->DocumentSize(), kFileSize);
        m_view = s_win->view;
        m_doc = s_doc;
    }
    void TearDown() override {
        m_view->ClearSelection();
        m_view->MoveCaretTo(FxTextPos(0, 0));
    }

    // A key pressed on the view with the given modifiers held.
    void Key(UINT vk, bool shift, bool ctrl) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = keys[VK_LCONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        m_view->SendMessage(WM_KEYDOWN, vk, 1);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
        PumpViewMessages();
    }

    static Scratch* s_dir;
    static FileTypeInfo* s_type;
    static BigDoc* s_doc;
    static ViewWindow* s_win;
    CFxEditView* m_view = nullptr;
    BigDoc* m_doc = nullptr;
};

Scratch* BigDocumentTest::s_dir = nullptr;
FileTypeInfo* BigDocumentTest::s_type = nullptr;
BigDoc* BigDocumentTest::s_doc = nullptr;
ViewWindow* BigDocumentTest::s_win = nullptr;

} // namespace

TEST_F(BigDocumentTest, TheWholeDocumentSelectedCountsEveryByte) {
    Key(VK_HOME, false, true);
    Key(VK_END, true, true);
    ASSERT_TRUE(m_view->HasSelection());
    EXPECT_EQ(m_view->SelectionLength(FxLineEndDos, false), kFileSize);
    EXPECT_EQ(m_view->SelectionLength(FxLineEndDos, true), kFileSize);
    // With one-byte breaks each of the 2,112 breaks counts one byte less.
    EXPECT_EQ(m_view->SelectionLength(FxLineEndUnix, false), kFileSize - kLastLine);

    // A short start of the huge selection, the zero bytes as spaces.
    char buf[16];
    EXPECT_EQ(m_view->CopySelectionText(FxLineEndDos, buf, sizeof buf), 15);
    EXPECT_EQ(std::string(buf), "L000000\r\n      ");
}

TEST_F(BigDocumentTest, ASelectionPastTheEdgeCountsItsBytes) {
    // From the middle of line 2100 to the end of line 2110: all of it past the 2 GB edge.
    m_view->MoveCaretTo(FxTextPos(1000, 2110));
    m_view->SelectRange(FxTextPos(1000, 2100));
    EXPECT_EQ(m_view->SelectionLength(FxLineEndDos, false), 10 * static_cast<int64_t>(kMiB));
    char buf[8];
    EXPECT_EQ(m_view->CopySelectionText(FxLineEndDos, buf, sizeof buf), 7);
    EXPECT_EQ(std::string(buf), "       ");
}

TEST_F(BigDocumentTest, WrapAtAColumnAndOffAgainKeepsPositionsAndBookmarksPastTheEdge) {
    const int64_t offsetBefore = m_doc->PosToOffset(FxTextPos(5000, 2100));
    ASSERT_GT(offsetBefore, int64_t{1} << 31);
    m_doc->RecordRef(2100).flags |= FXL_BOOKMARK;
    m_doc->RecordRef(2110).flags |= FXL_BOOKMARK;
    m_doc->SetBookmarkCount(2);
    m_doc->wrapProgress.clear();
    ASSERT_TRUE(m_view->SetWrapMode(2, 4096));
    ASSERT_TRUE(m_doc->IsWrapped());
    // Every line of 1 MiB less its break becomes 256 pieces; the first and the last fewer.
    EXPECT_EQ(m_doc->LogicalLineCount(), kLastLine + 1);
    EXPECT_GT(m_doc->RecordCount(), 256 * (kLastLine - 1));
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
    EXPECT_EQ(BookmarkedLines(*m_doc), (std::vector<int32_t>{2100, 2110}));

    // The progress runs up to 100 and ends there.
    ASSERT_FALSE(m_doc->wrapProgress.empty());
    EXPECT_EQ(m_doc->wrapProgress.back(), 100);
    for (size_t i = 1; i < m_doc->wrapProgress.size(); ++i)
        EXPECT_GT(m_doc->wrapProgress[i], m_doc->wrapProgress[i - 1]);

    // A logical position past the edge and its piece position name the same byte.
    const FxTextPos piece = m_doc->LogicalToPiecePos(FxTextPos(5000, 2100));
    EXPECT_EQ(piece.col, 5000 - 4096);
    EXPECT_EQ(m_doc->PieceToLogical(piece), FxTextPos(5000, 2100));
    EXPECT_EQ(m_doc->PosToOffset(piece), offsetBefore);

    // The caret put there goes to the same place, and a whole selection counts the same.
    m_view->GoToPos(FxTextPos(5000, 2100));
    EXPECT_EQ(m_view->Caret(), piece);
    Key(VK_HOME, false, true);
    Key(VK_END, true, true);
    EXPECT_EQ(m_view->SelectionLength(FxLineEndDos, true), kFileSize);
    m_view->ClearSelection();

    m_doc->wrapProgress.clear();
    ASSERT_TRUE(m_view->SetWrapMode(0, 0));
    EXPECT_FALSE(m_doc->IsWrapped());
    EXPECT_EQ(m_doc->RecordCount(), kLastLine + 1);
    EXPECT_EQ(m_doc->PosToOffset(FxTextPos(5000, 2100)), offsetBefore);
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
    EXPECT_EQ(m_doc->wrapProgress, std::vector<int>{100});
    EXPECT_EQ(BookmarkedLines(*m_doc), (std::vector<int32_t>{2100, 2110}));
    EXPECT_EQ(m_doc->BookmarkCount(), 2);
    FxClearBookmarks(*m_doc);
}

TEST_F(BigDocumentTest, MarkAllCountsAndMarksTheLinesPastTheEdge) {
    FxSearch req;
    req.pattern = "L0021";
    std::vector<FxSearchHit> hits;
    FxSearchResult res = MarkAll(*m_doc, req, &hits);
    ASSERT_TRUE(res.Found());
    EXPECT_EQ(res.count, 12); // lines 2100 to 2111
    EXPECT_EQ(m_doc->BookmarkCount(), 12);
    ASSERT_EQ(hits.size(), 12u);
    EXPECT_EQ(hits.front().start, FxTextPos(static_cast<int32_t>(kMiB - 9), 2100));
    EXPECT_EQ(hits.back().start, FxTextPos(static_cast<int32_t>(kMiB - 9), 2111));
    std::vector<int32_t> expected;
    for (int32_t line = 2100; line <= 2111; ++line)
        expected.push_back(line);
    EXPECT_EQ(BookmarkedLines(*m_doc), expected);

    // Every numbered line, on both sides of the edge.
    req.pattern = "L00";
    res = MarkAll(*m_doc, req);
    EXPECT_EQ(res.count, kLastLine);
    EXPECT_EQ(m_doc->BookmarkCount(), kLastLine);
    FxClearBookmarks(*m_doc);
}

TEST_F(BigDocumentTest, ReplaceAllAcrossTheEdgeAndItsUndo) {
    FxSearch req;
    req.pattern = "L0020";
    req.replacement = "M0020+";
    FxSearchResult res = ReplaceText(*m_doc, req);
    ASSERT_TRUE(res.Found());
    EXPECT_EQ(res.count, 100); // lines 2000 to 2099, the edge among them
    EXPECT_EQ(m_doc->DocumentSize(), kFileSize + 100);
    EXPECT_EQ(LineTail(*m_doc, 1999, 7), "L001999");
    EXPECT_EQ(LineTail(*m_doc, 2000, 8), "M0020+00");
    EXPECT_EQ(LineTail(*m_doc, 2048, 8), "M0020+48");
    EXPECT_EQ(LineTail(*m_doc, 2099, 8), "M0020+99");
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
    EXPECT_EQ(res.caret, FxTextPos(static_cast<int32_t>(kMiB - 9 + 6), 2099));

    FxTextPos caret;
    ASSERT_TRUE(m_doc->Undo(&caret));
    EXPECT_EQ(m_doc->DocumentSize(), kFileSize);
    EXPECT_EQ(LineTail(*m_doc, 2000, 7), "L002000");
    EXPECT_EQ(LineTail(*m_doc, 2048, 7), "L002048");
    EXPECT_EQ(LineTail(*m_doc, 2099, 7), "L002099");
    EXPECT_EQ(m_doc->LogicalLineCount(), kLastLine + 1);
}

TEST_F(BigDocumentTest, BookmarksPastTheEdgeFollowAnEditBeforeIt) {
    m_doc->RecordRef(2100).flags |= FXL_BOOKMARK;
    m_doc->RecordRef(2110).flags |= FXL_BOOKMARK;
    m_doc->SetBookmarkCount(2);
    // Five whole lines taken out before the edge: the marks move up with their lines.
    DeleteRange(*m_doc, FxTextPos(0, 10), FxTextPos(0, 15));
    EXPECT_EQ(BookmarkedLines(*m_doc), (std::vector<int32_t>{2095, 2105}));
    EXPECT_EQ(LineTail(*m_doc, 2095, 7), "L002100");
    EXPECT_EQ(m_doc->BookmarkCount(), 2);
    FxTextPos caret;
    ASSERT_TRUE(m_doc->Undo(&caret));
    EXPECT_EQ(BookmarkedLines(*m_doc), (std::vector<int32_t>{2100, 2110}));
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
    FxClearBookmarks(*m_doc);
}

TEST_F(BigDocumentTest, ADropOfMoreThanTwoGigabytesGoesInWholeAndIsUndone) {
    // 2,049 lines of 1 MiB with their breaks: more than 2 GB of text.
    std::string text(static_cast<size_t>(2049 * kMiB), 'x');
    for (size_t end = kMiB; end <= text.size(); end += kMiB) {
        text[end - 2] = '\r';
        text[end - 1] = '\n';
    }
    ASSERT_GT(text.size(), size_t{1} << 31);
    m_doc->events.clear();
    m_view->MoveCaretTo(FxTextPos(0, 0));
    FxTextPos dropPos(3, 0);
    const POINT at = {m_view->WindowXFromDoc(m_view->PieceColumnToX(dropPos)),
                      m_view->WindowYFromRecord(0) + 2};
    EXPECT_EQ(m_view->DropText(text, false, at, DROPEFFECT_COPY),
              static_cast<DWORD>(DROPEFFECT_COPY));
    text = std::string();
    EXPECT_TRUE(m_doc->events.empty()); // no out-of-memory notice
    EXPECT_EQ(m_doc->DocumentSize(), kFileSize + static_cast<int64_t>(2049 * kMiB));
    EXPECT_EQ(m_doc->LogicalLineCount(), kLastLine + 1 + 2049);
    // "L00" and the dropped lines, then "0000" ends the first line again.
    EXPECT_EQ(m_doc->GetLineLength(0), static_cast<int32_t>(3 + kMiB - 2));
    EXPECT_EQ(LineTail(*m_doc, 2049, 4), "0000");
    EXPECT_EQ(LineTail(*m_doc, 2100 + 2049, 7), "L002100");

    FxTextPos caret;
    ASSERT_TRUE(m_doc->Undo(&caret));
    EXPECT_EQ(m_doc->DocumentSize(), kFileSize);
    EXPECT_EQ(m_doc->LogicalLineCount(), kLastLine + 1);
    EXPECT_EQ(LineTail(*m_doc, 0, 7), "L000000");
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
}

TEST_F(BigDocumentTest, APagePastTheEdgePrintsItsLinesAndThePagesAreCounted) {
    // A memory context stands in for the printer: the job measures and lays out on it.
    HDC printer = CreateCompatibleDC(nullptr);
    ASSERT_NE(printer, nullptr);
    std::unique_ptr<PrintJob> job(CreatePrintJob(*m_view, printer, false));
    job->lineNumbers = true;
    job->footerTemplate = "page &p of &P";
    CPrintInfo info;
    LayoutPrintJob(*job, *m_view, info);
    const int per = job->linesPerPage;
    ASSERT_GT(per, 1);
    EXPECT_EQ(job->lineCount, kLastLine + 1);
    const int pages = (kLastLine + per) / per;
    EXPECT_EQ(job->pageCount, pages);
    EXPECT_EQ(info.GetMaxPage(), static_cast<UINT>(pages));

    // The page holding line 2100, its lines made short (their zero bytes taken out) so that
    // each prints as its number.
    const int page = 2100 / per + 1;
    const int32_t first = (page - 1) * per;
    const int32_t last = std::min<int32_t>(first + per, kLastLine) - 1;
    for (int32_t line = first; line <= last; ++line)
        DeleteRange(*m_doc, FxTextPos(0, line), FxTextPos(m_doc->GetLineLength(line) - 7, line));
    LayoutPrintJob(*job, *m_view, info);
    EXPECT_EQ(job->pageCount, pages);

    HDC emfDC = CreateEnhMetaFileA(printer, nullptr, nullptr, nullptr);
    ASSERT_NE(emfDC, nullptr);
    info.m_nCurPage = static_cast<UINT>(page);
    PrintJobPage(*job, emfDC, info);
    HENHMETAFILE emf = CloseEnhMetaFile(emfDC);
    ASSERT_NE(emf, nullptr);
    const std::vector<std::string> texts = TextsOf(emf);
    DeleteEnhMetaFile(emf);
    job.reset();
    DeleteDC(printer);

    ASSERT_LE(first, 2100);
    ASSERT_GE(last, 2100);
    EXPECT_TRUE(Holds(texts, "L002100"));
    EXPECT_TRUE(Holds(texts, "2101")); // its line number
    EXPECT_TRUE(Holds(texts, "L00" + std::to_string(first)));
    EXPECT_TRUE(Holds(texts, "L00" + std::to_string(last)));
    EXPECT_FALSE(Holds(texts, "L00" + std::to_string(last + 1)));
    EXPECT_TRUE(Holds(texts, "page " + std::to_string(page) + " of " + std::to_string(pages)));

    FxTextPos caret;
    for (int32_t line = first; line <= last; ++line)
        ASSERT_TRUE(m_doc->Undo(&caret));
    EXPECT_EQ(m_doc->DocumentSize(), kFileSize);
    EXPECT_EQ(LineTail(*m_doc, 2100, 7), "L002100");
}

#endif
