// CCmdTarget: lookup in the chain of message maps and command dispatch. Layer: framework/.
#include "framework/CmdTarget.h"

#include "framework/CmdUI.h"
#include "framework/WaitCursor.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{AfxEntryEnd, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT kind, UINT message, UINT id) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->kind != AfxEntryEnd; ++e) {
            if (e->kind != kind || e->message != message)
                continue;
            if (kind == AfxEntryMessage || (id >= e->id && id <= e->lastId))
                return e;
        }
    }
    return nullptr;
}

bool CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    AFX_MSGCALL call = {};
    call.id = id;
    if (code == CN_UPDATE_COMMAND_UI) {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(AfxEntryUpdate, 0, id);
        if (!e)
            return false;
        if (handlerInfo) {
            handlerInfo->pTarget = this;
            handlerInfo->pEntry = e;
            return true;
        }
        CCmdUI* ui = static_cast<CCmdUI*>(extra);
        ui->m_bContinueRouting = false;
        call.cmdUI = ui;
        e->call(this, call);
        bool handled = !ui->m_bContinueRouting;
        ui->m_bContinueRouting = false;
        return handled;
    }
    UINT message = static_cast<UINT>(code);
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(AfxEntryCommand, message, id);
    const AFX_MSGMAP_ENTRY* ex = FindMessageEntry(AfxEntryCommandEx, message, id);
    if (!e && !ex)
        return false;
    if (handlerInfo) {
        handlerInfo->pTarget = this;
        handlerInfo->pEntry = e ? e : ex;
        return true;
    }
    // A plain handler always stops routing; an EX handler may decline.
    if (ex && ex->call(this, call) != 0)
        return true;
    if (e) {
        e->call(this, call);
        return true;
    }
    return false;
}

void CCmdTarget::BeginWaitCursor() {
    CWaitCursor::Begin();
}

void CCmdTarget::EndWaitCursor() {
    CWaitCursor::End();
}
