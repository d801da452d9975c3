// CDataExchange and the DDX_/DDV_ helpers: moving values between a dialog's controls and its
// members, with a message and a refusal when a value does not fit. Layer: framework/.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    // The control with that id; remembered for Fail.
    HWND PrepareCtrl(int id);
    // Focuses the last prepared control and stops the exchange (throws CUserException).
    [[noreturn]] void Fail();

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
};

void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// value: index of the checked button in the group starting at id (-1 none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// Limits an edit control's text on load; refuses a longer text on save.
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
