#include "platform/win32/dialogs.h"

#include <windows.h>
// after windows.h
#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/lazy.h"

namespace qv::win32 {

namespace {
// A hidden or disabled owner would leave the box behind other windows or without a parent that
// gets re-enabled; such an owner is dropped.
HWND usableOwner(uintptr_t owner) {
    HWND w = reinterpret_cast<HWND>(owner);
    return w && IsWindow(w) && IsWindowVisible(w) ? w : nullptr;
}

// The file dialog's DLL is loaded when the first dialog opens (see lazy.h).
LazyProc<decltype(&GetOpenFileNameA)> getOpenFileName("comdlg32.dll", "GetOpenFileNameA");
LazyProc<decltype(&CommDlgExtendedError)> commDlgExtendedError("comdlg32.dll", "CommDlgExtendedError");
}  // namespace

int Win32Dialogs::messageBox(uintptr_t owner, const std::string& text, const std::string& title, int flags) {
    HWND w = usableOwner(owner);
    // Without an owner the box could open behind the full-screen lock screen: keep it on top.
    const UINT extra = w ? 0 : MB_TOPMOST | MB_SETFOREGROUND;
    return MessageBoxA(w, text.c_str(), title.c_str(), static_cast<UINT>(flags) | extra);
}

std::string Win32Dialogs::filterForDialog(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    // A filter ends with an empty string; an odd part count gets an empty pattern list.
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

OpenFileResult Win32Dialogs::openFile(uintptr_t owner, const std::string& filter) {
    const std::string f = filterForDialog(filter);
    std::vector<char> file(32768, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = usableOwner(owner);
    ofn.lpstrFilter = filter.empty() ? nullptr : f.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    // The working directory stays where it was: nothing else in the program should move with it.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    OpenFileResult r;
    auto open = getOpenFileName.get();
    auto error = commDlgExtendedError.get();
    // Without the dialog's DLL there is nothing to show: a failure, not a cancel.
    if (!open || !error) return r;
    startCom();  // the dialog shows the shell's folders
    if (open(&ofn)) {
        r.path = file.data();
    } else {
        // No extended error means the user cancelled; a real failure returns no path, not a cancel.
        r.cancelled = error() == 0;
    }
    return r;
}

// Windows Help is gone from current systems, and a missing file would only bring up its error:
// without the file there is nothing to show.
bool Win32Dialogs::winHelp(uintptr_t owner, const std::string& helpFile, uint32_t command, uintptr_t data) {
    if (GetFileAttributesA(helpFile.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return WinHelpA(reinterpret_cast<HWND>(owner), helpFile.c_str(), command, data) != FALSE;
}

void Win32Dialogs::openDocument(const std::string& path) {
    startCom();  // the shell may hand the document to a COM extension
    ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace qv::win32
