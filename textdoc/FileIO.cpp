// Loading a document from a path, the safe save through a temporary file beside the target, and
// backup names. Layer: textdoc/, over common/SysFile.h.
#include "textdoc/FileIO.h"

#include "common/FxErrors.h"
#include "common/PathName.h"
#include "common/SysFile.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FxEditDoc.h"

#include <cstring>

namespace {

[[noreturn]] void Fail(uint32_t error) {
    throw FxFileError(error != 0 ? error : fxsys::kErrInvalidData);
}

void CheckPathLength(const char* path) {
    if (std::strlen(path) > kFxMaxPath)
        Fail(fxsys::kErrFilenameExcedRange);
}

// The separator a folder name already uses: "/" only when it has "/" and no "\".
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

// The backup name before it is cut to a path's length.
std::string FullBackupName(const char* path, const char* backupFolder) {
    const std::string source(path);
    const size_t nameAt = FxPathNameStart(source);
    std::string name;
    if (backupFolder && *backupFolder) {
        name = backupFolder;
        if (FxPathNameStart(name) != name.size())
            name += SeparatorOf(name);
    } else {
        name = source.substr(0, nameAt);
    }
    // Only the file's own name has its last dot changed, never a folder's (C:\v1.2\README).
    name += source.substr(nameAt);
    const size_t dot = FxPathExtensionDot(name);
    if (dot != std::string::npos)
        name[dot] = '_';
    name += ".BAK";
    return name;
}

// An open file that closes itself.
class FileCloser {
public:
    explicit FileCloser(fxsys::FileHandle file) : m_file(file) {}
    ~FileCloser() { fxsys::CloseFile(m_file); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    fxsys::FileHandle Get() const { return m_file; }

private:
    fxsys::FileHandle m_file;
};

// The new content of a save, in a file of its own in the target's folder (so that the final
// rename stays on one volume). Deleted unless it has replaced the target.
class TempFile {
public:
    explicit TempFile(const std::string& folder);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    fxsys::FileHandle Handle() const { return m_file; }
    // Flushes and closes the file, then renames it over the target.
    void Replace(const char* target);

private:
    std::string m_path;
    fxsys::FileHandle m_file = nullptr;
    bool m_replaced = false;
};

TempFile::TempFile(const std::string& folder) {
    static uint32_t s_serial = 0;
    // The name must fit a path too: next to a long target it is shortened.
    if (folder.size() >= kFxMaxPath)
        Fail(fxsys::kErrFilenameExcedRange);
    const size_t room = kFxMaxPath - folder.size();
    uint32_t error = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        uint32_t x = fxsys::TickCount() * 2654435761u ^ (fxsys::ProcessId() << 12) ^
                     (++s_serial * 0x9E3779B9u);
        char hex[9];
        for (int k = 0; k < 8; ++k)
            hex[k] = "0123456789ABCDEF"[(x >> (28 - 4 * k)) & 15];
        hex[8] = 0;
        std::string name = std::string("~qv") + hex + ".tmp";
        if (name.size() > room)
            name = room >= 2 ? ("~" + std::string(hex)).substr(0, room)
                             : std::string(hex).substr(0, room);
        std::string candidate = folder + name;
        if (fxsys::FileExists(candidate.c_str()))
            continue;
        m_file = fxsys::CreateNew(candidate.c_str(), &error);
        if (m_file) {
            m_path = candidate;
            return;
        }
        if (!fxsys::FileExists(candidate.c_str()))
            Fail(error); // not a clash with another file: the folder refuses new files
    }
    Fail(error);
}

TempFile::~TempFile() {
    fxsys::CloseFile(m_file);
    if (!m_replaced && !m_path.empty())
        fxsys::DeleteFilePath(m_path.c_str());
}

void TempFile::Replace(const char* target) {
    uint32_t error = 0;
    if (!fxsys::FlushFile(m_file, &error))
        Fail(error);
    fxsys::CloseFile(m_file);
    m_file = nullptr;
    if (!fxsys::ReplaceByRename(m_path.c_str(), target, &error))
        Fail(error);
    m_replaced = true;
}

} // namespace

bool LoadDocumentFile(CFxEditDoc& doc, const char* path) {
    CheckPathLength(path);
    uint32_t error = 0;
    FileCloser file(fxsys::OpenForRead(path, &error));
    if (!file.Get())
        Fail(error);
    uint64_t size = 0;
    if (!fxsys::GetFileSize64(file.Get(), &size, &error))
        Fail(error);
    if (size > CFxEditDoc::kMaxFileBytes)
        Fail(fxsys::kErrFileTooLarge);
    doc.DeleteContents();
    FxArchive ar;
    ar.file = file.Get();
    ar.length = size;
    ar.loading = true;
    return doc.Serialize(ar);
}

bool SaveDocumentFile(CFxEditDoc& doc, const char* path) {
    CheckPathLength(path);
    // A rename would replace a read-only file on some systems: refuse before writing anything.
    if (fxsys::IsReadOnlyFile(path))
        throw FxFileError(fxsys::kErrAccessDenied);
    const std::string target(path);
    TempFile temp(target.substr(0, FxPathNameStart(target)));
    FxArchive ar;
    ar.file = temp.Handle();
    ar.loading = false;
    if (!doc.Serialize(ar))
        return false; // the conversion failed: the target is left as it was
    temp.Replace(path);
    return true;
}

std::string MakeBackupName(const char* path, const char* backupFolder) {
    std::string name = FullBackupName(path, backupFolder);
    size_t keep = 0;
    for (size_t i = 0; i < name.size();) {
        size_t next = i + static_cast<size_t>(FxCharLen(name.data(), i, name.size()));
        if (next > kFxMaxPath)
            break;
        keep = i = next;
    }
    name.resize(keep);
    return name;
}

bool BackupBeforeSave(const char* path, const char* backupFolder, bool enabled) {
    if (!enabled || !fxsys::FileExists(path))
        return false;
    // A cut name could be any other file's; rather no backup than a wrong file overwritten.
    std::string name = FullBackupName(path, backupFolder);
    if (name.size() > kFxMaxPath)
        return false;
    uint32_t error = 0;
    return fxsys::CopyFileOverwrite(path, name.c_str(), &error);
}
