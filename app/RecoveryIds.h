// Resource identifiers of the recovery of unsaved work: the start-up question and the messages
// of restoring. Plain #defines so that resource scripts can include it. Layer: app/.
#pragma once

#define IDD_RECOVERY 460
#define IDC_RECOVERY_PROMPT 3601
#define IDC_RECOVERY_LIST 3602
// The buttons end the dialog with their own ids: "恢复" IDYES, "放弃" IDNO, and "稍后决定"
// IDCANCEL (also Esc and the close box).
#define IDC_RECOVERY_RESTORE 6 // IDYES
#define IDC_RECOVERY_DISCARD 7 // IDNO

#define IDS_RECOVERY_FILE_CHANGED 7600 // the restored documents whose files changed since
#define IDS_RECOVERY_UNREADABLE 7601   // a copy that cannot be read back
