// Names, layout and security of a capture's shared objects. Layer: tools/.
#include "tools/CaptureObjects.h"

#include "common/CaptureBlock.h"
#include "common/PathName.h"

#include <cstdio>

namespace {

const size_t kMaxNameStem = 64;
LONG g_captureCounter = 0;

bool IsNameByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-';
}

DWORD RoundUp(DWORD value, DWORD unit) {
    return (value + unit - 1) / unit * unit;
}

} // namespace

std::string CaptureBaseName(const std::string& command, DWORD processId, DWORD counter,
                            DWORD tick) {
    std::string stem = FxPathFileName(command);
    // Every byte of a double-byte character is replaced, so the cut below is safe.
    for (char& c : stem)
        if (!IsNameByte(static_cast<unsigned char>(c)))
            c = '_';
    if (stem.size() > kMaxNameStem)
        stem.resize(kMaxNameStem);
    if (stem.empty())
        stem = "tool";
    char tail[40];
    std::snprintf(tail, sizeof tail, "_%08lX_%lu_%08lX", static_cast<unsigned long>(processId),
                  static_cast<unsigned long>(counter), static_cast<unsigned long>(tick));
    return stem + tail;
}

std::string NextCaptureBaseName(const std::string& command) {
    const DWORD counter = static_cast<DWORD>(InterlockedIncrement(&g_captureCounter));
    return CaptureBaseName(command, GetCurrentProcessId(), counter, GetTickCount());
}

CaptureLayout CaptureBlockLayout(DWORD argLength, DWORD pageSize, DWORD capacity) {
    CaptureLayout layout;
    // The arguments run from offset 1060 with their terminator: the text starts on the first
    // page boundary past them.
    layout.textOffset = RoundUp(argLength + 1060, pageSize);
    if (layout.textOffset == argLength + 1060)
        layout.textOffset += pageSize;
    layout.textCapacity = RoundUp(capacity < 4 * pageSize ? 4 * pageSize : capacity, pageSize);
    layout.totalSize = layout.textOffset + layout.textCapacity;
    return layout;
}

OwnerOnlySecurity::OwnerOnlySecurity() {
    m_sa.nLength = sizeof m_sa;
    m_sa.lpSecurityDescriptor = &m_sd;
    m_sa.bInheritHandle = FALSE;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        m_error = GetLastError();
        return;
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    m_user.resize(size ? size : sizeof(TOKEN_USER));
    const BOOL gotUser = GetTokenInformation(token, TokenUser, m_user.data(), size, &size);
    m_error = GetLastError();
    CloseHandle(token);
    if (!gotUser)
        return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid;
    const DWORD aclSize =
        sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
    m_acl.resize(aclSize);
    PACL acl = reinterpret_cast<PACL>(m_acl.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
        !InitializeSecurityDescriptor(&m_sd, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&m_sd, TRUE, acl, FALSE)) {
        m_error = GetLastError();
        return;
    }
    m_ok = true;
}
