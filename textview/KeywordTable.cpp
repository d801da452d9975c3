// Keyword table. Layer: textview/.
#include "textview/KeywordTable.h"

#include "textview/SyntaxText.h"

#include <cstddef>
#include <cstring>
#include <utility>

KeywordTable::KeywordTable(KeywordTable&& o) noexcept
    : m_count(o.m_count), m_arena(std::move(o.m_arena)) {
    std::memcpy(m_buckets, o.m_buckets, sizeof m_buckets);
    std::memset(o.m_buckets, 0, sizeof o.m_buckets);
    std::memcpy(m_lengths, o.m_lengths, sizeof m_lengths);
    std::memset(o.m_lengths, 0, sizeof o.m_lengths);
    o.m_count = 0;
}

KeywordTable& KeywordTable::operator=(KeywordTable&& o) noexcept {
    if (this != &o) {
        m_arena = std::move(o.m_arena);
        std::memcpy(m_buckets, o.m_buckets, sizeof m_buckets);
        std::memset(o.m_buckets, 0, sizeof o.m_buckets);
        std::memcpy(m_lengths, o.m_lengths, sizeof m_lengths);
        std::memset(o.m_lengths, 0, sizeof o.m_lengths);
        m_count = o.m_count;
        o.m_count = 0;
    }
    return *this;
}

unsigned KeywordTable::Hash(const char* text, int len) {
    unsigned h = 0;
    if (len > 256)
        len = 256;
    for (int i = 0; i < len; ++i)
        h = (h * 33 + static_cast<unsigned char>(text[i])) & 0xFF;
    return h;
}

const KeywordTable::Entry* KeywordTable::Find(const char* text, int len) const {
    for (const Entry* e = m_buckets[Hash(text, len)]; e; e = e->next) {
        if (e->len == len && std::memcmp(e->text, text, static_cast<size_t>(len)) == 0)
            return e;
    }
    return nullptr;
}

bool KeywordTable::Add(const char* text, int len, int group, bool matchCase) {
    if (len <= 0)
        return false;
    if (len > kMaxKeyword)
        len = kMaxKeyword;
    char lower[kMaxKeyword];
    if (!matchCase) {
        SynLowerCopy(text, len, lower);
        text = lower;
    }
    if (Find(text, len))
        return false;
    Entry* e = static_cast<Entry*>(m_arena.Alloc(offsetof(Entry, text) + len + 1));
    e->group = group;
    e->len = len;
    std::memcpy(e->text, text, static_cast<size_t>(len));
    e->text[len] = 0;
    unsigned h = Hash(text, len);
    e->next = m_buckets[h];
    m_buckets[h] = e;
    m_lengths[static_cast<unsigned char>(text[0])] |= 1u << (len & 31);
    ++m_count;
    return true;
}

int KeywordTable::LookupStored(const char* text, int len, bool matchCase) const {
    char lower[kMaxKeyword];
    if (!matchCase) {
        SynLowerCopy(text, len, lower);
        text = lower;
    }
    const Entry* e = Find(text, len);
    return e ? e->group : -1;
}

void KeywordTable::Clear() {
    m_arena.Clear();
    std::memset(m_buckets, 0, sizeof m_buckets);
    std::memset(m_lengths, 0, sizeof m_lengths);
    m_count = 0;
}
