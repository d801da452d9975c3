// What the quick print dialog hands to the view for one print run. Layer: print/.
#pragma once

#include <string>

struct QuickPrintSettings {
    double marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    int marginUnit = 0; // 0 inches, 1 centimetres
    int fromPage = 1, toPage = 0xFFFF;
    int oddEven = 0; // 0 all pages, 1 odd pages only, 2 even pages only
    int copies = 1;
    bool collate = false;
    bool printToFile = false;
    std::string header, footer;
};
