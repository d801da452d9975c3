// The named objects of one capture: the base name they share, the block's layout, and the
// security that keeps them to the current user. Layer: tools/.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The base name of a capture's objects: the command's file name with every byte that is not a
// letter, digit, "." or "-" turned into "_" (so that "/OBJNAME:" stays one argument and no
// "\" reaches the object namespace), cut to 64 bytes, then the process id, a per-process
// counter and the tick count. Two runs of one process never share a name, nor do two editors.
std::string CaptureBaseName(const std::string& command, DWORD processId, DWORD counter, DWORD tick);
// The base name for a new capture of this process (the counter advances).
std::string NextCaptureBaseName(const std::string& command);

struct CaptureLayout {
    DWORD textOffset;   // a page boundary past the header and the arguments
    DWORD textCapacity; // whole pages
    DWORD totalSize;    // whole pages; the text area always lies inside
};
// argLength: bytes of the argument string without its terminator; capacity is rounded up to
// whole pages and is at least four pages.
CaptureLayout CaptureBlockLayout(DWORD argLength, DWORD pageSize, DWORD capacity);

// A security descriptor whose access list admits only the user the process runs as: the
// capture's mapping and events are created with it, so that no other user's process can open
// them by name.
class OwnerOnlySecurity {
public:
    OwnerOnlySecurity();
    OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
    OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;
    // Null when the descriptor could not be built (then nothing is created).
    SECURITY_ATTRIBUTES* Attributes() { return m_ok ? &m_sa : nullptr; }
    DWORD Error() const { return m_error; }

private:
    bool m_ok = false;
    DWORD m_error = 0;
    std::vector<BYTE> m_user;
    std::vector<BYTE> m_acl;
    SECURITY_DESCRIPTOR m_sd;
    SECURITY_ATTRIBUTES m_sa;
};
