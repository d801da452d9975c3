// The command catalogue: the groups of commands that can take a keyboard shortcut, in menu
// order, and the short name and description of a command taken from its string. Layer:
// dialogs/.
#pragma once

#include <windows.h>

#include <string>

struct CommandGroup {
    UINT nameId; // the group's name string
    const UINT* commands;
    int count;
};

extern const CommandGroup kCommandGroups[];
extern const int kCommandGroupCount;

// True when the command is in one of the groups.
bool IsCatalogueCommand(UINT command);
// The part of the command's string after its last line break (the whole string without one).
std::string CommandShortName(UINT command);
// The part of the command's string before its first line break.
std::string CommandDescription(UINT command);
