// CDlgRecovery: the start-up question about the documents a run that did not end normally left
// unsaved: their list, and "恢复" (IDYES), "放弃" (IDNO) or "稍后决定" (IDCANCEL, also Esc and
// the close box). Layer: app/.
#pragma once

#include "framework/Dialog.h"

#include <string>
#include <vector>

class CDlgRecovery : public CDialog {
public:
    // names: one line per document, its path or, untitled, its title.
    CDlgRecovery(CWnd* parent, std::vector<std::string> names);

    bool OnInitDialog() override;
    void OnRestore();
    void OnDiscard();

    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::string> m_names;
};
