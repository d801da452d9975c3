// CDlgFile: the system's open and save dialogs with an extra area below the standard
// controls: the encoding to read a file with, or the encoding and line-end type to write it
// with. Layer: app/ (application shell).
#pragma once

#include "framework/FileDialog.h"

#include <string>
#include <vector>

class CDlgFile : public CFileDialog {
    DECLARE_DYNAMIC(CDlgFile)
public:
    CDlgFile(bool openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
             DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
             CWnd* parent = nullptr);

    INT_PTR DoModal() override;
    void OnInitDone() override;
    bool OnFileNameOK() override;

    // The chosen files (several when opening with multiple selection).
    std::string ChosenPath() const;
    std::vector<std::string> ChosenPaths() const;

    // In: the value preselected; out: the value chosen. Opening: 0 detect, 1-4 the encodings;
    // saving: 1-4, and the line-end type 0-2.
    int m_encoding;
    int m_lineEnd = 0;
    // The name proposed when the dialog was made.
    std::string m_initialName;

    // Answers the dialog instead of showing it (tests): the hook gets the dialog with its
    // preselected values, sets the answer through SetAnswer and returns IDOK or IDCANCEL.
    typedef INT_PTR (*PromptHook)(CDlgFile& dialog);
    static PromptHook SetPromptHook(PromptHook hook);
    void SetAnswer(const std::vector<std::string>& paths, int encoding, int lineEnd);

    // The value an item carried, as it is taken back on OK: no item (CB_ERR) gives the
    // default (detect when opening, ANSI / DOS when saving); a value out of range keeps the
    // previous one.
    static int TakeEncoding(bool opening, LRESULT itemValue, int previous);
    static int TakeLineEnd(LRESULT itemValue, int previous);

private:
    void FillBox(int boxId, int first, int last, UINT firstNameId, int current);
    void AlignExtra(int labelId, int boxId);

    std::vector<std::string> m_answer; // set by a hook
    bool m_answered = false;
};
