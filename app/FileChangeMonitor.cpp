// FileChangeMonitor. Layer: app/ (application shell).
#include "app/FileChangeMonitor.h"

#include "common/PathName.h"

#include <cstring>
#include <iterator>
#include <vector>

FileChangeMonitor::~FileChangeMonitor() {
    for (DirWatch& d : m_dirs)
        FindCloseChangeNotification(d.notify);
    m_dirs.clear();
    m_files.clear();
}

uint64_t FileChangeMonitor::LastWriteTime(const char* path) {
    // No access rights are needed to read the times; sharing lets writers go on.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    FILETIME written;
    uint64_t result = 0;
    if (GetFileTime(file, nullptr, nullptr, &written))
        result = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    CloseHandle(file);
    return result;
}

std::vector<std::string> FileChangeMonitor::Directories() const {
    std::vector<std::string> dirs;
    for (const DirWatch& d : m_dirs)
        dirs.push_back(d.dir);
    return dirs;
}

UINT FileChangeMonitor::AddWatch(const char* path, void* owner) {
    if (!path || !*path || std::strlen(path) > MAX_PATH - 1)
        return 0;
    std::string dir = FxPathFolder(path);
    if (dir.empty())
        return 0;
    DirWatch* watch = nullptr;
    for (DirWatch& d : m_dirs) {
        if (d.dir == dir) { // byte comparison, as the paths were given
            watch = &d;
            break;
        }
    }
    if (!watch) {
        HANDLE notify =
            FindFirstChangeNotificationA(dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE);
        if (notify == INVALID_HANDLE_VALUE || !notify)
            return 0;
        m_dirs.push_back(DirWatch{0, notify, dir});
        watch = &m_dirs.back();
    }
    FileWatch record;
    record.owner = owner;
    record.notify = watch->notify;
    record.path = path;
    record.lastWrite = LastWriteTime(path);
    UINT id = m_nextId++;
    m_files[id] = record;
    ++watch->refs;
    return id;
}

void FileChangeMonitor::RemoveWatch(UINT id) {
    auto it = m_files.find(id);
    if (it == m_files.end())
        return;
    HANDLE notify = it->second.notify;
    m_files.erase(it);
    for (auto d = m_dirs.begin(); d != m_dirs.end(); ++d) {
        if (d->notify != notify)
            continue;
        if (--d->refs <= 0) {
            if (m_reporting == notify)
                m_reporting = nullptr;
            FindCloseChangeNotification(notify);
            m_dirs.erase(d);
        }
        break;
    }
}

void FileChangeMonitor::Poll(HWND window) {
    if (m_reporting)
        ReportStep(window);
    else
        Detect();
}

void FileChangeMonitor::ReportStep(HWND window) {
    for (auto it = m_files.begin(); it != m_files.end(); ++it) {
        FileWatch& f = it->second;
        if (f.notify != m_reporting || !f.changed)
            continue;
        f.changed = false;
        f.lastWrite = LastWriteTime(f.path.c_str());
        PostMessageA(window, kFileChangedMessage, reinterpret_cast<WPARAM>(f.owner),
                     static_cast<LPARAM>(it->first));
        if (std::next(it) != m_files.end())
            return; // the next poll walks again from the start
        break;
    }
    // Every flagged file of the directory has been reported: wait for its next change.
    FindNextChangeNotification(m_reporting);
    m_reporting = nullptr;
}

void FileChangeMonitor::Detect() {
    std::vector<HANDLE> handles;
    for (const DirWatch& d : m_dirs) {
        if (handles.size() == kMaxTestedDirs)
            break;
        handles.push_back(d.notify);
    }
    if (handles.empty())
        return;
    DWORD signalled =
        WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, 0);
    if (signalled >= WAIT_OBJECT_0 + handles.size())
        return; // time-out or failure: nothing changed
    m_reporting = handles[signalled - WAIT_OBJECT_0];
    for (auto& entry : m_files) {
        FileWatch& f = entry.second;
        if (f.notify != m_reporting)
            continue;
        uint64_t now = LastWriteTime(f.path.c_str());
        if (now != 0 && now != f.lastWrite) {
            f.lastWrite = now;
            f.changed = true;
        }
    }
}
