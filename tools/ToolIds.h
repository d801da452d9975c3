// Resource ids of the user tools, the tool runner and the argument dialog. Plain #defines so
// that the resource scripts include them too. Layer: tools/.
#pragma once

#define IDD_TOOL_ARGS 430
#define IDC_TOOL_ARGS_COMBO 3060
#define IDC_TOOL_ARGS_LABEL 3061

#define IDS_TOOL_ARGS_PROMPT 7016 // "请输入“%s”的运行参数："
#define IDS_TOOL_TOO_MANY 8018    // "很抱歉，您最多只能添加%d个自定义工具。"
#define IDS_TOOL_RUN_FAILED 8020  // "%s运行失败，系统回应说：%s"
#define IDS_TOOL_NEEDS_PATH 8021  // the tool's arguments need a saved document
#define IDS_TOOL_NO_RUNNER 8022   // the capture runner is missing
#define IDS_TOOL_SAVE_FAILED 8023 // saving all before running failed: go on?

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
