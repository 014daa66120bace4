#include "platform/win32/guard_service.h"

#include <windows.h>
// after windows.h
#include <sddl.h>
#include <wtsapi32.h>

#include <string>
#include <vector>

#include "guard/guard.h"
#include "guard/guard_messages.h"
#include "platform/win32/guard.h"

namespace qv::win32 {

namespace {

// SYSTEM and the administrators may do anything with the pipe; a user logged on at the machine may
// write a line to it (not make an instance of it: that right is FILE_APPEND_DATA); nobody who
// comes over the network may open it.
constexpr const wchar_t* kPipeSddl = L"D:P(D;;GA;;;NU)(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x00120082;;;IU)";
constexpr wchar_t kPipeName[] = L"\\\\.\\pipe\\Quorvane Guard";
constexpr int kInstances = 4;         // clients served at once; more wait or give up (the client waits 20 ms)
constexpr DWORD kReadLimitMs = 1000;  // a client that connects and writes nothing is let go after this
constexpr DWORD kLineBuffer = kGuardMessageMax + 1;  // one byte more shows a line too long

struct Request {
    enum Kind { Logon, LoggingOff, ShuttingDown } kind;
    uint32_t session;
};

// One instance of the pipe: waiting for a client, or reading its line.
struct Instance {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;
    OVERLAPPED ov{};
    bool reading = false;
    int64_t deadlineMs = 0;
    uint32_t pid = 0, session = 0;
    char line[kLineBuffer];
};

int64_t nowMs() {
    return static_cast<int64_t>(GetTickCount64());
}

class GuardService {
  public:
    void main();
    static DWORD WINAPI control(DWORD code, DWORD type, void* data, void* self);

  private:
    void report(DWORD state, DWORD exitCode = NO_ERROR);
    void post(Request r);
    bool openPipe();
    void listen(Instance& in);
    void beginRead(Instance& in);
    void finish(Instance& in);
    void serve();
    void takeRequests();

    SERVICE_STATUS_HANDLE handle_ = nullptr;
    SERVICE_STATUS status_{};
    HANDLE stop_ = nullptr, requested_ = nullptr;
    CRITICAL_SECTION lock_;
    std::vector<Request> requests_;  // from the control handler's thread, under lock_
    Win32GuardSystem* system_ = nullptr;
    Guard* guard_ = nullptr;
    Instance instances_[kInstances];
};

void GuardService::report(DWORD state, DWORD exitCode) {
    status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status_.dwCurrentState = state;
    status_.dwControlsAccepted =
        state == SERVICE_RUNNING
            ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SESSIONCHANGE | SERVICE_ACCEPT_PRESHUTDOWN
            : 0;
    status_.dwWin32ExitCode = exitCode;
    status_.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : 5000;
    status_.dwCheckPoint =
        state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : status_.dwCheckPoint + 1;
    SetServiceStatus(handle_, &status_);
}

void GuardService::post(Request r) {
    EnterCriticalSection(&lock_);
    requests_.push_back(r);
    LeaveCriticalSection(&lock_);
    SetEvent(requested_);
}

// Runs on the service manager's thread: it hands everything to the worker.
DWORD WINAPI GuardService::control(DWORD code, DWORD type, void* data, void* self) {
    auto* s = static_cast<GuardService*>(self);
    switch (code) {
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        case SERVICE_CONTROL_STOP:
            s->report(SERVICE_STOP_PENDING);
            SetEvent(s->stop_);
            return NO_ERROR;
        case SERVICE_CONTROL_PRESHUTDOWN:
        case SERVICE_CONTROL_SHUTDOWN:
            s->post({Request::ShuttingDown, 0});
            s->report(SERVICE_STOP_PENDING);
            SetEvent(s->stop_);
            return NO_ERROR;
        case SERVICE_CONTROL_SESSIONCHANGE: {
            const auto* n = static_cast<const WTSSESSION_NOTIFICATION*>(data);
            if (!n) return NO_ERROR;
            if (type == WTS_SESSION_LOGON) s->post({Request::Logon, static_cast<uint32_t>(n->dwSessionId)});
            if (type == WTS_SESSION_LOGOFF)
                s->post({Request::LoggingOff, static_cast<uint32_t>(n->dwSessionId)});
            return NO_ERROR;
        }
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// The first instance is made with FILE_FLAG_FIRST_PIPE_INSTANCE: if another program made a pipe of
// this name first, the service does not start rather than listen to nobody.
bool GuardService::openPipe() {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kPipeSddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd, FALSE};
    bool ok = true;
    for (int i = 0; i < kInstances && ok; ++i) {
        Instance& in = instances_[i];
        in.pipe = CreateNamedPipeW(
            kPipeName,
            PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | (i == 0 ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, kInstances, 0,
            kLineBuffer, 0, &sa);
        in.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        ok = in.pipe != INVALID_HANDLE_VALUE && in.event;
        if (!ok)
            system_->log("the pipe could not be made (error " + std::to_string(GetLastError()) +
                         "): another program may hold its name");
    }
    LocalFree(sd);
    return ok;
}

void GuardService::listen(Instance& in) {
    for (int tries = 0; tries < 3; ++tries) {
        in.reading = false;
        in.ov = OVERLAPPED{};
        in.ov.hEvent = in.event;
        ResetEvent(in.event);
        const DWORD e = ConnectNamedPipe(in.pipe, &in.ov) ? ERROR_PIPE_CONNECTED : GetLastError();
        if (e == ERROR_IO_PENDING) return;
        if (e == ERROR_PIPE_CONNECTED) return beginRead(in);
        DisconnectNamedPipe(in.pipe);  // a client that came and went already
    }
}

void GuardService::beginRead(Instance& in) {
    ULONG pid = 0, session = 0;
    GetNamedPipeClientProcessId(in.pipe, &pid);
    if (!GetNamedPipeClientSessionId(in.pipe, &session)) {
        DWORD s = 0;
        session = ProcessIdToSessionId(pid, &s) ? s : 0;
    }
    in.pid = pid;
    in.session = session;
    in.reading = true;
    in.deadlineMs = nowMs() + kReadLimitMs;
    in.ov = OVERLAPPED{};
    in.ov.hEvent = in.event;
    ResetEvent(in.event);
    // Done at once or later, the completion is signalled through the event.
    if (!ReadFile(in.pipe, in.line, kLineBuffer, nullptr, &in.ov) && GetLastError() != ERROR_IO_PENDING &&
        GetLastError() != ERROR_MORE_DATA) {
        DisconnectNamedPipe(in.pipe);
        listen(in);
    }
}

// The instance's operation completed: a client connected, or its line (or nothing) arrived.
void GuardService::finish(Instance& in) {
    DWORD n = 0;
    const bool ok = GetOverlappedResult(in.pipe, &in.ov, &n, FALSE);
    if (!in.reading) {
        if (ok) return beginRead(in);
        DisconnectNamedPipe(in.pipe);
        return listen(in);
    }
    // A line longer than kGuardMessageMax ends in ERROR_MORE_DATA: nothing of it is heard.
    if (ok && n > 0 && n <= kGuardMessageMax)
        guard_->message(nowMs(), in.session, in.pid, std::string_view(in.line, n));
    DisconnectNamedPipe(in.pipe);
    listen(in);
}

void GuardService::takeRequests() {
    EnterCriticalSection(&lock_);
    std::vector<Request> taken;
    taken.swap(requests_);
    LeaveCriticalSection(&lock_);
    for (const Request& r : taken) {
        if (r.kind == Request::Logon) guard_->logon(nowMs(), r.session);
        if (r.kind == Request::LoggingOff) guard_->loggingOff(r.session);
        if (r.kind == Request::ShuttingDown) guard_->shuttingDown();
    }
}

// One thread owns the core: requests, pipe completions and process ends all arrive here. After
// any wake-up everything that is ready is served, so a busy pipe cannot starve a process's end.
void GuardService::serve() {
    for (Instance& in : instances_) listen(in);
    for (;;) {
        std::vector<HANDLE> waits = {stop_, requested_};
        int64_t due = guard_->nextDueMs();
        for (Instance& in : instances_) {
            waits.push_back(in.event);
            if (in.reading && (due < 0 || in.deadlineMs < due)) due = in.deadlineMs;
        }
        const auto& watched = system_->watched();
        bool gone = false;
        for (const auto& w : watched) {
            if (w.process) waits.push_back(w.process);
            gone = gone || !w.process;
        }
        const int64_t now = nowMs();
        const DWORD timeout = gone ? 0 : due < 0 ? INFINITE : static_cast<DWORD>(due > now ? due - now : 0);
        WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);

        takeRequests();
        if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return;
        for (Instance& in : instances_) {
            if (WaitForSingleObject(in.event, 0) == WAIT_OBJECT_0) {
                finish(in);
            } else if (in.reading && nowMs() >= in.deadlineMs) {
                CancelIo(in.pipe);
                DWORD n = 0;
                GetOverlappedResult(in.pipe, &in.ov, &n, TRUE);
                DisconnectNamedPipe(in.pipe);
                listen(in);
            }
        }
        for (size_t i = 0; i < system_->watched().size();) {
            const auto w = system_->watched()[i];
            if (w.process && WaitForSingleObject(w.process, 0) != WAIT_OBJECT_0) {
                ++i;
                continue;
            }
            system_->forget(i);
            guard_->ended(nowMs(), w.session, w.pid);  // may watch a new process: appended
        }
        guard_->tick(nowMs());
    }
}

void GuardService::main() {
    handle_ = RegisterServiceCtrlHandlerExW(kGuardServiceName, control, this);
    if (!handle_) return;
    report(SERVICE_START_PENDING);
    InitializeCriticalSection(&lock_);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    requested_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    {
        Win32GuardSystem system;
        Guard guard(system);
        system_ = &system;
        guard_ = &guard;
        if (!stop_ || !requested_ || !openPipe()) {
            report(SERVICE_STOPPED, ERROR_ALREADY_EXISTS);
            return;  // the control handler is no longer called once stopped is reported
        }
        guard.load(nowMs(), system.kept());
        system.log("the guard started");
        report(SERVICE_RUNNING);
        serve();
        system.log("the guard stopped");
        for (Instance& in : instances_) {
            CancelIo(in.pipe);
            CloseHandle(in.pipe);
            CloseHandle(in.event);
        }
    }
    report(SERVICE_STOPPED);
}

void WINAPI serviceMain(DWORD, LPWSTR*) {
    static GuardService service;  // the control handler may run until stopped is reported
    service.main();
}

}  // namespace

int runGuardService() {
    wchar_t name[] = L"Quorvane Guard";
    const SERVICE_TABLE_ENTRYW table[] = {{name, serviceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}

}  // namespace qv::win32
