// String, command and resource identifiers used by the settings store and the file types.
// Layer: settings/.
#pragma once

enum : unsigned {
    IDS_WRAP_AT_WINDOW = 5080,
    IDS_WRAP_AT_COLUMN = 5081,
    IDS_TOOLBAR_STANDARD = 5304,
    IDS_COLOR_RULER = 5400,
    IDS_COLOR_LINENUMBER = 5401,
    IDS_COLOR_TEXT = 5402,
    IDS_COLOR_SELECTION = 5403,
    IDS_COLOR_BOOKMARK = 5404,
    IDS_COLOR_ACTIVELINE = 5405,
    IDS_COLOR_MARKS = 5406,
    IDS_COLOR_STRING = 5407,
    IDS_COLOR_STRING2 = 5408,
    IDS_COLOR_LINECOMMENT = 5409,
    IDS_COLOR_LINECOMMENT2 = 5410,
    IDS_COLOR_BLOCKCOMMENT = 5411,
    IDS_COLOR_BLOCKCOMMENT2 = 5412,
    IDS_PRINT_HEADER_DEFAULT = 5520,
    IDS_PRINT_FOOTER_DEFAULT = 5521,
    IDS_MARGIN_UNIT_CM = 5528,
    IDS_MARGIN_UNIT_INCH = 5529,
    IDS_FONT_TEXTEDIT = 6000,
    IDS_FILETYPE_DEFAULT = 6001,
    IDS_FILTER_ALL_FILES = 6002,  // the first entry of a new file filter list, for *.*
    IDS_FILTER_TEXT_FILES = 6003, // its second, for *.txt
    IDS_TOOL_MACRO_FILEEXT = 40320,
    IDS_TOOL_MACRO_INITDIR = 40321,
    IDS_TOOL_MACRO_FILEDIR = 40322,
    IDS_TOOL_MACRO_FILEPATH = 40323,
    IDS_TOOL_MACRO_FILENAME = 40324,
    IDS_TOOL_MACRO_FILENAMENOEXT = 40325,
};

enum : unsigned {
    IDR_MAINFRAME = 100,  // menu and built-in accelerator table of the main frame
    IDR_TEXTDOC = 101,    // menu of the text document
    IDB_TOOLBAR = 300,    // toolbar images, 16 x 16, magenta transparent
    IDB_TOOLBAR_24 = 303, // the same, 24 x 24 (150 %)
    IDB_TOOLBAR_32 = 304, // the same, 32 x 32 (200 %)
    ID_INSERT_DATETIME = 35242,
    ID_VIEW_AS = 35320,
    ID_TOOL_FIRST = 40960, // user tools 40960..41215
    ID_TOOL_LAST = 41215,
    ID_DATETIME_FIRST = 41472, // date and time formats 41472..41727
    ID_DATETIME_LAST = 41727,
    ID_VIEWAS_FIRST = 41728, // file types 41728..41982
    ID_VIEWAS_LIMIT = 41983,
};
