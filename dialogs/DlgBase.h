// CDlgBase: the dialog base of the program's dialogs: Enter pressed inside a child page does not
// end the dialog, Escape cancels, and help opens the topic of the dialog's help id. Layer:
// dialogs/.
#pragma once

#include "framework/Dialog.h"

class CDlgBase : public CDialog {
    DECLARE_DYNAMIC(CDlgBase)
public:
    CDlgBase() = default;
    explicit CDlgBase(UINT idTemplate, CWnd* parent = nullptr) : CDialog(idTemplate, parent) {}

    // True while the Enter key is down and the focus is in a child dialog (a page) of this
    // one: the OK that the dialog manager makes of it is not the user's.
    bool IsEnterInsidePage() const;
    // The text of a control.
    std::string ItemText(int id) const;
    void SetItemText(int id, const char* text);
    bool IsChecked(int id) const;
    void SetCheck(int id, bool on);
    void EnableItem(int id, bool on);
    // Opens the application's help at the context.
    void ShowHelp(UINT context);
};
