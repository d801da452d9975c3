// The quick print dialog (425): page range, odd and even pages, margins in the settings' unit,
// header and footer, copies, collation and print to file, with the current printer's
// information and its setup. On "打印" the values are checked and handed back as one-time
// settings. Layer: print/.
#pragma once

#include "framework/Dialog.h"
#include "framework/Printer.h"
#include "print/QuickPrintSettings.h"

#include <string>

class CQuickPrintDialog : public CDialog {
public:
    // `initial`: the stored margins, unit, header and footer.
    CQuickPrintDialog(const QuickPrintSettings& initial, CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    // The accepted values (after IDOK).
    const QuickPrintSettings& Settings() const { return m_settings; }
    // The printer information text of the dialog for `info`.
    static std::string PrinterText(const PrinterInfo& info);
    // Checks the values as "打印" does; on failure the message (empty when they are fine).
    // `paperWidth` and `paperHeight` are in the settings' unit, 0 when unknown (unlimited).
    static std::string Validate(const QuickPrintSettings& s, bool toPageEmpty, double paperWidth,
                                double paperHeight);

    void OnPrinterSetup();
    void OnOddEven();
    void OnCopiesChange();

    DECLARE_MESSAGE_MAP()

private:
    void ShowPrinter();
    void UpdateButtons();
    double ReadNumber(int id) const;
    std::string ReadText(int id) const;

    QuickPrintSettings m_settings;
    PrinterInfo m_printer;
};
