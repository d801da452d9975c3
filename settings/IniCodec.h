// The two composite value encodings of the INI files: NumberList (decimal integers separated by
// commas) and FieldRecord (items "name"=value separated by "|"). Plain text work; layer: app/.
#pragma once

#include <string>
#include <vector>

namespace NumberList {

// "3,17,42": no trailing comma, no surrounding blanks.
std::string Format(const std::vector<int>& values);
// Takes values as far as they scan: leading blanks and empty items are skipped; each item is
// scanned from at most its first 15 characters; an item that does not scan ends the list.
std::vector<int> Parse(const char* text);

} // namespace NumberList

class FieldRecord {
public:
    FieldRecord& Add(const char* name, const std::string& value);
    FieldRecord& Add(const char* name, int value);
    const std::string& Text() const { return m_text; }

    // Reading from a stored record text.
    static bool GetString(const char* text, const char* name, std::string& value);
    static int GetInt(const char* text, const char* name, int def);
    static bool GetBool(const char* text, const char* name, bool def);

private:
    std::string m_text;
};

// A decimal integer as the INI readers scan it ("%d"): optional blanks and sign, then digits.
// False when there is no digit. Values beyond 32 bits are clamped.
bool ScanInt(const char* text, size_t maxLen, int* value);
