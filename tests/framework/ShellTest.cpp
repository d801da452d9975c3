// The shell's DDE conversation between two windows: find the running instance, hand it an
// open command and wait for its acknowledgement; the command parser of the first instance.
#include "tests/framework/TestApp.h"

#include "framework/DdeShellClient.h"
#include "tests/framework/FrameworkTestIds.h"

#include <dde.h>

namespace {

// Plays the second instance's main window: its acknowledgements go to the client.
class SecondInstanceWnd : public CWnd {
public:
    LRESULT OnAck(WPARAM wParam, LPARAM lParam) {
        if (m_client)
            m_client->OnAck(reinterpret_cast<HWND>(wParam), lParam);
        return 0;
    }
    CDdeShellClient* m_client = nullptr;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SecondInstanceWnd, CWnd)
ON_MESSAGE(WM_DDE_ACK, OnAck)
END_MESSAGE_MAP()

std::string ExeName() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name = path;
    name = name.substr(name.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
}

} // namespace

TEST_F(FrameworkTest, SecondInstanceHandsOverAnOpenCommand) {
    App().EnableShellOpen();
    std::string path = TempPath("dde.tst");
    WriteWholeFile(path, "via dde");

    SecondInstanceWnd second;
    ASSERT_TRUE(second.CreateEx(0, nullptr, "second", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CDdeShellClient client;
    second.m_client = &client;
    HWND server = client.FindServer(second.m_hWnd, ExeName().c_str(), "system", 1000);
    EXPECT_EQ(server, m_main->m_hWnd);
    EXPECT_EQ(client.GetState(), CDdeShellClient::Idle);

    std::string command = "[open(\"" + path + "\")]";
    EXPECT_TRUE(client.Execute(command.c_str(), 3000));
    EXPECT_EQ(client.GetState(), CDdeShellClient::Idle);
    client.Terminate();
    Pump();
    CDocument* doc = m_main->GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(static_cast<TestDoc*>(doc)->m_text, "via dde");
    second.DestroyWindow();
}

TEST_F(FrameworkTest, NoServerForAnotherApplicationName) {
    App().EnableShellOpen();
    SecondInstanceWnd second;
    ASSERT_TRUE(second.CreateEx(0, nullptr, "second", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CDdeShellClient client;
    second.m_client = &client;
    EXPECT_EQ(client.FindServer(second.m_hWnd, "NoSuchProgram", "system", 500), nullptr);
    EXPECT_FALSE(client.Execute("[open(\"x\")]", 100));
    second.DestroyWindow();
}

TEST_F(FrameworkTest, ShellCommandsAreParsed) {
    std::string path = TempPath("cmd.tst");
    WriteWholeFile(path, "x");
    std::string open = "[open(\"" + path + "\")]";
    EXPECT_TRUE(App().OnDDECommand(open.c_str()));
    EXPECT_EQ(App().GetOpenDocumentCount(), 1);
    EXPECT_FALSE(App().OnDDECommand("[open(unquoted)]"));
    EXPECT_FALSE(App().OnDDECommand("[frobnicate(\"a\")]"));
    EXPECT_EQ(App().GetOpenDocumentCount(), 1);
}
