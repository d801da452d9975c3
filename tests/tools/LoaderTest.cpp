// The capture runner alone: this test plays the editor's side of the protocol by hand.
#include "ToolTestUtil.h"

#include "common/CaptureBlock.h"
#include "tools/CaptureObjects.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// Runs the capture runner with a command line; returns its process (null when not started).
HANDLE StartLoader(const std::string& args) {
    std::string line = "\"" + BinPath("QVLOADER.EXE") + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

DWORD ExitCodeOf(HANDLE process, DWORD ms = 10000) {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0)
        return 0x7777;
    DWORD code = 0x7777;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

TEST(Loader, WrongArgumentsEndWithMinusOne) {
    const char* cases[] = {
        "", "/OBJNAME:a /OBJNAME:b", "/objname:a", "/OBJNAM:a", "-OBJNAME:a", "/OBJNAME:"};
    for (const char* args : cases) {
        HANDLE p = StartLoader(args);
        ASSERT_TRUE(p) << args;
        EXPECT_EQ(ExitCodeOf(p), 0xFFFFFFFFu) << args;
    }
}

TEST(Loader, ABlockThatDoesNotExistEndsWithMinusOne) {
    HANDLE p = StartLoader("/OBJNAME:qv_no_such_block_" + std::to_string(GetTickCount()));
    ASSERT_TRUE(p);
    EXPECT_EQ(ExitCodeOf(p), 0xFFFFFFFFu);
}

// The editor's side made by hand: a block for the probe tool with its arguments.
class HandBlock {
public:
    HandBlock(const std::string& args, DWORD capacity = 4 * 4096) {
        name = NextCaptureBaseName("hand");
        const CaptureLayout layout =
            CaptureBlockLayout(static_cast<DWORD>(args.size()), 4096, capacity);
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     layout.totalSize, name.c_str());
        block = static_cast<CaptureBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        read = CreateEventA(nullptr, TRUE, FALSE, (name + "_event_read").c_str());
        std::memset(block, 0, CaptureBlock::kHeaderSize);
        block->totalSize = layout.totalSize;
        block->textOffset = layout.textOffset;
        block->textCapacity = layout.textCapacity;
        block->ready = 1;
        std::strcpy(block->readEventName, (name + "_event_read").c_str());
        std::strcpy(block->command, ProbePath().c_str());
        std::strcpy(block->arguments, args.c_str());
    }
    ~HandBlock() {
        UnmapViewOfFile(block);
        CloseHandle(mapping);
        CloseHandle(read);
    }
    // Takes the next piece: waits for the read event, copies the text, re-arms.
    bool Take(std::string* text, DWORD ms = 10000) {
        if (WaitForSingleObject(read, ms) != WAIT_OBJECT_0)
            return false;
        *text += block->Text();
        ResetEvent(read);
        InterlockedExchange(&block->ready, 1);
        return true;
    }
    std::string name;
    HANDLE mapping;
    HANDLE read;
    CaptureBlock* block;
};

TEST(Loader, AToolThatPrintsNothingEndsTheRunnerWithoutASignal) {
    HandBlock hand("sleep:50");
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    EXPECT_EQ(ExitCodeOf(p), 0u);
    EXPECT_EQ(WaitForSingleObject(hand.read, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(hand.block->ready, 1);
}

TEST(Loader, AToolThatEndsWhileAPieceIsBeingTakenStillPassesTheRest) {
    HandBlock hand("out:first sleep:100 out:second");
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    ASSERT_EQ(WaitForSingleObject(hand.read, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(hand.block->ready, 0);
    // Hold the piece until the tool has surely ended.
    Sleep(600);
    EXPECT_STREQ(hand.block->Text(), "first");
    EXPECT_EQ(WaitForSingleObject(p, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    std::string rest;
    ResetEvent(hand.read);
    InterlockedExchange(&hand.block->ready, 1);
    ASSERT_TRUE(hand.Take(&rest));
    EXPECT_EQ(rest, "second");
    EXPECT_EQ(ExitCodeOf(p), 0u);
}

TEST(Loader, PiecesNeverExceedTheCapacityTheHeaderGives) {
    HandBlock hand("block:5000", 4 * 4096);
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    std::string all;
    size_t biggest = 0;
    while (all.size() < 50000) {
        const size_t before = all.size();
        ASSERT_TRUE(hand.Take(&all));
        biggest = std::max(biggest, all.size() - before);
    }
    EXPECT_EQ(all.size(), 50000u);
    EXPECT_LE(biggest, 4u * 4096 - 1);
    EXPECT_EQ(ExitCodeOf(p), 0u);
}

TEST(Loader, ADetachedRunnerDrainsThePipeAndEnds) {
    HandBlock hand("flood:2000000");
    hand.block->detached = 1;
    hand.block->ready = 0;
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    EXPECT_EQ(ExitCodeOf(p, 15000), 0u);
    EXPECT_EQ(WaitForSingleObject(hand.read, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Loader, AToolThatCannotStartLeavesOneLineAndMinusOne) {
    HandBlock hand("");
    std::strcpy(hand.block->command, "C:\\missing\\tool.exe");
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    std::string text;
    ASSERT_TRUE(hand.Take(&text));
    EXPECT_EQ(text.compare(0, 23, "\"C:\\missing\\tool.exe\": "), 0) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(ExitCodeOf(p), 0xFFFFFFFFu);
}

// The process whose id a program wrote into a file, opened to wait for and end it.
HANDLE OpenByIdFile(const std::string& path) {
    std::string id;
    for (int i = 0; i < 1000 && id.empty(); ++i) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            char buf[32] = "";
            DWORD got = 0;
            ReadFile(f, buf, sizeof buf - 1, &got, nullptr);
            CloseHandle(f);
            id.assign(buf, got);
        }
        if (id.empty())
            Sleep(10);
    }
    return id.empty() ? nullptr
                      : OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE,
                                    static_cast<DWORD>(std::strtoul(id.c_str(), nullptr, 10)));
}

std::string TempFile(const char* name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name + "_" + std::to_string(GetCurrentProcessId());
}

TEST(Loader, AnEditorThatKeepsAPiecePastTheHoldLimitIsLeftAndTheToolEnded) {
    const std::string toolId = TempFile("qvloader_tool.id");
    DeleteFileA(toolId.c_str());
    // The tool floods; the editor takes nothing, so the tool soon blocks on the full pipe.
    HandBlock hand("pid:" + toolId + " flood:2000000000");
    hand.block->holdLimit = 1500;
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    HANDLE tool = OpenByIdFile(toolId);
    EXPECT_TRUE(tool);
    ASSERT_EQ(WaitForSingleObject(hand.read, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    const DWORD signalled = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(p, 1500 + 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    // Not before the limit.
    EXPECT_GE(GetTickCount() - signalled, 1400u);
    DWORD code = 0;
    GetExitCodeProcess(p, &code);
    EXPECT_EQ(code, 1u);
    if (tool) {
        EXPECT_EQ(WaitForSingleObject(tool, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
        TerminateProcess(tool, 9);
        CloseHandle(tool);
    }
    TerminateProcess(p, 9);
    CloseHandle(p);
    DeleteFileA(toolId.c_str());
}

TEST(Loader, AHeaderWhoseTextAreaLiesOutsideTheBlockIsRefused) {
    HandBlock hand("out:x");
    hand.block->textCapacity = hand.block->totalSize; // past the end
    HANDLE p = StartLoader("/OBJNAME:" + hand.name);
    ASSERT_TRUE(p);
    EXPECT_EQ(ExitCodeOf(p), 0xFFFFFFFFu);
}

} // namespace
