// The settings dialog through its real windows: range checks with their messages and clamped
// fields, refused page changes, Apply over the pages that exist, the file type, font, toolbar
// and user tool pages and what reaches the running editor and the INI files.
#include "tests/dialogs/SettingsFixture.h"

#include "dialogs/DlgAsFileTypes.h"
#include "dialogs/DlgAsFonts.h"
#include "dialogs/DlgAsToolbar.h"
#include "dialogs/DlgAsTools.h"
#include "textview/ViewFontMetrics.h"

#include <commctrl.h>

namespace {

using SettingsDialogTest = SettingsDialogFixture;

TEST_F(SettingsDialogTest, OpensAtTheNamedPageWithTheTreeOfNinePages) {
    CDlgAsFrame& d = Open(IDD_AS_BACKUP);
    EXPECT_EQ(d.CurrentPageId(), static_cast<UINT>(IDD_AS_BACKUP));
    EXPECT_EQ(TreeView_GetCount(d.Tree()), 9u);
    // Only the page shown was made.
    EXPECT_EQ(d.PageById(IDD_AS_GENERAL), nullptr);
    EXPECT_FALSE(IsWindowEnabled(d.GetDlgItem(IDC_AS_APPLY)));
    // An unknown page opens the first one.
    m_dialog.reset();
    CDlgAsFrame& d2 = Open(999);
    EXPECT_EQ(d2.CurrentPageId(), static_cast<UINT>(IDD_AS_GENERAL));
}

// A control that reaches its template's edge rounds to pixels on its own: it must still end
// inside its page, whose border would otherwise cut its last column of pixels.
TEST_F(SettingsDialogTest, EveryControlEndsInsideItsPage) {
    CDlgAsFrame& dialog = Open(0);
    for (int i = 0; i < CDlgAsFrame::kPageCount; ++i) {
        ASSERT_TRUE(dialog.SelectPage(i));
        Pump();
        HWND page = dialog.Page(i)->m_hWnd;
        RECT client = {};
        GetClientRect(page, &client);
        for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            RECT rc = {};
            GetWindowRect(c, &rc);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rc), 2);
            EXPECT_LE(rc.right, client.right) << "page " << i << ", control " << GetDlgCtrlID(c);
            EXPECT_LE(rc.bottom, client.bottom) << "page " << i << ", control " << GetDlgCtrlID(c);
        }
    }
}

TEST_F(SettingsDialogTest, SeventeenRecentFilesIsRefusedWithTheBoundsAndSetToSixteen) {
    Open(IDD_AS_GENERAL);
    Type(IDD_AS_GENERAL, IDC_GEN_RECENT, "17");
    EXPECT_TRUE(IsWindowEnabled(m_dialog->GetDlgItem(IDC_AS_APPLY)));
    ClickFrame(IDOK);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "最近文件列表数的有效范围是(0-16)。");
    EXPECT_TRUE(Boxes()[0].type & MB_ICONINFORMATION);
    EXPECT_EQ(ItemText(IDD_AS_GENERAL, IDC_GEN_RECENT), "16");
    EXPECT_TRUE(DialogOpen());
    EXPECT_EQ(GetFocus(), Item(IDD_AS_GENERAL, IDC_GEN_RECENT));
    EXPECT_EQ(GetSettings()->General().recentFiles, 8);
}

TEST_F(SettingsDialogTest, EveryRangeMessageCarriesItsBoundsAndTheFieldIsClamped) {
    struct Case {
        UINT page;
        int field;
        const char* typed;
        const char* message;
        const char* reset;
    } cases[] = {
        {IDD_AS_GENERAL, IDC_GEN_LINESPACING, "241", "行距的有效范围是[0-240]", "240"},
        {IDD_AS_GENERAL, IDC_GEN_NUMBERSPACING, "abc", "行号和正文的间隔有效范围是[0-320]", "0"},
        {IDD_AS_BACKUP, IDC_BAK_INTERVAL, "0", "自动存盘时间间隔的有效值范围是(1-60)", "1"},
        {IDD_AS_BACKUP, IDC_BAK_INTERVAL, "61", "自动存盘时间间隔的有效值范围是(1-60)", "60"},
    };
    for (const Case& c : cases) {
        Boxes().clear();
        Open(c.page);
        SetWindowTextA(Item(c.page, c.field), c.typed);
        ClickFrame(IDOK);
        ASSERT_EQ(Boxes().size(), 1u) << c.message;
        EXPECT_EQ(Boxes()[0].text, c.message);
        EXPECT_EQ(ItemText(c.page, c.field), c.reset);
        EXPECT_TRUE(DialogOpen());
        m_dialog->SendMessage(WM_COMMAND, IDCANCEL);
    }
}

TEST_F(SettingsDialogTest, SwitchingPagesWithAnInvalidValueIsRefused) {
    CDlgAsFrame& d = Open(IDD_AS_GENERAL);
    Type(IDD_AS_GENERAL, IDC_GEN_LINESPACING, "300");
    HTREEITEM fonts = TreeView_GetNextSibling(d.Tree(), TreeView_GetRoot(d.Tree()));
    TreeView_SelectItem(d.Tree(), fonts);
    Pump();
    EXPECT_EQ(d.CurrentPageId(), static_cast<UINT>(IDD_AS_GENERAL));
    EXPECT_EQ(TreeView_GetSelection(d.Tree()), TreeView_GetRoot(d.Tree()));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "行距的有效范围是[0-240]");
    // Now valid (clamped to 240): the change goes through.
    TreeView_SelectItem(d.Tree(), fonts);
    EXPECT_EQ(d.CurrentPageId(), static_cast<UINT>(IDD_AS_FONTS));
}

TEST_F(SettingsDialogTest, ApplyWritesOnlyTheChangedBlockAndLeavesUnshownPagesAlone) {
    const std::string before = FileText(IniPath(IniSettings));
    CDlgAsFrame& d = Open(IDD_AS_GENERAL);
    d.SelectPageById(IDD_AS_TOOLBAR); // shown, never changed
    d.SelectPageById(IDD_AS_GENERAL);
    Type(IDD_AS_GENERAL, IDC_GEN_RECENT, "5");
    ClickFrame(IDC_AS_APPLY);
    EXPECT_FALSE(IsWindowEnabled(d.GetDlgItem(IDC_AS_APPLY)));
    EXPECT_EQ(GetSettings()->General().recentFiles, 5);
    EXPECT_EQ(GetPrivateProfileIntA("Settings", "RecentFiles", -1, IniPath(IniSettings).c_str()),
              5);
    const std::string after = FileText(IniPath(IniSettings));
    // Nothing of the pages that were not changed or never shown.
    for (const char* absent : {"[Font]", "[Keyboard]", "[ToolBars]", "[Printing]", "AutoSave",
                               "BackupPath", "DetectFileChanges"})
        EXPECT_EQ(after.find(absent), std::string::npos) << absent;
    EXPECT_NE(after.find("RecentFiles=5"), std::string::npos);
    (void)before;
    // Back to the default for the other tests.
    Type(IDD_AS_GENERAL, IDC_GEN_RECENT, "8");
    ClickFrame(IDOK);
    EXPECT_FALSE(DialogOpen());
}

TEST_F(SettingsDialogTest, AutoSaveIsKeptAndStartsItsTimer) {
    Open(IDD_AS_BACKUP);
    ClickPage(IDD_AS_BACKUP, IDC_BAK_AUTOSAVE);
    SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_AUTOSAVE), BM_SETCHECK, BST_CHECKED, 0);
    Type(IDD_AS_BACKUP, IDC_BAK_INTERVAL, "5");
    ClickFrame(IDOK);
    EXPECT_TRUE(GetSettings()->IsAutoSaveOn());
    EXPECT_EQ(GetPrivateProfileIntA("Settings", "AutoSave", -1, IniPath(IniSettings).c_str()), 1);
    EXPECT_EQ(
        GetPrivateProfileIntA("Settings", "AutoSaveInterval", -1, IniPath(IniSettings).c_str()), 5);
    // As at the next start.
    GetSettings()->LoadBackupOptions();
    EXPECT_TRUE(GetSettings()->Backup().autoSave);
    Open(IDD_AS_BACKUP);
    SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_AUTOSAVE), BM_SETCHECK, BST_UNCHECKED, 0);
    ClickPage(IDD_AS_BACKUP, IDC_BAK_AUTOSAVE);
    ClickFrame(IDOK);
    EXPECT_FALSE(GetSettings()->IsAutoSaveOn());
}

TEST_F(SettingsDialogTest, TheRecoverySwitchIsOnByDefaultAndKeptWhenTurnedOff) {
    Open(IDD_AS_BACKUP);
    EXPECT_EQ(SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_RECOVERY), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Unticked as a click does it, and the page told.
    SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_RECOVERY), BM_SETCHECK, BST_UNCHECKED, 0);
    ClickPage(IDD_AS_BACKUP, IDC_BAK_RECOVERY);
    EXPECT_TRUE(IsWindowEnabled(m_dialog->GetDlgItem(IDC_AS_APPLY)));
    ClickFrame(IDOK);
    EXPECT_FALSE(GetSettings()->Backup().recoveryCopies);
    EXPECT_EQ(GetPrivateProfileIntA("Settings", "RecoveryCopies", -1, IniPath(IniSettings).c_str()),
              0);
    GetSettings()->LoadBackupOptions();
    EXPECT_FALSE(GetSettings()->Backup().recoveryCopies);
    // Back on for the other tests.
    Open(IDD_AS_BACKUP);
    EXPECT_EQ(SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_RECOVERY), BM_GETCHECK, 0, 0),
              BST_UNCHECKED);
    SendMessageA(Item(IDD_AS_BACKUP, IDC_BAK_RECOVERY), BM_SETCHECK, BST_CHECKED, 0);
    ClickPage(IDD_AS_BACKUP, IDC_BAK_RECOVERY);
    ClickFrame(IDOK);
    EXPECT_TRUE(GetSettings()->Backup().recoveryCopies);
}

TEST_F(SettingsDialogTest, TabWidthZeroIsRefusedAndSetToOne) {
    Open(IDD_AS_FILETYPES, IDC_ED_TAB);
    CDlgAsFileTypes* page = Page<CDlgAsFileTypes>(IDD_AS_FILETYPES);
    ASSERT_NE(page, nullptr);
    ASSERT_GE(page->SelectedType(), 0);
    ASSERT_TRUE(page->SelectSub(1));
    CDlgAsFileTypeSub* sub = page->Sub(1);
    ASSERT_NE(sub, nullptr);
    SetWindowTextA(sub->GetDlgItem(IDC_ED_TAB), "0");
    ClickFrame(IDOK);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "制表符宽度的有效范围是[1-64]。");
    EXPECT_EQ(sub->ItemText(IDC_ED_TAB), "1");
    EXPECT_TRUE(DialogOpen());
    // The tab strip's change is refused the same way while a value is wrong.
    Boxes().clear();
    SetWindowTextA(sub->GetDlgItem(IDC_ED_INDENT), "81");
    EXPECT_FALSE(page->SelectSub(2));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "自动缩进的有效范围是[0-80]");
    EXPECT_EQ(sub->ItemText(IDC_ED_INDENT), "80");
}

TEST_F(SettingsDialogTest, AColourChangeReachesTheDocumentsOfThatTypeOnly) {
    CTextEditView* first = NewDocument();
    CTextEditView* second = NewDocument();
    ASSERT_TRUE(first && second);
    SettingsStore* s = GetSettings();
    ASSERT_GE(s->FileTypes().size(), 2u);
    // The second document shows another type.
    FileTypeInfo* other = &s->FileTypes()[1];
    ASSERT_TRUE(s->EnsureLoaded(*other));
    CTextEditView::ApplyFileType(*second->GetTextDoc(), *other);
    const FileTypeInfo* defaultType = first->GetTextDoc()->FileType();
    ASSERT_EQ(defaultType, &s->FileTypes()[0]);
    const COLORREF otherBefore = other->colors[TextFore];
    UpdateWindow(first->m_hWnd);
    UpdateWindow(second->m_hWnd);

    static COLORREF chosen = RGB(12, 34, 56);
    CDlgAsColors::s_chooseColour = [](HWND, COLORREF* c) {
        *c = chosen;
        return true;
    };
    Open(IDD_AS_FILETYPES, IDC_COL_LIST);
    CDlgAsFileTypes* page = Page<CDlgAsFileTypes>(IDD_AS_FILETYPES);
    ASSERT_NE(page, nullptr);
    // The active document is the second: its type is selected; choose the first type.
    EXPECT_EQ(page->SelectedType(), 1);
    ASSERT_TRUE(page->SelectType(0));
    CDlgAsFileTypeSub* colours = page->Sub(2);
    ASSERT_NE(colours, nullptr);
    HWND list = colours->GetDlgItem(IDC_COL_LIST);
    SendMessageA(list, LB_SETCURSEL, 1, 0); // "文本"
    SendMessageA(colours->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_COL_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Click(colours->GetDlgItem(IDC_COL_FORE));
    EXPECT_TRUE(IsWindowEnabled(m_dialog->GetDlgItem(IDC_AS_APPLY)));
    ClickFrame(IDOK);
    CDlgAsColors::s_chooseColour = nullptr;
    EXPECT_FALSE(DialogOpen());
    // The live entry changed in place; the documents still hold the same entries.
    EXPECT_EQ(first->GetTextDoc()->FileType(), defaultType);
    EXPECT_EQ(defaultType->colors[TextFore], chosen);
    EXPECT_EQ(other->colors[TextFore], otherBefore);
    EXPECT_TRUE(s->AreFileTypesDirty());
    // The document of the other type was not touched.
    RECT r;
    EXPECT_FALSE(GetUpdateRect(second->m_hWnd, &r, FALSE));
}

TEST_F(SettingsDialogTest, AFontChangeReLaysOutEveryOpenDocument) {
    CTextEditView* first = NewDocument();
    CTextEditView* second = NewDocument();
    ASSERT_TRUE(first && second);
    const int linesBefore = first->Layout().visibleLines;
    const int secondBefore = second->Layout().visibleLines;
    const int heightBefore = ViewFontMetrics::Shared().textHeight;
    Open(IDD_AS_FONTS);
    CDlgAsFonts* page = Page<CDlgAsFonts>(IDD_AS_FONTS);
    ASSERT_NE(page, nullptr);
    HWND size = page->GetDlgItem(IDC_FONT_SIZE);
    SetWindowTextA(size, "28");
    SendMessageA(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_FONT_SIZE, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(size));
    ClickFrame(IDOK);
    EXPECT_TRUE(Boxes().empty());
    SettingsStore* s = GetSettings();
    EXPECT_EQ(ViewFontMetrics::Shared().font, s->GetFont(1));
    EXPECT_GT(ViewFontMetrics::Shared().textHeight, heightBefore);
    EXPECT_LT(first->Layout().visibleLines, linesBefore);
    EXPECT_LT(second->Layout().visibleLines, secondBefore);
    LOGFONTA stored;
    EXPECT_TRUE(s->ReadStruct(IniSettings, "Font", "TextEdit", &stored, sizeof stored));
    EXPECT_EQ(stored.lfHeight, s->Font().current.lfHeight);
    // Back to the default font.
    Open(IDD_AS_FONTS);
    ClickPage(IDD_AS_FONTS, IDC_FONT_DEFAULT);
    ClickFrame(IDOK);
}

TEST_F(SettingsDialogTest, AFontSizeIsStoredAsA96DpiHeightAndShownAgainInPoints) {
    Open(IDD_AS_FONTS);
    HWND size = Item(IDD_AS_FONTS, IDC_FONT_SIZE);
    SendMessageA(size, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("12"));
    SendMessageA(Page<CDlgAsFonts>(IDD_AS_FONTS)->m_hWnd, WM_COMMAND,
                 MAKEWPARAM(IDC_FONT_SIZE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(size));
    ClickFrame(IDOK);
    SettingsStore* s = GetSettings();
    // Twelve points are sixteen pixels at 96 DPI, whatever the screen's density.
    EXPECT_EQ(s->Font().current.lfHeight, -16);
    // The views make it for their density.
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    LOGFONTA made;
    ASSERT_EQ(GetObjectA(fm.Font(), sizeof made, &made), static_cast<int>(sizeof made));
    EXPECT_EQ(made.lfHeight, -MulDiv(16, static_cast<int>(fm.dpi), 96));
    // The page shows the same points again.
    Open(IDD_AS_FONTS);
    char text[16] = "";
    GetWindowTextA(Item(IDD_AS_FONTS, IDC_FONT_SIZE), text, sizeof text);
    EXPECT_STREQ(text, "12");
    ClickPage(IDD_AS_FONTS, IDC_FONT_DEFAULT);
    ClickFrame(IDOK);
}

TEST_F(SettingsDialogTest, AnEmptyFontSizeCannotMakeAFont) {
    Open(IDD_AS_FONTS);
    SetWindowTextA(Item(IDD_AS_FONTS, IDC_FONT_SIZE), "");
    SendMessageA(Item(IDD_AS_FONTS, IDC_FONT_SIZE), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ClickFrame(IDOK);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "试图创建字体失败，请再试一次。");
    EXPECT_TRUE(DialogOpen());
}

TEST_F(SettingsDialogTest, AToolbarLayoutChangeReachesTheToolbarAndSurvivesARestart) {
    HWND bar = m_frame->ToolBar().m_hWnd;
    const LRESULT before = SendMessageA(bar, TB_BUTTONCOUNT, 0, 0);
    Open(IDD_AS_TOOLBAR);
    CDlgAsToolbar* page = Page<CDlgAsToolbar>(IDD_AS_TOOLBAR);
    ASSERT_NE(page, nullptr);
    std::vector<uint8_t> layout = page->Layout();
    ASSERT_EQ(layout.size(), 44u);
    // DEL on the end entry removes the entry before it; UP moves the first new entry.
    HWND list = page->GetDlgItem(IDC_TB_LAYOUT);
    SelectListItem(IDD_AS_TOOLBAR, IDC_TB_LAYOUT, 44);
    ClickPage(IDD_AS_TOOLBAR, IDC_TB_DEL);
    EXPECT_EQ(page->Layout().size(), 43u);
    SelectListItem(IDD_AS_TOOLBAR, IDC_TB_LAYOUT, 0);
    ClickPage(IDD_AS_TOOLBAR, IDC_TB_UP); // the first does not move up
    EXPECT_EQ(page->Layout()[0], 0);
    ClickPage(IDD_AS_TOOLBAR, IDC_TB_DN);
    EXPECT_EQ(page->Layout()[1], 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    ClickPage(IDD_AS_TOOLBAR, IDC_TB_SEP); // before the selected entry
    EXPECT_EQ(page->Layout()[1], 255);
    layout = page->Layout();
    ClickFrame(IDOK);
    EXPECT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), before);
    TBBUTTON b = {};
    SendMessageA(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b.idCommand, 57601); // open, now first
    // As at the next start.
    GetSettings()->LoadToolbar();
    ASSERT_EQ(GetSettings()->Toolbar().layoutCount, static_cast<int>(layout.size()));
    EXPECT_TRUE(std::equal(layout.begin(), layout.end(), GetSettings()->Toolbar().layout));
    // The default layout comes back.
    Open(IDD_AS_TOOLBAR);
    ClickPage(IDD_AS_TOOLBAR, IDC_TB_DEFAULT);
    ClickFrame(IDOK);
    EXPECT_EQ(GetSettings()->Toolbar().layoutCount, 44);
}

TEST_F(SettingsDialogTest, TheTwoHundredFiftySixthToolIsRefused) {
    CLstUserToolInfo tools(255);
    for (size_t i = 0; i < tools.size(); ++i)
        tools[i].name = "T" + std::to_string(i);
    SettingsStore* s = GetSettings();
    const CLstUserToolInfo saved = s->Tools();
    s->SetTools(tools);
    Open(IDD_AS_TOOLS);
    CDlgAsTools* page = Page<CDlgAsTools>(IDD_AS_TOOLS);
    ASSERT_NE(page, nullptr);
    ClickPage(IDD_AS_TOOLS, IDC_TOOL_ADD);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "很抱歉，您最多只能添加255个自定义工具。");
    EXPECT_TRUE(Boxes()[0].type & MB_ICONEXCLAMATION);
    EXPECT_EQ(page->Tools().size(), 255u);
    // One fewer: the new tool takes the smallest free number.
    SelectListItem(IDD_AS_TOOLS, IDC_TOOL_LIST, 0);
    ClickPage(IDD_AS_TOOLS, IDC_TOOL_DEL);
    ClickPage(IDD_AS_TOOLS, IDC_TOOL_ADD);
    EXPECT_EQ(page->Tools().size(), 255u);
    EXPECT_EQ(page->Tools()[0].name, "新建工具1");
    m_dialog->SendMessage(WM_COMMAND, IDCANCEL);
    s->SetTools(saved);
}

TEST_F(SettingsDialogTest, CancelLeavesEverySettingAsItWas) {
    Open(IDD_AS_GENERAL);
    Type(IDD_AS_GENERAL, IDC_GEN_RECENT, "3");
    m_dialog->SelectPageById(IDD_AS_FILE);
    ClickPage(IDD_AS_FILE, IDC_FILE_ADD);
    const size_t filters = GetSettings()->FileFilters().size();
    ClickFrame(IDCANCEL);
    EXPECT_FALSE(DialogOpen());
    EXPECT_EQ(GetSettings()->General().recentFiles, 8);
    EXPECT_EQ(GetSettings()->FileFilters().size(), filters);
}

TEST_F(SettingsDialogTest, TheFilterListTakesANewEntryWithTheSmallestFreeNumber) {
    Open(IDD_AS_FILE);
    ClickPage(IDD_AS_FILE, IDC_FILE_ADD);
    ClickPage(IDD_AS_FILE, IDC_FILE_ADD);
    EXPECT_EQ(ItemText(IDD_AS_FILE, IDC_FILE_DESC), "新建文件过滤器2");
    EXPECT_EQ(ItemText(IDD_AS_FILE, IDC_FILE_EXT), "*.*");
    SelectListItem(IDD_AS_FILE, IDC_FILE_LIST, -1);
    ClickPage(IDD_AS_FILE, IDC_FILE_DEL);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "请选择一个项目然后再进行操作。");
    const size_t before = GetSettings()->FileFilters().size();
    ClickFrame(IDOK);
    EXPECT_EQ(GetSettings()->FileFilters().size(), before + 2);
    EXPECT_NE(GetSettings()->FileDialogFilter().find("新建文件过滤器1"), std::string::npos);
}

} // namespace
