// The main frame's device notices: a volume that arrives or goes has the file tree read its
// drives again shortly after. Layer: app/.
#include "app/AppMainFrame.h"

#include <dbt.h>

bool CAppMainFrame::IsVolumeChange(UINT event, DWORD_PTR data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return false;
    const DEV_BROADCAST_HDR* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    return header && (header->dbch_devicetype & DBT_DEVTYP_VOLUME) != 0;
}

bool CAppMainFrame::OnDeviceChange(UINT event, DWORD_PTR data) {
    if (IsVolumeChange(event, data) && m_fileTree) {
        HWND tree = m_fileTree->DriveTreeWindow();
        if (tree && ::IsWindow(tree))
            ::SetTimer(tree, IFileTreeDrives::kDriveTimer, IFileTreeDrives::kDriveTimerDelayMs,
                       nullptr);
    }
    return true;
}
