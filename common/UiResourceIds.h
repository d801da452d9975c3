// Identifiers of the program's images, icons and cursors (res/images.rc). Plain #defines so that
// the resource scripts include them too. The toolbar's bitmaps, 300, 303 and 304, are
// IDB_TOOLBAR... in settings/SettingsIds.h. Every image list comes in 16, 24 and 32-pixel cells
// (100, 150 and 200 %). Layer: common/.
#pragma once

#define IDI_MAINFRAME 100        // icon of the main window and the tray
#define IDI_DOCUMENT 101         // icon of the document frames
#define IDB_SHARED_IMAGES 301    // shared 16 x 16 image list, magenta transparent
#define IDB_DOC_IMAGES 302       // document and output window images, 16 x 16, magenta transparent
#define IDB_SHARED_IMAGES_24 305 // the shared images, 24 x 24
#define IDB_SHARED_IMAGES_32 306 // the shared images, 32 x 32
#define IDB_DOC_IMAGES_24 307    // the document images, 24 x 24
#define IDB_DOC_IMAGES_32 308    // the document images, 32 x 32
#define IDC_SPLIT_H 310          // cursor for dragging a splitter left and right
#define IDC_SPLIT_V 311          // cursor for dragging a splitter up and down
