// Captured tool runs end to end: the tool runner starts the real capture runner, which starts the
// probe tool; the text arrives through channels that collect it.
#include "ToolTestUtil.h"
#include "../WinTestSupport.h"

#include "framework/MessageBox.h"
#include "tools/CaptureObjects.h"
#include "tools/ToolRunner.h"

#include <aclapi.h>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string Lines(int n) {
    std::string all;
    char buf[16];
    for (int k = 0; k < n; ++k) {
        std::snprintf(buf, sizeof buf, "L%07d\r\n", k);
        all += buf;
    }
    return all;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        m_runner.reset(new ToolRunner(&m_channels));
        AfxSetMessageBoxHook(BoxLog::Hook);
        BoxLog::Clear();
    }
    void TearDown() override {
        // Tools that never end are told to by their stop file.
        WriteWholeFile(StopFile(), "");
        m_runner.reset();
        AfxSetMessageBoxHook(nullptr);
        m_temp.Remove();
    }
    bool Start(const std::string& args, DWORD* error = nullptr,
               const std::string& folder = std::string()) {
        DWORD e = 0;
        return m_runner->StartCapture(ProbePath(), args, folder, false, error ? error : &e);
    }
    bool WaitAllFree(DWORD ms = 15000) {
        return PumpUntil([&] { return m_runner->Job(0).IsFree() && m_runner->Job(1).IsFree(); },
                         ms);
    }
    std::string StopFile() { return m_temp.Path("stop.flag"); }
    // A copy of the runner's process handle that outlives the job.
    HANDLE KeepRunner(int job) {
        HANDLE h = nullptr;
        DuplicateHandle(GetCurrentProcess(), m_runner->Job(job).RunnerProcess(),
                        GetCurrentProcess(), &h, SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, 0);
        return h;
    }

    FakeChannels m_channels;
    std::unique_ptr<ToolRunner> m_runner;
    TempFolder m_temp{"qvcap"};
};

TEST_F(Capture, OutputLargerThanOnePieceArrivesWholeAndInOrder) {
    m_runner->SetTextCapacity(4 * 4096);
    ASSERT_TRUE(Start("block:20000 lines:3000"));
    ASSERT_TRUE(WaitAllFree());
    const std::string expected = Lines(20000) + Lines(3000);
    ASSERT_EQ(m_channels.text[1].size(), expected.size());
    EXPECT_TRUE(m_channels.text[1] == expected);
    // 233 000 bytes through a piece of at most 16 383.
    EXPECT_GE(m_channels.appends[1], 15);
    // The pieces are appended on this (the user-interface) thread.
    EXPECT_EQ(m_channels.appendThread, GetCurrentThreadId());
    EXPECT_FALSE(m_channels.IsOutputChannelBusy(1));
}

TEST_F(Capture, StandardErrorGoesIntoTheSamePane) {
    ASSERT_TRUE(Start("out:one sleep:50 err:two sleep:50 out:three"));
    ASSERT_TRUE(WaitAllFree());
    EXPECT_EQ(m_channels.text[1], "onetwothree");
}

TEST_F(Capture, AZeroByteCutsThePieceThere) {
    ASSERT_TRUE(Start("zero:abc:def sleep:300 out:ghi"));
    ASSERT_TRUE(WaitAllFree());
    EXPECT_EQ(m_channels.text[1], "abcghi");
}

TEST_F(Capture, AToolThatPrintsNothingEndsWithoutText) {
    ASSERT_TRUE(Start("sleep:100 exit:3"));
    ASSERT_TRUE(WaitAllFree());
    EXPECT_EQ(m_channels.appends[1], 0);
    EXPECT_FALSE(m_channels.IsOutputChannelBusy(1));
}

TEST_F(Capture, TheToolRunsInTheGivenFolder) {
    const std::string folder = m_temp.Path("");
    const std::string bare = folder.substr(0, folder.size() - 1);
    ASSERT_TRUE(Start("cwd", nullptr, bare));
    ASSERT_TRUE(WaitAllFree());
    EXPECT_EQ(m_channels.text[1].size(), bare.size());
    EXPECT_EQ(lstrcmpiA(m_channels.text[1].c_str(), bare.c_str()), 0) << m_channels.text[1];
}

TEST_F(Capture, StopLeavesTheToolRunningFreesTheChannelAndNothingMoreArrives) {
    ASSERT_TRUE(Start("forever:" + StopFile()));
    ASSERT_TRUE(PumpUntil([&] { return m_channels.text[1].size() >= 30; }));
    HANDLE runner = KeepRunner(0);
    ASSERT_TRUE(runner);
    m_channels.StopOutputJob(1);
    EXPECT_FALSE(m_channels.IsOutputChannelBusy(1));
    const std::string seen = m_channels.text[1];
    PumpFor(300);
    EXPECT_EQ(m_channels.text[1], seen);
    EXPECT_TRUE(m_runner->Job(0).IsFree());
    // The runner (and with it the tool) still runs, discarding.
    EXPECT_EQ(WaitForSingleObject(runner, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    WriteWholeFile(StopFile(), "");
    EXPECT_EQ(WaitForSingleObject(runner, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(runner, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(runner);
    EXPECT_EQ(m_channels.text[1], seen);
}

TEST_F(Capture, AfterDetachingThePipeIsStillDrained) {
    // The tool writes 3 MB after the editor stopped listening: it ends only if the runner keeps
    // reading.
    const std::string go = m_temp.Path("go.flag");
    ASSERT_TRUE(Start("wait:" + go + " flood:3000000 exit:0"));
    HANDLE runner = KeepRunner(0);
    m_runner->Job(0).Stop(true);
    EXPECT_TRUE(m_runner->Job(0).IsFree());
    WriteWholeFile(go, "");
    EXPECT_EQ(WaitForSingleObject(runner, 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(runner);
    EXPECT_EQ(m_channels.appends[1], 0);
}

// How long a capture runner may take to notice that its editor has gone. It looks every 10 ms;
// the rest is room for a slow machine.
const DWORD kEditorGoneBound = 5000;

// A process opened by the id a program wrote into a file (null when it did not in time).
HANDLE OpenByIdFile(const std::string& path) {
    std::string id;
    if (!PumpUntil([&] { return !(id = ReadWholeFile(path)).empty(); }, 15000))
        return nullptr;
    return OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                       static_cast<DWORD>(std::strtoul(id.c_str(), nullptr, 10)));
}

// Starts the stand-in editor with a capture of the probe tool, kills it once the tool runs,
// and answers whether the runner and the tool then end within the bound.
void KillTheEditorDuringACapture(TempFolder& temp, const char* mode, const std::string& tool) {
    const std::string runnerId = temp.Path("runner.id");
    const std::string toolId = temp.Path("tool.id");
    std::string line = "\"" + BinPath("qvcapturehost.exe") + "\" " + runnerId + " " + mode +
                       " pid:" + toolId + " " + tool;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    HANDLE runner = OpenByIdFile(runnerId);
    HANDLE probe = OpenByIdFile(toolId);
    EXPECT_TRUE(runner);
    EXPECT_TRUE(probe);
    // Let output flow (and, holding, fill the pipe) before the editor goes.
    PumpFor(500);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    for (HANDLE process : {runner, probe}) {
        if (!process)
            continue;
        EXPECT_EQ(WaitForSingleObject(process, kEditorGoneBound), static_cast<DWORD>(WAIT_OBJECT_0))
            << (process == runner ? "the capture runner" : "the tool") << " runs on";
        TerminateProcess(process, 9); // whatever outlived the bound
        CloseHandle(process);
    }
}

TEST_F(Capture, TheRunnerAndItsToolEndWhenTheEditorDiesTakingPieces) {
    KillTheEditorDuringACapture(m_temp, "take", "forever:" + StopFile());
}

TEST_F(Capture, TheRunnerAndItsToolEndWhenTheEditorDiesHoldingAPiece) {
    // The tool floods: with nobody reading the pipe it blocks on it.
    KillTheEditorDuringACapture(m_temp, "hold", "flood:2000000000");
}

TEST_F(Capture, TwoCapturesRunAtOnceAndAThirdFindsNoJob) {
    ASSERT_TRUE(Start("forever:" + StopFile()));
    ASSERT_TRUE(Start("forever:" + StopFile()));
    EXPECT_TRUE(m_channels.IsOutputChannelBusy(1));
    EXPECT_TRUE(m_channels.IsOutputChannelBusy(2));
    EXPECT_FALSE(m_runner->HasFreeCaptureJob());
    DWORD error = 0;
    EXPECT_FALSE(Start("out:x", &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BUSY));
    ASSERT_TRUE(PumpUntil(
        [&] { return m_channels.text[1].size() >= 20 && m_channels.text[2].size() >= 20; }));
    WriteWholeFile(StopFile(), "");
    ASSERT_TRUE(WaitAllFree());
    EXPECT_EQ(m_channels.text[1].compare(0, 20, Lines(2)), 0);
    EXPECT_EQ(m_channels.text[2].compare(0, 20, Lines(2)), 0);
}

TEST_F(Capture, ARunnerThatCannotStartTheToolWritesTheSystemsReason) {
    DWORD error = 0;
    ASSERT_TRUE(m_runner->StartCapture("C:\\no\\such\\folder\\nope.exe", "", "", false, &error));
    ASSERT_TRUE(WaitAllFree());
    const std::string& text = m_channels.text[1];
    const std::string head = "\"C:\\no\\such\\folder\\nope.exe\": ";
    EXPECT_EQ(text.compare(0, head.size(), head), 0) << text;
    EXPECT_GT(text.size(), head.size() + 2);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(Capture, TheSharedObjectsAdmitOnlyTheCurrentUser) {
    ASSERT_TRUE(Start("forever:" + StopFile()));
    CaptureJob& job = m_runner->Job(0);
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_EQ(GetSecurityInfo(job.Mapping(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, &owner,
                              nullptr, &dacl, nullptr, &sd),
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(dacl);
    EXPECT_EQ(dacl->AceCount, 1);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, &ace));
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    BYTE buf[256];
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, buf, sizeof buf, &size));
    CloseHandle(token);
    EXPECT_TRUE(EqualSid(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &allowed->SidStart));
    LocalFree(sd);
    // The names carry the process id, and the events are there under them.
    char pid[16];
    std::snprintf(pid, sizeof pid, "_%08lX_", GetCurrentProcessId());
    EXPECT_NE(job.BaseName().find(pid), std::string::npos);
    EXPECT_EQ(job.BaseName().compare(0, 12, "qvprobe.exe_"), 0) << job.BaseName();
    HANDLE read = OpenEventA(SYNCHRONIZE, FALSE, (job.BaseName() + "_event_read").c_str());
    EXPECT_TRUE(read);
    if (read)
        CloseHandle(read);
}

TEST_F(Capture, AMissingRunnerShowsItsMessageAndStartsNothing) {
    m_runner->SetRunnerPath(m_temp.Path("QVLOADER.EXE"));
    ToolRequest request;
    request.name = "编译";
    request.command = ProbePath();
    request.argument = "out:x";
    request.captureOutput = true;
    EXPECT_FALSE(m_runner->Run(request, nullptr));
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0].find("无法找到“QVLOADER.EXE”，Quorvane需要该程序来运行“编译”"), 0u)
        << BoxLog::texts[0];
    EXPECT_TRUE(BoxLog::types[0] & MB_ICONSTOP);
    EXPECT_TRUE(m_runner->Job(0).IsFree());
    EXPECT_FALSE(m_channels.IsOutputChannelBusy(1));
}

TEST_F(Capture, AProgramThatCannotBeStartedShowsTheSystemsText) {
    ToolRequest request;
    request.name = "坏工具";
    request.command = m_temp.Path("missing.exe");
    EXPECT_FALSE(m_runner->Run(request, nullptr));
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0].find("坏工具运行失败，系统回应说："), 0u) << BoxLog::texts[0];
    EXPECT_GT(BoxLog::texts[0].size(), std::string("坏工具运行失败，系统回应说：").size());
    EXPECT_TRUE(BoxLog::types[0] & MB_ICONWARNING);
}

TEST_F(Capture, AConsoleToolWithoutCaptureRunsWithHiddenConsole) {
    const std::string out = m_temp.Path("touched.txt");
    ToolRequest request;
    request.name = "probe";
    request.command = ProbePath();
    request.argument = "  touch:" + out + " a b  ";
    EXPECT_TRUE(m_runner->Run(request, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(out) == "a\r\nb\r\n"; }));
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_FALSE(m_channels.IsOutputChannelBusy(1));
}

TEST_F(Capture, ADocumentOpensThroughTheShellWithTheArgumentAsParameters) {
    // A file type of this test's own whose open command is the probe tool.
    const std::string out = m_temp.Path("opened.txt");
    const std::string command = "\"" + ProbePath() + "\" touch:" + out + " \"%1\" %*";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, ".qvprobedoc", &key), 0);
    RegSetValueA(key, nullptr, REG_SZ, "QvProbeDoc", 10);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "QvProbeDoc\\shell\\open\\command", &key), 0);
    RegSetValueA(key, nullptr, REG_SZ, command.c_str(), static_cast<DWORD>(command.size()));
    RegCloseKey(key);
    const std::string doc = m_temp.Path("note.qvprobedoc");
    WriteWholeFile(doc, "x");
    EXPECT_EQ(ToolRunner::ExecutableKind(doc.c_str()), ToolRunner::kNotProgram);
    ToolRequest request;
    request.name = "doc";
    request.command = doc;
    request.argument = "extra";
    EXPECT_TRUE(m_runner->Run(request, nullptr)) << (BoxLog::texts.empty() ? "" : BoxLog::texts[0]);
    ASSERT_TRUE(PumpUntil([&] { return !ReadWholeFile(out).empty(); }));
    const std::string got = ReadWholeFile(out);
    EXPECT_NE(got.find("note.qvprobedoc"), std::string::npos) << got;
    EXPECT_NE(got.find("extra"), std::string::npos) << got;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "QvProbeDoc\\shell\\open\\command");
}

TEST_F(Capture, TheShellTellsConsoleProgramsFromDocuments) {
    EXPECT_EQ(ToolRunner::ExecutableKind(ProbePath().c_str()), ToolRunner::kConsole);
    const std::string txt = m_temp.Path("a.txt");
    WriteWholeFile(txt, "text");
    EXPECT_EQ(ToolRunner::ExecutableKind(txt.c_str()), ToolRunner::kNotProgram);
    EXPECT_EQ(ToolRunner::ExecutableKind(m_temp.Path("none.exe").c_str()), ToolRunner::kNotProgram);
}

TEST(ExecutableKinds, WindowedProgramsOfEveryWindowsVersionAreWindowed) {
    // Built for the tool chain's own version (4.0 for x86, 5.2 for x64, the lowest an x64
    // program can have) and for 6.0.
    for (const char* name : {"qvwindowed.exe", "qvwindowed6.exe"})
        EXPECT_EQ(ToolRunner::ExecutableKind(BinPath(name).c_str()), ToolRunner::kWindowed) << name;
    EXPECT_EQ(ToolRunner::ExecutableKind(ProbePath().c_str()), ToolRunner::kConsole);
}

} // namespace
