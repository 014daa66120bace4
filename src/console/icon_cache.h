// The icons of the allowed programs' files, each taken from its file once: redrawing the lists
// then costs no file reads. A file changed meanwhile shows its new icon at the next start.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/pictures.h"

namespace qv {

// Owns the icons it hands out; the lists only show them. Entries of the same file share one icon.
class IconCache {
  public:
    explicit IconCache(IPictures& pictures) : pictures_(pictures) {}
    ~IconCache();
    IconCache(const IconCache&) = delete;
    IconCache& operator=(const IconCache&) = delete;

    // The file's first large icon, 0 when it has none (that too is remembered).
    PictureHandle iconOf(const std::string& path);
    // Releases the icons of the files no longer listed; call it once nothing shows them.
    void keepOnly(const std::vector<std::string>& paths);

  private:
    IPictures& pictures_;
    std::map<std::string, PictureHandle> icons_;
};

}  // namespace qv
