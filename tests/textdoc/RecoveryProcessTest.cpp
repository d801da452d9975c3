// Recovery copies across processes: a copy's write killed midway by TerminateProcess leaves a
// readable copy, and a live instance's copies are never orphans while its process runs, and are
// once it has been killed. The children are this test program run on a disabled test.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "textdoc/RecoveryCopy.h"
#include "textdoc/RecoveryStore.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kChildDir[] = "QV_RECOVERY_CHILD_DIR";

// A child process of this program running one disabled test; killed when the test ends.
class Child {
public:
    Child(const std::string& test, const std::string& dir) {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string cmd = std::string("\"") + exe +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=RecoveryChild." + test;
        SetEnvironmentVariableA(kChildDir, dir.c_str());
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &m_pi) != 0;
        SetEnvironmentVariableA(kChildDir, nullptr);
    }
    ~Child() {
        if (!ok)
            return;
        Kill();
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
    }
    // Ends the child as a crash would: no chance to clean up.
    void Kill() {
        TerminateProcess(m_pi.hProcess, 9);
        WaitForSingleObject(m_pi.hProcess, 10000);
    }
    bool Running() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }
    bool ok = false;

private:
    PROCESS_INFORMATION m_pi = {};
};

// Polls up to `seconds` for the condition.
template <class Cond> bool WaitFor(Cond cond, double seconds) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000;) {
        if (cond())
            return true;
        Sleep(10);
    }
    return cond();
}

// The size of the largest temporary file of a copy's write in the folder; 0 when there is none.
uint64_t LargestTemp(const std::string& dir) {
    uint64_t largest = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*.tmp").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        uint64_t size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        largest = size > largest ? size : largest;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return largest;
}

std::string ChildDir() {
    const char* dir = std::getenv(kChildDir);
    return dir ? dir : "";
}

// A document of about `lines` lines of 40 bytes whose first line names its version.
void MakeVersion(TestDoc& doc, int version, int lines) {
    std::string text = "version " + std::to_string(version);
    std::string line = "\r\n\xD6\xD0\xCE\xC4 0123456789 abcdefghij klmnopqrs";
    text.reserve(text.size() + line.size() * static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i)
        text += line;
    SetText(doc, text);
}

} // namespace

// Child: writes ever newer versions of a large copy into the folder until it is killed.
TEST(RecoveryChild, DISABLED_WriteCopiesForever) {
    const std::string dir = ChildDir();
    ASSERT_FALSE(dir.empty());
    TestDoc doc;
    FxRecoveryInfo info;
    for (int version = 1;; ++version) {
        MakeVersion(doc, version, 400000);
        WriteRecoveryCopy(*TakeRecoverySnapshot(doc, info), dir + "\\copy.qvr");
    }
}

// Child: an instance holding one copy in its place, running until it is killed.
TEST(RecoveryChild, DISABLED_HoldCopy) {
    const std::string dir = ChildDir();
    ASSERT_FALSE(dir.empty());
    FxRecoveryStore store(dir + "\\Recovery");
    ASSERT_TRUE(store.Open());
    TestDoc doc;
    SetText(doc, "held by the child");
    FxRecoveryInfo info;
    info.title = "child";
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, info), store.NewCopyPath()));
    WriteBytes(dir + "\\ready", "1");
    for (;;)
        Sleep(1000);
}

TEST(RecoveryProcess, WriteKilledMidwayLeavesAReadableCopy) {
    Scratch dir;
    TestDoc doc;
    MakeVersion(doc, 0, 10);
    const std::string copy = dir.Path("copy.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, FxRecoveryInfo()), copy));

    for (int round = 0; round < 2; ++round) {
        Child child("DISABLED_WriteCopiesForever", dir.Dir());
        ASSERT_TRUE(child.ok);
        // Killed while a temporary file is part written (more than 1 MB of some 17 MB).
        ASSERT_TRUE(WaitFor([&] { return LargestTemp(dir.Dir()) > (1u << 20); }, 60))
            << "the child never started a write";
        child.Kill();
        EXPECT_GT(LargestTemp(dir.Dir()), 0u); // the write was cut off

        TestDoc back;
        ASSERT_TRUE(LoadRecoveryText(back, copy)) << "round " << round;
        const std::string first = LogicalText(back).substr(0, 10);
        EXPECT_EQ(first.substr(0, 8), "version ");
        FxRecoveryInfo info;
        EXPECT_TRUE(ReadRecoveryInfo(copy, info));
    }
}

TEST(RecoveryProcess, LiveInstanceCopiesAreOrphansOnlyOnceItIsKilled) {
    Scratch dir;
    Child child("DISABLED_HoldCopy", dir.Dir());
    ASSERT_TRUE(child.ok);
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(dir.Path("ready")) == "1"; }, 60));

    {
        FxRecoveryStore store(dir.Path("Recovery"));
        ASSERT_TRUE(store.Open());
        EXPECT_TRUE(store.FindOrphanCopies().empty());
        EXPECT_TRUE(child.Running());
    }
    child.Kill();
    FxRecoveryStore store(dir.Path("Recovery"));
    ASSERT_TRUE(store.Open());
    std::vector<std::string> orphans = store.FindOrphanCopies();
    ASSERT_EQ(orphans.size(), 1u);
    FxRecoveryInfo info;
    ASSERT_TRUE(ReadRecoveryInfo(orphans[0], info));
    EXPECT_EQ(info.title, "child");
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, orphans[0]));
    EXPECT_EQ(LogicalText(back), "held by the child");
    EXPECT_TRUE(store.DiscardOrphan(orphans[0]));
    store.RemoveAll();
    EXPECT_EQ(dir.FileCount(), 1u); // the child's "ready" mark alone
}
