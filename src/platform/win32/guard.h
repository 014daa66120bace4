// The guard service on Windows: Quorvane's side (each line through the guard's named pipe) and the
// machine as the service's core sees it (processes, the session users' settings, the guard's data
// folder).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/guard.h"
#include "platform/guardlink.h"
#include "platform/win32/history_store.h"

namespace qv::win32 {

// The pipe the guard service listens on, in the machine's namespace.
constexpr const char* kGuardPipe = "\\\\.\\pipe\\Quorvane Guard";
// The registered message a second start with /resume broadcasts (kResumeNowMessage in the forms).
constexpr const char* kResumeNowName = "Quorvane resume now";

class Win32GuardLink : public IGuardLink {
  public:
    void tell(const std::string& line) override;
    bool present() override;
};

class Win32GuardSystem : public IGuardSystem {
  public:
    Win32GuardSystem();  // this program file, and the data folder made ready
    ~Win32GuardSystem() override;
    Win32GuardSystem(const Win32GuardSystem&) = delete;
    Win32GuardSystem& operator=(const Win32GuardSystem&) = delete;

    bool isQuorvane(uint32_t pid, uint32_t session) override;
    bool quorvaneRuns(uint32_t session) override;
    std::optional<GuardRunState> readRunState(uint32_t session) override;
    void writeRunState(uint32_t session, const GuardRunState& state) override;
    uint32_t startQuorvane(uint32_t session) override;
    void watch(uint32_t pid, uint32_t session) override;
    bool setTimeOfDay(int hour, int minute, int second) override;
    void log(const std::string& line) override;
    void keep(const std::string& record) override;
    IHistoryFile* historyOf(uint32_t session) override;
    DateTime localNow() override;

    std::string kept() const;  // what an earlier run kept, "" when nothing

    // The watched processes, for the service's wait. A process that was gone before it could be
    // opened has no handle: its end is due at once.
    struct Watched {
        void* process;  // HANDLE with SYNCHRONIZE, or nullptr
        uint32_t pid, session;
    };
    const std::vector<Watched>& watched() const { return watched_; }
    void forget(size_t index);  // its end was reported
    static constexpr size_t kMaxWatched = 48;

    static constexpr uint64_t kLogLimit = 256 * 1024;  // the log keeps its newer half beyond this

  private:
    std::wstring file(const wchar_t* name) const;
    std::wstring program_, folder_, dataFolder_;
    std::vector<Watched> watched_;
    std::map<uint32_t, void*> started_;  // processes this guard started, until watched
    std::map<std::wstring, std::unique_ptr<Win32HistoryFile>> histories_;  // by the user's SID
};

}  // namespace qv::win32
