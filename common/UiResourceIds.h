// Identifiers of the program's images, icons and cursors (res/images.rc). Plain #defines so that
// the resource scripts include them too. The toolbar's bitmap, 300, is IDB_TOOLBAR in
// settings/SettingsIds.h. Layer: common/.
#pragma once

#define IDI_MAINFRAME 100     // icon of the main window and the tray
#define IDI_DOCUMENT 101      // icon of the document frames
#define IDB_SHARED_IMAGES 301 // shared 16 x 16 image list, magenta transparent
#define IDB_DOC_IMAGES 302    // document and output window images, 16 x 16, magenta transparent
#define IDC_SPLIT_H 310       // cursor for dragging a splitter left and right
#define IDC_SPLIT_V 311       // cursor for dragging a splitter up and down
