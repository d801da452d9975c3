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
    int Lookup(const char* text, int len, bool matchCase) const;
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

    Entry* m_buckets[256] = {};
    int m_count = 0;
    SyntaxArena m_arena;
};
