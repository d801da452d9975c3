// Error codes of a search and the string-table ids of their messages. Layer: search/ (no
// windows; the texts live in the resource script).
#pragma once

// Why a search could not run. The message texts may show the pattern as their %s and the
// character of the pattern where the error stands (counted from 1) as their %d.
enum FxSearchError {
    FxSeNone = 0,
    FxSeEmptyPattern,    // nothing to search for
    FxSeReadOnly,        // a replacement on a read-only document (event 1 has been reported)
    FxSeParen,           // "(" without ")" or ")" without "("
    FxSeBracket,         // "[" without "]"
    FxSeRange,           // a class range whose start lies after its end, or an unknown class name
    FxSeNothingToRepeat, // a quantifier after nothing, an anchor or another quantifier
    FxSeBrace,           // a {m,n} that is unclosed, out of order or too large
    FxSeEscape,          // an escape that is unknown or cut off
    FxSeBackref,         // a back-reference to a group the pattern does not have
    FxSeCollate,         // an unknown collating element ([.x.] or [=x=])
    FxSeExtension,       // a "(?" construct that is not understood
    FxSeEmptyExpr,       // an empty alternative or group where one is not allowed
    FxSeTooComplex,      // the compiled pattern would be too large
    FxSeRunaway,         // matching took too long or too deep; the search was stopped
    FxSeBadPattern,      // any other fault of the pattern
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
