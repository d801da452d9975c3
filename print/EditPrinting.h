// Printing an editor view: the job's defaults, the page layout with the printed line array,
// the odd/even page step and the drawing of one page (header, footer, body with line numbers
// and syntax colours). The view classes call these from their printing virtuals.
// Layer: print/.
#pragma once

#include "print/PrintJob.h"

#include <windows.h>

class CFxEditView;
class CPrintInfo;

// A job with the defaults before any settings: measurements of printer and screen, the
// document's switches, wrap mode and name, the text font (the display font scaled to the
// printer), the spacings, black colours and the local time.
PrintJob* CreatePrintJob(CFxEditView& view, HDC printerDC, bool preview);
// A font like `font` with its height scaled by factorY and width 0 (the caller deletes it).
HFONT ScaleFont(HFONT font, double factorY);
HFONT ScaleFont(const LOGFONTA& lf, double factorY);
// Measures, lays out the header, footer, numbers and body, builds the printed line array for
// the body's width and counts the pages; the requested range is limited to them and becomes
// the print information's range.
void LayoutPrintJob(PrintJob& job, CFxEditView& view, CPrintInfo& info);
// Odd/even pages: moves the page on, or stops after the last requested page.
void PreparePrintPage(PrintJob& job, CPrintInfo& info);
// Draws page info.m_nCurPage into dc.
void PrintJobPage(PrintJob& job, HDC dc, CPrintInfo& info);
