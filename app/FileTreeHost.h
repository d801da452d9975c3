// The application's side of the file tree window: its view settings in section "FileTree" of
// SETTINGS.INI, the file filter list of the settings store, and opening files as documents.
// Layer: app/.
#pragma once

#include "workspace/FileTreeHost.h"

class CAppFileTreeHost : public IFileTreeHost {
public:
    ViewSettings ReadFileTreeSettings() override;
    void WriteFileTreeSettings(const ViewSettings& settings) override;
    std::string FileFilterList() override;
    void OpenInEditor(const char* path) override;
};

// The one host the main frame gives its file tree.
CAppFileTreeHost& AppFileTreeHost();
