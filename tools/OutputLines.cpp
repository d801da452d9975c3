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
    m_keptBytes = 0;
    m_bookmarks = 0;
    m_maxLength = 0;
    m_afterCr = false;
    m_dropped = 0;
    m_shift = 0;
    m_notice.clear();
}

void OutputLines::SetLimits(size_t maxBytes, int32_t maxLines) {
    m_maxBytes = std::max<size_t>(maxBytes, 1);
    m_maxLines = std::max<int32_t>(maxLines, 2);
}

void OutputLines::SetDropNotice(const std::string& format) {
    m_noticeFormat = format;
    if (m_dropped)
        UpdateNotice();
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
    block.lines = last.length ? 1 : 0;
    if (!m_blocks.empty() && last.length && m_blocks.back().bytes.get() == last.text) {
        // The old block held nothing but this line: it is not needed any more.
        m_blocks.back() = std::move(block);
    } else {
        try {
            m_blocks.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (last.length) {
            // The line's old bytes stay behind as waste; its block lets it go.
            Block& old = m_blocks[m_blocks.size() - 2];
            --old.lines;
            while (m_blocks.size() > 1 && !m_blocks.front().lines)
                m_blocks.pop_front();
        }
    }
    last.text = m_blocks.back().bytes.get();
    return true;
}

void OutputLines::AppendToLastLine(const char* text, size_t length) {
    // A line stops growing at the pane's bound (and at its 32-bit length); the rest of it up to
    // the next line break is dropped.
    const size_t room = std::min<size_t>(m_maxBytes, INT32_MAX);
    const size_t have = static_cast<size_t>(m_lines.back().length);
    length = std::min(length, room > have ? room - have : 0);
    if (!length)
        return;
    if (!GrowLastLine(length))
        throw std::bad_alloc();
    Block& block = m_blocks.back();
    std::memcpy(block.bytes.get() + block.used, text, length);
    block.used += length;
    Line& last = m_lines.back();
    if (!last.length)
        ++block.lines;
    last.length += static_cast<int32_t>(length);
    m_keptBytes += length;
    m_maxLength = std::max(m_maxLength, last.length);
}

void OutputLines::StartLine() {
    Line line;
    if (!m_blocks.empty())
        line.text = m_blocks.back().bytes.get() + m_blocks.back().used;
    m_lines.push_back(line);
}

void OutputLines::DropOverflow() {
    // `notice`: lines beside those in the queue (the notice while it is out of it).
    auto over = [&](size_t notice) {
        return m_keptBytes > m_maxBytes ||
               m_lines.size() + notice > static_cast<size_t>(m_maxLines);
    };
    if (!over(0))
        return;
    // The notice takes the first place: it leaves the queue while lines go from its front.
    const bool hadNotice = m_dropped > 0;
    Line notice;
    if (hadNotice) {
        notice = m_lines.front();
        m_lines.pop_front();
    }
    const int64_t before = m_dropped;
    // Every line but the last (the one still growing) can go.
    while (m_lines.size() > 1 && over(1)) {
        const Line& line = m_lines.front();
        if (line.flags & kBookmark)
            --m_bookmarks;
        if (line.length) {
            m_keptBytes -= static_cast<size_t>(line.length);
            // Lines lie in their blocks' order: its bytes are in the oldest block still
            // holding any, and a block that holds none any more goes.
            for (Block& block : m_blocks) {
                if (line.text >= block.bytes.get() &&
                    line.text < block.bytes.get() + block.capacity) {
                    --block.lines;
                    break;
                }
            }
            while (m_blocks.size() > 1 && !m_blocks.front().lines)
                m_blocks.pop_front();
        }
        m_lines.pop_front();
        ++m_dropped;
    }
    m_lines.push_front(notice);
    // Without a notice before, the notice line came in ahead of the lines that stayed.
    m_shift += m_dropped - before - (hadNotice ? 0 : 1);
    UpdateNotice();
}

void OutputLines::UpdateNotice() {
    std::string number = std::to_string(m_dropped);
    const size_t at = m_noticeFormat.find("%s");
    m_notice = at == std::string::npos
                   ? m_noticeFormat
                   : m_noticeFormat.substr(0, at) + number + m_noticeFormat.substr(at + 2);
    Line& line = m_lines.front();
    line.text = m_notice.data();
    line.length = static_cast<int32_t>(std::min<size_t>(m_notice.size(), INT32_MAX));
}

int32_t OutputLines::Append(const char* text, size_t length) {
    const int32_t first = Count() - 1;
    if (!text || !length)
        return first;
    try {
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
    const int64_t shift = m_shift;
    DropOverflow();
    return static_cast<int32_t>(std::max<int64_t>(first - (m_shift - shift), 0));
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
