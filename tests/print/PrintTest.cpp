// Printing through the real printer path: documents printed by the view's print commands to a
// PDF printer under Wine, read back as text and pixels. Without the printer (no $QV_PDF_DIR)
// the cases that need it are skipped. Layer: tests of print/.
#include "tests/app/TextViewFixture.h"
#include "tests/WinTestSupport.h"
#include "tests/print/PrintTestUtil.h"

#include "framework/Document.h"
#include "framework/FwPrintIds.h"
#include "framework/Printer.h"

#include <cstdio>

using namespace printtest;
using viewtest::TextViewTest;
using viewtest::TheApp;

namespace {

class PrintTest : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        if (PdfDir().empty())
            GTEST_SKIP() << "no PDF printer";
        m_saved = AppSettings()->Print();
        PrintSettings& ps = AppSettings()->Print();
        ps.marginUnit = 0;
        ps.marginLeft = ps.marginRight = ps.marginTop = ps.marginBottom = 1.0;
        ps.spacingHeader = ps.spacingFooter = 0.2;
        ps.header = ps.footer = "empty";
        ps.ignoreSyntaxColor = false;
        ps.customFont = false;
        ClearPdfs();
    }
    void TearDown() override {
        if (!PdfDir().empty())
            AppSettings()->Print() = m_saved;
        for (CDocument* d : m_opened)
            d->OnCloseDocument();
        m_opened.clear();
        m_files.Remove();
        TextViewTest::TearDown();
    }
    void TypeLines(int count, const char* format = "L%03d") {
        std::string text;
        for (int i = 1; i <= count; ++i) {
            char line[32];
            std::snprintf(line, sizeof line, format, i);
            text += line;
            if (i < count)
                text += "\r\n";
        }
        Type(text.c_str());
    }
    // A file opened as a document; its view.
    CTextEditView* OpenFile(const char* name, const std::string& bytes) {
        const std::string path = m_files.Path(name);
        WriteWholeFile(path, bytes);
        CDocument* doc = TheApp().OpenDocumentFile(path.c_str());
        TheApp().PumpPendingMessages();
        if (!doc)
            return nullptr;
        m_opened.push_back(doc);
        return DynamicDowncast<CTextEditView>(doc->GetFirstView());
    }
    std::string Print(CView* view = nullptr) {
        ClearPdfs();
        (view ? view : m_view)->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return PrintedText();
    }
    PrintSettings m_saved;
    TempFolder m_files{"qvprint"};
    std::vector<CDocument*> m_opened;
};

int FirstNumber(const std::string& line) {
    const size_t at = line.find('L');
    return at == std::string::npos ? -1 : std::atoi(line.c_str() + at + 1);
}

} // namespace

TEST_F(PrintTest, PagesBreakAtTheBodyHeight) {
    Doc()->m_showLineNumbers = false;
    TypeLines(130);
    const std::vector<std::string> pages = Pages(Print());
    const int count = PrintedPages();
    ASSERT_GE(pages.size(), 2u);
    const std::vector<std::string> first = Lines(pages[0]);
    const int perPage = static_cast<int>(first.size());
    // A4 less two inches at 300 dpi, a line of a 16-pixel screen font scaled to the printer.
    EXPECT_GT(perPage, 30);
    EXPECT_LT(perPage, 80);
    EXPECT_EQ(count, (130 + perPage - 1) / perPage);
    EXPECT_EQ(first.front(), "L001");
    int expect = 1;
    for (int p = 0; p < count; ++p) {
        const std::vector<std::string> lines = Lines(pages[static_cast<size_t>(p)]);
        ASSERT_FALSE(lines.empty()) << "page " << p + 1;
        EXPECT_EQ(FirstNumber(lines.front()), expect) << "page " << p + 1;
        expect += static_cast<int>(lines.size());
        if (p + 1 < count) {
            EXPECT_EQ(static_cast<int>(lines.size()), perPage);
        }
    }
    EXPECT_EQ(expect, 131);
}

TEST_F(PrintTest, HeaderAndFooterCodesAreExpandedAndAligned) {
    PrintSettings& ps = AppSettings()->Print();
    ps.header = "&lLEFT&cMID&rRIGHT&bpage &p of &P";
    ps.footer = "&f|&D|&T&rEND";
    std::string text;
    for (int i = 1; i <= 80; ++i)
        text += "body line\r\n";
    CTextEditView* view = OpenFile("codes.txt", text);
    ASSERT_NE(view, nullptr);
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[128], time[128];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &now, nullptr, time, sizeof time);
    const std::vector<std::string> pages = Pages(Print(view));
    ASSERT_EQ(PrintedPages(), 2);
    for (int p = 0; p < 2; ++p) {
        const std::vector<std::string> lines = Lines(pages[static_cast<size_t>(p)]);
        ASSERT_GE(lines.size(), 4u);
        const std::string& h = lines[0];
        const size_t l = h.find("LEFT"), m = h.find("MID"), r = h.find("RIGHT");
        ASSERT_NE(l, std::string::npos) << h;
        ASSERT_NE(m, std::string::npos) << h;
        ASSERT_NE(r, std::string::npos) << h;
        EXPECT_LT(l, 2u) << h;
        EXPECT_EQ(r + 5, h.size()) << h;
        EXPECT_LT(l, m) << h;
        EXPECT_LT(m, r) << h;
        EXPECT_NE(lines[1].find("page " + std::to_string(p + 1) + " of 2"), std::string::npos)
            << lines[1];
        const std::string& f = lines.back();
        EXPECT_EQ(f.find("codes.txt|"), 0u) << f;
        EXPECT_NE(f.find(std::string("|") + date + "|"), std::string::npos) << f;
        EXPECT_EQ(f.substr(f.size() - 3), "END") << f;
        // The time at print time: the minute may have turned since it was taken here.
        EXPECT_NE(f.find(std::string(time).substr(0, 2)), std::string::npos) << f;
    }
}

TEST_F(PrintTest, FullPathCodeAndTab) {
    PrintSettings& ps = AppSettings()->Print();
    ps.header = "[&F]&bA&tB";
    CTextEditView* view = OpenFile("full.txt", "x\r\n");
    ASSERT_NE(view, nullptr);
    const std::vector<std::string> lines = Lines(Print(view));
    ASSERT_GE(lines.size(), 3u);
    const std::string path = view->GetDocument()->GetPathName();
    EXPECT_EQ(lines[0], "[" + path + "]");
    // The tab moves B to the next tab stop: blanks between the two.
    EXPECT_EQ(lines[1].substr(0, 1), "A");
    EXPECT_NE(lines[1].find_first_not_of(' ', 1), 1u) << lines[1];
}

TEST_F(PrintTest, EmptyTemplatesPrintNothingAboveTheBody) {
    PrintSettings& ps = AppSettings()->Print();
    ps.header = "EMPTY";
    ps.footer = "";
    Doc()->m_showLineNumbers = false;
    TypeLines(3);
    const std::string text = Print();
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0], "L001");
}

TEST_F(PrintTest, LineNumbersOnlyOnHeadPiecesOfAColumnWrap) {
    Type("short\r\n");
    Type(std::string(50, 'x').c_str());
    m_view->SetWrapMode(2, 20);
    const std::string text = Print();
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 4u) << text;
    EXPECT_EQ(lines[0], "1 short");
    EXPECT_EQ(lines[1], "2 " + std::string(20, 'x'));
    EXPECT_EQ(lines[2], "  " + std::string(20, 'x'));
    EXPECT_EQ(lines[3], "  " + std::string(10, 'x'));
}

TEST_F(PrintTest, AWindowEdgeWrapPrintsAtThePaperWidth) {
    Doc()->m_showLineNumbers = false;
    Type(std::string(300, 'w').c_str());
    m_view->SetWrapMode(1, 0);
    ASSERT_TRUE(Doc()->IsWrapped());
    const int32_t windowPiece = Doc()->Record(0).len;
    const std::vector<std::string> lines = Lines(Print());
    ASSERT_GE(lines.size(), 2u);
    // The paper is wider than the window's text area here (or the test means nothing).
    EXPECT_NE(static_cast<int32_t>(lines[0].size()), windowPiece);
    size_t total = 0;
    for (const std::string& l : lines)
        total += l.size();
    EXPECT_EQ(total, 300u);
    EXPECT_GT(lines[0].size(), 60u);
}

TEST_F(PrintTest, OddPagesOfThreeToThreePrintPageThree) {
    Doc()->m_showLineNumbers = false;
    TypeLines(250);
    const std::vector<std::string> all = Pages(Print());
    const int count = PrintedPages();
    ASSERT_GE(count, 4);
    const std::string third = Lines(all[2]).front();
    QuickPrintSettings once;
    once.marginLeft = once.marginTop = once.marginRight = once.marginBottom = 1.0;
    once.header = once.footer = "empty";
    once.fromPage = once.toPage = 3;
    once.oddEven = 1;
    m_view->SetOneTimePrintSettings(once);
    const std::vector<std::string> pages = Pages(Print());
    EXPECT_EQ(PrintedPages(), 1);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(Lines(pages[0]).front(), third);
}

TEST_F(PrintTest, EvenPagesOnlyOverOneToSix) {
    Doc()->m_showLineNumbers = false;
    TypeLines(400);
    const std::vector<std::string> all = Pages(Print());
    ASSERT_GE(PrintedPages(), 6);
    QuickPrintSettings once;
    once.marginLeft = once.marginTop = once.marginRight = once.marginBottom = 1.0;
    once.header = once.footer = "empty";
    once.fromPage = 1;
    once.toPage = 6;
    once.oddEven = 2;
    m_view->SetOneTimePrintSettings(once);
    const std::vector<std::string> pages = Pages(Print());
    ASSERT_EQ(PrintedPages(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Lines(pages[static_cast<size_t>(i)]).front(),
                  Lines(all[static_cast<size_t>(2 * i + 1)]).front());
}

TEST_F(PrintTest, CopiesCollatedAndNot) {
    Doc()->m_showLineNumbers = false;
    TypeLines(100);
    const std::vector<std::string> all = Pages(Print());
    ASSERT_EQ(PrintedPages(), 2);
    const std::string p1 = Lines(all[0]).front(), p2 = Lines(all[1]).front();
    QuickPrintSettings once;
    once.marginLeft = once.marginTop = once.marginRight = once.marginBottom = 1.0;
    once.header = once.footer = "empty";
    once.copies = 2;
    once.collate = true;
    m_view->SetOneTimePrintSettings(once);
    std::vector<std::string> pages = Pages(Print());
    ASSERT_EQ(PrintedPages(), 4);
    EXPECT_EQ(Lines(pages[0]).front(), p1);
    EXPECT_EQ(Lines(pages[1]).front(), p2);
    EXPECT_EQ(Lines(pages[2]).front(), p1);
    once.collate = false;
    m_view->SetOneTimePrintSettings(once);
    pages = Pages(Print());
    ASSERT_EQ(PrintedPages(), 4);
    EXPECT_EQ(Lines(pages[0]).front(), p1);
    EXPECT_EQ(Lines(pages[1]).front(), p1);
    EXPECT_EQ(Lines(pages[2]).front(), p2);
}

namespace {

// Pixels whose channels differ clearly: ink of a colour, not black or grey antialiasing.
int ColouredPixels(const std::vector<unsigned char>& rgb) {
    int n = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
        const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
        if (hi - lo > 80)
            ++n;
    }
    return n;
}

} // namespace

TEST_F(PrintTest, ChineseTextAndSyntaxColours) {
    const char* source = "int main() { return 0; } // \xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\r\n"
                         "/* \xD7\xA2\xCA\xCD */ char* s = \"\xD7\xD6\xB7\xFB\";\r\n";
    CTextEditView* view = OpenFile("colour.c", source);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->FileType().hasSyntax) << "the C file type has a syntax template";
    const std::string text = Print(view);
    EXPECT_NE(text.find("\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4"), std::string::npos) << text; // 中文测试
    EXPECT_NE(text.find("\xD7\xD6\xB7\xFB"), std::string::npos) << text;                 // 字符
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    ASSERT_TRUE(RenderPage(1, 100, rgb, w, h));
    EXPECT_GT(ColouredPixels(rgb), 20);

    // IgnoreSyntaxColor: everything black.
    AppSettings()->Print().ignoreSyntaxColor = true;
    Print(view);
    ASSERT_TRUE(RenderPage(1, 100, rgb, w, h));
    EXPECT_EQ(ColouredPixels(rgb), 0);
}
