// The printing commands around the print run: print all from the main frame, print to a file,
// print setup and the custom header and footer font and colour, printed to the PDF printer and
// read back. Layer: tests of print/.
#include "tests/WinTestSupport.h"
#include "tests/app/TextViewFixture.h"
#include "tests/print/PrintTestUtil.h"

#include "app/TextEditTemplate.h"
#include "framework/Document.h"
#include "framework/FwPrintIds.h"
#include "framework/Printer.h"
#include "framework/ResourceText.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>

using namespace printtest;
using viewtest::g_boxes;
using viewtest::TextViewTest;
using viewtest::TheApp;

namespace {

class PrintCommandsTest : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        m_saved = AppSettings()->Print();
        PrintSettings& ps = AppSettings()->Print();
        ps.marginUnit = 0;
        ps.marginLeft = ps.marginRight = ps.marginTop = ps.marginBottom = 1.0;
        ps.header = ps.footer = "empty";
        ps.customFont = false;
        ps.ignoreSyntaxColor = false;
        ClearPdfs();
    }
    void TearDown() override {
        CPrinter::Reset(); // a printer chosen by a case is not the next case's
        AppSettings()->Print() = m_saved;
        for (CDocument* d : m_opened)
            d->OnCloseDocument();
        m_opened.clear();
        TheApp().PumpPendingMessages();
        m_files.Remove();
        TextViewTest::TearDown();
    }
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
    // What the main frame's update handler says about a command.
    bool FrameEnables(UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(AppMainFrame(), true);
        return ui.m_bEnabled;
    }
    PrintSettings m_saved;
    TempFolder m_files{"qvprintcmd"};
    std::vector<CDocument*> m_opened;
};

bool HavePrinter() {
    return !PdfDir().empty();
}

// Answers the next top-level dialog of this process whose caption is `caption`, from another
// thread while the test's thread sits in the dialog's modal loop: `answer` gets the dialog.
class DialogAnswer {
public:
    template <class F> DialogAnswer(const char* caption, F answer) : m_caption(caption) {
        m_thread = std::thread([this, answer] {
            const DWORD start = GetTickCount();
            while (!m_stop && GetTickCount() - start < 30000) {
                HWND dlg = FindWindowA("#32770", m_caption.c_str());
                DWORD pid = 0;
                if (dlg)
                    GetWindowThreadProcessId(dlg, &pid);
                if (dlg && pid == GetCurrentProcessId() && IsWindowVisible(dlg)) {
                    m_found = true;
                    answer(dlg);
                    return;
                }
                Sleep(50);
            }
        });
    }
    ~DialogAnswer() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    bool Found() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_found;
    }

private:
    std::string m_caption;
    std::atomic<bool> m_stop{false}, m_found{false};
    std::thread m_thread;
};

} // namespace

TEST_F(PrintCommandsTest, PrintAllIsEnabledOnlyWithADocumentWindow) {
    EXPECT_TRUE(FrameEnables(ID_FILE_PRINT_ALL));
    m_child->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    m_child = nullptr;
    m_view = nullptr;
    ASSERT_EQ(AppMainFrame()->MDIGetActive(), nullptr);
    EXPECT_FALSE(FrameEnables(ID_FILE_PRINT_ALL));
}

TEST_F(PrintCommandsTest, PrintAllPrintsEveryOpenDocumentOnce) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    Type("untitled body");
    ASSERT_NE(OpenFile("first.txt", "alpha one\r\nalpha two\r\n"), nullptr);
    ASSERT_NE(OpenFile("second.txt", "beta \xD6\xD0\xCE\xC4\r\n"), nullptr); // 中文
    AppMainFrame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_ALL);
    const std::vector<std::string> texts = PrintedTexts(3);
    ASSERT_EQ(texts.size(), 3u);
    // One job per document, in the order they were opened, each with its own text only.
    EXPECT_NE(texts[0].find("untitled body"), std::string::npos) << texts[0];
    EXPECT_NE(texts[1].find("alpha one"), std::string::npos) << texts[1];
    EXPECT_NE(texts[1].find("alpha two"), std::string::npos) << texts[1];
    EXPECT_EQ(texts[1].find("beta"), std::string::npos) << texts[1];
    EXPECT_NE(texts[2].find("beta \xD6\xD0\xCE\xC4"), std::string::npos) << texts[2];
    EXPECT_EQ(texts[2].find("alpha"), std::string::npos) << texts[2];
    EXPECT_TRUE(g_boxes.empty()) << g_boxes.front();
    // The documents stay open.
    EXPECT_EQ(TheApp().GetDocTemplate()->GetDocuments().size(), 3u);
}

TEST_F(PrintCommandsTest, PrintAllWithoutAPrinterSaysSoOnce) {
    if (HDC dc = CPrinter::CreateDC()) {
        DeleteDC(dc);
        GTEST_SKIP() << "a printer is there";
    }
    ASSERT_NE(OpenFile("first.txt", "alpha\r\n"), nullptr);
    AppMainFrame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_ALL);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], AfxLoadString(AFX_IDP_NO_PRINTER));
}

TEST_F(PrintCommandsTest, PrintToFileWritesTheFileAndQueuesNothing) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    Type("to the file\r\nsecond line");
    const std::string unixDir = PdfDir();
    RunUnix("rm -f '" + unixDir + "'/out.prn '" + unixDir + "'/file.pdf");
    const std::string target = WindowsPath(unixDir + "/out.prn");
    DialogAnswer answer(AfxLoadString(AFX_IDS_PRINTTOFILE).c_str(), [&](HWND dlg) {
        // The name box: an edit (or a combo box's) of the save dialog.
        HWND name = GetDlgItem(dlg, 0x47c);
        if (!name)
            name = GetDlgItem(dlg, 0x480);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    });
    QuickPrintSettings once;
    once.marginLeft = once.marginTop = once.marginRight = once.marginBottom = 1.0;
    once.header = "FILE HEADER";
    once.footer = "empty";
    once.printToFile = true;
    m_view->SetOneTimePrintSettings(once);
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    ASSERT_TRUE(answer.Found()) << "the print to file dialog did not show";
    const std::string ps = ReadFile(target);
    ASSERT_GT(ps.size(), 100u) << "nothing written to " << target;
    EXPECT_EQ(ps.substr(0, 4), "%!PS");
    // Nothing went to the printer's queue; the file holds the page.
    RunUnix("sleep 0.3; cd '" + unixDir +
            "' && { ls *.pdf > queued.txt 2>/dev/null; "
            "ps2pdf out.prn file.pdf; pdftotext -layout file.pdf file.txt; }");
    EXPECT_EQ(ReadFile(WindowsPath(unixDir + "/queued.txt")), "");
    const std::string text = ReadFile(WindowsPath(unixDir + "/file.txt"));
    EXPECT_NE(text.find("FILE HEADER"), std::string::npos) << text;
    EXPECT_NE(text.find("to the file"), std::string::npos) << text;
    EXPECT_NE(text.find("second line"), std::string::npos) << text;
}

namespace {

// Pixels near pure red: the header's ink, not black text or grey antialiasing.
int RedPixels(const std::vector<unsigned char>& rgb, int width, int fromRow, int toRow) {
    int n = 0;
    for (int y = fromRow; y < toRow; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = (static_cast<size_t>(y) * width + x) * 3;
            if (i + 2 < rgb.size() && rgb[i] > 180 && rgb[i + 1] < 90 && rgb[i + 2] < 90)
                ++n;
        }
    return n;
}

} // namespace

TEST_F(PrintCommandsTest, CustomHeaderFontAndColourArePrinted) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    PrintSettings& ps = AppSettings()->Print();
    ps.header = "HEADER TEXT";
    ps.footer = "FOOTER TEXT";
    ps.headerSep = ps.footerSep = false;
    Doc()->m_showLineNumbers = false;
    Type("body text");

    // Without the custom font the header is in the body's font and colour.
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    std::string text = PrintedText();
    ASSERT_NE(text.find("HEADER TEXT"), std::string::npos) << text;
    std::vector<unsigned char> rgb;
    int w = 0, h = 0;
    ASSERT_TRUE(RenderPage(1, 50, rgb, w, h));
    EXPECT_EQ(RedPixels(rgb, w, 0, h), 0);
    RunUnix("f=$(ls '" + PdfDir() + "'/*.pdf | head -1); pdffonts \"$f\" > '" + PdfDir() +
            "'/fonts.txt");
    const std::string plainFonts = ReadFile(WindowsPath(PdfDir() + "/fonts.txt"));

    // A large serif face in red: the header and footer take both, the body neither.
    ps.customFont = true;
    ps.color = RGB(255, 0, 0);
    std::memset(&ps.font, 0, sizeof ps.font);
    ps.font.lfHeight = -40;
    ps.font.lfWeight = FW_BOLD;
    ps.font.lfCharSet = ANSI_CHARSET;
    std::snprintf(ps.font.lfFaceName, sizeof ps.font.lfFaceName, "%s", "DejaVu Serif");
    ClearPdfs();
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    text = PrintedText();
    ASSERT_NE(text.find("HEADER TEXT"), std::string::npos) << text;
    ASSERT_NE(text.find("FOOTER TEXT"), std::string::npos) << text;
    ASSERT_NE(text.find("body text"), std::string::npos) << text;
    ASSERT_TRUE(RenderPage(1, 50, rgb, w, h));
    // Red ink in the top and bottom inch and a half (the header and footer), none between,
    // where the body line is.
    const int band = 50 * 3 / 2;
    EXPECT_GT(RedPixels(rgb, w, 0, band), 30);
    EXPECT_GT(RedPixels(rgb, w, h - band, h), 30);
    EXPECT_EQ(RedPixels(rgb, w, band, h - band), 0);
    RunUnix("f=$(ls '" + PdfDir() + "'/*.pdf | head -1); pdffonts \"$f\" > '" + PdfDir() +
            "'/fonts.txt");
    const std::string fonts = ReadFile(WindowsPath(PdfDir() + "/fonts.txt"));
    EXPECT_NE(fonts, plainFonts);
    EXPECT_NE(fonts.find("Serif"), std::string::npos) << fonts;
}

namespace {

struct ControlSearch {
    int id;
    const char* text; // a combo box item to find (null: match by id)
    HWND found;
};

BOOL CALLBACK FindControlProc(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<ControlSearch*>(lp);
    if (s->text) {
        char cls[32] = "";
        GetClassNameA(wnd, cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0 &&
            SendMessageA(wnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(s->text)) != CB_ERR) {
            s->found = wnd;
            return FALSE;
        }
    } else if (GetDlgCtrlID(wnd) == s->id && IsWindowVisible(wnd)) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A visible control of `top` (at any depth) with this id, or the combo box listing `item`.
HWND FindControl(HWND top, int id, const char* item = nullptr) {
    ControlSearch s{id, item, nullptr};
    EnumChildWindows(top, FindControlProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

struct TopSearch {
    HWND except;
    HWND found;
};

BOOL CALLBACK FindTopDialogProc(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<TopSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && wnd != s->except && IsWindowVisible(wnd) &&
        std::string(cls) == "#32770") {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A shown dialog of this process other than `except`.
HWND FindTopDialog(HWND except = nullptr) {
    TopSearch s{except, nullptr};
    EnumWindows(FindTopDialogProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <class Pred> bool Await(Pred pred) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > 20000)
            return false;
        Sleep(50);
    }
    return true;
}

std::string WindowText(HWND wnd) {
    char buf[512] = "";
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

const int kPrinterSetupButton = 1503; // "打印机设置(&P)" of the printing page
const int kMarginGroup = 1525;        // names the paper and the printer

} // namespace

TEST_F(PrintCommandsTest, PrintSetupOpensThePrintingPageWhosePrinterIsThenUsed) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    Doc()->m_showLineNumbers = false;
    Type("set up");
    std::string before, after;
    bool pageShown = false, chosen = false;
    std::thread user([&] {
        HWND settings = nullptr;
        if (!Await([&] { return (settings = FindTopDialog()) != nullptr; }))
            return;
        HWND button = nullptr;
        pageShown = Await([&] { return (button = FindControl(settings, kPrinterSetupButton)); });
        if (!pageShown) {
            PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        before = WindowText(FindControl(settings, kMarginGroup));
        PostMessageA(button, BM_CLICK, 0, 0);
        HWND setup = nullptr, combo = nullptr;
        if (Await([&] {
                return (setup = FindTopDialog(settings)) &&
                       (combo = FindControl(setup, 0, "QVPDF2"));
            })) {
            const LRESULT at = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>("QVPDF2"));
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
            SendMessageA(setup, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(setup, IDOK)));
            chosen = Await([&] {
                return WindowText(FindControl(settings, kMarginGroup)).find("QVPDF2") !=
                       std::string::npos;
            });
            after = WindowText(FindControl(settings, kMarginGroup));
        } else if (setup) {
            PostMessageA(setup, WM_COMMAND, IDCANCEL, 0);
        }
        PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
    });
    AppMainFrame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_SETUP);
    user.join();
    EXPECT_TRUE(pageShown) << "print setup did not show the printing page";
    EXPECT_NE(before.find("QVPDF"), std::string::npos) << before;
    EXPECT_TRUE(chosen) << after;

    // The printer chosen there prints the next job.
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    EXPECT_NE(PrintedText().find("set up"), std::string::npos);
    EXPECT_EQ(LastJobPrinter(), "QVPDF2");
    CPrinter::Reset();
    ClearPdfs();
    m_view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
    EXPECT_NE(PrintedText().find("set up"), std::string::npos);
    EXPECT_EQ(LastJobPrinter(), "QVPDF");
}
