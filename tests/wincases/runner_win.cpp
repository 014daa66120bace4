// Runs the settings-store cases against the real registry and prints a closing count.
#include <cstdio>

#include "cases.h"
#include "platform/win32/registry.h"
#include "platform/win32/system.h"

int main() {
    qv::win32::Win32Registry reg;
    qv::win32::Win32System sys;
    int passed = 0, failed = 0;
    int n = 0;
    for (const auto& c : qv::storecases::all()) {
        const auto failures = c.run(reg, sys, "Case" + std::to_string(++n));
        if (failures.empty()) {
            ++passed;
            std::printf("ok   %s\n", c.name);
        } else {
            ++failed;
            std::printf("FAIL %s\n", c.name);
            for (auto& f : failures) std::printf("     %s\n", f.c_str());
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
