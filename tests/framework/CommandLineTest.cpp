// Command-line parsing: new, open, /p, /pt.
#include "framework/CommandLineInfo.h"

#include <gtest/gtest.h>

TEST(CommandLine, NothingMeansNewDocument) {
    CCommandLineInfo info;
    info.ParseCommandLine("");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(info.m_strFileName.empty());
}

TEST(CommandLine, AFileNameOpensIt) {
    CCommandLineInfo info;
    info.ParseCommandLine(" \"C:\\My Files\\中文.txt\" ");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "C:\\My Files\\中文.txt");
}

TEST(CommandLine, PrintAndPrintTo) {
    CCommandLineInfo print;
    print.ParseCommandLine("/p a.txt");
    EXPECT_EQ(print.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(print.m_strFileName, "a.txt");

    CCommandLineInfo printTo;
    printTo.ParseCommandLine("/pt \"b c.txt\" \"Laser 5\" winspool LPT1:");
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(printTo.m_strFileName, "b c.txt");
    EXPECT_EQ(printTo.m_strPrinterName, "Laser 5");
    EXPECT_EQ(printTo.m_strDriverName, "winspool");
    EXPECT_EQ(printTo.m_strPortName, "LPT1:");
}

TEST(CommandLine, FlagsAreCaseInsensitiveAndMayUseDash) {
    CCommandLineInfo info;
    info.ParseCommandLine("-P x.txt");
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(CCommandLineInfo::SplitCommandLine("a \"b c\"  d").size(), 3u);
}
