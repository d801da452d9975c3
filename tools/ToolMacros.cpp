// Expansion of the user tools' argument macros. Layer: tools/.
#include "tools/ToolMacros.h"

#include "common/PathName.h"

#include <cstring>

namespace {

const char* const kMacros[] = {"$(FilePath)", "$(FileDir)", "$(FileName)", "$(FileNameNoExt)",
                               "$(FileExt)"};

std::string Expand(const std::string& text, const std::string values[], int first, int count) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        bool matched = false;
        if (text[i] == '$') {
            for (int m = first; m < first + count && !matched; ++m) {
                const size_t len = std::strlen(kMacros[m]);
                if (text.compare(i, len, kMacros[m]) == 0) {
                    out += values[m];
                    i += len;
                    matched = true;
                }
            }
        }
        if (!matched)
            out += text[i++];
    }
    return out;
}

} // namespace

bool ToolNeedsDocumentPath(const std::string& argument, const std::string& initDir) {
    for (const char* macro : kMacros)
        if (argument.find(macro) != std::string::npos)
            return true;
    return initDir.find(kMacros[1]) != std::string::npos;
}

void ExpandToolMacros(const std::string& path, std::string& argument, std::string& initDir) {
    const std::string values[5] = {path, FxPathWithSeparator(FxPathFolder(path)),
                                   FxPathFileName(path), FxPathBaseName(path),
                                   FxPathExtension(path)};
    argument = Expand(argument, values, 0, 5);
    // Only the folder macro counts in the initial folder.
    initDir = Expand(initDir, values, 1, 1);
}
