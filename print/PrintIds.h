// Identifiers of printing: the quick print dialog, its controls and messages, the preview
// toolbar's labels and the printer information texts. Plain #defines for the resource scripts.
// Layer: print/.
#pragma once

#define IDD_QUICK_PRINT 425

#define IDC_QP_PRINTER 3100 // the printer setup button
#define IDC_QP_MARGIN_LEFT 3101
#define IDC_QP_MARGIN_RIGHT 3102
#define IDC_QP_MARGIN_TOP 3103
#define IDC_QP_MARGIN_BOTTOM 3104
#define IDC_QP_HEADER 3105
#define IDC_QP_FOOTER 3106
#define IDC_QP_FROM 3107
#define IDC_QP_TO 3108
#define IDC_QP_COPIES 3109
#define IDC_QP_EVEN 3110
#define IDC_QP_ODD 3111
#define IDC_QP_TO_FILE 3112
#define IDC_QP_COLLATE 3113
#define IDC_QP_COPIES_SPIN 3114
#define IDC_QP_UNIT_LABEL 3115
#define IDC_QP_PRINTER_INFO 3116

#define IDS_PREVIEW_PRINT 5500
#define IDS_PREVIEW_PREV 5501
#define IDS_PREVIEW_NEXT 5502
#define IDS_PREVIEW_ONE_PAGE 5503
#define IDS_PREVIEW_TWO_PAGES 5504
#define IDS_PREVIEW_CLOSE 5505
#define IDS_PREVIEW_ZOOM_IN 5506
#define IDS_PREVIEW_ZOOM_OUT 5507

#define IDS_PRINTER_INFO 5524
#define IDS_PRINTER_READY 5525
#define IDS_PRINTER_NOT_READY 5526
#define IDS_PRINTER_UNAVAILABLE 5527
#define IDS_QP_UNIT_CM 5528
#define IDS_QP_UNIT_INCH 5529

#define IDS_QP_TOP_BOTTOM_CM 8033
#define IDS_QP_LEFT_RIGHT_CM 8034
#define IDS_QP_LEFT_RIGHT_INCH 8035
#define IDS_QP_TOP_BOTTOM_INCH 8036
#define IDS_QP_PAGE_RANGE 8037
#define IDS_QP_COPIES_RANGE 8038
#define IDS_QP_BAD_RANGE 8039
#define IDS_QP_NO_ODD_PAGE 8040
#define IDS_QP_NO_EVEN_PAGE 8041
#define IDS_QP_NO_ROOM 8042
