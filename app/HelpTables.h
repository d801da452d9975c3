// The numbers that tie the program to its help file: help keys (frame and dialog resource ids,
// commands) to topic numbers, and dialog controls to the popup texts of "::/Help.txt".
// Layer: app/.
#pragma once

#include <windows.h>

#include <cstddef>

struct HelpTopicEntry {
    DWORD key;
    UINT topic;
};

// The topic of the main window, and of every key the table does not name.
constexpr UINT kDefaultHelpTopic = 1000;

extern const HelpTopicEntry kHelpTopics[];
extern const size_t kHelpTopicCount;

// Pairs (control identifier, popup text number) ending with (0, 0): the form the help viewer
// takes for a control popup.
extern const DWORD kControlHelpPairs[];
