// Resource identifiers of the clip text window: its context menu and commands, its questions
// and messages, and the header written at the top of every library. Plain #defines so that
// resource scripts can include them. Layer: workspace/.
#pragma once

// The context menu and its commands.
#define IDR_CLIPTEXT_MENU 113
#define ID_CLIP_INSERT 40220
#define ID_CLIP_COPY 40221
#define ID_CLIP_ADD 40222
#define ID_CLIP_EDIT 40223
#define ID_CLIP_RENAME 40224
#define ID_CLIP_DELETE 40225
#define ID_CLIP_SORT_ASCENDING 40226
#define ID_CLIP_SORT_DESCENDING 40227
#define ID_CLIP_LIBRARY_NEW 40228
#define ID_CLIP_LIBRARY_EDIT 40229
#define ID_CLIP_LIBRARY_RENAME 40230
#define ID_CLIP_LIBRARY_DELETE 40231

// Questions, messages and texts.
#define IDS_CLIP_SAME_NAME 7011      // rename onto a name another item has
#define IDS_CLIP_DELETE_ITEM 7012    // delete an item
#define IDS_CLIP_FILE_HEADER 7018    // the comment block at the top of a library file
#define IDS_CLIP_ADD_FAILED 8030     // an added item could not be inserted
#define IDS_CLIP_NEW_ITEM 7191       // the name of an added item, "%d" its number
#define IDS_CLIP_ITEM_ERROR 7192     // the label of an item without its data
#define IDS_CLIP_SAVE_DAMAGED 7193   // a library read in a cut form is about to be rewritten
#define IDS_CLIP_RELOAD_CHANGED 7194 // the library changed on disk while edited in the window
#define IDS_CLIP_SAVE_FAILED 7195    // a library could not be written
#define IDS_CLIP_FILE_FILTER 7196    // the save dialog's filter of a new library
#define IDS_CLIP_READ_FAILED 7197    // a library file could not be read
#define IDS_CLIP_EXIT_UNSAVED 7198   // the program ends with a library that could not be written
