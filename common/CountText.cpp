// Counts of more than 32 bits in messages. Layer: common/.
#include "common/CountText.h"

std::string FxFormatCount(const std::string& format, int64_t n) {
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        if (format[i + 1] == 'd')
            return format.substr(0, i) + std::to_string(n) + format.substr(i + 2);
        ++i; // "%%" or another conversion: not this one
    }
    return format;
}
