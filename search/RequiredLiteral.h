// The literal text that every match of a regular expression holds, for the prefilter that skips
// lines without it. Layer: search/.
#pragma once

#include <cstdint>
#include <string>

// The longest run of literal characters that any match of the pattern (ANSI bytes, Perl syntax)
// must hold, or empty when there is none that is safe to name (alternatives at the top level,
// inline options, quoted stretches). Without match case the run holds only ASCII characters,
// letters lower-cased, since other letters may fold to different bytes.
std::string FxRequiredLiteral(const char* pattern, int32_t len, bool matchCase);
