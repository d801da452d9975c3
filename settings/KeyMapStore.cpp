// The key map of the settings store: load, fallback to the built-in accelerator table, install,
// save and shortcut texts. Layer: settings/.
#include "settings/IniCodec.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"

#include <cstring>

namespace {

const char kSection[] = "Keyboard";
const char kKey[] = "TextEdit";
// A map the user emptied; "empty" stands for the built-in shortcuts.
const char kNoShortcuts[] = "none";
const uint32_t kModifierBits = FSHIFT | FCONTROL | FALT; // 0x04 | 0x08 | 0x10

uint32_t KeyCodeOf(const ACCEL& a) {
    return static_cast<uint32_t>(a.key) | (static_cast<uint32_t>(a.fVirt & kModifierBits) << 16);
}

// The system's name of a key; extended keys get the extended bit so that, for example, the
// navigation keys are not named after the numeric pad.
std::string KeyName(UINT vk) {
    UINT scan = MapVirtualKeyA(vk, 0);
    LONG lparam = static_cast<LONG>(scan << 16) | 0x2000000;
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_INSERT:
    case VK_DELETE:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        lparam |= 0x1000000;
        break;
    default:
        break;
    }
    char name[64];
    int n = GetKeyNameTextA(lparam, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

void SettingsStore::LoadKeyMap(HACCEL* frameTable) {
    std::string text = ReadString(IniSettings, kSection, kKey);
    if (text.empty() || text == "empty")
        return; // the built-in table stays
    m_keyMap.clear();
    std::vector<int> numbers = NumberList::Parse(text.c_str());
    for (size_t i = 0; i + 1 < numbers.size(); i += 2) {
        uint32_t code = static_cast<uint32_t>(numbers[i]);
        m_keyMap.emplace(code, KeyBinding{static_cast<UINT>(numbers[i + 1]), code});
    }
    m_keyMapLoaded = true;
    if (frameTable)
        InstallKeyMap(frameTable);
    m_keyMapDirty = false;
}

std::vector<SettingsStore::KeyBinding> SettingsStore::DefaultKeyMap() const {
    std::vector<KeyBinding> bindings;
    HACCEL builtIn = LoadAcceleratorsA(m_resources, MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (builtIn) {
        int n = CopyAcceleratorTableA(builtIn, nullptr, 0);
        std::vector<ACCEL> entries(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0)
            CopyAcceleratorTableA(builtIn, entries.data(), n);
        for (const ACCEL& a : entries)
            bindings.push_back(KeyBinding{a.cmd, KeyCodeOf(a)});
    }
    return bindings;
}

void SettingsStore::EnsureKeyMap() {
    if (m_keyMapLoaded)
        return;
    m_keyMap.clear();
    for (const KeyBinding& b : DefaultKeyMap())
        m_keyMap.emplace(b.keyCode, b);
    m_keyMapLoaded = true;
}

void SettingsStore::SetKeyMap(const std::vector<KeyBinding>& bindings) {
    m_keyMap.clear();
    for (const KeyBinding& b : bindings)
        m_keyMap.emplace(b.keyCode, b);
    m_keyMapLoaded = true;
    m_keyMapDirty = true;
}

void SettingsStore::SaveKeyMap() {
    if (!m_keyMapDirty)
        return;
    std::vector<int> numbers;
    for (const auto& e : m_keyMap) {
        numbers.push_back(static_cast<int>(e.second.keyCode));
        numbers.push_back(static_cast<int>(e.second.command));
    }
    // "empty" has always meant the built-in shortcuts, so a map the user emptied is written as
    // a value that holds no pair: it reads back as no shortcuts.
    WriteString(IniSettings, kSection, kKey,
                numbers.empty() ? kNoShortcuts : NumberList::Format(numbers).c_str());
    m_keyMapDirty = false;
}

HACCEL SettingsStore::InstallKeyMap(HACCEL* frameTable) {
    EnsureKeyMap();
    std::vector<ACCEL> entries;
    for (const auto& e : m_keyMap) {
        ACCEL a;
        a.fVirt =
            static_cast<BYTE>(((e.second.keyCode >> 16) & kModifierBits) | FVIRTKEY | FNOINVERT);
        a.key = static_cast<WORD>(e.second.keyCode & 0xFFFF);
        a.cmd = static_cast<WORD>(e.second.command);
        entries.push_back(a);
    }
    HACCEL previous = frameTable ? *frameTable : nullptr;
    if (entries.empty()) {
        // No shortcuts at all: the frame is left without a table, the old one goes.
        if (frameTable)
            *frameTable = nullptr;
        for (HACCEL& tracked : m_accel) {
            if (tracked && tracked == previous) {
                DestroyAcceleratorTable(tracked);
                tracked = nullptr;
            }
        }
        return nullptr;
    }
    HACCEL table = CreateAcceleratorTableA(entries.data(), static_cast<int>(entries.size()));
    if (!table)
        return nullptr;
    int slot = m_accel[0] == nullptr ? 0 : m_accel[1] == nullptr ? 1 : -1;
    if (slot < 0) {
        // Both slots hold tables: the one that is not the frame's current table goes.
        slot = m_accel[0] == previous ? 1 : 0;
        DestroyAcceleratorTable(m_accel[slot]);
    }
    m_accel[slot] = table;
    if (frameTable)
        *frameTable = table;
    for (int i = 0; i < 2; ++i) {
        if (i != slot && previous && m_accel[i] == previous) {
            DestroyAcceleratorTable(previous);
            m_accel[i] = nullptr;
        }
    }
    return table;
}

std::string SettingsStore::KeyCodeText(uint32_t code) {
    std::string text;
    static const struct {
        uint32_t bit;
        UINT vk;
    } kModifiers[] = {{FCONTROL, VK_CONTROL}, {FSHIFT, VK_SHIFT}, {FALT, VK_MENU}};
    for (const auto& m : kModifiers) {
        if ((code >> 16) & m.bit)
            text += KeyName(m.vk) + " + ";
    }
    text += KeyName(code & 0xFFFF);
    return text;
}

bool SettingsStore::ShortcutText(UINT command, char* buf, int size) {
    if (size <= 0)
        return false;
    buf[0] = 0;
    EnsureKeyMap();
    for (const auto& e : m_keyMap) {
        if (e.second.command != command)
            continue;
        const std::string text = KeyCodeText(e.second.keyCode);
        std::strncpy(buf, text.c_str(), static_cast<size_t>(size) - 1);
        buf[size - 1] = 0;
        return true;
    }
    return false;
}
