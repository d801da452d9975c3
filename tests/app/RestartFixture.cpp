// The program started and closed more than once in the tests' process.
#include "tests/app/RestartFixture.h"

#include "common/PathName.h"

#include "tests/app/AppTestUtil.h"

#include <windows.h>

std::string TestSettingsPath() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    return FxPathWithSeparator(FxPathFolder(exe)) + "SETTINGS.INI";
}

void ForgetBarLayout() {
    WritePrivateProfileStringA("ControlBars", nullptr, nullptr, TestSettingsPath().c_str());
}

void ProgramRestartTest::TearDown() {
    if (m_app)
        Close();
}

CAppMainFrame* ProgramRestartTest::Start() {
    m_app = new CApp;
    if (!StartInProcessApp(*m_app))
        return nullptr;
    Settle();
    return AppMainFrame();
}

void ProgramRestartTest::Close() {
    m_app->m_bPostQuitOnMainWndDestroy = false;
    if (CAppMainFrame* frame = AppMainFrame())
        frame->SendMessage(WM_CLOSE);
    StopInProcessApp(*m_app);
    m_app = nullptr;
}

void ProgramRestartTest::Settle() {
    for (int i = 0; i < 6; ++i) {
        m_app->PumpPendingMessages();
        Sleep(15);
    }
}
