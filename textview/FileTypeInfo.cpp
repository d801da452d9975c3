// The built-in "Default" file type and the default colours of a file type. Layer: textview/.
#include "textview/FileTypeInfo.h"

const FxColorSlot kDefColorsOrder[FxColorSlotCount] = {
    TextFore,     SelectionFore,   LineNumberFore,   RulerFore,        MarksFore,
    TextBack,     SelectionBack,   LineNumberBack,   RulerBack,        ActiveLineBack,
    BookmarkBack, LineCommentFore, LineComment2Fore, BlockCommentFore, BlockComment2Fore,
    StringFore,   String2Fore};

const char kDefaultDelimiters[] = ",.\"'?!:;(){}[]<>-+*/%=~&|";

COLORREF DefaultColorAt(int position) {
    switch (position) {
    case 0:
        return GetSysColor(COLOR_WINDOWTEXT);
    case 1:
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case 2:
        return GetSysColor(COLOR_WINDOWTEXT);
    case 3:
        return GetSysColor(COLOR_WINDOWTEXT);
    case 4:
        return 0xFFCC66;
    case 5:
        return GetSysColor(COLOR_WINDOW);
    case 6:
        return GetSysColor(COLOR_HIGHLIGHT);
    case 7:
        return GetSysColor(COLOR_BTNFACE);
    case 8:
        return GetSysColor(COLOR_BTNFACE);
    case 9:
        return 0x00FFFF;
    case 10:
        return 0xFFCC66;
    case 15:
    case 16:
        return 0x808080;
    default:
        return 0x008000; // the four comment colours
    }
}

FileTypeInfo MakeDefaultFileType(const std::string& title) {
    FileTypeInfo d;
    d.title = title;
    d.extensions = "*.TXT";
    d.delimiters = kDefaultDelimiters;
    d.templatePath = "Default";
    for (int i = 0; i < FxColorSlotCount; ++i)
        d.colors[kDefColorsOrder[i]] = DefaultColorAt(i);
    d.syntax.SetDelimiters(d.delimiters.data(), static_cast<int>(d.delimiters.size()));
    d.loaded = true;
    return d;
}
