// The text view's editing and search commands in this process: the application object, a new
// document through File > New, and WM_COMMAND sent to the view; the Find and Replace dialogs
// created modeless and driven through their controls; message boxes answered by the hook.
#include "app/FindIds.h"
#include "settings/FileTypes.h"
#include "tests/app/TextViewFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace viewtest;

// A C-like file type: strings in double quotes, both comment kinds, and "(" ")" as its pair.
const FileTypeInfo& CLikeType() {
    static FileTypeInfo* type = [] {
        FileTypeInfo* t = new FileTypeInfo; // lives to the end of the process
        t->title = "C-like";
        t->syntax.SetRule(SynQuoted, "\"", 1, "\"", 1);
        t->syntax.SetRule(SynLineComment, "//", 2, nullptr, 0);
        t->syntax.SetRule(SynBlockComment, "/*", 2, "*/", 2);
        t->syntax.AddBracket("(", 1, ")", 1);
        t->syntax.UpdateHasSyntax();
        t->loaded = true;
        return t;
    }();
    return *type;
}

class EditCommandTest : public TextViewTest {};

} // namespace

TEST_F(EditCommandTest, CopyPasteCutUndoAndSelectAll) {
    Type("hello world");
    Select(FxTextPos(0, 0), FxTextPos(5, 0));
    Command(ID_EDIT_COPY);
    m_view->GoToPos(FxTextPos(11, 0));
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(Text(), "hello worldhello");
    EXPECT_EQ(CTextEditView::UndoMenuText(m_view->GetEditDoc(), false), "撤消粘贴");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "hello world");
    EXPECT_EQ(CTextEditView::UndoMenuText(m_view->GetEditDoc(), true), "恢复粘贴");
    Command(ID_EDIT_REDO);
    EXPECT_EQ(Text(), "hello worldhello");

    Select(FxTextPos(5, 0), FxTextPos(11, 0));
    Command(ID_EDIT_CUT);
    EXPECT_EQ(Text(), "hellohello");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "hello worldhello");

    Command(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(Selected(), "hello worldhello");
}

TEST_F(EditCommandTest, AppendCopyCollectsBothSelections) {
    Type("abc def");
    Select(FxTextPos(0, 0), FxTextPos(3, 0));
    Command(ID_EDIT_COPY);
    Select(FxTextPos(4, 0), FxTextPos(7, 0));
    Command(ID_EDIT_APPEND_COPY);
    m_view->ClearSelection();
    m_view->GoToPos(FxTextPos(7, 0));
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(Text(), "abc defabcdef");
}

TEST_F(EditCommandTest, DeleteToLineStartKeepsTheSelectedText) {
    Type("one two\r\nthree");
    Select(FxTextPos(4, 0), FxTextPos(6, 0));
    Command(ID_EDIT_DELETE_TO_LINE_START);
    EXPECT_EQ(Text(), "o\nthree");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "one two\nthree");
}

// The selection commands start from the caret, whichever end of an earlier selection it is.
TEST_F(EditCommandTest, SelectToTheEndsStartsFromTheCaretNotTheOldAnchor) {
    Type("alpha beta\r\ngamma delta\r\nomega");
    struct Case {
        UINT id;
        const char* selected;
        FxTextPos caret;
    };
    const Case cases[] = {
        {ID_EDIT_SELECT_TO_LINE_START, "gamm", FxTextPos(0, 1)},
        {ID_EDIT_SELECT_TO_LINE_END, "a delta", FxTextPos(11, 1)},
        {ID_EDIT_SELECT_TO_DOC_START, "alpha beta\r\ngamm", FxTextPos(0, 0)},
        {ID_EDIT_SELECT_TO_DOC_END, "a delta\r\nomega", FxTextPos(5, 2)},
    };
    for (const Case& c : cases) {
        // Anchor at (2, 0) on the line above, caret at (4, 1).
        Select(FxTextPos(2, 0), FxTextPos(4, 1));
        ASSERT_EQ(Selected(), "pha beta\r\ngamm");
        Command(c.id);
        EXPECT_EQ(Selected(), c.selected) << c.id;
        EXPECT_EQ(m_view->LogicalCaret(), c.caret) << c.id;
    }
}

TEST_F(EditCommandTest, ReadOnlyDocumentChangesNothing) {
    Type("abc");
    Select(FxTextPos(0, 0), FxTextPos(3, 0));
    Command(ID_EDIT_COPY);
    m_view->GetEditDoc()->SetReadOnly(true);
    Command(ID_EDIT_CUT);
    Command(ID_EDIT_PASTE);
    Command(ID_EDIT_DELETE_TO_DOC_START);
    EXPECT_EQ(Text(), "abc");
    EXPECT_STREQ(AppMainFrame()->StatusBar().GetPaneText(0), "只读文档不能修改");
    m_view->GetEditDoc()->SetReadOnly(false);
}

TEST_F(EditCommandTest, ColumnBlockPastesAsBlockUntilAnotherProgramCopies) {
    Type("ab\r\ncd\r\nef");
    const int w = m_view->CaretX() / 2; // one character
    const int pitch = m_view->WindowYFromRecord(1) - m_view->WindowYFromRecord(0);
    m_view->SelectColumnBlock(RECT{0, 0, w, pitch + pitch / 2});
    ASSERT_EQ(m_view->SelectionKind(), CFxEditView::SEL_COLUMN);
    Command(ID_EDIT_COPY);
    m_view->GoToPos(FxTextPos(2, 0));
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(Text(), "aba\ncdc\nef");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "ab\ncd\nef");

    // The same text put there by someone else pastes as a stream.
    ASSERT_TRUE(PutClipboardText("a\r\nc"));
    m_view->GoToPos(FxTextPos(2, 0));
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(Text(), "aba\nc\ncd\nef");
}

TEST_F(EditCommandTest, FindDialogSelectsTheMatchOrReportsNotFound) {
    Type("xab cat,dog category");
    m_view->GoToPos(FxTextPos(1, 0));
    CFindReplaceDlg dlg(m_view, false);
    ASSERT_TRUE(dlg.Create(IDD_FIND, m_view));
    HWND h = dlg.m_hWnd;
    SetBox(h, IDC_FIND_WHAT, "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDC_FIND_FIND)));
    SetBox(h, IDC_FIND_WHAT, "zzz");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_FIND_FIND)));
    SendMessageA(h, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "没有找到匹配的字符串“zzz”。");
    EXPECT_TRUE(IsWindow(h));
    CheckDlgButton(h, IDC_FIND_WHOLE_WORD, BST_CHECKED);
    SetBox(h, IDC_FIND_WHAT, "cat");
    SendMessageA(h, WM_COMMAND, IDC_FIND_FIND, 0);
    EXPECT_FALSE(IsWindow(h)); // found: the dialog closed
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(7, 0));
    EXPECT_EQ(Selected(), "cat");
    EXPECT_EQ(AppSettings()->History(HistoryFind).front(), "cat");

    // Find Next: whole word skips category and wraps to the same match.
    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(7, 0));
    EXPECT_STREQ(AppMainFrame()->StatusBar().GetPaneText(0), "搜索已经从文档的尽头折回");
}

TEST_F(EditCommandTest, FindPrefillIsTheWordOrTheSelectionsFirstLine) {
    Type("alpha beta\r\ngamma");
    m_view->GoToPos(FxTextPos(7, 0));
    EXPECT_EQ(m_view->FindPrefillText(), "beta");
    Select(FxTextPos(2, 0), FxTextPos(3, 1));
    EXPECT_EQ(m_view->FindPrefillText(), "pha beta");
    EXPECT_EQ(m_view->FindPrefillText(3), "pha");
}

TEST_F(EditCommandTest, ReplaceAllInOneUndoStepAndWithinASelection) {
    Type("aaa");
    CFindReplaceDlg dlg(m_view, true);
    ASSERT_TRUE(dlg.Create(IDD_REPLACE, m_view));
    HWND h = dlg.m_hWnd;
    SetBox(h, IDC_FIND_WHAT, "a");
    SetDlgItemTextA(h, IDC_FIND_REPLACE_WITH, "aa");
    SendMessageA(h, WM_COMMAND, IDC_FIND_REPLACE_ALL, 0);
    EXPECT_EQ(Text(), "aaaaaa");
    EXPECT_TRUE(g_boxes.empty());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "aaa");
    dlg.DestroyWindow();

    Command(ID_EDIT_SELECT_ALL);
    Type("xa\r\nya\r\nza");
    Select(FxTextPos(1, 0), FxTextPos(2, 1));
    CFindReplaceDlg dlg2(m_view, true);
    ASSERT_TRUE(dlg2.Create(IDD_REPLACE, m_view));
    h = dlg2.m_hWnd;
    EXPECT_EQ(IsDlgButtonChecked(h, IDC_FIND_SCOPE_SELECTION), BST_CHECKED);
    SetBox(h, IDC_FIND_WHAT, "a");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDC_FIND_FIND)));
    SetDlgItemTextA(h, IDC_FIND_REPLACE_WITH, "bb");
    SendMessageA(h, WM_COMMAND, IDC_FIND_REPLACE_ALL, 0);
    EXPECT_EQ(Text(), "xbb\nybb\nza");
    EXPECT_EQ(Selected(), "bb\r\nybb");
    dlg2.DestroyWindow();
}

// Replacing with nothing deletes the matches and leaves the replacement history as it was, in
// the box and in the settings.
TEST_F(EditCommandTest, AnEmptyReplacementKeepsTheReplaceHistory) {
    SettingsStore* settings = AppSettings();
    settings->UpdateHistory(HistoryReplace, {"针", "pin"});
    settings->SaveHistory(HistoryReplace);
    Type("a needle");
    CFindReplaceDlg dlg(m_view, true);
    ASSERT_TRUE(dlg.Create(IDD_REPLACE, m_view));
    HWND h = dlg.m_hWnd;
    SetBox(h, IDC_FIND_WHAT, "needle");
    SetDlgItemTextA(h, IDC_FIND_REPLACE_WITH, "");
    SendMessageA(h, WM_COMMAND, IDC_FIND_REPLACE_ALL, 0);
    EXPECT_EQ(Text(), "a ");
    EXPECT_EQ(SendDlgItemMessageA(h, IDC_FIND_REPLACE_WITH, CB_GETCOUNT, 0, 0), 2);
    dlg.DestroyWindow();
    const std::vector<std::string> kept = {"针", "pin"};
    EXPECT_EQ(settings->History(HistoryReplace), kept);
    char stored[64] = "";
    GetPrivateProfileStringA("HistoryReplace", "01", "", stored, sizeof stored,
                             settings->IniPath(IniProfile));
    EXPECT_EQ(std::string(stored), "pin");
}

TEST_F(EditCommandTest, InvalidRegularExpressionNamesTheError) {
    Type("abc");
    AppSettings()->Search().regExp = true;
    EXPECT_FALSE(m_view->FindAndSelect("(ab", true, false));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "正则表达式“(ab”有误（第 3 个字符处）：括号“(”与“)”不成对。");
    g_boxes.clear();
    EXPECT_FALSE(m_view->FindAndSelect("ab[c-a]x", true, false));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0],
              "正则表达式“ab[c-a]x”有误（第 7 个字符处）：字符类中的范围或字符类名称无效。");
    AppSettings()->Search().regExp = false;
}

TEST_F(EditCommandTest, RunawayRegularExpressionStopsWithAMessage) {
    Type((std::string(40, 'a') + "cb").c_str());
    AppSettings()->Search().regExp = true;
    EXPECT_FALSE(m_view->FindAndSelect("(a+)+b", true, false));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "正则表达式“(a+)+b”的匹配过程过于复杂，查找已停止。");
    AppSettings()->Search().regExp = false;
}

TEST_F(EditCommandTest, FindNextWithoutTextBeepsWithStatus) {
    AppSettings()->UpdateHistory(HistoryFind, {}); // an empty list that stays empty
    Type("abc");
    ASSERT_TRUE(AppSettings()->History(HistoryFind).empty());
    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_FALSE(m_view->HasSelection());
    EXPECT_STREQ(AppMainFrame()->StatusBar().GetPaneText(0),
                 "当前没有查找对象，请使用“查找”对话框输入您想要查找的信息。");
}

TEST_F(EditCommandTest, NextBookmarkWrapsWithItsStatus) {
    Type("l0\r\nl1\r\nl2\r\nl3");
    m_view->SetBookmarkOnLine(1);
    m_view->SetBookmarkOnLine(3);
    m_view->GoToLine(3);
    Command(ID_SEARCH_NEXT_BOOKMARK);
    EXPECT_EQ(m_view->LogicalCaret().line, 1);
    EXPECT_STREQ(AppMainFrame()->StatusBar().GetPaneText(0), "搜索已经从文档的尽头折回");
    Command(ID_SEARCH_CLEAR_BOOKMARKS);
    EXPECT_EQ(m_view->GetEditDoc()->BookmarkCount(), 0);
}

TEST_F(EditCommandTest, MatchPairJumpsToThePartnerAndBack) {
    m_view->SetFileType(&CLikeType());
    Type("f(a(b)c)");
    m_view->GoToPos(FxTextPos(1, 0));
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(7, 0));
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(1, 0));
    m_view->GoToPos(FxTextPos(3, 0)); // the inner pair
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(5, 0));
    m_view->GoToPos(FxTextPos(2, 0)); // just right of the outer "(": one character left
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(7, 0));
    EXPECT_EQ(g_beeps, 0);
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(EditCommandTest, MatchPairSkipsBracketsInCommentsAndStrings) {
    m_view->SetFileType(&CLikeType());
    Type("g(\")\" /* ) ( */ x)\r\n// )\r\n)");
    m_view->GoToPos(FxTextPos(1, 0));
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(17, 0));
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(1, 0));
    m_view->GoToPos(FxTextPos(9, 0)); // the ")" inside the block comment does nothing
    EXPECT_FALSE(m_view->MatchPair());
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(9, 0));
    m_view->GoToPos(FxTextPos(0, 2)); // the last ")" has no partner: the others are hidden
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(0, 2));
    EXPECT_EQ(g_beeps, 1);
}

TEST_F(EditCommandTest, MatchPairWithoutPartnerBeepsAndLeavesTheCaret) {
    Type("f(a(b)c");
    m_view->GoToPos(FxTextPos(1, 0));
    Command(ID_EDIT_MATCH_PAIR); // the default file type has no pairs
    EXPECT_EQ(g_beeps, 1);
    m_view->SetFileType(&CLikeType());
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(g_beeps, 2);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(1, 0));
    m_view->GoToPos(FxTextPos(0, 0)); // "f": not a bracket
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(g_beeps, 3);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(0, 0));
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_FALSE(m_view->HasSelection());
}

TEST_F(EditCommandTest, MatchPairStopsAtTheDocumentsEnds) {
    m_view->SetFileType(&CLikeType());
    Type("q)\r\n(z)\r\n(");
    m_view->GoToPos(FxTextPos(0, 1)); // a partner close to the end is found
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(2, 1));
    m_view->GoToPos(FxTextPos(0, 2)); // past the end: no wrap to the ")" of the first line
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(0, 2));
    m_view->GoToPos(FxTextPos(1, 0)); // before the start: no wrap to a "(" below
    Command(ID_EDIT_MATCH_PAIR);
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(1, 0));
    EXPECT_EQ(g_beeps, 2);
}

TEST_F(EditCommandTest, CaseConversionsLeaveDoubleByteCharactersAndUndoInOneStep) {
    Type("hELLO \xD6\xD0\xCE\xC4 wORLD abc1def");
    const std::string original = Text();
    struct Case {
        UINT id;
        const char* result;
        const char* undoName;
    };
    const Case cases[] = {
        {ID_EDIT_LOWER_CASE, "hello \xD6\xD0\xCE\xC4 world abc1def", "撤消转换成小写"},
        {ID_EDIT_UPPER_CASE, "HELLO \xD6\xD0\xCE\xC4 WORLD ABC1DEF", "撤消转换成大写"},
        {ID_EDIT_INVERT_CASE, "Hello \xD6\xD0\xCE\xC4 World ABC1DEF", "撤消反转大小写"},
        {ID_EDIT_CAPITALIZE, "Hello \xD6\xD0\xCE\xC4 World Abc1Def", "撤消首字符大写"},
    };
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(Text(), c.result) << c.id;
        EXPECT_EQ(CTextEditView::UndoMenuText(m_view->GetEditDoc(), false), c.undoName);
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(Text(), original) << c.id;
    }
}

// The letters of code page 936 that have a case convert both ways: full-width Latin (A3 row),
// Greek (A6) and Cyrillic (A7); a double-byte character whose trail byte is an ASCII letter
// (81 61) is not a letter and stays whole.
TEST_F(EditCommandTest, CaseConversionsTakeFullWidthGreekAndCyrillicLetters) {
    // "ａＢｃ βΓ дЖ x" 81 61 "y"
    const std::string original = "\xA3\xE1\xA3\xC2\xA3\xE3 \xA6\xC2\xA6\xA3 \xA7\xD5\xA7\xA8 "
                                 "x\x81\x61y";
    Type(original.c_str());
    ASSERT_EQ(Text(), original);
    struct Case {
        UINT id;
        const char* result;
    };
    const Case cases[] = {
        {ID_EDIT_LOWER_CASE, "\xA3\xE1\xA3\xE2\xA3\xE3 \xA6\xC2\xA6\xC3 \xA7\xD5\xA7\xD8 "
                             "x\x81\x61y"},
        {ID_EDIT_UPPER_CASE, "\xA3\xC1\xA3\xC2\xA3\xC3 \xA6\xA2\xA6\xA3 \xA7\xA5\xA7\xA8 "
                             "X\x81\x61Y"},
        {ID_EDIT_INVERT_CASE, "\xA3\xC1\xA3\xE2\xA3\xC3 \xA6\xA2\xA6\xC3 \xA7\xA5\xA7\xD8 "
                              "X\x81\x61Y"},
        {ID_EDIT_CAPITALIZE, "\xA3\xC1\xA3\xE2\xA3\xE3 \xA6\xA2\xA6\xC3 \xA7\xA5\xA7\xD8 "
                             "X\x81\x61Y"},
    };
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(Text(), c.result) << c.id;
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(Text(), original) << c.id;
    }
}

TEST_F(EditCommandTest, CaseConversionOfTheSelectionOnly) {
    Type("abc\xD6\xD0"
         "def\r\nghi");
    Select(FxTextPos(2, 0), FxTextPos(1, 1));
    Command(ID_EDIT_UPPER_CASE);
    EXPECT_EQ(Text(), "abC\xD6\xD0"
                      "DEF\nGhi");
    EXPECT_FALSE(m_view->HasSelection());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Text(), "abc\xD6\xD0"
                      "def\nghi");
}

TEST_F(EditCommandTest, WhiteSpaceConversionsOnMixedText) {
    const int tab = m_view->FileType().tabSize;
    ASSERT_EQ(tab, 8);
    Type("abcdefg h\r\n        \xD6\xD0  x  \r\n\t\xCE\xC4\tend\t ");
    const std::string original = Text();
    struct Case {
        UINT id;
        const char* result;
    };
    const Case cases[] = {
        {ID_EDIT_SPACES_TO_TABS, "abcdefg\th\n\t\xD6\xD0  x  \n\t\xCE\xC4\tend\t "},
        {ID_EDIT_LEADING_SPACES_TO_TABS, "abcdefg h\n\t\xD6\xD0  x  \n\t\xCE\xC4\tend\t "},
        {ID_EDIT_TABS_TO_SPACES,
         "abcdefg h\n        \xD6\xD0  x  \n        \xCE\xC4      end      "},
        {ID_EDIT_TRIM_TRAILING, "abcdefg h\n        \xD6\xD0  x\n\t\xCE\xC4\tend"},
    };
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(Text(), c.result) << c.id;
        Command(ID_EDIT_UNDO);
        EXPECT_EQ(Text(), original) << c.id;
    }
}

TEST_F(EditCommandTest, ConversionsRefuseReadOnlyDocuments) {
    Type("Abc \t\r\n  d");
    m_view->GetEditDoc()->SetReadOnly(true);
    const UINT ids[] = {ID_EDIT_LOWER_CASE,     ID_EDIT_UPPER_CASE,
                        ID_EDIT_INVERT_CASE,    ID_EDIT_CAPITALIZE,
                        ID_EDIT_SPACES_TO_TABS, ID_EDIT_LEADING_SPACES_TO_TABS,
                        ID_EDIT_TABS_TO_SPACES, ID_EDIT_TRIM_TRAILING};
    for (UINT id : ids) {
        AppMainFrame()->StatusBar().SetPaneText(0, "");
        Command(id);
        EXPECT_EQ(Text(), "Abc \t\n  d") << id;
        EXPECT_STREQ(AppMainFrame()->StatusBar().GetPaneText(0), "只读文档不能修改") << id;
    }
    m_view->GetEditDoc()->SetReadOnly(false);
}

TEST_F(EditCommandTest, ConversionThatChangesNothingLeavesTheDocumentUnmodified) {
    Type("abc \xD6\xD0");
    m_view->GetEditDoc()->SetModifiedFlag(false);
    Command(ID_EDIT_LOWER_CASE);
    Command(ID_EDIT_TABS_TO_SPACES);
    EXPECT_EQ(Text(), "abc \xD6\xD0");
    EXPECT_FALSE(m_view->GetEditDoc()->IsModified());
}

// --- The Replace dialog moves out of the match's way ---------------------------------------------

TEST(FindDialogPlacementTest, BelowElseAboveElseRightElseLeftInsideTheScreen) {
    const RECT screen = {0, 0, 1000, 800};
    const SIZE dialog = {300, 200};
    struct Case {
        RECT match;
        POINT expected;
    };
    const Case cases[] = {
        {{400, 100, 500, 120}, {300, 150}}, // below the grown rectangle, centred
        {{400, 700, 500, 720}, {300, 470}}, // no room below: above
        {{400, 100, 500, 700}, {530, 300}}, // neither: to its right, centred vertically
        {{800, 100, 900, 700}, {470, 300}}, // not even there: to its left
        {{0, 100, 50, 120}, {0, 150}},      // centred would leave the screen: kept inside
        {{900, 0, 1000, 790}, {570, 295}},  // left of it, inside the screen
    };
    for (const Case& c : cases) {
        const POINT at = CFindReplaceDlg::PlaceBeside(c.match, dialog, screen);
        EXPECT_EQ(at.x, c.expected.x) << c.match.left << "," << c.match.top;
        EXPECT_EQ(at.y, c.expected.y) << c.match.left << "," << c.match.top;
    }
}

TEST_F(EditCommandTest, ReplaceDialogMovesBesideTheMatchAndTakesThePointerAlong) {
    CAppMainFrame* frame = AppMainFrame();
    RECT frameWas;
    ::GetWindowRect(frame->m_hWnd, &frameWas);
    RECT screen;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    ::SetWindowPos(frame->m_hWnd, nullptr, screen.left + 20, screen.top + 20, 700, 500,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    TheApp().PumpPendingMessages();

    Type("first line\r\nthe cat sat\r\nlast");
    m_view->GoToPos(FxTextPos(0, 0));
    CFindReplaceDlg dlg(m_view, true);
    ASSERT_TRUE(dlg.Create(IDD_REPLACE, m_view));
    HWND h = dlg.m_hWnd;
    ::SetWindowPos(h, nullptr, screen.left, screen.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetBox(h, IDC_FIND_WHAT, "cat");
    RECT button;
    ::GetWindowRect(GetDlgItem(h, IDC_FIND_FIND), &button);
    const POINT pointer = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    SetCursorPos(pointer.x, pointer.y);
    RECT before;
    ::GetWindowRect(h, &before);
    SendMessageA(h, WM_COMMAND, IDC_FIND_FIND, 0);
    ASSERT_EQ(Selected(), "cat");

    // The match's rectangle: the selected text on its line, in screen pixels.
    const RECT match = m_view->SelectionScreenRect();
    POINT lineTop = {m_view->WindowXFromDoc(0), m_view->WindowYFromRecord(1)};
    ::ClientToScreen(m_view->m_hWnd, &lineTop);
    EXPECT_EQ(match.top, lineTop.y);
    EXPECT_EQ(match.bottom - match.top,
              m_view->WindowYFromRecord(2) - m_view->WindowYFromRecord(1));
    EXPECT_GT(match.left, lineTop.x); // "the " comes before it
    EXPECT_GT(match.right, match.left);

    // Room below: 30 pixels under it, centred on it.
    RECT after;
    ::GetWindowRect(h, &after);
    const int w = after.right - after.left;
    EXPECT_EQ(after.top, match.bottom + CFindReplaceDlg::kMatchMargin);
    EXPECT_EQ(after.left, std::max(static_cast<int>(screen.left),
                                   static_cast<int>((match.left + match.right) / 2 - w / 2)));
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    POINT now;
    GetCursorPos(&now);
    EXPECT_EQ(now.x, pointer.x + (after.left - before.left));
    EXPECT_EQ(now.y, pointer.y + (after.top - before.top));

    // Near the bottom of the screen: above it. The pointer is elsewhere and stays.
    ::SetWindowPos(frame->m_hWnd, nullptr, screen.left + 20, screen.bottom - 180, 700, 500,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    TheApp().PumpPendingMessages();
    SetCursorPos(screen.right - 5, screen.bottom - 5);
    m_view->GoToPos(FxTextPos(0, 0));
    SendMessageA(h, WM_COMMAND, IDC_FIND_FIND, 0);
    ASSERT_EQ(Selected(), "cat");
    const RECT low = m_view->SelectionScreenRect();
    ASSERT_GT(low.bottom + CFindReplaceDlg::kMatchMargin + (after.bottom - after.top),
              screen.bottom);
    ::GetWindowRect(h, &after);
    EXPECT_EQ(after.bottom, low.top - CFindReplaceDlg::kMatchMargin);
    GetCursorPos(&now);
    EXPECT_EQ(now.x, screen.right - 5);
    EXPECT_EQ(now.y, screen.bottom - 5);

    // Replace moves it the same way after it replaced the match.
    SetDlgItemTextA(h, IDC_FIND_REPLACE_WITH, "dog");
    SendMessageA(h, WM_COMMAND, IDC_FIND_REPLACE, 0);
    EXPECT_EQ(Text(), "first line\nthe dog sat\nlast");
    dlg.DestroyWindow();
    ::SetWindowPos(frame->m_hWnd, nullptr, frameWas.left, frameWas.top,
                   frameWas.right - frameWas.left, frameWas.bottom - frameWas.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

TEST_F(EditCommandTest, MarkWithAnInvalidPatternKeepsTheBookmarks) {
    Type("one\r\ntwo\r\nthree");
    m_view->SetBookmarkOnLine(1);
    ASSERT_EQ(m_view->GetEditDoc()->BookmarkCount(), 1);
    CFindReplaceDlg dlg(m_view, false);
    ASSERT_TRUE(dlg.Create(IDD_FIND, m_view));
    HWND h = dlg.m_hWnd;
    CheckDlgButton(h, IDC_FIND_REGEXP, BST_CHECKED);
    SetBox(h, IDC_FIND_WHAT, "(t");
    SendMessageA(h, WM_COMMAND, IDC_FIND_MARK, 0);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "正则表达式“(t”有误（第 2 个字符处）：括号“(”与“)”不成对。");
    EXPECT_TRUE(IsWindow(h));
    EXPECT_EQ(m_view->NextBookmarkAfter(-1), 1);
    EXPECT_EQ(m_view->GetEditDoc()->BookmarkCount(), 1);

    // A valid pattern replaces the marks.
    CheckDlgButton(h, IDC_FIND_REGEXP, BST_UNCHECKED);
    SetBox(h, IDC_FIND_WHAT, "th");
    SendMessageA(h, WM_COMMAND, IDC_FIND_MARK, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(m_view->NextBookmarkAfter(-1), 2);
    EXPECT_EQ(m_view->GetEditDoc()->BookmarkCount(), 1);
    AppSettings()->Search().regExp = false;
}

TEST_F(EditCommandTest, FindNextRepeatsTheLastAcceptedSearchAsItWasTyped) {
    Type("a   b   c");
    m_view->GoToPos(FxTextPos(0, 0));
    {
        CFindReplaceDlg dlg(m_view, false);
        ASSERT_TRUE(dlg.Create(IDD_FIND, m_view));
        SetBox(dlg.m_hWnd, IDC_FIND_WHAT, "   ");
        SendMessageA(dlg.m_hWnd, WM_COMMAND, IDC_FIND_FIND, 0);
        EXPECT_FALSE(IsWindow(dlg.m_hWnd));
    }
    EXPECT_EQ(Selected(), "   ");
    ASSERT_FALSE(AppSettings()->History(HistoryFind).empty());
    EXPECT_EQ(AppSettings()->History(HistoryFind).front(), "   ");
    // Blanks only: the quotes that keep them in the profile are not part of the search.
    Command(ID_SEARCH_FIND_NEXT);
    EXPECT_TRUE(g_boxes.empty()) << g_boxes.front();
    EXPECT_EQ(m_view->LogicalCaret(), FxTextPos(8, 0));
    EXPECT_EQ(Selected(), "   ");

    // A search that finds nothing is still the last one.
    {
        CFindReplaceDlg dlg(m_view, false);
        ASSERT_TRUE(dlg.Create(IDD_FIND, m_view));
        SetBox(dlg.m_hWnd, IDC_FIND_WHAT, "zzz");
        SendMessageA(dlg.m_hWnd, WM_COMMAND, IDC_FIND_FIND, 0);
        ASSERT_EQ(g_boxes.size(), 1u);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(AppSettings()->History(HistoryFind).front(), "zzz");
    g_boxes.clear();
    Command(ID_SEARCH_FIND_NEXT);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], "没有找到匹配的字符串“zzz”。");
}
