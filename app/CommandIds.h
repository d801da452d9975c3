// Command identifiers of the editor's menus, accelerators and command strings. Plain #defines so
// that the resource scripts include them too. The framework's standard commands are in
// framework/FwIds.h; 35242 (date and time), 35320 (view as), 40960.. (user tools) and the menu ids
// 100 and 101 are in settings/SettingsIds.h. Layer: app/.
#pragma once

// File.
#define ID_FILE_SAVE_ALL 35120
#define ID_FILE_PRINT_ALL 35121
#define ID_FILE_RELOAD 35122

// Edit: the framework's standard numbers.
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_SELECT_ALL 57642
// Edit: the text view's own.
#define ID_EDIT_SELECT_TO_DOC_END 35223
#define ID_EDIT_SELECT_TO_DOC_START 35224
#define ID_EDIT_SELECT_TO_LINE_START 35225
#define ID_EDIT_SELECT_TO_LINE_END 35226
#define ID_EDIT_DELETE_TO_DOC_START 35227
#define ID_EDIT_DELETE_TO_DOC_END 35228
#define ID_EDIT_DELETE_TO_LINE_END 35229
#define ID_EDIT_DELETE_TO_LINE_START 35230
#define ID_EDIT_APPEND_COPY 35221
#define ID_EDIT_APPEND_CUT 35222
#define ID_EDIT_COLUMN_SELECT 35231
#define ID_EDIT_COLUMN_PASTE_ALIGNED 35232
#define ID_EDIT_COLUMN_PASTE_APPENDED 35233
#define ID_EDIT_LOWER_CASE 35234
#define ID_EDIT_UPPER_CASE 35235
#define ID_EDIT_INVERT_CASE 35236
#define ID_EDIT_CAPITALIZE 35237
#define ID_EDIT_TRIM_TRAILING 35238
#define ID_EDIT_SPACES_TO_TABS 35239
#define ID_EDIT_LEADING_SPACES_TO_TABS 35240
#define ID_EDIT_TABS_TO_SPACES 35241
#define ID_EDIT_MATCH_PAIR 35243
#define ID_EDIT_FORMAT_CODE 35244

// View.
#define ID_VIEW_TOOLBAR 35321
#define ID_VIEW_WORKSPACE 35322
#define ID_VIEW_SWITCHBAR 35323
#define ID_VIEW_OUTPUT 35324
#define ID_VIEW_FILETREE 35325
#define ID_VIEW_CLIPTEXT 35326
#define ID_VIEW_FULLSCREEN 35327
#define ID_VIEW_RULER 35328
#define ID_VIEW_LINE_NUMBERS 35329
#define ID_VIEW_LINE_BREAKS 35330
#define ID_VIEW_WHITESPACE 35331
#define ID_VIEW_STATUS_BAR 59393

// Search.
#define ID_SEARCH_FIND 35420
#define ID_SEARCH_REPLACE 35421
#define ID_SEARCH_FIND_NEXT 35422
#define ID_SEARCH_FIND_PREV 35423
#define ID_SEARCH_FIND_IN_FILES 35424
#define ID_SEARCH_REPLACE_IN_FILES 35425
#define ID_SEARCH_TOGGLE_BOOKMARK 35426
#define ID_SEARCH_PREV_BOOKMARK 35427
#define ID_SEARCH_NEXT_BOOKMARK 35428
#define ID_SEARCH_CLEAR_BOOKMARKS 35429

// Document.
#define ID_DOC_WORD_COUNT 35520
#define ID_DOC_FONT 35521
#define ID_DOC_LINE_SPACING 35522
#define ID_DOC_WRAP_SETTINGS 35523
#define ID_DOC_TAB_SETTINGS 35524
#define ID_DOC_COLOR_SETTINGS 35525
#define ID_DOC_READ_ONLY 35526
#define ID_DOC_WORD_WRAP 35527
#define ID_DOC_AUTO_SAVE 35528
#define ID_DOC_AUTO_PASTE 35529

// Tools.
#define ID_TOOLS_SETTINGS 35620
#define ID_TOOLS_USER_TOOLS 35621

// Window.
#define ID_WINDOW_CLOSE_ALL 35720

// Help.
#define ID_HELP_ABOUT 35820
#define ID_HELP_TEMPLATE_RULES 35821

// The text view's context menu (its first popup is shown).
#define IDR_TEXT_CONTEXT_MENU 112

// Messages of the text view's document commands.
#define IDS_WORD_COUNT 7004         // the seven counts of the word count
#define IDS_SETTINGS_NOT_READY 7140 // a settings shortcut before the settings dialog exists
#define IDS_VIEW_AS_UNREADABLE 7142 // a file type whose syntax template cannot be read
