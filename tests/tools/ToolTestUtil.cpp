// Helpers of the tool tests.
#include "ToolTestUtil.h"

#include "common/OutputJob.h"
#include "common/PathName.h"

#include <cstring>

FakeChannels::FakeChannels() {
    for (int i = 0; i < 4; ++i)
        channels[i].key = i + 1;
}

OutputChannel* FakeChannels::AcquireOutputChannel(int key, OutputJob* job) {
    if (key < 1 || key > 4)
        return nullptr;
    OutputChannel* chosen = &channels[key - 1];
    if (chosen->inUse) {
        const int first = key <= 2 ? 1 : 3;
        chosen = nullptr;
        for (int k = first; k < first + 2 && !chosen; ++k)
            if (!channels[k - 1].inUse)
                chosen = &channels[k - 1];
        if (!chosen)
            return nullptr;
    }
    chosen->inUse = true;
    chosen->job = job;
    return chosen;
}

void FakeChannels::ReleaseOutputChannel(OutputChannel* channel) {
    channel->inUse = false;
    channel->job = nullptr;
}

bool FakeChannels::HasFreeOutputChannel(int key) const {
    const int first = key <= 2 ? 1 : 3;
    return !channels[first - 1].inUse || !channels[first].inUse;
}

bool FakeChannels::IsOutputChannelBusy(int key) const {
    return channels[key - 1].inUse;
}

void FakeChannels::AppendOutput(const OutputChannel* channel, const char* t, int length) {
    if (length < 0)
        length = static_cast<int>(std::strlen(t));
    text[channel->key].append(t, static_cast<size_t>(length));
    ++appends[channel->key];
    appendThread = GetCurrentThreadId();
}

void FakeChannels::ClearOutput(const OutputChannel* channel) {
    text[channel->key].clear();
}

void FakeChannels::StopOutputJob(int key) {
    if (channels[key - 1].inUse && channels[key - 1].job)
        channels[key - 1].job->Stop(false);
}

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return done();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

std::string BinPath(const char* name) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return FxPathWithSeparator(FxPathFolder(path)) + name;
}

std::string ProbePath() {
    return BinPath("qvprobe.exe");
}
