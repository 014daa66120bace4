#include "platform/win32/lazy.h"

#include <objbase.h>

namespace qv::win32 {

namespace {

// The DLLs asked for so far; a name is a string literal of the caller. A DLL that could not be
// loaded is not tried again.
struct Loaded {
    const char* dll;
    HMODULE module;
};
Loaded g_loaded[8];
int g_count = 0;

HMODULE systemModule(const char* dll) {
    for (int i = 0; i < g_count; ++i)
        if (lstrcmpiA(g_loaded[i].dll, dll) == 0) return g_loaded[i].module;
    char path[MAX_PATH];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    HMODULE m = nullptr;
    if (n > 0 && n + 1 + lstrlenA(dll) < MAX_PATH) {
        path[n] = '\\';
        lstrcpyA(path + n + 1, dll);
        m = LoadLibraryA(path);
    }
    if (g_count < 8) g_loaded[g_count++] = {dll, m};  // past that, each call loads it again
    return m;
}

LazyProc<decltype(&CoInitialize)> coInitialize("ole32.dll", "CoInitialize");
LazyProc<decltype(&CoUninitialize)> coUninitialize("ole32.dll", "CoUninitialize");
bool g_com = false;

}  // namespace

FARPROC systemProc(const char* dll, const char* name) {
    HMODULE m = systemModule(dll);
    return m ? GetProcAddress(m, name) : nullptr;
}

bool startCom() {
    if (g_com) return true;
    auto init = coInitialize.get();
    // S_FALSE: already started on this thread by someone else; it still needs its own end.
    g_com = init && SUCCEEDED(init(nullptr));
    return g_com;
}

void endCom() {
    if (!g_com) return;
    if (auto end = coUninitialize.get()) end();
    g_com = false;
}

}  // namespace qv::win32
