#pragma once

// The rules of the shortcut dialog that need no window: the "Run:" list and its show commands, and the
// check of the name on OK.
#include <cstdint>
#include <string>
#include <vector>

namespace shortcut_rules {

// The entries of "Run:", in list order, and the show command each stands for.
const std::vector<std::string>& RunChoices();
// The entry of a stored show command, or -1 for a value that no entry stands for (kept as it is).
int RunChoiceOf(int32_t showCmd);
// The show command to store for the chosen entry; no entry (-1) keeps the stored value.
int32_t ShowCommandOf(int choice, int32_t stored);

// The message that refuses a name on OK, or nullptr when the name will do. The name becomes the
// shortcut's file name, so it must be there and may not hold a character that no file name holds.
const char* CheckName(const std::string& name);

}  // namespace shortcut_rules
