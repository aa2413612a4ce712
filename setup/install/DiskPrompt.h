#pragma once

#include <windows.h>

#include <string>

// The disk prompt: the message, an edit field with the full path of the file looked for, and OK, Cancel
// and Browse. OK hands back the edited path (true); Cancel gives up (false).
bool AskForDisk(HWND owner, const std::string& productName, const std::string& message, std::string* path);
