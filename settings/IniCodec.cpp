// NumberList and FieldRecord. Layer: settings/.
#include "settings/IniCodec.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool ScanInt(const char* text, size_t maxLen, int* value) {
    size_t i = 0;
    while (i < maxLen && (IsBlank(text[i]) || text[i] == '\r' || text[i] == '\n'))
        ++i;
    bool negative = false;
    if (i < maxLen && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t v = 0;
    size_t digits = 0;
    while (i < maxLen && text[i] >= '0' && text[i] <= '9') {
        if (v < (int64_t(1) << 40))
            v = v * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    if (!digits)
        return false;
    if (negative)
        v = -v;
    if (v > INT32_MAX)
        v = INT32_MAX;
    if (v < INT32_MIN)
        v = INT32_MIN;
    *value = static_cast<int>(v);
    return true;
}

namespace NumberList {

std::string Format(const std::vector<int>& values) {
    std::string s;
    char buf[16];
    for (int v : values) {
        std::snprintf(buf, sizeof buf, "%d,", v);
        s += buf;
    }
    while (!s.empty() && (s.back() == ',' || IsBlank(s.back())))
        s.pop_back();
    size_t lead = 0;
    while (lead < s.size() && IsBlank(s[lead]))
        ++lead;
    return s.substr(lead);
}

std::vector<int> Parse(const char* text) {
    std::vector<int> out;
    if (!text)
        return out;
    std::string s = text;
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    s = s.substr(b, e - b) + ",";
    size_t p = 0;
    for (;;) {
        while (p < s.size() && (IsBlank(s[p]) || s[p] == ','))
            ++p;
        if (p >= s.size())
            break;
        size_t comma = s.find(',', p);
        size_t len = comma - p;
        int v;
        if (!ScanInt(s.data() + p, len < 15 ? len : 15, &v))
            break;
        out.push_back(v);
        p = comma + 1;
    }
    return out;
}

} // namespace NumberList

FieldRecord& FieldRecord::Add(const char* name, const std::string& value) {
    if (!m_text.empty())
        m_text += '|';
    m_text += '"';
    m_text += name;
    m_text += "\"=";
    m_text += value;
    return *this;
}

FieldRecord& FieldRecord::Add(const char* name, int value) {
    return Add(name, std::to_string(value));
}

bool FieldRecord::GetString(const char* text, const char* name, std::string& value) {
    std::string quoted = std::string("\"") + name + "\"";
    const char* p = std::strstr(text, quoted.c_str());
    if (!p)
        return false;
    p += quoted.size();
    while (IsBlank(*p))
        ++p;
    if (*p != '=')
        return false;
    ++p;
    while (IsBlank(*p))
        ++p;
    const char* end = std::strchr(p, '|');
    value.assign(p, end ? end : p + std::strlen(p));
    return true;
}

int FieldRecord::GetInt(const char* text, const char* name, int def) {
    std::string v;
    int n;
    if (!GetString(text, name, v) || !ScanInt(v.c_str(), v.size(), &n))
        return def;
    return n;
}

bool FieldRecord::GetBool(const char* text, const char* name, bool def) {
    return GetInt(text, name, def ? 1 : 0) != 0;
}
