// PrintJob: everything one print or preview run of an editor view needs, from the settings it
// was given to the page layout and the printed line array. Made when printing begins, owned by
// the print information as its user data, deleted when printing ends. Layer: print/.
#pragma once

#include "textdoc/FxTypes.h"
#include "textview/WordWrap.h"

#include <windows.h>

#include <string>
#include <vector>

struct FileTypeInfo;

struct PrintJob {
    PrintJob() = default;
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    bool preview = false;
    bool syntax = false;      // the file type has syntax rules (cleared by IgnoreSyntaxColor)
    bool lineNumbers = false; // the document's line-number switch
    bool headerSep = true, footerSep = true;
    bool monochrome = false; // black only: no printer colours, or IgnoreSyntaxColor
    HDC printerDC = nullptr; // measuring always happens here, also in preview
    HDC screenDC = nullptr;  // owned: released with the job
    HFONT displayFont = nullptr;
    int wrapMode = 0, wrapColumn = 0;
    int oddEven = 0; // 0 all pages, 1 odd only, 2 even only
    int firstPage = 1, lastPage = 0xFFFF;
    int headerSpacing = 0, footerSpacing = 0; // printer pixels between header/footer and text
    COLORREF headerFooterColour = 0, lineNumberColour = 0, textColour = 0, guideColour = 0;
    SYSTEMTIME now = {};
    RECT pageRect = {0, 0, 0, 0};   // the printable area, logical units
    RECT marginRect = {0, 0, 0, 0}; // left, top, right, bottom margins from the sheet's edges
    HFONT textFont = nullptr, headerFooterFont = nullptr;
    HPEN separatorPen = nullptr, guidePen = nullptr;
    std::string headerTemplate, footerTemplate, docName, docPath;
    double factorX = 1, factorY = 1; // printer resolution / screen resolution
    double perInchX = 0, perInchY = 0, perCmX = 0, perCmY = 0;
    int tabGlyphWidth = 0, spaceWidth = 1, dbcsWidth = 2, tabSize = 8, textHeight = 1;
    int linePitch = 1, halfSpacing = 0, digitWidth = 1;
    int headerFooterLineHeight = 1;
    int pageCount = 1;
    int32_t lineCount = 0;
    int linesPerPage = 1;
    int32_t stateMark = -1;
    int currentPage = 0;
    int32_t pageFirstLine = 0, pageLastLine = -1;
    int separatorAllowance = 0;
    RECT frameRect = {0, 0, 0, 0};
    RECT headerRect = {0, 0, 0, 0}, footerRect = {0, 0, 0, 0};
    RECT numberRect = {0, 0, 0, 0}, bodyRect = {0, 0, 0, 0};
    int numberGap = 0;
    const FileTypeInfo* type = nullptr;
    CharWidthTable widths;     // the text font's widths on the printer, when usable
    std::vector<FxLine> lines; // head records carry their logical line number
};
