// Resource ids of the shell tests' frames.
#pragma once

#define IDR_SHELLMAIN 100
#define IDR_SHELLDOC 101
#define ID_TEST_NOTICE_SEEN 40400
