// Version numbers shared by both programs' version resources.
#pragma once
#define QV_VERSION_NUM 0, 1, 0, 0
#define QV_VERSION_STR "0.1.0.0"
