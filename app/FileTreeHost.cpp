// CAppFileTreeHost. Layer: app/.
#include "app/FileTreeHost.h"

#include "app/App.h"
#include "app/TextEditDoc.h"
#include "settings/SettingsStore.h"

namespace {
const char kSection[] = "FileTree";
}

IFileTreeHost::ViewSettings CAppFileTreeHost::ReadFileTreeSettings() {
    ViewSettings settings;
    if (SettingsStore* store = AppSettings()) {
        // Any sort key out of range reads as by name.
        const int sortBy = store->ReadInt(IniSettings, kSection, "SortBy", 1);
        settings.sortBy = (sortBy >= 1 && sortBy <= 4) ? sortBy : 1;
        settings.showHidden = store->ReadBool(IniSettings, kSection, "ShowHidden", false);
        settings.showNonFileSystem =
            store->ReadBool(IniSettings, kSection, "ShowNonFileSysObj", false);
    }
    return settings;
}

void CAppFileTreeHost::WriteFileTreeSettings(const ViewSettings& settings) {
    if (SettingsStore* store = AppSettings()) {
        store->WriteInt(IniSettings, kSection, "SortBy", settings.sortBy);
        store->WriteInt(IniSettings, kSection, "ShowHidden", settings.showHidden ? 1 : 0);
        store->WriteInt(IniSettings, kSection, "ShowNonFileSysObj",
                        settings.showNonFileSystem ? 1 : 0);
    }
}

std::string CAppFileTreeHost::FileFilterList() {
    SettingsStore* store = AppSettings();
    return store ? store->FileDialogFilter() : std::string();
}

void CAppFileTreeHost::OpenInEditor(const char* path) {
    // Failures are reported by the document with their own message.
    CTextEditDoc::OpenFileWithEncoding(path, 0);
}

CAppFileTreeHost& AppFileTreeHost() {
    static CAppFileTreeHost host;
    return host;
}
