// CDlgAsBase: one page of the settings dialog, a modeless child dialog made the first time it
// is shown. The frame calls OnOK and OnCancel of every page that exists, ValidatePage before a
// page change, OK and Apply, and OnPageApply on Apply. Any change a user makes on a page marks
// it modified, which enables the frame's Apply button. Layer: dialogs/.
#pragma once

#include "dialogs/DlgBase.h"

class SettingsStore;
class ISettingsHost;

class CDlgAsBase : public CDlgBase {
    DECLARE_DYNAMIC(CDlgAsBase)
public:
    CDlgAsBase(UINT idTemplate, CWnd* frame);

    // Makes the page as a child of `parent` at `rc` (in the parent's client coordinates), grown
    // where a control would otherwise end outside it.
    bool CreatePage(CWnd* parent, const RECT& rc);

    // Tests and collects the controls; on failure the page has said why and focused the
    // offending control.
    virtual bool ValidatePage() { return true; }
    // Writes the page's values to the store when it is modified, then is clean again.
    virtual void OnPageApply();
    // OK: the page's values go to the store (after ValidatePage passed on every page).
    void OnOK() override;
    // Cancel: the page's copies are dropped.
    void OnCancel() override {}
    virtual bool IsModified() const { return m_modified; }
    virtual void SetModified(bool modified = true);
    // Writes the values; called by OnPageApply and OnOK while the page is modified.
    virtual void StoreValues() {}
    // Puts the focus on a control of the page (a sub-page's control shows its sub-page);
    // false when the page has no such control.
    virtual bool FocusControl(UINT id);

    // The shared range test of an integer field: a value outside [min, max] shows the message
    // `msgId` with the bounds, resets the field to the clamped value (the minimum when it is
    // not a number), selects it and focuses it.
    bool ValidateInt(int id, int min, int max, UINT msgId, int* value);
    bool ValidateUInt(int id, unsigned min, unsigned max, UINT msgId, unsigned* value);
    // The same for a real-valued field shown with two decimals.
    bool ValidateReal(int id, double min, double max, UINT msgId, double* value);
    void SetItemInt(int id, int value);
    void SetItemReal(int id, double value);
    void FocusItem(int id);

    SettingsStore* Store() const;
    ISettingsHost* Host() const;

    // A control's own notifications that mark the page modified.
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;

protected:
    CWnd* m_frame;
    bool m_modified = false;
    bool m_loading = false; // controls being filled: their notices are not user changes
};
