// ANSI to UTF-16 through a table built once from the system conversion. Layer: search/.
#include "search/AnsiWide.h"

#include "common/LeadBytes.h"
#include "common/SysText.h"

#include <algorithm>

namespace {

const uint16_t kBad = 0xFFFD;
// A lead byte with no trail byte (at the end of a line) stands for itself as a unit that no
// character converts to, so that it matches only itself and converts back to the same byte.
const uint16_t kLoneLeadBase = 0xDC00;
// A pair that the code page does not define becomes two such units, the lead's and the trail's,
// so that it too matches only itself.
const uint16_t kBadTrailBase = 0xDD00;
const uint16_t kBadLeadBase = 0xDE00;

// units[b] for single bytes, units[lead << 8 | trail] for pairs.
struct UnitTable {
    std::vector<uint16_t> units;

    UnitTable() : units(65536, kBad) {
        FxEnsureLeadBytes();
        for (int b = 0; b < 256; ++b) {
            if (FxIsLeadByte(static_cast<unsigned char>(b)))
                continue;
            const char c = static_cast<char>(b);
            uint16_t w[2];
            if (b == 0)
                units[0] = 0;
            else if (fxsys::AnsiToWide(&c, 1, w, 2) == 1)
                units[static_cast<size_t>(b)] = w[0];
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
                if (k - start == 1)
                    units[static_cast<size_t>(lead << 8 | trail)] = out[start];
                ++trail;
                start = k + 1;
            }
        }
    }
};

const std::vector<uint16_t>& Units() {
    static const UnitTable table;
    return table.units;
}

} // namespace

uint16_t FxAnsiUnitAt(const char* text, int32_t i, int32_t len, int* charLen) {
    const std::vector<uint16_t>& units = Units();
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (!FxIsLeadByte(b)) {
        *charLen = 1;
        return units[b];
    }
    if (i + 1 >= len) {
        *charLen = 1;
        return static_cast<uint16_t>(kLoneLeadBase + b);
    }
    *charLen = 2;
    return units[static_cast<size_t>(b << 8 | static_cast<unsigned char>(text[i + 1]))];
}

void FxWideLine::Assign(const char* text, int32_t len) {
    const std::vector<uint16_t>& units = Units();
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
        const uint16_t u = FxAnsiUnitAt(text, i, len, &cl);
        if (u == kBad && cl == 2) {
            wide[k++] = static_cast<wchar_t>(kBadLeadBase + b);
            byteOf[k] = i + 1;
            wide[k++] =
                static_cast<wchar_t>(kBadTrailBase + static_cast<unsigned char>(text[i + 1]));
        } else {
            wide[k++] = static_cast<wchar_t>(u);
        }
        i += cl;
    }
    byteOf[k] = len;
    wide.resize(k);
    byteOf.resize(k + 1);
}

void FxWideLine::AssignUnits(const wchar_t* text, int32_t len) {
    wide.assign(text, text + len);
    byteOf.resize(static_cast<size_t>(len) + 1);
    for (int32_t k = 0; k <= len; ++k)
        byteOf[static_cast<size_t>(k)] = k;
}

int32_t FxWideLine::UnitAt(int32_t byteOffset) const {
    return static_cast<int32_t>(std::lower_bound(byteOf.begin(), byteOf.end(), byteOffset) -
                                byteOf.begin());
}

std::wstring FxAnsiToWideString(const char* text, int32_t len) {
    FxWideLine line;
    line.Assign(text, len);
    return std::wstring(line.wide.begin(), line.wide.end());
}

std::string FxWideToAnsiString(const wchar_t* text, size_t len) {
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
        if (u >= kLoneLeadBase + 0x80 && u <= kBadLeadBase + 0xFF) {
            flush();
            out += static_cast<char>(u & 0xFF);
        } else {
            run.push_back(u);
        }
    }
    flush();
    return out;
}
