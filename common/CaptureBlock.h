// The shared block of the capture protocol between the editor and its capture runner: a
// page-file-backed mapping whose header both programs read at fixed offsets. Both programs
// include this header; it needs nothing but the Windows types. Layer: common/.
#pragma once

#include <windows.h>

#include <cstddef>

// All integers are little-endian, 32-bit but for hostProcess. The editor sets every header field
// before the runner runs; afterwards only the two flags change.
struct CaptureBlock {
    static const int kNameSize = 260;
    // The header is zeroed up to here before the fields are set.
    static const DWORD kHeaderSize = 1064;

    DWORD totalSize;    // the mapping's size in bytes, whole pages
    DWORD textOffset;   // where output text is placed: a page boundary after the arguments
    DWORD textCapacity; // room for one piece of output including its terminating zero
    // 1: the editor can take the next piece; 0: a piece is waiting or being taken. The runner
    // writes a piece only while it is 1, so at most one piece is ever in flight.
    volatile LONG ready;
    // 1: the editor no longer listens; the runner keeps draining the pipe and discards.
    volatile LONG detached;
    char readEventName[kNameSize];
    // The editor's process as a handle in the runner's own process, put there by the editor
    // before the runner runs: the runner ends with its tool when the editor is gone. 0: none.
    // 64 bits whichever build writes or reads it.
    ULONGLONG hostProcess;
    // How long (ms) the editor may keep a piece while more output waits before the runner takes
    // it as hung and ends with its tool; 0: kCaptureHoldLimit.
    DWORD holdLimit;
    char reserved[kNameSize - 12];
    char command[kNameSize]; // the program to run; also the console title
    char folder[kNameSize];  // the tool's current directory
    char arguments[4];       // the argument string, zero-terminated, running on past the header

    char* Text() { return reinterpret_cast<char*>(this) + textOffset; }
};

// The editor and the runner may be built for different processors (a 64-bit editor drives a
// 32-bit runner and the reverse): the header holds fixed-width fields and bytes only, the one
// 64-bit field on an 8-byte boundary, so that it has one layout in both.
static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4, "capture block fields are 32-bit");
static_assert(offsetof(CaptureBlock, totalSize) == 0, "capture block layout");
static_assert(offsetof(CaptureBlock, textOffset) == 4, "capture block layout");
static_assert(offsetof(CaptureBlock, textCapacity) == 8, "capture block layout");
static_assert(offsetof(CaptureBlock, ready) == 12, "capture block layout");
static_assert(offsetof(CaptureBlock, detached) == 16, "capture block layout");
static_assert(offsetof(CaptureBlock, readEventName) == 20, "capture block layout");
static_assert(offsetof(CaptureBlock, hostProcess) == 280, "capture block layout");
static_assert(offsetof(CaptureBlock, holdLimit) == 288, "capture block layout");
static_assert(offsetof(CaptureBlock, reserved) == 292, "capture block layout");
static_assert(offsetof(CaptureBlock, command) == 540, "capture block layout");
static_assert(offsetof(CaptureBlock, folder) == 800, "capture block layout");
static_assert(offsetof(CaptureBlock, arguments) == 1060, "capture block layout");
static_assert(sizeof(CaptureBlock) == CaptureBlock::kHeaderSize, "capture block header size");

// The editor's bound on keeping one piece: ten minutes. A busy editor takes a piece within
// seconds (the reader's send is served whenever the window thread looks at its messages, modal
// loops included); only a hung one keeps it this long.
const DWORD kCaptureHoldLimit = 10 * 60 * 1000;

// The runner's command line prefix; the object base name follows it.
#define QV_CAPTURE_ARG_PREFIX "/OBJNAME:"
