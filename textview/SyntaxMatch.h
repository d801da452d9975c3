// The matching core shared by the state computation and the line scanner. Layer: textview/.
//
// Escape characters before a position are counted while stepping forward from the start of the
// piece: in code page 936 a trail byte may equal the escape character (0x5C is a backslash), so
// stepping backward cannot tell a trail byte from an escape character.
#pragma once

#include "textview/SyntaxInfo.h"
#include "textview/SyntaxText.h"

// A forward walk over a piece that knows the character at its position and how many escape
// characters directly precede it.
struct SynCursor {
    const char* text;
    int len;
    int pos = 0;
    int escapes = 0; // escape characters directly before pos
    uint16_t escape;

    SynCursor(const char* t, int n, uint16_t esc) : text(t), len(n), escape(esc) {}
    bool AtEnd() const { return pos >= len; }
    uint16_t Char(int* clen) const { return SynCharAt(text, pos, len, clen); }
    void Next() {
        int n;
        uint16_t ch = SynCharAt(text, pos, len, &n);
        if (escape != 0 && ch == escape)
            ++escapes;
        else
            escapes = 0;
        pos += n;
    }
    // Steps forward until the position reaches `to` (or the end).
    void AdvanceTo(int to) {
        while (pos < to && pos < len)
            Next();
    }
};

// Does the string s (first character folded both ways) match at the cursor?
inline bool SynMatchHere(const SyntaxInfo& info, const SynCursor& c, const char* s, int slen,
                         uint16_t lower, uint16_t upper) {
    if (c.len - c.pos < slen)
        return false;
    int n;
    uint16_t ch = c.Char(&n);
    if (ch != lower && ch != upper)
        return false;
    if (!SynEqualBytes(c.text + c.pos, s, slen, info.MatchCase()))
        return false;
    return (c.escapes & 1) == 0;
}

inline bool SynStartsHere(const SyntaxInfo& info, const SynCursor& c, const SyntaxPair* r) {
    return SynMatchHere(info, c, r->start, r->startLen, r->startLower, r->startUpper);
}

// Finds the rule's end string from the cursor on; on success the cursor stands just after it
// and true is returned, else the cursor stands at the end of the text.
inline bool SynFindEnd(const SyntaxInfo& info, SynCursor& c, const SyntaxPair* r) {
    unsigned char b0 = static_cast<unsigned char>(r->endLower & 0xFF);
    unsigned char b1 = static_cast<unsigned char>(r->endUpper & 0xFF);
    // Bytes that are neither a first byte of the end, the escape character's first byte nor a
    // lead byte are single characters that only reset the escape count.
    const int escLow = c.escape != 0 ? (c.escape & 0xFF) : -1;
    while (!c.AtEnd()) {
        unsigned char b = static_cast<unsigned char>(c.text[c.pos]);
        if (b != b0 && b != b1 && b != escLow && !FxIsLeadByte(b)) {
            c.escapes = 0;
            ++c.pos;
            continue;
        }
        if ((b == b0 || b == b1) &&
            SynMatchHere(info, c, r->end, r->endLen, r->endLower, r->endUpper)) {
            c.AdvanceTo(c.pos + r->endLen);
            return true;
        }
        c.Next();
    }
    return false;
}

// The rules in the order the scan tests them at each position.
static const int kSynScanOrder[SynRuleCount] = {SynLineComment,   SynLineComment2, SynBlockComment,
                                                SynBlockComment2, SynQuoted,       SynQuoted2};

// The rule whose start matches at the cursor, in scan order, or -1.
inline int SynRuleAt(const SyntaxInfo& info, const SynCursor& c) {
    uint8_t mask = info.StartMask(static_cast<unsigned char>(c.text[c.pos]));
    if (!mask)
        return -1;
    for (int r : kSynScanOrder) {
        if ((mask & (1u << r)) && SynStartsHere(info, c, info.Rule(r)))
            return r;
    }
    return -1;
}

inline bool SynIsLineRule(int r) {
    return r == SynLineComment || r == SynLineComment2;
}
inline bool SynIsBlockRule(int r) {
    return r == SynBlockComment || r == SynBlockComment2;
}

// The rule of a start state (one bit of SYN_STATEMASK), or -1.
inline int SynRuleOfState(uint32_t state) {
    state &= SYN_STATEMASK;
    for (int r = 0; r < SynRuleCount; ++r) {
        if (state & SynStateOf(r))
            return r;
    }
    return -1;
}
