// Loading the syntax part of a file type from its template. Layer: textview/.
#include "textview/SyntaxInfo.h"

#include "textview/SyntaxTemplate.h"
#include "textview/SyntaxText.h"

#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

const char kSynDefaultDelimiters[] = ",.?!;:/<>(){}[]\"'";

namespace {

uint16_t FirstChar(const char* s, int len) {
    int n;
    return SynCharAt(s, 0, len, &n);
}

} // namespace

SyntaxPair* SyntaxPair::Make(const char* start, int startLen, const char* end, int endLen) {
    size_t size =
        sizeof(SyntaxPair) + static_cast<size_t>(startLen) + 1 + static_cast<size_t>(endLen) + 1;
    SyntaxPair* p = static_cast<SyntaxPair*>(SyntaxAlloc(size));
    char* text = reinterpret_cast<char*>(p + 1);
    p->next = nullptr;
    p->start = text;
    std::memcpy(text, start, static_cast<size_t>(startLen));
    text[startLen] = 0;
    p->startLen = startLen;
    char* endText = text + startLen + 1;
    p->end = endText;
    if (endLen > 0)
        std::memcpy(endText, end, static_cast<size_t>(endLen));
    endText[endLen] = 0;
    p->endLen = endLen;
    uint16_t s0 = startLen > 0 ? FirstChar(start, startLen) : 0;
    uint16_t e0 = endLen > 0 ? FirstChar(end, endLen) : 0;
    p->startLower = SynFoldLower(s0);
    p->startUpper = SynFoldUpper(s0);
    p->endLower = SynFoldLower(e0);
    p->endUpper = SynFoldUpper(e0);
    return p;
}

void SyntaxPair::Free(SyntaxPair* pair) {
    SyntaxFree(pair);
}

SyntaxInfo::SyntaxInfo() {
    for (SyntaxPair*& r : m_rules)
        r = nullptr;
    Reset();
}

SyntaxInfo::~SyntaxInfo() {
    FreeAll();
}

SyntaxInfo::SyntaxInfo(const SyntaxInfo& o) {
    for (SyntaxPair*& r : m_rules)
        r = nullptr;
    Reset();
    CopyFrom(o);
}

SyntaxInfo& SyntaxInfo::operator=(const SyntaxInfo& o) {
    if (this != &o) {
        Reset();
        CopyFrom(o);
    }
    return *this;
}

void SyntaxInfo::FreeAll() {
    for (SyntaxPair*& r : m_rules) {
        SyntaxPair::Free(r);
        r = nullptr;
    }
    while (m_brackets) {
        SyntaxPair* next = m_brackets->next;
        SyntaxPair::Free(m_brackets);
        m_brackets = next;
    }
    for (int i = 0; i < m_groupCount; ++i)
        SyntaxFree(m_groups[i].name);
    m_groupCount = 0;
    m_keywords.Clear();
}

void SyntaxInfo::Reset() {
    FreeAll();
    m_hasSyntax = false;
    m_matchCase = true;
    m_escape = 0;
    SetDelimiters(kSynDefaultDelimiters, static_cast<int>(sizeof kSynDefaultDelimiters - 1));
    RebuildMasks();
}

void SyntaxInfo::CopyFrom(const SyntaxInfo& o) {
    m_matchCase = o.m_matchCase;
    m_escape = o.m_escape;
    std::memcpy(m_delims, o.m_delims, sizeof m_delims);
    m_delimCount = o.m_delimCount;
    std::memcpy(m_delimByte, o.m_delimByte, sizeof m_delimByte);
    for (int r = 0; r < SynRuleCount; ++r) {
        if (const SyntaxPair* p = o.m_rules[r])
            SetRule(r, p->start, p->startLen, p->end, p->endLen);
    }
    // The bracket list is newest first: add the copies oldest first to keep the order.
    std::vector<const SyntaxPair*> brackets;
    for (const SyntaxPair* b = o.m_brackets; b; b = b->next)
        brackets.push_back(b);
    for (size_t i = brackets.size(); i-- > 0;)
        AddBracket(brackets[i]->start, brackets[i]->startLen, brackets[i]->end,
                   brackets[i]->endLen);
    for (int i = 0; i < o.m_groupCount; ++i) {
        m_groups[i].name = SyntaxStrDup(o.m_groups[i].name, std::strlen(o.m_groups[i].name));
        m_groups[i].colour = o.m_groups[i].colour;
        m_groupCount = i + 1;
    }
    // Entries are stored as they are looked up, so they are copied byte for byte.
    o.m_keywords.ForEach(
        [this](const char* text, int len, int group) { m_keywords.Add(text, len, group, true); });
    m_hasSyntax = o.m_hasSyntax;
}

void SyntaxInfo::SetDelimiters(const char* text, int len) {
    m_delimCount = 0;
    std::memset(m_delimByte, 0, sizeof m_delimByte);
    for (int i = 0; i < len && m_delimCount < kMaxDelimiters;) {
        int n;
        uint16_t ch = SynCharAt(text, i, len, &n);
        i += n;
        if (ch == 0)
            break;
        m_delims[m_delimCount++] = ch;
        m_delimByte[ch & 0xFF] |= n == 2 ? 2 : 1;
    }
    m_delims[m_delimCount] = 0;
}

bool SyntaxInfo::IsDelimiter(uint16_t ch) const {
    if (ch < 0x100)
        return (m_delimByte[ch] & 1) != 0;
    if (!(m_delimByte[ch & 0xFF] & 2))
        return false;
    for (int i = 0; i < m_delimCount; ++i) {
        if (m_delims[i] == ch)
            return true;
    }
    return false;
}

void SyntaxInfo::SetRule(int rule, const char* start, int startLen, const char* end, int endLen) {
    SyntaxPair::Free(m_rules[rule]);
    m_rules[rule] = nullptr;
    bool isLine = rule == SynLineComment || rule == SynLineComment2;
    if (startLen > 0 && (isLine || endLen > 0))
        m_rules[rule] = SyntaxPair::Make(start, startLen, end, isLine ? 0 : endLen);
    RebuildMasks();
}

void SyntaxInfo::AddBracket(const char* open, int openLen, const char* close, int closeLen) {
    if (openLen <= 0 || closeLen <= 0)
        return;
    SyntaxPair* p = SyntaxPair::Make(open, openLen, close, closeLen);
    p->next = m_brackets;
    m_brackets = p;
}

int SyntaxInfo::RegisterGroup(const char* name, uint32_t colour) {
    int len = static_cast<int>(std::strlen(name));
    for (int i = 0; i < m_groupCount; ++i) {
        if (static_cast<int>(std::strlen(m_groups[i].name)) == len &&
            SynEqualBytes(m_groups[i].name, name, len, false)) {
            m_groups[i].colour = colour;
            return i;
        }
    }
    if (m_groupCount >= kMaxGroups)
        return -1;
    m_groups[m_groupCount].name = SyntaxStrDup(name, static_cast<size_t>(len));
    m_groups[m_groupCount].colour = colour;
    return m_groupCount++;
}

void SyntaxInfo::AddKeyword(const char* text, int len, int group) {
    if (group >= 0 && group < m_groupCount)
        m_keywords.Add(text, len, group, m_matchCase);
}

void SyntaxInfo::UpdateHasSyntax() {
    m_hasSyntax = m_keywords.Count() > 0;
    for (const SyntaxPair* r : m_rules)
        m_hasSyntax = m_hasSyntax || r != nullptr;
}

void SyntaxInfo::RebuildMasks() {
    std::memset(m_startMask, 0, sizeof m_startMask);
    for (int r = 0; r < SynRuleCount; ++r) {
        if (const SyntaxPair* p = m_rules[r]) {
            m_startMask[p->startLower & 0xFF] |= static_cast<uint8_t>(1u << r);
            m_startMask[p->startUpper & 0xFF] |= static_cast<uint8_t>(1u << r);
        }
    }
}

void SyntaxInfo::Load(const SyntaxTemplate& t, const ColourOverride& override) {
    FreeAll();
    RebuildMasks();
    m_matchCase = true;
    std::string v;
    if (t.GetValue("MatchCase", v)) {
        if (v.size() == 3 && SynEqualBytes(v.data(), "yes", 3, false))
            m_matchCase = true;
        else if (v.size() == 2 && SynEqualBytes(v.data(), "no", 2, false))
            m_matchCase = false;
    }
    m_escape = 0;
    if (t.GetValue("Escape", v) && !v.empty()) {
        int n;
        m_escape = SynCharAt(v.data(), 0, static_cast<int>(v.size()), &n);
    }
    static const char* const kLineKeys[2] = {"LineComment", "LineComment2"};
    for (int i = 0; i < 2; ++i) {
        if (t.GetValue(kLineKeys[i], v) && !v.empty())
            SetRule(SynLineComment + i, v.data(), static_cast<int>(v.size()), nullptr, 0);
    }
    static const char* const kPairKeys[4] = {"BlockComment", "BlockComment2", "QuotedString",
                                             "QuotedString2"};
    static const int kPairRules[4] = {SynBlockComment, SynBlockComment2, SynQuoted, SynQuoted2};
    for (int i = 0; i < 4; ++i) {
        std::string on, off;
        if (t.GetValue(kPairKeys[i], v) &&
            StfParsePair(v.data(), static_cast<int>(v.size()), on, off))
            SetRule(kPairRules[i], on.data(), static_cast<int>(on.size()), off.data(),
                    static_cast<int>(off.size()));
    }
    if (t.GetValue("BraceStrings", v)) {
        std::vector<std::pair<std::string, std::string>> pairs;
        StfParsePairList(v.data(), static_cast<int>(v.size()), pairs);
        for (const auto& p : pairs)
            AddBracket(p.first.data(), static_cast<int>(p.first.size()), p.second.data(),
                       static_cast<int>(p.second.size()));
    }
    for (const StfGroup& g : t.Groups()) {
        uint32_t colour = g.colour;
        if (override)
            override(g.name, colour);
        int index = RegisterGroup(g.name.c_str(), colour);
        if (index < 0)
            continue;
        t.ForEachKeyword(g, [&](const char* text, int len) { AddKeyword(text, len, index); });
    }
    UpdateHasSyntax();
}

bool SyntaxInfo::LoadFile(const char* path, const ColourOverride& override) {
    SyntaxTemplate t;
    if (!t.Open(path))
        return false;
    Load(t, override);
    return true;
}
