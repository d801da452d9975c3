// Resource ids of the framework tests' resource script.
#pragma once

#define IDR_TESTMAIN 100
#define IDR_TESTDOC 101
#define IDD_TESTDIALOG 200
#define IDC_TEST_EDIT 1001
#define IDC_TEST_CHECK 1002
#define IDC_TEST_NUMBER 1003

#define ID_TEST_ROUTE 40100      // every level logs it and passes it on
#define ID_TEST_APP_ONLY 40101   // handled by the application only
#define ID_TEST_NO_HANDLER 40200 // nobody handles it: greyed
#define ID_TEST_CHECKED 40201    // update handler checks it
#define ID_TEST_DISABLED 40202   // update handler disables it; its command must not run
#define ID_TEST_HANDLED 40203    // a command handler and no update handler: enabled
#define ID_TEST_LONG_TIP 40204   // a tool tip of 40 double-byte characters (80 bytes)
#define ID_TEST_LONGER_TIP 40205 // a tool tip of 100 double-byte characters
#define ID_TEST_RANGE_FIRST 40300
#define ID_TEST_RANGE_LAST 40309
#define ID_TEST_ACCEL 40010
#define ID_TEST_BAR 59500
