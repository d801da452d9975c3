// CDlgAsGeneral: the general page (401): recent file count, line spacing, the gap between line
// numbers and text, and the start-up and window options. Layer: dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"

class CDlgAsGeneral : public CDlgAsBase {
public:
    explicit CDlgAsGeneral(CWnd* frame);
    bool OnInitDialog() override;
    bool ValidatePage() override;
    void StoreValues() override;

private:
    unsigned m_recent = 8, m_lineSpacing = 0, m_numberSpacing = 0;
};
