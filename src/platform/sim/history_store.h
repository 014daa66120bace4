// The history files on the simulated machine: texts in memory that a test can read, damage,
// delete or make unwritable.
#pragma once
#include <string>

#include "platform/history_store.h"

namespace qv::sim {

class SimHistoryFile : public IHistoryFile {
  public:
    std::string tail(size_t limit, bool* whole) override;
    bool append(const std::string& line) override;
    bool replace(const std::string& text) override;

    std::string text;  // "" also when the file does not exist
    bool writable = true;
    int replaced = 0;  // whole rewrites, to see that the file is cut rarely
};

class SimHistoryStore : public IHistoryStore {
  public:
    IHistoryFile& userFile() override { return user; }
    std::string guardCopy(size_t limit) override;

    SimHistoryFile user;
    SimHistoryFile guard;  // what the guard service keeps for this user
};

}  // namespace qv::sim
