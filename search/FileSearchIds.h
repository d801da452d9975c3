// String-table ids of the lines that find and replace in files writes into the output window.
// Plain #defines so that the resource script includes them too. Layer: search/.
#pragma once

#define IDS_FIF_START_FIND 7260    // folder, filters, find text
#define IDS_FIF_START_REPLACE 7261 // folder, filters, find text, replacement
#define IDS_FIF_FILE_FOUND 7262    // hits in one file
#define IDS_FIF_FILE_REPLACED 7263 // replacements in one file
#define IDS_FIF_STOPPED 7264       // the user stopped during this file
#define IDS_FIF_END_FIND 7265      // files searched, hits
#define IDS_FIF_END_REPLACE 7266   // files searched, replacements
#define IDS_FIF_FAILED 7267        // the reason the whole operation ended
#define IDS_FIF_SKIP_OPEN 7268     // path, system reason: a file that cannot be read
#define IDS_FIF_SKIP_NAME 7269     // path: a name the code page cannot hold
#define IDS_FIF_SKIP_WRITE 7271    // path, system reason: a file that could not be replaced
#define IDS_FIF_SKIPPED_COUNT 7272 // files skipped
#define IDS_FIF_NO_BACKUP 7273     // path, system reason: replaced, but its backup failed
#define IDS_FIF_BAD_PATTERN 7274   // the pattern's error message
#define IDS_FIF_OUT_OF_MEMORY 7275 // reason text when memory ran out

// path, line (from 1): a line too long to map; the rest of the file is not searched
#define IDS_FIF_LONG_LINE_FIND 7276
// path, line (from 1): as above, in a replacement; the file is left as it was
#define IDS_FIF_LONG_LINE_REPLACE 7277
