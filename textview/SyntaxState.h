// Syntax states of line records: the state at the start of each piece, kept in bits 0x3F000000
// of the record flags and brought up to date lazily below a state mark. Layer: textview/.
#pragma once

#include "textdoc/FxTypes.h"
#include "textview/SyntaxInfo.h"

#include <cstdint>

// State of the record after a piece with this text and these flags (start state and
// FXL_LINEEND): one SYN_ bit or 0.
uint32_t NextLineState(const SyntaxInfo& info, const char* text, int len, uint32_t flags);

// Does a piece with these flags continue a construct onto the next record: it is not the last
// piece of its logical line, or its text ends with an odd number of escape characters.
bool SynLineContinues(const SyntaxInfo& info, const char* text, int len, uint32_t flags);

// Brings the states of records up to `target` up to date; `last` is the last record index.
// The state mark counts as "records through mark + 1 are current"; it becomes target - 1.
// Returns true when the state of a record at or above prevMark changed.
bool ComputeLineStates(const SyntaxInfo& info, FxLine* recs, int32_t target, int32_t last,
                       int32_t prevMark, int32_t& stateMark);

// Is byte `col` of record `rec` inside a comment or a string? Brings the states up to date down
// to the record first.
bool IsInCommentOrString(const SyntaxInfo& info, FxLine* recs, int32_t count, int32_t prevMark,
                         int32_t& stateMark, int32_t rec, int32_t col);
