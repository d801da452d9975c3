// The line scanner. Layer: textview/.
//
// The scan walks the piece once. Runs of ordinary word bytes (no rule may start there, not a
// delimiter, blank or escape character) are skipped with the per-byte tables of the syntax
// table; only the characters that end a word or start something go through the full tests.
#include "textview/SyntaxScanner.h"

#include "textdoc/Dbcs.h"
#include "textview/SyntaxMatch.h"

namespace {

// Where the runs go: a sink, or straight into a vector.
struct SinkOut {
    SyntaxRunSink& sink;
    bool Put(const SyntaxRun& r) { return sink.OnRun(r); }
};

struct VectorOut {
    std::vector<SyntaxRun>& out;
    bool Put(const SyntaxRun& r) {
        out.push_back(r);
        return true;
    }
};

template <class Out> class Scan {
public:
    Scan(const SyntaxInfo& info, const char* text, int len, Out& out)
        : m_info(info), m_text(text), m_bytes(reinterpret_cast<const unsigned char*>(text)),
          m_len(len), m_out(out), m_c(text, len, info.Escape()), m_escape(info.Escape()),
          m_escLow(info.Escape() != 0 ? (info.Escape() & 0xFF) : -1) {}
    void Run(uint32_t state);

private:
    bool Emit(int start, int len, int slot, int group, bool blank) {
        if (len <= 0)
            return true;
        SyntaxRun r{start, len, static_cast<int16_t>(slot), static_cast<int16_t>(group), blank};
        return m_out.Put(r);
    }
    // A word: a keyword in its group's colour, else ordinary text.
    bool Word(int start, int len) {
        if (len <= 0)
            return true;
        int group = len <= 256 ? m_info.LookupKeyword(m_text + start, len) : -1;
        return Emit(start, len, TextFore, group, false);
    }
    bool IsDelimiter(uint16_t ch) const {
        if (ch < 0x100)
            return (m_info.DelimiterByte(static_cast<unsigned char>(ch)) & 1) != 0;
        if (!(m_info.DelimiterByte(static_cast<unsigned char>(ch & 0xFF)) & 2))
            return false;
        return m_info.IsDelimiter(ch);
    }
    // A byte that only continues a word: no rule starts with it, it is no delimiter (nor the
    // lead byte of one), no blank or control byte and not the escape character's first byte.
    bool Plain(unsigned b) const {
        return b > 0x20 && static_cast<int>(b) != m_escLow &&
               (m_info.StartMask(static_cast<unsigned char>(b)) |
                m_info.DelimiterByte(static_cast<unsigned char>(b))) == 0;
    }
    // The escape count after stepping over character ch.
    int EscapesAfter(uint16_t ch, int escapes) const {
        return (m_escape != 0 && ch == m_escape) ? escapes + 1 : 0;
    }
    bool Delimiter(int& pos, int& escapes, int& word, int clen);
    bool Rule(int s, int& pos, int& escapes);

    const SyntaxInfo& m_info;
    const char* m_text;
    const unsigned char* m_bytes;
    int m_len;
    Out& m_out;
    SynCursor m_c; // the slow paths: rule starts and ends, keywords after delimiters
    uint16_t m_escape;
    int m_escLow;
};

// A delimiter is extended by the characters after it up to the next blank or delimiter; a
// delimiter directly after it is taken alone. Delimiter plus taken text may be a keyword.
// Returns false when the sink stopped the scan.
template <class Out> bool Scan<Out>::Delimiter(int& pos, int& escapes, int& word, int clen) {
    const int start = pos;
    int q = start + clen;
    bool extended = false;
    bool plainTail = true; // the extension holds no rule start and no escape character
    int n;
    if (q < m_len) {
        uint16_t ch = SynCharAt(m_text, q, m_len, &n);
        if (IsDelimiter(ch)) {
            q += n;
        } else if (ch != ' ' && ch != '\t') {
            extended = true;
            while (q < m_len) {
                unsigned char b = m_bytes[q];
                if (Plain(b)) {
                    if (!FxIsLeadByte(b))
                        q += 1;
                    else if (q + 1 < m_len)
                        q += 2;
                    else
                        q += 1; // a lead byte without its trail is a character of its own
                    continue;
                }
                ch = SynCharAt(m_text, q, m_len, &n);
                if (ch == ' ' || ch == '\t' || IsDelimiter(ch))
                    break;
                if (m_info.StartMask(b) || (m_escape != 0 && ch == m_escape))
                    plainTail = false;
                q += n;
            }
        }
    }
    if (q > start + clen && q - start <= 256) {
        int group = m_info.LookupKeyword(m_text + start, q - start);
        if (group >= 0) {
            if (!Emit(start, q - start, TextFore, group, false))
                return false;
            m_c.pos = start;
            m_c.escapes = escapes;
            m_c.AdvanceTo(q);
            pos = m_c.pos;
            escapes = m_c.escapes;
            word = pos;
            return true;
        }
    }
    if (!Word(start, clen))
        return false;
    uint16_t ch = SynCharAt(m_text, start, m_len, &n);
    escapes = EscapesAfter(ch, escapes);
    pos = start + n;
    word = pos;
    if (extended && plainTail) {
        // The text taken after the delimiter is the next word, ending where the extension
        // ended; no rule can start inside it and it holds no escape character.
        pos = q;
        escapes = 0;
    }
    return true;
}

// A rule starting at pos: its run, after which pos stands just after the construct (or at
// the end of the piece). Returns false when the scan is over.
template <class Out> bool Scan<Out>::Rule(int s, int& pos, int& escapes) {
    const int start = pos;
    if (SynIsLineRule(s)) {
        Emit(start, m_len - start, SynRuleColour(s), -1, false);
        return false;
    }
    m_c.pos = pos;
    m_c.escapes = escapes;
    m_c.AdvanceTo(start + m_info.Rule(s)->startLen);
    SynFindEnd(m_info, m_c, m_info.Rule(s));
    pos = m_c.pos;
    escapes = m_c.escapes;
    return Emit(start, pos - start, SynRuleColour(s), -1, false);
}

template <class Out> void Scan<Out>::Run(uint32_t state) {
    int r = SynRuleOfState(state);
    if (r >= 0 && m_info.Rule(r)) {
        if (SynIsLineRule(r)) {
            Emit(0, m_len, SynRuleColour(r), -1, false);
            return;
        }
        SynFindEnd(m_info, m_c, m_info.Rule(r));
        if (!Emit(0, m_c.pos, SynRuleColour(r), -1, false))
            return;
    }
    int pos = m_c.pos;
    int escapes = m_c.escapes;
    int word = pos;
    const int len = m_len;
    while (pos < len) {
        unsigned char b = m_bytes[pos];
        if (Plain(b)) {
            if (!FxIsLeadByte(b)) {
                ++pos;
            } else if (pos + 1 < len) {
                pos += 2;
            } else {
                ++pos; // a lead byte without its trail: a character of its own
            }
            escapes = 0;
            continue;
        }
        if (m_info.StartMask(b)) {
            m_c.pos = pos;
            m_c.escapes = escapes;
            int s = SynRuleAt(m_info, m_c);
            if (s >= 0) {
                if (!Word(word, pos - word) || !Rule(s, pos, escapes))
                    return;
                word = pos;
                continue;
            }
        }
        int clen;
        uint16_t ch = SynCharAt(m_text, pos, len, &clen);
        if (ch == ' ' || ch == '\t') {
            if (!Word(word, pos - word) || !Emit(pos, 1, TextFore, -1, true))
                return;
            escapes = EscapesAfter(ch, escapes);
            ++pos;
            word = pos;
        } else if (IsDelimiter(ch)) {
            if (!Word(word, pos - word) || !Delimiter(pos, escapes, word, clen))
                return;
        } else {
            escapes = EscapesAfter(ch, escapes);
            pos += clen;
        }
    }
    Word(word, pos - word);
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
    SinkOut out{sink};
    Scan<SinkOut> scan(info, text, len, out);
    scan.Run(state);
}

void ScanPiece(const SyntaxInfo& info, const char* text, int len, uint32_t state,
               std::vector<SyntaxRun>& out) {
    out.clear();
    if (!text)
        len = 0;
    VectorOut sink{out};
    Scan<VectorOut> scan(info, text, len, sink);
    scan.Run(state);
}
