// CCmdTarget: an object with a message map that commands can be routed to. Layer: framework/.
#pragma once

#include "framework/MessageMap.h"
#include "framework/Object.h"

// Codes of OnCmdMsg besides the control notification codes of WM_COMMAND.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI (-1)

// Filled by OnCmdMsg in query mode: who would handle the command.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Routes a command (code CN_COMMAND or a control notification code) or a command-UI update
    // (CN_UPDATE_COMMAND_UI, extra = the CCmdUI) through this target's map. With handlerInfo set
    // only looks for a handler. True when handled.
    virtual bool OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);

    // The first entry of this object's maps (derived first) of the kind for message / id.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT kind, UINT message, UINT id) const;

    void BeginWaitCursor();
    void EndWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
