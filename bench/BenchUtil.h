// Timing, generated inputs and the split baseline shared by the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

double NowSeconds();
double Median(std::vector<double> v);

// Writes ~`bytes` of mixed GBK and ASCII text in CR LF lines (about 40 bytes a line) where
// about nine lines in twenty hold the word "qvz" (over a million in 100 MB). Returns the number of lines.
int64_t GenerateGbkText(const std::string& path, size_t bytes, uint32_t seed);
// Converts an ANSI file to UTF-8 (with mark) or UTF-16 (with mark, little or big endian).
bool ConvertFile(const std::string& from, const std::string& to, int encoding);

// The baseline B: map the file, split it at LF with memchr, copy the line bytes into one buffer.
// Returns seconds; *lines gets the line count.
double SplitBaseline(const std::string& path, int64_t* lines);
// One WriteFile of `size` bytes into a new file: the baseline of saving.
double WriteBaseline(const std::string& path, const char* data, size_t size, bool flush = false);

void PrintFigure(const char* name, double value, const char* unit, double base, double limit);
