// Helpers of the search tests: requests built in one line, and the search-wrapped events a
// document reported.
#pragma once

#include "DocTestUtil.h"
#include "search/FxSearch.h"

#include <string>

// Double-byte characters of code page 936 used throughout (lead, trail):
#define ZHONG "\xD6\xD0"    // 中
#define WEN "\xCE\xC4"      // 文
#define GUO "\xB9\xFA"      // 国
#define TRAIL_A "\x81\x61"  // a character whose trail byte is "a"
#define TRAIL_UA "\x81\x41" // the same lead with trail "A"
#define TRAIL_BS "\x95\x5C" // a character whose trail byte is a backslash
#define COMMA_W "\xA3\xAC"  // ，(full-width comma)

enum SearchFlag : unsigned {
    kCase = 1,
    kWord = 2,
    kRegex = 4,
    kUp = 8,
    kWrap = 16,
};

FxSearch Request(const std::string& pattern, unsigned flags = 0, FxTextPos start = FxTextPos());
// The number of search-wrapped events, and the argument of the last one.
int WrapEvents(const TestDoc& doc, int* lastArg = nullptr);
