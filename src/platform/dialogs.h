// Message boxes, the open-file dialog, the help viewer and documents.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

namespace mb {
constexpr int kOk = 0;  // button sets (MB_OK ...)
constexpr int kOkCancel = 1;
constexpr int kYesNo = 4;
constexpr int kIconInformation = 0x40;
constexpr int kIdOk = 1;  // answers (IDOK ...)
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
}  // namespace mb

struct OpenFileResult {
    bool cancelled = false;
    std::string path;  // full path of the chosen file
};

class IDialogs {
  public:
    virtual ~IDialogs() = default;
    // Blocks (running the message loop) until the box is closed; returns the button pressed.
    virtual int messageBox(uintptr_t owner, const std::string& text, const std::string& title, int flags) = 0;
    virtual OpenFileResult openFile(uintptr_t owner, const std::string& filter) = 0;
    // WinHelpA; false when the help file cannot be shown (missing, or no Windows Help viewer).
    virtual bool winHelp(uintptr_t owner, const std::string& helpFile, uint32_t command, uintptr_t data) = 0;
    // Opens a document (an HTML page) with the program the system associates with it.
    virtual void openDocument(const std::string& path) = 0;
};

}  // namespace qv
