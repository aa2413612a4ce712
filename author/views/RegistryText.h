#pragma once

// How the registry views show a value: its type column and its data column.
#include <cstdint>
#include <string>

namespace registry_text {

// "REG_SZ", "REG_BINARY", "REG_DWORD"; any other type (an import may bring one) as "REG_%u".
std::string TypeText(uint32_t type);
// The data as the list shows it: a string or binary text as it is, a double word (held as decimal text)
// as "0x%08x (%d)".
std::string DataText(uint32_t type, const std::string& value);

}  // namespace registry_text
