// CMirrorFile: a file opened for writing that is written to a temporary file in the target's
// folder and replaces the target only when it is closed after a complete write. Aborting (or
// destroying it unclosed) removes the temporary file and leaves the target untouched.
// Layer: framework/.
#pragma once

#include "framework/File.h"

class CMirrorFile : public CFile {
    DECLARE_DYNAMIC(CMirrorFile)
public:
    ~CMirrorFile() override;

    // Opening for reading opens the file itself; opening with modeCreate writes the mirror.
    bool Open(const char* fileName, UINT openFlags, CFileException* error = nullptr) override;
    // Closes the mirror and moves it over the target; throws when that fails (the mirror is
    // then removed and the target left as it was).
    void Close() override;
    void Abort() override;

    const std::string& GetMirrorPath() const { return m_strMirrorName; }

private:
    std::string m_strMirrorName; // empty when writing directly
};
