// Message boxes answered from a script, file dialogs that return scripted choices.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace qv::sim {

class SimDialogs : public IDialogs {
  public:
    struct Shown {
        std::string text, title;
        int flags;
    };
    struct Help {
        std::string file;
        uint32_t command;
        uintptr_t data;
    };
    int messageBox(uintptr_t owner, const std::string& text, const std::string& title, int flags) override;
    OpenFileResult openFile(uintptr_t owner, const std::string& filter) override;
    bool winHelp(uintptr_t owner, const std::string& helpFile, uint32_t command, uintptr_t data) override;
    void openDocument(const std::string& path) override { documents.push_back(path); }

    // Test control. Unscripted boxes answer with their first button; unscripted file dialogs cancel.
    std::deque<int> answers;
    std::deque<OpenFileResult> files;
    std::vector<Shown> shown;
    std::vector<std::string> fileFilters;
    std::vector<Help> helps;
    bool helpViewer = false;  // like current Windows: no viewer for the old help files
    std::vector<std::string> documents;
    std::function<void(const Shown&)> whileShown;  // runs while a box is open (its message loop)
};

}  // namespace qv::sim
