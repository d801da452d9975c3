// The argument dialog of user tools. Layer: tools/.
#include "tools/DlgToolArgs.h"

#include "framework/ResourceText.h"
#include "tools/ToolIds.h"

#include <algorithm>

CDlgToolArgs::CDlgToolArgs(const std::string& toolName, const std::vector<std::string>& history,
                           CWnd* parent)
    : CDialog(IDD_TOOL_ARGS, parent), m_toolName(toolName), m_history(history) {}

bool CDlgToolArgs::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_TOOL_ARGS_LABEL,
                      AfxFormatString1(IDS_TOOL_ARGS_PROMPT, m_toolName.c_str()).c_str());
    HWND combo = ::GetDlgItem(m_hWnd, IDC_TOOL_ARGS_COMBO);
    ::SendMessageA(combo, CB_LIMITTEXT, kMaxArgument, 0);
    for (const std::string& item : m_history)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    ::SetWindowTextA(combo, "");
    return true;
}

std::vector<std::string> CDlgToolArgs::PutFirst(std::vector<std::string> history,
                                                const std::string& text, size_t limit) {
    // Compared byte for byte: the combo box's own search ignores case.
    if (!text.empty() && (history.empty() || history.front() != text)) {
        history.erase(std::remove(history.begin(), history.end(), text), history.end());
        history.insert(history.begin(), text);
    }
    if (history.size() > limit)
        history.resize(limit);
    return history;
}

void CDlgToolArgs::OnOK() {
    HWND combo = ::GetDlgItem(m_hWnd, IDC_TOOL_ARGS_COMBO);
    const int len = ::GetWindowTextLengthA(combo);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    const int got = ::GetWindowTextA(combo, &text[0], len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    m_argument = text;
    m_history = PutFirst(m_history, text, kHistoryLimit);
    CDialog::OnOK();
}
