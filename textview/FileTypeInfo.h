// One file type as the views read it: display switches, editing options, the seventeen colours,
// delimiters and the syntax template. The settings store above keeps the list of them and
// persists it; the views only read an entry. Layer: textview/.
#pragma once

#include "textview/ColorSlot.h"
#include "textview/SyntaxInfo.h"

#include <windows.h>

#include <string>

struct FileTypeInfo {
    // Options, in record order (32-bit booleans and integers).
    int ruler = 1, lineNumber = 1, lineBreak = 1, whitespace = 1, dragDrop = 0,
        expandTabToSpaces = 0, homeKeyGFNW = 1, syncTextBkWithSys = 1, syncActLineWithTextBk = 0;
    int tabSize = 8, indentSize = 0, wrapStyle = 1, wrapWidth = 80;
    int wrapOnLoad = 0;
    COLORREF colors[FxColorSlotCount] = {};

    bool hasSyntax = false;
    bool loaded = false;        // options, colours and template read
    bool optionsLoaded = false; // options and colours read (also when the template cannot be)
    bool modified = false;
    UINT menuId = 0; // its item in the ViewAsMenu

    std::string extensions; // patterns separated by ";"
    std::string title;
    std::string templatePath; // full path of the *.STF file, or "Default"
    std::string delimiters;

    SyntaxInfo syntax;

    bool IsDefault() const { return templatePath == "Default"; }
};

// The colour of each DefColors position.
extern const FxColorSlot kDefColorsOrder[FxColorSlotCount];
// The default colour of a DefColors position.
COLORREF DefaultColorAt(int position);
// The 25 default delimiters of a file type.
extern const char kDefaultDelimiters[];
// The built-in "Default" type: default options, "*.TXT", the default delimiters and colours,
// no syntax template; complete (loaded) as made.
FileTypeInfo MakeDefaultFileType(const std::string& title = "Default");
