// MessageBoxA, the open-file dialog (GetOpenFileNameA), WinHelpA and documents (ShellExecuteA).
#pragma once
#include "platform/dialogs.h"

namespace qv::win32 {

class Win32Dialogs : public IDialogs {
  public:
    int messageBox(uintptr_t owner, const std::string& text, const std::string& title, int flags) override;
    OpenFileResult openFile(uintptr_t owner, const std::string& filter) override;
    bool winHelp(uintptr_t owner, const std::string& helpFile, uint32_t command, uintptr_t data) override;
    void openDocument(const std::string& path) override;

    // "Pictures|*.jpg;*.bmp" becomes "Pictures\0*.jpg;*.bmp\0\0", as the dialog wants it.
    static std::string filterForDialog(const std::string& filter);
};

}  // namespace qv::win32
