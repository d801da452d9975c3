// Plain records of the text document core: positions, line records, text blocks.
// Layer: textdoc/ (no window code).
#pragma once

#include <cstddef>
#include <cstdint>

// A byte count of a whole text, a block or a file: 64-bit in the 64-bit build, where a document
// holds as much as memory allows, 32-bit in the 32-bit build, whose address space ends near 2 GB
// anyway. A single logical line and every column stay 32-bit in both.
using FxSize = std::ptrdiff_t;
// The longest logical line a document holds.
constexpr FxSize kFxMaxLineBytes = 0x7FFFFFFF;

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

// How a line record names the block under its buffer. The 64-bit build keeps a 32-bit number
// into its store's table of blocks instead of an 8-byte pointer, so that a record takes 40 bytes
// rather than 48; the 32-bit build keeps the pointer. A value-initialised reference names none.
#if UINTPTR_MAX > 0xFFFFFFFFu
using FxBlockRef = uint32_t;
#else
using FxBlockRef = FxTextBlock*;
#endif

// One record per displayed piece; with word wrap off one per logical line.
// Nine 32-bit fields on the 32-bit target. The block reference comes before the data pointer so
// that the 64-bit record has no padding: seven 32-bit fields and the block number, then the
// pointer on its 8-byte boundary.
struct FxLine {
    uint32_t flags;
    int32_t logLine;  // logical line number on head records (word wrap on); -1 on a fresh record
    int32_t dispCol;  // display column where the piece starts (kept by the view)
    int32_t len;      // bytes shown in this piece
    int32_t lineLen;  // head: byte length of the whole logical line (= its buffer size);
                      // continuation: number of records back to the head record
    int32_t selStart; // selected part of the piece, kept by the view; -1 when none
    int32_t selEnd;
    FxBlockRef block; // block holding the head's buffer; always none on continuations
    char* data;       // first byte of the piece; null for an empty line

    bool IsContinued() const { return (flags & FXL_CONTINUED) != 0; }
    bool HasLineEnd() const { return (flags & FXL_LINEEND) != 0; }
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(FxLine) == 36, "nine 32-bit fields");
#else
static_assert(sizeof(FxLine) == 40, "seven 32-bit fields, a pointer and a 32-bit block number");
#endif

// The most records an array holds: record numbers are 32-bit, and the 32-bit build keeps an
// array below 2 GB.
constexpr int64_t kFxMaxRecords = UINTPTR_MAX > 0xFFFFFFFFu
                                      ? INT32_MAX
                                      : static_cast<int64_t>(0x7FFFFFFF / sizeof(FxLine));

inline FxLine FxFreshLine() {
    return FxLine{FXL_LINEEND, -1, 0, 0, 0, -1, -1, FxBlockRef{}, nullptr};
}

enum FxLineEnd { FxLineEndDos = 0, FxLineEndUnix = 1, FxLineEndMac = 2 };

inline int FxTerminatorLength(int lineEndType) {
    return lineEndType == 1 || lineEndType == 2 ? 1 : 2;
}
inline const char* FxTerminator(int lineEndType) {
    return lineEndType == 1 ? "\n" : lineEndType == 2 ? "\r" : "\r\n";
}
