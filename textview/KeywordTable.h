// The keywords of one file type: 256 buckets of singly linked entries chosen by an 8-bit hash
// (h = h * 33 + byte, over at most 256 bytes), entries carved from an arena and freed together.
// Layer: textview/ (byte-level).
#pragma once

#include "textview/SyntaxPool.h"

#include <cstdint>

class KeywordTable {
public:
    static const int kMaxKeyword = 255; // bytes kept of a longer keyword

    KeywordTable() = default;
    KeywordTable(const KeywordTable&) = delete;
    KeywordTable& operator=(const KeywordTable&) = delete;
    KeywordTable(KeywordTable&&) noexcept;
    KeywordTable& operator=(KeywordTable&&) noexcept;

    // Stores the keyword lowercased when matchCase is off. An empty keyword is ignored; one that
    // is already present keeps its first group. Returns true when an entry was added.
    bool Add(const char* text, int len, int group, bool matchCase);
    // Group index of the text, or -1. With matchCase off the text is lowercased first.
    int Lookup(const char* text, int len, bool matchCase) const {
        if (len <= 0 || len > kMaxKeyword || m_count == 0)
            return -1;
        // Lowercasing keeps the length and folds the first byte as an ASCII letter (a lead byte
        // keeps its value; only the trail byte of a double-byte letter changes).
        unsigned char first = static_cast<unsigned char>(text[0]);
        if (!matchCase && first >= 'A' && first <= 'Z')
            first = static_cast<unsigned char>(first + 32);
        if (!MayHold(first, len))
            return -1;
        return LookupStored(text, len, matchCase);
    }
    int Count() const { return m_count; }
    void Clear();
    // Visits every entry (bucket order, newest first within a bucket).
    template <class F> void ForEach(F f) const {
        for (const Entry* bucket : m_buckets)
            for (const Entry* e = bucket; e; e = e->next)
                f(e->text, e->len, e->group);
    }
    static unsigned Hash(const char* text, int len);

private:
    struct Entry {
        Entry* next;
        int32_t group;
        int32_t len;
        char text[1]; // len bytes and a terminating zero
    };
    const Entry* Find(const char* text, int len) const;
    int LookupStored(const char* text, int len, bool matchCase) const;
    // Per first byte of the stored entries, bit (length & 31) set for each of their lengths: a
    // word whose first byte and length hit no bit needs no hashing.
    bool MayHold(unsigned char first, int len) const {
        return (m_lengths[first] >> (len & 31)) & 1u;
    }

    Entry* m_buckets[256] = {};
    uint32_t m_lengths[256] = {};
    int m_count = 0;
    SyntaxArena m_arena;
};
