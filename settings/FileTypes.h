// The list of file types (one per syntax template plus the built-in "Default") and the file
// filters, the records that the settings store keeps in FILETYPE.INI. Layer: settings/.
#pragma once

#include "textview/FileTypeInfo.h"

#include <windows.h>

#include <string>
#include <vector>

// The typed list of file types; the first entry is always "Default".
using CLstFileTypeInfo = std::vector<FileTypeInfo>;

struct FileFilterInfo {
    int mod = 0, del = 0; // kept and written back; nothing acts on them
    std::string description;
    std::string patterns;
};

using CLstFileFilterInfo = std::vector<FileFilterInfo>;

// The settings section of a file type: "Default", or the template's file name without folder
// and extension.
std::string FileTypeSection(const FileTypeInfo& type);
