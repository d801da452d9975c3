// The literal text that every match of a regular expression holds, for the prefilter that skips
// lines without it. Layer: search/.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The longest run of literal characters that any match of the pattern (ANSI bytes, Perl syntax)
// must hold, or empty when there is none that is safe to name (alternatives at the top level,
// inline options, verbs, quoted stretches: whatever is not read exactly is not required).
// Escapes that stand for no character (back-references, properties, assertions) hold no text.
// A character is required only as the one spelling a match can hold it in: with match case, a
// character the code page spells one way only; without, an ASCII character that no other
// character folds to, letters lower-cased.
std::string FxRequiredLiteral(const char* pattern, int32_t len, bool matchCase);

// One position of a required run: the single bytes a match may hold there.
using FxByteSet = std::array<bool, 256>;

// The longest run of consecutive single-byte characters that any match must hold, where each
// position may be one of several characters: a literal character or, with match case, a class
// of printable ASCII characters and ranges ("[xyz]", "[a-z]", not negated). Empty when there is
// none, on the same terms as FxRequiredLiteral. Without match case only letters and other
// literal ASCII characters take part, a letter standing for both its cases.
std::vector<FxByteSet> FxRequiredClassRun(const char* pattern, int32_t len, bool matchCase);
