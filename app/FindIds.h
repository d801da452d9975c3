// Resource ids of the Find and Replace dialogs and the search messages of the text view.
// Plain #defines so that the resource scripts include them too. Layer: app/.
#pragma once

#define IDD_FIND 420
#define IDD_REPLACE 421

#define IDC_FIND_FIND 3200
#define IDC_FIND_MARK 3201
#define IDC_FIND_REPLACE 3202
#define IDC_FIND_REPLACE_ALL 3203
#define IDC_FIND_MATCH_CASE 3210
#define IDC_FIND_WHOLE_WORD 3211
#define IDC_FIND_REGEXP 3212
#define IDC_FIND_UP 3213
#define IDC_FIND_DOWN 3214
#define IDC_FIND_SCOPE_SELECTION 3215
#define IDC_FIND_SCOPE_DOCUMENT 3216
#define IDC_FIND_WHAT 3219
#define IDC_FIND_REPLACE_WITH 3220

#define IDS_FIND_NOT_FOUND 7130 // "没有找到匹配的字符串“%s”。"
#define IDS_FIND_NO_TEXT 7131   // Find Next / Previous before any search

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
