// Find and replace in files: the request, the two job slots and their worker threads, which walk
// a folder tree, search every file whose name matches the filters in the four encodings, write
// each hit into an output pane and, for a replacement, rewrite the changed files through a
// temporary file. Layer: search/ (Win32 files and threads; no windows of its own).
#pragma once

#include "common/OutputJob.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// One filter pattern of a request with the word delimiters of the file type it selects (ANSI
// text, besides space and tab), resolved on the user-interface thread.
struct FxFilterPattern {
    std::string pattern;
    std::string delimiters;
};

// The texts a worker writes (printf formats from the string table), loaded on the
// user-interface thread.
struct FxFileSearchTexts {
    std::string startFind, startReplace, fileFound, fileReplaced, stopped, endFind, endReplace,
        failed, skipOpen, skipName, skipWrite, skippedCount, noBackup, badPattern, outOfMemory,
        longLineFind, longLineReplace;
};
// Loads them from the module's string table.
FxFileSearchTexts FxLoadFileSearchTexts();

// One request.
struct FxFileSearch {
    int outputKey = 3; // 3 or 4; the other one of the pair when busy
    std::string find;
    std::string filters; // the list as the user gave it, for the start line
    std::string folder;
    std::string replacement;
    bool replace = false;
    bool matchCase = false;
    bool wholeWord = false;
    bool regExp = false;
    bool subFolders = true;
    bool backup = false; // replace only
    // The backup copies' folder, the searched tree repeated below it; empty: beside each file.
    std::string backupFolder;
    bool encodings[4] = {true, true, true, true}; // ANSI, UTF8, UNICODE, UNICODE BIG ENDIAN
    std::vector<FxFilterPattern> patterns;        // from FxSplitFilters, with their delimiters
    FxFileSearchTexts texts;
    // Bytes of a file mapped at a time, and the most a window may grow to so that one long line
    // fits in it; 0 for the program's sizes. Tests make them small to cross many windows.
    size_t window = 0;
    size_t maxWindow = 0;
};

// The filter list split at ";": pieces trimmed of blanks, empty and repeated pieces dropped
// (case-insensitively), in order; a piece "*.*" stands for the whole list.
std::vector<std::string> FxSplitFilters(const std::string& list);

// One slot: a request and its worker thread.
class FxFileSearchJob : public OutputJob {
public:
    FxFileSearchJob() : OutputJob(nullptr) {}
    ~FxFileSearchJob() override;

    // Busy from the start until its worker has ended and released its channel.
    bool IsBusy() const { return m_running.load(); }
    // Acquires a channel, clears it and starts the worker; false when no channel is free or the
    // thread cannot be made.
    bool Start(IOutputChannels* channels, FxFileSearch&& request);
    // Sets the stop flag; with wait, returns once the worker has ended (meanwhile it lets the
    // worker's sends to this thread's windows through).
    void Stop(bool wait) override;
    bool IsStopping() const { return m_stop.load(); }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();

    FxFileSearch m_request;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    HANDLE m_thread = nullptr;
};

// The two slots of the process.
FxFileSearchJob& FxFileSearchSlot(int index);

// Start a search or replacement in a free slot; false (nothing started) when the find text,
// the filter list or the folder is empty, when both slots are busy or no channel is free.
// Fills request.patterns from the filter list when it is empty (without delimiters).
bool StartFindInFiles(IOutputChannels* channels, FxFileSearch request);
// As above; a replacement whose text is byte for byte the find text (and no regular
// expression) starts nothing and reports true.
bool StartReplaceInFiles(IOutputChannels* channels, FxFileSearch request);
// Asks every running worker to stop; with wait, returns once they have ended.
void StopFileSearch(bool wait);

// The steps of writing and committing a replaced file, for tests that make one of them fail.
enum FxCommitStep {
    FxStepNone = 0,
    FxStepWrite,
    FxStepFlush,
    FxStepTruncate,
    FxStepCopy,   // the backup copy of the original
    FxStepMove,   // the new file over the original
    FxStepDelete, // an older backup
    FxStepRename, // the backup copy to its name
};
// Makes the given step fail (with ERROR_WRITE_FAULT) from now on; FxStepNone for none.
void FxSetCommitFault(FxCommitStep step);
