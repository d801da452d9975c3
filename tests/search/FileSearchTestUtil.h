// Helpers of the find-in-files tests: output channels that collect the text a worker writes,
// a scratch folder tree, and files in the four encodings.
#pragma once

#include "common/OutputChannels.h"
#include "search/FileSearch.h"

#include <mutex>
#include <string>
#include <functional>
#include <vector>

// Four channels whose "panes" are strings; the append hook runs on the worker's thread.
class CollectingChannels : public IOutputChannels {
public:
    CollectingChannels();
    OutputChannel* AcquireOutputChannel(int key, OutputJob* job = nullptr) override;
    void ReleaseOutputChannel(OutputChannel* channel) override;
    bool HasFreeOutputChannel(int key) const override;
    bool IsOutputChannelBusy(int key) const override;
    void AppendOutput(const OutputChannel* channel, const char* text, int length = -1) override;
    void ClearOutput(const OutputChannel* channel) override;
    void StopOutputJob(int key) override;

    std::string Text(int key);
    // Called after each append with the key and the text appended.
    std::function<void(int, const std::string&)> onAppend;

private:
    OutputChannel m_slots[4];
    std::string m_text[4];
    std::mutex m_lock;
};

// Waits until both slots are free (at most 20 s); false on timeout.
bool WaitForFileSearch();

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return m_path; } // ends without "\"
    std::string File(const std::string& rel) const { return m_path + "\\" + rel; }
    void Write(const std::string& rel, const std::string& bytes) const;
    std::string Read(const std::string& rel) const;
    void MakeDir(const std::string& rel) const;
    // Names of the entries of a sub-folder ("" for the root), sorted.
    std::vector<std::string> List(const std::string& rel = "") const;

private:
    std::string m_path;
};

// A link to a folder made for a test and removed at the end: a symbolic link, else a junction,
// else (under Wine, whose system makes neither) a symbolic link of the host. Made() is false
// when none could be made.
class FolderLink {
public:
    FolderLink(const std::string& link, const std::string& target);
    ~FolderLink();
    bool Made() const { return m_made; }

private:
    std::string m_link;
    bool m_made = false;
    bool m_host = false;
};

// Text in the four encodings, from ANSI bytes: UTF-8 with its mark, UTF-16 with their marks.
std::string AsUtf8(const std::string& ansi, bool mark = true);
std::string AsUtf16(const std::string& ansi, bool bigEndian);

// A request over the folder with every encoding.
FxFileSearch Request(const std::string& find, const std::string& folder,
                     const std::string& filters = "*.*");
// The lines of a text split at "\n".
std::vector<std::string> Lines(const std::string& text);
