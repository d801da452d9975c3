// Per-record syntax states. Layer: textview/.
#include "textview/SyntaxState.h"

#include "textview/SyntaxMatch.h"

namespace {

// With the cursor somewhere in the piece: does the piece continue a construct?
bool ContinuesFrom(const SyntaxInfo& info, SynCursor& c, uint32_t flags) {
    if (!(flags & FXL_LINEEND))
        return true;
    if (info.Escape() == 0)
        return false;
    c.AdvanceTo(c.len);
    return (c.escapes & 1) != 0;
}

// A construct of rule r whose end was not found on this piece.
uint32_t OpenAtEnd(const SyntaxInfo& info, SynCursor& c, uint32_t flags, int r) {
    if (SynIsBlockRule(r))
        return SynStateOf(r);
    return ContinuesFrom(info, c, flags) ? SynStateOf(r) : 0;
}

} // namespace

bool SynLineContinues(const SyntaxInfo& info, const char* text, int len, uint32_t flags) {
    SynCursor c(text, len, info.Escape());
    return ContinuesFrom(info, c, flags);
}

uint32_t NextLineState(const SyntaxInfo& info, const char* text, int len, uint32_t flags) {
    SynCursor c(text, len, info.Escape());
    int r = SynRuleOfState(flags);
    if (r >= 0 && !info.Rule(r))
        r = -1; // a state left from rules that no longer exist
    if (r >= 0) {
        if (SynIsLineRule(r))
            return ContinuesFrom(info, c, flags) ? SynStateOf(r) : 0;
        if (!SynFindEnd(info, c, info.Rule(r)))
            return OpenAtEnd(info, c, flags, r);
    }
    while (!c.AtEnd()) {
        int s = SynRuleAt(info, c);
        if (s < 0) {
            c.Next();
            continue;
        }
        if (SynIsLineRule(s))
            return ContinuesFrom(info, c, flags) ? SynStateOf(s) : 0;
        const SyntaxPair* rule = info.Rule(s);
        c.AdvanceTo(c.pos + rule->startLen);
        if (!SynFindEnd(info, c, rule))
            return OpenAtEnd(info, c, flags, s);
    }
    return 0;
}

bool ComputeLineStates(const SyntaxInfo& info, FxLine* recs, int32_t target, int32_t last,
                       int32_t prevMark, int32_t& stateMark) {
    if (last < 0)
        return false;
    if (target < 0)
        target = 0;
    if (target > last)
        target = last;
    if (stateMark < 1 || stateMark > last) {
        recs[0].flags &= ~SYN_STATEMASK;
        stateMark = -1;
    }
    if (stateMark + 1 >= target || stateMark + 1 >= last)
        return false;
    bool changed = false;
    for (int32_t r = stateMark + 2; r <= target; ++r) {
        const FxLine& prev = recs[r - 1];
        uint32_t state = NextLineState(info, prev.data, prev.data ? prev.len : 0, prev.flags);
        uint32_t old = recs[r].flags & SYN_STATEMASK;
        recs[r].flags = (recs[r].flags & ~SYN_STATEMASK) | state;
        if (r >= prevMark && old != state)
            changed = true;
    }
    stateMark = target - 1;
    return changed;
}

bool IsInCommentOrString(const SyntaxInfo& info, FxLine* recs, int32_t count, int32_t prevMark,
                         int32_t& stateMark, int32_t rec, int32_t col) {
    if (rec < 0 || rec >= count)
        return false;
    ComputeLineStates(info, recs, rec, count - 1, prevMark, stateMark);
    const FxLine& line = recs[rec];
    SynCursor c(line.data, line.data ? line.len : 0, info.Escape());
    int r = SynRuleOfState(line.flags);
    if (r >= 0 && info.Rule(r)) {
        if (SynIsLineRule(r))
            return true;
        if (!SynFindEnd(info, c, info.Rule(r)) || c.pos > col)
            return true;
    }
    while (!c.AtEnd() && c.pos <= col) {
        int s = SynRuleAt(info, c);
        if (s < 0) {
            c.Next();
            continue;
        }
        if (SynIsLineRule(s))
            return true;
        const SyntaxPair* rule = info.Rule(s);
        c.AdvanceTo(c.pos + rule->startLen);
        if (!SynFindEnd(info, c, rule) || c.pos > col)
            return true;
    }
    return false;
}
