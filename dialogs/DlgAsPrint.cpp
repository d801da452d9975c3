// CDlgAsPrint. Layer: dialogs/.
#include "dialogs/DlgAsPrint.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgIds.h"
#include "framework/FontDialog.h"
#include "framework/MessageBox.h"
#include "framework/Printer.h"
#include "framework/ResourceText.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CDlgAsPrint, CDlgAsBase)
ON_BN_CLICKED(IDC_PRT_INCH, OnUnit)
ON_BN_CLICKED(IDC_PRT_CM, OnUnit)
ON_BN_CLICKED(IDC_PRT_CUSTOM_FONT, OnCustomFont)
ON_BN_CLICKED(IDC_PRT_FONT, OnFont)
ON_BN_CLICKED(IDC_PRT_SETUP, OnSetup)
ON_BN_CLICKED(IDC_PRT_HEADER_CODES, OnHeaderCodes)
ON_BN_CLICKED(IDC_PRT_FOOTER_CODES, OnFooterCodes)
END_MESSAGE_MAP()

namespace {
const int kFields[6] = {IDC_PRT_LEFT,   IDC_PRT_RIGHT,          IDC_PRT_TOP,
                        IDC_PRT_BOTTOM, IDC_PRT_HEADER_SPACING, IDC_PRT_FOOTER_SPACING};
const double kCmPerInch = 2.54;
} // namespace

CDlgAsPrint::CDlgAsPrint(CWnd* frame) : CDlgAsBase(IDD_AS_PRINT, frame) {
    std::memset(&m_font, 0, sizeof m_font);
}

// The program's current printer (the system default until print setup chose another).
CDlgAsPrint::PrinterInfo CDlgAsPrint::ReadPrinter() {
    PrinterInfo info;
    const ::PrinterInfo printer = CPrinter::Query();
    if (!printer.available || printer.dpiX <= 0 || printer.dpiY <= 0)
        return info;
    info.present = true;
    info.widthInches = printer.PrintableWidthInches();
    info.heightInches = printer.PrintableHeightInches();
    info.monochrome = !printer.colour;
    info.device = printer.name;
    PRINTDLGA pd = {};
    pd.lStructSize = sizeof pd;
    if (CPrinter::GetDefaults(pd)) {
        if (pd.hDevMode) {
            if (const DEVMODEA* dm = static_cast<const DEVMODEA*>(GlobalLock(pd.hDevMode))) {
                const char* form = reinterpret_cast<const char*>(dm->dmFormName);
                info.form.assign(form, strnlen(form, CCHFORMNAME));
                GlobalUnlock(pd.hDevMode);
            }
            GlobalFree(pd.hDevMode);
        }
        if (pd.hDevNames)
            GlobalFree(pd.hDevNames);
    }
    return info;
}

bool CDlgAsPrint::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    SettingsStore* s = Store();
    if (s) {
        const PrintSettings& p = s->Print();
        m_unit = p.marginUnit == 1 ? 1 : 0;
        const double v[6] = {p.marginLeft,   p.marginRight,   p.marginTop,
                             p.marginBottom, p.spacingHeader, p.spacingFooter};
        for (int i = 0; i < 6; ++i) {
            m_values[i] = v[i];
            SetItemReal(kFields[i], v[i]);
        }
        SetItemText(IDC_PRT_HEADER, p.header.c_str());
        SetItemText(IDC_PRT_FOOTER, p.footer.c_str());
        SetCheck(IDC_PRT_HEADER_SEP, p.headerSep);
        SetCheck(IDC_PRT_FOOTER_SEP, p.footerSep);
        SetCheck(IDC_PRT_CUSTOM_FONT, p.customFont);
        SetCheck(IDC_PRT_IGNORE_SYNTAX, p.ignoreSyntaxColor);
        m_font = p.font;
        m_color = p.customFont ? p.color : GetSysColor(COLOR_WINDOWTEXT);
    }
    CheckRadioButton(m_hWnd, IDC_PRT_INCH, IDC_PRT_CM, m_unit ? IDC_PRT_CM : IDC_PRT_INCH);
    EnableItem(IDC_PRT_FONT, IsChecked(IDC_PRT_CUSTOM_FONT));
    m_printer = ReadPrinter();
    ShowPrinter();
    m_loading = false;
    return true;
}

void CDlgAsPrint::ShowPrinter() {
    const std::string group = m_printer.present
                                  ? AfxFormat(AfxLoadString(IDS_PRT_MARGINS).c_str(),
                                              m_printer.form.c_str(), m_printer.device.c_str())
                                  : AfxLoadString(IDS_PRT_MARGINS_NONE);
    SetItemText(IDC_PRT_MARGIN_GROUP, group.c_str());
    if (m_printer.monochrome)
        SetCheck(IDC_PRT_IGNORE_SYNTAX, true);
    EnableItem(IDC_PRT_IGNORE_SYNTAX, !m_printer.monochrome);
}

double CDlgAsPrint::Factor() const {
    return m_unit == 1 ? kCmPerInch : 1.0;
}

void CDlgAsPrint::OnUnit() {
    const int unit = IsChecked(IDC_PRT_CM) ? 1 : 0;
    if (unit == m_unit)
        return;
    // The values shown are converted to the new unit.
    for (int i = 0; i < 6; ++i) {
        const std::string text = ItemText(kFields[i]);
        double v = 0;
        if (std::sscanf(text.c_str(), "%lf", &v) == 1)
            SetItemReal(kFields[i], unit == 1 ? v * kCmPerInch : v / kCmPerInch);
    }
    m_unit = unit;
    SetModified(true);
}

void CDlgAsPrint::OnCustomFont() {
    EnableItem(IDC_PRT_FONT, IsChecked(IDC_PRT_CUSTOM_FONT));
}

void CDlgAsPrint::OnFont() {
    CFontDialog dialog(m_font.lfFaceName[0] ? &m_font : nullptr, CF_EFFECTS | CF_SCREENFONTS,
                       nullptr, this);
    dialog.m_cf.rgbColors = m_color;
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetCurrentFont(&m_font);
    m_color = dialog.GetColor();
    SetModified(true);
}

void CDlgAsPrint::OnSetup() {
    CPrinter::DoPrintSetup(this);
    m_printer = ReadPrinter();
    ShowPrinter();
}

void CDlgAsPrint::Codes(int button, int edit) {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_PRINT_CODES_MENU));
    if (!menu)
        return;
    RECT rc;
    ::GetWindowRect(GetDlgItem(button), &rc);
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                         rc.right, rc.top, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    static const char* const kCodes[] = {"&l", "&c", "&r", "&b", "&p",
                                         "&P", "&D", "&T", "&f", "&F"};
    if (chosen < ID_PRT_CODE_FIRST || chosen > ID_PRT_CODE_LAST)
        return;
    HWND field = GetDlgItem(edit);
    ::SendMessageA(field, EM_REPLACESEL, TRUE,
                   reinterpret_cast<LPARAM>(kCodes[chosen - ID_PRT_CODE_FIRST]));
    ::SetFocus(field);
}

void CDlgAsPrint::OnHeaderCodes() {
    Codes(IDC_PRT_HEADER_CODES, IDC_PRT_HEADER);
}

void CDlgAsPrint::OnFooterCodes() {
    Codes(IDC_PRT_FOOTER_CODES, IDC_PRT_FOOTER);
}

bool CDlgAsPrint::ValidatePage() {
    const double f = Factor();
    const double width = m_printer.present ? m_printer.widthInches * f : 2147483648.0;
    const double height = m_printer.present ? m_printer.heightInches * f : 2147483648.0;
    const UINT lr = m_unit ? IDS_RANGE_LR_CM : IDS_RANGE_LR_INCH;
    const UINT tb = m_unit ? IDS_RANGE_TB_CM : IDS_RANGE_TB_INCH;
    const UINT hf = m_unit ? IDS_RANGE_HEADER_CM : IDS_RANGE_HEADER_INCH;
    const UINT msgs[6] = {lr, lr, tb, tb, hf, hf};
    const double max[6] = {width, width, height, height, height, height};
    for (int i = 0; i < 6; ++i)
        if (!ValidateReal(kFields[i], 0, max[i], msgs[i], &m_values[i]))
            return false;
    // Each value fits the paper, but together they may leave no line or column to print on.
    if (m_printer.present && (m_values[0] + m_values[1] >= width ||
                              m_values[2] + m_values[3] + m_values[4] + m_values[5] >= height)) {
        AfxMessageBox(IDS_SPACING_NO_ROOM, MB_OK | MB_ICONINFORMATION);
        FocusItem(m_values[0] + m_values[1] >= width ? IDC_PRT_LEFT : IDC_PRT_TOP);
        return false;
    }
    return true;
}

void CDlgAsPrint::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    PrintSettings& p = s->Print();
    p.marginUnit = m_unit;
    p.marginLeft = m_values[0];
    p.marginRight = m_values[1];
    p.marginTop = m_values[2];
    p.marginBottom = m_values[3];
    p.spacingHeader = m_values[4];
    p.spacingFooter = m_values[5];
    p.header = ItemText(IDC_PRT_HEADER);
    p.footer = ItemText(IDC_PRT_FOOTER);
    p.headerSep = IsChecked(IDC_PRT_HEADER_SEP);
    p.footerSep = IsChecked(IDC_PRT_FOOTER_SEP);
    p.customFont = IsChecked(IDC_PRT_CUSTOM_FONT);
    p.ignoreSyntaxColor = IsChecked(IDC_PRT_IGNORE_SYNTAX);
    if (p.customFont) {
        p.font = m_font;
        p.color = m_color;
    } else {
        std::memset(&p.font, 0, sizeof p.font);
        p.color = 0;
    }
    s->SetPrintDirty();
    s->SavePrint();
}
