// The main frame's user tools: the Tools menu items, their command state, and running a tool
// with its argument dialog and macros. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "settings/SettingsIds.h"
#include "framework/CmdUI.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "tools/DlgToolArgs.h"
#include "tools/ErrorLine.h"
#include "tools/ToolIds.h"
#include "tools/ToolMacros.h"

namespace {

// The Tools popup of a menu bar: the one that holds the user tools settings command. Found by
// its content, so a maximised document's system menu in front of it changes nothing.
HMENU FindToolsMenu(HMENU bar) {
    if (!bar)
        return nullptr;
    const int n = GetMenuItemCount(bar);
    for (int i = 0; i < n; ++i) {
        HMENU sub = GetSubMenu(bar, i);
        if (sub && GetMenuState(sub, ID_TOOLS_USER_TOOLS, MF_BYCOMMAND) != static_cast<UINT>(-1))
            return sub;
    }
    return nullptr;
}

} // namespace

void CAppMainFrame::RebuildToolsMenus() {
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    settings->RebuildToolsMenu(FindToolsMenu(m_hMenuDefault));
    CApp* app = AppGetApp();
    if (app && app->GetDocTemplate())
        settings->RebuildToolsMenu(FindToolsMenu(app->GetDocTemplate()->m_hMenuShared));
    if (m_hWnd)
        ::DrawMenuBar(m_hWnd);
}

void CAppMainFrame::OnUserTool(UINT id) {
    RunUserTool(id - ID_TOOL_FIRST);
}

void CAppMainFrame::OnUpdateUserTool(CCmdUI* cmdUI) {
    SettingsStore* settings = AppSettings();
    const size_t n = cmdUI->m_nID - ID_TOOL_FIRST;
    bool enable = settings && n < settings->Tools().size();
    if (enable && settings->Tools()[n].captureOutput)
        enable = HasFreeOutputChannel(1) && m_toolRunner.HasFreeCaptureJob();
    cmdUI->Enable(enable);
}

void CAppMainFrame::RunUserTool(size_t n) {
    SettingsStore* settings = AppSettings();
    if (!settings || n >= settings->Tools().size())
        return;
    const UserToolInfo tool = settings->Tools()[n];
    if (tool.name.empty() || tool.command.empty())
        return;
    CApp* app = AppGetApp();
    if (tool.saveFiles && app && !app->SaveAllModified(true)) {
        if (AfxShowMessageBox(m_hWnd, AfxLoadString(IDS_TOOL_SAVE_FAILED).c_str(),
                              MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }
    ToolRequest request;
    request.name = tool.name;
    request.command = tool.command;
    request.initDir = tool.initDir;
    request.argument = tool.argument;
    request.promptForArg = tool.promptForArg != 0;
    request.saveFiles = tool.saveFiles != 0;
    request.captureOutput = tool.captureOutput != 0;
    request.consoleWindow = tool.dosBox != 0;
    if (request.promptForArg) {
        CDlgToolArgs dialog(tool.name, settings->ToolArgs(), this);
        if (dialog.DoModal() != IDOK)
            return;
        request.argument = dialog.Argument();
        settings->UpdateToolArgs(dialog.History());
    }
    if (ToolNeedsDocumentPath(request.argument, request.initDir)) {
        CTextEditDoc* doc = GetActiveTextDoc();
        if (!doc)
            return;
        const std::string path = doc->GetPathName();
        if (path.empty()) {
            AfxShowMessageBox(m_hWnd,
                              AfxFormatString1(IDS_TOOL_NEEDS_PATH, tool.name.c_str()).c_str(),
                              MB_OK | MB_ICONINFORMATION);
            return;
        }
        ExpandToolMacros(path, request.argument, request.initDir);
    }
    m_toolRunner.Run(request, m_hWnd);
}

void CAppMainFrame::InstallErrorLineReaders() {
    for (int key = 1; key <= 2; ++key) {
        m_outputWindow.SetLineReader(
            key, [this, key](const char* text, int32_t length, OutputTarget* target) {
                ErrorLineTarget found;
                if (length <= 0 || !ParseErrorLine(text, static_cast<size_t>(length),
                                                   m_toolRunner.PaneFolder(key), &found))
                    return false;
                target->path = found.path;
                target->line = found.line;
                target->column = found.column > 0 ? found.column : 1;
                target->unicodeColumn = false;
                return true;
            });
    }
}

bool CAppMainFrame::StepErrorLine(int dir) {
    // The capture pane with the focus, else the one a tool last wrote into.
    int key = m_toolRunner.LastPaneKey();
    for (int k = 1; k <= 2; ++k) {
        OutputPane* pane = m_outputWindow.GetPane(k);
        if (pane && pane->m_hWnd && ::GetFocus() == pane->m_hWnd)
            key = k;
    }
    OutputPane* pane = key ? m_outputWindow.GetPane(key) : nullptr;
    if (!pane || !pane->m_hWnd)
        return false;
    const std::string folder = m_toolRunner.PaneFolder(key);
    const OutputLines& lines = pane->Lines();
    // From the line the last step opened, the next one; from anywhere else the caret's own
    // line comes first, so that the first step after a run opens its first error.
    const int32_t caret = pane->GetCaret().line;
    const int32_t from = caret == m_errorLine[key] ? caret + dir : caret;
    for (int32_t line = from; line >= 0 && line < lines.Count(); line += dir) {
        const OutputLines::Line& rec = lines.At(line);
        ErrorLineTarget found;
        if (rec.length > 0 &&
            ParseErrorLine(rec.text, static_cast<size_t>(rec.length), folder, &found)) {
            m_outputWindow.SelectKey(key);
            pane->MoveCaret(OutputPane::Pos{0, line}, false);
            m_errorLine[key] = line;
            pane->GoTo();
            return true;
        }
    }
    return false;
}
