// Resource ids of the find and replace in files dialogs and their messages. Plain #defines so
// that the resource scripts include them too. Layer: app/.
#pragma once

#define IDD_FIND_IN_FILES 436
#define IDD_REPLACE_IN_FILES 437

#define IDC_FIF_WHAT 3260
#define IDC_FIF_WITH 3261
#define IDC_FIF_FILTERS 3262
#define IDC_FIF_FOLDER 3263
#define IDC_FIF_BROWSE 3264
#define IDC_FIF_MATCH_CASE 3265
#define IDC_FIF_WHOLE_WORD 3266
#define IDC_FIF_REGEXP 3267
#define IDC_FIF_SUBFOLDERS 3268
#define IDC_FIF_OUTPUT2 3269
#define IDC_FIF_BACKUP 3270
#define IDC_FIF_ADVANCED 3271
#define IDC_FIF_SEPARATOR 3272
#define IDC_FIF_ANSI 3273
#define IDC_FIF_UTF8 3274
#define IDC_FIF_UNICODE 3275
#define IDC_FIF_UNICODE_BE 3276

#define IDS_FIF_CONFIRM_REPLACE 7280 // the warning before replacing in files
#define IDS_FIF_BAD_FOLDER 7281 // "“%s”不是一个有效的文件夹，无法执行操作。"
#define IDS_FIF_BROWSE_TITLE 7282 // the folder browser's title

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
