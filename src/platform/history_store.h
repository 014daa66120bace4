// Where the history of what happened is kept: a plain text file of the user's, and the guard
// service's copy of it, which the user may read but not change.
#pragma once
#include <cstddef>
#include <string>

namespace qv {

class IHistoryFile {
  public:
    virtual ~IHistoryFile() = default;
    // At most the last `limit` bytes; `whole` is set when they are the whole file. A file that
    // does not exist or cannot be read is empty.
    virtual std::string tail(size_t limit, bool* whole) = 0;
    // Adds one line (with its end) and has it on the disk before returning; makes the file.
    virtual bool append(const std::string& line) = 0;
    // The whole text in place of the file in one step: a power cut leaves the old one or the new.
    virtual bool replace(const std::string& text) = 0;
};

class IHistoryStore {
  public:
    virtual ~IHistoryStore() = default;
    // The user's own file (in the user's local application data).
    virtual IHistoryFile& userFile() = 0;
    // The last `limit` bytes of the guard's copy for this user; "" when there is none.
    virtual std::string guardCopy(size_t limit) = 0;
};

}  // namespace qv
