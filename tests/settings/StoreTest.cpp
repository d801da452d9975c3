// The settings store: value encodings, raw access, every block's defaults, ranges, round trips
// and written text, and the operations that need windows as far as they go without the frame.
#include "settings/IniCodec.h"
#include "tests/settings/SettingsTestUtil.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace {

TEST(NumberListCodec, FormatAndParse) {
    EXPECT_EQ("3,17,42", NumberList::Format({3, 17, 42}));
    EXPECT_EQ("", NumberList::Format({}));
    EXPECT_EQ("-1,0", NumberList::Format({-1, 0}));
    EXPECT_EQ((std::vector<int>{3, 17, 42}), NumberList::Parse(" 3, 17 ,42 "));
    EXPECT_EQ((std::vector<int>{1, 2}), NumberList::Parse(",,1,,2,"));
    EXPECT_EQ((std::vector<int>{1, 2}), NumberList::Parse("1,2,x,4")) << "stops at x";
    EXPECT_EQ((std::vector<int>{7, 8}), NumberList::Parse("7abc,8")) << "scanned like %d";
    EXPECT_EQ((std::vector<int>{}), NumberList::Parse(""));
    EXPECT_EQ((std::vector<int>{}), NumberList::Parse(nullptr));
    // Only the first 15 characters of an item are scanned; huge values are clamped.
    EXPECT_EQ((std::vector<int>{2147483647, 5}), NumberList::Parse("123456789012345678,5"));
    EXPECT_EQ((std::vector<int>{-2147483647 - 1}), NumberList::Parse("-99999999999"));
}

TEST(FieldRecordCodec, WriteAndRead) {
    FieldRecord r;
    r.Add("Mod", 1).Add("Del", 0).Add("Des", "C 源文件").Add("Ext", "*.c;*.h");
    EXPECT_EQ("\"Mod\"=1|\"Del\"=0|\"Des\"=C 源文件|\"Ext\"=*.c;*.h", r.Text());
    std::string v;
    ASSERT_TRUE(FieldRecord::GetString(r.Text().c_str(), "Ext", v));
    EXPECT_EQ("*.c;*.h", v);
    EXPECT_EQ(1, FieldRecord::GetInt(r.Text().c_str(), "Mod", 5));
    EXPECT_EQ(5, FieldRecord::GetInt(r.Text().c_str(), "Missing", 5));
    EXPECT_EQ(9, FieldRecord::GetInt("\"A\"=|\"B\"=2", "A", 9)) << "no value";
    EXPECT_EQ(9, FieldRecord::GetInt("\"A\"=x", "A", 9)) << "no number";
    EXPECT_EQ(3, FieldRecord::GetInt("\"A\" =  3", "A", 9)) << "blanks around =";
    EXPECT_FALSE(FieldRecord::GetString("\"A\" x=3", "A", v));
    EXPECT_TRUE(FieldRecord::GetBool("\"A\"=7", "A", false));
    EXPECT_FALSE(FieldRecord::GetBool("\"A\"=0", "A", true));
}

using Store = SettingsTest;

TEST_F(Store, PathsAndDirectories) {
    SettingsStore s(m_dir.c_str());
    EXPECT_EQ(Path("QUORVANE.INI"), s.IniPath(IniProfile));
    EXPECT_EQ(Path("SETTINGS.INI"), s.IniPath(IniSettings));
    EXPECT_EQ(Path("FILETYPE.INI"), s.IniPath(IniFileTypes));
    EXPECT_EQ(Path("STF\\"), s.SyntaxTemplateDir());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("STF").c_str()));
    EXPECT_EQ(Path("CTF\\"), s.ClipTextDir());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("CTF").c_str()));
    std::string help = s.HelpPath();
    EXPECT_EQ(m_dir, help.substr(0, m_dir.size()));
    EXPECT_EQ(".CHM", help.substr(help.size() - 4));
    EXPECT_EQ(&s, GetSettings());
    SettingsStore exe;
    std::string dir = exe.ProgramDir();
    EXPECT_EQ('\\', dir.back());
}

TEST_F(Store, BackupFileNames) {
    SettingsStore s(m_dir.c_str());
    EXPECT_EQ("C:\\a\\b_txt.BAK", s.BackupFileName("C:\\a\\b.txt"));
    EXPECT_EQ("C:\\a.b\\c.BAK", s.BackupFileName("C:\\a.b\\c"));
    s.Backup().backupPath = "D:\\bak";
    EXPECT_EQ("D:\\bak\\b.x_txt.BAK", s.BackupFileName("C:\\a\\b.x.txt"));
    EXPECT_EQ("D:\\bak\\b_txt.BAK", s.BackupFileName("C:\\a\\b.txt"));
    std::string longPath = "C:\\" + std::string(300, 'x') + ".txt";
    EXPECT_EQ(259u, s.BackupFileName(longPath.c_str()).size());
}

// "乗" is 81 5C in code page 936: its second byte has the value of "\".
TEST_F(Store, PathsWithABackslashTrailByteAreSplitBetweenCharacters) {
    SettingsStore s(m_dir.c_str());
    EXPECT_EQ("C:\\a\\\x81\x5C_txt.BAK", s.BackupFileName("C:\\a\\\x81\x5C.txt"));
    EXPECT_EQ("C:\\a\\b.\x81\x5C_x.BAK", s.BackupFileName("C:\\a\\b.\x81\x5C.x"));
    s.Backup().backupPath = "D:\\bak";
    EXPECT_EQ("D:\\bak\\\x81\x5C_txt.BAK", s.BackupFileName("C:\\a\\\x81\x5C.txt"));
    EXPECT_STREQ("C:\\src", s.ActiveDocumentFolder("C:\\src\\\x81\x5C.c"));
    EXPECT_STREQ("C:\\\x81\x5C", s.ActiveDocumentFolder("C:\\\x81\x5C\\a.c"));

    // A program folder whose name ends in the character still gets its separator.
    std::string folder = Path("\x81\x5C");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    {
        SettingsStore inFolder(folder.c_str());
        EXPECT_EQ(folder + "\\", inFolder.ProgramDir());
        EXPECT_EQ(folder + "\\QUORVANE.INI", inFolder.IniPath(IniProfile));
        EXPECT_EQ(folder + "\\STF\\", inFolder.SyntaxTemplateDir());
    }
    RemoveDirectoryA((folder + "\\STF").c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(Store, ActiveDocumentFolder) {
    SettingsStore s(m_dir.c_str());
    EXPECT_STREQ("C:\\src", s.ActiveDocumentFolder("C:\\src\\a.c"));
    EXPECT_STREQ("", s.ActiveDocumentFolder(nullptr));
    s.General().useActiveFileDirOnFileOpen = false;
    EXPECT_STREQ("", s.ActiveDocumentFolder("C:\\src\\a.c"));
}

TEST_F(Store, RawAccess) {
    SettingsStore s(m_dir.c_str());
    WriteText("SETTINGS.INI", "[S]\r\nn=12\r\nneg=-5\r\nbig=99999999999\r\nword=abc\r\n"
                              "b=7\r\ntext=  padded  \r\nq=\"  quoted  \"\r\n");
    EXPECT_EQ(12, s.ReadInt(IniSettings, "S", "n", 3));
    EXPECT_EQ(3, s.ReadInt(IniSettings, "S", "missing", 3));
    EXPECT_EQ(-5, s.ReadInt(IniSettings, "S", "neg", 3));
    EXPECT_EQ(10, s.ReadInt(IniSettings, "S", "n", 3, 0, 10));
    EXPECT_EQ(10, s.ReadInt(IniSettings, "S", "n", 3, 10, 0)) << "swapped bounds";
    EXPECT_EQ(0, s.ReadInt(IniSettings, "S", "neg", 3, 0, 10));
    int big = s.ReadInt(IniSettings, "S", "big", 3, 0, 100);
    EXPECT_TRUE(big >= 0 && big <= 100);
    EXPECT_EQ(0, s.ReadInt(IniSettings, "S", "word", 3, 0, 100)) << "not a number";
    EXPECT_TRUE(s.ReadBool(IniSettings, "S", "b", false));
    EXPECT_TRUE(s.ReadBool(IniSettings, "S", "missing", true));
    EXPECT_STREQ("padded", s.ReadString(IniSettings, "S", "text"));
    EXPECT_STREQ("  quoted  ", s.ReadString(IniSettings, "S", "q"));
    EXPECT_STREQ("dflt", s.ReadString(IniSettings, "S", "missing", "dflt"));
    EXPECT_STREQ("", s.ReadString(IniSettings, "S", "missing"));
    s.WriteString(IniSettings, "S", nullptr, nullptr);
    EXPECT_EQ(3, s.ReadInt(IniSettings, "S", "n", 3)) << "the section was deleted";
}

TEST_F(Store, OverlongStringsAreCut) {
    SettingsStore s(m_dir.c_str());
    WriteText("SETTINGS.INI", "[S]\r\nlong=" + std::string(10000, 'x') + "\r\n");
    EXPECT_EQ(4095u, std::strlen(s.ReadString(IniSettings, "S", "long")));
}

TEST_F(Store, StructuresWithABadChecksumOrSizeAreMissing) {
    SettingsStore s(m_dir.c_str());
    int data[3] = {1, 2, 3};
    s.WriteStruct(IniSettings, "S", "st", data, sizeof data);
    int back[3] = {9, 9, 9};
    EXPECT_TRUE(s.ReadStruct(IniSettings, "S", "st", back, sizeof back));
    EXPECT_EQ(0, std::memcmp(data, back, sizeof data));
    int wrongSize[4] = {9, 9, 9, 9};
    EXPECT_FALSE(s.ReadStruct(IniSettings, "S", "st", wrongSize, sizeof wrongSize));
    EXPECT_EQ(0, wrongSize[0]) << "zeroed";
    std::string text = s.ReadString(IniSettings, "S", "st");
    text[text.size() - 1] = text[text.size() - 1] == '0' ? '1' : '0';
    s.WriteString(IniSettings, "S", "st", text.c_str());
    EXPECT_FALSE(s.ReadStruct(IniSettings, "S", "st", back, sizeof back));
    s.WriteString(IniSettings, "S", "st", "not hex at all");
    EXPECT_FALSE(s.ReadStruct(IniSettings, "S", "st", back, sizeof back));
}

TEST_F(Store, FirstRunMarker) {
    {
        SettingsStore s(m_dir.c_str());
        s.LoadGeneralOptions();
        EXPECT_TRUE(s.IsFirstRun());
    }
    EXPECT_EQ("[Settings]\r\nFT=0\r\n", ReadText("SETTINGS.INI"));
    SettingsStore s(m_dir.c_str());
    s.LoadGeneralOptions();
    EXPECT_FALSE(s.IsFirstRun());
}

TEST_F(Store, GeneralDefaultsAndRanges) {
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    const GeneralOptions& g = s.General();
    EXPECT_FALSE(g.allowMultipleInstances);
    EXPECT_TRUE(g.useActiveFileDirOnFileOpen);
    EXPECT_FALSE(g.createNewDocOnStartup);
    EXPECT_TRUE(g.reloadOpenFiles);
    EXPECT_FALSE(g.minimizeToSysTray);
    EXPECT_EQ(8, g.recentFiles);
    EXPECT_EQ(0, g.lineSpacing);
    EXPECT_TRUE(s.Backup().notSaveUnnamedFile);
    EXPECT_EQ(1, s.Backup().autoSaveInterval);
    EXPECT_TRUE(s.Backup().recoveryCopies); // on by default
    EXPECT_TRUE(s.FileChange().detectFileChanges);
    EXPECT_FALSE(s.FileChange().autoReload);
    EXPECT_TRUE(s.FileChange().protectReadOnly);
    WriteText("SETTINGS.INI", "[Settings]\r\nRecentFiles=40\r\nLineSpacing=-5\r\n"
                              "AutoSaveInterval=0\r\nLineNumberAndTextSpacing=999\r\n"
                              "AllowMultipleInstances=12\r\n");
    SettingsStore t(m_dir.c_str());
    t.LoadAll();
    EXPECT_EQ(16, t.General().recentFiles);
    EXPECT_EQ(0, t.General().lineSpacing);
    EXPECT_EQ(1, t.Backup().autoSaveInterval);
    EXPECT_EQ(320, t.General().lineNumberAndTextSpacing);
    EXPECT_TRUE(t.General().allowMultipleInstances);
}

TEST_F(Store, GeneralAndBackupRoundTripAndText) {
    {
        SettingsStore s(m_dir.c_str());
        s.LoadAll();
        s.SaveGeneralOptions(); // clean: nothing is written
        s.SaveBackupOptions();
        EXPECT_EQ("[Settings]\r\nFT=0\r\n", ReadText("SETTINGS.INI"));
        GeneralOptions& g = s.General();
        g.allowMultipleInstances = true;
        g.reloadOpenFiles = false;
        g.recentFiles = 4;
        g.lineSpacing = 3;
        g.lineNumberAndTextSpacing = 12;
        s.SetGeneralDirty();
        s.SaveGeneralOptions();
        s.Backup().autoSave = true;
        s.Backup().autoSaveInterval = 15;
        s.Backup().backupFileOnSave = true;
        s.Backup().backupPath = "C:\\备份";
        s.Backup().recoveryCopies = false;
        s.SetBackupDirty();
        s.SaveBackupOptions();
    }
    EXPECT_EQ("[Settings]\r\nFT=0\r\nAllowMultipleInstances=1\r\nUseActiveFileDirOnFileOpen=1\r\n"
              "CreateNewDocOnStartup=0\r\nReloadOpenFiles=0\r\nMinimizeToSysTray=0\r\n"
              "RecentFiles=4\r\nLineSpacing=3\r\nLineNumberAndTextSpacing=12\r\n"
              "AutoSave=1\r\nNotSaveUnnamedFile=1\r\nAutoSaveInterval=15\r\nBackupFileOnSave=1\r\n"
              "BackupPath=C:\\备份\r\nRecoveryCopies=0\r\n",
              ReadText("SETTINGS.INI"));
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    EXPECT_TRUE(s.General().allowMultipleInstances);
    EXPECT_FALSE(s.General().reloadOpenFiles);
    EXPECT_EQ(4, s.General().recentFiles);
    EXPECT_EQ(3, s.General().lineSpacing);
    EXPECT_EQ(12, s.General().lineNumberAndTextSpacing);
    EXPECT_TRUE(s.Backup().autoSave);
    EXPECT_EQ(15, s.Backup().autoSaveInterval);
    EXPECT_TRUE(s.Backup().backupFileOnSave);
    EXPECT_EQ("C:\\备份", s.Backup().backupPath);
    EXPECT_FALSE(s.Backup().recoveryCopies);
}

TEST_F(Store, SearchOptionsAndHistories) {
    {
        SettingsStore s(m_dir.c_str());
        SearchOptions& o = s.Search();
        EXPECT_TRUE(o.down);
        EXPECT_FALSE(o.matchCase);
        EXPECT_TRUE(o.lookInSubFolders);
        o.matchCase = true;
        o.down = false;
        s.SetSearchDirty();
        EXPECT_TRUE(s.UpdateHistory(HistoryFind, {"alpha", "   ", "中文"}));
        EXPECT_FALSE(s.UpdateHistory(HistoryFind, {"alpha", "   ", "中文"}));
        EXPECT_TRUE(s.UpdateHistory(HistoryReplace, {"x"}));
        s.SaveOnExit();
        // The blank entry is quoted in the file only: the list keeps the text searched for.
        EXPECT_EQ("   ", s.History(HistoryFind)[1]);
    }
    EXPECT_EQ("[Search]\r\nDown=0\r\nCase=1\r\nWholeWord=0\r\nRegExp=0\r\nLookInSubFolders=1\r\n"
              "[HistoryFind]\r\n00=alpha\r\n01=\"   \"\r\n02=中文\r\n"
              "[HistoryReplace]\r\n00=x\r\n",
              ReadText("QUORVANE.INI"));
    SettingsStore s(m_dir.c_str());
    EXPECT_FALSE(s.Search().down);
    EXPECT_TRUE(s.Search().matchCase);
    EXPECT_EQ((std::vector<std::string>{"alpha", "   ", "中文"}), s.History(HistoryFind));
    EXPECT_TRUE(s.History(HistoryFilters).empty());
}

TEST_F(Store, HistoryUpdatesAndLimits) {
    SettingsStore s(m_dir.c_str());
    std::vector<std::string> many;
    for (int i = 0; i < 20; ++i)
        many.push_back("item" + std::to_string(i));
    EXPECT_TRUE(s.UpdateHistory(HistorySearchPath, many));
    EXPECT_EQ(16u, s.History(HistorySearchPath).size());
    EXPECT_TRUE(s.UpdateHistory(HistorySearchPath, {"item0", "item1"}));
    EXPECT_EQ(2u, s.History(HistorySearchPath).size()) << "entries beyond the count go";
    EXPECT_TRUE(s.IsHistoryDirty(HistorySearchPath));
    s.SaveHistory(HistorySearchPath);
    EXPECT_FALSE(s.IsHistoryDirty(HistorySearchPath));
    // Loading stops at the first empty value.
    WriteText("QUORVANE.INI", "[HistoryFilters]\r\n00=*.c\r\n01=\r\n02=*.h\r\n");
    SettingsStore t(m_dir.c_str());
    EXPECT_EQ(1u, t.History(HistoryFilters).size());
    // A combo box as the source.
    HWND combo = CreateWindowA("COMBOBOX", "", CBS_DROPDOWN | WS_POPUP, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, combo);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("*.c"));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("*.txt"));
    EXPECT_TRUE(t.UpdateHistoryFromCombo(HistoryFilters, combo));
    EXPECT_EQ((std::vector<std::string>{"*.c", "*.txt"}), t.History(HistoryFilters));
    EXPECT_FALSE(t.UpdateHistoryFromCombo(HistoryFilters, combo));
    DestroyWindow(combo);
}

TEST_F(Store, KeyMapEmptyKeepsTheBuiltInTable) {
    WriteText("SETTINGS.INI", "[Keyboard]\r\nTextEdit=empty\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadKeyMap();
    EXPECT_FALSE(s.IsKeyMapLoaded());
    s.EnsureKeyMap();
    EXPECT_TRUE(s.IsKeyMapLoaded());
    ASSERT_EQ(5u, s.KeyMap().size());
    uint32_t ctrlS = 'S' | (FCONTROL << 16);
    ASSERT_TRUE(s.KeyMap().count(ctrlS));
    EXPECT_EQ(57603u, s.KeyMap().at(ctrlS).command);
    EXPECT_EQ(35423u, s.KeyMap().at(VK_F3 | (FSHIFT << 16)).command);
}

TEST_F(Store, KeyMapLoadSaveAndRepeatedKeys) {
    uint32_t ctrlS = 'S' | (FCONTROL << 16);
    WriteText("SETTINGS.INI", "[Keyboard]\r\nTextEdit=" + std::to_string(ctrlS) + ",100," +
                                  std::to_string(ctrlS) + ",200,114,300,115\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadKeyMap();
    ASSERT_TRUE(s.IsKeyMapLoaded());
    ASSERT_EQ(2u, s.KeyMap().size()) << "the incomplete last pair is dropped";
    EXPECT_EQ(100u, s.KeyMap().at(ctrlS).command) << "a repeated key keeps its first command";
    EXPECT_EQ(300u, s.KeyMap().at(114).command);
    s.SaveKeyMap(); // clean
    s.SetKeyMap({{500, ctrlS}, {600, VK_F5}});
    s.SaveKeyMap();
    EXPECT_EQ("[Keyboard]\r\nTextEdit=116,600," + std::to_string(ctrlS) + ",500\r\n",
              ReadText("SETTINGS.INI"));
}

TEST_F(Store, AnEmptiedKeyMapLeavesNoShortcutsNowAndAfterARestart) {
    SettingsStore s(m_dir.c_str());
    HACCEL frame = nullptr;
    ASSERT_NE(nullptr, s.InstallKeyMap(&frame));
    s.SetKeyMap({});
    EXPECT_EQ(nullptr, s.InstallKeyMap(&frame));
    EXPECT_EQ(nullptr, frame) << "the old shortcuts stayed active";
    s.SaveKeyMap();
    // Not "empty", which stands for the built-in shortcuts.
    EXPECT_EQ("[Keyboard]\r\nTextEdit=none\r\n", ReadText("SETTINGS.INI"));
    SettingsStore t(m_dir.c_str());
    HACCEL restarted = reinterpret_cast<HACCEL>(1);
    t.LoadKeyMap(&restarted);
    EXPECT_TRUE(t.IsKeyMapLoaded());
    EXPECT_TRUE(t.KeyMap().empty());
    EXPECT_EQ(nullptr, restarted);
    char text[64];
    EXPECT_FALSE(t.ShortcutText(57603, text, sizeof text));
    // Shortcuts given again afterwards are installed as usual.
    uint32_t ctrlS = 'S' | (FCONTROL << 16);
    t.SetKeyMap({{57603, ctrlS}});
    EXPECT_NE(nullptr, t.InstallKeyMap(&restarted));
    EXPECT_EQ(1, CopyAcceleratorTableA(restarted, nullptr, 0));
}

TEST_F(Store, KeyMapInstallAndShortcutText) {
    SettingsStore s(m_dir.c_str());
    HACCEL frame = nullptr;
    HACCEL first = s.InstallKeyMap(&frame);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, frame);
    ACCEL entries[8];
    ASSERT_EQ(5, CopyAcceleratorTableA(frame, entries, 8));
    bool sawCtrlS = false;
    for (const ACCEL& a : entries) {
        if (a.cmd == 57603) {
            sawCtrlS = a.key == 'S' && a.fVirt == (FCONTROL | FVIRTKEY | FNOINVERT);
        }
    }
    EXPECT_TRUE(sawCtrlS);
    HACCEL second = s.InstallKeyMap(&frame);
    EXPECT_EQ(second, frame);
    EXPECT_NE(first, second);
    HACCEL third = s.InstallKeyMap(&frame);
    EXPECT_EQ(third, frame);
    char text[64];
    ASSERT_TRUE(s.ShortcutText(57603, text, sizeof text));
    std::string t = text;
    EXPECT_NE(std::string::npos, t.find(" + ")) << t;
    EXPECT_EQ('S', t.back()) << t;
    ASSERT_TRUE(s.ShortcutText(35000, text, sizeof text));
    t = text;
    EXPECT_EQ(2u, std::count(t.begin(), t.end(), '+')) << "Control, Alt and the key: " << t;
    ASSERT_TRUE(s.ShortcutText(35422, text, sizeof text));
    EXPECT_STREQ("F3", text);
    EXPECT_FALSE(s.ShortcutText(12345, text, sizeof text));
    ASSERT_TRUE(s.ShortcutText(57603, text, 3));
    EXPECT_EQ(2u, std::strlen(text)) << "cut to the buffer";
}

TEST_F(Store, EditorFont) {
    {
        SettingsStore s(m_dir.c_str());
        ASSERT_TRUE(s.LoadFont());
        EXPECT_STREQ("Courier New", s.Font().current.lfFaceName);
        EXPECT_EQ(400, s.Font().current.lfWeight);
        EXPECT_EQ(DEFAULT_CHARSET, s.Font().current.lfCharSet);
        EXPECT_NE(nullptr, s.GetFont(1));
        EXPECT_EQ(nullptr, s.GetFont(2));
        EXPECT_EQ(6000u, s.Font().nameId);
        LOGFONTA lf = s.Font().current;
        lf.lfHeight = -16;
        std::strcpy(lf.lfFaceName, "SimSun");
        ASSERT_TRUE(s.SetFont(lf));
        EXPECT_TRUE(s.Font().dirty);
        s.SaveFont();
        EXPECT_FALSE(s.Font().dirty);
    }
    SettingsStore s(m_dir.c_str());
    ASSERT_TRUE(s.LoadFont());
    EXPECT_STREQ("SimSun", s.Font().current.lfFaceName);
    EXPECT_EQ(-16, s.Font().current.lfHeight);
    // A damaged structure gives the default font.
    s.WriteString(IniSettings, "Font", "TextEdit", "0102");
    ASSERT_TRUE(s.LoadFont());
    EXPECT_STREQ("Courier New", s.Font().current.lfFaceName);
}

TEST_F(Store, PrintDefaults) {
    SettingsStore s(m_dir.c_str());
    const PrintSettings& p = s.Print();
    EXPECT_DOUBLE_EQ(0.55, p.marginLeft);
    EXPECT_DOUBLE_EQ(0.55, p.marginBottom);
    EXPECT_DOUBLE_EQ(0.2, p.spacingHeader);
    EXPECT_EQ(0, p.marginUnit);
    EXPECT_EQ("&c《Quorvane打印页眉页脚示范》&b&l文件：&t&f&b&l作者：&t您的大名&b项目："
              "&t您的项目名称&r&D&T",
              p.header);
    EXPECT_EQ(0u, p.footer.find("注1：&t"));
    EXPECT_TRUE(p.headerSep);
    EXPECT_FALSE(p.customFont);
    EXPECT_EQ(0u, p.color);
}

TEST_F(Store, PrintRoundTripAndThousandths) {
    {
        SettingsStore s(m_dir.c_str());
        PrintSettings& p = s.Print();
        p.marginLeft = 0.29;
        p.marginTop = 1.0;
        p.marginRight = 2.5;
        p.marginBottom = 0.0015; // truncated to 1
        p.spacingHeader = 0.3;
        p.marginUnit = 1;
        p.header.clear();
        p.footer = "&p";
        p.customFont = true;
        p.color = 0x123456;
        std::strcpy(p.font.lfFaceName, "Arial");
        p.font.lfHeight = 20;
        s.SetPrintDirty();
        s.SavePrint();
    }
    std::string text = ReadText("SETTINGS.INI");
    EXPECT_EQ(0u, text.find("[Printing]\r\nMarginLeft=290\r\nMarginTop=1000\r\nMarginRight=2500\r\n"
                            "MarginBottom=1\r\nSpacingHeaderAndText=300\r\n"
                            "SpacingFooterAndText=200\r\nMarginUnit=1\r\nHeader=empty\r\n"
                            "Footer=&p\r\nHeaderSep=1\r\nFooterSep=1\r\nIgnoreSyntaxColor=0\r\n"
                            "CustomHeaderFooterFont=1\r\nHeaderFooterColor=1193046\r\n"
                            "HeaderFooterFont="))
        << text;
    SettingsStore s(m_dir.c_str());
    const PrintSettings& p = s.Print();
    EXPECT_DOUBLE_EQ(0.29, p.marginLeft);
    EXPECT_DOUBLE_EQ(0.001, p.marginBottom);
    EXPECT_EQ(1, p.marginUnit);
    EXPECT_EQ("empty", p.header) << "the word stands for no header";
    EXPECT_EQ("&p", p.footer);
    EXPECT_EQ(0x123456u, p.color);
    EXPECT_STREQ("Arial", p.font.lfFaceName);
    EXPECT_EQ(290, SettingsStore::ToThousandths(p.marginLeft));
    // With the custom font off the colour and the font are not read.
    s.WriteInt(IniSettings, "Printing", "CustomHeaderFooterFont", 0);
    s.LoadPrint();
    EXPECT_EQ(0u, s.Print().color);
    EXPECT_STREQ("", s.Print().font.lfFaceName);
}

TEST_F(Store, ToolbarLayouts) {
    SettingsStore s(m_dir.c_str());
    s.LoadToolbar();
    ASSERT_EQ(44, s.Toolbar().layoutCount);
    EXPECT_EQ(0, s.Toolbar().layout[0]);
    EXPECT_EQ(255, s.Toolbar().layout[4]);
    EXPECT_EQ(36, s.Toolbar().layout[43]);
    EXPECT_EQ(57603u, s.ButtonByImage(3)->command);
    EXPECT_EQ(1, s.ButtonByImage(255)->style);
    EXPECT_EQ(34, s.ButtonByCommand(35527)->image);
    EXPECT_EQ(nullptr, s.ButtonByImage(37));
    EXPECT_EQ(nullptr, s.ButtonByCommand(0)) << "the separator has no command";
    for (const char* empty : {"empty", "EMPTY", "Empty"}) {
        s.WriteString(IniSettings, "ToolBars", "Standard", empty);
        s.LoadToolbar();
        EXPECT_EQ(0, s.Toolbar().layoutCount) << empty;
    }
    s.WriteString(IniSettings, "ToolBars", "Standard", "0,1,99,3");
    s.LoadToolbar();
    ASSERT_EQ(2, s.Toolbar().layoutCount);
    EXPECT_EQ(1, s.Toolbar().layout[1]);
    std::string many;
    for (int i = 0; i < 300; ++i)
        many += "255,";
    s.WriteString(IniSettings, "ToolBars", "Standard", many.c_str());
    s.LoadToolbar();
    EXPECT_EQ(255, s.Toolbar().layoutCount);
    const uint8_t layout[] = {3, 255, 36};
    s.SetToolbarLayout(layout, 3);
    s.SaveToolbar();
    EXPECT_STREQ("3,255,36", s.ReadString(IniSettings, "ToolBars", "Standard"));
    s.SetToolbarLayout(layout, 0);
    s.SaveToolbar();
    EXPECT_STREQ("empty", s.ReadString(IniSettings, "ToolBars", "Standard"));
}

TEST_F(Store, ToolbarAppliedToAToolbarWindow) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    HWND parent =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | TBSTYLE_FLAT, 0, 0, 400, 30,
                               parent, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, bar);
    SettingsStore s(m_dir.c_str());
    s.LoadToolbar();
    ASSERT_TRUE(s.ApplyToolbarLayout(bar, s.Toolbar().layout, s.Toolbar().layoutCount));
    EXPECT_EQ(44, SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
    TBBUTTON b;
    ASSERT_TRUE(SendMessageA(bar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&b)));
    EXPECT_EQ(57603, b.idCommand);
    ASSERT_TRUE(SendMessageA(bar, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&b)));
    EXPECT_TRUE(b.fsStyle & TBSTYLE_SEP);
    const uint8_t two[] = {0, 99, 1};
    ASSERT_TRUE(s.ApplyToolbarLayout(bar, two, 3));
    EXPECT_EQ(2, SendMessageA(bar, TB_BUTTONCOUNT, 0, 0)) << "old buttons deleted";
    std::vector<uint8_t> tooMany(256, 0);
    EXPECT_FALSE(s.ApplyToolbarLayout(bar, tooMany.data(), 256));
    DestroyWindow(parent);
}

UserToolInfo Tool(const std::string& name, const std::string& cmd) {
    UserToolInfo t;
    t.name = name;
    t.command = cmd;
    return t;
}

TEST_F(Store, ToolsLoadStopsAtAToolWithoutCommand) {
    WriteText("QUORVANE.INI", "[Tool00]\r\nName=first\r\nCmd=\r\n[Tool01]\r\nName=b\r\nCmd=b\r\n");
    SettingsStore s(m_dir.c_str());
    EXPECT_TRUE(s.Tools().empty());
    WriteText("QUORVANE.INI", "[Tool00]\r\nName=cc\r\nCmd=gcc.exe\r\nArg=$(FilePath)\r\n"
                              "InitDir=$(FileDir)\r\nCaptureOutput=1\r\n"
                              "[Tool01]\r\nName=ed\r\nCmd=ed.exe\r\nSaveFiles=0\r\n");
    SettingsStore t(m_dir.c_str());
    ASSERT_EQ(2u, t.Tools().size());
    EXPECT_EQ("$(FilePath)", t.Tools()[0].argument);
    EXPECT_EQ("$(FileDir)", t.Tools()[0].initDir);
    EXPECT_EQ(1, t.Tools()[0].saveFiles);
    EXPECT_EQ(1, t.Tools()[0].captureOutput);
    EXPECT_EQ(0, t.Tools()[1].saveFiles);
    EXPECT_EQ(0, t.Tools()[1].promptForArg);
}

TEST_F(Store, ToolsSaveWithoutGaps) {
    SettingsStore s(m_dir.c_str());
    CLstUserToolInfo tools = {Tool("a", "a.exe"), Tool("b", "b.exe"), Tool("c", "c.exe"),
                              Tool("d", "d.exe"), Tool("e", "e.exe")};
    tools[0].argument = "$(FileName)";
    tools[0].dosBox = 1;
    s.SetTools(tools);
    s.SaveTools();
    const std::string first = "[Tool00]\r\nName=a\r\nCmd=a.exe\r\nInitDir=\r\nArg=$(FileName)\r\n"
                              "SaveFiles=1\r\nPromptForArg=0\r\nCaptureOutput=0\r\nDosBox=1\r\n"
                              "[Tool01]\r\nName=b\r\n";
    EXPECT_EQ(first, ReadText("QUORVANE.INI").substr(0, first.size()));
    // Deleting the third of five rewrites 00..03 and deletes 04.
    tools.erase(tools.begin() + 2);
    s.SetTools(tools);
    s.SaveTools();
    EXPECT_STREQ("d", s.ReadString(IniProfile, "Tool02", "Name"));
    EXPECT_STREQ("e", s.ReadString(IniProfile, "Tool03", "Name"));
    EXPECT_STREQ("", s.ReadString(IniProfile, "Tool04", "Name"));
    // A tool without a command in the middle leaves no gap: the later tools survive.
    tools = {Tool("a", "a.exe"), Tool("broken", ""), Tool("c", "c.exe")};
    s.SetTools(tools);
    s.SaveTools();
    SettingsStore t(m_dir.c_str());
    ASSERT_EQ(2u, t.Tools().size());
    EXPECT_EQ("c", t.Tools()[1].name);
    EXPECT_STREQ("", s.ReadString(IniProfile, "Tool02", "Name")) << "old sections deleted";
    EXPECT_STREQ("", s.ReadString(IniProfile, "Tool03", "Name"));
}

TEST_F(Store, ToolArgumentHistory) {
    {
        SettingsStore s(m_dir.c_str());
        EXPECT_TRUE(s.UpdateToolArgs({"-v", "  ", "-o x"}));
        EXPECT_FALSE(s.UpdateToolArgs({"-v", "  ", "-o x"}));
        s.SaveTools();
        // The profile functions drop the blanks of an unquoted value.
        EXPECT_EQ("[ToolsArgs]\r\n00=-v\r\n01=\r\n02=-o x\r\n", ReadText("QUORVANE.INI"));
    }
    SettingsStore s(m_dir.c_str());
    // Without the blank quoting the blank entry reads back empty and ends the list.
    EXPECT_EQ((std::vector<std::string>{"-v"}), s.ToolArgs());
}

TEST_F(Store, ToolsMenu) {
    SettingsStore s(m_dir.c_str());
    HMENU tools = CreatePopupMenu();
    AppendMenuA(tools, MF_STRING, 100, "设置");
    AppendMenuA(tools, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(tools, MF_STRING, 40960, "old");
    s.RebuildToolsMenu(tools);
    EXPECT_EQ(1, GetMenuItemCount(tools)) << "old tool and trailing separator removed";
    CLstUserToolInfo list;
    for (int i = 0; i < 16; ++i)
        list.push_back(Tool("工具" + std::to_string(i), "x.exe"));
    s.SetTools(list);
    s.RebuildToolsMenu(tools);
    ASSERT_EQ(18, GetMenuItemCount(tools));
    char text[300];
    GetMenuStringA(tools, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&1. 工具0", text);
    EXPECT_EQ(40960u, GetMenuItemID(tools, 2));
    GetMenuStringA(tools, 16, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&f. 工具14", text);
    GetMenuStringA(tools, 17, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("工具15", text) << "the sixteenth item has no mnemonic";
    EXPECT_EQ(40975u, GetMenuItemID(tools, 17));
    s.RebuildToolsMenu(tools);
    EXPECT_EQ(18, GetMenuItemCount(tools)) << "rebuilding is idempotent";
    // On the frame menus: Tools at 3 of menu 100 and at 5 or 6 of menu 101.
    HMENU main = CreateMenu();
    for (int i = 0; i < 4; ++i)
        AppendMenuA(main, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "m");
    s.RebuildToolsMenus(main, nullptr, false, nullptr);
    EXPECT_EQ(17, GetMenuItemCount(GetSubMenu(main, 3)));
    EXPECT_EQ(0, GetMenuItemCount(GetSubMenu(main, 2)));
    DestroyMenu(main);
    DestroyMenu(tools);
}

class FakeHost : public ReopenHost {
public:
    std::vector<Document> docs;
    std::vector<std::vector<int>> marks;
    std::vector<std::string> opened;
    std::vector<std::pair<int, int>> setMarks; // view index, line
    std::vector<std::pair<int, int>> caret;
    int activated = -1;
    int lineCount = 10;

    std::vector<Document> Documents() override { return docs; }
    int NextBookmark(void* view, int line) override {
        for (int m : marks[Index(view)])
            if (m > line)
                return m;
        return -1;
    }
    void* Open(const char* path, int* lines) override {
        opened.push_back(path);
        *lines = lineCount;
        return reinterpret_cast<void*>(static_cast<intptr_t>(opened.size()));
    }
    void SetBookmark(void* view, int line) override { setMarks.push_back({Index(view), line}); }
    void SetCaretLine(void* view, int line) override { caret.push_back({Index(view), line}); }
    void ActivateFrameOf(void* view) override { activated = Index(view); }
    static int Index(void* view) { return static_cast<int>(reinterpret_cast<intptr_t>(view)) - 1; }
    static void* View(int i) { return reinterpret_cast<void*>(static_cast<intptr_t>(i + 1)); }
};

TEST_F(Store, ReopenList) {
    SettingsStore s(m_dir.c_str());
    WriteText("QUORVANE.INI", "[File00]\r\nFile=old0\r\n[File01]\r\nFile=old1\r\n"
                              "[File02]\r\nFile=old2\r\n");
    FakeHost host;
    host.docs = {{"C:\\a.c", false, 4, FakeHost::View(0)},
                 {"", false, 0, FakeHost::View(1)},
                 {"C:\\b.txt", true, 7, FakeHost::View(2)}};
    host.marks = {{1, 3, 12}, {}, {}};
    s.SaveReopenList(host);
    EXPECT_EQ("[File00]\r\nFile=C:\\a.c\r\nActiveLine=4\r\nBookmarks=1,3,12\r\n"
              "[File01]\r\nFile=C:\\b.txt\r\nActiveLine=7\r\nBookmarks=\r\n"
              "[Settings]\r\nActiveFile=1\r\n",
              ReadText("QUORVANE.INI"));
    FakeHost back;
    s.RestoreReopenList(back);
    EXPECT_EQ((std::vector<std::string>{"C:\\a.c", "C:\\b.txt"}), back.opened);
    // Line 12 is beyond the ten lines of the reopened document: bookmarks stop there.
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 1}, {0, 3}}), back.setMarks);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 4}, {1, 7}}), back.caret);
    EXPECT_EQ(1, back.activated);
    s.General().reloadOpenFiles = false;
    s.SaveReopenList(host);
    EXPECT_EQ("[Settings]\r\nActiveFile=0\r\n", ReadText("QUORVANE.INI"));
    FakeHost none;
    s.RestoreReopenList(none);
    EXPECT_TRUE(none.opened.empty());
}

// The value of one key in an INI text, as written (empty when missing).
std::string ValueIn(const std::string& ini, const char* key) {
    std::string at = std::string("\n") + key + "=";
    size_t b = ini.find(at);
    if (b == std::string::npos)
        return std::string();
    b += at.size();
    return ini.substr(b, ini.find("\r\n", b) - b);
}

TEST_F(Store, ReopenListCapsBookmarks) {
    SettingsStore s(m_dir.c_str());
    FakeHost host;
    host.docs = {{"C:\\big.c", true, 2, FakeHost::View(0)}};
    host.marks.resize(1);
    for (int i = 0; i < 3000; ++i)
        host.marks[0].push_back(1000000 + 3 * i); // seven digits each
    s.SaveReopenList(host);
    std::string written = ValueIn(ReadText("QUORVANE.INI"), "Bookmarks");
    // 512 numbers of seven digits and 511 commas fill the 4095 characters exactly.
    ASSERT_EQ(4095u, written.size());
    EXPECT_NE(',', written.back());
    std::vector<int> first(host.marks[0].begin(), host.marks[0].begin() + 512);
    EXPECT_EQ(first, NumberList::Parse(written.c_str()));
    EXPECT_EQ(NumberList::Format(first), written);

    FakeHost back;
    back.lineCount = 2000000;
    s.RestoreReopenList(back);
    ASSERT_EQ(512u, back.setMarks.size());
    for (size_t i = 0; i < back.setMarks.size(); ++i)
        EXPECT_EQ(std::make_pair(0, first[i]), back.setMarks[i]) << i;

    // One more digit per number: 455 numbers of eight digits fit, with 4094 characters.
    for (int& m : host.marks[0])
        m += 9000000;
    s.SaveReopenList(host);
    written = ValueIn(ReadText("QUORVANE.INI"), "Bookmarks");
    EXPECT_EQ(4094u, written.size());
    EXPECT_EQ(
        NumberList::Format(std::vector<int>(host.marks[0].begin(), host.marks[0].begin() + 455)),
        written);
}

TEST_F(Store, ReopenListDropsCutBookmark) {
    SettingsStore s(m_dir.c_str());
    // "5," and then numbers of seven digits: the 4095 characters read end five digits into the
    // 512th of them.
    std::vector<int> marks{5};
    for (int i = 0; i < 600; ++i)
        marks.push_back(1000000 + 3 * i);
    WriteText("QUORVANE.INI",
              "[File00]\r\nFile=C:\\a.c\r\nBookmarks=" + NumberList::Format(marks) + "\r\n");
    FakeHost back;
    back.lineCount = 2000000;
    s.RestoreReopenList(back);
    ASSERT_EQ(512u, back.setMarks.size());
    for (size_t i = 0; i < back.setMarks.size(); ++i)
        EXPECT_EQ(std::make_pair(0, marks[i]), back.setMarks[i]) << i;

    // Without the "5," the buffer ends with a whole number, the one before a comma.
    marks.erase(marks.begin());
    WriteText("QUORVANE.INI",
              "[File00]\r\nFile=C:\\a.c\r\nBookmarks=" + NumberList::Format(marks) + "\r\n");
    FakeHost whole;
    whole.lineCount = 2000000;
    s.RestoreReopenList(whole);
    ASSERT_EQ(512u, whole.setMarks.size());
    EXPECT_EQ(std::make_pair(0, marks[511]), whole.setMarks.back());
}

TEST_F(Store, AutoSaveTimer) {
    SettingsStore s(m_dir.c_str());
    s.ConfigureAutoSave(true, 0, false);
    EXPECT_EQ(1, s.Backup().autoSaveInterval);
    EXPECT_FALSE(s.Backup().notSaveUnnamedFile);
    EXPECT_FALSE(s.IsAutoSaveOn()) << "no main frame yet";
    HWND frame =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    s.SetMainFrame(frame);
    s.ConfigureAutoSave(true, 75, true);
    EXPECT_EQ(60, s.Backup().autoSaveInterval);
    EXPECT_TRUE(s.IsAutoSaveOn());
    s.ConfigureAutoSave(false, 5, true);
    EXPECT_EQ(5, s.Backup().autoSaveInterval);
    EXPECT_FALSE(s.IsAutoSaveOn());
    EXPECT_FALSE(KillTimer(frame, 1)) << "the timer was killed";
    DestroyWindow(frame);
}

TEST_F(Store, DateAndTimeFormats) {
    SettingsStore s(m_dir.c_str());
    s.CollectDateTimeFormats();
    ASSERT_FALSE(s.DateTimeFormats().empty());
    bool time = false, date = false;
    for (size_t i = 0; i < s.DateTimeFormats().size(); ++i) {
        EXPECT_EQ(41472u + i, s.DateTimeFormats()[i].command);
        (s.DateTimeFormats()[i].isTime ? time : date) = true;
        EXPECT_FALSE(s.FormatNow(i).empty());
    }
    EXPECT_TRUE(time && date);
    HMENU doc = CreatePopupMenu();
    AppendMenuA(doc, MF_STRING, 35242, "插入时间/日期");
    HMENU sub = s.BuildDateTimeMenu(doc);
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(sub, GetSubMenu(doc, 0));
    EXPECT_EQ(static_cast<int>(s.DateTimeFormats().size()), GetMenuItemCount(sub));
    ModifyMenuA(sub, 41472, MF_BYCOMMAND | MF_STRING, 41472, "stale");
    s.RefreshDateTimeItem(sub, 41472);
    char text[MAX_PATH];
    GetMenuStringA(sub, 41472, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(s.FormatNow(0), text);
    DestroyMenu(doc);
}

TEST_F(Store, UnwritableProgramFolder) {
    // A folder that cannot be written: every write fails silently, the state stays as set.
    SettingsStore s((m_dir + "missing\\deeper").c_str());
    s.LoadAll();
    s.General().recentFiles = 3;
    s.SetGeneralDirty();
    s.SaveGeneralOptions();
    EXPECT_EQ(3, s.General().recentFiles);
    s.UpdateHistory(HistoryFind, {"x"});
    s.SaveOnExit();
    EXPECT_EQ((std::vector<std::string>{"x"}), s.History(HistoryFind));
    s.SetTools({Tool("a", "a.exe")});
    s.SaveTools();
    EXPECT_EQ(1u, s.Tools().size());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_dir + "missing").c_str()));
}

TEST_F(Store, JobSlotsStartEmpty) {
    SettingsStore s(m_dir.c_str());
    for (const JobSlot& j : s.m_captureJobs)
        EXPECT_EQ(nullptr, j.job);
    for (const JobSlot& j : s.m_findJobs)
        EXPECT_EQ(nullptr, j.job);
}

} // namespace

TEST_F(Store, ToolbarImagesComeInThreeSizesAndTheDensityChoosesOne) {
    InitCommonControls();
    SettingsStore s(m_dir.c_str());
    for (int size : {16, 24, 32}) {
        HIMAGELIST il = s.ToolbarImages(false, size);
        ASSERT_NE(il, nullptr) << size;
        int cx = 0, cy = 0;
        ImageList_GetIconSize(il, &cx, &cy);
        EXPECT_EQ(size, cx);
        EXPECT_EQ(size, cy);
        EXPECT_EQ(ToolbarButtonSet::kButtonCount - 1, ImageList_GetImageCount(il)) << size;
        EXPECT_EQ(il, s.ToolbarImages(false, size)) << "kept once made";
    }
    EXPECT_EQ(s.ToolbarImages(false, 16), s.ToolbarImages(false, 20)) << "16 for any other";

    s.LoadToolbar();
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_POPUP, 0, 0, 400, 40, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(bar, nullptr);
    struct Expect {
        UINT dpi;
        int image, button;
    } const cases[] = {{96, 16, 23}, {144, 24, 35}, {192, 32, 46}};
    for (const Expect& e : cases) {
        ASSERT_TRUE(s.ApplyToolbarLayout(bar, s.Toolbar().layout, s.Toolbar().layoutCount, e.dpi));
        HIMAGELIST il = reinterpret_cast<HIMAGELIST>(SendMessageA(bar, TB_GETIMAGELIST, 0, 0));
        EXPECT_EQ(il, s.ToolbarImages(false, e.image)) << e.dpi;
        const LRESULT size = SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0);
        EXPECT_EQ(e.button, LOWORD(size)) << e.dpi;
        EXPECT_EQ(e.button, HIWORD(size)) << e.dpi;
    }
    DestroyWindow(bar);
}
