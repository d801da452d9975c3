// Helpers of the search tests.
#include "SearchTestUtil.h"

#include <deque>

FxSearch Request(const std::string& pattern, unsigned flags, FxTextPos start) {
    // The request points into the pattern: keep every pattern alive for the test run.
    static std::deque<std::string> patterns;
    patterns.push_back(pattern);
    FxSearch s;
    s.pattern = patterns.back().c_str();
    s.patternLen = static_cast<int32_t>(patterns.back().size());
    s.matchCase = (flags & kCase) != 0;
    s.wholeWord = (flags & kWord) != 0;
    s.regExp = (flags & kRegex) != 0;
    s.down = (flags & kUp) == 0;
    s.wrap = (flags & kWrap) != 0;
    s.start = start;
    return s;
}

int WrapEvents(const TestDoc& doc, int* lastArg) {
    int n = 0;
    for (const auto& e : doc.events)
        if (e.first == FxEvSearchWrapped) {
            ++n;
            if (lastArg)
                *lastArg = e.second;
        }
    return n;
}
