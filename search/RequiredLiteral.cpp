// Finding the required literal of a regular expression. Layer: search/.
#include "search/RequiredLiteral.h"

#include "common/LeadBytes.h"

#include <cctype>
#include <cstring>

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return c < 0x80 && std::isalnum(c);
}

// Skips a bracketed class starting at p[i] == '['; returns the index after its ']'.
int32_t SkipClass(const char* p, int32_t len, int32_t i) {
    ++i;
    if (i < len && p[i] == '^')
        ++i;
    if (i < len && p[i] == ']')
        ++i;
    while (i < len && p[i] != ']') {
        if (p[i] == '\\')
            i += 2;
        else if (p[i] == '[' && i + 1 < len &&
                 (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            const char close = p[i + 1];
            i += 2;
            while (i + 1 < len && !(p[i] == close && p[i + 1] == ']'))
                ++i;
            i += 2;
        } else {
            i += FxCharLen(p, static_cast<size_t>(i), static_cast<size_t>(len));
        }
    }
    return i + 1;
}

// Skips an escape starting at p[i] == '\\'; returns the index after it. *literal is set to the
// character it stands for when it is an escaped punctuation character, else to -1.
int32_t SkipEscape(const char* p, int32_t len, int32_t i, int* literal) {
    *literal = -1;
    if (i + 1 >= len)
        return len;
    const unsigned char n = static_cast<unsigned char>(p[i + 1]);
    i += 2;
    if (n >= 0x80)
        return i - 1 + FxCharLen(p, static_cast<size_t>(i - 1), static_cast<size_t>(len));
    if (!IsAsciiAlnum(n)) {
        *literal = n;
        return i;
    }
    if (i < len && (p[i] == '{' || p[i] == '<' || p[i] == '\'')) {
        const char close = p[i] == '{' ? '}' : p[i] == '<' ? '>' : '\'';
        while (i < len && p[i] != close)
            ++i;
        return i + 1;
    }
    if (n == 'x') {
        for (int k = 0; k < 2 && i < len && std::isxdigit(static_cast<unsigned char>(p[i])); ++k)
            ++i;
    } else if (n == 'c') {
        ++i;
    } else if (std::isdigit(n)) {
        while (i < len && std::isdigit(static_cast<unsigned char>(p[i])))
            ++i;
    }
    return i;
}

} // namespace

std::string FxRequiredLiteral(const char* p, int32_t len, bool matchCase) {
    if (!p || len <= 0)
        return std::string();
    if (std::strstr(std::string(p, static_cast<size_t>(len)).c_str(), "\\Q"))
        return std::string();
    std::string best, run;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (int32_t i = 0; i < len;) {
        std::string atom; // the literal bytes of this atom; empty when it is no literal
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '|')
            return std::string(); // an alternative at the top level
        if (c == '\\') {
            int lit;
            i = SkipEscape(p, len, i, &lit);
            if (lit >= 0)
                atom.assign(1, static_cast<char>(lit));
        } else if (c == '[') {
            // A class of one plain character is that character.
            const int32_t end = SkipClass(p, len, i);
            const int32_t inner = end - i - 2;
            if (inner >= 1 && inner <= 2 && p[i + 1] != '^' && p[i + 1] != '\\' &&
                p[i + 1] != '[' &&
                FxCharLen(p, static_cast<size_t>(i + 1), static_cast<size_t>(len)) == inner)
                atom.assign(p + i + 1, static_cast<size_t>(inner));
            i = end;
        } else if (c == '(') {
            if (i + 2 < len && p[i + 1] == '?' && std::strchr("imsx-^", p[i + 2]))
                return std::string(); // inline options change what follows
            int depth = 0;
            while (i < len) {
                if (p[i] == '\\') {
                    int lit;
                    i = SkipEscape(p, len, i, &lit);
                    continue;
                }
                if (p[i] == '[') {
                    i = SkipClass(p, len, i);
                    continue;
                }
                if (p[i] == '(')
                    ++depth;
                else if (p[i] == ')' && --depth == 0) {
                    ++i;
                    break;
                }
                i += FxCharLen(p, static_cast<size_t>(i), static_cast<size_t>(len));
            }
        } else if (c == '{') {
            while (i < len && p[i] != '}')
                ++i;
            ++i;
        } else if (c == '.' || c == '^' || c == '$' || c == ')' || c == '*' || c == '+' ||
                   c == '?') {
            ++i;
        } else {
            const int cl = FxCharLen(p, static_cast<size_t>(i), static_cast<size_t>(len));
            atom.assign(p + i, static_cast<size_t>(cl));
            i += cl;
        }
        if (!matchCase) {
            for (char& a : atom) {
                if (static_cast<unsigned char>(a) >= 0x80) {
                    atom.clear();
                    break;
                }
                a = static_cast<char>(std::tolower(static_cast<unsigned char>(a)));
            }
        }
        // A quantifier after the atom: ?, * and {m,n} may leave it out; + keeps one.
        bool optional = false, repeated = false;
        if (i < len) {
            const char q = p[i];
            if (q == '?' || q == '*' || q == '{') {
                optional = true;
            } else if (q == '+') {
                repeated = true;
            }
        }
        if (atom.empty() || optional) {
            endRun();
            continue;
        }
        run += atom;
        if (repeated)
            endRun();
    }
    endRun();
    return best;
}

namespace {

// The members of a class p[i] == '[' .. p[end - 1] == ']' when they are all printable ASCII
// characters or ranges of them; false for anything else (negation, escapes, named classes).
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
    return any;
}

} // namespace

std::vector<FxByteSet> FxRequiredClassRun(const char* p, int32_t len, bool matchCase) {
    std::vector<FxByteSet> best, run;
    if (!p || len <= 0)
        return best;
    if (std::strstr(std::string(p, static_cast<size_t>(len)).c_str(), "\\Q"))
        return best;
    const auto endRun = [&] {
        if (run.size() > best.size())
            best = run;
        run.clear();
    };
    for (int32_t i = 0; i < len;) {
        bool have = false;
        FxByteSet atom;
        atom.fill(false);
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '|')
            return std::vector<FxByteSet>(); // an alternative at the top level
        if (c == '\\') {
            int lit;
            i = SkipEscape(p, len, i, &lit);
            if (lit >= 0 && lit < 0x80) {
                atom[static_cast<unsigned char>(lit)] = true;
                have = true;
            }
        } else if (c == '[') {
            const int32_t end = SkipClass(p, len, i);
            have = matchCase && end <= len && AsciiClassSet(p, i, end, &atom);
            i = end;
        } else if (c == '(') {
            if (i + 2 < len && p[i + 1] == '?' && std::strchr("imsx-^", p[i + 2]))
                return std::vector<FxByteSet>(); // inline options change what follows
            int depth = 0;
            while (i < len) {
                if (p[i] == '\\') {
                    int lit;
                    i = SkipEscape(p, len, i, &lit);
                    continue;
                }
                if (p[i] == '[') {
                    i = SkipClass(p, len, i);
                    continue;
                }
                if (p[i] == '(')
                    ++depth;
                else if (p[i] == ')' && --depth == 0) {
                    ++i;
                    break;
                }
                i += FxCharLen(p, static_cast<size_t>(i), static_cast<size_t>(len));
            }
        } else if (c == '{') {
            while (i < len && p[i] != '}')
                ++i;
            ++i;
        } else if (c == '.' || c == '^' || c == '$' || c == ')' || c == '*' || c == '+' ||
                   c == '?') {
            ++i;
        } else {
            const int cl = FxCharLen(p, static_cast<size_t>(i), static_cast<size_t>(len));
            if (cl == 1 && c < 0x80) {
                atom[c] = true;
                have = true;
            }
            i += cl;
        }
        if (have && !matchCase) {
            // A letter in either case; any other member stands for itself.
            for (int ch = 'a'; ch <= 'z'; ++ch)
                if (atom[static_cast<size_t>(ch)] || atom[static_cast<size_t>(ch - 0x20)])
                    atom[static_cast<size_t>(ch)] = atom[static_cast<size_t>(ch - 0x20)] = true;
        }
        bool optional = false, repeated = false;
        if (i < len) {
            const char q = p[i];
            if (q == '?' || q == '*' || q == '{')
                optional = true;
            else if (q == '+')
                repeated = true;
        }
        if (!have || optional) {
            endRun();
            continue;
        }
        run.push_back(atom);
        if (repeated)
            endRun();
    }
    endRun();
    return best;
}
