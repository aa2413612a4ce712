// Reading the files the registry editor writes (.reg) into the project's registry items.
#include "model/RegFileImport.h"


#include "model/RegItem.h"
#include "platform/Format.h"
#include "platform/NoCase.h"

namespace regfile {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr size_t kMaxKeyNameLength = 255;

// Code page 1252's characters 0x80-0x9F; the other bytes are the Unicode characters of their value.
const uint16_t kWestern80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The ANSI byte of a Unicode character, false when the code page has none. The project's texts are ANSI;
// the Western code page is the one they are read as here.
bool AnsiOf(uint32_t c, char* byte) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        *byte = static_cast<char>(c);
        return c != 0;
    }
    for (int i = 0; i < 32; ++i) {
        if (kWestern80[i] == c) {
            *byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

// UTF-16 LE code units into characters; a lone surrogate is a replacement character.
std::vector<uint32_t> FromUtf16(const uint8_t* bytes, size_t size) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i + 1 < size; i += 2) {
        uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
            const uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
            if (low >= 0xDC00 && low < 0xE000) {
                out.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        out.push_back(unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
    }
    if (size % 2 != 0) {
        out.push_back(kReplacement);  // half a character at the end
    }
    return out;
}

std::vector<uint32_t> FromUtf8(const uint8_t* bytes, size_t size) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < size;) {
        const uint8_t lead = bytes[i];
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        if (length == 0 || i + length > size) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            valid = valid && (bytes[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        out.push_back(valid ? c : kReplacement);
        i += valid ? length : 1;
    }
    return out;
}

// A physical line of the file in the ANSI code page; lossy when it held characters that cannot be.
struct Line {
    std::string text;
    bool lossy = false;
    bool cut = false;  // the file ends inside the line's last character
};

void SplitLines(const std::vector<uint32_t>& chars, std::vector<Line>* lines) {
    lines->emplace_back();
    for (uint32_t c : chars) {
        if (c == '\n') {
            lines->emplace_back();
            continue;
        }
        char byte;
        if (AnsiOf(c, &byte)) {
            lines->back().text += byte;
        } else {
            lines->back().text += '?';
            lines->back().lossy = true;
        }
    }
}

// The file's lines: UTF-16 LE or UTF-8 after their byte-order marks, else ANSI.
std::vector<Line> ReadLines(const std::vector<uint8_t>& bytes) {
    std::vector<Line> lines;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        SplitLines(FromUtf16(bytes.data() + 2, bytes.size() - 2), &lines);
        lines.back().cut = bytes.size() % 2 != 0;
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        SplitLines(FromUtf8(bytes.data() + 3, bytes.size() - 3), &lines);
    } else {
        lines.emplace_back();
        for (uint8_t b : bytes) {
            if (b == '\n') {
                lines.emplace_back();
            } else {
                lines.back().text += static_cast<char>(b);
                lines.back().lossy = lines.back().lossy || b == 0;
            }
        }
    }
    for (Line& line : lines) {
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.pop_back();
        }
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string TrimmedRight(const std::string& text) {
    size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

std::string TrimmedLeft(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
    return text.substr(at);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at the quote; the escapes \\ \" \n and \r. False when the quote is not
// closed.
bool ReadQuoted(const std::string& text, size_t* at, std::string* out) {
    out->clear();
    for (size_t i = *at + 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            if (next == 'n') {
                c = '\n';
            } else if (next == 'r') {
                c = '\r';
            } else if (next == '\\' || next == '"') {
                c = next;
            } else {
                *out += '\\';
                c = next;
            }
        }
        *out += c;
    }
    return false;
}

// Only blanks, or a comment, from at on.
bool RestIsEmpty(const std::string& text, size_t at) {
    const std::string rest = TrimmedLeft(text.substr(at));
    return rest.empty() || rest[0] == ';';
}

// Comma-separated bytes in hexadecimal.
bool ReadHexBytes(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    const std::string list = TrimmedRight(TrimmedLeft(text));
    if (list.empty()) {
        return true;
    }
    size_t at = 0;
    while (true) {
        const size_t comma = list.find(',', at);
        const std::string token = TrimmedRight(
            TrimmedLeft(list.substr(at, comma == std::string::npos ? std::string::npos : comma - at)));
        if (token.empty() || token.size() > 2 || HexDigit(token[0]) < 0 ||
            (token.size() == 2 && HexDigit(token[1]) < 0)) {
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(token.size() == 2 ? HexDigit(token[0]) * 16 + HexDigit(token[1])
                                                                : HexDigit(token[0])));
        if (comma == std::string::npos) {
            return true;
        }
        at = comma + 1;
    }
}

// The strings of registry data (UTF-16 in a version 5 file, ANSI in a REGEDIT4 file), split at zero
// characters; a final empty string after the last zero is not counted. False when a character cannot be
// held in the ANSI code page.
bool StringsOf(const std::vector<uint8_t>& data, bool wide, std::vector<std::string>* strings) {
    std::vector<uint32_t> chars;
    if (wide) {
        chars = FromUtf16(data.data(), data.size());
    } else {
        chars.assign(data.begin(), data.end());
    }
    strings->clear();
    std::string current;
    bool open = false;
    for (uint32_t c : chars) {
        if (c == 0) {
            if (!open && !strings->empty()) {
                break;  // the double zero that ends a list of strings
            }
            strings->push_back(current);
            current.clear();
            open = false;
            continue;
        }
        char byte;
        if (!wide) {
            byte = static_cast<char>(c);
        } else if (!AnsiOf(c, &byte)) {
            return false;
        }
        current += byte;
        open = true;
    }
    if (open) {
        strings->push_back(current);
    }
    return true;
}

struct HiveName {
    const char* longName;
    const char* shortName;
    int root;  // the project's root item, -1 for a hive the project has none of
};
const HiveName kHiveNames[] = {
    {"HKEY_CLASSES_ROOT", "HKCR", 0},       {"HKEY_CURRENT_USER", "HKCU", 1},
    {"HKEY_LOCAL_MACHINE", "HKLM", 2},      {"HKEY_USERS", "HKU", 3},
    {"HKEY_CURRENT_CONFIG", "HKCC", -1},    {"HKEY_DYN_DATA", "HKDD", -1},
    {"HKEY_PERFORMANCE_DATA", nullptr, -1},
};

class Importer {
public:
    Importer(CItemArray<CRegItem>& rootRegs, ImportResult& result, bool wide)
        : rootRegs_(rootRegs), result_(result), wide_(wide) {}

    void Entry(int number, const std::string& text, bool lossy) {
        const std::string line = TrimmedLeft(text);
        if (line.empty() || line[0] == ';') {
            return;
        }
        if (line[0] == '[') {
            Key(number, TrimmedRight(line), lossy);
        } else if (key_ == nullptr) {
            Skip(number, keyLine_ > 0
                             ? "the value's key (line " + std::to_string(keyLine_) + ") was not imported"
                             : "a value before the first key");
        } else if (lossy) {
            Skip(number, "the value holds characters that the ANSI code page cannot hold");
        } else {
            Value(number, line);
        }
    }

    void Skip(int number, const std::string& reason) { result_.skipped.push_back({number, reason}); }

private:
    void Key(int number, const std::string& line, bool lossy) {
        key_ = nullptr;
        keyLine_ = number;
        if (line.back() != ']') {
            Skip(number, "unreadable key line (no closing ])");
            return;
        }
        std::string path = line.substr(1, line.size() - 2);
        if (!path.empty() && path[0] == '-') {
            Skip(number, "deleting the key " + path.substr(1) + " is not imported");
            return;
        }
        if (lossy) {
            Skip(number, "the key name holds characters that the ANSI code page cannot hold");
            return;
        }
        const std::string hive = path.substr(0, path.find('\\'));
        CRegItem* item = nullptr;
        for (const HiveName& h : kHiveNames) {
            if (nocase::Equal(hive, h.longName) ||
                (h.shortName != nullptr && nocase::Equal(hive, h.shortName))) {
                if (h.root < 0 || static_cast<size_t>(h.root) >= rootRegs_.size()) {
                    Skip(number, std::string("the project has no root key ") + h.longName);
                    return;
                }
                item = rootRegs_[static_cast<size_t>(h.root)];
            }
        }
        if (item == nullptr) {
            Skip(number, "\"" + hive + "\" is not a root key of the registry");
            return;
        }
        size_t at = hive.size();
        while (at < path.size()) {
            size_t end = path.find('\\', at + 1);
            if (end == std::string::npos) {
                end = path.size();
            }
            const std::string name = path.substr(at + 1, end - at - 1);
            at = end;
            if (name.empty()) {
                continue;
            }
            if (name.size() > kMaxKeyNameLength) {
                Skip(number, "a key name longer than 255 characters");
                return;
            }
            CRegItem* child = item->FindChild(name, true);
            if (child == nullptr) {
                child = item->AddChild(std::make_unique<CRegItem>(name, 0));
            }
            if (child == nullptr) {
                Skip(number, "the key " + item->FullPath() + " cannot hold more items");
                return;
            }
            item = child;
        }
        key_ = item;
        ++result_.keys;
    }

    void Value(int number, const std::string& line) {
        std::string name;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else if (line[0] != '"' || !ReadQuoted(line, &at, &name)) {
            Skip(number, "unreadable line");
            return;
        }
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at >= line.size() || line[at] != '=') {
            Skip(number, "unreadable line (no = after the value's name)");
            return;
        }
        const std::string data = TrimmedLeft(line.substr(at + 1));
        const std::string shown = name.empty() ? "(Default)" : name;
        if (!data.empty() && data[0] == '-' && RestIsEmpty(data, 1)) {
            Skip(number, "deleting the value \"" + shown + "\" is not imported");
            return;
        }
        uint32_t type = 0;
        std::string text;
        std::string note;
        if (!data.empty() && data[0] == '"') {
            size_t end = 0;
            if (!ReadQuoted(data, &end, &text) || !RestIsEmpty(data, end)) {
                Skip(number, "unreadable string data");
                return;
            }
            type = platform::kRegString;
        } else if (nocase::StartsWith(data, "dword:")) {
            const std::string digits = TrimmedRight(data.substr(6));
            uint32_t number32 = 0;
            bool valid = !digits.empty() && digits.size() <= 8;
            for (char c : digits) {
                valid = valid && HexDigit(c) >= 0;
                number32 = number32 * 16 + static_cast<uint32_t>(valid ? HexDigit(c) : 0);
            }
            if (!valid) {
                Skip(number, "unreadable dword data");
                return;
            }
            char decimal[16];
            platform::FormatTo(decimal, sizeof decimal, "%d", static_cast<int>(static_cast<int32_t>(number32)));
            text = decimal;
            type = platform::kRegDword;
        } else if (nocase::StartsWith(data, "hex")) {
            if (!HexValue(number, data, shown, &type, &text, &note)) {
                return;
            }
        } else {
            Skip(number, "unreadable data of the value \"" + shown + "\"");
            return;
        }
        CRegItem* value = key_->FindChild(name, false);
        if (value == nullptr) {
            value = key_->AddChild(std::make_unique<CRegItem>(name, type));
        }
        if (value == nullptr) {
            Skip(number, "the key " + key_->FullPath() + " cannot hold more items");
            return;
        }
        value->type = type;
        value->value = text;
        ++result_.values;
        if (!note.empty()) {
            Skip(number, note);
        }
    }

    // hex:, hex(N): data. False (with the line reported) when the value is not imported.
    bool HexValue(int number, const std::string& data, const std::string& shown, uint32_t* type,
                  std::string* text, std::string* note) {
        uint32_t kind = platform::kRegBinary;
        size_t colon = 3;
        if (data.size() > 3 && data[3] == '(') {
            const size_t close = data.find(')', 4);
            kind = 0;
            bool valid = close != std::string::npos && close > 4 && close - 4 <= 8;
            for (size_t i = 4; valid && i < close; ++i) {
                valid = HexDigit(data[i]) >= 0;
                kind = kind * 16 + static_cast<uint32_t>(valid ? HexDigit(data[i]) : 0);
            }
            if (!valid) {
                Skip(number, "unreadable data type of the value \"" + shown + "\"");
                return false;
            }
            colon = close + 1;
        }
        std::vector<uint8_t> bytes;
        if (colon >= data.size() || data[colon] != ':' || !ReadHexBytes(data.substr(colon + 1), &bytes)) {
            Skip(number, "unreadable hexadecimal data of the value \"" + shown + "\"");
            return false;
        }
        std::vector<std::string> strings;
        switch (kind) {
            case 3:
                *type = platform::kRegBinary;
                CRegItem::TextFromData(*type, bytes, text);
                return true;
            case 4:
                if (bytes.size() != 4) {
                    Skip(number, "a dword value \"" + shown + "\" that does not hold 4 bytes");
                    return false;
                }
                *type = platform::kRegDword;
                CRegItem::TextFromData(*type, bytes, text);
                return true;
            case 1:
            case 2:
            case 7:
                if (!StringsOf(bytes, wide_, &strings)) {
                    Skip(number,
                         "the value \"" + shown + "\" holds characters that the ANSI code page cannot hold");
                    return false;
                }
                if (strings.size() > 1 && kind == 7) {
                    Skip(number, "the multi-string value \"" + shown +
                                     "\" holds several strings, which a project cannot hold");
                    return false;
                }
                *type = platform::kRegString;
                *text = strings.empty() ? std::string() : strings[0];
                if (kind == 2) {
                    *note = "the expandable string \"" + shown + "\" is imported as a plain string (REG_SZ)";
                } else if (kind == 7) {
                    *note = "the multi-string value \"" + shown + "\" is imported as a plain string (REG_SZ)";
                }
                return true;
            default: {
                char typeText[16];
                platform::FormatTo(typeText, sizeof typeText, "%u", kind);
                Skip(number,
                     "the value \"" + shown + "\" is of type " + typeText + ", which a project cannot hold");
                return false;
            }
        }
    }

    CItemArray<CRegItem>& rootRegs_;
    ImportResult& result_;
    bool wide_;
    CRegItem* key_ = nullptr;
    int keyLine_ = 0;  // the line of the last key header
};

}  // namespace

ImportResult ImportRegFile(CItemArray<CRegItem>& rootRegs, const std::vector<uint8_t>& bytes) {
    ImportResult result;
    const std::vector<Line> lines = ReadLines(bytes);
    size_t first = 0;
    while (first < lines.size() && TrimmedRight(lines[first].text).empty()) {
        ++first;
    }
    const std::string header = first < lines.size() ? TrimmedRight(lines[first].text) : std::string();
    if (header != "REGEDIT4" && header != "Windows Registry Editor Version 5.00") {
        result.skipped.push_back({first < lines.size() ? static_cast<int>(first + 1) : 1,
                                  "not a file of the registry editor: the first line must be \"REGEDIT4\" or "
                                  "\"Windows Registry Editor Version 5.00\""});
        return result;
    }
    // Version 5 files hold hex(2) and hex(7) strings in UTF-16, REGEDIT4 files in ANSI, whatever the
    // encoding of the file itself.
    const bool wideData = header != "REGEDIT4";
    Importer importer(rootRegs, result, wideData);
    for (size_t i = first + 1; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        std::string text = TrimmedRight(lines[i].text);
        bool lossy = lines[i].lossy;
        bool cut = lines[i].cut;
        const std::string start = TrimmedLeft(text);
        const bool continues = !start.empty() && start[0] != '[' && start[0] != ';';
        bool truncated = false;
        while (continues && !text.empty() && text.back() == '\\') {
            // The registry editor never follows a continued line with an empty one: the data broke off.
            if (i + 1 >= lines.size() || TrimmedRight(lines[i + 1].text).empty()) {
                truncated = true;
                break;
            }
            text.pop_back();
            ++i;
            text += TrimmedLeft(TrimmedRight(lines[i].text));
            lossy = lossy || lines[i].lossy;
            cut = cut || lines[i].cut;
        }
        if (cut) {
            importer.Skip(number, "the file ends in the middle of a character");
            continue;
        }
        if (truncated) {
            importer.Skip(number, "the value's data breaks off after a continued line");
            continue;
        }
        importer.Entry(number, text, lossy);
    }
    result.recognized = true;
    return result;
}

std::string SkippedMessage(const ImportResult& result, size_t maxLines) {
    if (result.skipped.empty()) {
        return std::string();
    }
    std::string message = "These lines of the file were not imported as they stand:\n";
    for (size_t i = 0; i < result.skipped.size() && i < maxLines; ++i) {
        message += "Line " + std::to_string(result.skipped[i].line) + ": " + result.skipped[i].reason + "\n";
    }
    if (result.skipped.size() > maxLines) {
        message += "... and " + std::to_string(result.skipped.size() - maxLines) + " more.\n";
    }
    return message;
}

}  // namespace regfile
