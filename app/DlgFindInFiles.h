// CDlgFindInFiles: the "在文件中查找" and "在文件中替换" dialogs, compact or full (with the
// encoding boxes), which build a find-in-files request from their boxes and the settings.
// Layer: app/.
#pragma once

#include "framework/Dialog.h"
#include "search/FileSearch.h"

#include <string>

class CDlgFindInFiles : public CDialog {
public:
    // offered: the text the main frame offers for the find box (empty: none).
    CDlgFindInFiles(CWnd* parent, bool replace, const std::string& offered);

    bool OnInitDialog() override;
    // The warning (replace), the checks of the texts, the folder and the pattern; then the
    // request is built, the histories and options stored, and the dialog ends with IDOK.
    void OnOK() override;
    void OnAdvanced();
    void OnBrowse();
    void OnInputChanged();

    bool IsFullForm() const { return m_full; }
    void SetFullForm(bool full);
    // The request built by OK.
    FxFileSearch& Request() { return m_request; }
    // Whether the OK button may be pressed: find text, folder and filters given, and at least
    // one encoding box ticked.
    bool CanStart() const;

    // A folder is valid when it exists or names a network path; blanks and one trailing "\"
    // are dropped before the test.
    static bool IsValidFolder(const std::string& folder);

    DECLARE_MESSAGE_MAP()

private:
    std::string BoxText(int id) const;
    bool BoxHasText(int id) const;
    void PushToBox(int id, const std::string& text);
    void FillBox(int id, int kind);
    void StoreHistory(int id, int kind);

    bool m_replace;
    std::string m_offered;
    bool m_full = false;
    int m_fullHeight = 0, m_compactHeight = 0;
    FxFileSearch m_request;
};
