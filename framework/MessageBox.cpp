// Message boxes. Layer: framework/.
#include "framework/MessageBox.h"

#include "framework/FwIds.h"
#include "framework/ResourceText.h"
#include "framework/WinApp.h"

namespace {
AfxMessageBoxHook g_hook = nullptr;
}

AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook) {
    AfxMessageBoxHook old = g_hook;
    g_hook = hook;
    return old;
}

int AfxShowMessageBox(HWND owner, const char* text, UINT type) {
    CWinApp* app = AfxGetApp();
    std::string caption = app ? app->m_strAppName : AfxLoadStringOr(AFX_IDS_APP_TITLE, "");
    if (g_hook)
        return g_hook(text, caption.c_str(), type);
    return MessageBoxA(owner, text, caption.c_str(), type);
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(text, type, helpId);
    return AfxShowMessageBox(GetActiveWindow(), text, type);
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId) {
    std::string text = AfxLoadString(textId);
    return AfxMessageBox(text.c_str(), type, helpId == static_cast<UINT>(-1) ? textId : helpId);
}
