// Runs the settings-store cases against the real registry and prints a closing count.
#include <windows.h>

#include <cstdio>

#include "cases.h"
#include "platform/win32/registry.h"
#include "platform/win32/system.h"

int main() {
    qv::win32::Win32Registry reg;
    qv::win32::Win32System sys;
    // Wine's ntdll exports its version; Windows' does not.
    const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    int failed = 0, run = 0;
    for (const auto& c : qv::storecases::all()) {
        const bool skip = wine && c.needsCreationOrder;  // Wine keeps a key's values in name order
        const auto failures =
            skip ? std::vector<std::string>{} : c.run(reg, sys, "Case" + std::to_string(++run));
        std::printf("%s %s\n", skip ? "skip" : failures.empty() ? "ok  " : "FAIL", c.name);
        for (auto& f : failures) std::printf("     %s\n", f.c_str());
        failed += !failures.empty();
    }
    std::printf("%d failed of %d run\n", failed, run);
    return failed ? 1 : 0;
}
