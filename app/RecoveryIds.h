// Resource identifiers of the recovery of unsaved work: the start-up question and the messages
// of restoring. Plain #defines so that resource scripts can include it. Layer: app/.
#pragma once

#define IDD_RECOVERY 460
#define IDC_RECOVERY_PROMPT 3601
#define IDC_RECOVERY_LIST 3602
// The buttons are IDYES "恢复", IDNO "放弃" and IDCANCEL "稍后决定".

#define IDS_RECOVERY_FILE_CHANGED 7600 // the restored documents whose files changed since
#define IDS_RECOVERY_UNREADABLE 7601   // a copy that cannot be read back
