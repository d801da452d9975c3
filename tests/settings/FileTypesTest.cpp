// File types and file filters: discovery from the STF directory, loading, matching paths,
// saving, the filter list and its dialog string, and the ViewAsMenu.
#include "settings/IniCodec.h"
#include "tests/settings/SettingsTestUtil.h"

#include <cstring>

namespace {

using FileTypes = SettingsTest;

TEST_F(FileTypes, NoStfDirectoryGivesOnlyTheDefault) {
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(Path("STF").c_str()));
    ASSERT_EQ(1u, s.FileTypes().size());
    const FileTypeInfo& d = s.FileTypes()[0];
    EXPECT_TRUE(d.IsDefault());
    EXPECT_EQ("默认纯文本设置", d.title);
    EXPECT_EQ("*.TXT", d.extensions);
    EXPECT_EQ(",.\"'?!:;(){}[]<>-+*/%=~&|", d.delimiters);
    EXPECT_EQ(25u, d.delimiters.size());
    EXPECT_TRUE(d.loaded);
    EXPECT_FALSE(d.modified);
    EXPECT_EQ(0, d.dragDrop) << "the built-in values";
    EXPECT_EQ(8, d.tabSize);
    EXPECT_EQ(0x00FFFFu, d.colors[ActiveLineBack]);
    EXPECT_EQ(0xFFCC66u, d.colors[MarksFore]);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), d.colors[RulerBack]);
    EXPECT_FALSE(d.hasSyntax);
}

TEST_F(FileTypes, DefaultSectionWithoutDragDropGivesOne) {
    WriteText("FILETYPE.INI", "[Default]\r\nDes=纯文本\r\nExt=*.txt;*.log\r\nDelimiters=,.\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    FileTypeInfo& d = s.FileTypes()[0];
    EXPECT_EQ("纯文本", d.title);
    EXPECT_FALSE(d.loaded);
    FileTypeInfo* e = s.FindFileType("C:\\x\\a.log");
    ASSERT_EQ(&d, e);
    EXPECT_TRUE(d.loaded);
    EXPECT_EQ(1, d.dragDrop);
    EXPECT_EQ(",.", s.DelimitersForPath("a.txt"));
}

TEST_F(FileTypes, DiscoveryWritesTheHeaderValues) {
    CopyTemplate("CPP.STF");
    CopyTemplate("PYTHON.STF");
    WriteText("STF\\BAD.STF", "[#General]\r\nTitle=no extensions\r\n[#Ends]\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    ASSERT_EQ(3u, s.FileTypes().size()) << "the template without extensions is left out";
    FileTypeInfo* cpp = nullptr;
    for (FileTypeInfo& e : s.FileTypes())
        if (FileTypeSection(e) == "CPP")
            cpp = &e;
    ASSERT_NE(nullptr, cpp);
    EXPECT_EQ("C/C++", cpp->title);
    EXPECT_EQ(Path("STF\\CPP.STF"), cpp->templatePath);
    EXPECT_TRUE(cpp->modified);
    EXPECT_FALSE(cpp->loaded);
    EXPECT_TRUE(s.AreFileTypesDirty());
    EXPECT_STREQ("C/C++", s.ReadString(IniFileTypes, "CPP", "Des"));
    EXPECT_STREQ("*.c;*.cpp;*.cc;*.cxx;*.h;*.hpp;*.hh;*.hxx;*.inl",
                 s.ReadString(IniFileTypes, "CPP", "Ext"));
    // A second start takes them from the settings and marks nothing.
    SettingsStore t(m_dir.c_str());
    t.LoadAll();
    EXPECT_EQ(3u, t.FileTypes().size());
    EXPECT_FALSE(t.AreFileTypesDirty());
}

TEST_F(FileTypes, LoadingMatchingAndColourOverrides) {
    CopyTemplate("CPP.STF");
    WriteText("FILETYPE.INI", "[CPP]\r\nDes=C\r\nExt=*.c; *.h\r\nDelimiters=(),;\r\nTab=4\r\n"
                              "WrapWidth=99999\r\nDefColors=1,2,x,4\r\nclr_Types=#0000AA\r\n"
                              "clr_Keywords=bad\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    FileTypeInfo* c = s.FindFileType("D:\\src\\main.c");
    ASSERT_NE(nullptr, c);
    EXPECT_EQ("CPP", FileTypeSection(*c));
    EXPECT_EQ(c, s.FindFileType("x.H")) << "after a blank that follows the ;";
    EXPECT_TRUE(c->loaded);
    EXPECT_TRUE(c->hasSyntax);
    EXPECT_EQ(4, c->tabSize);
    EXPECT_EQ(8192, c->wrapWidth);
    EXPECT_EQ(1u, c->colors[TextFore]) << "DefColors 0";
    EXPECT_EQ(2u, c->colors[SelectionFore]);
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), c->colors[LineNumberFore]) << "from the x on";
    EXPECT_EQ(0x008000u, c->colors[BlockCommentFore]);
    int types = -1, keywords = -1;
    for (int g = 0; g < c->syntax.GroupCount(); ++g) {
        if (std::string(c->syntax.Group(g).name) == "Types")
            types = g;
        if (std::string(c->syntax.Group(g).name) == "Keywords")
            keywords = g;
    }
    ASSERT_GE(types, 0);
    EXPECT_EQ(0x0000AAu, c->syntax.Group(types).colour);
    EXPECT_EQ(0xFF0000u, c->syntax.Group(keywords).colour) << "a value that does not scan";
    EXPECT_TRUE(c->syntax.IsDelimiter(';'));
    EXPECT_FALSE(c->syntax.IsDelimiter('.')) << "the file type's delimiters";
    EXPECT_EQ(keywords, c->syntax.LookupKeyword("while", 5));
    // No match, no extension, no path: the Default entry.
    EXPECT_TRUE(s.FindFileType("readme")->IsDefault());
    EXPECT_TRUE(s.FindFileType("a.py")->IsDefault());
    EXPECT_TRUE(s.FindFileType(nullptr)->IsDefault());
}

TEST_F(FileTypes, ExtensionWalkEdgeCases) {
    CopyTemplate("INI.STF");
    CopyTemplate("SHELL.STF");
    WriteText("FILETYPE.INI", "[INI]\r\nDes=I\r\nExt=;*.ini\r\nDelimiters=,\r\n"
                              "[SHELL]\r\nDes=S\r\nExt=*.sh;*\r\nDelimiters=,\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    EXPECT_EQ("SHELL", FileTypeSection(*s.FindFileType("readme"))) << "an entry with the item *";
    EXPECT_NE("INI", FileTypeSection(*s.FindFileType("a.ini")))
        << "an empty first item ends the walk";
}

TEST_F(FileTypes, ATemplateThatCannotBeOpenedLeavesTheEntryUnloaded) {
    CopyTemplate("CPP.STF");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    DeleteFileA(Path("STF\\CPP.STF").c_str());
    EXPECT_EQ(nullptr, s.FindFileType("a.c"));
    EXPECT_FALSE(s.FileTypes()[1].loaded);
    EXPECT_EQ(kDefaultDelimiters, s.DelimitersForPath("a.c"));
}

TEST_F(FileTypes, EditsOfATypeWhoseTemplateCannotBeReadAreKeptAndSaved) {
    CopyTemplate("CPP.STF");
    WriteText("FILETYPE.INI", "[CPP]\r\nTab=4\r\nWrapWidth=72\r\n");
    {
        SettingsStore s(m_dir.c_str());
        s.LoadAll();
        DeleteFileA(Path("STF\\CPP.STF").c_str());
        FileTypeInfo& cpp = s.FileTypes()[1];
        EXPECT_FALSE(s.EnsureLoaded(cpp));
        EXPECT_EQ(4, cpp.tabSize) << "the stored options are read all the same";
        // Edited as the settings dialog edits it: in place, marked modified.
        cpp.tabSize = 3;
        cpp.wrapOnLoad = 1;
        cpp.modified = true;
        s.SetFileTypesDirty();
        // Asked again (a document of that type opens): the edits stay.
        EXPECT_FALSE(s.EnsureLoaded(cpp));
        EXPECT_EQ(3, cpp.tabSize);
        s.SaveOnExit();
    }
    const std::string text = ReadText("FILETYPE.INI");
    EXPECT_NE(std::string::npos, text.find("Tab=3\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("WrapOnLoad=1\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("WrapWidth=72\r\n")) << "an option not edited is kept";
    // The template back: the type loads with the saved options.
    CopyTemplate("CPP.STF");
    SettingsStore t(m_dir.c_str());
    t.LoadAll();
    FileTypeInfo* cpp = t.FindFileType("a.cpp");
    ASSERT_NE(nullptr, cpp);
    EXPECT_EQ(3, cpp->tabSize);
    EXPECT_EQ(1, cpp->wrapOnLoad);
}

TEST_F(FileTypes, SavingWritesLoadedAndModifiedEntries) {
    CopyTemplate("INI.STF");
    CopyTemplate("SQL.STF");
    WriteText("FILETYPE.INI", "[SQL]\r\nDes=SQL\r\nExt=*.sql\r\nDelimiters=,\r\n");
    {
        SettingsStore s(m_dir.c_str());
        s.LoadAll();
        FileTypeInfo* ini = s.FindFileType("a.ini");
        ASSERT_NE(nullptr, ini);
        FileTypeInfo edited = *ini;
        edited.tabSize = 2;
        edited.colors[TextFore] = 0x112233;
        edited.syntax.SetGroupColour(0, 0xABCDEF);
        EXPECT_TRUE(s.ReplaceFileType(edited));
        int applied = 0;
        s.ReapplyModified([&](FileTypeInfo& e) {
            EXPECT_EQ("INI", FileTypeSection(e));
            ++applied;
        });
        EXPECT_EQ(1, applied);
        s.SaveOnExit();
    }
    std::string text = ReadText("FILETYPE.INI");
    size_t at = text.find("[INI]");
    ASSERT_NE(std::string::npos, at);
    std::vector<int> cols;
    std::string expect = "[INI]\r\nDes=INI\r\nExt=*.ini;*.inf;*.cfg\r\nDelimiters==[],;\"\r\n"
                         "Tab=2\r\nIndentSize=0\r\nWrapStyle=1\r\nWrapWidth=80\r\nWrapOnLoad=0\r\n"
                         "Ruler=1\r\nLineNumber=1\r\nWhitespace=1\r\nLineBreak=1\r\n"
                         "ExpandTabToSpaces=0\r\nDragDrop=1\r\nHomeKeyGFNW=1\r\n"
                         "SyncTextBkWithSys=1\r\nSyncActLineWithTextBk=0\r\nDefColors=";
    EXPECT_EQ(expect, text.substr(at, expect.size()));
    EXPECT_NE(std::string::npos, text.find("DefColors=1122867,")) << text;
    EXPECT_NE(std::string::npos, text.find("clr_Values=#ABCDEF\r\n")) << text;
    size_t sql = text.find("[SQL]");
    ASSERT_NE(std::string::npos, sql);
    std::string sqlSection = text.substr(sql, text.find('[', sql + 1) - sql);
    EXPECT_EQ(std::string::npos, sqlSection.find("Tab=")) << "never loaded: " << sqlSection;
    SettingsStore t(m_dir.c_str());
    t.LoadAll();
    FileTypeInfo* ini = t.FindFileType("b.ini");
    EXPECT_EQ(2, ini->tabSize);
    EXPECT_EQ(0x112233u, ini->colors[TextFore]);
    EXPECT_EQ(0xABCDEFu, ini->syntax.Group(0).colour);
    EXPECT_EQ(1, ini->dragDrop) << "the table's default, unlike the built-in Default entry";
}

TEST_F(FileTypes, FileFilters) {
    WriteText("FILETYPE.INI",
              "[FileTypes]\r\n00=\"Mod\"=1|\"Del\"=0|\"Des\"=C 源文件|\"Ext\"=*.c;*.h\r\n"
              "01=\"Des\"=|\"Ext\"=*.x\r\n02=\"Des\"= 文本 |\"Ext\"=*.txt\r\n04=\"Des\"=late\r\n");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    ASSERT_EQ(2u, s.FileFilters().size()) << "an empty description is dropped, the list goes on";
    EXPECT_EQ(1, s.FileFilters()[0].mod);
    EXPECT_EQ("C 源文件", s.FileFilters()[0].description);
    EXPECT_EQ("C 源文件(*.c;*.h)|*.c;*.h|文本(*.txt)|*.txt|||", s.FileDialogFilter());
    CLstFileFilterInfo f = s.FileFilters();
    f.push_back({0, 1, "全部", "*.*"});
    f.push_back({0, 0, "", "*.none"});
    s.FileChange().autoReload = true;
    s.SetFileFilters(f);
    s.SaveFileFilters();
    EXPECT_EQ("[FileTypes]\r\n00=\"Mod\"=1|\"Del\"=0|\"Des\"=C 源文件|\"Ext\"=*.c;*.h\r\n"
              "01=\"Mod\"=0|\"Del\"=0|\"Des\"=文本|\"Ext\"=*.txt\r\n"
              "02=\"Mod\"=0|\"Del\"=1|\"Des\"=全部|\"Ext\"=*.*\r\n",
              ReadText("FILETYPE.INI"));
    EXPECT_EQ("C 源文件(*.c;*.h)|*.c;*.h|文本(*.txt)|*.txt|全部(*.*)|*.*|||", s.FileDialogFilter());
    SettingsStore t(m_dir.c_str());
    t.LoadFileFilters();
    EXPECT_TRUE(t.FileChange().autoReload);
    EXPECT_EQ(3u, t.FileFilters().size());
}

TEST_F(FileTypes, AnEmptyFilterListIsSeededWithAllFilesTextFilesAndEachTypeAndWritten) {
    CopyTemplate("CPP.STF");
    CopyTemplate("PYTHON.STF");
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    ASSERT_EQ(3u, s.FileTypes().size());
    ASSERT_EQ(4u, s.FileFilters().size());
    EXPECT_EQ("所有文件", s.FileFilters()[0].description);
    EXPECT_EQ("*.*", s.FileFilters()[0].patterns);
    EXPECT_EQ("文本文件", s.FileFilters()[1].description);
    EXPECT_EQ("*.txt", s.FileFilters()[1].patterns);
    std::string expected = "所有文件(*.*)|*.*|文本文件(*.txt)|*.txt|";
    for (size_t i = 1; i < 3; ++i) {
        const FileTypeInfo& type = s.FileTypes()[i];
        EXPECT_EQ(type.title, s.FileFilters()[i + 1].description);
        EXPECT_EQ(std::string::npos, s.FileFilters()[i + 1].patterns.find(' '));
        expected += type.title + "(" + s.FileFilters()[i + 1].patterns + ")|" +
                    s.FileFilters()[i + 1].patterns + "|";
    }
    EXPECT_EQ(expected + "||", s.FileDialogFilter());
    EXPECT_NE(std::string::npos,
              ReadText("FILETYPE.INI")
                  .find("[FileTypes]\r\n00=\"Mod\"=0|\"Del\"=0|\"Des\"=所有文件|\"Ext\"=*.*\r\n"
                        "01=\"Mod\"=0|\"Del\"=0|\"Des\"=文本文件|\"Ext\"=*.txt\r\n"));
    // The next start reads the written list; a list that has entries is never reseeded.
    CLstFileFilterInfo mine;
    mine.push_back({0, 0, "Mine", "*.mine"});
    SettingsStore t(m_dir.c_str());
    t.LoadAll();
    EXPECT_EQ(4u, t.FileFilters().size());
    t.SetFileFilters(mine);
    t.SaveFileFilters();
    SettingsStore u(m_dir.c_str());
    u.LoadAll();
    ASSERT_EQ(1u, u.FileFilters().size());
    EXPECT_EQ("Mine(*.mine)|*.mine|||", u.FileDialogFilter());
}

TEST_F(FileTypes, TheSectionOfATemplateNamedWithABackslashTrailByte) {
    FileTypeInfo e;
    e.templatePath = "C:\\STF\\\x81\x5C.STF"; // "乗": 81 5C
    EXPECT_EQ("\x81\x5C", FileTypeSection(e));
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    EXPECT_TRUE(s.FindFileType("C:\\a\\\x81\x5C")->IsDefault());
}

TEST_F(FileTypes, ViewAsMenu) {
    const char* names[] = {"CPP.STF",    "CSHARP.STF", "JAVA.STF", "JS.STF",
                           "PYTHON.STF", "HTML.STF",   "XML.STF",  "CSS.STF",
                           "SQL.STF",    "PASCAL.STF", "PERL.STF", "PHP.STF",
                           "BATCH.STF",  "SHELL.STF",  "INI.STF",  "MAKEFILE.STF"};
    for (const char* n : names)
        CopyTemplate(n);
    SettingsStore s(m_dir.c_str());
    s.LoadAll();
    ASSERT_EQ(17u, s.FileTypes().size());
    HMENU doc = CreatePopupMenu();
    AppendMenuA(doc, MF_STRING, 35320, "显示方式");
    HMENU popup = s.BuildViewAsMenu(doc);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(popup, GetSubMenu(doc, 0));
    ASSERT_EQ(18, GetMenuItemCount(popup));
    char text[300];
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ("&1. 默认纯文本设置", text);
    EXPECT_EQ(41728u, GetMenuItemID(popup, 0));
    EXPECT_EQ(0u, GetMenuItemID(popup, 1)) << "the separator after Default";
    GetMenuStringA(popup, 15, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(0, std::strncmp(text, "&f. ", 4)) << text;
    GetMenuStringA(popup, 16, text, sizeof text, MF_BYPOSITION);
    EXPECT_NE('&', text[0]) << "no mnemonic from the sixteenth item on: " << text;
    EXPECT_EQ(41744u, GetMenuItemID(popup, 17));
    FileTypeInfo* last = s.FileTypeByCommand(41744);
    ASSERT_NE(nullptr, last);
    EXPECT_EQ(&s.FileTypes().back(), last);
    EXPECT_EQ(nullptr, s.FileTypeByCommand(41800));
    // Every shipped template loads as a file type.
    for (FileTypeInfo& e : s.FileTypes()) {
        EXPECT_TRUE(s.EnsureLoaded(e)) << e.templatePath;
        EXPECT_TRUE(e.IsDefault() || e.hasSyntax) << e.templatePath;
    }
    DestroyMenu(doc);
}

} // namespace
