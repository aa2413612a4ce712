#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Prints an archive file as an indented tree: objects with their entry counts and sizes, leaves as a
// number, a text, a GUID or hex bytes, whichever reads best. In a project or setup database, references
// are followed by what they point at and file times by their date. Throws CTSException, after printing what
// was read so far, for a file that is missing, is not an archive or is damaged.
void DumpArchive(const std::string& modelPath, std::ostream& out);

// How one leaf is shown; size is the leaf's full size, bytes its first bytes (all of them up to a limit).
// The key decides where the bytes alone cannot: a 16-byte "ProductID" is a GUID even when its bytes
// happen to look like text, and a leaf known to hold text is shown as text even when it is one letter.
std::string FormatLeafValue(const std::vector<uint8_t>& bytes, uint32_t size, const std::string& key = "",
                            bool isText = false);
