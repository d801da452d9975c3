// Damaged INI files: randomly mutated copies of real settings files go through every reader of
// the store, which must neither crash nor hang.
#include "tests/settings/SettingsTestUtil.h"

#include <random>

namespace {

std::string Mutate(const std::string& src, std::mt19937& rng) {
    static const char* const kPieces[] = {"\r\n",
                                          "\n",
                                          "[",
                                          "]",
                                          "=",
                                          ",",
                                          "|",
                                          "\"",
                                          ";",
                                          "-2147483649",
                                          "99999999999999999999",
                                          "empty",
                                          "[Settings]\r\n",
                                          "\"Des\"=",
                                          "#",
                                          "\x81"};
    std::string s = src;
    int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e) {
        size_t at = s.empty() ? 0 : rng() % s.size();
        switch (rng() % 5) {
        case 0:
            if (!s.empty())
                s[at] = static_cast<char>(rng() % 255 + 1);
            break;
        case 1:
            s.insert(at, kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])]);
            break;
        case 2:
            s.erase(at, rng() % 40);
            break;
        case 3:
            s.insert(at, std::string(rng() % 3000, static_cast<char>('a' + rng() % 26)));
            break;
        default:
            s.insert(at, s.substr(rng() % (s.size() + 1), rng() % 100));
            break;
        }
    }
    return s;
}

using IniMutation = SettingsTest;

TEST_F(IniMutation, DamagedFilesNeitherCrashNorHang) {
    CopyTemplate("CPP.STF");
    CopyTemplate("INI.STF");
    // Real files: every block written once.
    {
        SettingsStore s(m_dir.c_str());
        s.LoadAll();
        s.General().recentFiles = 5;
        s.SetGeneralDirty();
        s.SaveGeneralOptions();
        s.Backup().backupPath = "C:\\bak";
        s.SetBackupDirty();
        s.SaveBackupOptions();
        s.Print().customFont = true;
        s.SetPrintDirty();
        s.SavePrint();
        s.SetKeyMap({{57603, 'S' | (FCONTROL << 16)}, {35422, VK_F3}});
        s.SaveKeyMap();
        const uint8_t layout[] = {0, 1, 255, 3};
        s.SetToolbarLayout(layout, 4);
        s.SaveToolbar();
        LOGFONTA lf = s.Font().current;
        s.SetFont(lf);
        s.SaveFont();
        UserToolInfo t;
        t.name = "cc";
        t.command = "cc.exe";
        s.SetTools({t, t});
        s.UpdateToolArgs({"-a"});
        s.SaveTools();
        s.UpdateHistory(HistoryFind, {"x", "  "});
        s.Search().regExp = true;
        s.SetSearchDirty();
        s.SetFileFilters({{1, 0, "C", "*.c"}, {0, 0, "T", "*.txt"}});
        s.SaveFileFilters();
        s.FindFileType("a.c");
        s.FindFileType("a.ini");
        for (FileTypeInfo& e : s.FileTypes())
            e.modified = true;
        s.SetFileTypesDirty();
        s.SaveOnExit();
    }
    const char* files[3] = {"QUORVANE.INI", "SETTINGS.INI", "FILETYPE.INI"};
    std::string originals[3];
    for (int f = 0; f < 3; ++f) {
        originals[f] = ReadText(files[f]);
        ASSERT_FALSE(originals[f].empty()) << files[f];
    }
    std::mt19937 rng(31337);
    for (int i = 0; i < 1000; ++i) {
        for (int f = 0; f < 3; ++f)
            WriteText(files[f], Mutate(originals[f], rng));
        SettingsStore s(m_dir.c_str());
        s.LoadAll();
        s.LoadKeyMap();
        s.EnsureKeyMap();
        s.LoadToolbar();
        s.Print();
        s.Search();
        for (int k = 0; k < 4; ++k)
            s.History(static_cast<HistoryKind>(k));
        s.Tools();
        s.ToolArgs();
        s.FileDialogFilter();
        for (FileTypeInfo& e : s.FileTypes())
            s.EnsureLoaded(e);
        char text[64];
        s.ShortcutText(57603, text, sizeof text);
        ASSERT_LE(s.Toolbar().layoutCount, 255);
        ASSERT_LE(s.Tools().size(), 255u);
        ASSERT_LE(s.History(HistoryFind).size(), 16u);
        ASSERT_GE(s.General().recentFiles, 0);
        ASSERT_LE(s.General().recentFiles, 16);
    }
}

} // namespace
