// The manifests of the two programs: what they declare (read from the built programs'
// resources), and what the system makes of the editor's in a process that carries it (this
// test's): the common controls of version 6, and awareness of each monitor's pixel density.
#include "common/PathName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string ProgramFolder() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    return FxPathWithSeparator(FxPathFolder(std::string(exe)));
}

// The manifest resource (type 24, id 1) of a program, or "" when it has none.
std::string ManifestOf(const std::string& program) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "";
    std::string text;
    if (HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        if (HGLOBAL data = LoadResource(module, res)) {
            const char* bytes = static_cast<const char*>(LockResource(data));
            if (bytes)
                text.assign(bytes, SizeofResource(module, res));
        }
    }
    FreeLibrary(module);
    return text;
}

bool Holds(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// What both programs declare: per-monitor density with the system-aware fallback, Windows 7 to
// 11, no elevation, and paths kept within MAX_PATH.
void ExpectCommonDeclarations(const std::string& m) {
    EXPECT_TRUE(Holds(m, ">true/pm</dpiAware>"));
    EXPECT_TRUE(Holds(m, ">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_TRUE(Holds(m, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << "Windows 7";
    EXPECT_TRUE(Holds(m, "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}")) << "Windows 8";
    EXPECT_TRUE(Holds(m, "{1f676c76-80e1-4239-95bb-83d0f6d0da78}")) << "Windows 8.1";
    EXPECT_TRUE(Holds(m, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << "Windows 10 and 11";
    EXPECT_TRUE(Holds(m, "level=\"asInvoker\""));
    EXPECT_FALSE(Holds(m, "longPathAware"));
}

TEST(ManifestTest, TheEditorDeclaresCommonControls6AndTheDensityOfEachMonitor) {
    const std::string m = ManifestOf(ProgramFolder() + "Quorvane.exe");
    ASSERT_FALSE(m.empty()) << "Quorvane.exe has no manifest";
    EXPECT_TRUE(Holds(m, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    ExpectCommonDeclarations(m);
}

TEST(ManifestTest, TheCaptureRunnerDeclaresTheSameButNoControls) {
    const std::string m = ManifestOf(ProgramFolder() + "QVLOADER.EXE");
    ASSERT_FALSE(m.empty()) << "QVLOADER.EXE has no manifest";
    EXPECT_FALSE(Holds(m, "Common-Controls"));
    ExpectCommonDeclarations(m);
}

// This test program carries the editor's manifest, as the program does: the system binds the
// common controls of version 6 to it, and the button class is then theirs, which knows its
// ideal size.
TEST(ManifestTest, AProcessWithTheManifestGetsCommonControls6) {
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    EXPECT_TRUE(FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         "comctl32.dll", &data))
        << "comctl32.dll is not redirected to version 6";

    HWND button = CreateWindowExA(0, "Button", "编辑", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    SIZE ideal = {};
    const LRESULT known =
        SendMessageA(button, 0x1601 /* BCM_GETIDEALSIZE */, 0, reinterpret_cast<LPARAM>(&ideal));
    DestroyWindow(button);
    EXPECT_TRUE(known) << "the button is not the common controls' of version 6";
    EXPECT_GT(ideal.cx, 0);
}

// The process is aware of each monitor's density where the system has it (version 2 of that
// awareness where the system knows it, the first version elsewhere, as Wine does).
TEST(ManifestTest, AProcessWithTheManifestIsAwareOfEachMonitorsDensity) {
    using GetContextFn = HANDLE(WINAPI*)();
    using AwarenessFn = int(WINAPI*)(HANDLE);
    HMODULE user = GetModuleHandleA("user32.dll");
    auto getContext = reinterpret_cast<GetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetThreadDpiAwarenessContext")));
    auto awareness = reinterpret_cast<AwarenessFn>(
        reinterpret_cast<void*>(GetProcAddress(user, "GetAwarenessFromDpiAwarenessContext")));
    if (!getContext || !awareness)
        GTEST_SKIP() << "the system has no per-monitor density";
    EXPECT_EQ(awareness(getContext()), 2); // DPI_AWARENESS_PER_MONITOR_AWARE
}

} // namespace
