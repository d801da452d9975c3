// Command, menu and string ids of the file tree window. Layer: workspace/.
#pragma once

// The context menu.
#define IDR_FILETREE_MENU 114

#define ID_FILETREE_OPEN 40120
#define ID_FILETREE_SHELLOPEN 40121
#define ID_FILETREE_DELETE 40122
#define ID_FILETREE_RENAME 40123
#define ID_FILETREE_SORT_TYPE 40124
#define ID_FILETREE_SORT_NAME 40125
#define ID_FILETREE_REFRESH 40126
#define ID_FILETREE_SHOWHIDDEN 40127
#define ID_FILETREE_SHOWNONFS 40128
#define ID_FILETREE_PROPERTIES 40129
#define ID_FILETREE_COPY 40130
#define ID_FILETREE_PASTE 40131
#define ID_FILETREE_NEWFILE 40132
#define ID_FILETREE_NEWFOLDER 40133
#define ID_FILETREE_SORT_SIZE 40001
#define ID_FILETREE_SORT_DATE 40002

// Texts: the names of new files and folders, and the messages.
#define IDS_FILETREE_NEWFILE 7019
#define IDS_FILETREE_NEWFOLDER 7020
#define IDS_FILETREE_NOITEM 8024
#define IDS_FILETREE_READONLY 8025
#define IDS_FILETREE_DELETEFAILED 8026
#define IDS_FILETREE_NEWFILEFAILED 8027
#define IDS_FILETREE_NEWFOLDERFAILED 8028
// A path whose characters the code page cannot all show cannot be opened in the editor; a path
// with a wildcard is never handed to the shell's file operations.
#define IDS_FILETREE_NOTANSI 8029
#define IDS_FILETREE_WILDCARD 8047
