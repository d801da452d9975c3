// CDlgAsFonts. Layer: dialogs/.
#include "dialogs/DlgAsFonts.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/Dpi.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

BEGIN_MESSAGE_MAP(CDlgAsFonts, CDlgAsBase)
ON_CONTROL(CBN_SELCHANGE, IDC_FONT_FACE, OnFaceChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FONT_FACE, OnFaceChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FONT_STYLE, OnChoiceChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FONT_SIZE, OnChoiceChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FONT_SIZE, OnChoiceChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FONT_CHARSET, OnChoiceChanged)
ON_BN_CLICKED(IDC_FONT_DEFAULT, OnDefault)
END_MESSAGE_MAP()

namespace {

int CALLBACK CollectFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
    if (lf->lfFaceName[0] != '@')
        reinterpret_cast<std::set<std::string>*>(data)->insert(lf->lfFaceName);
    return 1;
}

using Charsets = std::vector<std::pair<int, std::string>>;

int CALLBACK CollectCharset(const LOGFONTA* lf, const TEXTMETRICA*, DWORD, LPARAM data) {
    Charsets* list = reinterpret_cast<Charsets*>(data);
    const ENUMLOGFONTEXA* e = reinterpret_cast<const ENUMLOGFONTEXA*>(lf);
    for (const auto& c : *list)
        if (c.first == lf->lfCharSet)
            return 1;
    list->emplace_back(lf->lfCharSet, reinterpret_cast<const char*>(e->elfScript));
    return 1;
}

std::string ComboText(HWND combo) {
    char text[LF_FACESIZE * 2] = "";
    ::GetWindowTextA(combo, text, sizeof text);
    return text;
}

// The combo's text follows its list selection at once (a simple combo updates its edit only
// after the notice).
std::string ComboChoice(HWND combo) {
    const LRESULT sel = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR) {
        const LRESULT len = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
        if (len > 0) {
            std::string text(static_cast<size_t>(len) + 1, '\0');
            ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel),
                           reinterpret_cast<LPARAM>(&text[0]));
            text.resize(static_cast<size_t>(len));
            return text;
        }
    }
    return ComboText(combo);
}

} // namespace

CDlgAsFonts::CDlgAsFonts(CWnd* frame) : CDlgAsBase(IDD_AS_FONTS, frame) {
    std::memset(&m_lf, 0, sizeof m_lf);
}

CDlgAsFonts::~CDlgAsFonts() {
    if (m_sample)
        DeleteObject(m_sample);
}

bool CDlgAsFonts::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    // The stored font is meant for 96 DPI (the views make it again for their density), so that
    // one settings file gives the same point size at every density.
    m_dpi = static_cast<int>(kFxBaseDpi);
    HDC dc = ::GetDC(nullptr);
    std::set<std::string> faces;
    LOGFONTA all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &all, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
    ::ReleaseDC(nullptr, dc);
    HWND face = GetDlgItem(IDC_FONT_FACE);
    ::SendMessageA(face, CB_LIMITTEXT, LF_FACESIZE - 1, 0);
    for (const std::string& f : faces)
        ::SendMessageA(face, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.c_str()));
    HWND style = GetDlgItem(IDC_FONT_STYLE);
    for (UINT id = IDS_FONT_REGULAR; id <= IDS_FONT_BOLDITALIC; ++id)
        ::SendMessageA(style, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AfxLoadString(id).c_str()));
    static const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    HWND size = GetDlgItem(IDC_FONT_SIZE);
    for (int s : kSizes) {
        char text[8];
        std::snprintf(text, sizeof text, "%d", s);
        ::SendMessageA(size, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    HWND slot = GetDlgItem(IDC_FONT_SLOT);
    ::SendMessageA(slot, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(AfxLoadString(IDS_FONT_TEXTEDIT_NAME).c_str()));
    ::SendMessageA(slot, CB_SETCURSEL, 0, 0);
    if (SettingsStore* s = Store())
        ShowFont(s->Font().current, s->Font().font);
    m_loading = false;
    return true;
}

void CDlgAsFonts::ShowFont(const LOGFONTA& lf, HFONT made) {
    const bool loading = m_loading;
    m_loading = true;
    m_lf = lf;
    HWND face = GetDlgItem(IDC_FONT_FACE);
    const LRESULT at = ::SendMessageA(face, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(lf.lfFaceName));
    ::SendMessageA(face, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    ::SetWindowTextA(face, lf.lfFaceName);
    const int style = (lf.lfWeight >= FW_BOLD ? 2 : 0) + (lf.lfItalic ? 1 : 0);
    ::SendMessageA(GetDlgItem(IDC_FONT_STYLE), CB_SETCURSEL, static_cast<WPARAM>(style), 0);
    // A height of 0 asks for the default size: the made font tells what it is.
    int height = std::abs(static_cast<int>(lf.lfHeight));
    if (lf.lfHeight > 0 || (height == 0 && made)) {
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, made ? made : GetStockObject(SYSTEM_FONT));
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        height = tm.tmHeight - (lf.lfHeight > 0 ? 0 : tm.tmInternalLeading);
        if (lf.lfHeight > 0)
            height = tm.tmHeight - tm.tmInternalLeading;
    }
    const int points = static_cast<int>(std::lround(height * 72.0 / m_dpi));
    char text[16];
    std::snprintf(text, sizeof text, "%d", points > 0 ? points : 10);
    HWND size = GetDlgItem(IDC_FONT_SIZE);
    ::SendMessageA(
        size, CB_SETCURSEL,
        static_cast<WPARAM>(::SendMessageA(size, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text))),
        0);
    ::SetWindowTextA(size, text);
    FillCharsets(lf.lfFaceName, lf.lfCharSet);
    m_loading = loading;
    UpdateSample();
}

void CDlgAsFonts::FillCharsets(const std::string& face, int select) {
    HWND box = GetDlgItem(IDC_FONT_CHARSET);
    ::SendMessageA(box, CB_RESETCONTENT, 0, 0);
    Charsets list;
    if (!face.empty() && face.size() < LF_FACESIZE) {
        LOGFONTA want = {};
        want.lfCharSet = DEFAULT_CHARSET;
        std::strcpy(want.lfFaceName, face.c_str());
        HDC dc = ::GetDC(nullptr);
        EnumFontFamiliesExA(dc, &want, CollectCharset, reinterpret_cast<LPARAM>(&list), 0);
        ::ReleaseDC(nullptr, dc);
    }
    bool found = false;
    for (const auto& c : list)
        found = found || c.first == select;
    if (!found && select == DEFAULT_CHARSET)
        list.emplace_back(DEFAULT_CHARSET, "Default");
    int selIndex = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        const LRESULT at =
            ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list[i].second.c_str()));
        ::SendMessageA(box, CB_SETITEMDATA, static_cast<WPARAM>(at), list[i].first);
        if (list[i].first == select)
            selIndex = static_cast<int>(at);
    }
    ::SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(selIndex), 0);
}

bool CDlgAsFonts::ChosenFont(LOGFONTA* lf) const {
    *lf = m_lf;
    const std::string face = ComboChoice(GetDlgItem(IDC_FONT_FACE));
    if (face.empty() || face.size() >= LF_FACESIZE)
        return false;
    std::strcpy(lf->lfFaceName, face.c_str());
    const std::string sizeText = ComboChoice(GetDlgItem(IDC_FONT_SIZE));
    char* end = nullptr;
    const double points = std::strtod(sizeText.c_str(), &end);
    if (end == sizeText.c_str() || *end || points < 1 || points > 1638)
        return false;
    lf->lfHeight = -static_cast<LONG>(std::lround(points * m_dpi / 72.0));
    lf->lfWidth = 0;
    LRESULT style = ::SendMessageA(GetDlgItem(IDC_FONT_STYLE), CB_GETCURSEL, 0, 0);
    if (style == CB_ERR)
        style = 0;
    lf->lfWeight = style >= 2 ? FW_BOLD : FW_NORMAL;
    lf->lfItalic = (style & 1) ? 1 : 0;
    HWND charset = GetDlgItem(IDC_FONT_CHARSET);
    const LRESULT sel = ::SendMessageA(charset, CB_GETCURSEL, 0, 0);
    if (sel != CB_ERR)
        lf->lfCharSet =
            static_cast<BYTE>(::SendMessageA(charset, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    return true;
}

void CDlgAsFonts::UpdateSample() {
    LOGFONTA lf;
    const bool chosen = ChosenFont(&lf);
    // The sample shows the size the views will draw with on this monitor.
    const int dpi = static_cast<int>(FxDpiOf(m_hWnd));
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, m_dpi);
    HFONT font = chosen ? CreateFontIndirectA(&lf) : nullptr;
    HWND sample = GetDlgItem(IDC_FONT_SAMPLE);
    ::SendMessageA(sample, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (m_sample)
        DeleteObject(m_sample);
    m_sample = font;
    ::InvalidateRect(sample, nullptr, TRUE);
}

void CDlgAsFonts::OnFaceChanged() {
    if (m_loading)
        return;
    const std::string face = ComboChoice(GetDlgItem(IDC_FONT_FACE));
    HWND charset = GetDlgItem(IDC_FONT_CHARSET);
    const LRESULT sel = ::SendMessageA(charset, CB_GETCURSEL, 0, 0);
    const int current = sel == CB_ERR ? DEFAULT_CHARSET
                                      : static_cast<int>(::SendMessageA(
                                            charset, CB_GETITEMDATA, static_cast<WPARAM>(sel), 0));
    m_loading = true;
    FillCharsets(face, current);
    m_loading = false;
    UpdateSample();
}

void CDlgAsFonts::OnChoiceChanged() {
    if (!m_loading)
        UpdateSample();
}

void CDlgAsFonts::OnDefault() {
    SettingsStore* s = Store();
    if (!s || !s->Font().defaultFont)
        return;
    HFONT made = CreateFontIndirectA(s->Font().defaultFont);
    ShowFont(*s->Font().defaultFont, made);
    if (made)
        DeleteObject(made);
    SetModified(true);
}

bool CDlgAsFonts::ValidatePage() {
    LOGFONTA lf;
    HFONT font = ChosenFont(&lf) ? CreateFontIndirectA(&lf) : nullptr;
    if (!font) {
        AfxMessageBox(IDS_FONT_FAILED, MB_OK | MB_ICONSTOP);
        FocusItem(IDC_FONT_SIZE);
        return false;
    }
    DeleteObject(font);
    return true;
}

void CDlgAsFonts::StoreValues() {
    SettingsStore* s = Store();
    LOGFONTA lf;
    if (!s || !ChosenFont(&lf))
        return;
    if (std::memcmp(&lf, &s->Font().current, sizeof lf) == 0)
        return;
    // The store deletes the font the views draw with: they take the new one before anything
    // is painted again.
    if (!s->SetFont(lf)) {
        AfxMessageBox(IDS_FONT_FAILED, MB_OK | MB_ICONSTOP);
        return;
    }
    s->SaveFont();
    if (ISettingsHost* host = Host())
        host->ApplyDisplaySettings(true);
}
