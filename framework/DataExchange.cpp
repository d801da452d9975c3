// Dialog data exchange. Layer: framework/.
#include "framework/DataExchange.h"

#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/UserException.h"
#include "framework/Wnd.h"

#include <cerrno>
#include <cstdlib>

HWND CDataExchange::PrepareCtrl(int id) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (::SendMessageA(m_hWndLastControl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        int len = ::GetWindowTextLengthA(control);
        std::string text(static_cast<size_t>(len) + 1, '\0');
        int got = ::GetWindowTextA(control, &text[0], len + 1);
        text.resize(static_cast<size_t>(got > 0 ? got : 0));
        value = text;
    } else {
        ::SetWindowTextA(control, value.c_str());
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        char text[64] = "";
        ::GetWindowTextA(control, text, sizeof text);
        char* end = nullptr;
        errno = 0;
        long parsed = std::strtol(text, &end, 10);
        while (end && (*end == ' ' || *end == '\t'))
            ++end;
        if (end == text || (end && *end) || errno == ERANGE) {
            AfxMessageBox(AFX_IDP_PARSE_INT, MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
        value = static_cast<int>(parsed);
    } else {
        ::SetWindowTextA(control, AfxFormat("%d", value).c_str());
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = control; button; ++index) {
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
        if (!button || (::GetWindowLongA(button, GWL_STYLE) & WS_GROUP))
            break;
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
    if (!dx->m_bSaveAndValidate) {
        if (dx->m_hWndLastControl)
            ::SendMessageA(dx->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    } else if (static_cast<int>(value.size()) > maxChars) {
        dx->Fail();
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
    if (dx->m_bSaveAndValidate && (value < minValue || value > maxValue)) {
        std::string format = AfxLoadString(AFX_IDP_PARSE_INT_RANGE);
        std::string text = AfxFormat(format.c_str(), minValue, maxValue);
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
}
