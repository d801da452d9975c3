// CDlgAsFile: the file page (404): the file filter list edited on a copy (add, delete, move,
// description and patterns) and the options of watching files changed by other programs.
// Layer: dialogs/.
#pragma once

#include "settings/FileTypes.h"
#include "dialogs/DlgAsBase.h"

class CDlgAsFile : public CDlgAsBase {
public:
    explicit CDlgAsFile(CWnd* frame);
    bool OnInitDialog() override;
    void StoreValues() override;
    void OnAdd();
    void OnDelete();
    void OnUp();
    void OnDown();
    void OnSelect();
    void OnDescChanged();
    void OnExtChanged();
    const CLstFileFilterInfo& Filters() const { return m_filters; }
    DECLARE_MESSAGE_MAP()

private:
    void FillList(int select);
    int Selected() const;
    void Move(int by);
    CLstFileFilterInfo m_filters;
};
