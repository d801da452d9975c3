// The line scanner: splits one piece into coloured runs (ordinary words, keywords, blanks,
// comments and strings) so that the painters only draw them. Layer: textview/ (byte-level).
#pragma once

#include "textview/ColorSlot.h"
#include "textview/SyntaxInfo.h"

#include <cstdint>
#include <vector>

struct SyntaxRun {
    int32_t start, len;
    int16_t slot;  // FxColorSlot: TextFore, or the colour of a comment or string rule
    int16_t group; // keyword group index (the run takes that group's colour), else -1
    bool blank;    // a single space or tab, drawn by the painter's blank rules
};

// Receives the runs in text order; returning false stops the scan (the painter passed the
// right edge of its area).
class SyntaxRunSink {
public:
    virtual bool OnRun(const SyntaxRun& run) = 0;

protected:
    ~SyntaxRunSink() = default;
};

// The colour slot of a rule's text.
FxColorSlot SynRuleColour(int rule);

// Scans a piece whose start state is `state` (its SYN_ bits; other bits are ignored).
void ScanPiece(const SyntaxInfo& info, const char* text, int len, uint32_t state,
               SyntaxRunSink& sink);
// The same into a vector (cleared first).
void ScanPiece(const SyntaxInfo& info, const char* text, int len, uint32_t state,
               std::vector<SyntaxRun>& out);
