// Header and footer templates: one line split into its left, centre and right texts at "&l",
// "&c" and "&r", and the codes for page, pages, time, date, names and tab replaced.
// Layer: print/ (no windows).
#pragma once

#include <string>
#include <vector>

struct TemplateLine {
    std::string left, centre, right;
};

// The template's lines (split at "&b"); an empty template has none.
std::vector<std::string> TemplateLines(const std::string& tmpl);
// Is the template empty or the word "empty" (any case)?
bool IsEmptyTemplate(const std::string& tmpl);
// One line split by alignment; segments of one alignment are joined in order.
TemplateLine SplitTemplateLine(const std::string& line);

struct TemplateValues {
    int page = 1, pages = 1;
    std::string date, time, fileName, fullPath;
};
// "&p", "&P", "&T", "&D", "&f", "&F", "&t" replaced in that order, every occurrence.
std::string ExpandTemplateCodes(const std::string& text, const TemplateValues& v);
