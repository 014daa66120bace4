#include "platform/sim/history_store.h"

namespace qv::sim {

std::string SimHistoryFile::tail(size_t limit, bool* whole) {
    *whole = text.size() <= limit;
    return *whole ? text : text.substr(text.size() - limit);
}

bool SimHistoryFile::append(const std::string& line) {
    if (!writable) return false;
    text += line;
    return true;
}

bool SimHistoryFile::replace(const std::string& t) {
    if (!writable) return false;
    text = t;
    ++replaced;
    return true;
}

std::string SimHistoryStore::guardCopy(size_t limit) {
    bool whole = false;
    return guard.tail(limit, &whole);
}

}  // namespace qv::sim
