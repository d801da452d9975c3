// Undo records and the table of undo actions with their menu texts. Layer: textdoc/.
#pragma once

#include "textdoc/FxTypes.h"

#include <cstdint>

struct FxTextBlock;

enum FxUndoAction : uint16_t {
    FxUndoNone = 0,
    FxUndoTyping = 1,
    FxUndoDelete = 2,
    FxUndoInsert = 3,
    FxUndoCut = 4,
    FxUndoPaste = 5,
    FxUndoReplace = 6,
    FxUndoReplaceAll = 7,
    FxUndoDragCopy = 8,
    FxUndoDragMove = 9,
    FxUndoLowerCase = 10,
    FxUndoUpperCase = 11,
    FxUndoInvertCase = 12,
    FxUndoCapitalize = 13,
    FxUndoSpacesToTabs = 14,
    FxUndoLeadingSpacesToTabs = 15,
    FxUndoTabsToSpaces = 16,
    FxUndoTrimTrailing = 17,
    FxUndoActionCount = 18,
};

enum : uint16_t {
    FXU_GROUPSTART = 0x0001,
    FXU_INGROUP = 0x0002,
    FXU_INSERT = 0x0004,
    FXU_DELETE = 0x0008,
};

// A record holds text exactly while its text is absent from the document.
struct FxUndoRec {
    uint16_t flags;
    uint16_t action;
    int32_t startCol, startLine; // logical position where the affected text begins
    int32_t endCol, endLine;     // logical position where it ends
    FxSize textLen;              // 64-bit in the 64-bit build: an edit may remove more than 2 GB
    char* text;                  // saved text with CR LF breaks; null when none
    FxTextBlock* block;          // block of the undo text store holding the text
};

// String-table ids of the Edit menu's Undo / Redo texts: "撤消" / "恢复" without an active text
// view, then one per action; an unknown action shows the texts of action 0.
enum : unsigned {
    IDS_UNDO_NOVIEW = 5600,
    IDS_UNDO_FIRST = 5601,
    IDS_REDO_NOVIEW = 5630,
    IDS_REDO_FIRST = 5631,
};

inline unsigned FxUndoMenuStringId(unsigned action, bool redo) {
    if (action >= FxUndoActionCount)
        action = FxUndoNone;
    return (redo ? IDS_REDO_FIRST : IDS_UNDO_FIRST) + action;
}
