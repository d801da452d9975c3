// Identifiers of the framework's printing and preview: its strings and the preview window's
// commands. Plain #defines so that resource scripts can include it. Layer: framework/.
#pragma once

// Strings (res/strings_framework_print.rc).
#define AFX_IDS_PRINTONPORT 61504     // "on %1" line of the abort window
#define AFX_IDS_ONEPAGE 61505         // preview button text for one page
#define AFX_IDS_TWOPAGE 61506         // preview button text for two pages
#define AFX_IDS_PRINTPAGENUM 61507    // "page %u" in the abort window
#define AFX_IDS_PREVIEWPAGEDESC 61508 // "page %u \npages %u-%u \n" of the preview status text
#define AFX_IDS_PRINTFILTER 61511     // filter of the print-to-file dialog
#define AFX_IDS_PRINTCAPTION 61512    // abort window caption
#define AFX_IDS_PRINTTOFILE 61513     // title of the print-to-file dialog
#define AFX_IDS_PRINTDOCUMENT 61514   // "printing %s" in the abort window
#define AFX_IDS_PRINTCANCEL 61515     // the abort window's button
#define AFX_IDP_FAILED_TO_START_PRINT 61516
#define AFX_IDP_NO_PRINTER 61517

// Preview window commands.
#define AFX_ID_PREVIEW_CLOSE 0xE300
#define AFX_ID_PREVIEW_NUMPAGE 0xE301
#define AFX_ID_PREVIEW_NEXT 0xE302
#define AFX_ID_PREVIEW_PREV 0xE303
#define AFX_ID_PREVIEW_PRINT 0xE304
#define AFX_ID_PREVIEW_ZOOMIN 0xE305
#define AFX_ID_PREVIEW_ZOOMOUT 0xE306
