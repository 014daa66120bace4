// The running program's folder, the screen and its resolution, and LoadLibraryA.
#pragma once
#include "platform/system.h"

namespace qv::win32 {

class Win32System : public ISystemInfo {
  public:
    Win32System();
    std::string programFolder() const override;
    int screenWidthTwips() const override;
    ScreenArea virtualScreenTwips() const override;
    bool userIsAdministrator() const override;
    int screenHeightTwips() const override;
    int twipsPerPixelX() const override { return 1440 / dpiX_; }
    int twipsPerPixelY() const override { return 1440 / dpiY_; }
    std::string systemFolder() const override;
    void loadLibrary(const std::string& path) override;
    std::string productVersion() const override;

    // Logical pixels per inch of the screen, read once at start-up.
    int dpiX() const { return dpiX_; }
    int dpiY() const { return dpiY_; }

    // The folder part of a full file name, kept with its backslash at a drive's root.
    static std::string folderOf(const std::string& fileName);

  private:
    int dpiX_ = 96, dpiY_ = 96;
};

}  // namespace qv::win32
