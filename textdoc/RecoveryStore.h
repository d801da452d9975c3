// FxRecoveryStore: the "Recovery" folder beside the INI files. Each running instance owns a
// subfolder of its own, marked by a lock file that it holds open without sharing while it runs;
// the system lets the lock go however the instance ends, so a subfolder whose lock can be taken
// belongs to an instance that is no longer running, and its copies are orphans. Layer: textdoc/.
#pragma once

#include "common/SysFile.h"

#include <string>
#include <vector>

class FxRecoveryStore {
public:
    explicit FxRecoveryStore(std::string folder); // e.g. <program folder>\Recovery
    ~FxRecoveryStore();                           // ends ownership; leaves the copies
    FxRecoveryStore(const FxRecoveryStore&) = delete;
    FxRecoveryStore& operator=(const FxRecoveryStore&) = delete;

    bool Open(); // claims this instance's place (creates folders as needed)
    bool IsOpen() const { return m_lock != nullptr; }
    std::string NewCopyPath(); // a fresh copy name for one document of this instance
    bool RemoveCopy(const std::string& copyPath);
    void RemoveAll(); // this instance's copies and its place (a normal exit)
    // Copies of instances no longer running, each instance's in the order it made them. The
    // sets found are claimed
    // (their locks held) until this store ends, so that an instance starting meanwhile does not
    // offer them too; copies left then (the user decides later) are orphans again at the next
    // start.
    std::vector<std::string> FindOrphanCopies() const;
    bool DiscardOrphan(const std::string& copyPath); // "放弃" / restored: remove it

    const std::string& Folder() const { return m_folder; }
    const std::string& InstanceFolder() const { return m_own; }

private:
    struct Claim {
        std::string folder;
        fxsys::FileHandle lock;
    };
    // Removes a claimed set's lock and folder once it holds no copies.
    void DropEmptyClaim(size_t index) const;

    std::string m_folder; // without a trailing separator
    std::string m_own;    // this instance's subfolder
    fxsys::FileHandle m_lock = nullptr;
    unsigned m_nextCopy = 0;
    mutable std::vector<Claim> m_claims;
};
