// Helpers of the tool tests: output channels that collect the text a job appends, waiting
// while the thread's messages flow, and the paths of the programs beside the tests.
#pragma once

#include "common/OutputChannels.h"

#include <windows.h>

#include <functional>
#include <string>

// Four channels like the main frame's, but the text of each goes into a string.
class FakeChannels : public IOutputChannels {
public:
    FakeChannels();
    OutputChannel* AcquireOutputChannel(int key, OutputJob* job = nullptr) override;
    void ReleaseOutputChannel(OutputChannel* channel) override;
    bool HasFreeOutputChannel(int key) const override;
    bool IsOutputChannelBusy(int key) const override;
    void AppendOutput(const OutputChannel* channel, const char* text, int length = -1) override;
    void ClearOutput(const OutputChannel* channel) override;
    void StopOutputJob(int key) override;

    std::string text[5]; // by key
    int appends[5] = {0, 0, 0, 0, 0};
    DWORD appendThread = 0; // the thread of the last append
    OutputChannel channels[4];
};

// Lets the thread's messages run until `done` holds or `ms` have passed; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000);
// Lets the thread's messages run for `ms`.
void PumpFor(DWORD ms);

// A program in the tests' own folder (the build's bin folder).
std::string BinPath(const char* name);
std::string ProbePath();
