// Identifiers the framework gives a meaning to: standard commands, window ids, frame styles and
// its own string table entries. Plain #defines so that resource scripts can include it too.
// Layer: framework/.
#pragma once

// Strings the program supplies.
#define AFX_IDS_APP_TITLE 57344   // 0xE000: the application title
#define AFX_IDS_IDLEMESSAGE 57345 // 0xE001: status text when nothing else is shown

// Strings the framework supplies (res/strings_framework.rc).
#define AFX_IDP_NO_ERROR_AVAILABLE 61700
#define AFX_IDP_FAILED_MEMORY_ALLOC 61701
#define AFX_IDP_FAILED_RESOURCE 61702
#define AFX_IDP_INTERNAL_FAILURE 61703
#define AFX_IDP_FAILED_TO_OPEN_DOC 61704
#define AFX_IDP_FAILED_TO_SAVE_DOC 61705
#define AFX_IDP_FAILED_TO_CREATE_DOC 61706
#define AFX_IDP_ASK_TO_SAVE 61707
#define AFX_IDP_FILE_ERROR 61708
#define AFX_IDP_FILE_ERROR_NO_NAME 61709
#define AFX_IDP_COMMAND_FAILURE 61710
#define AFX_IDS_UNTITLED 61711
#define AFX_IDS_SAVEFILE 61712
#define AFX_IDS_OPENFILE 61713
#define AFX_IDS_ALLFILTER 61714
#define AFX_IDP_PARSE_INT 61715
#define AFX_IDP_PARSE_INT_RANGE 61716

// Standard commands.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_CLOSE 57602
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_PAGE_SETUP 57605
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_DIRECT 57608
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_FILE_MRU_FILE1 57616
#define ID_FILE_MRU_LAST 57631
#define ID_EDIT_UNDO 57643
#define ID_EDIT_REDO 57644
#define ID_WINDOW_NEW 57648
#define ID_WINDOW_ARRANGE 57649
#define ID_WINDOW_CASCADE 57650
#define ID_WINDOW_TILE_HORZ 57651
#define ID_WINDOW_TILE_VERT 57652
#define ID_WINDOW_SPLIT 57653
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_HELP_INDEX 57666
#define ID_HELP_FINDER 57667
#define ID_CONTEXT_HELP 57669
#define ID_HELP 57670
#define ID_DEFAULT_HELP 57671
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681

// Child window ids.
#define AFX_IDW_TOOLBAR 59392
#define AFX_IDW_STATUS_BAR 59393
#define AFX_IDW_DOCKBAR_TOP 59419
#define AFX_IDW_DOCKBAR_LEFT 59420
#define AFX_IDW_DOCKBAR_RIGHT 59421
#define AFX_IDW_DOCKBAR_BOTTOM 59422
#define AFX_IDW_DOCKBAR_FLOAT 59423
#define AFX_IDW_PANE_FIRST 59648
#define AFX_IDW_PANE_LAST 59903
#define AFX_IDW_SPLITTER_ROW_STEP 16

// Frame style bits (in the low word of the window style, which frame classes do not use).
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// Splitter style.
#define SPLS_DYNAMIC_SPLIT 0x0001

// Control bar styles.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_FLOAT_MULTI 0x0004L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ALL 0x0040FFFFL

// Dynamic layout modes of control bars.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

// Framework messages.
#define WM_IDLEUPDATECMDUI 0x0363 // wParam: disable items without a handler
#define WM_SETMESSAGESTRING 0x0362
#define WM_INITIALUPDATE 0x0364
// The density of the window's monitor changed (a frame sends it to all its descendants after
// WM_DPICHANGED, before it lays them out again). wParam: the new dots per inch; lParam: the
// old. Windows drop sizes and fonts made for the old density and measure themselves again.
#define WM_FXDPICHANGED 0x0365
