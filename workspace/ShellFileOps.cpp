// The file tree's file operations in UTF-16. Layer: workspace/.
#include "workspace/ShellFileOps.h"

#include "common/SysText.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace {

// A list for the shell's file operations: each path ends with a zero, the list with another.
std::wstring DoubleNulList(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

// Hands a filled-in clipboard block over; the clipboard owns it only on success.
bool SetClipboardBlock(HWND owner, UINT format, HGLOBAL mem) {
    if (!::OpenClipboard(owner)) {
        ::GlobalFree(mem);
        return false;
    }
    ::EmptyClipboard();
    const bool ok = ::SetClipboardData(format, mem) != nullptr;
    ::CloseClipboard();
    if (!ok)
        ::GlobalFree(mem);
    return ok;
}

} // namespace

std::string ShellPathToAnsi(const std::wstring& path, bool* exact) {
    if (exact)
        *exact = true;
    if (path.empty())
        return std::string();
    const uint16_t* units = reinterpret_cast<const uint16_t*>(path.c_str());
    const int len = static_cast<int>(path.size());
    bool lossy = false;
    const int n = fxsys::WideToAnsi(units, len, nullptr, 0, &lossy);
    std::string ansi(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        fxsys::WideToAnsi(units, len, &ansi[0], n, nullptr);
    if (exact)
        *exact = n > 0 && !lossy;
    return ansi;
}

std::wstring ShellPathFromAnsi(const std::string& path) {
    if (path.empty())
        return std::wstring();
    const int len = static_cast<int>(path.size());
    const int n = fxsys::AnsiToWide(path.data(), len, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0)
        fxsys::AnsiToWide(path.data(), len, reinterpret_cast<uint16_t*>(&wide[0]), n);
    return wide;
}

std::wstring ShellPathJoin(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/')
        return folder + name;
    return folder + L'\\' + name;
}

bool ShellPathHasWildcard(const std::wstring& path) {
    return path.find_first_of(L"?*") != std::wstring::npos;
}

bool ShellPathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ShellOpResult ShellDeletePath(HWND owner, const std::wstring& path, bool permanently) {
    ShellOpResult result;
    if (path.empty() || ShellPathHasWildcard(path)) {
        result.code = ERROR_INVALID_NAME;
        return result;
    }
    const std::wstring from = DoubleNulList({path});
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // A permanent delete keeps the shell's confirmation: nothing comes back from it.
    op.fFlags = permanently ? 0 : FOF_ALLOWUNDO;
    result.code = ::SHFileOperationW(&op);
    result.aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

ShellOpResult ShellCopyInto(HWND owner, const std::vector<std::wstring>& paths,
                            const std::wstring& folder) {
    ShellOpResult result;
    bool wildcard = folder.empty() || ShellPathHasWildcard(folder) || paths.empty();
    for (const std::wstring& path : paths)
        wildcard = wildcard || path.empty() || ShellPathHasWildcard(path);
    if (wildcard) {
        result.code = ERROR_INVALID_NAME;
        return result;
    }
    const std::wstring from = DoubleNulList(paths);
    const std::wstring to = DoubleNulList({folder});
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_FILESONLY;
    result.code = ::SHFileOperationW(&op);
    result.aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

bool ShellPutDropList(HWND owner, const std::wstring& path) {
    if (path.empty())
        return false;
    // The header, the one name, and two terminating zeros (of the name's width).
    bool exact = false;
    const std::string ansi = ShellPathToAnsi(path, &exact);
    const size_t nameBytes = exact ? ansi.size() : path.size() * sizeof(wchar_t);
    const size_t zeroBytes = exact ? 2 : 2 * sizeof(wchar_t);
    HGLOBAL mem =
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + nameBytes + zeroBytes);
    if (!mem)
        return false;
    BYTE* p = static_cast<BYTE*>(::GlobalLock(mem));
    if (!p) {
        ::GlobalFree(mem);
        return false;
    }
    DROPFILES* drop = reinterpret_cast<DROPFILES*>(p);
    drop->pFiles = sizeof(DROPFILES);
    drop->pt.x = drop->pt.y = 0;
    drop->fNC = FALSE;
    drop->fWide = exact ? FALSE : TRUE;
    std::memcpy(p + sizeof(DROPFILES), exact ? static_cast<const void*>(ansi.data()) : path.data(),
                nameBytes);
    ::GlobalUnlock(mem);
    return SetClipboardBlock(owner, CF_HDROP, mem);
}

bool ShellReadDropList(HWND owner, std::vector<std::wstring>* paths) {
    paths->clear();
    if (!::OpenClipboard(owner))
        return false;
    HDROP drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    if (drop) {
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
            if (length == 0)
                continue;
            std::wstring path(static_cast<size_t>(length) + 1, L'\0');
            const UINT got = ::DragQueryFileW(drop, i, &path[0], length + 1);
            path.resize(got <= length ? got : length);
            if (!path.empty())
                paths->push_back(path);
        }
    }
    ::CloseClipboard();
    return drop != nullptr;
}
