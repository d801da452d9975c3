// Resource identifiers of the application object and the main frame: the status pane texts,
// the version fallback, the accelerator table and the tray callback. Plain #defines so that
// resource scripts can include it. Layer: app/.
#pragma once

// Status pane texts (the text view's update handlers format them).
#define IDS_PANE_POSITION 5721  // " 行%d，列%d "
#define IDS_PANE_SIZE 5722      // " 文档：%d字节 "
#define IDS_PANE_SELECTION 5723 // " 选择：%d字节 "
#define IDS_PANE_TYPE 5724      // " %s，%s "
#define IDS_PANE_READONLY 5725  // " 只读 "
#define IDS_PANE_OVERWRITE 5726 // " 覆盖 "
#define IDS_PANE_CHAR 5727      // "字符：%d，%XH "
#define IDS_PANE_DOS 5730
#define IDS_PANE_UNIX 5731
#define IDS_PANE_MAC 5732
#define IDS_PANE_ANSI 5733
#define IDS_PANE_UTF8 5734
#define IDS_PANE_UTF16LE 5735
#define IDS_PANE_UTF16BE 5736

// Undo and redo names: the base texts, then one per undo action (base + 1 + action - 1).
#define IDS_UNDO 5600
#define IDS_UNDO_NONE 5601
#define IDS_REDO 5630
#define IDS_REDO_NONE 5631

// The About box when the version resource cannot be read.
#define IDS_VERSION_UNKNOWN 7190

// The main frame's accelerator table (the built-in key map).
#define IDR_MAIN_ACCEL 100
