// Searching a document: one request (FxSearch) per find, mark or replace, run over the
// document's logical lines. Layer: search/ (no windows; the dialogs live with the view).
#pragma once

#include "search/LineMatcher.h"
#include "search/SearchErrors.h"
#include "textdoc/FxEditDoc.h"

#include <cstdint>
#include <vector>

// One search request. Positions are logical (column in bytes of the logical line, line number).
struct FxSearch {
    bool matchCase = false;
    bool wholeWord = false;
    bool regExp = false;
    bool down = true;
    bool wrap = false;        // FindText: a second pass from the other end of the document
    bool markAll = false;     // FindText: bookmark every matching line instead (MarkAll)
    bool inSelection = false; // ReplaceText: replace all within [start, end] only
    bool single = false;      // ReplaceText: replace the one match at [start, end]
    const char* pattern = nullptr;
    int32_t patternLen = -1; // -1: up to the terminating zero
    const char* replacement = nullptr;
    int32_t replacementLen = -1;
    FxTextPos start, end;
    const uint16_t* delimiters = nullptr; // see FxMatchOptions
};

enum FxSearchStatus { FxSearchFailed = -1, FxSearchNotFound = 0, FxSearchFound = 1 };

struct FxSearchResult {
    int status = FxSearchNotFound;
    int error = FxSeNone;     // FxSearchError when the status is FxSearchFailed
    unsigned messageId = 0;   // its message, formatted with the pattern; 0 when none
    int32_t errorOffset = -1; // byte offset of a regular-expression error in the pattern
    int32_t errorChar = 0;    // the same as a character of the pattern, from 1; 0 when none
    bool wrapped = false;     // FindText: found (or not) in the second pass
    int32_t count = 0;        // replacements made, or lines marked
    FxTextPos matchStart, matchEnd;
    FxTextPos caret; // ReplaceText: after the last replacement

    bool Found() const { return status == FxSearchFound; }
};

// One match of MarkAll.
struct FxSearchHit {
    FxTextPos start, end;
};

// Finds from req.start: down to the end of the document or up to its start. With wrap and no
// match, the document reports event 2 (-1 after a downward search, 0 after an upward one) and a
// second pass covers the rest. Found: req.start and req.end become the match. Without wrap the
// search stops at the document's ends (bracket matching relies on this).
FxSearchResult FindText(CFxEditDoc& doc, FxSearch& req);
// The search primitive over [lo, hi]: the first match down, or up the last match found when the
// lines are scanned from their starts, with every match starting at or after lo and ending at or
// before hi. loIsBoundary: lo.col is known to be a character boundary (else it is moved to
// the next one).
FxSearchResult FindInRange(CFxEditDoc& doc, FxLineMatcher& matcher, FxTextPos lo, FxTextPos hi,
                           bool down, FxLineMatch* groups = nullptr, bool loIsBoundary = false);
// A single replacement (req.single; the text at [start, end] must be a match; undo action 6) or
// replace all (in [start, end] with inSelection, else the whole document; one undo group of
// action 7, under the bulk guard). A read-only document reports event 1 and nothing changes.
// Replace all: count is the number of replacements, caret the end of the last one, and with
// inSelection req.start / req.end are the selection adjusted to the new text.
FxSearchResult ReplaceText(CFxEditDoc& doc, FxSearch& req);
// Bookmarks the head record of every logical line holding a match (the bookmark count kept);
// count is the number of such lines. Every match is appended to hits when given.
FxSearchResult MarkAll(CFxEditDoc& doc, const FxSearch& req,
                       std::vector<FxSearchHit>* hits = nullptr);
// Checks the request's pattern as every search prepares it: FxSearchFailed with the error (and
// its message and offset) when it cannot be searched for, else FxSearchNotFound. Lets a caller
// refuse a pattern before it changes anything (Mark clears the bookmarks).
FxSearchResult FxCheckPattern(const FxSearch& req);
// Clears every bookmark of the document.
void FxClearBookmarks(CFxEditDoc& doc);
// The options of a request as the line matcher takes them.
FxMatchOptions FxMatchOptionsOf(const FxSearch& req);
