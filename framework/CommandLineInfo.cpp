// CCommandLineInfo. Layer: framework/.
#include "framework/CommandLineInfo.h"

#include <windows.h>

void CCommandLineInfo::ParseParam(const char* param, bool flag, bool last) {
    if (flag) {
        if (lstrcmpiA(param, "pt") == 0) {
            m_nShellCommand = FilePrintTo;
            m_printToArgs = 3;
        } else if (lstrcmpiA(param, "p") == 0) {
            m_nShellCommand = FilePrint;
        } else if (lstrcmpiA(param, "dde") == 0) {
            m_nShellCommand = FileDDE;
        } else if (lstrcmpiA(param, "nologo") == 0) {
            m_bShowSplash = false;
        }
    } else if (m_strFileName.empty()) {
        m_strFileName = param;
    } else if (m_nShellCommand == FilePrintTo && m_printToArgs > 0) {
        std::string* slot[3] = {&m_strPrinterName, &m_strDriverName, &m_strPortName};
        *slot[3 - m_printToArgs] = param;
        --m_printToArgs;
    }
    if (last && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}

std::vector<std::string> CCommandLineInfo::SplitCommandLine(const char* commandLine) {
    std::vector<std::string> params;
    const char* p = commandLine ? commandLine : "";
    for (;;) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        std::string param;
        bool quoted = false;
        for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"')
                quoted = !quoted;
            else
                param += *p;
        }
        params.push_back(param);
    }
    return params;
}

void CCommandLineInfo::ParseCommandLine(const char* commandLine) {
    std::vector<std::string> params = SplitCommandLine(commandLine);
    for (size_t i = 0; i < params.size(); ++i) {
        const std::string& param = params[i];
        bool flag = !param.empty() && (param[0] == '/' || param[0] == '-');
        ParseParam(flag ? param.c_str() + 1 : param.c_str(), flag, i + 1 == params.size());
    }
}
