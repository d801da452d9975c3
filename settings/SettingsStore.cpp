// The settings store: raw profile access, paths, options, search histories, font, printing,
// reopen list and auto-save. Layer: settings/.
#include "settings/SettingsStore.h"

#include "settings/IniCodec.h"
#include "settings/SettingsIds.h"
#include "common/PathName.h"
#include "textdoc/FileIO.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

SettingsStore* g_settings = nullptr;

const char* const kIniNames[3] = {"QUORVANE.INI", "SETTINGS.INI", "FILETYPE.INI"};
const char* const kHistorySections[4] = {"HistoryFind", "HistoryReplace", "HistoryFilters",
                                         "HistorySearchPath"};

void CopyPath(char* dst, const std::string& src) {
    size_t n = src.size() < MAX_PATH - 1 ? src.size() : MAX_PATH - 1;
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

bool IsAllBlanks(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s) {
        if (c != ' ' && c != '\t')
            return false;
    }
    return true;
}

LOGFONTA DefaultEditorFont() {
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof lf);
    lf.lfWeight = 400;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Courier New");
    return lf;
}

const LOGFONTA g_defaultEditorFont = DefaultEditorFont();

// The characters of a number as NumberList writes it.
size_t NumberLength(int value) {
    char buf[16];
    int n = std::snprintf(buf, sizeof buf, "%d", value);
    return n > 0 ? static_cast<size_t>(n) : 0;
}

// Drops the last item of a number list that the raw read buffer cut short: a value read at the
// full length of the buffer is read once more with one character more, and unless that character
// separates items, the text after the last separator is a cut number.
void DropCutNumber(std::string& text, const char* path, const char* section, const char* key,
                   size_t bufferSize) {
    if (text.size() + 1 < bufferSize)
        return;
    std::vector<char> probe(bufferSize + 1);
    GetPrivateProfileStringA(section, key, "", probe.data(), static_cast<DWORD>(probe.size()),
                             path);
    if (std::strlen(probe.data()) < bufferSize)
        return; // the value ends in the buffer
    char next = probe[bufferSize - 1];
    if (next == ',' || next == ' ' || next == '\t')
        return;
    size_t cut = text.find_last_of(", \t");
    text.resize(cut == std::string::npos ? 0 : cut);
}

} // namespace

SettingsStore* GetSettings() {
    return g_settings;
}

PrintSettings::PrintSettings() {
    std::memset(&font, 0, sizeof font);
}

SettingsStore::SettingsStore(const char* programDir) {
    std::string dir;
    if (programDir) {
        dir = FxPathWithSeparator(programDir);
    } else {
        char exe[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        dir.assign(exe, n < MAX_PATH ? n : 0);
        dir.resize(FxPathNameStart(dir));
    }
    CopyPath(m_programDir, dir);
    for (int i = 0; i < 3; ++i)
        CopyPath(m_iniPath[i], std::string(m_programDir) + kIniNames[i]);
    // The help file is named after the executable.
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string base = FxPathBaseName(std::string(exe, n < MAX_PATH ? n : 0));
    CopyPath(m_helpPath, std::string(m_programDir) + base + ".CHM");
    m_activeFolder[0] = 0;
    m_buffer[0] = 0;
    m_resources = GetModuleHandleA(nullptr);
    m_font.current = g_defaultEditorFont;
    m_font.defaultFont = &g_defaultEditorFont;
    g_settings = this;
}

SettingsStore::~SettingsStore() {
    for (HACCEL& a : m_accel) {
        if (a)
            DestroyAcceleratorTable(a);
        a = nullptr;
    }
    if (m_font.font)
        DeleteObject(m_font.font);
    for (auto& lists : m_toolbar.images)
        for (HIMAGELIST& il : lists) {
            if (il)
                ImageList_Destroy(il);
            il = nullptr;
        }
    if (g_settings == this)
        g_settings = nullptr;
}

std::string SettingsStore::LoadText(UINT id) const {
    char buf[kStringBuffer];
    int n = LoadStringA(m_resources, id, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

// --- Raw access --------------------------------------------------------------------------

bool SettingsStore::ReadBool(IniFile file, const char* section, const char* key, bool def) const {
    return GetPrivateProfileIntA(section, key, def ? 1 : 0, m_iniPath[file]) != 0;
}

int SettingsStore::ReadInt(IniFile file, const char* section, const char* key, int def) const {
    return static_cast<int>(GetPrivateProfileIntA(section, key, def, m_iniPath[file]));
}

int SettingsStore::ReadInt(IniFile file, const char* section, const char* key, int def, int min,
                           int max) const {
    if (min > max) {
        int t = min;
        min = max;
        max = t;
    }
    int v = ReadInt(file, section, key, def);
    return v < min ? min : v > max ? max : v;
}

void SettingsStore::WriteInt(IniFile file, const char* section, const char* key, int value) const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    WritePrivateProfileStringA(section, key, buf, m_iniPath[file]);
}

const char* SettingsStore::ReadString(IniFile file, const char* section, const char* key,
                                      const char* def) const {
    GetPrivateProfileStringA(section, key, def ? def : "", m_buffer, kStringBuffer,
                             m_iniPath[file]);
    return m_buffer;
}

void SettingsStore::WriteString(IniFile file, const char* section, const char* key,
                                const char* value) const {
    WritePrivateProfileStringA(section, key, key ? value : nullptr, m_iniPath[file]);
}

bool SettingsStore::ReadStruct(IniFile file, const char* section, const char* key, void* data,
                               UINT size) const {
    std::memset(data, 0, size);
    if (GetPrivateProfileStructA(section, key, data, size, m_iniPath[file]))
        return true;
    std::memset(data, 0, size);
    return false;
}

void SettingsStore::WriteStruct(IniFile file, const char* section, const char* key,
                                const void* data, UINT size) const {
    WritePrivateProfileStructA(section, key, const_cast<void*>(data), size, m_iniPath[file]);
}

// --- Paths -------------------------------------------------------------------------------

std::string SettingsStore::SyntaxTemplateDir() const {
    std::string d = std::string(m_programDir) + "STF";
    CreateDirectoryA(d.c_str(), nullptr);
    return d + "\\";
}

std::string SettingsStore::ClipTextDir() const {
    std::string d = std::string(m_programDir) + "CTF";
    CreateDirectoryA(d.c_str(), nullptr);
    return d + "\\";
}

std::string SettingsStore::BackupFileName(const char* documentPath) const {
    return MakeBackupName(documentPath ? documentPath : "", m_backup.backupPath.c_str());
}

const char* SettingsStore::ActiveDocumentFolder(const char* activeDocumentPath) {
    m_activeFolder[0] = 0;
    if (m_general.useActiveFileDirOnFileOpen && activeDocumentPath && *activeDocumentPath) {
        CopyPath(m_activeFolder, FxPathFolder(activeDocumentPath));
    }
    return m_activeFolder;
}

// --- Start-up and exit -------------------------------------------------------------------

void SettingsStore::LoadAll() {
    LoadGeneralOptions();
    LoadFileFilters();
    BuildFileTypeList();
    SeedFileFilters();
    LoadFont();
    LoadBackupOptions();
}

void SettingsStore::SaveOnExit() {
    SaveFileTypes();
    SaveSearch();
    for (int k = 0; k < 4; ++k)
        SaveHistory(static_cast<HistoryKind>(k));
}

// --- General and backup options ----------------------------------------------------------

void SettingsStore::LoadGeneralOptions() {
    const char* s = "Settings";
    m_firstRun = ReadBool(IniSettings, s, "FT", true);
    if (m_firstRun)
        WriteInt(IniSettings, s, "FT", 0);
    GeneralOptions& g = m_general;
    g.allowMultipleInstances = ReadBool(IniSettings, s, "AllowMultipleInstances", false);
    g.useActiveFileDirOnFileOpen = ReadBool(IniSettings, s, "UseActiveFileDirOnFileOpen", true);
    g.createNewDocOnStartup = ReadBool(IniSettings, s, "CreateNewDocOnStartup", false);
    g.reloadOpenFiles = ReadBool(IniSettings, s, "ReloadOpenFiles", true);
    g.minimizeToSysTray = ReadBool(IniSettings, s, "MinimizeToSysTray", false);
    g.recentFiles = ReadInt(IniSettings, s, "RecentFiles", 8, 0, 16);
    g.lineSpacing = ReadInt(IniSettings, s, "LineSpacing", 0, 0, 240);
    g.lineNumberAndTextSpacing = ReadInt(IniSettings, s, "LineNumberAndTextSpacing", 0, 0, 320);
    m_generalDirty = false;
}

void SettingsStore::SaveGeneralOptions() {
    if (!m_generalDirty)
        return;
    const char* s = "Settings";
    const GeneralOptions& g = m_general;
    WriteInt(IniSettings, s, "AllowMultipleInstances", g.allowMultipleInstances);
    WriteInt(IniSettings, s, "UseActiveFileDirOnFileOpen", g.useActiveFileDirOnFileOpen);
    WriteInt(IniSettings, s, "CreateNewDocOnStartup", g.createNewDocOnStartup);
    WriteInt(IniSettings, s, "ReloadOpenFiles", g.reloadOpenFiles);
    WriteInt(IniSettings, s, "MinimizeToSysTray", g.minimizeToSysTray);
    WriteInt(IniSettings, s, "RecentFiles", g.recentFiles);
    WriteInt(IniSettings, s, "LineSpacing", g.lineSpacing);
    WriteInt(IniSettings, s, "LineNumberAndTextSpacing", g.lineNumberAndTextSpacing);
    m_generalDirty = false;
}

void SettingsStore::LoadBackupOptions() {
    const char* s = "Settings";
    BackupOptions& b = m_backup;
    b.autoSave = ReadBool(IniSettings, s, "AutoSave", false);
    b.notSaveUnnamedFile = ReadBool(IniSettings, s, "NotSaveUnnamedFile", true);
    b.autoSaveInterval = ReadInt(IniSettings, s, "AutoSaveInterval", 1, 1, 60);
    b.backupFileOnSave = ReadBool(IniSettings, s, "BackupFileOnSave", false);
    b.backupPath = ReadString(IniSettings, s, "BackupPath");
    b.recoveryCopies = ReadBool(IniSettings, s, "RecoveryCopies", true);
    if (b.backupPath.size() > MAX_PATH - 1)
        b.backupPath.resize(MAX_PATH - 1);
    m_backupDirty = false;
}

void SettingsStore::SaveBackupOptions() {
    if (!m_backupDirty)
        return;
    const char* s = "Settings";
    const BackupOptions& b = m_backup;
    WriteInt(IniSettings, s, "AutoSave", b.autoSave);
    WriteInt(IniSettings, s, "NotSaveUnnamedFile", b.notSaveUnnamedFile);
    WriteInt(IniSettings, s, "AutoSaveInterval", b.autoSaveInterval);
    WriteInt(IniSettings, s, "BackupFileOnSave", b.backupFileOnSave);
    WriteString(IniSettings, s, "BackupPath", b.backupPath.c_str());
    WriteInt(IniSettings, s, "RecoveryCopies", b.recoveryCopies);
    m_backupDirty = false;
}

// --- Search options and histories --------------------------------------------------------

SearchOptions& SettingsStore::Search() {
    if (!m_searchLoaded)
        LoadSearch();
    return m_search;
}

void SettingsStore::LoadSearch() {
    const char* s = "Search";
    m_search.down = ReadBool(IniProfile, s, "Down", true);
    m_search.matchCase = ReadBool(IniProfile, s, "Case", false);
    m_search.wholeWord = ReadBool(IniProfile, s, "WholeWord", false);
    m_search.regExp = ReadBool(IniProfile, s, "RegExp", false);
    m_search.lookInSubFolders = ReadBool(IniProfile, s, "LookInSubFolders", true);
    m_searchLoaded = true;
    m_searchDirty = false;
}

void SettingsStore::SaveSearch() {
    if (!m_searchDirty)
        return;
    const char* s = "Search";
    WriteInt(IniProfile, s, "Down", m_search.down);
    WriteInt(IniProfile, s, "Case", m_search.matchCase);
    WriteInt(IniProfile, s, "WholeWord", m_search.wholeWord);
    WriteInt(IniProfile, s, "RegExp", m_search.regExp);
    WriteInt(IniProfile, s, "LookInSubFolders", m_search.lookInSubFolders);
    m_searchDirty = false;
}

void SettingsStore::LoadHistory(HistoryKind kind) {
    std::vector<std::string>& list = m_history[kind];
    list.clear();
    char key[8];
    for (int i = 0; i < kHistoryLimit; ++i) {
        std::snprintf(key, sizeof key, "%02d", i);
        const char* v = ReadString(IniProfile, kHistorySections[kind], key);
        if (!*v)
            break;
        list.push_back(v);
    }
}

std::vector<std::string>& SettingsStore::History(HistoryKind kind) {
    if (!m_historyDirty[kind] && m_history[kind].empty())
        LoadHistory(kind);
    return m_history[kind];
}

namespace {

bool UpdateList(std::vector<std::string>& list, const std::vector<std::string>& items, int limit) {
    size_t count = items.size() < static_cast<size_t>(limit) ? items.size() : limit;
    bool changed = false;
    for (size_t i = 0; i < count; ++i) {
        if (i < list.size()) {
            if (list[i] != items[i]) {
                list[i] = items[i];
                changed = true;
            }
        } else {
            list.push_back(items[i]);
            changed = true;
        }
    }
    if (list.size() > count) {
        list.resize(count);
        changed = true;
    }
    return changed;
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        if (len < 0)
            len = 0;
        std::string text(static_cast<size_t>(len) + 1, '\0');
        LRESULT got = SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(text);
    }
    return items;
}

} // namespace

bool SettingsStore::UpdateHistory(HistoryKind kind, const std::vector<std::string>& items,
                                  int limit) {
    History(kind);
    bool changed = UpdateList(m_history[kind], items, limit);
    if (changed)
        m_historyDirty[kind] = true;
    return changed;
}

bool SettingsStore::UpdateHistoryFromCombo(HistoryKind kind, HWND combo, int limit) {
    return UpdateHistory(kind, ComboItems(combo), limit);
}

void SettingsStore::WriteList(const SettingsStore& s, IniFile file, const char* section,
                              const std::vector<std::string>& list, bool quoteBlanks) {
    s.WriteString(file, section, nullptr, nullptr);
    char key[8];
    for (size_t i = 0; i < list.size() && i < static_cast<size_t>(kHistoryLimit); ++i) {
        if (list[i].empty())
            break;
        // The profile functions strip surrounding quotes when reading: quoting keeps blanks.
        // Only the file gets the quotes; the list keeps the text that was searched for.
        const std::string value =
            quoteBlanks && IsAllBlanks(list[i]) ? "\"" + list[i] + "\"" : list[i];
        std::snprintf(key, sizeof key, "%02d", static_cast<int>(i));
        s.WriteString(file, section, key, value.c_str());
    }
}

void SettingsStore::SaveHistory(HistoryKind kind) {
    if (!m_historyDirty[kind])
        return;
    WriteList(*this, IniProfile, kHistorySections[kind], m_history[kind], true);
    m_historyDirty[kind] = false;
}

// --- Editor font -------------------------------------------------------------------------

bool SettingsStore::LoadFont() {
    LOGFONTA lf;
    if (!ReadStruct(IniSettings, m_font.section, m_font.key, &lf, sizeof lf))
        lf = *m_font.defaultFont;
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    if (m_font.font) {
        if (!DeleteObject(m_font.font))
            return false;
        m_font.font = nullptr;
    }
    m_font.current = lf;
    m_font.font = CreateFontIndirectA(&lf);
    m_font.created = m_font.font != nullptr;
    m_font.dirty = false;
    return m_font.created;
}

bool SettingsStore::SetFont(const LOGFONTA& lf) {
    HFONT f = CreateFontIndirectA(&lf);
    if (!f)
        return false;
    if (m_font.font)
        DeleteObject(m_font.font);
    m_font.font = f;
    m_font.current = lf;
    m_font.created = true;
    m_font.dirty = true;
    return true;
}

void SettingsStore::SaveFont() {
    if (!m_font.dirty)
        return;
    WriteStruct(IniSettings, m_font.section, m_font.key, &m_font.current, sizeof m_font.current);
    m_font.dirty = false;
}

// --- Printing ----------------------------------------------------------------------------

int SettingsStore::ToThousandths(double v) {
    // Truncated, but a value read back from thousandths must give the same thousandths: 0.29
    // is 0.28999999999999998 in binary and would otherwise be written back as 289.
    return static_cast<int>(v * 1000.0 + (v >= 0 ? 1e-6 : -1e-6));
}

PrintSettings& SettingsStore::Print() {
    if (!m_printLoaded)
        LoadPrint();
    return m_print;
}

void SettingsStore::LoadPrint() {
    const char* s = "Printing";
    const int kMax = 2147483647;
    PrintSettings& p = m_print;
    p.marginLeft = ReadInt(IniSettings, s, "MarginLeft", 550, 0, kMax) / 1000.0;
    p.marginTop = ReadInt(IniSettings, s, "MarginTop", 550, 0, kMax) / 1000.0;
    p.marginRight = ReadInt(IniSettings, s, "MarginRight", 550, 0, kMax) / 1000.0;
    p.marginBottom = ReadInt(IniSettings, s, "MarginBottom", 550, 0, kMax) / 1000.0;
    p.spacingHeader = ReadInt(IniSettings, s, "SpacingHeaderAndText", 200, 0, kMax) / 1000.0;
    p.spacingFooter = ReadInt(IniSettings, s, "SpacingFooterAndText", 200, 0, kMax) / 1000.0;
    p.marginUnit = ReadInt(IniSettings, s, "MarginUnit", 0, 0, 1);
    p.header = ReadString(IniSettings, s, "Header");
    if (p.header.empty())
        p.header = LoadText(IDS_PRINT_HEADER_DEFAULT);
    p.footer = ReadString(IniSettings, s, "Footer");
    if (p.footer.empty())
        p.footer = LoadText(IDS_PRINT_FOOTER_DEFAULT);
    p.headerSep = ReadBool(IniSettings, s, "HeaderSep", true);
    p.footerSep = ReadBool(IniSettings, s, "FooterSep", true);
    p.ignoreSyntaxColor = ReadBool(IniSettings, s, "IgnoreSyntaxColor", false);
    p.customFont = ReadBool(IniSettings, s, "CustomHeaderFooterFont", false);
    p.color = 0;
    std::memset(&p.font, 0, sizeof p.font);
    if (p.customFont) {
        p.color = static_cast<COLORREF>(ReadInt(IniSettings, s, "HeaderFooterColor",
                                                static_cast<int>(GetSysColor(COLOR_WINDOWTEXT))));
        ReadStruct(IniSettings, s, "HeaderFooterFont", &p.font, sizeof p.font);
        p.font.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    m_printLoaded = true;
    m_printDirty = false;
}

void SettingsStore::SavePrint() {
    if (!m_printDirty)
        return;
    const char* s = "Printing";
    const PrintSettings& p = m_print;
    WriteInt(IniSettings, s, "MarginLeft", ToThousandths(p.marginLeft));
    WriteInt(IniSettings, s, "MarginTop", ToThousandths(p.marginTop));
    WriteInt(IniSettings, s, "MarginRight", ToThousandths(p.marginRight));
    WriteInt(IniSettings, s, "MarginBottom", ToThousandths(p.marginBottom));
    WriteInt(IniSettings, s, "SpacingHeaderAndText", ToThousandths(p.spacingHeader));
    WriteInt(IniSettings, s, "SpacingFooterAndText", ToThousandths(p.spacingFooter));
    WriteInt(IniSettings, s, "MarginUnit", p.marginUnit);
    WriteString(IniSettings, s, "Header", p.header.empty() ? "empty" : p.header.c_str());
    WriteString(IniSettings, s, "Footer", p.footer.empty() ? "empty" : p.footer.c_str());
    WriteInt(IniSettings, s, "HeaderSep", p.headerSep);
    WriteInt(IniSettings, s, "FooterSep", p.footerSep);
    WriteInt(IniSettings, s, "IgnoreSyntaxColor", p.ignoreSyntaxColor);
    WriteInt(IniSettings, s, "CustomHeaderFooterFont", p.customFont);
    WriteInt(IniSettings, s, "HeaderFooterColor", static_cast<int>(p.color));
    WriteStruct(IniSettings, s, "HeaderFooterFont", &p.font, sizeof p.font);
    m_printDirty = false;
}

// --- Reopen list and auto-save -----------------------------------------------------------

void SettingsStore::SaveReopenList(ReopenHost& host) {
    char section[16];
    for (int i = 0; i < 255; ++i) {
        std::snprintf(section, sizeof section, "File%02X", i);
        if (!*ReadString(IniProfile, section, "File"))
            break;
        WriteString(IniProfile, section, nullptr, nullptr);
    }
    int active = 0, index = 0;
    if (m_general.reloadOpenFiles) {
        std::vector<ReopenHost::Document> docs = host.Documents();
        for (size_t d = 0; d < docs.size() && d < 255; ++d) {
            const ReopenHost::Document& doc = docs[d];
            if (doc.path.empty())
                continue;
            std::snprintf(section, sizeof section, "File%02X", index);
            WriteString(IniProfile, section, "File", doc.path.c_str());
            if (doc.view) {
                if (doc.active)
                    active = index;
                WriteInt(IniProfile, section, "ActiveLine", doc.caretLine);
                // Whole numbers only, as many as the raw read buffer takes back with its
                // terminator.
                std::vector<int> marks;
                size_t length = 0;
                for (int line = host.NextBookmark(doc.view, -1); line >= 0;
                     line = host.NextBookmark(doc.view, line)) {
                    if (!marks.empty() && line <= marks.back())
                        break; // a view that wraps around
                    size_t next = length + (marks.empty() ? 0 : 1) + NumberLength(line);
                    if (next > static_cast<size_t>(kStringBuffer - 1))
                        break;
                    length = next;
                    marks.push_back(line);
                }
                WriteString(IniProfile, section, "Bookmarks", NumberList::Format(marks).c_str());
            }
            ++index;
        }
    }
    WriteInt(IniProfile, "Settings", "ActiveFile", active);
}

void SettingsStore::RestoreReopenList(ReopenHost& host) {
    if (!m_general.reloadOpenFiles)
        return;
    int active = ReadInt(IniProfile, "Settings", "ActiveFile", 0, 0, 255);
    void* activeView = nullptr;
    char section[16];
    for (int i = 0; i < 255; ++i) {
        std::snprintf(section, sizeof section, "File%02X", i);
        std::string path = ReadString(IniProfile, section, "File");
        if (path.empty())
            break;
        int lines = 0;
        void* view = host.Open(path.c_str(), &lines);
        if (!view)
            continue;
        if (i == active)
            activeView = view;
        std::string marks = ReadString(IniProfile, section, "Bookmarks");
        DropCutNumber(marks, m_iniPath[IniProfile], section, "Bookmarks", kStringBuffer);
        for (int line : NumberList::Parse(marks.c_str())) {
            if (line < 0 || line >= lines)
                break;
            host.SetBookmark(view, line);
        }
        host.SetCaretLine(view, ReadInt(IniProfile, section, "ActiveLine", 0));
    }
    if (activeView)
        host.ActivateFrameOf(activeView);
}

void SettingsStore::ConfigureAutoSave(bool enable, int minutes, bool notSaveUnnamed) {
    if (minutes < 2)
        minutes = 1;
    if (minutes >= 60)
        minutes = 60;
    m_backup.autoSaveInterval = minutes;
    m_backup.notSaveUnnamedFile = notSaveUnnamed;
    m_autoSaveOn = false;
    if (m_mainFrame) {
        KillTimer(m_mainFrame, 1);
        if (enable)
            m_autoSaveOn =
                SetTimer(m_mainFrame, 1, static_cast<UINT>(minutes) * 60000u, nullptr) != 0;
    }
}
