// Syntax template reader. Layer: textview/.
#include "textview/SyntaxTemplate.h"

#include "textview/SyntaxText.h"

#include <cstdlib>
#include <cstring>

namespace {

void SkipSpaces(const char** p, const char* end) {
    while (*p < end && **p == ' ')
        ++*p;
}

// Matches `word` (any case) at *p and advances past it.
bool TakeWord(const char** p, const char* end, const char* word) {
    int n = static_cast<int>(std::strlen(word));
    if (end - *p < n || !SynEqualBytes(*p, word, n, false))
        return false;
    *p += n;
    return true;
}

} // namespace

void SyntaxTemplate::TrimLine(const char** p, int* len) {
    SynTrim(p, len);
}

bool SyntaxTemplate::Open(const char* path) {
    Close();
    m_file = fxsys::OpenForRead(path, nullptr);
    if (!m_file)
        return false;
    uint64_t size = 0;
    if (!fxsys::GetFileSize64(m_file, &size, nullptr) || size > 0x7FFFFFFF) {
        Close();
        return false;
    }
    if (size > 0 && !fxsys::MapFileReadOnly(m_file, size, m_map)) {
        Close();
        return false;
    }
    Split(static_cast<const char*>(m_map.base), size > 0 ? static_cast<size_t>(size) : 0);
    return true;
}

void SyntaxTemplate::SetText(const char* data, size_t size) {
    Close();
    Split(data, size);
}

void SyntaxTemplate::Close() {
    m_lines.clear();
    m_generalFirst = m_generalEnd = -1;
    if (m_map.base)
        fxsys::Unmap(m_map);
    m_map = fxsys::Mapping();
    if (m_file)
        fxsys::CloseFile(m_file);
    m_file = nullptr;
}

void SyntaxTemplate::Split(const char* data, size_t size) {
    if (size > 0x7FFFFFFF)
        size = 0;
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        if (q == end) {
            m_lines.push_back({p, static_cast<int>(q - p)});
            break;
        }
        if (*q == '\r' && q + 1 < end && q[1] == '\n') {
            m_lines.push_back({p, static_cast<int>(q - p)});
            p = q + 2;
        } else {
            // A lone CR or LF stays part of its line.
            m_lines.push_back({p, static_cast<int>(q + 1 - p)});
            p = q + 1;
        }
    }
    int count = static_cast<int>(m_lines.size());
    for (int i = 0; i < count; ++i) {
        const char* t = m_lines[i].text;
        int n = m_lines[i].len;
        TrimLine(&t, &n);
        if (n > 7 && StfIsSectionLine(t, n, "#General")) {
            m_generalFirst = i + 1;
            m_generalEnd = count;
            for (int j = i + 1; j < count; ++j) {
                const char* u = m_lines[j].text;
                int k = m_lines[j].len;
                TrimLine(&u, &k);
                if (StfIsSectionLine(u, k, "#Ends")) {
                    m_generalEnd = j;
                    break;
                }
            }
            break;
        }
    }
}

bool StfIsSectionLine(const char* text, int len, const char* name) {
    const char* p = text;
    const char* end = text + len;
    if (p == end || *p != '[')
        return false;
    ++p;
    SkipSpaces(&p, end);
    if (!TakeWord(&p, end, name))
        return false;
    SkipSpaces(&p, end);
    return p + 1 == end && *p == ']';
}

bool SyntaxTemplate::GetValue(const char* key, std::string& value) const {
    if (m_generalFirst < 0)
        return false;
    for (int i = m_generalFirst; i < m_generalEnd; ++i) {
        const char* p = m_lines[i].text;
        int n = m_lines[i].len;
        TrimLine(&p, &n);
        const char* end = p + n;
        if (!TakeWord(&p, end, key))
            continue;
        SkipSpaces(&p, end);
        if (p == end || *p != '=')
            continue;
        ++p;
        SkipSpaces(&p, end);
        value.assign(p, end);
        return true;
    }
    return false;
}

std::vector<StfGroup> SyntaxTemplate::Groups() const {
    std::vector<StfGroup> groups;
    int count = static_cast<int>(m_lines.size());
    for (int i = 0; i < count; ++i) {
        if (m_lines[i].len < 8)
            continue;
        const char* p = m_lines[i].text;
        int n = m_lines[i].len;
        TrimLine(&p, &n);
        StfGroup g;
        std::string colour;
        if (!StfParseGroupHeader(p, n, g.name, colour))
            continue;
        g.colour = StfParseColour(colour.c_str());
        g.first = i + 1;
        g.end = count;
        for (int j = i + 1; j < count; ++j) {
            const char* u = m_lines[j].text;
            int k = m_lines[j].len;
            TrimLine(&u, &k);
            if (StfIsSectionLine(u, k, "#Ends")) {
                g.end = j;
                break;
            }
        }
        i = g.end; // the next header is looked for after this group's end
        groups.push_back(std::move(g));
    }
    return groups;
}

bool StfParseQuoted(const char** p, const char* end, std::string& out) {
    const char* s = *p;
    if (s == end || *s != '"')
        return false;
    ++s;
    out.clear();
    int len = static_cast<int>(end - s);
    int i = 0;
    while (i < len) {
        char c = s[i];
        if (c == '\\' && i + 1 < len && (s[i + 1] == '"' || s[i + 1] == '\\')) {
            out += s[i + 1];
            i += 2;
            continue;
        }
        if (c == '"') {
            *p = s + i + 1;
            return true;
        }
        int n;
        SynCharAt(s, i, len, &n);
        out.append(s + i, static_cast<size_t>(n));
        i += n;
    }
    return false;
}

bool StfParseItem(const char** p, const char* end, const char* word, std::string& out) {
    const char* s = *p;
    SkipSpaces(&s, end);
    if (!TakeWord(&s, end, word))
        return false;
    SkipSpaces(&s, end);
    if (s == end || *s != '=')
        return false;
    ++s;
    SkipSpaces(&s, end);
    if (!StfParseQuoted(&s, end, out))
        return false;
    *p = s;
    return true;
}

namespace {

// The inside of a pair at *p (just after "{"): on-item, ",", off-item, optional spaces; leaves
// *p at what follows (the "}" when well formed).
bool ParsePairInside(const char** p, const char* end, std::string& on, std::string& off) {
    const char* s = *p;
    SkipSpaces(&s, end);
    if (!StfParseItem(&s, end, "on", on))
        return false;
    SkipSpaces(&s, end);
    if (s == end || *s != ',')
        return false;
    ++s;
    if (!StfParseItem(&s, end, "off", off))
        return false;
    SkipSpaces(&s, end);
    *p = s;
    return true;
}

} // namespace

bool StfParsePair(const char* text, int len, std::string& on, std::string& off) {
    SynTrim(&text, &len);
    if (len <= 14 || text[0] != '{' || text[len - 1] != '}')
        return false;
    const char* p = text + 1;
    const char* end = text + len - 1;
    if (!ParsePairInside(&p, end, on, off) || p != end)
        return false;
    return !on.empty() && !off.empty();
}

void StfParsePairList(const char* text, int len,
                      std::vector<std::pair<std::string, std::string>>& out) {
    SynTrim(&text, &len);
    const char* p = text;
    const char* end = text + len;
    for (;;) {
        SkipSpaces(&p, end);
        if (p == end || *p != '{')
            return;
        ++p;
        std::string on, off;
        if (!ParsePairInside(&p, end, on, off) || p == end || *p != '}')
            return;
        ++p;
        if (!on.empty() && !off.empty())
            out.emplace_back(std::move(on), std::move(off));
        SkipSpaces(&p, end);
        if (p == end || *p != ',')
            return;
        ++p;
    }
}

bool StfParseGroupHeader(const char* text, int len, std::string& name, std::string& colour) {
    if (len <= 26)
        return false;
    const char* p = text;
    const char* end = text + len;
    if (*p != '[')
        return false;
    ++p;
    SkipSpaces(&p, end);
    if (!TakeWord(&p, end, "#Keyword"))
        return false;
    SkipSpaces(&p, end);
    if (p == end || *p != ':')
        return false;
    ++p;
    if (!StfParseItem(&p, end, "name", name))
        return false;
    SkipSpaces(&p, end);
    if (p == end || *p != ',')
        return false;
    ++p;
    if (!StfParseItem(&p, end, "color", colour))
        return false;
    SkipSpaces(&p, end);
    return p + 1 == end && *p == ']';
}

uint32_t StfParseColour(const char* text) {
    if (text[0] != '#')
        return 0xFFFFFFFFu;
    char* stop = nullptr;
    unsigned long v = std::strtoul(text + 1, &stop, 16);
    if (stop == text + 1)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(v);
}
