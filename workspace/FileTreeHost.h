// What the file tree window asks of the program around it: its stored view settings, the file
// filter list of the settings, and opening a file in the editor. Layer: workspace/ (bars and
// docking windows); the application implements it.
#pragma once

#include <string>

class IFileTreeHost {
public:
    // The stored view settings: sort key 1 name, 2 type, 3 size, 4 date; the two show flags.
    struct ViewSettings {
        int sortBy = 1;
        bool showHidden = false;
        bool showNonFileSystem = false;
    };
    virtual ViewSettings ReadFileTreeSettings() = 0;
    virtual void WriteFileTreeSettings(const ViewSettings& settings) = 0;
    // The file filters in their combined form: description, patterns, description, patterns,
    // ..., each followed by "|", the list ending with "||".
    virtual std::string FileFilterList() = 0;
    // Opens the file in the editor; failures are reported to the user there.
    virtual void OpenInEditor(const char* path) = 0;

protected:
    ~IFileTreeHost() = default;
};
