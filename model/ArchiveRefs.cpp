#include "model/ArchiveRefs.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/NoCase.h"

namespace archive_refs {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Folded(const std::string& text, size_t i) {
    return i < text.size() ? text[i] : '\0';
}

// The number before the comma of a stored relative path: an optional sign and decimal digits.
bool ParseCount(const std::string& text, long* value) {
    size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (digits == text.size() || !std::all_of(text.begin() + digits, text.end(), IsDigit)) {
        return false;
    }
    *value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

}  // namespace

void ExchangeFileRef(CTreeArchive& ar, const char* name, int* position, int fileCount) {
    int32_t value = *position;
    ar.ExchangeInt(name, &value, -1);
    if (!ar.IsStoring()) {
        *position = value >= 0 && value < fileCount ? value : -1;
    }
}

std::string EncodeIndexPath(const std::vector<int>& positionsFromRoot) {
    std::string text;
    for (int position : positionsFromRoot) {
        text += std::to_string(position);
        text += ',';
    }
    return text;
}

bool ParseIndexPath(const std::string& text, std::vector<int>* positionsFromRoot) {
    positionsFromRoot->clear();
    if (text.empty()) {
        return false;
    }
    size_t at = 0;
    while (at < text.size()) {
        size_t comma = text.find(',', at);
        if (comma == std::string::npos || comma == at || comma - at > 9 ||
            !std::all_of(text.begin() + at, text.begin() + comma, IsDigit)) {
            positionsFromRoot->clear();
            return false;
        }
        positionsFromRoot->push_back(std::atoi(text.substr(at, comma - at).c_str()));
        at = comma + 1;
    }
    return true;
}

std::string EncodeRelativePath(const std::string& path, const std::string& base) {
    const size_t longer = std::max(path.size(), base.size());
    size_t same = 0;
    size_t lastSlash = std::string::npos;
    const std::string foldedPath = nocase::Upper(path);
    const std::string foldedBase = nocase::Upper(base);
    for (; same < longer && Folded(foldedPath, same) == Folded(foldedBase, same); ++same) {
        if (path[same] == '\\') {
            lastSlash = same;
        }
    }
    if (same == longer || same == 0 || lastSlash == std::string::npos) {
        return path;
    }
    long ups = std::count(base.begin() + static_cast<long>(lastSlash) + 1, base.end(), '\\');
    return std::to_string(ups) + "," + path.substr(lastSlash);
}

std::string DecodeRelativePath(const std::string& stored, const std::string& base) {
    size_t comma = stored.find(',');
    long count = 0;
    // A path stored unchanged may hold commas of its own; only a leading number makes a relative path.
    if (comma == std::string::npos || !ParseCount(stored.substr(0, comma), &count)) {
        return stored;
    }
    const std::string rest = stored.substr(comma + 1);
    long n = count < LONG_MAX ? count + 1 : count;
    for (size_t i = base.size(); i-- > 0;) {
        if (base[i] == '\\' && --n == 0) {
            return base.substr(0, i) + rest;
        }
    }
    size_t last = base.rfind('\\');
    return (last == std::string::npos ? std::string() : base.substr(0, last + 1)) + rest;
}

void ExchangeRelativePath(CTreeArchive& ar, const char* name, std::string* path, const std::string& base) {
    if (ar.IsStoring()) {
        std::string stored = EncodeRelativePath(*path, base);
        ar.ExchangeString(name, &stored, std::string());
    } else {
        std::string stored;
        ar.ExchangeString(name, &stored, std::string());
        *path = DecodeRelativePath(stored, base);
    }
}

}  // namespace archive_refs
