// String table access and formatting helpers. Layer: framework/.
#include "framework/ResourceText.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
HINSTANCE g_resourceHandle = nullptr;
}

HINSTANCE AfxGetResourceHandle() {
    return g_resourceHandle ? g_resourceHandle : GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE inst) {
    g_resourceHandle = inst;
}

std::string AfxLoadString(UINT id) {
    // LoadStringA cannot tell how long a string is, so grow until it fits.
    std::vector<char> buf(256);
    for (;;) {
        int len = LoadStringA(AfxGetResourceHandle(), id, buf.data(), static_cast<int>(buf.size()));
        if (len <= 0)
            return std::string();
        if (len < static_cast<int>(buf.size()) - 2)
            return std::string(buf.data(), static_cast<size_t>(len));
        buf.resize(buf.size() * 2);
    }
}

std::string AfxLoadStringOr(UINT id, const char* fallback) {
    std::string text = AfxLoadString(id);
    return text.empty() ? std::string(fallback) : text;
}

std::string AfxFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int len = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (len > 0) {
        out.resize(static_cast<size_t>(len) + 1);
        std::vsnprintf(&out[0], out.size(), format, args);
        out.resize(static_cast<size_t>(len));
    }
    va_end(args);
    return out;
}

std::string AfxFormatString1(UINT id, const char* arg) {
    std::string format = AfxLoadString(id);
    if (format.empty())
        return std::string(arg ? arg : "");
    return AfxFormat(format.c_str(), arg ? arg : "");
}

std::string AfxSystemErrorText(DWORD osError) {
    char* text = nullptr;
    DWORD len = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                   FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, osError, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out;
    if (len && text) {
        out.assign(text, len);
        LocalFree(text);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    if (out.empty())
        out = AfxFormat("%lu", static_cast<unsigned long>(osError));
    return out;
}
