// Character traits of the regular-expression matcher: the C++ library's traits with case
// folded by the system's case mapping, so that a search without match case treats every letter
// with two cases alike (Greek, Cyrillic and full-width Latin as well as ASCII), in ranges too.
// Layer: search/.
#pragma once

#include "common/SysText.h"

#include <boost/regex.hpp>

#include <cstdint>
#include <vector>

class FxRegexTraits : public boost::cpp_regex_traits<wchar_t> {
public:
    wchar_t translate(wchar_t c) const { return c; }
    wchar_t translate(wchar_t c, bool icase) const { return icase ? translate_nocase(c) : c; }
    wchar_t translate_nocase(wchar_t c) const { return Lower(c); }
    wchar_t tolower(wchar_t c) const { return Lower(c); }
    wchar_t toupper(wchar_t c) const { return Upper(c); }
    // The ideographic space is in every class the ASCII space is in (\s, [[:space:]], ...).
    bool isctype(wchar_t c, char_class_type m) const {
        const boost::cpp_regex_traits<wchar_t>& base = *this;
        if (c == 0x3000 && base.isctype(L' ', m))
            return true;
        return base.isctype(c, m);
    }

private:
    struct Tables {
        std::vector<uint16_t> lower, upper;
        Tables() : lower(65536), upper(65536) {
            for (uint32_t c = 0; c < 65536; ++c) {
                lower[c] = fxsys::LowerUnit(static_cast<uint16_t>(c));
                upper[c] = fxsys::UpperUnit(static_cast<uint16_t>(c));
            }
        }
    };
    static const Tables& Get() {
        static const Tables tables;
        return tables;
    }
    static wchar_t Lower(wchar_t c) {
        const uint32_t u = static_cast<uint32_t>(c);
        return u < 65536 ? static_cast<wchar_t>(Get().lower[u]) : c;
    }
    static wchar_t Upper(wchar_t c) {
        const uint32_t u = static_cast<uint32_t>(c);
        return u < 65536 ? static_cast<wchar_t>(Get().upper[u]) : c;
    }
};

using FxBoostRegex = boost::basic_regex<wchar_t, FxRegexTraits>;
