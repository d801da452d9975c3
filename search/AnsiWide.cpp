// ANSI to UTF-16 through a table built once from the system conversion. Layer: search/.
#include "search/AnsiWide.h"

#include "common/LeadBytes.h"
#include "common/SysText.h"

#include <algorithm>

namespace {

const uint16_t kBad = 0xFFFD;
// A byte that stands alone (a lead byte with no trail byte at the end of a line, or a single
// byte the code page leaves undefined) is the unit 0xDC00 + byte: no character converts to it,
// so that it matches only itself and converts back to the same byte.
const uint16_t kLoneBase = 0xDC00;
const uint16_t kLoneFirst = 0xDC80, kLoneLast = 0xDCFF;
// The units of undefined pairs: the rest of the surrogate range.
const uint16_t kPairFirst = 0xD800;
const size_t kPairsBelowLone = kLoneFirst - kPairFirst;
const size_t kPairCapacity = 0x800 - (kLoneLast - kLoneFirst + 1);

uint16_t PairUnit(size_t index) {
    return static_cast<uint16_t>(
        index < kPairsBelowLone ? kPairFirst + index : kLoneLast + 1 + (index - kPairsBelowLone));
}

size_t PairIndex(uint16_t unit) {
    if (unit >= kPairFirst && unit < kLoneFirst)
        return unit - kPairFirst;
    if (unit > kLoneLast && unit <= 0xDFFF)
        return kPairsBelowLone + (unit - kLoneLast - 1);
    return kPairCapacity;
}

bool IsAsciiLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// units[b] for single bytes, units[lead << 8 | trail] for pairs: what the code page defines.
struct UnitTable {
    std::vector<uint16_t> units;
    std::vector<uint8_t> spellings; // per unit, up to 255
    bool foldsAlone[128];

    UnitTable() : units(65536, kBad), spellings(65536, 0) {
        FxEnsureLeadBytes();
        for (int b = 0; b < 256; ++b) {
            if (FxIsLeadByte(static_cast<unsigned char>(b)))
                continue;
            const char c = static_cast<char>(b);
            uint16_t w[2];
            if (b == 0)
                units[0] = 0;
            else if (fxsys::AnsiToWide(&c, 1, w, 2) == 1 && (b < 0x80 || w[0] >= 0x80))
                units[static_cast<size_t>(b)] = w[0]; // a byte above ASCII read as "?" is none
        }
        // One lead byte's row at a time: every pair followed by a newline, so that a pair the
        // code page rejects cannot shift the ones after it.
        std::vector<char> row;
        std::vector<uint16_t> out;
        for (int lead = 0x80; lead < 256; ++lead) {
            if (!FxIsLeadByte(static_cast<unsigned char>(lead)))
                continue;
            row.clear();
            for (int trail = 0x40; trail < 0xFF; ++trail) {
                row.push_back(static_cast<char>(lead));
                row.push_back(static_cast<char>(trail));
                row.push_back('\n');
            }
            const int n = fxsys::AnsiToWide(row.data(), static_cast<int>(row.size()), nullptr, 0);
            if (n <= 0)
                continue;
            out.assign(static_cast<size_t>(n), 0);
            fxsys::AnsiToWide(row.data(), static_cast<int>(row.size()), out.data(), n);
            int trail = 0x40;
            size_t start = 0;
            for (size_t k = 0; k < out.size() && trail < 0xFF; ++k) {
                if (out[k] != '\n')
                    continue;
                // A pair that converts to an ASCII character (the system's "?" for a pair it
                // does not know) is no character of the code page.
                if (k - start == 1 && out[start] >= 0x80)
                    units[static_cast<size_t>(lead << 8 | trail)] = out[start];
                ++trail;
                start = k + 1;
            }
        }
        // Spellings and case: every character the code page defines.
        for (size_t code = 0; code < units.size(); ++code) {
            const bool single = code < 256 && !FxIsLeadByte(static_cast<unsigned char>(code));
            const bool pair = code >= 256 && FxIsLeadByte(static_cast<unsigned char>(code >> 8));
            if ((!single && !pair) || units[code] == kBad)
                continue;
            uint8_t& n = spellings[units[code]];
            if (n < 255)
                ++n;
        }
        uint16_t asciiLower[128];
        for (int c = 0; c < 128; ++c) {
            foldsAlone[c] = true;
            asciiLower[c] = fxsys::LowerUnit(static_cast<uint16_t>(c));
        }
        for (size_t code = 0; code < units.size(); ++code) {
            const bool single = code < 256 && !FxIsLeadByte(static_cast<unsigned char>(code));
            const bool pair = code >= 256 && FxIsLeadByte(static_cast<unsigned char>(code >> 8));
            if ((!single && !pair) || units[code] == kBad || (single && code < 128))
                continue;
            // A character beyond ASCII that lower-cases like an ASCII one: that one is not alone.
            const uint16_t lower = fxsys::LowerUnit(units[code]);
            for (int c = 0; c < 128; ++c)
                if (asciiLower[c] == lower)
                    foldsAlone[c] = false;
        }
        // Within ASCII, only a letter's two cases may share their lower case.
        for (int c = 0; c < 128; ++c)
            for (int d = 0; d < 128; ++d)
                if (d != c && !(IsAsciiLetter(c) && d == (c ^ 0x20)) &&
                    asciiLower[c] == asciiLower[d])
                    foldsAlone[c] = false;
    }
};

const UnitTable& Table() {
    static const UnitTable table;
    return table;
}

} // namespace

uint16_t FxAnsiUnitAt(const char* text, int32_t i, int32_t len, int* charLen) {
    const std::vector<uint16_t>& units = Table().units;
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (!FxIsLeadByte(b)) {
        *charLen = 1;
        return units[b];
    }
    if (i + 1 >= len) {
        *charLen = 1;
        return static_cast<uint16_t>(kLoneBase + b);
    }
    *charLen = 2;
    return units[static_cast<size_t>(b << 8 | static_cast<unsigned char>(text[i + 1]))];
}

int FxAnsiSpellings(uint16_t unit) {
    return Table().spellings[unit];
}

bool FxAnsiFoldsAlone(unsigned char c) {
    return c < 128 && Table().foldsAlone[c];
}

uint16_t FxPairBook::UnitOf(unsigned char lead, unsigned char trail) {
    const uint16_t pair = static_cast<uint16_t>(lead << 8 | trail);
    const auto it = m_unit.find(pair);
    if (it != m_unit.end())
        return it->second;
    if (m_pairs.size() >= kPairCapacity)
        return kBad;
    const uint16_t unit = PairUnit(m_pairs.size());
    m_pairs.push_back(pair);
    m_unit.emplace(pair, unit);
    return unit;
}

bool FxPairBook::BytesOf(uint16_t unit, char* lead, char* trail) const {
    const size_t k = PairIndex(unit);
    if (k >= m_pairs.size())
        return false;
    *lead = static_cast<char>(m_pairs[k] >> 8);
    *trail = static_cast<char>(m_pairs[k] & 0xFF);
    return true;
}

void FxPairBook::Clear() {
    m_pairs.clear();
    m_unit.clear();
}

void FxWideLine::Assign(const char* text, int32_t len, const FxPairBook* seed) {
    if (seed && seed->Size())
        book = *seed;
    else if (book.Size())
        book.Clear();
    const std::vector<uint16_t>& units = Table().units;
    wide.resize(static_cast<size_t>(len));
    byteOf.resize(static_cast<size_t>(len) + 1);
    size_t k = 0;
    for (int32_t i = 0; i < len;) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        byteOf[k] = i;
        if (b < 0x80) {
            wide[k++] = static_cast<wchar_t>(units[b]);
            ++i;
            continue;
        }
        int cl;
        uint16_t u = FxAnsiUnitAt(text, i, len, &cl);
        if (u == kBad)
            u = cl == 2 ? book.UnitOf(b, static_cast<unsigned char>(text[i + 1]))
                        : static_cast<uint16_t>(kLoneBase + b);
        wide[k++] = static_cast<wchar_t>(u);
        i += cl;
    }
    byteOf[k] = len;
    wide.resize(k);
    byteOf.resize(k + 1);
}

void FxWideLine::AssignUnits(const wchar_t* text, int32_t len, const FxPairBook* seed) {
    if (seed && seed->Size())
        book = *seed;
    else if (book.Size())
        book.Clear();
    wide.assign(text, text + len);
    byteOf.resize(static_cast<size_t>(len) + 1);
    for (int32_t k = 0; k <= len; ++k)
        byteOf[static_cast<size_t>(k)] = k;
}

int32_t FxWideLine::UnitAt(int32_t byteOffset) const {
    return static_cast<int32_t>(std::lower_bound(byteOf.begin(), byteOf.end(), byteOffset) -
                                byteOf.begin());
}

std::string FxWideToAnsiString(const wchar_t* text, size_t len, const FxPairBook& book) {
    std::string out;
    std::vector<uint16_t> run;
    const auto flush = [&] {
        if (run.empty())
            return;
        const int units = static_cast<int>(run.size());
        const int n = fxsys::WideToAnsi(run.data(), units, nullptr, 0, nullptr);
        if (n > 0) {
            const size_t at = out.size();
            out.resize(at + static_cast<size_t>(n));
            fxsys::WideToAnsi(run.data(), units, &out[at], n, nullptr);
        }
        run.clear();
    };
    for (size_t i = 0; i < len; ++i) {
        const uint16_t u = static_cast<uint16_t>(text[i]);
        char lead, trail;
        if (u >= kLoneFirst && u <= kLoneLast) {
            flush();
            out += static_cast<char>(u & 0xFF);
        } else if (book.BytesOf(u, &lead, &trail)) {
            flush();
            out += lead;
            out += trail;
        } else {
            run.push_back(u);
        }
    }
    flush();
    return out;
}
