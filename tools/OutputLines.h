// OutputLines: the text of one output pane, a queue of line records whose bytes live in a queue
// of blocks. Text grows at the end; past the pane's bound the oldest lines go from the front, and
// a notice line standing first says how many went. Every line but the last is fixed where it
// lies; the last grows in place at the tail of the newest block, or moves to a fresh block when
// it no longer fits. No window here. Layer: tools/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

class OutputLines {
public:
    static const size_t kBlockSize = 32768;
    static const uint32_t kBookmark = 0x40000;
    // The bound of one pane: the bytes of its lines and their number. Four panes within it stay
    // well inside a 32-bit address space, and a pane still holds hundreds of thousands of lines.
    static const size_t kDefaultMaxBytes = size_t(64) << 20;
    static const int32_t kDefaultMaxLines = 1 << 21;

    struct Line {
        uint32_t flags = 0;
        int32_t length = 0;         // bytes, without the line break
        const char* text = nullptr; // in the pool (or the notice); not terminated
    };

    OutputLines();
    OutputLines(const OutputLines&) = delete;
    OutputLines& operator=(const OutputLines&) = delete;

    // Appends text: the part up to the first line break joins the last line, every further part
    // starts a new line. "\r\n", "\n" and "\r" are one break each, also when a piece ends
    // between the CR and the LF: a CR that ends a piece breaks the line at once, and an LF that
    // opens the next piece completes that break. Returns the first line that changed (after
    // any lines dropped by this call). When memory runs out the text stays appended as far as
    // it went.
    int32_t Append(const char* text, size_t length);
    // Leaves one empty line, no bookmarks, nothing dropped.
    void Clear();

    // The bound; lines beyond it go at the next append. A line stops growing at maxBytes.
    void SetLimits(size_t maxBytes, int32_t maxLines);
    // The notice that stands first once lines were dropped: "%s" is replaced by their number.
    void SetDropNotice(const std::string& format);
    // Lines dropped from the front since the last Clear (the notice line not counted).
    int64_t DroppedLines() const { return m_dropped; }
    // How far the lines that stayed have moved towards the front since the last Clear: a
    // line's index is its old index less the growth of this number.
    int64_t Shift() const { return m_shift; }
    // Bytes of the kept lines, the notice not counted.
    size_t KeptBytes() const { return m_keptBytes; }

    int32_t Count() const { return static_cast<int32_t>(m_lines.size()); }
    const Line& At(int32_t line) const { return m_lines[static_cast<size_t>(line)]; }
    int64_t TotalBytes() const { return m_totalBytes; }
    // The longest line in bytes (lines dropped since may have been longer).
    int32_t MaxLength() const { return m_maxLength; }
    bool HasText() const { return m_lines.size() > 1 || m_lines[0].length > 0; }

    bool IsBookmarked(int32_t line) const { return (At(line).flags & kBookmark) != 0; }
    void SetBookmark(int32_t line, bool on);
    int32_t BookmarkCount() const { return m_bookmarks; }
    void ClearBookmarks();
    // The first bookmarked line after `line` (or the last one before it), -1 when none.
    int32_t NextBookmark(int32_t line) const;
    int32_t PrevBookmark(int32_t line) const;

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        size_t capacity = 0;
        size_t used = 0;
        size_t lines = 0; // lines with bytes here; a block goes when the last of them goes
    };
    // Makes room for `extra` more bytes of the last line; false when memory runs out.
    bool GrowLastLine(size_t extra);
    void AppendToLastLine(const char* text, size_t length);
    void StartLine();
    // Drops the oldest lines until the kept ones are within the bound (the last line stays).
    void DropOverflow();
    void UpdateNotice();

    std::deque<Line> m_lines;
    // invariant: the last line's bytes end at m_blocks.back().used, so it can grow in place;
    // blocks lie in the order of their lines, so the lines of the front block go first.
    std::deque<Block> m_blocks;
    int64_t m_totalBytes = 0;
    size_t m_keptBytes = 0;
    int32_t m_bookmarks = 0;
    int32_t m_maxLength = 0;
    // The last piece ended in CR: an LF opening the next piece belongs to that break.
    bool m_afterCr = false;
    size_t m_maxBytes = kDefaultMaxBytes;
    int32_t m_maxLines = kDefaultMaxLines;
    int64_t m_dropped = 0;
    int64_t m_shift = 0;
    std::string m_noticeFormat;
    std::string m_notice; // the text of line 0 while m_dropped > 0
};
