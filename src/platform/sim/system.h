// A machine with a fixed screen and a program folder chosen by the test.
#pragma once
#include <string>
#include <vector>

#include "platform/system.h"

namespace qv::sim {

class SimSystem : public ISystemInfo {
  public:
    std::string programFolder() const override { return folder; }
    int screenWidthTwips() const override { return widthPx * tppX; }
    int screenHeightTwips() const override { return heightPx * tppY; }
    ScreenArea virtualScreenTwips() const override {
        if (virtualPx.width == 0) return {0, 0, screenWidthTwips(), screenHeightTwips()};
        return {virtualPx.left * tppX, virtualPx.top * tppY, virtualPx.width * tppX, virtualPx.height * tppY};
    }
    int twipsPerPixelX() const override { return tppX; }
    int twipsPerPixelY() const override { return tppY; }
    std::string systemFolder() const override { return "C:\\Windows\\System32"; }
    bool userIsAdministrator() const override { return administrator; }
    void loadLibrary(const std::string& path) override { libraries.push_back(path); }
    std::string productVersion() const override { return "1.0"; }

    // Test control.
    std::string folder = "C:\\Program Files\\Quorvane";
    int widthPx = 1024, heightPx = 768, tppX = 15, tppY = 15;
    ScreenArea virtualPx;  // in pixels; empty: the primary monitor alone
    std::vector<std::string> libraries;
    bool administrator = false;
};

}  // namespace qv::sim
