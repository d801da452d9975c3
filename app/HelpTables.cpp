// The help key and control popup tables. Layer: app/.
//
// A control identifier has one popup text wherever it appears: the find and replace dialogs
// share their controls' texts, as do the two dialogs of find and replace in files. The texts
// themselves live in res/help/Help.txt under ".topic IDH_<number>".
#include "app/HelpTables.h"

#include "app/FindFilesIds.h"
#include "app/FindIds.h"
#include "app/RecoveryIds.h"
#include "app/ShellIds.h"
#include "dialogs/DlgIds.h"
#include "print/PrintIds.h"
#include "tools/ToolIds.h"

namespace {
const DWORD kIdMainFrame = 100;
const DWORD kIdAbout = 426;
// The find and replace in files dialogs under their older numbers, still mapped for callers
// that ask with them.
const DWORD kIdFindInFilesOld = 422;
const DWORD kIdReplaceInFilesOld = 423;
} // namespace

const HelpTopicEntry kHelpTopics[] = {
    {kIdMainFrame, 1000},
    {IDD_AS_FRAME, 1200},
    {IDD_AS_GENERAL, 1201},
    {IDD_AS_FONTS, 1206},
    {IDD_AS_PRINT, 1207},
    {IDD_AS_FILE, 1205},
    {IDD_AS_FILETYPES, 1204},
    {IDD_AS_EDITOR1, 1204},
    {IDD_AS_EDITOR2, 1204},
    {IDD_AS_COLORS, 1204},
    {IDD_AS_BACKUP, 1203},
    {IDD_AS_TOOLS, 1210},
    {IDD_AS_TOOLBAR, 1209},
    {IDD_AS_KEYBOARD, 1202},
    {IDD_FIND, 1230},
    {IDD_REPLACE, 1231},
    {kIdFindInFilesOld, 1232},
    {kIdReplaceInFilesOld, 1233},
    {IDD_FIND_IN_FILES, 1232},
    {IDD_REPLACE_IN_FILES, 1233},
    {IDD_QUICK_PRINT, 1234},
    {kIdAbout, 1000},
    {IDD_TOOL_ARGS, 1235},
    {IDD_FILE_OPEN_EXTRA, 1236},
    {IDD_FILE_SAVE_EXTRA, 1237},
    {IDD_RECOVERY, 1238},
    {35821, 1002}, // the syntax template rules command
};
const size_t kHelpTopicCount = sizeof kHelpTopics / sizeof kHelpTopics[0];

// clang-format off
const DWORD kControlHelpPairs[] = {
    // Buttons shared by the dialogs.
    IDOK,                   2000,
    IDCANCEL,               2001,
    IDC_AS_APPLY,           2002,
    IDC_AS_HELP,            2003,
    // The settings dialog.
    IDC_AS_TREE,            2010,
    // The open and save dialogs' extra boxes; a label shares its box's text.
    IDC_OPEN_ENCODING,      2100,
    IDC_OPEN_ENCODING_LABEL, 2100,
    IDC_SAVE_ENCODING,      2200,
    IDC_SAVE_ENCODING_LABEL, 2200,
    IDC_SAVE_FORMAT,        2201,
    IDC_SAVE_FORMAT_LABEL,  2201,
    // General.
    IDC_GEN_RECENT,         2300,
    IDC_GEN_LINESPACING,    2301,
    IDC_GEN_NUMBERSPACING,  2302,
    IDC_GEN_NEWDOC,         2303,
    IDC_GEN_MULTIPLE,       2304,
    IDC_GEN_RELOAD,         2305,
    IDC_GEN_ACTIVEDIR,      2306,
    IDC_GEN_TRAY,           2307,
    // Fonts.
    IDC_FONT_DEFAULT,       2400,
    IDC_FONT_SLOT,          2401,
    IDC_FONT_CHARSET,       2403,
    IDC_FONT_FACE,          2404,
    IDC_FONT_STYLE,         2405,
    IDC_FONT_SIZE,          2406,
    IDC_FONT_SAMPLE,        2407,
    // Printing.
    IDC_PRT_FONT,           2500,
    IDC_PRT_HEADER_CODES,   2501,
    IDC_PRT_FOOTER_CODES,   2502,
    IDC_PRT_SETUP,          2503,
    IDC_PRT_LEFT,           2504,
    IDC_PRT_RIGHT,          2505,
    IDC_PRT_TOP,            2506,
    IDC_PRT_BOTTOM,         2507,
    IDC_PRT_HEADER_SPACING, 2508,
    IDC_PRT_FOOTER_SPACING, 2509,
    IDC_PRT_HEADER,         2510,
    IDC_PRT_FOOTER,         2511,
    IDC_PRT_HEADER_SEP,     2515,
    IDC_PRT_FOOTER_SEP,     2516,
    IDC_PRT_CUSTOM_FONT,    2517,
    IDC_PRT_IGNORE_SYNTAX,  2518,
    IDC_PRT_INCH,           2523,
    IDC_PRT_CM,             2524,
    // File filters and change monitoring.
    IDC_FILE_ADD,           2600,
    IDC_FILE_DEL,           2601,
    IDC_FILE_UP,            2602,
    IDC_FILE_DN,            2603,
    IDC_FILE_DESC,          2604,
    IDC_FILE_EXT,           2605,
    IDC_FILE_DETECT,        2606,
    IDC_FILE_AUTORELOAD,    2607,
    IDC_FILE_PROTECT,       2608,
    IDC_FILE_LIST,          2609,
    // File types and their three sub-pages.
    IDC_FT_TREE,            2700,
    IDC_FT_TABS,            2701,
    IDC_ED_TAB,             2720,
    IDC_ED_INDENT,          2721,
    IDC_ED_WRAPWIDTH,       2722,
    IDC_ED_WRAPSTYLE,       2723,
    IDC_ED_OPTIONS,         2724,
    IDC_COL_FORE,           2760,
    IDC_COL_BACK,           2761,
    IDC_COL_SYNCTEXT,       2762,
    IDC_COL_SYNCACTIVE,     2763,
    IDC_COL_LIST,           2764,
    // Auto-save and backup.
    IDC_BAK_BROWSE,         2800,
    IDC_BAK_PATH,           2801,
    IDC_BAK_INTERVAL,       2802,
    IDC_BAK_BACKUP,         2803,
    IDC_BAK_AUTOSAVE,       2804,
    IDC_BAK_NOTUNNAMED,     2805,
    IDC_BAK_RECOVERY,       2806,
    // Toolbar.
    IDC_TB_DEFAULT,         2900,
    IDC_TB_SEP,             2901,
    IDC_TB_ADD,             2902,
    IDC_TB_DEL,             2904,
    IDC_TB_UP,              2905,
    IDC_TB_DN,              2906,
    IDC_TB_BAR,             2907,
    IDC_TB_LAYOUT,          2908,
    IDC_TB_AVAILABLE,       2909,
    // Keyboard shortcuts.
    IDC_KEY_RESET,          3000,
    IDC_KEY_ASSIGN,         3001,
    IDC_KEY_REMOVE,         3002,
    IDC_KEY_CAPTURE,        3003,
    IDC_KEY_GROUPS,         3004,
    IDC_KEY_COMMANDS,       3005,
    IDC_KEY_ASSIGNED,       3006,
    IDC_KEY_DESCRIPTION,    3007,
    // User tools.
    IDC_TOOL_ADD,           3100,
    IDC_TOOL_DEL,           3101,
    IDC_TOOL_UP,            3102,
    IDC_TOOL_DN,            3103,
    IDC_TOOL_PICK,          3104,
    IDC_TOOL_CMD_BROWSE,    3105,
    IDC_TOOL_ARG_MENU,      3106,
    IDC_TOOL_DIR_MENU,      3107,
    IDC_TOOL_NAME,          3108,
    IDC_TOOL_DIR,           3109,
    IDC_TOOL_CMD,           3110,
    IDC_TOOL_ARG,           3111,
    IDC_TOOL_DOSBOX,        3112,
    IDC_TOOL_CAPTURE,       3113,
    IDC_TOOL_PROMPT,        3114,
    IDC_TOOL_SAVE,          3115,
    IDC_TOOL_LIST,          3116,
    // Quick print.
    IDC_QP_PRINTER,         3300,
    IDC_QP_MARGIN_LEFT,     3301,
    IDC_QP_MARGIN_RIGHT,    3302,
    IDC_QP_MARGIN_TOP,      3303,
    IDC_QP_MARGIN_BOTTOM,   3304,
    IDC_QP_HEADER,          3305,
    IDC_QP_FOOTER,          3306,
    IDC_QP_FROM,            3307,
    IDC_QP_TO,              3308,
    IDC_QP_COPIES,          3309,
    IDC_QP_EVEN,            3310,
    IDC_QP_ODD,             3311,
    IDC_QP_TO_FILE,         3312,
    IDC_QP_COLLATE,         3313,
    IDC_QP_COPIES_SPIN,     3309,
    IDC_QP_PRINTER_INFO,    3316,
    // A tool's argument.
    IDC_TOOL_ARGS_COMBO,    3460,
    IDC_TOOL_ARGS_LABEL,    3460,
    // Find and replace.
    IDC_FIND_FIND,          4200,
    IDC_FIND_MARK,          4201,
    IDC_FIND_REPLACE,       4202,
    IDC_FIND_REPLACE_ALL,   4203,
    IDC_FIND_WHAT,          4208,
    IDC_FIND_REPLACE_WITH,  4209,
    IDC_FIND_MATCH_CASE,    4210,
    IDC_FIND_WHOLE_WORD,    4211,
    IDC_FIND_REGEXP,        4212,
    IDC_FIND_UP,            4213,
    IDC_FIND_DOWN,          4214,
    IDC_FIND_SCOPE_SELECTION, 4215,
    IDC_FIND_SCOPE_DOCUMENT, 4216,
    // Find and replace in files.
    IDC_FIF_WHAT,           4260,
    IDC_FIF_WITH,           4261,
    IDC_FIF_FILTERS,        4262,
    IDC_FIF_FOLDER,         4263,
    IDC_FIF_BROWSE,         4264,
    IDC_FIF_MATCH_CASE,     4265,
    IDC_FIF_WHOLE_WORD,     4266,
    IDC_FIF_REGEXP,         4267,
    IDC_FIF_SUBFOLDERS,     4268,
    IDC_FIF_OUTPUT2,        4269,
    IDC_FIF_BACKUP,         4270,
    IDC_FIF_ADVANCED,       4271,
    IDC_FIF_ANSI,           4273,
    IDC_FIF_UTF8,           4274,
    IDC_FIF_UNICODE,        4275,
    IDC_FIF_UNICODE_BE,     4276,
    // The start-up question about unsaved documents of a run that did not end.
    IDC_RECOVERY_LIST,      4277,
    IDC_RECOVERY_RESTORE,   4278,
    IDC_RECOVERY_DISCARD,   4279,
    0,                      0,
};
// clang-format on
