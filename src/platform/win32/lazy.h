// System DLLs that only rarely used features need (the open-file dialog, sound, pictures and COM),
// loaded the first time one of their functions is asked for and then kept for the program's life.
// Linked at start-up they would cost every run memory and time even when the feature is never
// used: under Wine the dialog's DLL alone brings in the printing system with its TLS and Kerberos
// libraries.
#pragma once
#include <windows.h>

namespace qv::win32 {

// The function `name` of the system DLL `dll` ("winmm.dll"); nullptr when either is missing. Only
// the system folder is searched, never the program's own or the working folder. Each DLL is loaded
// once. Called on the program's (GUI) thread.
FARPROC systemProc(const char* dll, const char* name);

// One such function, looked up on its first call and kept, found or not: `F` is its pointer type,
// e.g. decltype(&mciSendStringA) (the declaration alone, nothing is linked).
template <class F>
class LazyProc {
  public:
    constexpr LazyProc(const char* dll, const char* name) : dll_(dll), name_(name) {}
    F get() {
        if (!looked_) {
            fn_ = reinterpret_cast<F>(reinterpret_cast<void*>(systemProc(dll_, name_)));
            looked_ = true;
        }
        return fn_;
    }

  private:
    const char* dll_;
    const char* name_;
    F fn_ = nullptr;
    bool looked_ = false;
};

// COM on the program's thread, started before the first picture, file dialog or document that
// needs it; false when it could not be started. endCom undoes a start, at the program's end.
bool startCom();
void endCom();

}  // namespace qv::win32
