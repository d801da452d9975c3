// Double-byte-aware splitting of paths, and their comparison. Layer: common/.
#include "common/PathName.h"

#include "common/LeadBytes.h"
#include "common/SysFile.h"
#include "common/SysText.h"

namespace {

inline bool IsSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

} // namespace

size_t FxPathNameStart(const char* path, size_t len) {
    FxEnsureLeadBytes();
    size_t start = 0;
    for (size_t i = 0; i < len;) {
        const int n = FxCharLen(path, i, len);
        if (n == 1 && IsSeparator(path[i]))
            start = i + 1;
        i += static_cast<size_t>(n);
    }
    return start;
}

std::string FxPathFileName(const std::string& path) {
    return path.substr(FxPathNameStart(path));
}

std::string FxPathFolder(const std::string& path) {
    const size_t start = FxPathNameStart(path);
    if (start == 0)
        return std::string();
    // A drive's ":" stays; so does the separator of a root: "\" alone, or after "C:".
    if (path[start - 1] == ':' || start == 1 || (start == 3 && path[1] == ':'))
        return path.substr(0, start);
    return path.substr(0, start - 1);
}

size_t FxPathExtensionDot(const std::string& path) {
    size_t dot = std::string::npos;
    for (size_t i = FxPathNameStart(path); i < path.size();) {
        const int n = FxCharLen(path.data(), i, path.size());
        if (n == 1 && path[i] == '.')
            dot = i;
        i += static_cast<size_t>(n);
    }
    return dot;
}

std::string FxPathExtension(const std::string& path) {
    const size_t dot = FxPathExtensionDot(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string FxPathBaseName(const std::string& path) {
    const size_t start = FxPathNameStart(path);
    const size_t dot = FxPathExtensionDot(path);
    return path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
}

bool FxPathEndsWithSeparator(const std::string& path) {
    FxEnsureLeadBytes();
    size_t last = std::string::npos;
    int lastLen = 0;
    for (size_t i = 0; i < path.size();) {
        lastLen = FxCharLen(path.data(), i, path.size());
        last = i;
        i += static_cast<size_t>(lastLen);
    }
    return last != std::string::npos && lastLen == 1 && (path[last] == '\\' || path[last] == '/');
}

std::string FxPathWithSeparator(const std::string& path) {
    if (path.empty() || FxPathEndsWithSeparator(path))
        return path;
    return path + '\\';
}

std::string FxFullPathName(const std::string& path) {
    char full[260];
    return fxsys::FullPath(path.c_str(), full, sizeof full) ? std::string(full) : path;
}

bool FxSamePath(const std::string& a, const std::string& b) {
    return fxsys::SameTextNoCase(FxFullPathName(a).c_str(), FxFullPathName(b).c_str());
}
