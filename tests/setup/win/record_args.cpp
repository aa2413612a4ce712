// A custom-action program for the setup program's tests: waits TESSARO_PROBE_SLEEP milliseconds, then
// writes its own command line to TESSARO_PROBE_OUT with ".args" appended.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main() {
    char out[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TESSARO_PROBE_OUT", out, MAX_PATH) == 0) {
        return 2;
    }
    char sleep[32] = "";
    if (GetEnvironmentVariableA("TESSARO_PROBE_SLEEP", sleep, sizeof sleep) != 0) {
        Sleep(static_cast<DWORD>(std::atoi(sleep)));
    }
    const std::string path = std::string(out) + ".args";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 1;
    }
    std::fputs(GetCommandLineA(), file);
    std::fclose(file);
    return 0;
}
