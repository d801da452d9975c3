// File types (one per syntax template plus the built-in "Default") and file filters, the
// records that the settings store keeps in FILETYPE.INI. Layer: app/.
#pragma once

#include "textview/ColorSlot.h"
#include "textview/SyntaxInfo.h"

#include <windows.h>

#include <string>
#include <vector>

struct FileTypeInfo {
    // Options, in record order (32-bit booleans and integers).
    int ruler = 1, lineNumber = 1, lineBreak = 1, whitespace = 1, dragDrop = 0,
        expandTabToSpaces = 0, homeKeyGFNW = 1, syncTextBkWithSys = 1, syncActLineWithTextBk = 0;
    int tabSize = 8, indentSize = 0, wrapStyle = 1, wrapWidth = 80;
    int wrapOnLoad = 0;
    COLORREF colors[FxColorSlotCount] = {};

    bool hasSyntax = false;
    bool loaded = false;
    bool modified = false;
    UINT menuId = 0; // its item in the ViewAsMenu

    std::string extensions; // patterns separated by ";"
    std::string title;
    std::string templatePath; // full path of the *.STF file, or "Default"
    std::string delimiters;

    SyntaxInfo syntax;

    bool IsDefault() const { return templatePath == "Default"; }
    // The settings section: "Default", or the template's file name without folder and extension.
    std::string Section() const;
};

// The typed list of file types; the first entry is always "Default".
using CLstFileTypeInfo = std::vector<FileTypeInfo>;

struct FileFilterInfo {
    int mod = 0, del = 0; // kept and written back; nothing acts on them
    std::string description;
    std::string patterns;
};

using CLstFileFilterInfo = std::vector<FileFilterInfo>;

// The colour of each DefColors position.
extern const FxColorSlot kDefColorsOrder[FxColorSlotCount];
// The default colour of a DefColors position.
COLORREF DefaultColorAt(int position);
// The 25 default delimiters of a file type.
extern const char kDefaultDelimiters[];
// The built-in "Default" type: default options, "*.TXT", the default delimiters and colours,
// no syntax template; complete (loaded) as made.
FileTypeInfo MakeDefaultFileType(const std::string& title = "Default");
