// Splitting ANSI paths into folder, file name and extension, and comparing them. A path's
// characters may be double-byte, and the second byte of one may have the value of "\" ("乗" is
// 81 5C), so a path is stepped character by character with the lead-byte table and only a
// single-byte "\" or "/" (or the ":" after a drive) separates. Every split of a path in the
// program goes through here. Layer: common/ (plain bytes over the platform seam).
#pragma once

#include <cstddef>
#include <string>

// Where the file name starts: just after the last separator ("\", "/" or ":"); 0 when the path
// has none. Always a character boundary.
size_t FxPathNameStart(const char* path, size_t len);
inline size_t FxPathNameStart(const std::string& path) {
    return FxPathNameStart(path.data(), path.size());
}

// The file name: what follows the last separator ("C:\a\b.txt" gives "b.txt").
std::string FxPathFileName(const std::string& path);

// The folder: what precedes the last separator, which is kept only where the folder is a root
// ("C:\a\b.txt" gives "C:\a", "C:\b.txt" gives "C:\", "\b.txt" gives "\", "C:b.txt" gives "C:").
// Empty when the path has no separator.
std::string FxPathFolder(const std::string& path);

// Where the extension's dot is: the last "." of the file name; npos when the name has none.
size_t FxPathExtensionDot(const std::string& path);

// The extension with its dot (".txt"), empty when the file name has none.
std::string FxPathExtension(const std::string& path);

// The file name without its extension ("C:\a\b.x.txt" gives "b.x").
std::string FxPathBaseName(const std::string& path);

// True when the last character is a "\" or "/" of its own; a trailing byte 0x5C that ends a
// double-byte character is not one.
bool FxPathEndsWithSeparator(const std::string& path);

// The path with a "\" appended, unless it is empty or ends with a separator already.
std::string FxPathWithSeparator(const std::string& path);

// The absolute form of a path, or the path itself when the system cannot make one.
std::string FxFullPathName(const std::string& path);

// True when two paths name the same file as the system compares names: each in its absolute
// form where the system can make one, compared without regard to case, character by character.
bool FxSamePath(const std::string& a, const std::string& b);
