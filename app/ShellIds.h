// Resource identifiers of the document lifecycle, the file dialog and the status bar's
// indicators: strings, the file dialog's extra areas and their controls. Plain #defines so that
// resource scripts can include it. Layer: app/ (application shell).
#pragma once

// Status texts and messages of the document.
#define IDS_DOC_READONLY 7150        // edit attempted on a read-only document
#define IDS_DOC_FORMATTING 7151      // re-wrap progress label
#define IDS_DOC_SERIOUS_ERROR 7152   // event 256
#define IDS_DOC_INTERNAL_ERROR 7153  // event 257
#define IDS_DOC_LOAD_CONVERSION 7154 // event 260
#define IDS_DOC_SAVE_CONVERSION 7155 // event 261
#define IDS_DOC_RELOAD_CONFIRM 7006  // the reload command's warning
#define IDS_DOC_RELOAD_MODIFIED 7157 // changed on disk while edited here
#define IDS_DOC_LOSSY_OPEN 7158      // characters replaced while loading
#define IDS_DOC_LOSSY_SAVE 7159      // about to overwrite the original with replaced characters
#define IDS_DOC_LOADING 7156         // progress label of a long load
#define IDS_DOC_SAVING 7168          // progress label of a long save
#define IDS_DOC_OVER_MEMORY 7169     // a file larger than the free memory: open it still?
#define IDS_DOC_LINE_TOO_LONG 7170   // a line of 2 GB or more cannot be loaded
#define IDS_DOC_SAVE_CANCELLED 7171  // Esc stopped a long save: nothing was written

// Titles of the bars.
#define IDS_SWITCHBAR_TITLE 5305 // the document switch bar

// Names in the file dialog's lists.
#define IDS_ENC_DETECT 7160
#define IDS_ENC_ANSI 7161
#define IDS_ENC_UTF8 7162
#define IDS_ENC_UTF16LE 7163
#define IDS_ENC_UTF16BE 7164
#define IDS_LINEEND_DOS 7165
#define IDS_LINEEND_UNIX 7166
#define IDS_LINEEND_MAC 7167

// Texts that other parts of the program quote by these numbers.
#define IDS_FILE_CHANGED_RELOAD 7005 // "%s\n文件已经被修改，是否重新载入该文件？"
#define IDS_SEARCH_WRAPPED_END 7007
#define IDS_SEARCH_WRAPPED_START 7008
#define IDS_SAVE_TARGET_READONLY 8053

// The status bar's indicators (also the strings of their first captions).
#define ID_INDICATOR_POSITION 35000
#define ID_INDICATOR_SIZE 35001
#define ID_INDICATOR_BLANK 35002
#define ID_INDICATOR_READONLY 35003
#define ID_INDICATOR_OVERWRITE 35004
#define ID_INDICATOR_TYPE 35005
#define ID_INDICATOR_CHAR 35006

// The file dialog's extra areas (child templates) and their controls.
#define IDD_FILE_OPEN_EXTRA 140
#define IDD_FILE_SAVE_EXTRA 141
#define IDC_OPEN_ENCODING 3000
#define IDC_SAVE_FORMAT 3002
#define IDC_SAVE_ENCODING 3003
#define IDC_OPEN_ENCODING_LABEL 3004
#define IDC_SAVE_FORMAT_LABEL 3005
#define IDC_SAVE_ENCODING_LABEL 3006

// The docking windows: the workspace bar's page titles and the two bars' titles.
#define IDS_WORKSPACE_FILETREE 5300 // "资源管理"
#define IDS_WORKSPACE_CLIPTEXT 5301 // "剪贴文本"
#define IDS_BAR_WORKSPACE 5302      // "工作区窗口"
#define IDS_BAR_OUTPUT 5303         // "输出窗口"
