// A count of bytes put into a message whose one "%d" stands for it: sizes of more than 2 GB
// (64-bit build) are shown whole, where printf's "%d" would take 32 bits. Layer: common/.
#pragma once

#include <cstdint>
#include <string>

// The format with its first "%d" replaced by the decimal digits of n ("%%" stays as it is, for
// the caller's printf); a format without "%d" comes back unchanged.
std::string FxFormatCount(const std::string& format, int64_t n);
