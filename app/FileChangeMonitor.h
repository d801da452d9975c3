// FileChangeMonitor: notices files of open documents changed by other programs. One directory
// change notification per watched folder, one record per watched file with its last-write time;
// polled from the application's idle time, it reports a changed file by posting
// kFileChangedMessage to a window. Layer: app/ (application shell).
#pragma once

#include <windows.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

class FileChangeMonitor {
public:
    // Posted with the owner as wParam and the watch id as lParam. The id lets the receiver
    // tell a notice for the owner's current watch from a stale one: an owner closed after the
    // post may have had its address reused by another object.
    static const UINT kFileChangedMessage = WM_USER + 2;
    // At most this many directory notifications are tested in one poll.
    static const size_t kMaxTestedDirs = 64;

    FileChangeMonitor() = default;
    ~FileChangeMonitor();
    FileChangeMonitor(const FileChangeMonitor&) = delete;
    FileChangeMonitor& operator=(const FileChangeMonitor&) = delete;

    // Watches the file for owner; returns the watch id (ids start at 1 and are never reused),
    // or 0 when its directory cannot be watched.
    UINT AddWatch(const char* path, void* owner);
    // Drops a watch; an id that is not watched does nothing.
    void RemoveWatch(UINT id);
    bool IsWatched(UINT id) const { return m_files.count(id) != 0; }
    // One step: detect a signalled directory, or post one notice for a changed file of the
    // directory being reported, or re-arm that directory. Never blocks.
    void Poll(HWND window);

    // For the tests and the reopen logic.
    size_t DirectoryCount() const { return m_dirs.size(); }
    size_t WatchCount() const { return m_files.size(); }
    bool IsReporting() const { return m_reporting != nullptr; }
    // The watched folders, in creation order.
    std::vector<std::string> Directories() const;

    // The file's last-write time (0 when it cannot be opened).
    static uint64_t LastWriteTime(const char* path);

private:
    struct DirWatch {
        int refs = 0;
        HANDLE notify = INVALID_HANDLE_VALUE;
        std::string dir;
    };
    struct FileWatch {
        bool changed = false;
        void* owner = nullptr;
        HANDLE notify = INVALID_HANDLE_VALUE; // its directory's notification
        std::string path;
        uint64_t lastWrite = 0;
    };

    void ReportStep(HWND window);
    void Detect();

    std::list<DirWatch> m_dirs;        // creation order
    std::map<UINT, FileWatch> m_files; // walked in id order
    UINT m_nextId = 1;
    HANDLE m_reporting = nullptr; // the directory whose changes are being posted
};
