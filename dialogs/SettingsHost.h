// ISettingsHost: what the settings dialog asks of the running program so that a confirmed change
// takes effect at once (the views, the documents of a file type, the toolbar, the tools menu,
// the accelerators). The main frame implements it. Layer: dialogs/.
#pragma once

#include <windows.h>

struct FileTypeInfo;

class ISettingsHost {
public:
    // The editor font (a new font object when fontRecreated), line spacing and line number
    // spacing reach every view; each change re-lays out every document.
    virtual void ApplyDisplaySettings(bool fontRecreated) = 0;
    // The entry's options and colours changed in place: its documents follow.
    virtual void ApplyFileType(const FileTypeInfo& type) = 0;
    // The store's toolbar layout goes to the toolbar.
    virtual void ApplyToolbarLayout() = 0;
    // The store's tool list changed: the tools menus are built again.
    virtual void RebuildToolsMenus() = 0;
    // The store's key map becomes the frame's accelerator table.
    virtual void InstallKeyMap() = 0;
    // The store's file filter list changed.
    virtual void FileFiltersChanged() = 0;
    // The number of entries the recent file list keeps.
    virtual void SetRecentFileCount(int count) = 0;
    // The file type of the active document (null: none).
    virtual const FileTypeInfo* ActiveFileType() = 0;

protected:
    ~ISettingsHost() = default;
};
