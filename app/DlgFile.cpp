// CDlgFile. Layer: app/ (application shell).
#include "app/DlgFile.h"

#include "app/ShellIds.h"
#include "framework/ResourceText.h"
#include "textdoc/FxEditDoc.h"

#include <dlgs.h>

IMPLEMENT_DYNAMIC(CDlgFile, CFileDialog)

namespace {

CDlgFile::PromptHook g_promptHook = nullptr;

} // namespace

CDlgFile::CDlgFile(bool openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                   const char* filter, CWnd* parent)
    : CFileDialog(openFileDialog, defaultExt, fileName, flags, filter, parent),
      m_encoding(openFileDialog ? FxEncDetect : FxEncAnsi),
      m_initialName(fileName ? fileName : "") {
    m_ofn.Flags |= OFN_ENABLETEMPLATE;
    m_ofn.hInstance = AfxGetResourceHandle();
    m_ofn.lpTemplateName =
        MAKEINTRESOURCEA(openFileDialog ? IDD_FILE_OPEN_EXTRA : IDD_FILE_SAVE_EXTRA);
}

CDlgFile::PromptHook CDlgFile::SetPromptHook(PromptHook hook) {
    PromptHook previous = g_promptHook;
    g_promptHook = hook;
    return previous;
}

void CDlgFile::SetAnswer(const std::vector<std::string>& paths, int encoding, int lineEnd) {
    m_answer = paths;
    m_answered = true;
    m_encoding = encoding;
    m_lineEnd = lineEnd;
}

INT_PTR CDlgFile::DoModal() {
    if (g_promptHook)
        return g_promptHook(*this);
    return CFileDialog::DoModal();
}

std::string CDlgFile::ChosenPath() const {
    if (m_answered)
        return m_answer.empty() ? std::string() : m_answer.front();
    return GetPathName();
}

std::vector<std::string> CDlgFile::ChosenPaths() const {
    return m_answered ? m_answer : GetPathNames();
}

int CDlgFile::TakeEncoding(bool opening, LRESULT itemValue, int previous) {
    if (itemValue == CB_ERR)
        return opening ? FxEncDetect : FxEncAnsi;
    int lowest = opening ? FxEncDetect : FxEncAnsi;
    if (itemValue < lowest || itemValue > FxEncUtf16Be)
        return previous;
    return static_cast<int>(itemValue);
}

int CDlgFile::TakeLineEnd(LRESULT itemValue, int previous) {
    if (itemValue == CB_ERR)
        return FxLineEndDos;
    if (itemValue < FxLineEndDos || itemValue > FxLineEndMac)
        return previous;
    return static_cast<int>(itemValue);
}

void CDlgFile::FillBox(int boxId, int first, int last, UINT firstNameId, int current) {
    HWND box = GetDlgItem(boxId);
    if (!box)
        return;
    for (int value = first; value <= last; ++value) {
        std::string name = AfxLoadString(firstNameId + static_cast<UINT>(value - first));
        LRESULT item = ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (item < 0)
            continue;
        ::SendMessageA(box, CB_SETITEMDATA, static_cast<WPARAM>(item), value);
        if (value == current)
            ::SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    }
}

// Gives an extra label and box the horizontal extent of the standard file-type label and box.
void CDlgFile::AlignExtra(int labelId, int boxId) {
    HWND explorer = ::GetParent(m_hWnd);
    HWND typeLabel = ::GetDlgItem(explorer, stc2);
    HWND typeBox = ::GetDlgItem(explorer, cmb1);
    const int ids[2] = {labelId, boxId};
    const HWND models[2] = {typeLabel, typeBox};
    for (int i = 0; i < 2; ++i) {
        HWND ctrl = GetDlgItem(ids[i]);
        if (!ctrl || !models[i])
            continue;
        RECT model, own;
        ::GetWindowRect(models[i], &model);
        ::GetWindowRect(ctrl, &own);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&model), 2);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&own), 2);
        ::SetWindowPos(ctrl, nullptr, model.left, own.top, model.right - model.left,
                       own.bottom - own.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CDlgFile::OnInitDone() {
    if (m_bOpenFileDialog) {
        FillBox(IDC_OPEN_ENCODING, FxEncDetect, FxEncUtf16Be, IDS_ENC_DETECT, m_encoding);
        AlignExtra(IDC_OPEN_ENCODING_LABEL, IDC_OPEN_ENCODING);
    } else {
        FillBox(IDC_SAVE_ENCODING, FxEncAnsi, FxEncUtf16Be, IDS_ENC_ANSI, m_encoding);
        FillBox(IDC_SAVE_FORMAT, FxLineEndDos, FxLineEndMac, IDS_LINEEND_DOS, m_lineEnd);
        AlignExtra(IDC_SAVE_ENCODING_LABEL, IDC_SAVE_ENCODING);
        AlignExtra(IDC_SAVE_FORMAT_LABEL, IDC_SAVE_FORMAT);
    }
}

bool CDlgFile::OnFileNameOK() {
    auto selected = [this](int boxId) -> LRESULT {
        HWND box = GetDlgItem(boxId);
        LRESULT item = box ? ::SendMessageA(box, CB_GETCURSEL, 0, 0) : CB_ERR;
        return item == CB_ERR ? CB_ERR
                              : ::SendMessageA(box, CB_GETITEMDATA, static_cast<WPARAM>(item), 0);
    };
    if (m_bOpenFileDialog) {
        m_encoding = TakeEncoding(true, selected(IDC_OPEN_ENCODING), m_encoding);
    } else {
        m_encoding = TakeEncoding(false, selected(IDC_SAVE_ENCODING), m_encoding);
        m_lineEnd = TakeLineEnd(selected(IDC_SAVE_FORMAT), m_lineEnd);
    }
    return true;
}
