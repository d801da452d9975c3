// OutputLines: the text of one output pane, an array of line records whose bytes live in a
// pool of blocks. Text only ever grows at the end until the whole is cleared, so every line but
// the last is fixed where it lies; the last grows in place at the tail of the newest block, or
// moves to a fresh block when it no longer fits. No window here. Layer: tools/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class OutputLines {
public:
    static const size_t kBlockSize = 32768;
    static const uint32_t kBookmark = 0x40000;

    struct Line {
        uint32_t flags = 0;
        int32_t length = 0;         // bytes, without the line break
        const char* text = nullptr; // in the pool; not terminated
    };

    OutputLines();
    OutputLines(const OutputLines&) = delete;
    OutputLines& operator=(const OutputLines&) = delete;

    // Appends text: the part up to the first line break joins the last line, every further part
    // starts a new line. "\r\n", "\n" and "\r" are one break each, also when a piece ends
    // between the CR and the LF: a CR that ends a piece breaks the line at once, and an LF that
    // opens the next piece completes that break. Returns the first line that changed. When
    // memory runs out the text stays appended as far as it went.
    int32_t Append(const char* text, size_t length);
    // Leaves one empty line, no bookmarks.
    void Clear();

    int32_t Count() const { return static_cast<int32_t>(m_lines.size()); }
    const Line& At(int32_t line) const { return m_lines[static_cast<size_t>(line)]; }
    int64_t TotalBytes() const { return m_totalBytes; }
    // The longest line in bytes.
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
    };
    // Makes room for `extra` more bytes of the last line; false when memory runs out.
    bool GrowLastLine(size_t extra);
    void AppendToLastLine(const char* text, size_t length);
    void StartLine();

    std::vector<Line> m_lines;
    // invariant: the last line's bytes end at m_blocks.back().used, so it can grow in place.
    std::vector<Block> m_blocks;
    int64_t m_totalBytes = 0;
    int32_t m_bookmarks = 0;
    int32_t m_maxLength = 0;
    // The last piece ended in CR: an LF opening the next piece belongs to that break.
    bool m_afterCr = false;
};
