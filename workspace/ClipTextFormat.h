// The clip text library file: reading its title and named snippets from the bytes of a "*.CTF"
// file, and writing a library back as the exact bytes the program always produces.
// Layer: workspace/ (plain bytes, no windows; also built for the native tests).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The bytes a library keeps of each piece: the title and a body are cut at 4095 bytes, a name
// at 259. The record of an offered library holds at most 259 bytes of its title. A rename and a
// body edit store no more than reading keeps, so that the program's own save reads back whole.
const size_t kClipTitleMax = 4095;
const size_t kClipNameMax = 259;
const size_t kClipBodyMax = 4095;
const size_t kClipRecordTitleMax = 259;

struct ClipItem {
    std::string name;
    std::string body;
};

// What reading found. A library whose text was not kept whole (a name or body cut to its
// limit, or a last item without its end line, which is dropped) names the first such item, so
// that nobody rewrites it in its cut form without being asked.
struct ClipLibraryText {
    enum Damage { kWhole = 0, kNameCut, kBodyCut, kEndMissing };

    std::string title; // empty: no title, the library is not offered
    std::vector<ClipItem> items;
    Damage damage = kWhole;
    std::string damagedItem; // the name of the first item not kept whole

    bool IsWhole() const { return damage == kWhole; }
};

// Reads a library from its bytes. Lines end after CR LF, a lone CR or a lone LF; keywords are
// matched without regard to case after leading blanks (spaces and tabs); bodies are verbatim.
ClipLibraryText ParseClipLibrary(const char* data, size_t len);
inline ClipLibraryText ParseClipLibrary(const std::string& bytes) {
    return ParseClipLibrary(bytes.data(), bytes.size());
}

// Only the title, as ParseClipLibrary finds it, without keeping the items: reading stops at
// the title line.
std::string ParseClipTitle(const char* data, size_t len);

// The file's bytes: the header (the resource text that explains the format), CR LF, the
// title line and a blank line, then each item as "#BEGIN=" name, its body when not empty, and
// "#END", every line ending in CR LF.
std::string FormatClipLibrary(const std::string& header, const std::string& title,
                              const std::vector<ClipItem>& items);

// The longest start of text of at most `limit` bytes that ends on a character boundary of the
// system code page.
std::string ClipCut(const std::string& text, size_t limit);

// What a "#TITLE" or "#BEGIN" line keeps of a value: the text up to its first line break,
// without surrounding blanks (spaces and tabs), cut on a character boundary at `limit`, and
// without the blanks such a cut can leave at its end. Written and read again it comes back
// unchanged; a value of blanks alone is empty.
std::string ClipLineValue(const char* text, size_t len, size_t limit);
inline std::string ClipLineValue(const std::string& text, size_t limit) {
    return ClipLineValue(text.data(), text.size(), limit);
}

// Compares two names as the list sorts them: without regard to case of single-byte letters,
// double-byte characters compared whole by their bytes. Negative, 0 or positive.
int ClipCompareNames(const std::string& a, const std::string& b);
// The name with its single-byte letters in lower case: keys compared byte by byte (unsigned)
// order as ClipCompareNames does.
std::string ClipSortKey(const std::string& name);
