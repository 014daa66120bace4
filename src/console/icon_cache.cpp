#include "console/icon_cache.h"

#include <set>

namespace qv {

IconCache::~IconCache() {
    for (const auto& [path, icon] : icons_)
        if (icon) pictures_.release(icon);
}

PictureHandle IconCache::iconOf(const std::string& path) {
    auto it = icons_.find(path);
    if (it == icons_.end()) it = icons_.emplace(path, pictures_.iconOf(path)).first;
    return it->second;
}

void IconCache::keepOnly(const std::vector<std::string>& paths) {
    const std::set<std::string> listed(paths.begin(), paths.end());
    for (auto it = icons_.begin(); it != icons_.end();) {
        if (listed.count(it->first)) {
            ++it;
            continue;
        }
        if (it->second) pictures_.release(it->second);
        it = icons_.erase(it);
    }
}

}  // namespace qv
