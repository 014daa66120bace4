// Table-driven cases for the settings store, run against any registry: the simulated one in the
// native tests and the real one by a Windows build under Wine, so the two are held to one behaviour.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"

namespace qv::storecases {

struct Case {
    const char* name;
    // The case needs values back in creation order, as Windows keeps them (Wine sorts them).
    bool needsCreationOrder;
    // Returns the failures; each case works under its own application key.
    std::function<std::vector<std::string>(IRegistry&, ISystemInfo&, const std::string& appName)> run;
};

std::vector<Case>& all();  // filled as the program starts

}  // namespace qv::storecases
