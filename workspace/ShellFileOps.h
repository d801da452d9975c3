// The file tree's file operations in UTF-16: deleting and copying through the shell, and the
// clipboard's file drop lists. The shell's ANSI entry points turn a character outside the code
// page into "?" (or a look-alike), and its file operations expand "?" as a wildcard, so a path
// travels from the tree item to the shell in UTF-16; its ANSI form is only shown, or used where
// it came through exactly. Layer: workspace/ (bars and docking windows).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The ANSI form of a UTF-16 path, as well as the code page can show it. `exact`, when given,
// tells whether every character came through as itself (not as "?" or a look-alike).
std::string ShellPathToAnsi(const std::wstring& path, bool* exact = nullptr);
std::wstring ShellPathFromAnsi(const std::string& path);
// The path with a "\" between it and the name, unless it ends with one already.
std::wstring ShellPathJoin(const std::wstring& folder, const std::wstring& name);
// "?" or "*": the shell's file operations would take the path for a pattern.
bool ShellPathHasWildcard(const std::wstring& path);
bool ShellPathExists(const std::wstring& path);

// What a shell file operation answered: 0 or an error code, and whether the user stopped it.
struct ShellOpResult {
    int code = 0;
    bool aborted = false;
    bool Succeeded() const { return code == 0 && !aborted; }
};

// Deletes one file or folder: to the recycle bin, or permanently (the shell still asks). A
// path with a wildcard is never handed to the shell: ERROR_INVALID_NAME.
ShellOpResult ShellDeletePath(HWND owner, const std::wstring& path, bool permanently);
// Copies files (never moves them) into a folder, with undo allowed and files only. Nothing is
// handed to the shell when a path has a wildcard: ERROR_INVALID_NAME.
ShellOpResult ShellCopyInto(HWND owner, const std::vector<std::wstring>& paths,
                            const std::wstring& folder);

// Puts a file drop list of one path on the clipboard: ANSI names when the path has an exact
// ANSI form, UTF-16 names otherwise.
bool ShellPutDropList(HWND owner, const std::wstring& path);
// The paths of the clipboard's file drop list in UTF-16, whichever form the list has. False
// when the clipboard cannot be opened or holds no drop list.
bool ShellReadDropList(HWND owner, std::vector<std::wstring>* paths);
