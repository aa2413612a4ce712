#include "author/Help.h"

#include "author/Settings.h"
#include "platform/Paths.h"

namespace help {

namespace {

constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
constexpr UINT kDisplayToc = 0x0001;    // HH_DISPLAY_TOC
constexpr UINT kDisplayIndex = 0x0002;  // HH_DISPLAY_INDEX

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

std::string HelpFile() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string file = path;
    return file.size() >= 3 ? file.substr(0, file.size() - 3) + "chm" : file;
}

void Open(HWND owner, const std::string& target, UINT command) {
    if (!platform::FileExists(HelpFile())) {
        return;
    }
    static HMODULE library = LoadLibraryA("hhctrl.ocx");
    if (library == nullptr) {
        return;
    }
    auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpA")));
    if (htmlHelp != nullptr) {
        htmlHelp(owner, target.c_str(), command, 0);
    }
}

}  // namespace

void ShowTopic(HWND owner, const std::string& topic) {
    if (!topic.empty()) {
        Open(owner, HelpFile() + "::/" + topic, kDisplayTopic);
    }
}

void ShowContents(HWND owner) { Open(owner, HelpFile(), kDisplayToc); }

void ShowIndex(HWND owner) { Open(owner, HelpFile(), kDisplayIndex); }

std::string TopicOfResource(int resourceId) {
    char text[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(resourceId), text, sizeof text);
    std::string lines = text;
    size_t first = lines.find('\n');
    size_t second = first == std::string::npos ? std::string::npos : lines.find('\n', first + 1);
    return second == std::string::npos ? std::string() : lines.substr(second + 1);
}

void ShowResourceTopic(HWND owner, int resourceId) {
    ShowTopic(owner, TopicOfResource(resourceId));
}

}  // namespace help
