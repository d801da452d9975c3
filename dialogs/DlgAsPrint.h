// CDlgAsPrint: the printing page (403): margins and header/footer distances in inches or
// centimetres within the default printer's printable area, header and footer templates with
// their code menus, separators, a custom header/footer font and colour, and ignoring syntax
// colours (always on for a monochrome printer). Layer: dialogs/.
#pragma once

#include "dialogs/DlgAsBase.h"

#include <string>

class CDlgAsPrint : public CDlgAsBase {
public:
    explicit CDlgAsPrint(CWnd* frame);
    bool OnInitDialog() override;
    bool ValidatePage() override;
    void StoreValues() override;
    void OnUnit();
    void OnCustomFont();
    void OnFont();
    void OnSetup();
    void OnHeaderCodes();
    void OnFooterCodes();

    // The printable area of the default printer in inches (2147483648 without a printer).
    struct PrinterInfo {
        bool present = false;
        bool monochrome = false;
        double widthInches = 2147483648.0;
        double heightInches = 2147483648.0;
        std::string form, device;
    };
    static PrinterInfo ReadPrinter();
    const PrinterInfo& Printer() const { return m_printer; }
    DECLARE_MESSAGE_MAP()

private:
    void ShowPrinter();
    void Codes(int button, int edit);
    double Factor() const; // inches -> the unit shown
    PrinterInfo m_printer;
    int m_unit = 0;
    double m_values[6] = {}; // left, right, top, bottom, header, footer, in m_unit
    LOGFONTA m_font;
    COLORREF m_color = 0;
};
