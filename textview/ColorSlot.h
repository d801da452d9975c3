// The seventeen colours of a file type, in their record order. Layer: textview/ (shared with
// the file types of app/ and the painters).
#pragma once

enum FxColorSlot {
    LineNumberFore = 0,
    RulerFore,
    TextFore,
    SelectionFore,
    MarksFore, // whitespace, line break and end-of-document marks
    TextBack,
    LineNumberBack,
    RulerBack,
    SelectionBack,
    ActiveLineBack,
    BookmarkBack,
    StringFore,
    String2Fore,
    LineCommentFore,
    LineComment2Fore,
    BlockCommentFore,
    BlockComment2Fore,
    FxColorSlotCount
};
