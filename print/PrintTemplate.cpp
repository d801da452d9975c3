// Header and footer templates. The codes are "&" and an ASCII letter: "&" (0x26) is below the
// range of double-byte trail bytes, so a byte search can't match inside a Chinese character.
// Layer: print/.
#include "print/PrintTemplate.h"

#include <cctype>

namespace {

void ReplaceAll(std::string& s, const char* code, const std::string& value) {
    size_t at = 0;
    while ((at = s.find(code, at)) != std::string::npos) {
        s.replace(at, 2, value);
        at += value.size();
    }
}

} // namespace

bool IsEmptyTemplate(const std::string& tmpl) {
    if (tmpl.empty())
        return true;
    if (tmpl.size() != 5)
        return false;
    static const char kEmpty[] = "empty";
    for (size_t i = 0; i < 5; ++i)
        if (std::tolower(static_cast<unsigned char>(tmpl[i])) != kEmpty[i])
            return false;
    return true;
}

std::vector<std::string> TemplateLines(const std::string& tmpl) {
    std::vector<std::string> lines;
    if (IsEmptyTemplate(tmpl))
        return lines;
    size_t from = 0;
    for (;;) {
        const size_t at = tmpl.find("&b", from);
        lines.push_back(tmpl.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos)
            break;
        from = at + 2;
    }
    return lines;
}

TemplateLine SplitTemplateLine(const std::string& line) {
    TemplateLine out;
    std::string* target = &out.left;
    size_t i = 0, from = 0;
    while (i < line.size()) {
        if (line[i] == '&' && i + 1 < line.size() &&
            (line[i + 1] == 'l' || line[i + 1] == 'c' || line[i + 1] == 'r')) {
            target->append(line, from, i - from);
            target = line[i + 1] == 'l' ? &out.left : line[i + 1] == 'c' ? &out.centre : &out.right;
            i += 2;
            from = i;
            continue;
        }
        ++i;
    }
    target->append(line, from, std::string::npos);
    return out;
}

std::string ExpandTemplateCodes(const std::string& text, const TemplateValues& v) {
    std::string s = text;
    ReplaceAll(s, "&p", std::to_string(v.page));
    ReplaceAll(s, "&P", std::to_string(v.pages));
    ReplaceAll(s, "&T", v.time);
    ReplaceAll(s, "&D", v.date);
    ReplaceAll(s, "&f", v.fileName);
    ReplaceAll(s, "&F", v.fullPath);
    ReplaceAll(s, "&t", "\t");
    return s;
}
