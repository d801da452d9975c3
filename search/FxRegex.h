// A small backtracking regular-expression engine in the ECMAScript style, matched within one
// logical line of ANSI code page text, one whole character at a time. Layer: search/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Capture positions of one match: byte offsets within the line, -1 for a group that took no part.
struct FxRegexMatch {
    static const int kMaxGroups = 32; // group 0 is the whole match
    int32_t start[kMaxGroups];
    int32_t end[kMaxGroups];
    int groupCount = 1;
};

class FxRegex {
public:
    enum Result { NoMatch = 0, Matched = 1, Failed = -1 };
    // Steps one match attempt may take before the search gives up with FxSeStepBudget, and the
    // steps all attempts within one line may take together.
    static const int64_t kDefaultStepBudget = 1000000;
    static const int64_t kDefaultLineBudget = 20000000;

    // Compiles a pattern of `len` bytes; false with Error() and ErrorOffset() set when invalid.
    // Without match case, single-byte letters A-Z and a-z are one; double-byte characters are
    // always compared exactly.
    bool Compile(const char* pattern, int32_t len, bool matchCase);
    int Error() const { return m_error; }
    int32_t ErrorOffset() const { return m_errorOffset; }
    int GroupCount() const { return m_groups; } // capturing groups, not counting group 0

    // Tries a match starting exactly at `at`, a character boundary. The match consumes bytes up
    // to `limit` at most; the anchors and \b see the whole line of `lineLen` bytes.
    Result MatchAt(const char* line, int32_t lineLen, int32_t at, int32_t limit, FxRegexMatch& m);
    // Starts a new line's step count (the per-line budget).
    void ResetLineSteps() { m_lineSteps = 0; }
    void SetBudgets(int64_t perAttempt, int64_t perLine) {
        m_stepBudget = perAttempt;
        m_lineBudget = perLine;
    }
    // True when a match can only start with a byte whose flag is set in FirstBytes().
    bool HasFirstBytes() const { return m_hasFirst; }
    const bool* FirstBytes() const { return m_first; }
    // Bytes that every match holds, one after the other (letters in lower case without match
    // case); may be empty.
    const std::string& Required() const { return m_required; }

    // True when the program starts with a loop over one character test (x+ or x*, greedy or
    // not, in no group). An attempt that fails at a character the loop takes then means that the
    // attempt at the next character fails too: it would try a subset of the same ends of the loop.
    bool StartsWithLoop() const { return m_loopTest >= 0; }
    // Whether the leading loop takes the character at pos, ending at or before limit.
    bool LoopTakes(const char* line, int32_t pos, int32_t lineLen, int32_t limit) const;

    // Replacement text: $0-$9 and $& the groups, $$ a dollar; anything else is copied.
    void ExpandReplacement(const char* rep, int32_t len, const char* line, const FxRegexMatch& m,
                           std::string& out) const;

    // Program instructions (public for the compiler in FxRegex.cpp).
    enum Op : uint8_t {
        OpChar,     // ch: one character (already folded without match case)
        OpAny,      // any one character
        OpClass,    // x: class index
        OpSplit,    // try x first, then y
        OpJmp,      // x
        OpSave,     // x: slot
        OpBol,      // line start
        OpEol,      // line end
        OpWordB,    // \b
        OpNotWordB, // \B
        OpBackref,  // x: group
        OpCheck,    // x: mark slot; fails when the loop body matched nothing
        OpMatch
    };
    struct Inst {
        uint8_t op;
        uint16_t ch;
        int32_t x, y;
    };
    struct Range {
        uint16_t lo, hi;
    };
    enum : uint8_t {
        ClsDigit = 1,
        ClsNotDigit = 2,
        ClsWord = 4,
        ClsNotWord = 8,
        ClsSpace = 16,
        ClsNotSpace = 32
    };
    struct Class {
        bool negate = false;
        uint8_t sets = 0;
        std::vector<Range> ranges;
    };

private:
    bool ClassMatches(const Class& c, uint16_t code) const;
    void ComputeFirstBytes();
    void ComputeRequired();
    void FindLeadingLoop();

    std::vector<Inst> m_prog;
    std::vector<Class> m_classes;
    int m_groups = 0;
    int m_marks = 0;
    bool m_matchCase = true;
    int m_error = 0;
    int32_t m_errorOffset = -1;
    int64_t m_stepBudget = kDefaultStepBudget;
    int64_t m_lineBudget = kDefaultLineBudget;
    int64_t m_lineSteps = 0;
    bool m_hasFirst = false;
    bool m_first[256];
    std::string m_required;
    int m_loopTest = -1; // the instruction of the leading loop's character test, -1 when none

    // Backtracking state kept between attempts to save allocations.
    struct Frame {
        int32_t pc; // >= 0: resume at pc with sp; < 0: restore slot -pc-1 to sp
        int32_t sp;
    };
    std::vector<Frame> m_stack;
    std::vector<int32_t> m_slots;
};

// Character helpers shared by the matchers.
// The character code at i: a single byte, or lead << 8 | trail for a double-byte character.
uint16_t FxCharCodeAt(const char* text, int32_t i, int32_t len, int* charLen);
// The start of the character that ends at pos (pos > 0, a character boundary of the line).
int32_t FxCharStartBefore(const char* text, int32_t pos, int32_t len);
