// File types and file filters of the settings store (FILETYPE.INI), and the ViewAsMenu.
// Layer: settings/.
#include "settings/FileTypes.h"

#include "settings/IniCodec.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"
#include "common/PathName.h"
#include "textview/SyntaxTemplate.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

std::string FileTypeSection(const FileTypeInfo& e) {
    if (e.IsDefault())
        return "Default";
    return FxPathBaseName(e.templatePath);
}

namespace {

void Trim(std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) {
        s.clear();
        return;
    }
    size_t e = s.find_last_not_of(" \t");
    s = s.substr(b, e - b + 1);
}

const char* const kOptionKeys[] = {"Ruler",       "LineNumber",        "Whitespace",
                                   "LineBreak",   "ExpandTabToSpaces", "DragDrop",
                                   "HomeKeyGFNW", "SyncTextBkWithSys", "SyncActLineWithTextBk"};

int* OptionField(FileTypeInfo& e, int i) {
    int* fields[] = {&e.ruler,       &e.lineNumber,        &e.whitespace,
                     &e.lineBreak,   &e.expandTabToSpaces, &e.dragDrop,
                     &e.homeKeyGFNW, &e.syncTextBkWithSys, &e.syncActLineWithTextBk};
    return fields[i];
}

const int kOptionDefaults[] = {1, 1, 1, 1, 0, 1, 1, 1, 0};

} // namespace

void SettingsStore::BuildFileTypeList() {
    m_fileTypes.clear();
    FileTypeInfo def = MakeDefaultFileType(LoadText(IDS_FILETYPE_DEFAULT));
    std::string des = ReadString(IniFileTypes, "Default", "Des");
    std::string ext = ReadString(IniFileTypes, "Default", "Ext");
    std::string delims = ReadString(IniFileTypes, "Default", "Delimiters");
    if (!des.empty() && !ext.empty() && !delims.empty()) {
        def.title = des;
        def.extensions = ext;
        def.delimiters = delims;
        def.loaded = false; // options and colours are read on first use
    }
    m_fileTypes.push_back(def);

    std::string dir = SyntaxTemplateDir();
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "*.STF").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        FileTypeInfo e = m_fileTypes.front();
        e.syntax.Reset();
        e.hasSyntax = false;
        e.loaded = false;
        e.optionsLoaded = false;
        e.modified = false;
        e.templatePath = dir + fd.cFileName;
        std::string section = FileTypeSection(e);
        des = ReadString(IniFileTypes, section.c_str(), "Des");
        ext = ReadString(IniFileTypes, section.c_str(), "Ext");
        delims = ReadString(IniFileTypes, section.c_str(), "Delimiters");
        if (des.empty() || ext.empty() || delims.empty()) {
            SyntaxTemplate t;
            if (!t.Open(e.templatePath.c_str()))
                continue;
            if (!t.GetValue("Title", des) || !t.GetValue("Extensions", ext) ||
                !t.GetValue("Delimiters", delims) || des.empty() || ext.empty() || delims.empty())
                continue;
            WriteString(IniFileTypes, section.c_str(), "Des", des.c_str());
            WriteString(IniFileTypes, section.c_str(), "Ext", ext.c_str());
            WriteString(IniFileTypes, section.c_str(), "Delimiters", delims.c_str());
            e.modified = true;
            m_fileTypesDirty = true;
        }
        e.title = des;
        e.extensions = ext;
        e.delimiters = delims;
        Trim(e.title);
        Trim(e.extensions);
        Trim(e.delimiters);
        Trim(e.templatePath);
        m_fileTypes.push_back(e);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

void SettingsStore::LoadFileTypeOptions(FileTypeInfo& e) {
    std::string section = FileTypeSection(e);
    const char* s = section.c_str();
    e.tabSize = ReadInt(IniFileTypes, s, "Tab", 8, 1, 64);
    e.indentSize = ReadInt(IniFileTypes, s, "IndentSize", 0, 0, 80);
    e.wrapStyle = ReadInt(IniFileTypes, s, "WrapStyle", 1, 1, 2);
    e.wrapWidth = ReadInt(IniFileTypes, s, "WrapWidth", 80, 1, 8192);
    e.wrapOnLoad = ReadBool(IniFileTypes, s, "WrapOnLoad", false);
    for (int i = 0; i < 9; ++i)
        *OptionField(e, i) = ReadBool(IniFileTypes, s, kOptionKeys[i], kOptionDefaults[i] != 0);
    std::vector<int> colors = NumberList::Parse(ReadString(IniFileTypes, s, "DefColors"));
    for (int i = 0; i < FxColorSlotCount; ++i)
        e.colors[kDefColorsOrder[i]] = i < static_cast<int>(colors.size())
                                           ? static_cast<COLORREF>(colors[i])
                                           : DefaultColorAt(i);
}

bool SettingsStore::EnsureLoaded(FileTypeInfo& e) {
    if (e.loaded)
        return true;
    // Read once: options edited while the template could not be read are kept.
    if (!e.optionsLoaded) {
        LoadFileTypeOptions(e);
        e.optionsLoaded = true;
    }
    e.syntax.Reset();
    if (!e.IsDefault()) {
        std::string section = FileTypeSection(e);
        bool opened = e.syntax.LoadFile(
            e.templatePath.c_str(), [&](const std::string& group, uint32_t& colour) {
                std::string key = "clr_" + group;
                const char* v = ReadString(IniFileTypes, section.c_str(), key.c_str());
                unsigned int c;
                if (*v && std::sscanf(v, "#%X", &c) == 1)
                    colour = c;
            });
        if (!opened)
            return false;
    }
    e.hasSyntax = e.syntax.HasSyntax();
    e.syntax.SetDelimiters(e.delimiters.data(), static_cast<int>(e.delimiters.size()));
    e.loaded = true;
    return true;
}

FileTypeInfo* SettingsStore::FindFileType(const char* path) {
    if (m_fileTypes.empty())
        return nullptr;
    std::string pattern;
    if (path && *path) {
        pattern = "*" + FxPathExtension(path);
    }
    FileTypeInfo* result = nullptr;
    for (FileTypeInfo& e : m_fileTypes) {
        const char* p = e.extensions.c_str();
        while (!result) {
            const char* semi = std::strchr(p, ';');
            size_t len = semi ? static_cast<size_t>(semi - p) : std::strlen(p);
            if (len == 0)
                break; // an empty item ends this entry's walk
            std::string item(p, len < 259 ? len : 259);
            if (PathMatchSpecA(pattern.c_str(), item.c_str()))
                result = &e;
            if (!semi)
                break;
            p = semi + 1;
            while (*p == ' ' || *p == '\t')
                ++p;
        }
        if (result)
            break;
    }
    if (!result)
        result = &m_fileTypes.front();
    return EnsureLoaded(*result) ? result : nullptr;
}

FileTypeInfo* SettingsStore::FileTypeByCommand(UINT command) {
    for (FileTypeInfo& e : m_fileTypes) {
        if (e.menuId == command)
            return &e;
    }
    return nullptr;
}

std::string SettingsStore::DelimitersForPath(const char* path) {
    FileTypeInfo* e = FindFileType(path);
    return e ? e->delimiters : std::string(kDefaultDelimiters);
}

bool SettingsStore::ReplaceFileType(const FileTypeInfo& edited) {
    for (FileTypeInfo& e : m_fileTypes) {
        if (e.templatePath == edited.templatePath) {
            UINT menuId = e.menuId;
            e = edited;
            e.menuId = menuId;
            e.modified = true;
            m_fileTypesDirty = true;
            return true;
        }
    }
    return false;
}

void SettingsStore::ReapplyModified(const std::function<void(FileTypeInfo&)>& apply) {
    for (FileTypeInfo& e : m_fileTypes) {
        if (e.loaded && e.modified)
            apply(e);
    }
}

void SettingsStore::SaveFileTypes() {
    if (!m_fileTypesDirty)
        return;
    for (FileTypeInfo& e : m_fileTypes) {
        // A type whose template cannot be read keeps its edited options and colours; only its
        // group colours need the template.
        if (!(e.loaded || e.optionsLoaded) || !e.modified)
            continue;
        std::string section = FileTypeSection(e);
        const char* s = section.c_str();
        WriteString(IniFileTypes, s, "Des", e.title.c_str());
        WriteString(IniFileTypes, s, "Ext", e.extensions.c_str());
        WriteString(IniFileTypes, s, "Delimiters", e.delimiters.c_str());
        WriteInt(IniFileTypes, s, "Tab", e.tabSize);
        WriteInt(IniFileTypes, s, "IndentSize", e.indentSize);
        WriteInt(IniFileTypes, s, "WrapStyle", e.wrapStyle);
        WriteInt(IniFileTypes, s, "WrapWidth", e.wrapWidth);
        WriteInt(IniFileTypes, s, "WrapOnLoad", e.wrapOnLoad);
        for (int i = 0; i < 9; ++i)
            WriteInt(IniFileTypes, s, kOptionKeys[i], *OptionField(e, i));
        std::vector<int> colors;
        for (int i = 0; i < FxColorSlotCount; ++i)
            colors.push_back(static_cast<int>(e.colors[kDefColorsOrder[i]]));
        WriteString(IniFileTypes, s, "DefColors", NumberList::Format(colors).c_str());
        for (int g = 0; g < e.syntax.GroupCount(); ++g) {
            char value[16];
            std::snprintf(value, sizeof value, "#%06X",
                          static_cast<unsigned>(e.syntax.Group(g).colour));
            std::string key = std::string("clr_") + e.syntax.Group(g).name;
            WriteString(IniFileTypes, s, key.c_str(), value);
        }
        e.modified = false;
    }
    m_fileTypesDirty = false;
}

// --- File filters ------------------------------------------------------------------------

void SettingsStore::LoadFileFilters() {
    m_fileChange.detectFileChanges = ReadBool(IniSettings, "Settings", "DetectFileChanges", true);
    m_fileChange.autoReload = ReadBool(IniSettings, "Settings", "AutoReload", false);
    m_fileChange.protectReadOnly = ReadBool(IniSettings, "Settings", "ProtectReadOnly", true);
    m_filters.clear();
    char key[8];
    for (int i = 0; i < 255; ++i) {
        std::snprintf(key, sizeof key, "%02d", i);
        std::string rec = ReadString(IniFileTypes, "FileTypes", key);
        if (rec.empty())
            break;
        FileFilterInfo f;
        f.del = FieldRecord::GetInt(rec.c_str(), "Del", 0);
        f.mod = FieldRecord::GetInt(rec.c_str(), "Mod", 0);
        FieldRecord::GetString(rec.c_str(), "Des", f.description);
        FieldRecord::GetString(rec.c_str(), "Ext", f.patterns);
        if (!f.description.empty() && !f.patterns.empty())
            m_filters.push_back(f);
    }
    m_filtersDirty = false;
    m_filterStringValid = false;
}

void SettingsStore::SetFileFilters(const CLstFileFilterInfo& filters) {
    m_filters.clear();
    for (const FileFilterInfo& f : filters) {
        if (!f.description.empty() && !f.patterns.empty())
            m_filters.push_back(f);
    }
    m_filtersDirty = true;
    m_filterStringValid = false;
}

void SettingsStore::SaveFileFilters() {
    if (!m_filtersDirty)
        return;
    WriteInt(IniSettings, "Settings", "DetectFileChanges", m_fileChange.detectFileChanges);
    WriteInt(IniSettings, "Settings", "AutoReload", m_fileChange.autoReload);
    WriteInt(IniSettings, "Settings", "ProtectReadOnly", m_fileChange.protectReadOnly);
    WriteFilterList();
    m_filtersDirty = false;
}

void SettingsStore::WriteFilterList() {
    WriteString(IniFileTypes, "FileTypes", nullptr, nullptr);
    char key[8];
    int i = 0;
    for (const FileFilterInfo& f : m_filters) {
        if (i >= 255)
            break;
        std::snprintf(key, sizeof key, "%02d", i++);
        FieldRecord r;
        r.Add("Mod", f.mod ? 1 : 0).Add("Del", f.del ? 1 : 0);
        r.Add("Des", f.description).Add("Ext", f.patterns);
        WriteString(IniFileTypes, "FileTypes", key, r.Text().c_str());
    }
}

void SettingsStore::SeedFileFilters() {
    if (!m_filters.empty())
        return;
    auto add = [this](const std::string& description, const std::string& patterns) {
        FileFilterInfo f;
        f.description = description;
        f.patterns = patterns;
        Trim(f.description);
        Trim(f.patterns);
        if (!f.description.empty() && !f.patterns.empty())
            m_filters.push_back(f);
    };
    add(LoadText(IDS_FILTER_ALL_FILES), "*.*");
    add(LoadText(IDS_FILTER_TEXT_FILES), "*.txt");
    for (const FileTypeInfo& e : m_fileTypes) {
        if (e.IsDefault())
            continue;
        // "*.c; *.h" as the dialogs want it: no blanks around the separators.
        std::string patterns;
        size_t from = 0;
        for (;;) {
            const size_t semi = e.extensions.find(';', from);
            std::string item = e.extensions.substr(
                from, semi == std::string::npos ? std::string::npos : semi - from);
            Trim(item);
            if (!item.empty())
                patterns += (patterns.empty() ? "" : ";") + item;
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        add(e.title, patterns);
    }
    if (m_filters.empty())
        return;
    WriteFilterList();
    m_filterStringValid = false;
}

const std::string& SettingsStore::FileDialogFilter() {
    if (!m_filterStringValid) {
        m_filterString.clear();
        for (FileFilterInfo& f : m_filters) {
            Trim(f.description);
            Trim(f.patterns);
            m_filterString += f.description + "(" + f.patterns + ")|" + f.patterns + "|";
        }
        m_filterString += "||";
        m_filterStringValid = true;
    }
    return m_filterString;
}

HMENU SettingsStore::BuildViewAsMenu(HMENU docMenu) {
    HMENU popup = CreatePopupMenu();
    if (!popup)
        return nullptr;
    UINT id = ID_VIEWAS_FIRST;
    for (FileTypeInfo& e : m_fileTypes) {
        if (id >= ID_VIEWAS_LIMIT)
            break;
        e.menuId = id;
        std::string text;
        if (id - ID_VIEWAS_FIRST < 15) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "&%x. ", id - ID_VIEWAS_FIRST + 1);
            text = prefix;
        }
        text += e.title;
        if (text.size() > 260)
            text.resize(260);
        AppendMenuA(popup, MF_STRING, id, text.c_str());
        ++id;
    }
    if (GetMenuItemCount(popup) > 1 && m_fileTypes.front().IsDefault() &&
        GetMenuItemID(popup, 0) == ID_VIEWAS_FIRST)
        InsertMenuA(popup, 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    if (docMenu) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_SUBMENU;
        mii.hSubMenu = popup;
        SetMenuItemInfoA(docMenu, ID_VIEW_AS, FALSE, &mii);
    }
    return popup;
}
