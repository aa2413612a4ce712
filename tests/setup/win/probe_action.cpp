// A custom-action library for the setup program's tests: records what it sees into the file named by
// TESSARO_PROBE_OUT, one line per call.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int Record(HWND window, int answer) {
    char out[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TESSARO_PROBE_OUT", out, MAX_PATH) == 0) {
        return 0;
    }
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    // The run's private folder: "ts", the process number in hexadecimal, ".0" in a temporary folder of its own.
    char own[32] = "";
    std::snprintf(own, sizeof own, "ts%lx.0\\", GetCurrentProcessId());
    const std::string ts = std::string(temp) + own;
    FILE* file = std::fopen(out, "ab");
    if (file == nullptr) {
        return 0;
    }
    std::fprintf(file, "hwnd=%s img=%d support=%d tsdb=%d tssetup=%d datacab=%d window=%d\n",
                 window != nullptr ? "set" : "null", Exists(ts + "setup.img"), Exists(ts + "support.txt"),
                 Exists(ts + "TSdb.dat"), Exists(ts + "TSSetup.exe"), Exists(ts + "TSData.cab"),
                 FindWindowA(nullptr, "Probe Product Setup") != nullptr);
    std::fclose(file);
    return answer;
}

}  // namespace

extern "C" __declspec(dllexport) int __cdecl ProbeAction(HWND window) { return Record(window, 1); }
extern "C" __declspec(dllexport) int __cdecl ProbeFail(HWND window) { return Record(window, 0); }
