// The command catalogue. Layer: dialogs/.
#include "dialogs/CommandCatalogue.h"

#include "framework/ResourceText.h"

namespace {

const UINT kFile[] = {57600, 57601, 35122, 57602, 57603, 57604,
                      35120, 57607, 35121, 57609, 57606, 57665};
const UINT kEdit[] = {57643, 57644, 57635, 57634, 57637, 57632, 35230, 35229, 35227, 35228,
                      57642, 35225, 35226, 35224, 35223, 35222, 35221, 35239, 35240, 35241,
                      35238, 35234, 35235, 35237, 35236, 35231, 35232, 35233, 35243, 35244};
const UINT kSearch[] = {35420, 35421, 35423, 35422, 35424, 35425, 35426, 35427, 35428, 35429};
const UINT kView[] = {35321, 59393, 35324, 35323, 35322, 35325,
                      35326, 35329, 35328, 35331, 35330, 35327};
const UINT kDocument[] = {35520, 35527, 35526, 35529, 35521, 35523, 35522, 35524, 35528};
const UINT kTools[] = {35620, 35621, 40960, 40961, 40962, 40963,
                       40964, 40965, 40966, 40967, 40968, 40969};
const UINT kWindow[] = {57650, 57651, 57652, 57653, 57680, 57681, 35720};
const UINT kHelp[] = {57670, 35820};

template <size_t N> constexpr int Count(const UINT (&)[N]) {
    return static_cast<int>(N);
}

} // namespace

const CommandGroup kCommandGroups[] = {
    {5100, kFile, Count(kFile)},         {5101, kEdit, Count(kEdit)},
    {5102, kSearch, Count(kSearch)},     {5103, kView, Count(kView)},
    {5104, kDocument, Count(kDocument)}, {5105, kTools, Count(kTools)},
    {5106, kWindow, Count(kWindow)},     {5107, kHelp, Count(kHelp)},
};
const int kCommandGroupCount = static_cast<int>(sizeof kCommandGroups / sizeof kCommandGroups[0]);

bool IsCatalogueCommand(UINT command) {
    for (const CommandGroup& g : kCommandGroups)
        for (int i = 0; i < g.count; ++i)
            if (g.commands[i] == command)
                return true;
    return false;
}

std::string CommandShortName(UINT command) {
    const std::string text = AfxLoadString(command);
    const size_t nl = text.rfind('\n');
    return nl == std::string::npos ? text : text.substr(nl + 1);
}

std::string CommandDescription(UINT command) {
    const std::string text = AfxLoadString(command);
    const size_t nl = text.find('\n');
    return nl == std::string::npos ? text : text.substr(0, nl);
}
