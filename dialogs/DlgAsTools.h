// CDlgAsTools: the user tools page (410): the tool list edited on a copy (add, delete, move),
// each tool's name, command, arguments with the macro menu, initial folder, and its options.
// Layer: dialogs/.
#pragma once

#include "settings/SettingsStore.h"
#include "dialogs/DlgAsBase.h"

class CDlgAsTools : public CDlgAsBase {
public:
    explicit CDlgAsTools(CWnd* frame);
    bool OnInitDialog() override;
    void StoreValues() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnAdd();
    void OnDelete();
    void OnUp();
    void OnDown();
    void OnSelect();
    void OnPick();
    void OnBrowseCommand();
    void OnArgMenu();
    void OnDirMenu();
    const CLstUserToolInfo& Tools() const { return m_tools; }
    DECLARE_MESSAGE_MAP()

private:
    int Selected() const;
    void FillList(int select);
    void ShowTool();
    void CollectField(int id);
    void Move(int by);
    void InsertAtCaret(int id, const char* text);
    void PopupMenu(UINT menuId, int button, int edit);
    CLstUserToolInfo m_tools;
    int m_shown = -1;
};
