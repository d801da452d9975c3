// The text view's document commands in this process: date and time from the document menu,
// the display switches, the file type choice, word wrap and read-only, word count, reload, the
// placeholders of settings and printing, the context menu through a real popup, and every
// text-changing command on a read-only document.
#include "app/AppMainFrame.h"
#include "app/DlgFile.h"
#include "dialogs/DlgAsFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "settings/FileTypes.h"
#include "settings/SettingsIds.h"
#include "tests/app/TextViewFixture.h"
#include "textview/ViewFontMetrics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace viewtest;

std::string MenuText(HMENU menu, UINT item, UINT flags) {
    char text[512] = "";
    GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

// The popup of the frame's menu bar whose title is `title`.
HMENU BarPopup(const char* title, int* index = nullptr) {
    HMENU bar = AppMainFrame()->GetMenu();
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
        if (MenuText(bar, static_cast<UINT>(i), MF_BYPOSITION) == title) {
            if (index)
                *index = i;
            return GetSubMenu(bar, i);
        }
    return nullptr;
}

// Opens a popup as the menu loop would: WM_INITMENUPOPUP to the main frame.
void InitPopup(HMENU popup, int index) {
    AppMainFrame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                                MAKELPARAM(index, 0));
}

HMENU SubMenuOf(HMENU menu, UINT command) {
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_SUBMENU;
    return GetMenuItemInfoA(menu, command, FALSE, &mii) ? mii.hSubMenu : nullptr;
}

// --- A real popup menu, answered from a timer inside its modal loop ---------------------------

struct MenuProbe {
    HWND keyTarget = nullptr;
    std::vector<UINT> keys; // posted as WM_CHAR (or WM_KEYDOWN for VK_ESCAPE)
    HMENU shown = nullptr;  // the popup that opened
    int itemCount = 0;
    bool copyGrayed = false, pasteGrayed = false, columnSelectGrayed = false;
    std::string shortcutOfCut; // the text of the cut item, with its shortcut
    int ticks = 0;
};
MenuProbe g_probe;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !IsWindowVisible(popup)) {
        if (++g_probe.ticks > 300) {
            KillTimer(nullptr, timer);
            EndMenu();
        }
        return;
    }
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
    g_probe.shown = menu;
    g_probe.itemCount = GetMenuItemCount(menu);
    g_probe.copyGrayed = (GetMenuState(menu, ID_EDIT_COPY, MF_BYCOMMAND) & MF_GRAYED) != 0;
    g_probe.pasteGrayed = (GetMenuState(menu, ID_EDIT_PASTE, MF_BYCOMMAND) & MF_GRAYED) != 0;
    g_probe.columnSelectGrayed =
        (GetMenuState(menu, ID_EDIT_COLUMN_SELECT, MF_BYCOMMAND) & MF_GRAYED) != 0;
    g_probe.shortcutOfCut = MenuText(menu, ID_EDIT_CUT, MF_BYCOMMAND);
    for (UINT key : g_probe.keys) {
        if (key == VK_ESCAPE)
            PostMessageA(g_probe.keyTarget, WM_KEYDOWN, VK_ESCAPE, 0);
        else
            PostMessageA(g_probe.keyTarget, WM_CHAR, key, 0);
    }
}

void ProbeNextMenu(HWND keyTarget, std::vector<UINT> keys) {
    g_probe = MenuProbe();
    g_probe.keyTarget = keyTarget;
    g_probe.keys = std::move(keys);
    SetTimer(nullptr, 0, 20, ProbeMenu);
}

class DocumentCommandTest : public TextViewTest {};

} // namespace

// --- Date and time ---------------------------------------------------------------------------

TEST_F(DocumentCommandTest, DateAndTimeItemInsertsTheMenusTextInOneInsertStep) {
    int editIndex = -1;
    HMENU edit = BarPopup("编辑(&E)", &editIndex);
    ASSERT_NE(edit, nullptr);
    InitPopup(edit, editIndex); // the Edit menu opens: the item gets its submenu
    HMENU dates = SubMenuOf(edit, ID_INSERT_DATETIME);
    ASSERT_NE(dates, nullptr);
    const size_t formats = AppSettings()->DateTimeFormats().size();
    ASSERT_GT(formats, 0u);
    EXPECT_EQ(GetMenuItemCount(dates), static_cast<int>(formats));
    EXPECT_EQ(GetMenuItemID(dates, 0), ID_DATETIME_FIRST);
    for (int i = 0; i < GetMenuItemCount(edit); ++i) {
        if (GetSubMenu(edit, i) == dates) {
            EXPECT_FALSE(GetMenuState(edit, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED);
        }
    }

    // Opening the submenu sets every item to the current time in its format.
    ModifyMenuA(dates, ID_DATETIME_FIRST, MF_BYCOMMAND | MF_STRING, ID_DATETIME_FIRST, "old");
    InitPopup(dates, 0);
    const std::string now = MenuText(dates, ID_DATETIME_FIRST, MF_BYCOMMAND);
    EXPECT_NE(now, "old");
    EXPECT_FALSE(now.empty());
    EXPECT_FALSE(GetMenuState(dates, ID_DATETIME_FIRST, MF_BYCOMMAND) & MF_GRAYED);

    // The command inserts what the item shows, over the selection, as one insert.
    Type("x12z");
    Select(FxTextPos(1, 0), FxTextPos(3, 0));
    Command(ID_DATETIME_FIRST);
    EXPECT_EQ(Text(), "x" + now + "z");
    EXPECT_FALSE(m_view->HasSelection());
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(static_cast<int32_t>(1 + now.size()), 0));
    EXPECT_EQ(CTextEditView::UndoMenuText(Doc(), false), "撤消插入");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "x12z");
    EXPECT_EQ(CTextEditView::UndoMenuText(Doc(), false), "撤消键入");

    // The text is the menu's: at most 260 bytes of it.
    const std::string longText(300, 'd');
    ModifyMenuA(dates, ID_DATETIME_FIRST, MF_BYCOMMAND | MF_STRING, ID_DATETIME_FIRST,
                longText.c_str());
    m_view->GoToPos(FxTextPos(0, 0));
    Command(ID_DATETIME_FIRST);
    EXPECT_EQ(Text(), std::string(260, 'd') + "x12z");
}

// --- Display switches ------------------------------------------------------------------------

TEST_F(DocumentCommandTest, DisplaySwitchesFlipCheckAndLayOutAgain) {
    CFxEditDoc* doc = Doc();
    Type("one\r\ntwo");
    const bool ruler = doc->m_showRuler;
    EXPECT_EQ(State(ID_VIEW_RULER).check, ruler ? 1 : 0);
    EXPECT_TRUE(State(ID_VIEW_RULER).enabled);
    const LONG textTop = m_view->Layout().text.top;
    Command(ID_VIEW_RULER);
    EXPECT_NE(doc->m_showRuler, ruler);
    EXPECT_EQ(State(ID_VIEW_RULER).check, ruler ? 0 : 1);
    EXPECT_NE(m_view->Layout().text.top, textTop); // the ruler's band came or went
    Command(ID_VIEW_RULER);
    EXPECT_EQ(doc->m_showRuler, ruler);
    EXPECT_EQ(m_view->Layout().text.top, textTop);

    ASSERT_TRUE(doc->m_showLineNumbers);
    EXPECT_EQ(State(ID_VIEW_LINE_NUMBERS).check, 1);
    const LONG textLeft = m_view->Layout().text.left;
    Command(ID_VIEW_LINE_NUMBERS);
    EXPECT_FALSE(doc->m_showLineNumbers);
    EXPECT_EQ(State(ID_VIEW_LINE_NUMBERS).check, 0);
    EXPECT_LT(m_view->Layout().text.left, textLeft); // the numbers' gutter is gone
    Command(ID_VIEW_LINE_NUMBERS);
    EXPECT_EQ(m_view->Layout().text.left, textLeft);

    const UINT marks[2] = {ID_VIEW_LINE_BREAKS, ID_VIEW_WHITESPACE};
    bool* switches[2] = {&doc->m_showLineBreaks, &doc->m_showWhitespace};
    for (int i = 0; i < 2; ++i) {
        const bool before = *switches[i];
        Command(marks[i]);
        EXPECT_NE(*switches[i], before) << marks[i];
        EXPECT_EQ(State(marks[i]).check, before ? 0 : 1) << marks[i];
        EXPECT_EQ(m_view->Layout().text.left, textLeft) << marks[i];
        Command(marks[i]);
        EXPECT_EQ(*switches[i], before) << marks[i];
    }
    EXPECT_EQ(Text(), "one\ntwo");
}

TEST_F(DocumentCommandTest, LineNumbersRewrapADocumentWrappedAtTheWindowEdge) {
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "word ";
    Type(words.c_str());
    CFxEditDoc* doc = Doc();
    ASSERT_EQ(m_view->FileType().wrapStyle, 1);
    Command(ID_DOC_WORD_WRAP);
    ASSERT_EQ(doc->WrapMode(), 1);
    const int width = m_view->Layout().text.right - m_view->Layout().text.left;
    EXPECT_EQ(doc->WrapColumn(), width);
    const int32_t pieces = doc->RecordCount();
    ASSERT_GT(pieces, 1);

    Command(ID_VIEW_LINE_NUMBERS); // off: the text is wider now
    const int wider = m_view->Layout().text.right - m_view->Layout().text.left;
    EXPECT_GT(wider, width);
    EXPECT_EQ(doc->WrapMode(), 1);
    EXPECT_EQ(doc->WrapColumn(), wider);
    EXPECT_LE(doc->RecordCount(), pieces);
    EXPECT_EQ(Text(), words);
    Command(ID_VIEW_LINE_NUMBERS);
    EXPECT_EQ(doc->WrapColumn(), width);
    EXPECT_EQ(doc->RecordCount(), pieces);
}

// --- Word wrap and read-only ------------------------------------------------------------------

TEST_F(DocumentCommandTest, WordWrapAndReadOnlyToggleWithTheirChecks) {
    CFxEditDoc* doc = Doc();
    Type("abcdefghij abcdefghij abcdefghij");
    EXPECT_EQ(State(ID_DOC_WORD_WRAP).check, 0);
    EXPECT_TRUE(State(ID_DOC_WORD_WRAP).enabled);
    Command(ID_DOC_WORD_WRAP);
    EXPECT_EQ(doc->WrapMode(), m_view->FileType().wrapStyle);
    EXPECT_EQ(State(ID_DOC_WORD_WRAP).check, 1);
    Command(ID_DOC_WORD_WRAP);
    EXPECT_FALSE(doc->IsWrapped());
    EXPECT_EQ(doc->RecordCount(), 1);
    EXPECT_EQ(State(ID_DOC_WORD_WRAP).check, 0);

    EXPECT_EQ(State(ID_DOC_READ_ONLY).check, 0);
    Command(ID_DOC_READ_ONLY);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_EQ(State(ID_DOC_READ_ONLY).check, 1);
    AppMainFrame()->StatusBar().SetPaneText(0, "");
    Type("x");
    EXPECT_EQ(StatusText(), "只读文档不能修改");
    Command(ID_DOC_READ_ONLY);
    EXPECT_FALSE(doc->IsReadOnly());
    Type("x");
    EXPECT_EQ(Text(), "abcdefghij abcdefghij abcdefghijx");

    // The built-in keys: Ctrl+W wraps, Ctrl+P prints.
    HACCEL accel = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100));
    ASSERT_NE(accel, nullptr);
    ACCEL keys[128];
    const int n = CopyAcceleratorTableA(accel, keys, 128);
    bool ctrlW = false, ctrlP = false;
    for (int i = 0; i < n; ++i) {
        const bool ctrl = (keys[i].fVirt & (FCONTROL | FSHIFT | FALT)) == FCONTROL;
        ctrlW = ctrlW || (ctrl && keys[i].key == 'W' && keys[i].cmd == ID_DOC_WORD_WRAP);
        ctrlP = ctrlP || (ctrl && keys[i].key == 'P' && keys[i].cmd == ID_FILE_PRINT);
    }
    EXPECT_TRUE(ctrlW);
    EXPECT_TRUE(ctrlP);
}

// --- File type choice --------------------------------------------------------------------------

TEST_F(DocumentCommandTest, ViewAsTakesTheChosenTypeWithItsSwitchesAndWrapping) {
    SettingsStore* settings = AppSettings();
    CLstFileTypeInfo& types = settings->FileTypes();
    ASSERT_GT(types.size(), 2u);
    int docIndex = -1;
    HMENU docMenu = BarPopup("文档(&D)", &docIndex);
    ASSERT_NE(docMenu, nullptr);
    InitPopup(docMenu, docIndex); // the menu gets its file type list
    HMENU viewAs = SubMenuOf(docMenu, ID_VIEW_AS);
    ASSERT_NE(viewAs, nullptr);
    InitPopup(viewAs, 0);
    CTextEditDoc* doc = m_view->GetTextDoc();
    ASSERT_EQ(doc->FileType(), &types.front());
    EXPECT_EQ(GetMenuState(viewAs, ID_VIEWAS_FIRST, MF_BYCOMMAND) & MF_CHECKED,
              static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(State(ID_VIEWAS_FIRST).check, 1);

    FileTypeInfo& cpp = types[1]; // some template's type
    ASSERT_TRUE(settings->EnsureLoaded(cpp));
    const FileTypeInfo saved = cpp;
    cpp.ruler = 1;
    cpp.lineNumber = 0;
    cpp.lineBreak = 0;
    cpp.whitespace = 1;
    cpp.wrapStyle = 2;
    cpp.wrapWidth = 10;
    cpp.tabSize = 4;

    Type("\tabc defghi jklmno pqrstu");
    Command(ID_DOC_WORD_WRAP); // at the window edge, the default type's way
    ASSERT_EQ(Doc()->WrapMode(), 1);
    Command(cpp.menuId);
    EXPECT_EQ(doc->FileType(), &cpp);
    EXPECT_EQ(&m_view->FileType(), &cpp);
    EXPECT_EQ(State(cpp.menuId).check, 1);
    EXPECT_EQ(State(ID_VIEWAS_FIRST).check, 0);
    EXPECT_TRUE(Doc()->m_showRuler);
    EXPECT_FALSE(Doc()->m_showLineNumbers);
    EXPECT_FALSE(Doc()->m_showLineBreaks);
    EXPECT_TRUE(Doc()->m_showWhitespace);
    EXPECT_EQ(State(ID_VIEW_LINE_NUMBERS).check, 0);
    // Re-wrapped the new type's way: ten columns, its tab of 4.
    EXPECT_EQ(Doc()->WrapMode(), 2);
    EXPECT_EQ(Doc()->WrapColumn(), 10);
    EXPECT_GE(Doc()->RecordCount(), 3);
    EXPECT_EQ(Text(), "\tabc defghi jklmno pqrstu");

    // Choosing the current type again changes nothing.
    Doc()->m_showRuler = false;
    Command(cpp.menuId);
    EXPECT_FALSE(Doc()->m_showRuler);

    // A type whose template cannot be read leaves the document as it is, with a message.
    FileTypeInfo& broken = types.back();
    const FileTypeInfo savedBroken = broken;
    broken.loaded = false;
    broken.templatePath = "Z:\\missing\\NOWHERE.STF";
    Command(broken.menuId);
    EXPECT_EQ(doc->FileType(), &cpp);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find("NOWHERE.STF"), std::string::npos);
    EXPECT_EQ(g_boxTypes[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    broken = savedBroken;

    Command(ID_VIEWAS_FIRST);
    EXPECT_EQ(doc->FileType(), &types.front());
    cpp = saved;
}

// --- The file type on opening and after Save As
// ---------------------------------------------------

namespace {

std::string g_saveAsPath;

INT_PTR AnswerSaveAs(CDlgFile& dialog) {
    dialog.SetAnswer({g_saveAsPath}, FxEncAnsi, FxLineEndDos);
    return IDOK;
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

void WriteFileText(const std::string& path, const char* text) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs(text, f);
    std::fclose(f);
}

// The C++ type of the shipped templates, with three of its four switches off.
struct CppSwitchesOff {
    FileTypeInfo* type = nullptr;
    FileTypeInfo saved;
    CppSwitchesOff() {
        SettingsStore* settings = AppSettings();
        type = const_cast<FileTypeInfo*>(settings->FindFileType("x.cpp"));
        if (!type || type->IsDefault())
            return;
        saved = *type;
        type->ruler = 0;
        type->lineNumber = 0;
        type->lineBreak = 0;
        type->whitespace = 1;
    }
    ~CppSwitchesOff() {
        if (type && !type->IsDefault())
            *type = saved;
    }
};

} // namespace

TEST_F(DocumentCommandTest, AnOpenedDocumentTakesItsTypesDisplaySwitches) {
    CppSwitchesOff cpp;
    ASSERT_TRUE(cpp.type && !cpp.type->IsDefault());
    const std::string path = TempFile("qv_switches.cpp");
    WriteFileText(path, "int main() {}\r\n");
    CTextEditDoc* doc =
        DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0));
    ASSERT_NE(doc, nullptr);
    TheApp().PumpPendingMessages();
    CTextEditView* view = DynamicDowncast<CTextEditView>(doc->GetViews().front());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->FileType(), cpp.type);
    EXPECT_FALSE(doc->m_showRuler);
    EXPECT_FALSE(doc->m_showLineNumbers);
    EXPECT_FALSE(doc->m_showLineBreaks);
    EXPECT_TRUE(doc->m_showWhitespace);
    // What the user sees: no ruler (a 3-pixel strip) and no line numbers (a 5-pixel margin).
    EXPECT_EQ(view->Layout().text.top, 3);
    EXPECT_EQ(view->Layout().text.left, 5);
    CTestCmdUI ui;
    ui.m_nID = ID_VIEW_LINE_NUMBERS;
    ui.DoUpdate(view, true);
    EXPECT_EQ(ui.m_nCheck, 0);
    view->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    DeleteFileA(path.c_str());
}

TEST_F(DocumentCommandTest, SaveAsTakesTheNewNamesTypeAndReadOnlyState) {
    CppSwitchesOff cpp;
    ASSERT_TRUE(cpp.type && !cpp.type->IsDefault());
    CDlgFile::PromptHook oldHook = CDlgFile::SetPromptHook(AnswerSaveAs);

    // An untitled document saved as a C++ file becomes one in both views at once.
    CTextEditDoc* doc = m_view->GetTextDoc();
    ASSERT_TRUE(doc->FileType() == nullptr || doc->FileType()->IsDefault());
    Type("int x; // note");
    m_child->SendMessage(WM_COMMAND, ID_WINDOW_SPLIT);
    TheApp().PumpPendingMessages();
    g_saveAsPath = TempFile("qv_saved_as.cpp");
    DeleteFileA(g_saveAsPath.c_str());
    ASSERT_TRUE(doc->DoSave(nullptr));
    EXPECT_EQ(doc->GetPathName(), g_saveAsPath);
    EXPECT_EQ(doc->FileType(), cpp.type);
    int views = 0;
    for (CView* v : doc->GetViews())
        if (CTextEditView* tv = DynamicDowncast<CTextEditView>(v)) {
            EXPECT_EQ(&tv->FileType(), cpp.type);
            EXPECT_EQ(tv->Layout().text.left, 5) << "no line numbers";
            ++views;
        }
    EXPECT_GE(views, 1);
    EXPECT_FALSE(doc->m_showRuler);
    EXPECT_FALSE(doc->m_showLineNumbers);

    // A read-only file saved under a new name can be edited.
    const std::string locked = TempFile("qv_locked.txt");
    WriteFileText(locked, "abc");
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
    CTextEditDoc* ro =
        DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(locked.c_str(), 0));
    ASSERT_NE(ro, nullptr);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(ro->IsReadOnly());
    g_saveAsPath = TempFile("qv_unlocked.txt");
    DeleteFileA(g_saveAsPath.c_str());
    ASSERT_TRUE(ro->DoSave(nullptr));
    EXPECT_FALSE(ro->IsReadOnly());
    CTextEditView* roView = DynamicDowncast<CTextEditView>(ro->GetViews().front());
    ASSERT_NE(roView, nullptr);
    roView->InsertChars("x", 1);
    EXPECT_EQ(TextOf(ro), "xabc");
    ro->SetModifiedFlag(false);
    roView->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();

    CDlgFile::SetPromptHook(oldHook);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(locked.c_str());
    DeleteFileA(g_saveAsPath.c_str());
    DeleteFileA(TempFile("qv_saved_as.cpp").c_str());
}

// --- The editor font and spacings -------------------------------------------------------------

// The views draw with the settings store's editor font from the start, and take a new font,
// line spacing or line number spacing when the main frame applies the changed settings.
TEST_F(DocumentCommandTest, ViewsFollowTheEditorFontAndSpacingsOfTheSettings) {
    SettingsStore* settings = AppSettings();
    ViewFontMetrics& fm = ViewFontMetrics::Shared();
    ASSERT_NE(settings->GetFont(CAppMainFrame::kEditorFontId), nullptr);
    EXPECT_EQ(fm.font, settings->GetFont(CAppMainFrame::kEditorFontId)) << "at start-up";
    const LOGFONTA original = settings->Font().current;
    const GeneralOptions general = settings->General();
    Type("abc\r\ndef");

    LOGFONTA big = original;
    big.lfHeight = -40;
    ASSERT_TRUE(settings->SetFont(big));
    const int height = fm.textHeight;
    AppMainFrame()->ApplyEditorDisplaySettings(true);
    EXPECT_EQ(fm.font, settings->GetFont(CAppMainFrame::kEditorFontId));
    EXPECT_GT(fm.textHeight, height + height / 2);
    EXPECT_EQ(m_view->WindowYFromRecord(1) - m_view->WindowYFromRecord(0), fm.textHeight);

    settings->General().lineSpacing = 7;
    settings->General().lineNumberAndTextSpacing = 60;
    AppMainFrame()->ApplyEditorDisplaySettings(false);
    EXPECT_EQ(m_view->WindowYFromRecord(1) - m_view->WindowYFromRecord(0), fm.textHeight + 7);
    EXPECT_GE(m_view->Layout().margin, 60);

    settings->General() = general;
    ASSERT_TRUE(settings->SetFont(original));
    AppMainFrame()->ApplyEditorDisplaySettings(true);
    EXPECT_EQ(fm.textHeight, height);
}

// --- Word count --------------------------------------------------------------------------------

TEST_F(DocumentCommandTest, WordCountShowsTheSevenCounts) {
    Type("ab-\r\ncd");
    EXPECT_TRUE(State(ID_DOC_WORD_COUNT).enabled);
    Command(ID_DOC_WORD_COUNT);
    ASSERT_EQ(g_boxes.size(), 1u);
    // The hyphen at the end of a line joins the two halves into one word.
    EXPECT_EQ(g_boxes[0], "总字符数：\t5\t\t\n英文单词：\t1\t\t\n标点符号：\t0\t\t\n"
                          "空白字符：\t0\t\t\n其他字符：\t1\t\t\n中文字符：\t0\t\t\n"
                          "不明字符：\t0\t\t\n");
    EXPECT_EQ(g_boxTypes[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(g_boxes[0], CTextEditView::WordCountText(Doc()->CountWords()));
}

// A document of the 64-bit build may hold more than 2^31 characters: every count is shown whole.
TEST_F(DocumentCommandTest, WordCountShowsCountsAbove32Bits) {
    FxWordCount c;
    c.total = 2214592512;
    c.words = 4294967301;
    c.punctuation = 1;
    c.whitespace = 2147483648;
    c.other = 0;
    c.chinese = 3;
    c.unknown = 2147483647;
    EXPECT_EQ(CTextEditView::WordCountText(c),
              "总字符数：\t2214592512\t\t\n英文单词：\t4294967301\t\t\n标点符号：\t1\t\t\n"
              "空白字符：\t2147483648\t\t\n其他字符：\t0\t\t\n中文字符：\t3\t\t\n"
              "不明字符：\t2147483647\t\t\n");
}

// The size pane: the selection's bytes or the document's, above 2^31 too.
TEST_F(DocumentCommandTest, SizePaneShowsSizesAbove32Bits) {
    EXPECT_EQ(CTextEditView::SizePaneText(true, 18), " 选择：18字节 ");
    EXPECT_EQ(CTextEditView::SizePaneText(false, 2147483647), " 文档：2147483647字节 ");
#ifdef _WIN64
    EXPECT_EQ(CTextEditView::SizePaneText(true, 2214592512), " 选择：2214592512字节 ");
    EXPECT_EQ(CTextEditView::SizePaneText(false, 4294967301), " 文档：4294967301字节 ");
#endif
}

// --- Reload --------------------------------------------------------------------------------------

TEST_F(DocumentCommandTest, ReloadAsksFirstAndOnOkReadsTheFileAgain) {
    EXPECT_FALSE(State(ID_FILE_RELOAD).enabled); // untitled: nothing to read
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string path = std::string(dir) + "qv_reload_command.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("one\r\ntwo", f);
    std::fclose(f);
    CTextEditDoc* doc =
        DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0));
    ASSERT_NE(doc, nullptr);
    TheApp().PumpPendingMessages();
    CTextEditView* view = DynamicDowncast<CTextEditView>(doc->GetViews().front());
    ASSERT_NE(view, nullptr);
    view->GoToPos(FxTextPos(3, 1));
    view->InsertChars("!", 1);
    ASSERT_EQ(TextOf(doc), "one\ntwo!");

    CTestCmdUI ui;
    ui.m_nID = ID_FILE_RELOAD;
    ui.DoUpdate(view, true);
    EXPECT_TRUE(ui.m_bEnabled);
    g_answer = IDCANCEL;
    view->SendMessage(WM_COMMAND, ID_FILE_RELOAD);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0],
              "“" + path + "”\n重新读取文档将会丢失当前对文档所作的修改，请确认是否继续。");
    EXPECT_EQ(g_boxTypes[0] & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
              static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
    EXPECT_EQ(TextOf(doc), "one\ntwo!");
    EXPECT_TRUE(doc->IsModified());

    g_answer = IDOK;
    view->SendMessage(WM_COMMAND, ID_FILE_RELOAD);
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(TextOf(doc), "one\ntwo");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(view->LogicalCaret().line, 1); // the caret stays on its line

    CFrameWnd* frame = view->GetParentFrame();
    frame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    DeleteFileA(path.c_str());
}

// --- Settings shortcuts
// --------------------------------------------------------------

// The settings dialog that a shortcut opened, seen from inside its modal loop and closed.
struct OpenedSettings {
    UINT page = 0;
    int focusId = 0;
};
OpenedSettings g_opened;

void CALLBACK CloseSettings(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    CDlgAsFrame* dialog = AppMainFrame() ? AppMainFrame()->SettingsDialog() : nullptr;
    if (!dialog || !dialog->m_hWnd)
        return;
    g_opened.page = dialog->CurrentPageId();
    g_opened.focusId = GetDlgCtrlID(GetFocus());
    PostMessageA(dialog->m_hWnd, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(DocumentCommandTest, SettingsShortcutsOpenTheSettingsDialogAtTheirPages) {
    const struct {
        UINT id, page;
        int focus;
    } cases[] = {{ID_DOC_FONT, 402, 0},
                 {ID_DOC_LINE_SPACING, 401, 1301},
                 {ID_DOC_WRAP_SETTINGS, 405, 1723},
                 {ID_DOC_TAB_SETTINGS, 405, 1720},
                 {ID_DOC_COLOR_SETTINGS, 405, 1764},
                 {ID_DOC_AUTO_SAVE, 409, 1804}};
    for (const auto& c : cases) {
        g_boxes.clear();
        g_opened = OpenedSettings();
        EXPECT_TRUE(State(c.id).enabled) << c.id;
        SetTimer(nullptr, 0, 50, CloseSettings);
        Command(c.id);
        EXPECT_TRUE(g_boxes.empty()) << c.id;
        EXPECT_EQ(g_opened.page, c.page) << c.id;
        if (c.focus) {
            EXPECT_EQ(g_opened.focusId, c.focus) << c.id;
        }
        EXPECT_FALSE(AppMainFrame()->IsSettingsOpen());
    }
    EXPECT_EQ(State(ID_DOC_AUTO_SAVE).check, AppSettings()->IsAutoSaveOn() ? 1 : 0);
    EXPECT_EQ(Text(), "");
}

// --- Context menu
// ----------------------------------------------------------------------------------

TEST_F(DocumentCommandTest, RightClickShowsTheContextMenuAndItsCommandReachesTheView) {
    Type("alpha beta\r\ngamma");
    m_view->GoToPos(FxTextPos(0, 0));
    // A click in the text of line 1: the caret goes there, the menu opens; "选择" then "全选".
    const POINT at = {m_view->WindowXFromDoc(m_view->CaretX()) + 2,
                      m_view->WindowYFromRecord(1) + 2};
    ProbeNextMenu(m_view->m_hWnd, {'s', 'a'});
    m_view->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    m_view->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    ASSERT_NE(g_probe.shown, nullptr);
    EXPECT_EQ(g_probe.itemCount, 13); // 10 items, 3 separators
    EXPECT_TRUE(g_probe.copyGrayed);  // no selection
    EXPECT_FALSE(g_probe.columnSelectGrayed);
    // The main frame prepared it: the shortcut follows the text.
    EXPECT_EQ(g_probe.shortcutOfCut.rfind("剪切(&T)\t", 0), 0u) << g_probe.shortcutOfCut;
    EXPECT_EQ(Selected(), "alpha beta\r\ngamma");
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(5, 1));

    // From the keyboard, Escape: no command.
    ProbeNextMenu(m_view->m_hWnd, {VK_ESCAPE});
    m_view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_view->m_hWnd),
                        MAKELPARAM(-1, -1));
    EXPECT_NE(g_probe.shown, nullptr);
    EXPECT_FALSE(g_probe.copyGrayed); // the selection is there now
    EXPECT_EQ(Selected(), "alpha beta\r\ngamma");
    EXPECT_EQ(Text(), "alpha beta\ngamma");
}

TEST_F(DocumentCommandTest, ContextMenuDeleteSubmenuEditsAsOneUndoStep) {
    Type("one two");
    m_view->GoToPos(FxTextPos(3, 0));
    POINT screen = {m_view->WindowXFromDoc(m_view->CaretX()), m_view->WindowYFromRecord(0) + 2};
    ::ClientToScreen(m_view->m_hWnd, &screen);
    ProbeNextMenu(m_view->m_hWnd, {'d', 'n'}); // 删除 > 删除至行末
    EXPECT_EQ(m_view->ShowContextMenu(screen), static_cast<UINT>(ID_EDIT_DELETE_TO_LINE_END));
    EXPECT_EQ(Text(), "one");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "one two");
}

// --- Read-only documents -------------------------------------------------------------------------

TEST_F(DocumentCommandTest, EveryTextChangingCommandRefusesAReadOnlyDocument) {
    Type("Abc \tdef\r\n  ghi");
    Type("Z");
    Command(ID_EDIT_UNDO); // one step to undo and one to redo
    Select(FxTextPos(0, 0), FxTextPos(3, 0));
    Command(ID_EDIT_COPY); // the paste commands have text to refuse
    int editIndex = -1;
    HMENU edit = BarPopup("编辑(&E)", &editIndex);
    ASSERT_NE(edit, nullptr);
    InitPopup(edit, editIndex);
    const std::string before = Text();
    ASSERT_EQ(before, "Abc \tdef\n  ghi");
    ASSERT_TRUE(Doc()->CanUndo());
    ASSERT_TRUE(Doc()->CanRedo());
    const int32_t undoPosition = Doc()->UndoPosition();
    Doc()->SetReadOnly(true);
    const UINT ids[] = {ID_EDIT_CUT,
                        ID_EDIT_APPEND_CUT,
                        ID_EDIT_PASTE,
                        ID_EDIT_COLUMN_PASTE_ALIGNED,
                        ID_EDIT_COLUMN_PASTE_APPENDED,
                        ID_EDIT_CLEAR,
                        ID_EDIT_DELETE_TO_LINE_START,
                        ID_EDIT_DELETE_TO_LINE_END,
                        ID_EDIT_DELETE_TO_DOC_START,
                        ID_EDIT_DELETE_TO_DOC_END,
                        ID_EDIT_LOWER_CASE,
                        ID_EDIT_UPPER_CASE,
                        ID_EDIT_INVERT_CASE,
                        ID_EDIT_CAPITALIZE,
                        ID_EDIT_TRIM_TRAILING,
                        ID_EDIT_SPACES_TO_TABS,
                        ID_EDIT_LEADING_SPACES_TO_TABS,
                        ID_EDIT_TABS_TO_SPACES,
                        ID_DATETIME_FIRST,
                        ID_EDIT_UNDO,
                        ID_EDIT_REDO};
    for (UINT id : ids) {
        Select(FxTextPos(0, 0), FxTextPos(3, 0));
        AppMainFrame()->StatusBar().SetPaneText(0, "");
        Command(id);
        EXPECT_EQ(Text(), before) << id;
        EXPECT_EQ(StatusText(), "只读文档不能修改") << id;
        EXPECT_EQ(Doc()->UndoPosition(), undoPosition) << id;
        EXPECT_TRUE(g_boxes.empty()) << id;
    }
    // Copying, selecting and the display commands still work.
    Command(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(Selected(), "Abc \tdef\r\n  ghi");
    Command(ID_EDIT_COPY);
    Doc()->SetReadOnly(false);
}

// --- Conversions on a wrapped document and on a column block
// ---------------------------------------

TEST_F(DocumentCommandTest, CaseConversionsOfAWrappedDocumentWorkOnLogicalLines) {
    Type("abcdefghij klm\r\nxy zz");
    ASSERT_TRUE(m_view->SetWrapMode(2, 4));
    CFxEditDoc* doc = Doc();
    ASSERT_GT(doc->RecordCount(), doc->LogicalLineCount());
    const int32_t pieces = doc->RecordCount();

    // A selection over several pieces: a word broken by the wrap is one word.
    Command(ID_EDIT_SELECT_ALL);
    Command(ID_EDIT_CAPITALIZE);
    EXPECT_EQ(Text(), "Abcdefghij Klm\nXy Zz");
    EXPECT_EQ(doc->RecordCount(), pieces);
    EXPECT_EQ(doc->WrapMode(), 2);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "abcdefghij klm\nxy zz");

    // Without a selection: every logical line whole.
    Command(ID_EDIT_UPPER_CASE);
    EXPECT_EQ(Text(), "ABCDEFGHIJ KLM\nXY ZZ");
    Command(ID_EDIT_INVERT_CASE);
    EXPECT_EQ(Text(), "abcdefghij klm\nxy zz");

    // A stream selection from inside the first piece into the third.
    Select(FxTextPos(2, 0), FxTextPos(9, 0));
    Command(ID_EDIT_UPPER_CASE);
    EXPECT_EQ(Text(), "abCDEFGHIj klm\nxy zz");
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "abcdefghij klm\nxy zz");
    EXPECT_EQ(doc->RecordCount(), pieces);
}

TEST_F(DocumentCommandTest, WhiteSpaceConversionsOfAWrappedDocumentCountWholeLines) {
    const int tab = m_view->FileType().tabSize;
    ASSERT_EQ(tab, 8);
    Type("abcdefghijk\tx        y");
    ASSERT_TRUE(m_view->SetWrapMode(2, 4));
    ASSERT_GT(Doc()->RecordCount(), 1);
    // The tab stops count from the start of the logical line, not of its piece.
    Command(ID_EDIT_TABS_TO_SPACES);
    EXPECT_EQ(Text(), "abcdefghijk     x        y");
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_SPACES_TO_TABS);
    EXPECT_EQ(Text(), "abcdefghijk\tx\t y");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "abcdefghijk\tx        y");
}

TEST_F(DocumentCommandTest, CaseConversionOfAColumnBlockChangesEachRowsPart) {
    Type("abc def\r\nabc def\r\nmno pqr"); // rows alike: one x is one column in both
    m_view->GoToPos(FxTextPos(1, 0));
    const int x1 = m_view->CaretX();
    m_view->GoToPos(FxTextPos(5, 0));
    const int x5 = m_view->CaretX();
    const int pitch = m_view->WindowYFromRecord(1) - m_view->WindowYFromRecord(0);
    m_view->SelectColumnBlock(RECT{x1, 0, x5, pitch + pitch / 2});
    ASSERT_EQ(m_view->SelectionKind(), CFxEditView::SEL_COLUMN);
    ASSERT_EQ(Selected(), "bc d\r\nbc d\r\n"); // each row with its line break
    Command(ID_EDIT_UPPER_CASE);
    EXPECT_EQ(Text(), "aBC Def\naBC Def\nmno pqr");
    EXPECT_FALSE(m_view->HasSelection());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "abc def\nabc def\nmno pqr");

    // Capitalise starts a word at the block's edge: the first letter of each run inside it.
    m_view->SelectColumnBlock(RECT{x1, 0, x5, pitch + pitch / 2});
    Command(ID_EDIT_CAPITALIZE);
    EXPECT_EQ(Text(), "aBc Def\naBc Def\nmno pqr");
    Command(ID_EDIT_UNDO);

    // The white-space commands ignore the block: every line.
    m_view->GoToPos(FxTextPos(7, 2));
    Type("\r\n        x");
    m_view->SelectColumnBlock(RECT{x1, 0, x5, pitch + pitch / 2});
    ASSERT_EQ(m_view->SelectionKind(), CFxEditView::SEL_COLUMN);
    Command(ID_EDIT_LEADING_SPACES_TO_TABS);
    EXPECT_EQ(Text(), "abc def\nabc def\nmno pqr\n\tx");
    EXPECT_FALSE(m_view->HasSelection());
}

// --- Large files -----------------------------------------------------------------------------

namespace {

std::string WriteTempFile(const char* name, const std::string& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string path = std::string(dir) + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return std::string();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

size_t OpenDocumentCount() {
    return static_cast<size_t>(TheApp().GetOpenDocumentCount());
}

} // namespace

TEST_F(DocumentCommandTest, AFileLargerThanTheFreeMemoryIsOpenedOnlyWhenTheUserAgrees) {
    const std::string path = WriteTempFile("qv_larger_than_memory.txt", "0123456789\r\nAB");
    ASSERT_FALSE(path.empty());
    CTextEditDoc::SetFreeMemoryForTest(10);
    const size_t before = OpenDocumentCount();
    g_answer = IDNO;
    EXPECT_EQ(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0), nullptr);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0],
              path +
                  "\n该文件大小为14字节，超过了当前可用的内存（10字节）。装入该文件可能非常缓慢，也"
                  "可能因内存不足而失败。是否仍然打开该文件？");
    EXPECT_EQ(g_boxTypes[0] & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
              static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    EXPECT_EQ(OpenDocumentCount(), before);

    g_answer = IDYES;
    CDocument* doc = CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0);
    CTextEditDoc::SetFreeMemoryForTest(0);
    ASSERT_NE(doc, nullptr);
    TheApp().PumpPendingMessages();
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(TextOf(DynamicDowncast<CTextEditDoc>(doc)), "0123456789\nAB");
    doc->GetViews().front()->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    DeleteFileA(path.c_str());
}

TEST_F(DocumentCommandTest, EscapeCancelsALongLoadAndLeavesNoDocument) {
    // 24 MB: a load long enough to show its progress and look for Esc.
    std::string text;
    text.reserve(24u << 20);
    while (text.size() < (24u << 20))
        text += "0123456789012345678901234567890123456789012345678901234567\r\n";
    const std::string path = WriteTempFile("qv_escape_load.txt", text);
    ASSERT_FALSE(path.empty());
    const size_t before = OpenDocumentCount();
    // Esc pressed while the load runs: it waits in the input queue of the main frame.
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0), nullptr);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(g_boxes.empty()); // a cancel is not an error
    EXPECT_EQ(OpenDocumentCount(), before);

    // Without Esc the same file opens whole.
    CDocument* doc = CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0);
    ASSERT_NE(doc, nullptr);
    TheApp().PumpPendingMessages();
    CTextEditDoc* textDoc = DynamicDowncast<CTextEditDoc>(doc);
    EXPECT_EQ(textDoc->DocumentSize(), static_cast<int64_t>(text.size()));
    doc->GetViews().front()->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    DeleteFileA(path.c_str());
}

namespace {

// A little above the size from which a save shows its progress and looks for Esc.
std::string LongSaveText() {
    std::string text;
    const size_t size = static_cast<size_t>(CFxEditDoc::kProgressBytes) + (1u << 20);
    text.reserve(size + 64);
    while (text.size() < size)
        text += "0123456789012345678901234567890123456789012345678901234567\r\n";
    return text;
}

FILETIME WriteTimeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    char buf[65536];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, got);
    std::fclose(f);
    return bytes;
}

// Files a save leaves beside its target while it writes.
int MirrorFilesIn(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((dir + "QVM*.tmp").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do
        ++count;
    while (FindNextFileA(h, &found));
    FindClose(h);
    return count;
}

std::string TempDir() {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return dir;
}

// The long text opened from its file and typed into once: modified, with one undo step.
struct EditedLongFile {
    std::string path, bytes;
    FILETIME time = {};
    CTextEditDoc* doc = nullptr;
    CTextEditView* view = nullptr;

    explicit EditedLongFile(const char* name) {
        bytes = LongSaveText();
        path = WriteTempFile(name, bytes);
        // An hour back, so that a rewrite could not keep the time by chance.
        HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            ULARGE_INTEGER t;
            t.LowPart = now.dwLowDateTime;
            t.HighPart = now.dwHighDateTime;
            t.QuadPart -= 36000000000ull;
            now.dwLowDateTime = t.LowPart;
            now.dwHighDateTime = t.HighPart;
            SetFileTime(h, nullptr, nullptr, &now);
            CloseHandle(h);
        }
        time = WriteTimeOf(path);
        doc = DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0));
        TheApp().PumpPendingMessages();
        if (!doc)
            return;
        view = DynamicDowncast<CTextEditView>(doc->GetViews().front());
        view->InsertChars("x", 1);
    }
    bool StillOpen() const {
        const std::vector<CDocument*>& docs = TheApp().GetDocTemplate()->GetDocuments();
        return doc && std::find(docs.begin(), docs.end(), doc) != docs.end();
    }
    ~EditedLongFile() {
        if (StillOpen()) {
            doc->SetModifiedFlag(false);
            view->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
            TheApp().PumpPendingMessages();
        }
        DeleteFileA(path.c_str());
    }
};

INT_PTR AnswerSaveAsUtf8Unix(CDlgFile& dialog) {
    dialog.SetAnswer({g_saveAsPath}, FxEncUtf8, FxLineEndUnix);
    return IDOK;
}

// The document as a cancelled save must leave it: modified, under its name, in its encoding
// and line ends, its edit undoable, and its file untouched.
void ExpectUnsaved(const EditedLongFile& f) {
    ASSERT_TRUE(f.StillOpen());
    EXPECT_TRUE(f.doc->IsModified());
    EXPECT_EQ(f.doc->GetTitle(), f.path + " *");
    EXPECT_EQ(f.doc->GetPathName(), f.path);
    EXPECT_EQ(f.doc->Encoding(), FxEncAnsi);
    EXPECT_EQ(f.doc->LineEndType(), FxLineEndDos);
    EXPECT_TRUE(f.doc->CanUndo());
    EXPECT_EQ(f.doc->DocumentSize(), static_cast<int64_t>(f.bytes.size() + 1));
    EXPECT_TRUE(ReadWholeFile(f.path) == f.bytes);
    EXPECT_TRUE(SameTime(WriteTimeOf(f.path), f.time));
    EXPECT_EQ(MirrorFilesIn(TempDir()), 0);
}

} // namespace

TEST_F(DocumentCommandTest, EscapeCancelsALongSaveAndLeavesTheFileAndTheDocumentAsTheyWere) {
    EditedLongFile f("qv_escape_save.txt");
    ASSERT_NE(f.doc, nullptr);
    // Esc pressed while the save runs: it waits in the input queue of the main frame.
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    f.view->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(g_boxes.empty()); // a cancel is not an error
    ExpectUnsaved(f);
    EXPECT_EQ(StatusText(), "已取消保存，文件未被改动");

    // Save As to a new name in another encoding and line ends: no file, nothing changes.
    g_saveAsPath = TempFile("qv_escape_save_as.txt");
    DeleteFileA(g_saveAsPath.c_str());
    CDlgFile::PromptHook oldHook = CDlgFile::SetPromptHook(AnswerSaveAsUtf8Unix);
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    f.view->SendMessage(WM_COMMAND, ID_FILE_SAVE_AS);
    TheApp().PumpPendingMessages();
    CDlgFile::SetPromptHook(oldHook);
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(GetFileAttributesA(g_saveAsPath.c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectUnsaved(f);
    EXPECT_EQ(StatusText(), "已取消保存，文件未被改动");

    // Without Esc the same save writes the whole text.
    f.view->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_FALSE(f.doc->IsModified());
    EXPECT_TRUE(ReadWholeFile(f.path) == "x" + f.bytes);
    DeleteFileA(g_saveAsPath.c_str());
}

TEST_F(DocumentCommandTest, EscapeDuringTheSaveOfAClosingOrSaveAllKeepsTheDocumentOpenAndModified) {
    EditedLongFile f("qv_escape_close.txt");
    ASSERT_NE(f.doc, nullptr);
    const size_t open = OpenDocumentCount();
    g_answer = IDYES; // save the changes?
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    f.view->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], f.path + "\n文档已经被修改，保存所作改动？");
    ASSERT_EQ(OpenDocumentCount(), open);
    ExpectUnsaved(f);

    // The program's close asks every document the same way (the frame's close stops when the
    // answer is no; the window itself is not closed here: it would write the session).
    g_boxes.clear();
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(TheApp().CWinApp::SaveAllModified());
    TheApp().PumpPendingMessages();
    EXPECT_EQ(g_boxes.size(), 1u);
    ASSERT_EQ(OpenDocumentCount(), open);
    ExpectUnsaved(f);

    // Save All stops at the cancelled save.
    g_boxes.clear();
    AppMainFrame()->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
    AppMainFrame()->SendMessage(WM_COMMAND, ID_FILE_SAVE_ALL);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(g_boxes.empty());
    ExpectUnsaved(f);
}

#ifdef _WIN64
// A line longer than a line may be (here one of 2 GB and 10 bytes): the reason, not the system's
// "file too large", and no document.
TEST_F(DocumentCommandTest, AFileWithALineLongerThanTwoGigabytesIsRefusedWithItsReason) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string path = std::string(dir) + "qv_one_long_line.bin";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = (LONGLONG{1} << 31) + 10;
    const bool made = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    ASSERT_TRUE(made);
    CTextEditDoc::SetFreeMemoryForTest(uint64_t{1} << 40); // no question about its size
    const size_t before = OpenDocumentCount();
    EXPECT_EQ(CTextEditDoc::OpenFileWithEncoding(path.c_str(), FxEncAnsi), nullptr);
    CTextEditDoc::SetFreeMemoryForTest(0);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0],
              path + "\n该文件中有一行文本的长度超过了2GB，Quorvane无法装入这样的文件。");
    EXPECT_EQ(g_boxTypes[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(OpenDocumentCount(), before);
    DeleteFileA(path.c_str());
}
#endif
