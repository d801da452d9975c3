// Modal and modeless dialogs from templates with data exchange.
#include "tests/framework/TestApp.h"

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {

const UINT kDriveMessage = WM_USER + 5;

// Reads what the dialog showed, types new values and presses a button, all from inside the
// modal loop.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TESTDIALOG) {}

    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_TEST_EDIT, m_text);
        DDV_MaxChars(dx, m_text, 20);
        DDX_Check(dx, IDC_TEST_CHECK, m_check);
        DDX_Text(dx, IDC_TEST_NUMBER, m_number);
        DDV_MinMaxInt(dx, m_number, 1, 99);
    }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        ++m_inits;
        PostMessage(kDriveMessage);
        return true;
    }
    LRESULT OnDrive(WPARAM, LPARAM) {
        char text[64] = "";
        GetDlgItemTextA(m_hWnd, IDC_TEST_EDIT, text, sizeof text);
        m_shownText = text;
        m_shownCheck =
            static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_TEST_CHECK, BM_GETCHECK, 0, 0));
        SetDlgItemTextA(m_hWnd, IDC_TEST_EDIT, m_typeText.c_str());
        SendDlgItemMessageA(m_hWnd, IDC_TEST_CHECK, BM_SETCHECK, BST_CHECKED, 0);
        SetDlgItemTextA(m_hWnd, IDC_TEST_NUMBER, m_typeNumber.c_str());
        PostMessage(WM_COMMAND, m_press);
        if (m_press == IDOK && m_typeNumber == "abc") {
            // Refused: OK leaves the dialog open; cancel it next.
            PostMessage(WM_COMMAND, IDCANCEL);
        }
        return 0;
    }

    std::string m_text = "初始文本";
    int m_check = 0;
    int m_number = 5;
    std::string m_typeText = "新的文本";
    std::string m_typeNumber = "42";
    UINT m_press = IDOK;
    std::string m_shownText;
    int m_shownCheck = -1;
    int m_inits = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_MESSAGE(kDriveMessage, OnDrive)
END_MESSAGE_MAP()

} // namespace

TEST_F(FrameworkTest, ModalDialogWritesAndReadsControlValues) {
    TestDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_inits, 1);
    EXPECT_EQ(dialog.m_shownText, "初始文本");
    EXPECT_EQ(dialog.m_shownCheck, 0);
    EXPECT_EQ(dialog.m_text, "新的文本");
    EXPECT_EQ(dialog.m_check, 1);
    EXPECT_EQ(dialog.m_number, 42);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(FrameworkTest, CancelLeavesTheMembersAlone) {
    TestDialog dialog;
    dialog.m_press = IDCANCEL;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_text, "初始文本");
    EXPECT_EQ(dialog.m_check, 0);
}

TEST_F(FrameworkTest, AValueThatIsNoNumberIsRefusedWithAMessage) {
    TestDialog dialog;
    dialog.m_typeNumber = "abc";
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], "请输入一个整数。");
    EXPECT_EQ(dialog.m_number, 5);
}

TEST_F(FrameworkTest, ModelessDialogLivesUntilClosed) {
    TestDialog dialog;
    dialog.m_press = IDCANCEL;
    ASSERT_TRUE(dialog.Create(IDD_TESTDIALOG, m_main));
    EXPECT_NE(dialog.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    char text[64] = "";
    GetDlgItemTextA(dialog.m_hWnd, IDC_TEST_EDIT, text, sizeof text);
    EXPECT_STREQ(text, "初始文本");
    Pump(); // the drive message presses Cancel, which destroys a modeless dialog
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}
