// CCommandLineInfo: what the program's command line asks for: a new document, a file to open,
// a file to print (/p) or print to a given printer (/pt file printer driver port), or nothing.
// Layer: framework/.
#pragma once

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, FileNothing };

    virtual ~CCommandLineInfo() = default;

    // One parameter: flag is true when it began with '/' or '-' (which is then stripped); last
    // is true for the final parameter.
    virtual void ParseParam(const char* param, bool flag, bool last);

    // Splits a whole command line (without the program name) into parameters, honouring double
    // quotes, and feeds them to ParseParam.
    void ParseCommandLine(const char* commandLine);
    static std::vector<std::string> SplitCommandLine(const char* commandLine);

    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;
    bool m_bShowSplash = true;

private:
    int m_printToArgs = 0; // printer, driver and port still expected after /pt
};
