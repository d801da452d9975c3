// The program's current printer: the system default until print setup chooses another, the
// defaults a print run starts from, a device context for it and what the spooler and the
// device report about it. Layer: framework/.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

class CWnd;

// What is known about one printer.
struct PrinterInfo {
    bool available = false; // false: no printer (or no device context for it)
    std::string name, driver, port, comment, location;
    DWORD status = 0; // the spooler's status bits, 0 when ready
    int dpiX = 0, dpiY = 0;
    SIZE paper = {0, 0};     // the whole sheet, device pixels
    SIZE printable = {0, 0}; // the printable area, device pixels
    POINT offset = {0, 0};   // where the printable area starts on the sheet
    bool colour = false;     // more than two colours
    bool copies = false;     // the driver makes copies itself
    bool collate = false;    // the driver collates
    // Printable width and height in inches (0 without a printer).
    double PrintableWidthInches() const { return dpiX ? double(printable.cx) / dpiX : 0; }
    double PrintableHeightInches() const { return dpiY ? double(printable.cy) / dpiY : 0; }
};

class CPrinter {
public:
    // The current printer's device mode and names copied into pd (fresh handles the caller
    // frees, as PrintDlg leaves them); false when there is no printer.
    static bool GetDefaults(PRINTDLGA& pd);
    // A device context for the current printer, or null. The caller deletes it.
    static HDC CreateDC();
    // The print setup dialog; on OK its choice becomes the current printer.
    static bool DoPrintSetup(CWnd* parent);
    // Makes a named printer current (null or empty: back to the system default).
    static bool Select(const char* device, const char* driver, const char* port);
    // Forgets any choice: the system default again.
    static void Reset();
    // What the current printer is.
    static PrinterInfo Query();
    // Fills info's device figures from a printer device context.
    static void Measure(HDC dc, PrinterInfo& info);
};
