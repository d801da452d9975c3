// CDlgToolArgs: the argument dialog of a user tool that asks for its argument text before it
// runs (dialog 430): the tool's name, and a combo box with the argument history. Layer: tools/.
#pragma once

#include "framework/Dialog.h"

#include <string>
#include <vector>

class CDlgToolArgs : public CDialog {
public:
    static const int kMaxArgument = 4096;
    static const int kHistoryLimit = 16;

    CDlgToolArgs(const std::string& toolName, const std::vector<std::string>& history,
                 CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    // After OK: the text entered, and the history with it at the top (at most 16 entries).
    const std::string& Argument() const { return m_argument; }
    const std::vector<std::string>& History() const { return m_history; }

    // The history after choosing `text`: a non-empty text that is not already first moves (or
    // is put) to the top; at most `limit` entries are kept.
    static std::vector<std::string> PutFirst(std::vector<std::string> history,
                                             const std::string& text, size_t limit);

private:
    std::string m_toolName;
    std::vector<std::string> m_history;
    std::string m_argument;
};
