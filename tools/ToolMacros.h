// The argument macros of user tools: $(FilePath), $(FileDir), $(FileName), $(FileNameNoExt)
// and $(FileExt), expanded from the active document's path. Layer: tools/.
#pragma once

#include <string>

// Whether expanding the argument or the initial folder needs the active document's path.
bool ToolNeedsDocumentPath(const std::string& argument, const std::string& initDir);
// Replaces every macro of the argument, and $(FileDir) in the initial folder. The text is
// scanned once from the left: a macro's replacement is never scanned again, so a path that
// itself contains "$(" stays as it is. "$" and "(" are never the second byte of a double-byte
// character, so a match always starts on a character.
void ExpandToolMacros(const std::string& path, std::string& argument, std::string& initDir);
