// Reading and writing clip text library files. Layer: workspace/ (plain bytes).
#include "workspace/ClipTextFormat.h"

#include "common/LeadBytes.h"

#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// One line of the file: its content [begin, end) without the line break, and where the next
// line starts. The break is CR LF, a lone CR or a lone LF; [end, next) holds it.
struct Line {
    size_t begin, end, next;
};

Line NextLine(const char* data, size_t len, size_t at) {
    // The first LF, then the first CR before it: two memchr runs instead of a byte loop.
    const char* lf = static_cast<const char*>(std::memchr(data + at, '\n', len - at));
    size_t i = lf ? static_cast<size_t>(lf - data) : len;
    if (const void* cr = std::memchr(data + at, '\r', i - at))
        i = static_cast<size_t>(static_cast<const char*>(cr) - data);
    Line line{at, i, i};
    if (i < len) {
        line.next = (data[i] == '\r' && i + 1 < len && data[i + 1] == '\n') ? i + 2 : i + 1;
    }
    return line;
}

// After leading blanks, does the line start with the keyword (upper case given)?
bool StartsWithKeyword(const char* data, const Line& line, const char* keyword, size_t* after) {
    size_t i = line.begin;
    while (i < line.end && IsBlank(data[i]))
        ++i;
    const size_t n = std::strlen(keyword);
    if (line.end - i < n)
        return false;
    for (size_t k = 0; k < n; ++k)
        if (LowerAscii(data[i + k]) != LowerAscii(keyword[k]))
            return false;
    *after = i + n;
    return true;
}

// The value after a keyword: blanks, "=", blanks, the rest less its trailing blanks. False when
// there is no "=" (the value is then empty too).
bool KeywordValue(const char* data, const Line& line, size_t at, size_t* vBegin, size_t* vEnd) {
    size_t i = at;
    while (i < line.end && IsBlank(data[i]))
        ++i;
    if (i >= line.end || data[i] != '=')
        return false;
    ++i;
    while (i < line.end && IsBlank(data[i]))
        ++i;
    size_t e = line.end;
    while (e > i && IsBlank(data[e - 1]))
        --e;
    *vBegin = i;
    *vEnd = e;
    return true;
}

// Is the line's whole content, less surrounding blanks, the end keyword?
bool IsEndLine(const char* data, const Line& line) {
    size_t b = line.begin, e = line.end;
    while (b < e && IsBlank(data[b]))
        ++b;
    while (e > b && IsBlank(data[e - 1]))
        --e;
    static const char kEnd[] = "#end";
    if (e - b != 4)
        return false;
    for (size_t k = 0; k < 4; ++k)
        if (LowerAscii(data[b + k]) != kEnd[k])
            return false;
    return true;
}

void MarkDamage(ClipLibraryText& lib, ClipLibraryText::Damage kind, const std::string& name) {
    if (lib.damage == ClipLibraryText::kWhole) {
        lib.damage = kind;
        lib.damagedItem = name;
    }
}

} // namespace

std::string ClipCut(const std::string& text, size_t limit) {
    return text.substr(0, FxCutLength(text.data(), text.size(), limit));
}

std::string ClipLineValue(const char* text, size_t len, size_t limit) {
    // CR, LF, space and tab lie below every trail byte (0x40 and up), so none of them found
    // here is the second half of a double-byte character.
    size_t end = 0;
    while (end < len && text[end] != '\r' && text[end] != '\n')
        ++end;
    size_t begin = 0;
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    end = begin + FxCutLength(text + begin, end - begin, limit);
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return std::string(text + begin, end - begin);
}

namespace {

// Reads the library; with titleOnly it stops at the title line, leaving the items out.
ClipLibraryText Parse(const char* data, size_t len, bool titleOnly) {
    ClipLibraryText lib;
    bool titleSeen = false;
    size_t at = 0;
    while (at < len) {
        const Line line = NextLine(data, len, at);
        at = line.next;
        size_t after = 0, vb = 0, ve = 0;
        if (!titleSeen && StartsWithKeyword(data, line, "#TITLE", &after)) {
            // Only the first title line counts, even one without a value.
            titleSeen = true;
            if (KeywordValue(data, line, after, &vb, &ve))
                lib.title = ClipLineValue(data + vb, ve - vb, kClipTitleMax);
            if (titleOnly)
                break;
            continue;
        }
        if (!StartsWithKeyword(data, line, "#BEGIN", &after))
            continue;
        if (!KeywordValue(data, line, after, &vb, &ve) || vb == ve)
            continue; // no name: the search goes on with the next line
        ClipItem item;
        // A name cut at its limit loses the blanks the cut leaves at its end too, as writing it
        // and reading it again would.
        item.name = ClipLineValue(data + vb, ve - vb, kClipNameMax);
        const bool nameCut = item.name.size() < ve - vb;
        // The body runs from the next line to the end line's start, less the break before it.
        const size_t bodyBegin = at;
        bool ended = false;
        size_t bodyEnd = bodyBegin;
        size_t prevBreak = 0; // the length of the break before the current line
        while (at < len) {
            const Line body = NextLine(data, len, at);
            if (IsEndLine(data, body)) {
                bodyEnd = body.begin - prevBreak;
                at = body.next;
                ended = true;
                break;
            }
            prevBreak = body.next - body.end;
            at = body.next;
        }
        if (!ended) {
            // The last item has no end line: it is dropped and reading stops.
            MarkDamage(lib, ClipLibraryText::kEndMissing, item.name);
            break;
        }
        if (bodyEnd < bodyBegin)
            bodyEnd = bodyBegin;
        const size_t bodyLen = FxCutLength(data + bodyBegin, bodyEnd - bodyBegin, kClipBodyMax);
        item.body.assign(data + bodyBegin, bodyLen);
        if (nameCut)
            MarkDamage(lib, ClipLibraryText::kNameCut, item.name);
        else if (bodyLen < bodyEnd - bodyBegin)
            MarkDamage(lib, ClipLibraryText::kBodyCut, item.name);
        if (!titleOnly)
            lib.items.push_back(std::move(item));
    }
    if (titleOnly) {
        lib.items.clear();
        lib.damage = ClipLibraryText::kWhole;
        lib.damagedItem.clear();
    }
    return lib;
}

} // namespace

ClipLibraryText ParseClipLibrary(const char* data, size_t len) {
    return Parse(data, len, false);
}

std::string ParseClipTitle(const char* data, size_t len) {
    return Parse(data, len, true).title;
}

std::string FormatClipLibrary(const std::string& header, const std::string& title,
                              const std::vector<ClipItem>& items) {
    size_t size = header.size() + title.size() + 16;
    for (const ClipItem& item : items)
        size += item.name.size() + item.body.size() + 20;
    std::string out;
    out.reserve(size);
    out += header;
    out += "\r\n";
    out += "#TITLE=";
    out += title;
    out += "\r\n\r\n";
    for (const ClipItem& item : items) {
        out += "#BEGIN=";
        out += item.name;
        out += "\r\n";
        if (!item.body.empty()) {
            out += item.body;
            out += "\r\n";
        }
        out += "#END\r\n";
    }
    return out;
}

int ClipCompareNames(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n) {
        // A double-byte character is compared whole, by its bytes; a trail byte is never folded.
        const int step = FxCharLen(a.data(), i, a.size());
        for (int k = 0; k < step && i < n; ++k, ++i) {
            unsigned char ca = static_cast<unsigned char>(a[i]);
            unsigned char cb = static_cast<unsigned char>(b[i]);
            if (step == 1) {
                ca = static_cast<unsigned char>(LowerAscii(static_cast<char>(ca)));
                cb = static_cast<unsigned char>(LowerAscii(static_cast<char>(cb)));
            }
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string ClipSortKey(const std::string& name) {
    std::string key = name;
    const size_t len = key.size();
    for (size_t i = 0; i < len;) {
        const int step = FxCharLen(key.data(), i, len);
        if (step == 1)
            key[i] = LowerAscii(key[i]);
        i += static_cast<size_t>(step);
    }
    return key;
}
