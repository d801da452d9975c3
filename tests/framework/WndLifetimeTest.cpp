// A window object deleted inside one of its own handlers (a frame that closes itself, a mini
// frame docked away): nothing of the framework writes to it afterwards. The object lives in a
// buffer of the test whose bytes are filled when it is deleted, so that any later write shows.
#include "tests/framework/TestApp.h"

#include "framework/Wnd.h"

#include <algorithm>
#include <cstring>

namespace {

alignas(std::max_align_t) unsigned char g_store[4096];
size_t g_size = 0;
bool g_alive = false;
const unsigned char kFreed = 0xDD;

bool UntouchedSinceDeleted() {
    return std::all_of(g_store, g_store + g_size, [](unsigned char b) { return b == kFreed; });
}

class SelfClosingWnd : public CWnd {
public:
    static void* operator new(size_t size) {
        if (size > sizeof g_store || g_alive)
            throw std::bad_alloc();
        g_size = size;
        g_alive = true;
        return g_store;
    }
    static void operator delete(void* p, size_t size) {
        std::memset(p, kFreed, size);
        g_alive = false;
    }

    LRESULT OnCloseSelf(WPARAM, LPARAM) {
        DestroyWindow();
        return 1;
    }
    // The close runs two handlers deep.
    LRESULT OnCloseSelfNested(WPARAM, LPARAM) { return SendMessage(WM_USER + 20) + 1; }
    // Closes through the default handling of a message (the system's close command).
    LRESULT OnCloseByDefault(WPARAM, LPARAM) { return DefWindowProc(WM_SYSCOMMAND, SC_CLOSE, 0); }
    void OnClose() { DestroyWindow(); }

protected:
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfClosingWnd, CWnd)
ON_MESSAGE(WM_USER + 20, OnCloseSelf)
ON_MESSAGE(WM_USER + 21, OnCloseSelfNested)
ON_MESSAGE(WM_USER + 22, OnCloseByDefault)
ON_WM_CLOSE()
END_MESSAGE_MAP()

HWND CreateSelfClosing() {
    auto* wnd = new SelfClosingWnd;
    if (!wnd->CreateEx(0, nullptr, "self-closing", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr))
        return nullptr;
    return wnd->m_hWnd;
}

} // namespace

TEST(WindowLifetime, AWindowDeletedInItsOwnHandlerIsNotWrittenToAfterwards) {
    HWND wnd = CreateSelfClosing();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(::SendMessageA(wnd, WM_USER + 20, 0, 0), 1);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_FALSE(g_alive);
    EXPECT_TRUE(UntouchedSinceDeleted());
}

TEST(WindowLifetime, NoHandlerOfTheChainWritesToTheDeletedWindow) {
    HWND wnd = CreateSelfClosing();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(::SendMessageA(wnd, WM_USER + 21, 0, 0), 2);
    EXPECT_FALSE(g_alive);
    EXPECT_TRUE(UntouchedSinceDeleted());
}

TEST(WindowLifetime, AWindowClosedByTheDefaultHandlingIsNotWrittenToAfterwards) {
    HWND wnd = CreateSelfClosing();
    ASSERT_NE(wnd, nullptr);
    ::SendMessageA(wnd, WM_USER + 22, 0, 0);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_FALSE(g_alive);
    EXPECT_TRUE(UntouchedSinceDeleted());
}
