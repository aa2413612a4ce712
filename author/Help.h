#pragma once

#include <windows.h>

#include <string>

// The program's compiled help beside it, opened through HtmlHelp loaded at run time. Without a help file
// or without HtmlHelp nothing opens.
namespace help {

void ShowTopic(HWND owner, const std::string& topic);  // an empty topic opens nothing
void ShowContents(HWND owner);
void ShowIndex(HWND owner);
// The topic named by the third line of string resource n (the help topic of window n).
std::string TopicOfResource(int resourceId);
// Opens the help topic of window n (the context help of every dialog: F1).
void ShowResourceTopic(HWND owner, int resourceId);

}  // namespace help
