// The syntax part of a file type: rules for comments and strings, bracket pairs, keyword groups
// and the keyword table, the escape character and the word delimiters, loaded from a syntax
// template. Layer: textview/ (byte-level).
#pragma once

#include "textview/KeywordTable.h"

#include <cstdint>
#include <functional>
#include <string>

class SyntaxTemplate;

// The six rules in their slot order; a record's state bit is 0x01000000 << rule.
enum SynRule {
    SynQuoted = 0,
    SynQuoted2,
    SynLineComment,
    SynLineComment2,
    SynBlockComment,
    SynBlockComment2,
    SynRuleCount
};

enum : uint32_t {
    SYN_QUOTED = 0x01000000,
    SYN_QUOTED2 = 0x02000000,
    SYN_LINECOMMENT = 0x04000000,
    SYN_LINECOMMENT2 = 0x08000000,
    SYN_BLOCKCOMMENT = 0x10000000,
    SYN_BLOCKCOMMENT2 = 0x20000000,
    SYN_STATEMASK = 0x3F000000,
};

inline uint32_t SynStateOf(int rule) {
    return 0x01000000u << rule;
}

// A start and an end string (a line comment has no end), each with its length and its first
// character in lower and upper case; record and strings live in one pool allocation.
struct SyntaxPair {
    SyntaxPair* next; // bracket list link, newest first
    const char* start;
    const char* end;
    int32_t startLen, endLen;
    uint16_t startLower, startUpper, endLower, endUpper;

    static SyntaxPair* Make(const char* start, int startLen, const char* end, int endLen);
    static void Free(SyntaxPair* pair);
};

struct KeywordGroup {
    char* name; // from the pools
    uint32_t colour;
};

class SyntaxInfo {
public:
    static const int kMaxGroups = 64;
    static const int kMaxDelimiters = 63;
    // Called for each keyword group while loading: may replace the template's colour.
    using ColourOverride = std::function<void(const std::string& group, uint32_t& colour)>;

    SyntaxInfo();
    ~SyntaxInfo();
    SyntaxInfo(const SyntaxInfo& o);
    SyntaxInfo& operator=(const SyntaxInfo& o);

    // Back to no rules, no keywords, match case on, no escape, the default delimiters.
    void Reset();
    // Reads MatchCase, Escape, the six rules, BraceStrings and every keyword group; sets the
    // has-syntax flag. Delimiters are not touched: they come from the file type's settings.
    void Load(const SyntaxTemplate& t, const ColourOverride& override = nullptr);
    // Opens and loads a template file; false when it cannot be opened (nothing is changed).
    bool LoadFile(const char* path, const ColourOverride& override = nullptr);

    // Parses up to 63 characters (double-byte characters count one).
    void SetDelimiters(const char* text, int len);
    bool IsDelimiter(uint16_t ch) const;
    int DelimiterCount() const { return m_delimCount; }
    const uint16_t* Delimiters() const { return m_delims; }

    void SetRule(int rule, const char* start, int startLen, const char* end, int endLen);
    void AddBracket(const char* open, int openLen, const char* close, int closeLen);
    // Registers a group: an existing name (any case) gets the new colour and keeps its index.
    // Returns -1 when the table is full.
    int RegisterGroup(const char* name, uint32_t colour);
    void AddKeyword(const char* text, int len, int group);
    int LookupKeyword(const char* text, int len) const {
        return m_keywords.Lookup(text, len, m_matchCase);
    }
    void SetMatchCase(bool on) { m_matchCase = on; }
    void SetEscape(uint16_t ch) { m_escape = ch; }
    void UpdateHasSyntax();

    bool HasSyntax() const { return m_hasSyntax; }
    bool MatchCase() const { return m_matchCase; }
    uint16_t Escape() const { return m_escape; }
    const SyntaxPair* Rule(int rule) const { return m_rules[rule]; }
    const SyntaxPair* Brackets() const { return m_brackets; }
    int GroupCount() const { return m_groupCount; }
    const KeywordGroup& Group(int i) const { return m_groups[i]; }
    void SetGroupColour(int i, uint32_t colour) { m_groups[i].colour = colour; }
    const KeywordTable& Keywords() const { return m_keywords; }

    // Per byte, bit r set when rule r's start may begin with that byte (either case).
    uint8_t StartMask(unsigned char b) const { return m_startMask[b]; }
    // Per byte: 1 a single-byte delimiter, 2 the lead byte of a double-byte delimiter.
    uint8_t DelimiterByte(unsigned char b) const { return m_delimByte[b]; }

private:
    void FreeAll();
    void CopyFrom(const SyntaxInfo& o);
    void RebuildMasks();

    bool m_hasSyntax = false;
    bool m_matchCase = true;
    uint16_t m_escape = 0;
    uint16_t m_delims[kMaxDelimiters + 1];
    int m_delimCount = 0;
    SyntaxPair* m_rules[SynRuleCount];
    SyntaxPair* m_brackets = nullptr;
    KeywordGroup m_groups[kMaxGroups];
    int m_groupCount = 0;
    KeywordTable m_keywords;
    uint8_t m_startMask[256];
    uint8_t m_delimByte[256];
};

// The default word delimiters of a syntax table before any setting is applied.
extern const char kSynDefaultDelimiters[];
