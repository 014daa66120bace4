#include "platform/win32/gdi.h"

#include <cmath>

namespace qv::win32 {

GdiCache::~GdiCache() {
    for (auto& f : fonts_) DeleteObject(f.second);
    for (auto& b : brushes_) DeleteObject(b.second);
}

COLORREF GdiCache::colour(ui::Colour c) {
    if (isSystem(c)) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0xFFFFFF);
}

int GdiCache::fontHeight(double points, int dpiY) {
    const int hundredths = static_cast<int>(std::lround(points * 100));
    return -MulDiv(hundredths, dpiY, 7200);
}

HFONT GdiCache::font(const ui::Font& f) {
    const int height = fontHeight(f.size, dpiY_);
    const std::string key = f.face + '|' + std::to_string(height) + (f.bold ? "|b" : "|");
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    HFONT h = CreateFontA(height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                          DEFAULT_PITCH | FF_DONTCARE, f.face.c_str());
    if (!h)
        h = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // shared: never deleted
    else
        fonts_[key] = h;
    return h;
}

HBRUSH GdiCache::brush(ui::Colour c) {
    // System colour brushes belong to the system and follow its colour scheme.
    if (isSystem(c)) return GetSysColorBrush(static_cast<int>(c & 0xFF));
    const COLORREF rgb = colour(c);
    auto it = brushes_.find(rgb);
    if (it != brushes_.end()) return it->second;
    HBRUSH b = CreateSolidBrush(rgb);
    brushes_[rgb] = b;
    return b;
}

}  // namespace qv::win32
