// Resource and command identifiers of the output window: its tab titles, its messages, the
// pane's context menu and the pane's commands. Plain #defines so that resource scripts can
// include it. Layer: tools/.
#pragma once

// Tab titles, in tab order.
#define IDS_OUTPUT_FIND1 5306    // "查找替换1"
#define IDS_OUTPUT_FIND2 5307    // "查找替换2"
#define IDS_OUTPUT_CAPTURE1 5308 // "捕捉输出1"
#define IDS_OUTPUT_CAPTURE2 5309 // "捕捉输出2"

// The first line of a pane that dropped its oldest lines; "%s": how many.
#define IDS_OUTPUT_LINES_DROPPED 5310

// Status bar texts of the pane.
#define IDS_OUTPUT_WRAPPED_END 7007   // next bookmark wrapped to the top
#define IDS_OUTPUT_WRAPPED_START 7008 // previous bookmark wrapped to the end
#define IDS_OUTPUT_NOT_FOUND 8016     // go to: the named file does not exist

// The pane's context menu (popup 0).
#define IDM_OUTPUT_PANE 116

// The pane's commands.
#define ID_OUTPUT_GOTO 40420
#define ID_OUTPUT_STOP 40421
#define ID_OUTPUT_COPY 40422
#define ID_OUTPUT_CLEAR 40423
#define ID_OUTPUT_SELECT_ALL 40424
#define ID_OUTPUT_TOGGLE_BOOKMARK 40425
#define ID_OUTPUT_NEXT_BOOKMARK 40426
#define ID_OUTPUT_PREV_BOOKMARK 40427
#define ID_OUTPUT_CLEAR_BOOKMARKS 40428
#define ID_OUTPUT_LINE_NUMBERS 40429
#define ID_OUTPUT_WHITESPACE 40430
