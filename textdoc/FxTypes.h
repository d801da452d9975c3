// Plain records of the text document core: positions, line records, text blocks.
// Layer: textdoc/ (no window code).
#pragma once

#include <cstdint>

// A position: column (byte offset) then line. As a logical position the line is a logical line
// number and the column counts bytes of the whole logical line; as a piece position the line is
// a record index and the column counts bytes of that one piece.
struct FxTextPos {
    int32_t col = 0;
    int32_t line = 0;
    FxTextPos() = default;
    FxTextPos(int32_t c, int32_t l) : col(c), line(l) {}
    bool operator==(const FxTextPos& o) const { return col == o.col && line == o.line; }
    bool operator!=(const FxTextPos& o) const { return !(*this == o); }
    bool operator<(const FxTextPos& o) const {
        return line < o.line || (line == o.line && col < o.col);
    }
};

enum : uint32_t {
    FXL_CONTINUED = 0x00010000, // a continuation piece of a wrapped logical line
    FXL_LINEEND = 0x00020000,   // a line break follows this piece's logical line
    FXL_BOOKMARK = 0x00040000,
    FXL_SYNTAXMASK = 0x3F000000, // syntax state at the start of the piece
};

struct FxTextBlock;

// One record per displayed piece; with word wrap off one per logical line.
// Nine 32-bit fields on the 32-bit target.
struct FxLine {
    uint32_t flags;
    int32_t logLine;  // logical line number on head records (word wrap on); -1 on a fresh record
    int32_t dispCol;  // display column where the piece starts (kept by the view)
    int32_t len;      // bytes shown in this piece
    int32_t lineLen;  // head: byte length of the whole logical line (= its buffer size);
                      // continuation: number of records back to the head record
    int32_t selStart; // selected part of the piece, kept by the view; -1 when none
    int32_t selEnd;
    char* data;         // first byte of the piece; null for an empty line
    FxTextBlock* block; // block holding the head's buffer; always null on continuations

    bool IsContinued() const { return (flags & FXL_CONTINUED) != 0; }
    bool HasLineEnd() const { return (flags & FXL_LINEEND) != 0; }
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(FxLine) == 36, "nine 32-bit fields");
#endif

inline FxLine FxFreshLine() { return FxLine{FXL_LINEEND, -1, 0, 0, 0, -1, -1, nullptr, nullptr}; }

enum FxLineEnd { FxLineEndDos = 0, FxLineEndUnix = 1, FxLineEndMac = 2 };

inline int FxTerminatorLength(int lineEndType) { return lineEndType == 1 || lineEndType == 2 ? 1 : 2; }
inline const char* FxTerminator(int lineEndType) {
    return lineEndType == 1 ? "\n" : lineEndType == 2 ? "\r" : "\r\n";
}
