// Error codes of a search and the string-table ids of their messages. Layer: search/ (no
// windows; the texts live in the resource script).
#pragma once

// Why a search could not run. The message texts may show the pattern as their %s.
enum FxSearchError {
    FxSeNone = 0,
    FxSeEmptyPattern,      // nothing to search for
    FxSeReadOnly,          // a replacement on a read-only document (event 1 has been reported)
    FxSeMissingParen,      // "(" without ")"
    FxSeUnmatchedParen,    // ")" without "("
    FxSeMissingBracket,    // "[" without "]"
    FxSeBadRange,          // a class range whose start lies after its end, or a class as an end
    FxSeNothingToRepeat,   // a quantifier after nothing, an anchor or another quantifier
    FxSeBadRepeat,         // {m,n} with m > n or a count above the limit
    FxSeTrailingBackslash, // the pattern ends in a lone backslash
    FxSeBadEscape,         // an escape the engine does not know
    FxSeBadBackref,        // \n naming a group the pattern does not have
    FxSeBadGroup,          // "(?" followed by anything but ":"
    FxSeTooComplex,        // too many groups, too deep or too long once repeats are expanded
    FxSeStepBudget,        // a match attempt took more steps than allowed
    FxSeErrorCount
};

// String ids: the first is the message of FxSeEmptyPattern, the others follow in code order
// (FxSeReadOnly has none).
enum : unsigned {
    IDS_SEARCH_ERROR_FIRST = 7101,
    IDS_SEARCH_ERROR_LAST = IDS_SEARCH_ERROR_FIRST + FxSeErrorCount - 3,
};

// The message id of an error code; 0 for FxSeNone and FxSeReadOnly (the read-only notice is the
// document's event 1 text).
inline unsigned FxSearchErrorStringId(int error) {
    if (error <= FxSeNone || error >= FxSeErrorCount || error == FxSeReadOnly)
        return 0;
    return IDS_SEARCH_ERROR_FIRST + static_cast<unsigned>(error - 1) -
           (error > FxSeReadOnly ? 1u : 0u);
}
