// CFxEditDoc: the word count over the system's character types. Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include "common/SysText.h"
#include "textdoc/Dbcs.h"

FxWordCount CFxEditDoc::CountWords() const {
    FxWordCount wc;
    bool inWord = false, lastLexical = false;
    auto closeWord = [&]() {
        if (inWord) {
            ++wc.words;
            inWord = false;
        }
    };
    for (int32_t h = m_lineCount > 0 ? 0 : -1; h >= 0;) {
        const FxLine& r = m_lines[h];
        const char* text = r.data;
        const size_t len = static_cast<size_t>(r.lineLen);
        lastLexical = false;
        for (size_t i = 0; i < len;) {
            const int n = FxCharLen(text, i, len);
            ++wc.total;
            uint16_t t1 = 0, t3 = 0;
            if (fxsys::GetCharTypes(text + i, n, &t1, &t3)) {
                if (t3 & fxsys::kC3Lexical) {
                    ++wc.other;
                    lastLexical = true;
                } else {
                    lastLexical = false;
                    if (t3 & fxsys::kC3Ideograph) {
                        ++wc.chinese;
                        closeWord();
                    } else if (t3 & fxsys::kC3Alpha) {
                        inWord = true;
                    } else if (t1 & (fxsys::kC1Space | fxsys::kC1Blank)) {
                        ++wc.whitespace;
                        closeWord();
                    } else if (t1 & fxsys::kC1Digit) {
                        inWord = true;
                    } else if (t1 & fxsys::kC1Punct) {
                        ++wc.punctuation;
                        closeWord();
                    } else if (t3 == 0) {
                        ++wc.unknown;
                    }
                }
            }
            i += static_cast<size_t>(n);
        }
        const int32_t next = NextLogicalLine(h);
        // A word hyphenated across lines counts once.
        if (!(lastLexical && next >= 0 && m_lines[next].lineLen > 0))
            closeWord();
        h = next;
    }
    return wc;
}
