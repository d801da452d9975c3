// Reading a document from a path and writing it back by a safe save, and the backup copy made
// before a save. Called by the document lifecycle. Layer: textdoc/, over common/SysFile.h.
//
// File errors throw FxFileError with the system error code (a path too long, a file that cannot
// be opened or is too large for the document, a failed write or rename); out of memory throws
// std::bad_alloc. A failed encoding conversion is reported through the document's OnDocEvent and
// returned as false.
#pragma once

#include <cstddef>
#include <string>

class CFxEditDoc;

// Paths, like the editor's other fixed buffers, hold at most this many bytes before their 0.
const size_t kFxMaxPath = 259;

// Empties the document (its DeleteContents) and loads the file through Serialize. The size is
// taken as 64 bits: a file larger than CFxEditDoc::kMaxFileBytes is refused before the document
// is touched. False after event 260; on any failure the document is left empty, never holding a
// part of the file.
bool LoadDocumentFile(CFxEditDoc& doc, const char* path);

// Writes the document into a new file beside the target, flushes it and only then puts it in
// the target's place by one rename that overwrites, so that the target always holds either its
// old content or the new one, complete. After event 261 (false), a failed write or a refused
// rename (FxFileError), or a save the document cancels from its progress (FxCancelled), the
// target is exactly as it was and the temporary file is gone.
bool SaveDocumentFile(CFxEditDoc& doc, const char* path);

// The backup copy's path: the backup folder (when not empty) with the file's name, or else the
// file's own path; the last "." of the file's name becomes "_" and ".BAK" is appended; cut to
// kFxMaxPath bytes. C:\a\b.txt gives C:\a\b_txt.BAK, C:\v1.2\README gives C:\v1.2\README.BAK.
std::string MakeBackupName(const char* path, const char* backupFolder);

// Copies the file, overwriting, to its backup name when `enabled` (the BackupFileOnSave setting,
// and only for a save to the path the document already has). A failed copy is ignored; the
// result says whether a copy was made. No copy is made to a name that had to be cut.
bool BackupBeforeSave(const char* path, const char* backupFolder, bool enabled);
