// The quick print dialog. Layer: print/.
#include "print/QuickPrintDialog.h"

#include "framework/MessageBox.h"
#include "framework/MessageMap.h"
#include "framework/ResourceText.h"
#include "print/PrintIds.h"

#include <commctrl.h>

#include <cstdlib>

BEGIN_MESSAGE_MAP(CQuickPrintDialog, CDialog)
ON_BN_CLICKED(IDC_QP_PRINTER, OnPrinterSetup)
ON_BN_CLICKED(IDC_QP_ODD, OnOddEven)
ON_BN_CLICKED(IDC_QP_EVEN, OnOddEven)
ON_EN_CHANGE(IDC_QP_COPIES, OnCopiesChange)
END_MESSAGE_MAP()

namespace {

const int kMaxPage = 65535;
const int kMaxCopies = 65535;

// The paper's printable size in the unit (0 without a printer: unlimited).
void PaperSize(const PrinterInfo& p, int unit, double& width, double& height) {
    const double k = unit == 1 ? 2.54 : 1.0;
    width = p.available ? p.PrintableWidthInches() * k : 0;
    height = p.available ? p.PrintableHeightInches() * k : 0;
}

} // namespace

CQuickPrintDialog::CQuickPrintDialog(const QuickPrintSettings& initial, CWnd* parent)
    : CDialog(IDD_QUICK_PRINT, parent), m_settings(initial) {}

std::string CQuickPrintDialog::PrinterText(const PrinterInfo& info) {
    if (!info.available)
        return AfxLoadString(IDS_PRINTER_UNAVAILABLE);
    const std::string status =
        AfxLoadString(info.status == 0 ? IDS_PRINTER_READY : IDS_PRINTER_NOT_READY);
    return AfxFormat(AfxLoadString(IDS_PRINTER_INFO).c_str(), info.name.c_str(), status.c_str(),
                     info.port.c_str(), info.comment.c_str());
}

bool CQuickPrintDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    char buf[64];
    SetDlgItemTextA(m_hWnd, IDC_QP_FROM, "1");
    SetDlgItemTextA(m_hWnd, IDC_QP_TO, "");
    const double margins[4] = {m_settings.marginLeft, m_settings.marginRight, m_settings.marginTop,
                               m_settings.marginBottom};
    const int ids[4] = {IDC_QP_MARGIN_LEFT, IDC_QP_MARGIN_RIGHT, IDC_QP_MARGIN_TOP,
                        IDC_QP_MARGIN_BOTTOM};
    for (int i = 0; i < 4; ++i) {
        std::snprintf(buf, sizeof buf, "%.2f", margins[i]);
        SetDlgItemTextA(m_hWnd, ids[i], buf);
    }
    SetDlgItemTextA(
        m_hWnd, IDC_QP_UNIT_LABEL,
        AfxLoadString(m_settings.marginUnit == 1 ? IDS_QP_UNIT_CM : IDS_QP_UNIT_INCH).c_str());
    SetDlgItemTextA(m_hWnd, IDC_QP_HEADER, m_settings.header.c_str());
    SetDlgItemTextA(m_hWnd, IDC_QP_FOOTER, m_settings.footer.c_str());
    CheckDlgButton(m_hWnd, IDC_QP_ODD, BST_CHECKED);
    CheckDlgButton(m_hWnd, IDC_QP_EVEN, BST_CHECKED);
    SendDlgItemMessageA(m_hWnd, IDC_QP_COPIES_SPIN, UDM_SETRANGE32, 1, kMaxCopies);
    SetDlgItemTextA(m_hWnd, IDC_QP_COPIES, "1");
    ShowPrinter();
    return true;
}

void CQuickPrintDialog::ShowPrinter() {
    m_printer = CPrinter::Query();
    SetDlgItemTextA(m_hWnd, IDC_QP_PRINTER_INFO, PrinterText(m_printer).c_str());
    UpdateButtons();
}

void CQuickPrintDialog::UpdateButtons() {
    const bool odd = IsDlgButtonChecked(m_hWnd, IDC_QP_ODD) == BST_CHECKED;
    const bool even = IsDlgButtonChecked(m_hWnd, IDC_QP_EVEN) == BST_CHECKED;
    ::EnableWindow(::GetDlgItem(m_hWnd, IDOK), m_printer.available && (odd || even));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_QP_COPIES), m_printer.available && m_printer.copies);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_QP_COPIES_SPIN),
                   m_printer.available && m_printer.copies);
    const int copies = static_cast<int>(ReadNumber(IDC_QP_COPIES));
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_QP_COLLATE),
                   m_printer.available && m_printer.collate && copies > 1);
}

void CQuickPrintDialog::OnPrinterSetup() {
    CPrinter::DoPrintSetup(this);
    ShowPrinter();
}

void CQuickPrintDialog::OnOddEven() {
    UpdateButtons();
}

void CQuickPrintDialog::OnCopiesChange() {
    UpdateButtons();
}

double CQuickPrintDialog::ReadNumber(int id) const {
    const std::string text = ReadText(id);
    return std::atof(text.c_str());
}

std::string CQuickPrintDialog::ReadText(int id) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    const int n = item ? GetWindowTextLengthA(item) : 0;
    std::string text(static_cast<size_t>(n) + 1, '\0');
    if (n > 0)
        ::GetWindowTextA(item, &text[0], n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

std::string CQuickPrintDialog::Validate(const QuickPrintSettings& s, bool toPageEmpty,
                                        double paperWidth, double paperHeight) {
    const bool cm = s.marginUnit == 1;
    const double maxW = paperWidth > 0 ? paperWidth : 1e9,
                 maxH = paperHeight > 0 ? paperHeight : 1e9;
    auto outside = [](double v, double hi) { return !(v >= 0 && v <= hi); };
    if (outside(s.marginLeft, maxW) || outside(s.marginRight, maxW))
        return AfxFormat(AfxLoadString(cm ? IDS_QP_LEFT_RIGHT_CM : IDS_QP_LEFT_RIGHT_INCH).c_str(),
                         0.0, paperWidth);
    if (outside(s.marginTop, maxH) || outside(s.marginBottom, maxH))
        return AfxFormat(AfxLoadString(cm ? IDS_QP_TOP_BOTTOM_CM : IDS_QP_TOP_BOTTOM_INCH).c_str(),
                         0.0, paperHeight);
    // Each margin alone may be valid while together they leave no room for a line.
    if ((paperWidth > 0 && s.marginLeft + s.marginRight >= paperWidth) ||
        (paperHeight > 0 && s.marginTop + s.marginBottom >= paperHeight))
        return AfxLoadString(IDS_QP_NO_ROOM);
    const int from = s.fromPage, to = toPageEmpty ? kMaxPage : s.toPage;
    if (from < 1 || from > kMaxPage || to < 1 || to > kMaxPage)
        return AfxFormat(AfxLoadString(IDS_QP_PAGE_RANGE).c_str(), 1, kMaxPage);
    if (to < from)
        return AfxFormat(AfxLoadString(IDS_QP_BAD_RANGE).c_str(), from, to);
    if (s.oddEven == 2 && from == to && from % 2 == 1)
        return AfxFormat(AfxLoadString(IDS_QP_NO_EVEN_PAGE).c_str(), from, to);
    if (s.oddEven == 1 && from == to && from % 2 == 0)
        return AfxFormat(AfxLoadString(IDS_QP_NO_ODD_PAGE).c_str(), from, to);
    if (s.copies < 1 || s.copies > kMaxCopies)
        return AfxFormat(AfxLoadString(IDS_QP_COPIES_RANGE).c_str(), 1, kMaxCopies);
    return std::string();
}

void CQuickPrintDialog::OnOK() {
    QuickPrintSettings s = m_settings;
    s.marginLeft = ReadNumber(IDC_QP_MARGIN_LEFT);
    s.marginRight = ReadNumber(IDC_QP_MARGIN_RIGHT);
    s.marginTop = ReadNumber(IDC_QP_MARGIN_TOP);
    s.marginBottom = ReadNumber(IDC_QP_MARGIN_BOTTOM);
    const std::string fromText = ReadText(IDC_QP_FROM), toText = ReadText(IDC_QP_TO);
    s.fromPage = fromText.empty() ? 0 : std::atoi(fromText.c_str());
    if (fromText.size() > 6)
        s.fromPage = -1;
    const bool toEmpty = toText.find_first_not_of(' ') == std::string::npos;
    s.toPage = toEmpty ? kMaxPage : (toText.size() > 6 ? -1 : std::atoi(toText.c_str()));
    const bool odd = IsDlgButtonChecked(m_hWnd, IDC_QP_ODD) == BST_CHECKED;
    const bool even = IsDlgButtonChecked(m_hWnd, IDC_QP_EVEN) == BST_CHECKED;
    if (!odd && !even)
        return; // "打印" is disabled then; a key press must not get through either
    s.oddEven = odd && even ? 0 : odd ? 1 : 2;
    const std::string copiesText = ReadText(IDC_QP_COPIES);
    s.copies = copiesText.size() > 6 ? -1 : std::atoi(copiesText.c_str());
    if (!::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_QP_COPIES)))
        s.copies = 1;
    s.collate = ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_QP_COLLATE)) &&
                IsDlgButtonChecked(m_hWnd, IDC_QP_COLLATE) == BST_CHECKED;
    s.printToFile = IsDlgButtonChecked(m_hWnd, IDC_QP_TO_FILE) == BST_CHECKED;
    s.header = ReadText(IDC_QP_HEADER);
    s.footer = ReadText(IDC_QP_FOOTER);
    double w = 0, h = 0;
    PaperSize(m_printer, s.marginUnit, w, h);
    const std::string error = Validate(s, toEmpty, w, h);
    if (!error.empty()) {
        AfxMessageBox(error.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    m_settings = s;
    CDialog::OnOK();
}
