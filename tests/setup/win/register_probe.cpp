// A self-registering library for the file steps' tests: each entry point appends its name to the file
// named by TESSARO_PROBE_OUT.
#include <windows.h>

#include <cstdio>

namespace {

HRESULT Record(const char* line) {
    char out[MAX_PATH] = "";
    if (GetEnvironmentVariableA("TESSARO_PROBE_OUT", out, MAX_PATH) == 0) {
        return E_FAIL;
    }
    FILE* file = std::fopen(out, "ab");
    if (file == nullptr) {
        return E_FAIL;
    }
    std::fprintf(file, "%s\n", line);
    std::fclose(file);
    return S_OK;
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    return Record("register");
}
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return Record("unregister");
}
