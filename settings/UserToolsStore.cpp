// The user tool list and the tool argument history in QUORVANE.INI, and the tools menu items.
// Layer: settings/.
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"

#include <cstdio>

namespace {

const char kArgsSection[] = "ToolsArgs";

void ToolSection(char* buf, size_t size, int index) {
    std::snprintf(buf, size, "Tool%02X", index);
}

} // namespace

CLstUserToolInfo& SettingsStore::Tools() {
    if (!m_toolsLoaded)
        LoadTools();
    return m_tools;
}

void SettingsStore::LoadTools() {
    m_tools.clear();
    char section[16];
    for (int i = 0; i < kMaxTools; ++i) {
        ToolSection(section, sizeof section, i);
        UserToolInfo t;
        t.name = ReadString(IniProfile, section, "Name");
        if (t.name.empty())
            break;
        t.command = ReadString(IniProfile, section, "Cmd");
        if (t.command.empty())
            break;
        t.argument = ReadString(IniProfile, section, "Arg");
        t.initDir = ReadString(IniProfile, section, "InitDir");
        t.saveFiles = ReadBool(IniProfile, section, "SaveFiles", true);
        t.promptForArg = ReadBool(IniProfile, section, "PromptForArg", false);
        t.captureOutput = ReadBool(IniProfile, section, "CaptureOutput", false);
        t.dosBox = ReadBool(IniProfile, section, "DosBox", false);
        m_tools.push_back(t);
    }
    m_toolsLoaded = true;
    m_toolsDirty = false;
}

void SettingsStore::SetTools(const CLstUserToolInfo& tools) {
    m_tools = tools;
    if (m_tools.size() > static_cast<size_t>(kMaxTools))
        m_tools.resize(kMaxTools);
    m_toolsLoaded = true;
    m_toolsDirty = true;
}

std::vector<std::string>& SettingsStore::ToolArgs() {
    if (!m_toolArgsLoaded)
        LoadToolArgs();
    return m_toolArgs;
}

void SettingsStore::LoadToolArgs() {
    m_toolArgs.clear();
    char key[8];
    for (int i = 0; i < kHistoryLimit; ++i) {
        std::snprintf(key, sizeof key, "%02d", i);
        const char* v = ReadString(IniProfile, kArgsSection, key);
        if (!*v)
            break;
        m_toolArgs.push_back(v);
    }
    m_toolArgsLoaded = true;
    m_toolArgsDirty = false;
}

bool SettingsStore::UpdateToolArgs(const std::vector<std::string>& items, int limit) {
    std::vector<std::string>& list = ToolArgs();
    size_t count = items.size() < static_cast<size_t>(limit) ? items.size() : limit;
    bool changed = list.size() != count;
    if (!changed) {
        for (size_t i = 0; i < count; ++i)
            changed = changed || list[i] != items[i];
    }
    if (changed) {
        list.assign(items.begin(), items.begin() + static_cast<long>(count));
        m_toolArgsDirty = true;
    }
    return changed;
}

bool SettingsStore::UpdateToolArgsFromCombo(HWND combo, int limit) {
    std::vector<std::string> items;
    LRESULT n = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        LRESULT len = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        std::string text(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
        LRESULT got = SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(text);
    }
    return UpdateToolArgs(items, limit);
}

void SettingsStore::SaveTools() {
    if (m_toolsDirty) {
        char section[16];
        // Only tools with a name and a command are written, under consecutive indexes: the
        // loader stops at the first gap.
        int j = 0;
        for (const UserToolInfo& t : m_tools) {
            if (t.name.empty() || t.command.empty() || j >= kMaxTools)
                continue;
            ToolSection(section, sizeof section, j);
            WriteString(IniProfile, section, "Name", t.name.c_str());
            WriteString(IniProfile, section, "Cmd", t.command.c_str());
            WriteString(IniProfile, section, "InitDir", t.initDir.c_str());
            WriteString(IniProfile, section, "Arg", t.argument.c_str());
            WriteInt(IniProfile, section, "SaveFiles", t.saveFiles != 0);
            WriteInt(IniProfile, section, "PromptForArg", t.promptForArg != 0);
            WriteInt(IniProfile, section, "CaptureOutput", t.captureOutput != 0);
            WriteInt(IniProfile, section, "DosBox", t.dosBox != 0);
            ++j;
        }
        for (; j < kMaxTools; ++j) {
            ToolSection(section, sizeof section, j);
            if (!*ReadString(IniProfile, section, "Name"))
                break;
            WriteString(IniProfile, section, nullptr, nullptr);
        }
        m_toolsDirty = false;
    }
    if (m_toolArgsDirty) {
        WriteList(*this, IniProfile, kArgsSection, m_toolArgs, false);
        m_toolArgsDirty = false;
    }
}

void SettingsStore::RebuildToolsMenu(HMENU tools) {
    if (!tools)
        return;
    for (int i = GetMenuItemCount(tools) - 1; i >= 0; --i) {
        UINT id = GetMenuItemID(tools, i);
        if (id >= ID_TOOL_FIRST && id <= ID_TOOL_LAST)
            DeleteMenu(tools, static_cast<UINT>(i), MF_BYPOSITION);
    }
    auto lastIsSeparator = [tools]() {
        int n = GetMenuItemCount(tools);
        if (n <= 0)
            return false;
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        return GetMenuItemInfoA(tools, static_cast<UINT>(n - 1), TRUE, &mii) &&
               (mii.fType & MFT_SEPARATOR);
    };
    if (GetMenuItemCount(tools) >= 2 && lastIsSeparator())
        DeleteMenu(tools, static_cast<UINT>(GetMenuItemCount(tools) - 1), MF_BYPOSITION);
    const CLstUserToolInfo& list = Tools();
    if (list.empty())
        return;
    if (!lastIsSeparator())
        AppendMenuA(tools, MF_SEPARATOR, 0, nullptr);
    UINT id = ID_TOOL_FIRST;
    for (size_t i = 0; i < list.size() && id <= ID_TOOL_LAST; ++i, ++id) {
        std::string text;
        if (i < 15) {
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "&%x. ", static_cast<unsigned>(i + 1));
            text = prefix;
        }
        text += list[i].name;
        if (text.size() > 259)
            text.resize(259);
        AppendMenuA(tools, MF_STRING, id, text.c_str());
    }
}

void SettingsStore::RebuildToolsMenus(HMENU mainMenu, HMENU docMenu, bool docMaximised,
                                      HWND frame) {
    if (mainMenu)
        RebuildToolsMenu(GetSubMenu(mainMenu, 3));
    if (docMenu)
        RebuildToolsMenu(GetSubMenu(docMenu, docMaximised ? 6 : 5));
    if (frame)
        DrawMenuBar(frame);
}
