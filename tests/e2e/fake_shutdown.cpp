// Stand-in for the system's shutdown.exe in end-to-end tests: copied over the system's own in the
// test's Wine prefix (and beside the program, where it must never be the one started), it shuts
// nothing down and appends the command line it was started with, as one line, to
// "shutdown-calls.txt" in its own folder.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    std::string log(self, n);
    log = log.substr(0, log.find_last_of("\\/") + 1) + "shutdown-calls.txt";
    FILE* f = std::fopen(log.c_str(), "ab");
    if (!f) return 1;
    std::fprintf(f, "%s\r\n", GetCommandLineA());
    std::fclose(f);
    return 0;
}
