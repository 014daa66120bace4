// Pictures (JPEG, BMP, GIF) and icons of executables.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

using PictureHandle = uintptr_t;  // 0: no picture

class IPictures {
  public:
    virtual ~IPictures() = default;
    // 0 when the file is missing or no picture; width/height in pixels, 0 for the natural size.
    virtual PictureHandle load(const std::string& path, int width, int height) = 0;
    virtual void release(PictureHandle picture) = 0;
    // The first large icon of an executable, 0 when it has none.
    virtual PictureHandle iconOf(const std::string& path) = 0;
};

}  // namespace qv
