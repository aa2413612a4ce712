#include "author/AuthorRules.h"

#include <algorithm>

#include "platform/NoCase.h"

namespace author_rules {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return nocase::Equal(a, b);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CommandLine ParseCommandLine(const std::string& line) {
    CommandLine result;
    size_t begin = 0;
    size_t end = line.size();
    while (end > begin && (IsBlank(line[end - 1]) || line[end - 1] == '"')) {
        --end;
    }
    // A quoted path keeps its spaces, commas and hyphens; the options come after the closing quote.
    size_t first = line.find_first_not_of(" \t-", 0);
    if (first != std::string::npos && first < end && line[first] == '"') {
        size_t close = line.find('"', first + 1);
        if (close != std::string::npos && close < end) {
            result.projectPath = line.substr(first + 1, close - first - 1);
            result.options = line.substr(close + 1, end - close - 1);
            return result;
        }
    }
    while (begin < end && (IsBlank(line[begin]) || line[begin] == '-' || line[begin] == '"')) {
        ++begin;
    }
    if (begin == end) {
        return result;
    }
    const std::string text = line.substr(begin, end - begin);
    size_t split = text.find_first_of(" ,-");
    result.projectPath = text.substr(0, split);
    if (split != std::string::npos) {
        result.options = text.substr(split + 1);
    }
    return result;
}

std::string ShortenPath(const std::string& path, size_t maxLength) {
    if (path.size() <= maxLength) {
        return path;
    }
    const std::string dots = "...";
    size_t firstSlash = path.find('\\');
    size_t lastSlash = path.rfind('\\');
    const std::string title = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);
    if (firstSlash == std::string::npos || title.size() + dots.size() + 1 > maxLength) {
        // Not even the file name fits beside the dots: the start of the name stands for it.
        return path.substr(path.size() - title.size(), maxLength - dots.size()) + dots;
    }
    const std::string head = path.substr(0, firstSlash + 1) + dots;
    // Take whole trailing parts while they fit after the head.
    size_t tailStart = lastSlash;
    while (tailStart > firstSlash) {
        size_t previous = path.rfind('\\', tailStart - 1);
        if (previous == std::string::npos || previous <= firstSlash ||
            head.size() + (path.size() - previous) > maxLength) {
            break;
        }
        tailStart = previous;
    }
    std::string shortened = head + path.substr(tailStart);
    if (shortened.size() > maxLength) {
        shortened = dots + path.substr(lastSlash);
    }
    return shortened;
}

void RecentFiles::Add(const std::string& path) {
    Remove(path);
    entries_.insert(entries_.begin(), path);
    if (entries_.size() > kMaxEntries) {
        entries_.resize(kMaxEntries);
    }
}

void RecentFiles::Remove(const std::string& path) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const std::string& entry) { return SameText(entry, path); }),
                   entries_.end());
}

void RecentFiles::Assign(const std::vector<std::string>& stored) {
    entries_.clear();
    for (const std::string& path : stored) {
        if (path.empty() || entries_.size() == kMaxEntries ||
            std::any_of(entries_.begin(), entries_.end(), [&](const std::string& e) { return SameText(e, path); })) {
            continue;
        }
        entries_.push_back(path);
    }
}

ProjectForm FormOfPath(const std::string& path) {
    const char extension[] = ".toml";
    const size_t length = sizeof extension - 1;
    return path.size() >= length && SameText(path.substr(path.size() - length), extension)
               ? ProjectForm::kText
               : ProjectForm::kFile;
}

int SaveTypeOf(ProjectForm form) {
    return form == ProjectForm::kText ? kSaveTypeText : kSaveTypeFile;
}

namespace {

bool EndsWith(const std::string& path, const std::string& extension) {
    return path.size() >= extension.size() && SameText(path.substr(path.size() - extension.size()), extension);
}

}  // namespace

SaveChoice ChooseSaveForm(int saveType, const std::string& chosenPath) {
    SaveChoice choice{saveType == kSaveTypeText ? ProjectForm::kText : ProjectForm::kFile, chosenPath};
    const std::string extension = choice.form == ProjectForm::kText ? ".toml" : ".tsp";
    const std::string other = choice.form == ProjectForm::kText ? ".tsp" : ".toml";
    if (EndsWith(chosenPath, other)) {
        choice.path = chosenPath.substr(0, chosenPath.size() - other.size()) + extension;
    } else if (!EndsWith(chosenPath, extension)) {
        choice.path += extension;
    }
    return choice;
}

bool PlaceOnScreen(const Rect& saved, const Rect& workArea, int minWidth, int minHeight, Rect* placed) {
    if (saved.Width() <= 0 || saved.Height() <= 0 || workArea.Width() <= 0 || workArea.Height() <= 0) {
        return false;
    }
    const int width = std::min(std::max(saved.Width(), minWidth), workArea.Width());
    const int height = std::min(std::max(saved.Height(), minHeight), workArea.Height());
    const int left = std::min(std::max(saved.left, workArea.left), workArea.right - width);
    const int top = std::min(std::max(saved.top, workArea.top), workArea.bottom - height);
    *placed = Rect{left, top, left + width, top + height};
    return true;
}

FrameBoxes FrameLayout(int width, int height, int toolbarHeight, const Rect& designedList,
                       const Rect& designedArea, int designedWidth, int designedHeight) {
    width = std::max(width, designedWidth);
    height = std::max(height, designedHeight);
    constexpr int kBelowToolbar = 4;
    const int top = std::max(designedList.top, toolbarHeight + kBelowToolbar);
    const int bottom = height - (designedHeight - designedList.bottom);
    FrameBoxes boxes;
    boxes.list = Rect{designedList.left, top, designedList.right, bottom};
    boxes.area = Rect{designedArea.left, top, width - (designedWidth - designedArea.right), bottom};
    return boxes;
}

}  // namespace author_rules
