// SettingsStore: every persistent setting of the editor, read and written through the Windows
// private-profile functions in three INI files of the program directory, with the file type and
// file filter lists, the user tools, the history lists, the key map, the editor font, the print
// settings, the toolbar layout and the background job slots. Layer: settings/.
//
// Every block is unloaded -> loaded -> modified -> written and clean; a block is written only
// while dirty, so keys the user never changed are not created in the files. Writes ignore
// errors (a read-only program directory): the in-memory state stays as set.
#pragma once

#include "settings/FileTypes.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

enum IniFile { IniProfile = 0, IniSettings = 1, IniFileTypes = 2 };

struct GeneralOptions {
    bool allowMultipleInstances = false;
    bool useActiveFileDirOnFileOpen = true;
    bool createNewDocOnStartup = false;
    bool reloadOpenFiles = true;
    bool minimizeToSysTray = false;
    int recentFiles = 8;
    int lineSpacing = 0;
    int lineNumberAndTextSpacing = 0;
};

struct BackupOptions {
    bool autoSave = false; // the timer runs from start-up when set
    bool notSaveUnnamedFile = true;
    int autoSaveInterval = 1; // minutes
    bool backupFileOnSave = false;
    std::string backupPath;
    // Recovery copies of modified documents, offered back after a run that did not end
    // normally.
    bool recoveryCopies = true;
};

struct FileChangeOptions {
    bool detectFileChanges = true;
    bool autoReload = false;
    bool protectReadOnly = true;
};

struct SearchOptions {
    bool down = true;
    bool matchCase = false;
    bool wholeWord = false;
    bool regExp = false;
    bool lookInSubFolders = true;
};

enum HistoryKind { HistoryFind = 0, HistoryReplace, HistoryFilters, HistorySearchPath };

struct UserToolInfo {
    int promptForArg = 0;
    int saveFiles = 1;
    int captureOutput = 0;
    int dosBox = 0;
    int iconIndex = -1; // filled by the settings page, not stored
    std::string name;
    std::string command;
    std::string initDir;
    std::string argument;
};

using CLstUserToolInfo = std::vector<UserToolInfo>;

struct FontSlot {
    bool created = false;
    bool dirty = false;
    int id = 1;         // the editor font
    UINT nameId = 6000; // "文本编辑器"
    const char* key = "TextEdit";
    const char* section = "Font";
    HFONT font = nullptr;
    LOGFONTA current;
    const LOGFONTA* defaultFont = nullptr;
};

struct PrintSettings {
    double marginLeft = 0.55, marginTop = 0.55, marginRight = 0.55, marginBottom = 0.55;
    double spacingHeader = 0.2, spacingFooter = 0.2;
    int marginUnit = 0; // 0 inches, 1 centimetres
    std::string header, footer;
    bool headerSep = true, footerSep = true;
    bool customFont = false;
    bool ignoreSyntaxColor = false;
    COLORREF color = 0;
    LOGFONTA font;
    PrintSettings();
};

struct ToolbarButton {
    uint32_t command;
    uint8_t image; // 255: separator
    uint8_t style; // 1: separator
    uint16_t reserved;
};

struct ToolbarButtonSet {
    static const int kButtonCount = 38;
    static const int kDefaultLayoutCount = 44;
    int imageWidth = 16, imageHeight = 16;
    int buttonWidth = 23, buttonHeight = 23;
    bool loaded = false, dirty = false;
    int id = 1;
    UINT titleId = 5304; // "标准工具栏"
    const char* key = "Standard";
    const char* section = "ToolBars";
    const ToolbarButton* buttons; // kButtonCount entries
    const uint8_t* defaultLayout; // kDefaultLayoutCount entries
    int layoutCount = 0;
    uint8_t layout[255];
    // The image lists by cell size (16, 24, 32 pixels), normal and hot, made when first asked.
    HIMAGELIST images[3][2] = {{nullptr, nullptr}, {nullptr, nullptr}, {nullptr, nullptr}};
    ToolbarButtonSet();
};

// A slot for one background job writing into an output pane; the jobs themselves belong to the
// tool runner and to find in files.
class OutputJob;
struct JobSlot {
    OutputJob* job = nullptr;
};

struct DateTimeFormat {
    std::string format;
    bool isTime;
    UINT command; // 41472 + position
};

// The main frame's side of the reopen list: its documents in template order and their first
// text views.
class ReopenHost {
public:
    struct Document {
        std::string path;
        bool active = false;
        int caretLine = 0;
        void* view = nullptr;
    };
    virtual std::vector<Document> Documents() = 0;
    // The next bookmarked line after `line` (-1 to start), or -1 for none.
    virtual int NextBookmark(void* view, int line) = 0;
    // Opens a path; returns its first text view and line count, or null.
    virtual void* Open(const char* path, int* lineCount) = 0;
    virtual void SetBookmark(void* view, int line) = 0;
    virtual void SetCaretLine(void* view, int line) = 0;
    virtual void ActivateFrameOf(void* view) = 0;

protected:
    ~ReopenHost() = default;
};

class SettingsStore {
public:
    static const int kStringBuffer = 4096;
    static const int kHistoryLimit = 16;
    static const int kMaxTools = 255;

    // programDir: the folder of the INI files with its trailing backslash; by default that of
    // the running executable.
    explicit SettingsStore(const char* programDir = nullptr);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // --- Raw access ---------------------------------------------------------------------
    bool ReadBool(IniFile file, const char* section, const char* key, bool def) const;
    int ReadInt(IniFile file, const char* section, const char* key, int def) const;
    int ReadInt(IniFile file, const char* section, const char* key, int def, int min,
                int max) const;
    void WriteInt(IniFile file, const char* section, const char* key, int value) const;
    // The result lives in one shared buffer, valid until the next string read.
    const char* ReadString(IniFile file, const char* section, const char* key,
                           const char* def = "") const;
    // A null key deletes the whole section; a null value deletes the key.
    void WriteString(IniFile file, const char* section, const char* key, const char* value) const;
    bool ReadStruct(IniFile file, const char* section, const char* key, void* data,
                    UINT size) const;
    void WriteStruct(IniFile file, const char* section, const char* key, const void* data,
                     UINT size) const;

    // --- Paths --------------------------------------------------------------------------
    const char* ProgramDir() const { return m_programDir; }
    const char* IniPath(IniFile file) const { return m_iniPath[file]; }
    const char* HelpPath() const { return m_helpPath; }
    std::string SyntaxTemplateDir() const; // created when missing
    std::string ClipTextDir() const;       // created when missing
    std::string BackupFileName(const char* documentPath) const;
    // The Open dialog's initial folder for the active document's path (null when none).
    const char* ActiveDocumentFolder(const char* activeDocumentPath);

    // --- Start-up and exit --------------------------------------------------------------
    void LoadAll();
    void SaveOnExit();

    // --- General, backup and file change options ----------------------------------------
    void LoadGeneralOptions();
    void SaveGeneralOptions();
    void LoadBackupOptions();
    void SaveBackupOptions();
    GeneralOptions& General() { return m_general; }
    BackupOptions& Backup() { return m_backup; }
    FileChangeOptions& FileChange() { return m_fileChange; }
    void SetGeneralDirty() { m_generalDirty = true; }
    void SetBackupDirty() { m_backupDirty = true; }
    bool IsFirstRun() const { return m_firstRun; }

    // --- Search options and histories ---------------------------------------------------
    SearchOptions& Search(); // loads on first use
    void SetSearchDirty() { m_searchDirty = true; }
    void SaveSearch();
    std::vector<std::string>& History(HistoryKind kind); // loads on first request
    // Takes the items of a combo box as the list (at most `limit`); true when it changed.
    bool UpdateHistory(HistoryKind kind, const std::vector<std::string>& items,
                       int limit = kHistoryLimit);
    bool UpdateHistoryFromCombo(HistoryKind kind, HWND combo, int limit = kHistoryLimit);
    void SaveHistory(HistoryKind kind);
    bool IsHistoryDirty(HistoryKind kind) const { return m_historyDirty[kind]; }

    // --- User tools ---------------------------------------------------------------------
    CLstUserToolInfo& Tools(); // loads on first use
    void SetTools(const CLstUserToolInfo& tools);
    std::vector<std::string>& ToolArgs(); // loads on first use
    bool UpdateToolArgs(const std::vector<std::string>& items, int limit = kHistoryLimit);
    bool UpdateToolArgsFromCombo(HWND combo, int limit = kHistoryLimit);
    void SaveTools(); // the tool list and then the argument history, each when dirty
    // Menu 100 (Tools at position 3) and 101 (Tools at 5, or 6 while a document is maximised).
    void RebuildToolsMenus(HMENU mainMenu, HMENU docMenu, bool docMaximised, HWND frame);
    void RebuildToolsMenu(HMENU tools);

    // --- Key map ------------------------------------------------------------------------
    struct KeyBinding {
        UINT command;
        uint32_t keyCode; // virtual key in the low 16 bits, Shift 0x04 / Control 0x08 / Alt 0x10
                          // in bits 16..20
    };
    // Loads the saved map; when there is one it is installed as *frameTable (when given).
    void LoadKeyMap(HACCEL* frameTable = nullptr);
    void EnsureKeyMap(); // falls back to the built-in accelerator table 100
    // The built-in accelerator table 100 as bindings.
    std::vector<KeyBinding> DefaultKeyMap() const;
    void SaveKeyMap();
    // Creates an accelerator table from the map and makes it *frameTable; the previous table
    // is destroyed when this store created it.
    HACCEL InstallKeyMap(HACCEL* frameTable);
    bool ShortcutText(UINT command, char* buf, int size);
    // The text of a key code: the modifier names in the order Control, Shift, Alt, each
    // followed by " + ", then the key's own name.
    static std::string KeyCodeText(uint32_t keyCode);
    const std::map<uint32_t, KeyBinding>& KeyMap() const { return m_keyMap; }
    void SetKeyMap(const std::vector<KeyBinding>& bindings);
    bool IsKeyMapLoaded() const { return m_keyMapLoaded; }
    bool IsKeyMapDirty() const { return m_keyMapDirty; }

    // --- Editor font --------------------------------------------------------------------
    bool LoadFont();
    bool SetFont(const LOGFONTA& lf);
    void SaveFont();
    HFONT GetFont(int id) const { return id == m_font.id ? m_font.font : nullptr; }
    const FontSlot& Font() const { return m_font; }

    // --- Printing -----------------------------------------------------------------------
    PrintSettings& Print(); // loads on first use
    void SetPrintDirty() { m_printDirty = true; }
    void LoadPrint();
    void SavePrint();
    // Inverse of the stored thousandths.
    static int ToThousandths(double v);

    // --- Toolbar ------------------------------------------------------------------------
    ToolbarButtonSet& Toolbar() { return m_toolbar; }
    void LoadToolbar();
    void SaveToolbar();
    void SetToolbarLayout(const uint8_t* layout, int count);
    const ToolbarButton* ButtonByCommand(UINT command) const;
    const ToolbarButton* ButtonByImage(int image) const;
    // The toolbar's images in cells of `size` pixels (16, 24 or 32; anything else: 16).
    HIMAGELIST ToolbarImages(bool hot, int size = 16);
    // Gives the toolbar the layout's buttons, with the images and button size for dpi.
    bool ApplyToolbarLayout(HWND toolbar, const uint8_t* layout, int count, UINT dpi = 96);

    // --- Reopen list and auto-save ------------------------------------------------------
    void SaveReopenList(ReopenHost& host);
    void RestoreReopenList(ReopenHost& host);
    void SetMainFrame(HWND frame) { m_mainFrame = frame; }
    void ConfigureAutoSave(bool enable, int minutes, bool notSaveUnnamed);
    bool IsAutoSaveOn() const { return m_autoSaveOn; }

    // --- File types and filters ---------------------------------------------------------
    void BuildFileTypeList();
    CLstFileTypeInfo& FileTypes() { return m_fileTypes; }
    FileTypeInfo* FindFileType(const char* path); // loaded, or null when loading fails
    FileTypeInfo* FileTypeByCommand(UINT command);
    bool EnsureLoaded(FileTypeInfo& entry);
    std::string DelimitersForPath(const char* path);
    bool ReplaceFileType(const FileTypeInfo& edited);
    void ReapplyModified(const std::function<void(FileTypeInfo&)>& apply);
    void SaveFileTypes();
    void SetFileTypesDirty() { m_fileTypesDirty = true; }
    bool AreFileTypesDirty() const { return m_fileTypesDirty; }
    void LoadFileFilters(); // with the file change options
    void SaveFileFilters(); // with the file change options
    // A list that is empty after loading (a first run) gets the entries for all files, text
    // files and each file type found, and is written; a list that has entries is left alone.
    void SeedFileFilters();
    CLstFileFilterInfo& FileFilters() { return m_filters; }
    void SetFileFilters(const CLstFileFilterInfo& filters);
    const std::string& FileDialogFilter();
    // Builds the popup of file types and attaches it to the item ID_VIEW_AS of the menu.
    HMENU BuildViewAsMenu(HMENU docMenu);

    // --- Date and time formats ----------------------------------------------------------
    void CollectDateTimeFormats();
    const std::vector<DateTimeFormat>& DateTimeFormats() const { return m_dateTime; }
    std::string FormatNow(size_t index) const;
    HMENU BuildDateTimeMenu(HMENU docMenu);
    void RefreshDateTimeItem(HMENU menu, UINT command);

    // --- Job slots ----------------------------------------------------------------------
    JobSlot m_captureJobs[2];
    JobSlot m_findJobs[2];

private:
    void LoadSearch();
    void LoadHistory(HistoryKind kind);
    void LoadTools();
    void LoadToolArgs();
    void LoadFileTypeOptions(FileTypeInfo& entry);
    void WriteFilterList();
    static void WriteList(const SettingsStore& s, IniFile file, const char* section,
                          const std::vector<std::string>& list, bool quoteBlanks);
    std::string LoadText(UINT id) const;

    char m_programDir[MAX_PATH];
    char m_iniPath[3][MAX_PATH];
    char m_helpPath[MAX_PATH];
    char m_activeFolder[MAX_PATH];
    mutable char m_buffer[kStringBuffer];
    HINSTANCE m_resources;
    HWND m_mainFrame = nullptr;

    GeneralOptions m_general;
    BackupOptions m_backup;
    FileChangeOptions m_fileChange;
    bool m_generalDirty = false, m_backupDirty = false, m_firstRun = false;

    SearchOptions m_search;
    bool m_searchLoaded = false, m_searchDirty = false;
    std::vector<std::string> m_history[4];
    bool m_historyDirty[4] = {false, false, false, false};

    CLstUserToolInfo m_tools;
    bool m_toolsLoaded = false, m_toolsDirty = false;
    std::vector<std::string> m_toolArgs;
    bool m_toolArgsLoaded = false, m_toolArgsDirty = false;

    std::map<uint32_t, KeyBinding> m_keyMap;
    bool m_keyMapLoaded = false, m_keyMapDirty = false;
    HACCEL m_accel[2] = {nullptr, nullptr};

    FontSlot m_font;
    PrintSettings m_print;
    bool m_printLoaded = false, m_printDirty = false;
    ToolbarButtonSet m_toolbar;
    bool m_autoSaveOn = false;

    CLstFileTypeInfo m_fileTypes;
    bool m_fileTypesDirty = false;
    CLstFileFilterInfo m_filters;
    bool m_filtersDirty = false;
    std::string m_filterString;
    bool m_filterStringValid = false;

    std::vector<DateTimeFormat> m_dateTime;
};

// The one store of the process (the last one created).
SettingsStore* GetSettings();
