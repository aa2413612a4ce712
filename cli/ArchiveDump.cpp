#include "cli/ArchiveDump.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "cli/ProjectNotes.h"
#include "model/TreeArchive.h"
#include "platform/File.h"
#include "platform/TSException.h"

namespace {

constexpr size_t kShownBytes = 256;
constexpr size_t kShownHexBytes = 32;

bool IsTextByte(uint8_t c) { return c >= 0x20 || c == '\t' || c == '\r' || c == '\n'; }

bool IsText(const std::vector<uint8_t>& bytes) {
    for (uint8_t c : bytes) {
        if (!IsTextByte(c) || c == 0x7F) {
            return false;
        }
    }
    return true;
}

bool IsPrintable(const std::vector<uint8_t>& bytes) {
    for (uint8_t c : bytes) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

std::string Quoted(const std::vector<uint8_t>& bytes) {
    std::string text = "\"";
    for (uint8_t c : bytes) {
        switch (c) {
            case '"': text += "\\\""; break;
            case '\\': text += "\\\\"; break;
            case '\n': text += "\\n"; break;
            case '\r': text += "\\r"; break;
            case '\t': text += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
                    text += escaped;
                } else {
                    text += static_cast<char>(c);
                }
        }
    }
    return text + "\"";
}

std::string HexBytes(const std::vector<uint8_t>& bytes, size_t limit) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += hex;
    }
    return text;
}

std::string GuidText(const std::vector<uint8_t>& b) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04x-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24),
                  static_cast<unsigned>(b[4] | b[5] << 8), static_cast<unsigned>(b[6] | b[7] << 8), b[8], b[9],
                  b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string EntryName(const std::string& name) {
    std::vector<uint8_t> bytes(name.begin(), name.end());
    return IsText(bytes) && !name.empty() ? name : Quoted(bytes);
}

std::string Plural(uint32_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void DumpChildren(CTreeArchive& ar, ProjectNotes& notes, std::ostream& out, const std::string& indent) {
    const int children = ar.ChildCount();
    for (int i = 0; i < children; ++i) {
        ArchiveEntry entry;
        ar.PeekEntry(&entry);
        out << indent << EntryName(entry.name);
        if (entry.count > 0) {
            out << "  (" << Plural(entry.count, "entry", "entries") << ", " << Plural(entry.size, "byte", "bytes")
                << ")\n";
            ar.BeginObject(entry.name);
            notes.Enter(entry.name);
            DumpChildren(ar, notes, out, indent + "  ");
            notes.Leave();
            ar.EndObject();
        } else {
            const std::vector<uint8_t> bytes = ar.ReadLeaf(kShownBytes);
            const std::string note = notes.Note(entry.name, bytes, entry.size);
            if (entry.size == 0) {
                out << "  (empty)";
            } else {
                out << " = " << FormatLeafValue(bytes, entry.size, entry.name, notes.IsText(entry.name));
            }
            out << (note.empty() ? "" : "  " + note) << "\n";
        }
    }
}

// The name of the file's top entry, or an explanation of why the file is not an archive.
std::string TopEntryName(const std::string& modelPath, uint64_t* fileSize) {
    platform::File file;
    if (!file.Open(modelPath, platform::File::Mode::Read)) {
        throw CTSException("Cannot open the file \"" + modelPath + "\": " + file.OpenError() + "!");
    }
    *fileSize = file.Size();
    const std::string notArchive = "The file \"" + modelPath + "\" is not an archive file: ";
    if (file.Size() < 10) {
        throw CTSException(notArchive + "it is too short to hold one entry!");
    }
    uint8_t length = 0;
    file.Read(&length, 1);
    std::vector<uint8_t> name(length);
    if (length == 0 || file.Size() < 9u + length) {
        throw CTSException(notArchive + "it does not begin with a named entry!");
    }
    file.Read(name.data(), name.size());
    for (uint8_t c : name) {
        if (c < 0x20 || c == 0x7F) {
            throw CTSException(notArchive + "it does not begin with a named entry!");
        }
    }
    return std::string(name.begin(), name.end());
}

}  // namespace

std::string FormatLeafValue(const std::vector<uint8_t>& bytes, uint32_t size, const std::string& key,
                            bool isText) {
    if (key == "ProductID" && size == 16 && bytes.size() == 16) {
        return GuidText(bytes);
    }
    const bool whole = bytes.size() == size;
    if (isText) {
        return Quoted(bytes) + (whole ? "" : "... (" + Plural(size, "byte", "bytes") + ")");
    }
    if (size == 1 && bytes.size() == 1) {
        return std::to_string(bytes[0]);
    }
    // Four printable characters are far likelier a short text than a number above 538976288.
    if (size == 4 && bytes.size() == 4 && !IsPrintable(bytes)) {
        uint32_t bits = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
        int32_t value = static_cast<int32_t>(bits);
        std::string text = std::to_string(value);
        if (value < 0 || value > 9) {
            char hex[16];
            std::snprintf(hex, sizeof hex, " (0x%X)", bits);
            text += hex;
        }
        return text;
    }
    if (IsText(bytes)) {
        return Quoted(bytes) + (whole ? "" : "... (" + Plural(size, "byte", "bytes") + ")");
    }
    if (size == 16 && whole) {
        return GuidText(bytes);
    }
    std::string text = Plural(size, "byte", "bytes") + ": " + HexBytes(bytes, kShownHexBytes);
    return size > kShownHexBytes ? text + " ..." : text;
}

void DumpArchive(const std::string& modelPath, std::ostream& out) {
    uint64_t fileSize = 0;
    const std::string top = TopEntryName(modelPath, &fileSize);
    CTreeArchive ar(top, kSetupProgram);
    if (!ar.OpenForLoad(modelPath)) {
        throw CTSException("The file \"" + modelPath + "\" is not an archive file!");
    }
    const uint32_t size = ar.ObjectSize();
    out << EntryName(top) << "  (" << Plural(static_cast<uint32_t>(ar.ChildCount()), "entry", "entries") << ", "
        << Plural(size, "byte", "bytes") << ")\n";
    ProjectNotes notes;
    DumpChildren(ar, notes, out, "  ");
    ar.CloseAfterLoad();
    const uint64_t used = 9 + top.size() + size;
    if (fileSize > used) {
        throw CTSException("The file \"" + modelPath + "\" is damaged: " +
                           Plural(static_cast<uint32_t>(std::min<uint64_t>(fileSize - used, UINT32_MAX)), "byte follows",
                                  "bytes follow") +
                           " its top entry!");
    }
}
