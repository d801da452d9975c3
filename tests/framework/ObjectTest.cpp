// Run-time classes, dynamic creation, exceptions and their reports, plain message maps.
#include "tests/framework/TestApp.h"

#include "common/FxErrors.h"
#include "framework/Exception.h"
#include "framework/FileException.h"
#include "framework/MemoryException.h"
#include "framework/MultiDocTemplate.h"
#include "framework/MessageBox.h"
#include "framework/ResourceException.h"
#include "framework/ResourceText.h"
#include "framework/UserException.h"
#include "tests/framework/FrameworkTestIds.h"

#include <memory>
#include <new>

namespace {

const char kMemoryText[] = "内存不足无法继续操作，请尝试关闭一些程序以腾出一些可用内存然后再试。";
const char kResourceText[] = "资源不足操作失败！Quorvane无法申请到足够的资源进行本次操作，"
                             "建议您关闭一些程序或者重新启动系统然后再试。";

// Everything below ends with the message box hook answering.
class BoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxSetMessageBoxHook(&BoxLog::Hook);
        BoxLog::Clear();
    }
    void TearDown() override {
        AfxSetMessageBoxHook(nullptr);
        BoxLog::Clear();
    }
};

// A window whose handlers throw, and one with user messages and a command range.
class ThrowingWnd : public CWnd {
public:
    LRESULT OnThrowMemory(WPARAM, LPARAM) { AfxThrowMemoryException(); }
    LRESULT OnThrowBadAlloc(WPARAM, LPARAM) { throw std::bad_alloc(); }
    LRESULT OnThrowEngineFile(WPARAM, LPARAM) { throw FxFileError(ERROR_ACCESS_DENIED); }
    LRESULT OnUser2(WPARAM wp, LPARAM lp) { return static_cast<LRESULT>(wp + lp); }
    void OnRange(UINT id) { m_lastCommand = id; }
    void OnTimer(UINT_PTR id) {
        m_timerId = id;
        KillTimer(id);
    }
    UINT m_lastCommand = 0;
    UINT_PTR m_timerId = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingWnd, CWnd)
ON_MESSAGE(WM_USER + 10, OnThrowMemory)
ON_MESSAGE(WM_USER + 11, OnThrowBadAlloc)
ON_MESSAGE(WM_USER + 12, OnThrowEngineFile)
ON_MESSAGE(WM_USER + 2, OnUser2)
ON_COMMAND_RANGE(ID_TEST_RANGE_FIRST, ID_TEST_RANGE_LAST, OnRange)
ON_WM_TIMER()
END_MESSAGE_MAP()

} // namespace

TEST(RuntimeClass, CreatesDocumentViewAndFrameByClass) {
    std::unique_ptr<CObject> doc(RUNTIME_CLASS(TestDoc)->CreateObject());
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(TestDoc)));
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CDocument)));
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_FALSE(doc->IsKindOf(RUNTIME_CLASS(CView)));
    EXPECT_STREQ(doc->GetRuntimeClass()->m_lpszClassName, "TestDoc");

    std::unique_ptr<CObject> view(RUNTIME_CLASS(TestView)->CreateObject());
    EXPECT_NE(DynamicDowncast<CView>(view.get()), nullptr);
    EXPECT_EQ(DynamicDowncast<CFrameWnd>(view.get()), nullptr);

    std::unique_ptr<CObject> frame(RUNTIME_CLASS(TestChildFrame)->CreateObject());
    EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)));
    EXPECT_TRUE(frame->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
}

TEST(RuntimeClass, AbstractClassesAreNotCreatable) {
    EXPECT_FALSE(RUNTIME_CLASS(CDocument)->IsCreatable());
    EXPECT_EQ(RUNTIME_CLASS(CView)->CreateObject(), nullptr);
    EXPECT_TRUE(RUNTIME_CLASS(CWnd)->IsCreatable());
}

TEST(RuntimeClass, FindsClassesByName) {
    EXPECT_EQ(CRuntimeClass::FromName("TestView"), RUNTIME_CLASS(TestView));
    EXPECT_EQ(CRuntimeClass::FromName("CMultiDocTemplate"), RUNTIME_CLASS(CMultiDocTemplate));
    EXPECT_EQ(CRuntimeClass::FromName("NoSuchClass"), nullptr);
}

TEST_F(BoxTest, MemoryExceptionReportsTheMemoryMessage) {
    try {
        AfxThrowMemoryException();
    } catch (const CException& e) {
        EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CMemoryException)));
        e.ReportError();
    }
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], kMemoryText);
    EXPECT_EQ(BoxLog::types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(BoxTest, ResourceExceptionReportsTheResourceMessage) {
    try {
        AfxThrowResourceException();
    } catch (...) {
        AfxReportCurrentException();
    }
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], kResourceText);
}

TEST_F(BoxTest, FileExceptionCarriesTheOsErrorAndNamesTheFile) {
    CFileException e(CFileException::OsErrorToCause(ERROR_FILE_NOT_FOUND), ERROR_FILE_NOT_FOUND,
                     "C:\\nowhere\\a.txt");
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    std::string message;
    ASSERT_TRUE(e.GetErrorMessage(message));
    std::string expected =
        "C:\\nowhere\\a.txt\n文件操作失败：" + AfxSystemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(message, expected);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_ACCESS_DENIED), CFileException::accessDenied);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_DISK_FULL), CFileException::diskFull);
}

TEST_F(BoxTest, EngineErrorsAreReportedAsFrameworkMessages) {
    try {
        throw std::bad_alloc();
    } catch (...) {
        AfxReportCurrentException();
    }
    try {
        throw FxFileError(ERROR_SHARING_VIOLATION);
    } catch (...) {
        AfxReportCurrentException();
    }
    try {
        AfxThrowUserException();
    } catch (...) {
        AfxReportCurrentException(); // already told: nothing shown
    }
    ASSERT_EQ(BoxLog::texts.size(), 2u);
    EXPECT_EQ(BoxLog::texts[0], kMemoryText);
    EXPECT_EQ(BoxLog::texts[1], "文件操作失败：" + AfxSystemErrorText(ERROR_SHARING_VIOLATION));
}

TEST_F(BoxTest, NoExceptionLeavesAWindowProcedureAndEachIsReportedOnce) {
    ThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "throwing", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(wnd.SendMessage(WM_USER + 10), 0);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 11), 0);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 12), 0);
    ASSERT_EQ(BoxLog::texts.size(), 3u);
    EXPECT_EQ(BoxLog::texts[0], kMemoryText);
    EXPECT_EQ(BoxLog::texts[1], kMemoryText);
    EXPECT_EQ(BoxLog::texts[2], "文件操作失败：" + AfxSystemErrorText(ERROR_ACCESS_DENIED));
    // The window still works afterwards.
    EXPECT_EQ(wnd.SendMessage(WM_USER + 2, 40, 2), 42);
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(MessageMap, UserMessagesCommandRangesAndTimers) {
    ThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "map", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 2, 3, 4), 7);
    wnd.SendMessage(WM_COMMAND, ID_TEST_RANGE_FIRST + 7);
    EXPECT_EQ(wnd.m_lastCommand, static_cast<UINT>(ID_TEST_RANGE_FIRST + 7));
    wnd.SendMessage(WM_COMMAND, ID_TEST_RANGE_LAST + 1); // outside the range
    EXPECT_EQ(wnd.m_lastCommand, static_cast<UINT>(ID_TEST_RANGE_FIRST + 7));
    wnd.SetTimer(5, 1);
    DWORD start = GetTickCount();
    while (wnd.m_timerId == 0 && GetTickCount() - start < 3000) {
        Sleep(5);
        Pump();
    }
    EXPECT_EQ(wnd.m_timerId, 5u);
    HWND hwnd = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST(MessageMap, SubclassedControlKeepsItsOwnBehaviour) {
    CWnd edit;
    HWND hwnd = CreateWindowExA(0, "EDIT", "abc", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(edit.SubclassWindow(hwnd));
    EXPECT_EQ(edit.GetWindowText(), "abc");
    edit.SetWindowText("中文");
    char text[16] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    EXPECT_STREQ(text, "中文");
    EXPECT_EQ(edit.UnsubclassWindow(), hwnd);
    DestroyWindow(hwnd);
}
