// Encoding detection and the UTF-8 <-> UTF-16 codecs of the file routines: 16-bit units, UTF-8
// sequences of at most three bytes. Layer: textdoc/; stateless, safe on any thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Guesses the encoding of a file's bytes: 1 ANSI, 2 UTF-8, 3 UTF-16 LE, 4 UTF-16 BE (FxEncoding).
// UTF-16 needs its mark and no unit 0 nor a second mark; UTF-8 is decided by the first line that
// holds a byte with the high bit set or a 0 byte.
int DetectEncoding(const char* bytes, size_t size);

// The strict test of one stretch: sequences of one, two (C0-DF) or three (E0-EF) bytes with
// continuation bytes 80-BF, none cut off by the end. An empty stretch is not UTF-8.
bool IsUtf8Text(const char* bytes, size_t size);

// Decodes into at most `capacity` units and returns the count written. With capacity 0 returns an
// upper bound of the units instead. Malformed input decodes without failing: a byte that cannot
// start a sequence becomes a unit of its own value, continuation bytes are taken as they come and
// those beyond the end count as 0.
size_t DecodeUtf8(const char* bytes, size_t size, uint16_t* units, size_t capacity);

// DecodeUtf8 for a text taken in parts: decodes at most `capacity` (> 0) units and sets *used to
// the bytes they came from, where the next part starts. When given, *exact is cleared on a
// sequence that would not encode back to the same bytes (see MeasureUtf8).
size_t DecodeUtf8Part(const char* bytes, size_t size, uint16_t* units, size_t capacity,
                      size_t* used, bool* exact = nullptr);

// Encodes into at most `capacity` bytes and returns the count written; a sequence that would pass
// the capacity is written as far as it fits. With capacity 0 returns the exact byte count.
size_t EncodeUtf8(const uint16_t* units, size_t count, char* bytes, size_t capacity);

// The counting mode of DecodeUtf8 in the same pass as a test for text that decodes and encodes
// back to the same bytes: *exact is set to true when every sequence is well formed, none is an
// overlong form and none encodes a surrogate unit.
size_t MeasureUtf8(const char* bytes, size_t size, bool* exact);
