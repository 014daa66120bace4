#include "platform/sim/dialogs.h"

namespace qv::sim {

int SimDialogs::messageBox(uintptr_t, const std::string& text, const std::string& title, int flags) {
    shown.push_back({text, title, flags});
    if (whileShown) whileShown(shown.back());
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (flags & 0xF) {
        case mb::kYesNo:
            return mb::kIdYes;
        default:
            return mb::kIdOk;
    }
}

OpenFileResult SimDialogs::openFile(uintptr_t, const std::string& filter) {
    fileFilters.push_back(filter);
    if (files.empty()) return OpenFileResult{true, {}};
    OpenFileResult r = files.front();
    files.pop_front();
    return r;
}

bool SimDialogs::winHelp(uintptr_t, const std::string& helpFile, uint32_t command, uintptr_t data) {
    helps.push_back({helpFile, command, data});
    return helpViewer;
}

}  // namespace qv::sim
