// The line scanner. Layer: textview/.
#include "textview/SyntaxScanner.h"

#include "textview/SyntaxMatch.h"

namespace {

class Scan {
public:
    Scan(const SyntaxInfo& info, const char* text, int len, SyntaxRunSink& sink)
        : m_info(info), m_text(text), m_sink(sink), m_c(text, len, info.Escape()) {}
    void Run(uint32_t state);

private:
    bool Emit(int start, int len, int slot, int group, bool blank) {
        if (len <= 0)
            return true;
        SyntaxRun r{start, len, static_cast<int16_t>(slot), static_cast<int16_t>(group), blank};
        m_stopped = !m_sink.OnRun(r);
        return !m_stopped;
    }
    // A word: a keyword in its group's colour, else ordinary text.
    bool Word(int start, int len) {
        int group = len <= 256 ? m_info.LookupKeyword(m_text + start, len) : -1;
        return Emit(start, len, TextFore, group, false);
    }
    bool Pending() {
        bool ok = Word(m_word, m_c.pos - m_word);
        m_word = m_c.pos;
        return ok;
    }
    void Delimiter(int clen);

    const SyntaxInfo& m_info;
    const char* m_text;
    SyntaxRunSink& m_sink;
    SynCursor m_c;
    int m_word = 0;
    bool m_stopped = false;
};

bool IsBreak(const SyntaxInfo& info, uint16_t ch) {
    return ch == ' ' || ch == '\t' || info.IsDelimiter(ch);
}

void Scan::Delimiter(int clen) {
    // A delimiter is extended by the characters after it up to the next blank or delimiter; a
    // delimiter directly after it is taken alone. Delimiter plus taken text may be a keyword.
    int start = m_c.pos;
    int q = start + clen;
    int n;
    if (q < m_c.len) {
        uint16_t ch = SynCharAt(m_text, q, m_c.len, &n);
        if (m_info.IsDelimiter(ch)) {
            q += n;
        } else if (ch != ' ' && ch != '\t') {
            while (q < m_c.len) {
                ch = SynCharAt(m_text, q, m_c.len, &n);
                if (IsBreak(m_info, ch))
                    break;
                q += n;
            }
        }
    }
    if (q > start + clen && q - start <= 256) {
        int group = m_info.LookupKeyword(m_text + start, q - start);
        if (group >= 0) {
            Emit(start, q - start, TextFore, group, false);
            m_c.AdvanceTo(q);
            m_word = m_c.pos;
            return;
        }
    }
    Word(start, clen);
    m_c.Next();
    m_word = m_c.pos;
}

void Scan::Run(uint32_t state) {
    int r = SynRuleOfState(state);
    if (r >= 0 && m_info.Rule(r)) {
        if (SynIsLineRule(r)) {
            Emit(0, m_c.len, SynRuleColour(r), -1, false);
            return;
        }
        SynFindEnd(m_info, m_c, m_info.Rule(r));
        if (!Emit(0, m_c.pos, SynRuleColour(r), -1, false))
            return;
    }
    m_word = m_c.pos;
    while (!m_c.AtEnd()) {
        int s = SynRuleAt(m_info, m_c);
        if (s >= 0) {
            if (!Pending())
                return;
            int start = m_c.pos;
            if (SynIsLineRule(s)) {
                Emit(start, m_c.len - start, SynRuleColour(s), -1, false);
                return;
            }
            m_c.AdvanceTo(start + m_info.Rule(s)->startLen);
            SynFindEnd(m_info, m_c, m_info.Rule(s));
            if (!Emit(start, m_c.pos - start, SynRuleColour(s), -1, false))
                return;
            m_word = m_c.pos;
            continue;
        }
        int clen;
        uint16_t ch = m_c.Char(&clen);
        if (ch == ' ' || ch == '\t') {
            if (!Pending() || !Emit(m_c.pos, 1, TextFore, -1, true))
                return;
            m_c.Next();
            m_word = m_c.pos;
        } else if (m_info.IsDelimiter(ch)) {
            if (!Pending())
                return;
            Delimiter(clen);
            if (m_stopped)
                return;
        } else {
            m_c.Next();
        }
    }
    Pending();
}

} // namespace

FxColorSlot SynRuleColour(int rule) {
    static const FxColorSlot kSlots[SynRuleCount] = {StringFore,       String2Fore,
                                                     LineCommentFore,  LineComment2Fore,
                                                     BlockCommentFore, BlockComment2Fore};
    return kSlots[rule];
}

void ScanPiece(const SyntaxInfo& info, const char* text, int len, uint32_t state,
               SyntaxRunSink& sink) {
    if (!text)
        len = 0;
    Scan scan(info, text, len, sink);
    scan.Run(state);
}

namespace {

class VectorSink : public SyntaxRunSink {
public:
    explicit VectorSink(std::vector<SyntaxRun>& out) : m_out(out) {}
    bool OnRun(const SyntaxRun& run) override {
        m_out.push_back(run);
        return true;
    }

private:
    std::vector<SyntaxRun>& m_out;
};

} // namespace

void ScanPiece(const SyntaxInfo& info, const char* text, int len, uint32_t state,
               std::vector<SyntaxRun>& out) {
    out.clear();
    VectorSink sink(out);
    ScanPiece(info, text, len, state, sink);
}
