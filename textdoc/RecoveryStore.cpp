// FxRecoveryStore: this instance's subfolder of the "Recovery" folder held by its lock file, and
// the sets of instances that are no longer running. Layer: textdoc/, over common/SysFolder.h.
#include "textdoc/RecoveryStore.h"

#include "common/PathName.h"
#include "common/SysFolder.h"
#include "textdoc/Dbcs.h"

#include <algorithm>
#include <utility>

namespace {

const char kLockName[] = "owner.lock";
const char kCopyExt[] = ".qvr";
const char kTempExt[] = ".tmp";

// The separator a folder already uses: "/" only when it has "/" and no "\" (the native tests).
// Stepped by characters: the second byte of a double-byte character may have the value of "\".
char SeparatorOf(const std::string& folder) {
    bool slash = false;
    for (size_t i = 0; i < folder.size();) {
        int len = FxCharLen(folder.data(), i, folder.size());
        if (len == 1 && folder[i] == '\\')
            return '\\';
        if (len == 1 && folder[i] == '/')
            slash = true;
        i += static_cast<size_t>(len);
    }
    return slash ? '/' : '\\';
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder + SeparatorOf(folder) + name;
}

bool EndsWith(const std::string& s, const char* tail) {
    const size_t n = std::char_traits<char>::length(tail);
    if (s.size() < n)
        return false;
    // The tail is ASCII and starts with "."; a byte-wise match is a character match only when
    // the byte before it does not lead a double-byte character that would take the ".".
    for (size_t i = 0; i < s.size();) {
        if (i == s.size() - n)
            return s.compare(i, n, tail) == 0;
        if (i > s.size() - n)
            return false;
        i += static_cast<size_t>(FxCharLen(s.data(), i, s.size()));
    }
    return false;
}

// Hexadecimal digits of a number, eight of them.
std::string Hex8(uint32_t x) {
    std::string s(8, '0');
    for (int k = 0; k < 8; ++k)
        s[k] = "0123456789ABCDEF"[(x >> (28 - 4 * k)) & 15];
    return s;
}

// The copies of a set, in the order their names were given; leftover temporary files of a
// write that never finished are deleted on the way.
std::vector<std::string> CopiesIn(const std::string& folder, bool dropTemps) {
    std::vector<std::string> copies;
    for (const std::string& name : fxsys::ListFolder(folder.c_str(), false)) {
        if (EndsWith(name, kCopyExt))
            copies.push_back(Join(folder, name));
        else if (dropTemps && EndsWith(name, kTempExt))
            fxsys::DeleteFilePath(Join(folder, name).c_str());
    }
    std::sort(copies.begin(), copies.end());
    return copies;
}

} // namespace

FxRecoveryStore::FxRecoveryStore(std::string folder) : m_folder(std::move(folder)) {
    if (m_folder.size() > 1 && FxPathEndsWithSeparator(m_folder))
        m_folder.pop_back();
}

FxRecoveryStore::~FxRecoveryStore() {
    if (m_lock) {
        // An instance that holds no copies leaves nothing behind.
        if (CopiesIn(m_own, true).empty()) {
            RemoveAll();
        } else {
            fxsys::CloseFile(m_lock);
            m_lock = nullptr;
        }
    }
    for (Claim& c : m_claims)
        fxsys::CloseFile(c.lock);
}

bool FxRecoveryStore::Open() {
    if (m_lock)
        return true;
    if (!fxsys::CreateFolder(m_folder.c_str()))
        return false;
    static uint32_t s_serial = 0;
    for (int attempt = 0; attempt < 32; ++attempt) {
        const uint32_t x = fxsys::TickCount() * 2654435761u ^ (++s_serial * 0x9E3779B9u);
        std::string own = Join(m_folder, Hex8(fxsys::ProcessId()) + "-" + Hex8(x));
        if (fxsys::FolderExists(own.c_str()) || !fxsys::CreateFolder(own.c_str()))
            continue;
        // Another instance tidying empty sets may remove the folder before the lock is in it.
        fxsys::FileHandle lock = fxsys::TakeLockFile(Join(own, kLockName).c_str(), nullptr);
        if (!lock) {
            fxsys::RemoveFolder(own.c_str());
            continue;
        }
        m_own = own;
        m_lock = lock;
        return true;
    }
    return false;
}

std::string FxRecoveryStore::NewCopyPath() {
    if (!m_lock)
        return std::string();
    for (;;) {
        std::string path = Join(m_own, Hex8(++m_nextCopy) + kCopyExt);
        if (!fxsys::FileExists(path.c_str()))
            return path;
    }
}

bool FxRecoveryStore::RemoveCopy(const std::string& copyPath) {
    fxsys::DeleteFilePath(copyPath.c_str());
    return !fxsys::FileExists(copyPath.c_str());
}

void FxRecoveryStore::RemoveAll() {
    if (!m_lock)
        return;
    for (const std::string& name : fxsys::ListFolder(m_own.c_str(), false))
        if (name != kLockName)
            fxsys::DeleteFilePath(Join(m_own, name).c_str());
    fxsys::CloseFile(m_lock);
    m_lock = nullptr;
    fxsys::DeleteFilePath(Join(m_own, kLockName).c_str());
    fxsys::RemoveFolder(m_own.c_str());
}

std::vector<std::string> FxRecoveryStore::FindOrphanCopies() const {
    std::vector<std::string> names = fxsys::ListFolder(m_folder.c_str(), true);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string set = Join(m_folder, name);
        if (set == m_own)
            continue;
        bool claimed = false;
        for (const Claim& c : m_claims)
            claimed = claimed || c.folder == set;
        if (claimed)
            continue;
        const std::string lockPath = Join(set, kLockName);
        if (!fxsys::FileExists(lockPath.c_str()) && CopiesIn(set, false).empty()) {
            // An empty set without its lock: an instance that died while making it, or one just
            // making it (which then tries another name).
            fxsys::RemoveFolder(set.c_str());
            continue;
        }
        // The lock can be taken only when its instance no longer runs.
        fxsys::FileHandle lock = fxsys::TakeLockFile(lockPath.c_str(), nullptr);
        if (!lock)
            continue;
        m_claims.push_back(Claim{set, lock});
    }
    std::vector<std::string> copies;
    for (size_t i = 0; i < m_claims.size();) {
        std::vector<std::string> found = CopiesIn(m_claims[i].folder, true);
        if (found.empty()) {
            DropEmptyClaim(i);
            continue;
        }
        copies.insert(copies.end(), found.begin(), found.end());
        ++i;
    }
    return copies;
}

bool FxRecoveryStore::DiscardOrphan(const std::string& copyPath) {
    const std::string set = FxPathFolder(copyPath);
    for (size_t i = 0; i < m_claims.size(); ++i) {
        if (m_claims[i].folder != set)
            continue;
        fxsys::DeleteFilePath(copyPath.c_str());
        const bool gone = !fxsys::FileExists(copyPath.c_str());
        if (CopiesIn(set, false).empty())
            DropEmptyClaim(i);
        return gone;
    }
    return false; // not a copy of a set this store has claimed
}

void FxRecoveryStore::DropEmptyClaim(size_t index) const {
    Claim c = m_claims[index];
    m_claims.erase(m_claims.begin() + static_cast<std::ptrdiff_t>(index));
    for (const std::string& name : fxsys::ListFolder(c.folder.c_str(), false))
        if (name != kLockName)
            fxsys::DeleteFilePath(Join(c.folder, name).c_str());
    fxsys::CloseFile(c.lock);
    fxsys::DeleteFilePath(Join(c.folder, kLockName).c_str());
    fxsys::RemoveFolder(c.folder.c_str());
}
