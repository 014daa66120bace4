// Fonts and brushes made from the model's values, created once and kept until the end.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "platform/forms.h"

namespace qv::win32 {

class GdiCache {
  public:
    explicit GdiCache(int dpiY) : dpiY_(dpiY) {}
    ~GdiCache();
    GdiCache(const GdiCache&) = delete;
    GdiCache& operator=(const GdiCache&) = delete;

    HFONT font(const ui::Font& f);
    HBRUSH brush(ui::Colour c);
    // A model colour as a COLORREF: plain RGB, or 0x80000000 | index for a system colour.
    static COLORREF colour(ui::Colour c);
    static bool isSystem(ui::Colour c) { return (c & 0x80000000u) != 0; }
    // Character height for a point size: negative, so that it is the em height.
    static int fontHeight(double points, int dpiY);

  private:
    int dpiY_;
    std::map<std::string, HFONT> fonts_;
    std::map<COLORREF, HBRUSH> brushes_;
};

}  // namespace qv::win32
