// One history file: stamped lines ("2026-12-06 18:00:00 Plan started (Changing mode)"), each
// written at once, the newest 5,000 kept. Lines that cannot be read (a torn write, a file
// damaged or filled with something else) are skipped when reading and dropped at the next cut.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/history_store.h"

namespace qv {

class HistoryLog {
  public:
    static constexpr size_t kKeep = 5'000;
    static constexpr size_t kCutAbove = 5'500;  // lines; then the file is cut back to kKeep
    static constexpr size_t kLineMax = 120;     // a stamped line, without its end
    // Enough for kCutAbove lines of kLineMax; a file longer than this is cut at the next line.
    static constexpr size_t kReadLimit = 1 << 20;

    explicit HistoryLog(IHistoryFile& file) : file_(file) {}

    // Keeps a stamped line (readable() must hold); false when it could not be written.
    bool add(const std::string& line);
    // The readable lines, oldest first.
    std::vector<std::string> lines();

    // A stamp "YYYY-MM-DD HH:MM:SS", a blank and printable text, within kLineMax.
    static bool readable(std::string_view line);
    // The readable lines of a file's tail; unless it is the whole file, its first line is cut.
    static std::vector<std::string> readableLines(std::string_view text, bool whole);

  private:
    bool cut(const std::string& line);
    IHistoryFile& file_;
    size_t count_ = 0;  // lines in the file, as far as this log wrote them
    bool known_ = false;
};

}  // namespace qv
