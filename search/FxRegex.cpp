// The regular-expression engine: a recursive-descent parser to a small tree, a compiler to a
// backtracking program, and the program's interpreter with a step budget. Layer: search/.
#include "search/FxRegex.h"

#include "search/SearchErrors.h"
#include "textdoc/Dbcs.h"

#include <cstring>

uint16_t FxCharCodeAt(const char* text, int32_t i, int32_t len, int* charLen) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (i + 1 < len && FxIsLeadByte(b)) {
        *charLen = 2;
        return static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(text[i + 1]));
    }
    *charLen = 1;
    return b;
}

int32_t FxCharStartBefore(const char* text, int32_t pos, int32_t len) {
    // Any byte that is not a lead byte ends a character, so a run of lead-byte values starts on
    // a boundary and pairs up from there.
    (void)len;
    const auto lead = [&](int32_t i) { return FxIsLeadByte(static_cast<unsigned char>(text[i])); };
    const int32_t r = pos - 1;
    int32_t first = r;
    while (first > 0 && lead(first - 1))
        --first;
    if (lead(r)) // [first, r] are lead values: r is a trail when they pair up, else a lone lead
        return ((r - first + 1) % 2 == 0) ? r - 1 : r;
    return ((r - first) % 2 == 1) ? r - 1 : r; // [first, r) are lead values
}

namespace {

inline bool IsAsciiWord(uint16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
inline bool IsSpaceCode(uint16_t c) {
    return c == ' ' || (c >= 9 && c <= 13) || c == 0xA1A1; // 0xA1A1: the ideographic space
}
inline uint16_t FoldAscii(uint16_t c) {
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

// Whether the character ending at pos (none at the line start) is a word character of \b.
bool WordBefore(const char* line, int32_t pos, int32_t len) {
    if (pos <= 0 || !IsAsciiWord(static_cast<unsigned char>(line[pos - 1])))
        return false;
    int32_t s = FxCharStartBefore(line, pos, len);
    return pos - s == 1 && IsAsciiWord(static_cast<unsigned char>(line[s]));
}
bool WordAt(const char* line, int32_t pos, int32_t len) {
    if (pos >= len)
        return false;
    int cl;
    uint16_t c = FxCharCodeAt(line, pos, len, &cl);
    return cl == 1 && IsAsciiWord(c);
}

const int kMaxInsts = 200000;
const int kMaxRepeat = 65535;
const int kMaxDepth = 200;

struct Node {
    enum Kind { Empty, Char, Any, Cls, Group, Concat, Alt, Repeat, Assert, Backref } kind;
    uint16_t ch = 0;
    int index = -1; // class, group (-1 for a non-capturing one) or back-referenced group
    int min = 0, max = 0;
    bool greedy = true;
    uint8_t op = 0; // assertion opcode
    std::vector<int> kids;
    explicit Node(Kind k) : kind(k) {}
};

struct ParseError {
    int code;
    int32_t offset;
};

class Parser {
public:
    Parser(const char* p, int32_t len, bool matchCase, std::vector<FxRegex::Class>& classes)
        : m_p(p), m_len(len), m_matchCase(matchCase), m_classes(classes) {}

    int ParseAll() {
        int root = ParseAlt(0);
        if (m_pos < m_len) // only a ")" stops the top level early
            Fail(FxSeUnmatchedParen, m_pos);
        if (m_maxBackref > m_groups)
            Fail(FxSeBadBackref, m_backrefPos);
        return root;
    }

    std::vector<Node> nodes;
    int Groups() const { return m_groups; }

private:
    [[noreturn]] void Fail(int code, int32_t at) { throw ParseError{code, at}; }
    int Add(Node n) {
        nodes.push_back(std::move(n));
        return static_cast<int>(nodes.size()) - 1;
    }
    int Peek(int32_t ahead = 0) const {
        return m_pos + ahead < m_len ? static_cast<unsigned char>(m_p[m_pos + ahead]) : -1;
    }
    uint16_t ReadChar() {
        int cl;
        uint16_t c = FxCharCodeAt(m_p, m_pos, m_len, &cl);
        m_pos += cl;
        return c;
    }
    uint16_t Lit(uint16_t c) const { return m_matchCase ? c : FoldAscii(c); }

    int ParseAlt(int depth) {
        if (depth > kMaxDepth)
            Fail(FxSeTooComplex, m_pos);
        int first = ParseSeq(depth);
        if (Peek() != '|')
            return first;
        Node alt(Node::Alt);
        alt.kids.push_back(first);
        while (Peek() == '|') {
            ++m_pos;
            alt.kids.push_back(ParseSeq(depth));
        }
        return Add(std::move(alt));
    }

    int ParseSeq(int depth) {
        Node seq(Node::Concat);
        for (;;) {
            int c = Peek();
            if (c < 0 || c == '|' || c == ')')
                break;
            bool quantifiable = true;
            int atom = ParseAtom(depth, &quantifiable);
            atom = ParseQuantifier(atom, quantifiable);
            seq.kids.push_back(atom);
        }
        if (seq.kids.size() == 1)
            return seq.kids[0];
        if (seq.kids.empty())
            return Add(Node(Node::Empty));
        return Add(std::move(seq));
    }

    // Reads {m}, {m,} or {m,n} at the current "{"; false (position unchanged) when it is not one.
    bool ReadBraces(int* mn, int* mx) {
        int32_t p = m_pos + 1;
        auto num = [&](int* out) {
            int32_t s = p;
            long v = 0;
            while (p < m_len && m_p[p] >= '0' && m_p[p] <= '9') {
                if (v <= kMaxRepeat)
                    v = v * 10 + (m_p[p] - '0');
                ++p;
            }
            *out = v > kMaxRepeat ? kMaxRepeat + 1 : static_cast<int>(v);
            return p > s;
        };
        if (!num(mn))
            return false;
        *mx = *mn;
        if (p < m_len && m_p[p] == ',') {
            ++p;
            if (!num(mx))
                *mx = -1;
        }
        if (p >= m_len || m_p[p] != '}')
            return false;
        m_pos = p + 1;
        return true;
    }

    int ParseQuantifier(int atom, bool quantifiable) {
        int c = Peek();
        int mn, mx;
        int32_t qPos = m_pos;
        if (c == '*') {
            mn = 0, mx = -1, ++m_pos;
        } else if (c == '+') {
            mn = 1, mx = -1, ++m_pos;
        } else if (c == '?') {
            mn = 0, mx = 1, ++m_pos;
        } else if (c == '{' && ReadBraces(&mn, &mx)) {
            if (mn > kMaxRepeat || mx > kMaxRepeat || (mx >= 0 && mn > mx))
                Fail(FxSeBadRepeat, qPos);
        } else {
            return atom;
        }
        if (!quantifiable)
            Fail(FxSeNothingToRepeat, qPos);
        Node rep(Node::Repeat);
        rep.min = mn;
        rep.max = mx;
        if (Peek() == '?') {
            rep.greedy = false;
            ++m_pos;
        }
        rep.kids.push_back(atom);
        int r = Add(std::move(rep));
        // A second quantifier right after the first (a** or a{2}{3}) repeats a repeat: refuse it.
        int n = Peek();
        int dm, dx;
        int32_t save = m_pos;
        if (n == '*' || n == '+' || n == '?' || (n == '{' && ReadBraces(&dm, &dx)))
            Fail(FxSeNothingToRepeat, save);
        return r;
    }

    int ParseAtom(int depth, bool* quantifiable) {
        const int32_t at = m_pos;
        int c = Peek();
        switch (c) {
        case '(': {
            ++m_pos;
            int group = -1;
            if (Peek() == '?') {
                if (Peek(1) != ':')
                    Fail(FxSeBadGroup, at);
                m_pos += 2;
            } else {
                if (m_groups + 1 >= FxRegexMatch::kMaxGroups)
                    Fail(FxSeTooComplex, at);
                group = ++m_groups;
            }
            int inner = ParseAlt(depth + 1);
            if (Peek() != ')')
                Fail(FxSeMissingParen, at);
            ++m_pos;
            Node g(Node::Group);
            g.index = group;
            g.kids.push_back(inner);
            return Add(std::move(g));
        }
        case '[':
            return ParseClass();
        case '.':
            ++m_pos;
            return Add(Node(Node::Any));
        case '^':
        case '$': {
            ++m_pos;
            Node a(Node::Assert);
            a.op = c == '^' ? FxRegex::OpBol : FxRegex::OpEol;
            *quantifiable = false;
            return Add(std::move(a));
        }
        case '*':
        case '+':
        case '?':
            Fail(FxSeNothingToRepeat, at);
        case '{': {
            int mn, mx;
            int32_t save = m_pos;
            if (ReadBraces(&mn, &mx))
                Fail(FxSeNothingToRepeat, save);
            ++m_pos; // a "{" that starts no repeat count is itself
            Node n(Node::Char);
            n.ch = '{';
            return Add(std::move(n));
        }
        case '\\':
            return ParseEscape(quantifiable);
        default: {
            Node n(Node::Char);
            n.ch = Lit(ReadChar());
            return Add(std::move(n));
        }
        }
    }

    // A class shorthand letter (d D w W s S) as its set bit; 0 for any other byte.
    static uint8_t ShorthandSet(int c) {
        switch (c) {
        case 'd':
            return FxRegex::ClsDigit;
        case 'D':
            return FxRegex::ClsNotDigit;
        case 'w':
            return FxRegex::ClsWord;
        case 'W':
            return FxRegex::ClsNotWord;
        case 's':
            return FxRegex::ClsSpace;
        case 'S':
            return FxRegex::ClsNotSpace;
        default:
            return 0;
        }
    }

    static int HexValue(int c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // The character of a character escape after the backslash (m_pos on the letter), or -1 when
    // the escape is no single character. inClass: \b is the backspace there.
    int ReadCharEscape(bool inClass) {
        const int32_t at = m_pos - 1;
        int c = Peek();
        switch (c) {
        case 't':
            ++m_pos;
            return '\t';
        case 'n':
            ++m_pos;
            return '\n';
        case 'r':
            ++m_pos;
            return '\r';
        case 'f':
            ++m_pos;
            return '\f';
        case 'v':
            ++m_pos;
            return '\v';
        case '0':
            if (Peek(1) >= '0' && Peek(1) <= '9')
                Fail(FxSeBadEscape, at);
            ++m_pos;
            return 0;
        case 'x': {
            int h1 = HexValue(Peek(1)), h2 = HexValue(Peek(2));
            if (h1 < 0 || h2 < 0)
                Fail(FxSeBadEscape, at);
            m_pos += 3;
            return h1 * 16 + h2;
        }
        case 'b':
            if (inClass) {
                ++m_pos;
                return '\b';
            }
            return -1;
        default:
            break;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return -1;
        return ReadChar(); // any other character stands for itself, a double-byte one whole
    }

    int ParseEscape(bool* quantifiable) {
        const int32_t at = m_pos;
        ++m_pos;
        int c = Peek();
        if (c < 0)
            Fail(FxSeTrailingBackslash, at);
        if (uint8_t set = ShorthandSet(c)) {
            ++m_pos;
            FxRegex::Class cls;
            cls.sets = set;
            m_classes.push_back(cls);
            Node n(Node::Cls);
            n.index = static_cast<int>(m_classes.size()) - 1;
            return Add(std::move(n));
        }
        if (c == 'b' || c == 'B') {
            ++m_pos;
            Node a(Node::Assert);
            a.op = c == 'b' ? FxRegex::OpWordB : FxRegex::OpNotWordB;
            *quantifiable = false;
            return Add(std::move(a));
        }
        if (c >= '1' && c <= '9') {
            ++m_pos;
            Node b(Node::Backref);
            b.index = c - '0';
            if (b.index > m_maxBackref) {
                m_maxBackref = b.index;
                m_backrefPos = at;
            }
            return Add(std::move(b));
        }
        int ch = ReadCharEscape(false);
        if (ch < 0)
            Fail(FxSeBadEscape, at);
        Node n(Node::Char);
        n.ch = Lit(static_cast<uint16_t>(ch));
        return Add(std::move(n));
    }

    // One class member: a character (code >= 0) or a shorthand set (*set != 0, code -1).
    int ReadClassAtom(uint8_t* set) {
        *set = 0;
        if (Peek() == '\\') {
            const int32_t at = m_pos;
            ++m_pos;
            int c = Peek();
            if (c < 0)
                Fail(FxSeMissingBracket, at);
            if ((*set = ShorthandSet(c)) != 0) {
                ++m_pos;
                return -1;
            }
            int ch = ReadCharEscape(true);
            if (ch < 0)
                Fail(FxSeBadEscape, at);
            return ch;
        }
        return ReadChar();
    }

    int ParseClass() {
        const int32_t at = m_pos;
        ++m_pos;
        FxRegex::Class cls;
        if (Peek() == '^') {
            cls.negate = true;
            ++m_pos;
        }
        for (;;) {
            int c = Peek();
            if (c < 0)
                Fail(FxSeMissingBracket, at);
            if (c == ']') {
                ++m_pos;
                break;
            }
            const int32_t itemPos = m_pos;
            uint8_t set;
            int lo = ReadClassAtom(&set);
            if (Peek() == '-' && Peek(1) >= 0 && Peek(1) != ']') {
                ++m_pos;
                uint8_t set2;
                int hi = ReadClassAtom(&set2);
                if (set || set2 || lo > hi)
                    Fail(FxSeBadRange, itemPos);
                cls.ranges.push_back({static_cast<uint16_t>(lo), static_cast<uint16_t>(hi)});
            } else if (set) {
                cls.sets |= set;
            } else {
                cls.ranges.push_back({static_cast<uint16_t>(lo), static_cast<uint16_t>(lo)});
            }
        }
        m_classes.push_back(std::move(cls));
        Node n(Node::Cls);
        n.index = static_cast<int>(m_classes.size()) - 1;
        return Add(std::move(n));
    }

    const char* m_p;
    int32_t m_len;
    int32_t m_pos = 0;
    bool m_matchCase;
    std::vector<FxRegex::Class>& m_classes;
    int m_groups = 0;
    int m_maxBackref = 0;
    int32_t m_backrefPos = 0;
};

class Compiler {
public:
    Compiler(const std::vector<Node>& nodes, std::vector<FxRegex::Inst>& prog, int groups)
        : m_nodes(nodes), m_prog(prog), m_nextMark(2 * (groups + 1)) {}

    void Emit(int n) {
        const Node& node = m_nodes[static_cast<size_t>(n)];
        switch (node.kind) {
        case Node::Empty:
            break;
        case Node::Char:
            Put(FxRegex::OpChar, 0, 0, node.ch);
            break;
        case Node::Any:
            Put(FxRegex::OpAny);
            break;
        case Node::Cls:
            Put(FxRegex::OpClass, node.index);
            break;
        case Node::Assert:
            Put(node.op);
            break;
        case Node::Backref:
            Put(FxRegex::OpBackref, node.index);
            break;
        case Node::Group:
            if (node.index >= 0)
                Put(FxRegex::OpSave, 2 * node.index);
            Emit(node.kids[0]);
            if (node.index >= 0)
                Put(FxRegex::OpSave, 2 * node.index + 1);
            break;
        case Node::Concat:
            for (int k : node.kids)
                Emit(k);
            break;
        case Node::Alt: {
            std::vector<int> jumps;
            for (size_t i = 0; i < node.kids.size(); ++i) {
                int split = -1;
                if (i + 1 < node.kids.size())
                    split = Put(FxRegex::OpSplit);
                if (split >= 0)
                    m_prog[static_cast<size_t>(split)].x = Here();
                Emit(node.kids[i]);
                if (i + 1 < node.kids.size()) {
                    jumps.push_back(Put(FxRegex::OpJmp));
                    m_prog[static_cast<size_t>(split)].y = Here();
                }
            }
            for (int j : jumps)
                m_prog[static_cast<size_t>(j)].x = Here();
            break;
        }
        case Node::Repeat:
            EmitRepeat(node);
            break;
        }
    }

    int Marks() const { return m_nextMark; }

private:
    int Here() const { return static_cast<int>(m_prog.size()); }
    int Put(uint8_t op, int32_t x = 0, int32_t y = 0, uint16_t ch = 0) {
        if (Here() >= kMaxInsts)
            throw ParseError{FxSeTooComplex, -1};
        m_prog.push_back(FxRegex::Inst{op, ch, x, y});
        return Here() - 1;
    }
    // A split that prefers the next instruction when greedy; the other branch is patched later.
    int PutSplit(bool greedy) {
        int s = Put(FxRegex::OpSplit);
        if (greedy)
            m_prog[static_cast<size_t>(s)].x = s + 1;
        else
            m_prog[static_cast<size_t>(s)].y = s + 1;
        return s;
    }
    void PatchOut(int split, bool greedy) {
        if (greedy)
            m_prog[static_cast<size_t>(split)].y = Here();
        else
            m_prog[static_cast<size_t>(split)].x = Here();
    }

    bool CanBeEmpty(int n) const {
        const Node& node = m_nodes[static_cast<size_t>(n)];
        switch (node.kind) {
        case Node::Char:
        case Node::Any:
        case Node::Cls:
            return false;
        case Node::Group:
            return CanBeEmpty(node.kids[0]);
        case Node::Concat:
            for (int k : node.kids)
                if (!CanBeEmpty(k))
                    return false;
            return true;
        case Node::Alt:
            for (int k : node.kids)
                if (CanBeEmpty(k))
                    return true;
            return false;
        case Node::Repeat:
            return node.min == 0 || CanBeEmpty(node.kids[0]);
        default:
            return true;
        }
    }

    void EmitRepeat(const Node& node) {
        const int body = node.kids[0];
        for (int i = 0; i < node.min; ++i)
            Emit(body);
        if (node.max < 0) {
            // An unbounded loop whose body can match nothing stops when an iteration does.
            const bool guard = CanBeEmpty(body);
            const int mark = guard ? m_nextMark++ : -1;
            int loop = PutSplit(node.greedy);
            if (guard)
                Put(FxRegex::OpSave, mark);
            Emit(body);
            if (guard)
                Put(FxRegex::OpCheck, mark);
            m_prog[static_cast<size_t>(Put(FxRegex::OpJmp))].x = loop;
            PatchOut(loop, node.greedy);
            return;
        }
        std::vector<int> splits;
        for (int i = node.min; i < node.max; ++i) {
            splits.push_back(PutSplit(node.greedy));
            Emit(body);
        }
        for (int s : splits)
            PatchOut(s, node.greedy);
    }

    const std::vector<Node>& m_nodes;
    std::vector<FxRegex::Inst>& m_prog;
    int m_nextMark;
};

} // namespace

bool FxRegex::Compile(const char* pattern, int32_t len, bool matchCase) {
    m_prog.clear();
    m_classes.clear();
    m_matchCase = matchCase;
    m_error = FxSeNone;
    m_errorOffset = -1;
    m_groups = 0;
    m_hasFirst = false;
    m_required.clear();
    m_loopTest = -1;
    try {
        Parser parser(pattern, len, matchCase, m_classes);
        int root = parser.ParseAll();
        m_groups = parser.Groups();
        Compiler compiler(parser.nodes, m_prog, m_groups);
        m_prog.push_back(Inst{OpSave, 0, 0, 0});
        compiler.Emit(root);
        m_prog.push_back(Inst{OpSave, 0, 1, 0});
        m_prog.push_back(Inst{OpMatch, 0, 0, 0});
        m_marks = compiler.Marks() - 2 * (m_groups + 1);
    } catch (const ParseError& e) {
        m_prog.clear();
        m_error = e.code;
        m_errorOffset = e.offset;
        return false;
    }
    ComputeFirstBytes();
    ComputeRequired();
    FindLeadingLoop();
    return true;
}

void FxRegex::FindLeadingLoop() {
    // After the save of the match's start: x+ is x, L: split(L + 1, out), x, jmp L; x* is
    // L: split(L + 1, out), x, jmp L. Either branch order (greedy or not).
    m_loopTest = -1;
    const int n = static_cast<int>(m_prog.size());
    const auto at = [&](int pc) -> const Inst& { return m_prog[static_cast<size_t>(pc)]; };
    const auto isTest = [&](int pc) {
        return at(pc).op == OpChar || at(pc).op == OpAny || at(pc).op == OpClass;
    };
    const auto splitsTo = [&](int pc, int a, int b) {
        return at(pc).op == OpSplit &&
               ((at(pc).x == a && at(pc).y == b) || (at(pc).x == b && at(pc).y == a));
    };
    if (n < 5 || at(0).op != OpSave || at(0).x != 0)
        return;
    if (n > 5 && isTest(1) && splitsTo(2, 3, 5) && at(3).op == at(1).op && at(3).ch == at(1).ch &&
        at(3).x == at(1).x && at(4).op == OpJmp && at(4).x == 2)
        m_loopTest = 1;
    else if (splitsTo(1, 2, 4) && isTest(2) && at(3).op == OpJmp && at(3).x == 1)
        m_loopTest = 2;
}

bool FxRegex::LoopTakes(const char* line, int32_t pos, int32_t lineLen, int32_t limit) const {
    if (m_loopTest < 0 || pos >= limit)
        return false;
    int cl;
    uint16_t c = FxCharCodeAt(line, pos, lineLen, &cl);
    if (pos + cl > limit)
        return false;
    const Inst& in = m_prog[static_cast<size_t>(m_loopTest)];
    if (in.op == OpAny)
        return true;
    if (in.op == OpChar) {
        if (!m_matchCase && cl == 1)
            c = FoldAscii(c);
        return c == in.ch;
    }
    return ClassMatches(m_classes[static_cast<size_t>(in.x)], c);
}

void FxRegex::ComputeRequired() {
    // A character instruction on every path from the start to the match is followed on each of
    // them by the character instructions after it: the stretch they make up is in every match.
    // The longest such stretch is kept. Failing instructions are taken as passing, which can
    // only make fewer characters required. Long programs are not analysed.
    m_required.clear();
    const int n = static_cast<int>(m_prog.size());
    if (n > 1024)
        return;
    std::vector<char> seen;
    std::vector<int> work;
    const auto matchReachableWithout = [&](int skip) {
        seen.assign(static_cast<size_t>(n), 0);
        work.assign(1, 0);
        while (!work.empty()) {
            const int pc = work.back();
            work.pop_back();
            if (pc == skip || pc >= n || seen[static_cast<size_t>(pc)])
                continue;
            seen[static_cast<size_t>(pc)] = 1;
            const Inst& in = m_prog[static_cast<size_t>(pc)];
            if (in.op == OpMatch)
                return true;
            if (in.op == OpSplit) {
                work.push_back(in.x);
                work.push_back(in.y);
            } else if (in.op == OpJmp) {
                work.push_back(in.x);
            } else {
                work.push_back(pc + 1);
            }
        }
        return false;
    };
    for (int pc = 0; pc < n; ++pc) {
        if (m_prog[static_cast<size_t>(pc)].op != OpChar || matchReachableWithout(pc))
            continue;
        std::string run;
        for (; pc < n && m_prog[static_cast<size_t>(pc)].op == OpChar; ++pc) {
            const uint16_t ch = m_prog[static_cast<size_t>(pc)].ch;
            if (ch > 0xFF)
                run += static_cast<char>(ch >> 8);
            run += static_cast<char>(ch & 0xFF);
        }
        if (run.size() > m_required.size())
            m_required = run;
    }
}

bool FxRegex::ClassMatches(const Class& c, uint16_t code) const {
    bool in = false;
    for (const Range& r : c.ranges)
        if (code >= r.lo && code <= r.hi) {
            in = true;
            break;
        }
    if (!in && !m_matchCase && code < 0x80 &&
        ((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z'))) {
        const uint16_t other = code ^ 0x20;
        for (const Range& r : c.ranges)
            if (other >= r.lo && other <= r.hi) {
                in = true;
                break;
            }
    }
    if (!in && c.sets) {
        const bool digit = code >= '0' && code <= '9';
        const bool word = IsAsciiWord(code);
        const bool space = IsSpaceCode(code);
        in = ((c.sets & ClsDigit) && digit) || ((c.sets & ClsNotDigit) && !digit) ||
             ((c.sets & ClsWord) && word) || ((c.sets & ClsNotWord) && !word) ||
             ((c.sets & ClsSpace) && space) || ((c.sets & ClsNotSpace) && !space);
    }
    return in != c.negate;
}

void FxRegex::ComputeFirstBytes() {
    // The bytes a match can start with, found by following the program from its start; any path
    // that can match without consuming a character (or consumes "any") gives up the filter.
    std::memset(m_first, 0, sizeof m_first);
    std::vector<char> seen(m_prog.size(), 0);
    std::vector<int> work{0};
    auto addByte = [&](unsigned b) { m_first[b & 0xFF] = true; };
    while (!work.empty()) {
        int pc = work.back();
        work.pop_back();
        if (seen[static_cast<size_t>(pc)])
            continue;
        seen[static_cast<size_t>(pc)] = 1;
        const Inst& in = m_prog[static_cast<size_t>(pc)];
        switch (in.op) {
        case OpChar:
            if (in.ch > 0xFF) {
                addByte(in.ch >> 8);
            } else {
                addByte(in.ch);
                if (!m_matchCase && in.ch >= 'a' && in.ch <= 'z')
                    addByte(in.ch - 32);
            }
            break;
        case OpClass: {
            const Class& c = m_classes[static_cast<size_t>(in.x)];
            if (c.negate || c.sets)
                return;
            for (const Range& r : c.ranges) {
                for (unsigned v = r.lo; v <= r.hi && v <= 0xFF; ++v) {
                    addByte(v);
                    if (!m_matchCase && ((v >= 'a' && v <= 'z') || (v >= 'A' && v <= 'Z')))
                        addByte(v ^ 0x20);
                }
                if (r.hi > 0xFF)
                    for (unsigned lead = (r.lo > 0xFF ? r.lo >> 8 : 1); lead <= (r.hi >> 8u);
                         ++lead)
                        addByte(lead);
            }
            break;
        }
        case OpSplit:
            work.push_back(in.x);
            work.push_back(in.y);
            break;
        case OpJmp:
            work.push_back(in.x);
            break;
        case OpSave:
        case OpBol:
        case OpEol:
        case OpWordB:
        case OpNotWordB:
        case OpCheck:
            work.push_back(pc + 1);
            break;
        default: // any character, a back reference or the end: no filter
            return;
        }
    }
    m_hasFirst = true;
}

FxRegex::Result FxRegex::MatchAt(const char* line, int32_t lineLen, int32_t at, int32_t limit,
                                 FxRegexMatch& m) {
    if (m_prog.empty())
        return NoMatch;
    const size_t slotCount = static_cast<size_t>(2 * (m_groups + 1) + m_marks);
    m_slots.assign(slotCount, -1);
    m_stack.clear();
    m_stack.push_back(Frame{0, at});
    int64_t steps = 0;
    while (!m_stack.empty()) {
        Frame f = m_stack.back();
        m_stack.pop_back();
        if (f.pc < 0) {
            m_slots[static_cast<size_t>(-f.pc - 1)] = f.sp;
            continue;
        }
        int32_t pc = f.pc, sp = f.sp;
        for (;;) {
            if (++steps > m_stepBudget || ++m_lineSteps > m_lineBudget) {
                m_error = FxSeStepBudget;
                return Failed;
            }
            const Inst& in = m_prog[static_cast<size_t>(pc)];
            bool ok = true;
            switch (in.op) {
            case OpChar: {
                if (sp >= limit) {
                    ok = false;
                    break;
                }
                int cl;
                uint16_t c = FxCharCodeAt(line, sp, lineLen, &cl);
                if (!m_matchCase && cl == 1)
                    c = FoldAscii(c);
                if (sp + cl > limit || c != in.ch) {
                    ok = false;
                    break;
                }
                sp += cl;
                ++pc;
                break;
            }
            case OpAny:
            case OpClass: {
                if (sp >= limit) {
                    ok = false;
                    break;
                }
                int cl;
                uint16_t c = FxCharCodeAt(line, sp, lineLen, &cl);
                if (sp + cl > limit ||
                    (in.op == OpClass && !ClassMatches(m_classes[static_cast<size_t>(in.x)], c))) {
                    ok = false;
                    break;
                }
                sp += cl;
                ++pc;
                break;
            }
            case OpSplit:
                m_stack.push_back(Frame{in.y, sp});
                pc = in.x;
                break;
            case OpJmp:
                pc = in.x;
                break;
            case OpSave:
                m_stack.push_back(Frame{-in.x - 1, m_slots[static_cast<size_t>(in.x)]});
                m_slots[static_cast<size_t>(in.x)] = sp;
                ++pc;
                break;
            case OpCheck:
                ok = m_slots[static_cast<size_t>(in.x)] != sp;
                ++pc;
                break;
            case OpBol:
                ok = sp == 0;
                ++pc;
                break;
            case OpEol:
                ok = sp == lineLen;
                ++pc;
                break;
            case OpWordB:
            case OpNotWordB:
                ok = (WordBefore(line, sp, lineLen) != WordAt(line, sp, lineLen)) ==
                     (in.op == OpWordB);
                ++pc;
                break;
            case OpBackref: {
                const int32_t s = m_slots[static_cast<size_t>(2 * in.x)];
                const int32_t e = m_slots[static_cast<size_t>(2 * in.x + 1)];
                ++pc;
                if (s < 0 || e < 0)
                    break; // a group that took no part matches the empty text
                if (sp + (e - s) > limit) {
                    ok = false;
                    break;
                }
                int32_t i = s, j = sp;
                while (ok && i < e) {
                    int cl1, cl2;
                    uint16_t a = FxCharCodeAt(line, i, lineLen, &cl1);
                    uint16_t b = FxCharCodeAt(line, j, lineLen, &cl2);
                    if (!m_matchCase && cl1 == 1 && cl2 == 1) {
                        a = FoldAscii(a);
                        b = FoldAscii(b);
                    }
                    ok = cl1 == cl2 && a == b;
                    i += cl1;
                    j += cl2;
                }
                sp = j;
                break;
            }
            case OpMatch:
                m.groupCount = m_groups + 1;
                for (int g = 0; g <= m_groups; ++g) {
                    m.start[g] = m_slots[static_cast<size_t>(2 * g)];
                    m.end[g] = m_slots[static_cast<size_t>(2 * g + 1)];
                    if (m.start[g] < 0 || m.end[g] < 0)
                        m.start[g] = m.end[g] = -1;
                }
                return Matched;
            }
            if (!ok)
                break;
        }
    }
    return NoMatch;
}

void FxRegex::ExpandReplacement(const char* rep, int32_t len, const char* line,
                                const FxRegexMatch& m, std::string& out) const {
    out.clear();
    for (int32_t i = 0; i < len;) {
        int cl = FxCharLen(rep, static_cast<size_t>(i), static_cast<size_t>(len));
        if (cl == 1 && rep[i] == '$' && i + 1 < len) {
            const char n = rep[i + 1];
            int group = -1;
            if (n == '$') {
                out += '$';
                i += 2;
                continue;
            }
            if (n == '&')
                group = 0;
            else if (n >= '0' && n <= '9' && n - '0' < m.groupCount)
                group = n - '0';
            if (group >= 0) {
                if (m.start[group] >= 0)
                    out.append(line + m.start[group],
                               static_cast<size_t>(m.end[group] - m.start[group]));
                i += 2;
                continue;
            }
        }
        out.append(rep + i, static_cast<size_t>(cl));
        i += cl;
    }
}
