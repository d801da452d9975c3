// Finding the required literal of a regular expression. Layer: search/.
#include "search/RequiredLiteral.h"

#include "common/LeadBytes.h"
#include "search/AnsiWide.h"

#include <cctype>
#include <cstring>

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return c < 0x80 && std::isalnum(c);
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// One element of the pattern at its top level, as the matching library reads it.
struct Atom {
    enum Kind { Other, Char, Class } kind = Other;
    std::string bytes;          // Char: the bytes of the character
    int32_t start = 0, end = 0; // Class: p[start] == '[' .. p[end - 1] == ']'
    bool optional = false;      // a quantifier may leave it out (?, *, {m,n})
    bool repeated = false;      // a quantifier repeats it (+)
};

// Reads a pattern the way the matching library does, as far as the prefilter needs it: the
// characters and classes of the top level with their quantifiers. Everything else (escapes that
// are no character, groups, assertions) becomes an Other atom that no match need hold. Gives up
// (false) on whatever could make the top level's atoms unneeded or read differently:
// alternatives at the top level, inline options (free spacing changes what a "#" and a blank
// are), verbs such as (*ACCEPT), \Q...\E, and escapes inside classes whose length depends on
// what follows them.
class PatternReader {
public:
    PatternReader(const char* p, int32_t len) : m_p(p), m_len(len) {}

    bool Read(std::vector<Atom>* atoms) {
        for (int32_t i = 0; i < m_len;) {
            Atom a;
            const unsigned char c = Byte(i);
            if (c == '|')
                return false; // an alternative at the top level
            if (c == '\\') {
                int lit;
                if (!SkipEscape(i, &i, &lit))
                    return false;
                if (lit >= 0) {
                    a.kind = Atom::Char;
                    a.bytes.assign(1, static_cast<char>(lit));
                }
            } else if (c == '[') {
                a.start = i;
                if (!SkipClass(i, &i))
                    return false;
                a.end = i;
                a.kind = Atom::Class;
            } else if (c == '(') {
                if (!SkipGroup(i, &i))
                    return false;
            } else if (c == '{') {
                i = IsRange(i) ? RangeEnd(i) : i + 1;
            } else if (c == '.' || c == '^' || c == '$' || c == ')' || c == '*' || c == '+' ||
                       c == '?') {
                ++i;
            } else {
                const int cl = FxCharLen(m_p, static_cast<size_t>(i), static_cast<size_t>(m_len));
                a.kind = Atom::Char;
                a.bytes.assign(m_p + i, static_cast<size_t>(cl));
                i += cl;
            }
            // A quantifier after the atom: ?, * and {m,n} may leave it out; + keeps one.
            if (i < m_len) {
                const unsigned char q = Byte(i);
                if (q == '?' || q == '*' || (q == '{' && IsRange(i)))
                    a.optional = true;
                else if (q == '+')
                    a.repeated = true;
            }
            atoms->push_back(a);
        }
        return true;
    }

private:
    unsigned char Byte(int32_t i) const { return static_cast<unsigned char>(m_p[i]); }
    int32_t CharEnd(int32_t i) const {
        return i + FxCharLen(m_p, static_cast<size_t>(i), static_cast<size_t>(m_len));
    }
    // The index after the first `close` at or after i (the pattern's end when there is none).
    int32_t After(int32_t i, char close) const {
        while (i < m_len && m_p[i] != close)
            i = CharEnd(i);
        return i < m_len ? i + 1 : m_len;
    }

    // A repeat range at p[i] == '{': digits, commas and blanks up to a "}". Any double-byte
    // character counts, since a full-width blank or digit may be read as one; a brace that the
    // library takes for a literal character instead is then passed over, which is safe.
    bool IsRange(int32_t i) const {
        for (++i; i < m_len; i = CharEnd(i)) {
            const unsigned char c = Byte(i);
            if (c == '}')
                return true;
            if (!(IsDigit(c) || c == ',' || c <= 0x20 ||
                  FxCharLen(m_p, static_cast<size_t>(i), static_cast<size_t>(m_len)) == 2))
                return false;
        }
        return false;
    }
    int32_t RangeEnd(int32_t i) const { return After(i, '}'); }

    // An escape at p[i] == '\\': *next is the index after it, *literal the byte it stands for
    // when it is an escaped punctuation character that matches itself, else -1. The lengths are
    // the library's: \x{..} or two hex digits, \c and one character, \0 and three octal digits,
    // \g and \k with a name in braces, angle brackets or quotes or a number, \p and \P with a
    // name in braces or one letter, \N{..}. False for \Q.
    bool SkipEscape(int32_t i, int32_t* next, int* literal) const {
        *literal = -1;
        if (i + 1 >= m_len) {
            *next = m_len;
            return true;
        }
        const unsigned char n = Byte(i + 1);
        int32_t k = i + 2;
        if (n >= 0x80) {
            k = CharEnd(i + 1);
        } else if (!IsAsciiAlnum(n)) {
            // \< \> \` \' are assertions; every other escaped punctuation is itself.
            if (n != '<' && n != '>' && n != '`' && n != '\'')
                *literal = n;
        } else if (n == 'Q') {
            return false;
        } else if (n == 'x') {
            if (k < m_len && m_p[k] == '{')
                k = After(k, '}');
            else
                for (int d = 0; d < 2 && k < m_len && std::isxdigit(Byte(k)); ++d)
                    ++k;
        } else if (n == 'c') {
            if (k < m_len)
                k = CharEnd(k);
        } else if (n == '0') {
            for (int d = 0; d < 3 && k < m_len && Byte(k) >= '0' && Byte(k) <= '7'; ++d)
                ++k;
        } else if (IsDigit(n)) {
            while (k < m_len && IsDigit(Byte(k)))
                ++k;
        } else if (n == 'g' || n == 'k') {
            if (k < m_len && (m_p[k] == '{' || m_p[k] == '<' || m_p[k] == '\'')) {
                const char open = m_p[k];
                k = After(k + 1, open == '{' ? '}' : open == '<' ? '>' : '\'');
            } else {
                if (k < m_len && m_p[k] == '-')
                    ++k;
                while (k < m_len && IsDigit(Byte(k)))
                    ++k;
            }
        } else if (n == 'p' || n == 'P') {
            if (k < m_len && m_p[k] == '{')
                k = After(k, '}');
            else if (k < m_len)
                k = CharEnd(k);
        } else if (n == 'N') {
            if (k < m_len && m_p[k] == '{')
                k = After(k, '}');
        }
        *next = k;
        return true;
    }

    // A class at p[i] == '['; *next is the index after its "]". Inside a class only escapes of
    // one character are read (punctuation, a double-byte character, and the letters that stand
    // alone); any other escape gives up, since the library may read more after it than here and
    // then close the class elsewhere.
    bool SkipClass(int32_t i, int32_t* next) const {
        ++i;
        if (i < m_len && m_p[i] == '^')
            ++i;
        if (i < m_len && m_p[i] == ']')
            ++i;
        while (i < m_len && m_p[i] != ']') {
            if (m_p[i] == '\\') {
                if (i + 1 >= m_len)
                    return false;
                const unsigned char n = Byte(i + 1);
                if (n >= 0x80) {
                    i = CharEnd(i + 1);
                    continue;
                }
                if (IsAsciiAlnum(n) && (IsDigit(n) || std::strchr("xcNpPQEgk", n)))
                    return false;
                i += 2;
            } else if (m_p[i] == '[' && i + 1 < m_len &&
                       (m_p[i + 1] == ':' || m_p[i + 1] == '.' || m_p[i + 1] == '=')) {
                const char close = m_p[i + 1];
                i += 2;
                while (i + 1 < m_len && !(m_p[i] == close && m_p[i + 1] == ']'))
                    i = CharEnd(i);
                i += 2;
            } else {
                i = CharEnd(i);
            }
        }
        if (i >= m_len)
            return false; // unclosed: the library refuses it
        *next = i + 1;
        return true;
    }

    // A group at p[i] == '(' with everything in it, to the ")" that closes it. A comment (?#..)
    // ends at its first ")", as the library reads it. False for verbs and inline options.
    bool SkipGroup(int32_t i, int32_t* next) const {
        int depth = 0;
        while (i < m_len) {
            const char c = m_p[i];
            if (c == '\\') {
                int lit;
                if (!SkipEscape(i, &i, &lit))
                    return false;
                continue;
            }
            if (c == '[') {
                if (!SkipClass(i, &i))
                    return false;
                continue;
            }
            if (c == '(') {
                if (i + 1 < m_len && m_p[i + 1] == '*')
                    return false; // a verb: (*ACCEPT) ends a match wherever it stands
                if (i + 2 < m_len && m_p[i + 1] == '?') {
                    if (m_p[i + 2] == '#') {
                        i = After(i + 3, ')');
                        if (depth == 0) {
                            *next = i;
                            return true;
                        }
                        continue;
                    }
                    if (std::strchr("imsxn-^", m_p[i + 2]))
                        return false; // inline options
                }
                ++depth;
            } else if (c == ')' && --depth == 0) {
                *next = i + 1;
                return true;
            }
            i = CharEnd(i);
        }
        *next = m_len;
        return true;
    }

    const char* m_p;
    int32_t m_len;
};

// The bytes a required character is found as in a line, or empty when a match may hold it in
// other bytes: a character the code page spells more than one way, or without match case a
// character other than an ASCII letter or sign that only its own cases fold to. Without match
// case a letter is given in lower case.
std::string RequiredBytes(const std::string& ch, bool matchCase) {
    int cl = 1;
    const uint16_t unit = FxAnsiUnitAt(ch.data(), 0, static_cast<int32_t>(ch.size()), &cl);
    const bool ownUnit = unit == 0xFFFD || (unit >= 0xDC80 && unit <= 0xDCFF);
    if (matchCase)
        return ownUnit || FxAnsiSpellings(unit) == 1 ? ch : std::string();
    const unsigned char c = static_cast<unsigned char>(ch[0]);
    if (ch.size() != 1 || c >= 0x80 || !FxAnsiFoldsAlone(c))
        return std::string();
    return std::string(1, static_cast<char>(std::tolower(c)));
}

bool ReadPattern(const char* p, int32_t len, std::vector<Atom>* atoms) {
    if (!p || len <= 0)
        return false;
    return PatternReader(p, len).Read(atoms);
}

} // namespace

std::string FxRequiredLiteral(const char* p, int32_t len, bool matchCase) {
    std::vector<Atom> atoms;
    if (!ReadPattern(p, len, &atoms))
        return std::string();
    std::string best, run;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (const Atom& a : atoms) {
        std::string bytes;
        if (a.kind == Atom::Char) {
            bytes = RequiredBytes(a.bytes, matchCase);
        } else if (a.kind == Atom::Class) {
            // A class of one plain character is that character.
            const int32_t inner = a.end - a.start - 2;
            const unsigned char first = static_cast<unsigned char>(p[a.start + 1]);
            if (inner >= 1 && inner <= 2 && first != '^' && first != '\\' && first != '[' &&
                FxCharLen(p, static_cast<size_t>(a.start + 1), static_cast<size_t>(len)) == inner)
                bytes = RequiredBytes(std::string(p + a.start + 1, static_cast<size_t>(inner)),
                                      matchCase);
        }
        if (bytes.empty() || a.optional) {
            endRun();
            continue;
        }
        run += bytes;
        if (a.repeated)
            endRun();
    }
    endRun();
    return best;
}

namespace {

// The members of a class p[i] == '[' .. p[end - 1] == ']' when they are all printable ASCII
// characters or ranges of them, each spelled only as its own byte; false for anything else
// (negation, escapes, named classes).
bool AsciiClassSet(const char* p, int32_t i, int32_t end, FxByteSet* set) {
    set->fill(false);
    int32_t k = i + 1;
    const int32_t close = end - 1;
    if (k >= close || p[k] == '^')
        return false;
    bool any = false;
    while (k < close) {
        const unsigned char a = static_cast<unsigned char>(p[k]);
        if (a < 0x20 || a >= 0x7F || a == '\\' || a == '[')
            return false;
        if (k + 2 < close && p[k + 1] == '-') {
            const unsigned char b = static_cast<unsigned char>(p[k + 2]);
            if (b < 0x20 || b >= 0x7F || b == '\\' || b == '[' || b < a)
                return false;
            for (unsigned c = a; c <= b; ++c)
                (*set)[c] = true;
            k += 3;
        } else {
            (*set)[a] = true;
            ++k;
        }
        any = true;
    }
    for (unsigned c = 0; c < 0x80; ++c) {
        const char ch = static_cast<char>(c);
        int cl;
        if ((*set)[c] && FxAnsiSpellings(FxAnsiUnitAt(&ch, 0, 1, &cl)) != 1)
            return false;
    }
    return any;
}

} // namespace

std::vector<FxByteSet> FxRequiredClassRun(const char* p, int32_t len, bool matchCase) {
    std::vector<FxByteSet> best, run;
    std::vector<Atom> atoms;
    if (!ReadPattern(p, len, &atoms))
        return best;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (const Atom& a : atoms) {
        bool have = false;
        FxByteSet set;
        set.fill(false);
        if (a.kind == Atom::Char) {
            const std::string bytes = RequiredBytes(a.bytes, matchCase);
            const unsigned char c = static_cast<unsigned char>(bytes.empty() ? 0 : bytes[0]);
            if (bytes.size() == 1 && c < 0x80) {
                set[c] = true;
                have = true;
                // Without match case a letter in either case.
                if (!matchCase && c >= 'a' && c <= 'z')
                    set[static_cast<size_t>(c - 0x20)] = true;
            }
        } else if (a.kind == Atom::Class) {
            have = matchCase && AsciiClassSet(p, a.start, a.end, &set);
        }
        if (!have || a.optional) {
            endRun();
            continue;
        }
        run.push_back(set);
        if (a.repeated)
            endRun();
    }
    endRun();
    return best;
}
