// CDdeShellClient: the side of the shell's DDE conversation that a second instance plays: find
// a running instance by (application, "system"), hand it a command such as "[open(\"...\")]",
// wait for its acknowledgement, and end the conversation. Layer: framework/.
#pragma once

#include <windows.h>

#include <string>

class CDdeShellClient {
public:
    enum State { Idle = 0, WaitInitiate = WM_DDE_INITIATE, WaitExecute = WM_DDE_EXECUTE };

    CDdeShellClient() = default;
    ~CDdeShellClient();
    CDdeShellClient(const CDdeShellClient&) = delete;
    CDdeShellClient& operator=(const CDdeShellClient&) = delete;

    // Asks every top-level window (but `client`) whether it serves (application, topic). Each
    // window is asked separately with a time-out, so one hung window cannot block the search.
    // Returns the first server that answered, or null.
    HWND FindServer(HWND client, const char* application, const char* topic, UINT timeoutMs);
    // Posts the command to the server and waits, processing messages, until the server has
    // acknowledged it or the time-out has passed. The command memory is freed only after the
    // acknowledgement (or when the server has gone), never while the server may still read it.
    // True when the server acknowledged positively.
    bool Execute(const char* command, UINT timeoutMs);
    // Ends the conversation.
    void Terminate();

    // The client window's WM_DDE_ACK goes here; true when it belonged to this conversation.
    bool OnAck(HWND from, LPARAM lParam);

    int GetState() const { return m_state; }
    HWND GetServer() const { return m_server; }

private:
    void FreePending();

    HWND m_client = nullptr;
    HWND m_server = nullptr;
    HGLOBAL m_pending = nullptr; // command memory the server has not acknowledged yet
    int m_state = Idle;
    bool m_acked = false;
    bool m_positive = false;
};
