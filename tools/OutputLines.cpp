// OutputLines. Layer: tools/.
#include "tools/OutputLines.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

OutputLines::OutputLines() {
    m_lines.emplace_back();
}

void OutputLines::Clear() {
    m_lines.assign(1, Line());
    m_blocks.clear();
    m_totalBytes = 0;
    m_bookmarks = 0;
    m_maxLength = 0;
    m_afterCr = false;
}

bool OutputLines::GrowLastLine(size_t extra) {
    Line& last = m_lines.back();
    if (!m_blocks.empty() && m_blocks.back().capacity - m_blocks.back().used >= extra)
        return true;
    const size_t need = static_cast<size_t>(last.length) + extra;
    // A line longer than a block gets a block of its own that doubles as it grows, so that a
    // long line built from many small pieces is copied a bounded number of times.
    const size_t capacity = need <= kBlockSize ? kBlockSize : need * 2;
    Block block;
    block.bytes.reset(new (std::nothrow) char[capacity]);
    if (!block.bytes)
        return false;
    block.capacity = capacity;
    if (last.length)
        std::memcpy(block.bytes.get(), last.text, static_cast<size_t>(last.length));
    block.used = static_cast<size_t>(last.length);
    if (!m_blocks.empty() && last.length && m_blocks.back().bytes.get() == last.text) {
        // The old block held nothing but this line: it is not needed any more.
        m_blocks.back() = std::move(block);
    } else {
        try {
            m_blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    last.text = m_blocks.back().bytes.get();
    return true;
}

void OutputLines::AppendToLastLine(const char* text, size_t length) {
    // A line's length is 32-bit: what would carry it past that (only a 64-bit process has the
    // memory to get there) is dropped, and the next line break starts a new line as usual.
    length = std::min(length, static_cast<size_t>(INT32_MAX - m_lines.back().length));
    if (!length)
        return;
    if (!GrowLastLine(length))
        throw std::bad_alloc();
    Block& block = m_blocks.back();
    std::memcpy(block.bytes.get() + block.used, text, length);
    block.used += length;
    Line& last = m_lines.back();
    last.length += static_cast<int32_t>(length);
    m_maxLength = std::max(m_maxLength, last.length);
}

void OutputLines::StartLine() {
    Line line;
    if (!m_blocks.empty())
        line.text = m_blocks.back().bytes.get() + m_blocks.back().used;
    m_lines.push_back(line);
}

int32_t OutputLines::Append(const char* text, size_t length) {
    const int32_t first = Count() - 1;
    if (!text || !length)
        return first;
    try {
        size_t breaks = 0;
        for (size_t i = 0; i < length; ++i) {
            if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == length || text[i + 1] != '\n')))
                ++breaks;
        }
        const size_t needed = m_lines.size() + breaks;
        if (m_lines.capacity() < needed)
            m_lines.reserve(std::max(needed, m_lines.capacity() * 2));
        size_t start = 0, i = 0;
        // An LF that opens this piece completes the break of the CR that ended the last one.
        if (m_afterCr && text[0] == '\n')
            start = i = 1;
        m_afterCr = text[length - 1] == '\r';
        while (i < length) {
            const char c = text[i];
            if (c != '\r' && c != '\n') {
                ++i;
                continue;
            }
            AppendToLastLine(text + start, i - start);
            // CR LF is one break; a CR that ends this piece breaks the line now, and the LF
            // that may open the next piece is skipped there.
            i += (c == '\r' && i + 1 < length && text[i + 1] == '\n') ? 2 : 1;
            start = i;
            StartLine();
        }
        AppendToLastLine(text + start, length - start);
    } catch (const std::bad_alloc&) {
        // Out of memory: what was appended so far stays.
    }
    m_totalBytes += static_cast<int64_t>(length);
    return first;
}

void OutputLines::SetBookmark(int32_t line, bool on) {
    Line& rec = m_lines[static_cast<size_t>(line)];
    const bool was = (rec.flags & kBookmark) != 0;
    if (was == on)
        return;
    rec.flags ^= kBookmark;
    m_bookmarks += on ? 1 : -1;
}

void OutputLines::ClearBookmarks() {
    for (Line& line : m_lines)
        line.flags &= ~kBookmark;
    m_bookmarks = 0;
}

int32_t OutputLines::NextBookmark(int32_t line) const {
    if (!m_bookmarks)
        return -1;
    for (int32_t i = std::max(line + 1, 0); i < Count(); ++i)
        if (IsBookmarked(i))
            return i;
    return -1;
}

int32_t OutputLines::PrevBookmark(int32_t line) const {
    if (!m_bookmarks)
        return -1;
    for (int32_t i = std::min(line - 1, Count() - 1); i >= 0; --i)
        if (IsBookmarked(i))
            return i;
    return -1;
}
