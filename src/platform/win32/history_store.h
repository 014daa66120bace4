// The history files on Windows: the user's own in %LOCALAPPDATA%\Quorvane\history.txt, and the
// guard's copy for each user in its data folder (%ProgramData%\Quorvane\history-<SID>.txt), which
// only SYSTEM and the administrators may change or delete and users may read.
#pragma once
#include <memory>
#include <string>

#include "platform/history_store.h"

namespace qv::win32 {

class Win32HistoryFile : public IHistoryFile {
  public:
    explicit Win32HistoryFile(std::wstring path) : path_(std::move(path)) {}
    std::string tail(size_t limit, bool* whole) override;
    bool append(const std::string& line) override;
    bool replace(const std::string& text) override;

  private:
    std::wstring path_;  // "" when the folder could not be found: nothing is kept
};

// The name of the guard's copy for a user, by the text of the user's SID ("S-1-5-21-...").
std::wstring guardHistoryName(const std::wstring& sid);
// The text of the SID of a token's user, "" when it cannot be read.
std::wstring tokenUserSid(void* token);

// The folders are looked up at the first use: a program that records nothing asks for none.
class Win32HistoryStore : public IHistoryStore {
  public:
    IHistoryFile& userFile() override;
    std::string guardCopy(size_t limit) override;

  private:
    std::unique_ptr<Win32HistoryFile> user_;
};

}  // namespace qv::win32
