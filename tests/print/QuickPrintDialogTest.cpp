// The quick print dialog: printer information, enabling, and every check of "打印" with its
// message; and what happens without any printer. Layer: tests of print/.
#include "tests/app/TextViewFixture.h"
#include "tests/print/PrintTestUtil.h"

#include "framework/PreviewView.h"
#include "framework/ResourceText.h"
#include "print/PrintIds.h"
#include "print/QuickPrintDialog.h"

using viewtest::g_boxes;
using viewtest::TextViewTest;

namespace {

class QuickPrintDialogTest : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        QuickPrintSettings initial;
        initial.marginLeft = 0.55;
        initial.marginRight = 0.5;
        initial.marginTop = 1;
        initial.marginBottom = 1.25;
        initial.marginUnit = m_unit;
        initial.header = "H&p";
        initial.footer = "F&P";
        m_dlg.reset(new CQuickPrintDialog(initial, m_view));
        ASSERT_TRUE(m_dlg->Create(IDD_QUICK_PRINT, m_view));
    }
    void TearDown() override {
        if (m_dlg && m_dlg->m_hWnd)
            m_dlg->DestroyWindow();
        m_dlg.reset();
        TextViewTest::TearDown();
    }
    std::string Item(int id) {
        char buf[512] = "";
        GetDlgItemTextA(m_dlg->m_hWnd, id, buf, sizeof buf);
        return buf;
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(m_dlg->m_hWnd, id)) != FALSE; }
    void Set(int id, const char* text) { SetDlgItemTextA(m_dlg->m_hWnd, id, text); }
    void Click(int id) {
        SendMessageA(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_dlg->m_hWnd, id)));
    }
    void Check(int id, bool on) {
        CheckDlgButton(m_dlg->m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
        Click(id);
    }
    // "打印" pressed: the message shown, "" when the dialog accepted.
    std::string PressPrint() {
        g_boxes.clear();
        m_dlg->OnOK();
        return g_boxes.empty() ? std::string() : g_boxes.back();
    }
    int m_unit = 0;
    std::unique_ptr<CQuickPrintDialog> m_dlg;
};

bool HavePrinter() {
    return !printtest::PdfDir().empty();
}

} // namespace

TEST_F(QuickPrintDialogTest, OpensWithTheStoredValuesAndThePrinter) {
    EXPECT_EQ(Item(IDC_QP_FROM), "1");
    EXPECT_EQ(Item(IDC_QP_TO), "");
    EXPECT_EQ(Item(IDC_QP_MARGIN_LEFT), "0.55");
    EXPECT_EQ(Item(IDC_QP_MARGIN_RIGHT), "0.50");
    EXPECT_EQ(Item(IDC_QP_MARGIN_TOP), "1.00");
    EXPECT_EQ(Item(IDC_QP_MARGIN_BOTTOM), "1.25");
    EXPECT_EQ(Item(IDC_QP_UNIT_LABEL), "页边距离（单位：英寸）");
    EXPECT_EQ(Item(IDC_QP_HEADER), "H&p");
    EXPECT_EQ(Item(IDC_QP_FOOTER), "F&P");
    EXPECT_EQ(IsDlgButtonChecked(m_dlg->m_hWnd, IDC_QP_ODD), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(m_dlg->m_hWnd, IDC_QP_EVEN), BST_CHECKED);
    EXPECT_EQ(Item(IDC_QP_COPIES), "1");
    if (!HavePrinter()) {
        EXPECT_EQ(Item(IDC_QP_PRINTER_INFO), "打印机不可用");
        EXPECT_FALSE(Enabled(IDOK));
        return;
    }
    EXPECT_EQ(Item(IDC_QP_PRINTER_INFO).rfind("名称：QVPDF\n状态：准备就绪\n位置：", 0), 0u)
        << Item(IDC_QP_PRINTER_INFO);
    EXPECT_TRUE(Enabled(IDOK));
    // Collation only makes sense for more than one copy.
    EXPECT_FALSE(Enabled(IDC_QP_COLLATE));
}

TEST_F(QuickPrintDialogTest, PrintIsEnabledOnlyWithOddOrEvenPages) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    Check(IDC_QP_ODD, false);
    EXPECT_TRUE(Enabled(IDOK));
    Check(IDC_QP_EVEN, false);
    EXPECT_FALSE(Enabled(IDOK));
    Check(IDC_QP_ODD, true);
    EXPECT_TRUE(Enabled(IDOK));
}

TEST_F(QuickPrintDialogTest, EveryCheckOfPrintShowsItsMessage) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    // A4's printable width and height in inches at the PDF printer.
    const PrinterInfo p = CPrinter::Query();
    char wide[128], high[128];
    std::snprintf(wide, sizeof wide, "页边距左边和右边的有效范围是[0.00-%.2f]英寸。",
                  p.PrintableWidthInches());
    std::snprintf(high, sizeof high, "页边距上边和下边的有效范围是[0.00-%.2f]英寸。",
                  p.PrintableHeightInches());
    Set(IDC_QP_MARGIN_LEFT, "9");
    EXPECT_EQ(PressPrint(), wide);
    Set(IDC_QP_MARGIN_LEFT, "-1");
    EXPECT_EQ(PressPrint(), wide);
    Set(IDC_QP_MARGIN_LEFT, "1");
    Set(IDC_QP_MARGIN_BOTTOM, "12");
    EXPECT_EQ(PressPrint(), high);
    // Each margin fits, both together leave no line.
    Set(IDC_QP_MARGIN_BOTTOM, "6");
    Set(IDC_QP_MARGIN_TOP, "6");
    EXPECT_EQ(PressPrint(), "页边距之和超出了纸张，页面上容不下一行文字，请减小页边距后再试。");
    Set(IDC_QP_MARGIN_TOP, "1");
    Set(IDC_QP_MARGIN_BOTTOM, "1");
    const std::string range =
        "打印页码的有效范围是[1-65535]\n注：如果给出的页码值超过实际的最大值页"
        "数，该数值会用实际最大值替换。";
    Set(IDC_QP_FROM, "0");
    EXPECT_EQ(PressPrint(), range);
    Set(IDC_QP_FROM, "70000");
    EXPECT_EQ(PressPrint(), range);
    Set(IDC_QP_FROM, "1");
    Set(IDC_QP_TO, "65536");
    EXPECT_EQ(PressPrint(), range);
    Set(IDC_QP_FROM, "5");
    Set(IDC_QP_TO, "4");
    EXPECT_EQ(PressPrint(), "错误的页码范围“从5页到4页”，请调整后再试。");
    Set(IDC_QP_FROM, "3");
    Set(IDC_QP_TO, "3");
    Check(IDC_QP_ODD, false);
    EXPECT_EQ(PressPrint(),
              "在页码[3-3]范围内不包含任何一偶数页，打印将不会继续，请调整打印参数。");
    Check(IDC_QP_ODD, true);
    Check(IDC_QP_EVEN, false);
    Set(IDC_QP_FROM, "4");
    Set(IDC_QP_TO, "4");
    EXPECT_EQ(PressPrint(),
              "在页码[4-4]范围内不包含任何一奇数页，打印将不会继续，请调整打印参数。");
    Check(IDC_QP_EVEN, true);
    if (Enabled(IDC_QP_COPIES)) {
        Set(IDC_QP_COPIES, "0");
        EXPECT_EQ(PressPrint(), "复制份数的有效范围是[1-65535]。");
        Set(IDC_QP_COPIES, "2");
    }
    // Everything in range: accepted, and handed over.
    Set(IDC_QP_HEADER, "new header");
    EXPECT_EQ(PressPrint(), "");
    const QuickPrintSettings& s = m_dlg->Settings();
    EXPECT_EQ(s.fromPage, 4);
    EXPECT_EQ(s.toPage, 4);
    EXPECT_EQ(s.oddEven, 0);
    EXPECT_DOUBLE_EQ(s.marginLeft, 1.0);
    EXPECT_EQ(s.header, "new header");
}

TEST_F(QuickPrintDialogTest, AnEmptyToPageMeansTheLastPage) {
    if (!HavePrinter())
        GTEST_SKIP() << "no PDF printer";
    Set(IDC_QP_FROM, "2");
    Set(IDC_QP_TO, "");
    EXPECT_EQ(PressPrint(), "");
    EXPECT_EQ(m_dlg->Settings().toPage, 65535);
}

TEST(QuickPrintValidation, CentimetreMessagesAndUnlimitedWithoutPaper) {
    QuickPrintSettings s;
    s.marginUnit = 1;
    s.marginLeft = 30;
    EXPECT_EQ(CQuickPrintDialog::Validate(s, true, 20.0, 28.0),
              "页边距左边和右边的有效范围是[0.00-20.00]厘米。");
    s.marginLeft = 1;
    s.marginTop = 29;
    EXPECT_EQ(CQuickPrintDialog::Validate(s, true, 20.0, 28.0),
              "页边距上边和下边的有效范围是[0.00-28.00]厘米。");
    // Without a printer the paper does not bound the margins.
    EXPECT_EQ(CQuickPrintDialog::Validate(s, true, 0, 0), "");
}

TEST_F(QuickPrintDialogTest, WithoutAPrinterNothingPrintsAndNothingBreaks) {
    if (HavePrinter())
        GTEST_SKIP() << "needs the printer stopped";
    EXPECT_EQ(Item(IDC_QP_PRINTER_INFO), "打印机不可用");
    EXPECT_FALSE(Enabled(IDOK));
    Type("text");
    g_boxes.clear();
    Command(ID_FILE_PRINT_DIRECT);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "没有可用的打印机。");
    // Preview needs the printer's measurements: refused the same way, the frame untouched.
    g_boxes.clear();
    Command(ID_FILE_PRINT_PREVIEW);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "没有可用的打印机。");
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    EXPECT_FALSE(m_view->IsPrinting());
    EXPECT_TRUE(IsWindowVisible(m_view->m_hWnd));
    EXPECT_EQ(Text(), "text");
}
