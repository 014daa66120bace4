// Facts about the machine and the running program.
#pragma once
#include <string>

namespace qv {

// A part of the desktop in twips, from the primary monitor's top left corner.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

class ISystemInfo {
  public:
    virtual ~ISystemInfo() = default;
    // Folder of the running executable; no trailing separator except at a drive's root ("C:\").
    virtual std::string programFolder() const = 0;
    // The primary monitor's size; it lies at (0, 0).
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
    // The rectangle around every monitor; left and top are negative when a monitor lies to the
    // left of or above the primary one.
    virtual ScreenArea virtualScreenTwips() const = 0;
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;
    // The system's own folder (System32), where its programs are; no trailing separator.
    virtual std::string systemFolder() const = 0;
    // Whether the user is an administrator: elevated, or a member of the Administrators group
    // whose rights User Account Control holds back until a program asks for them.
    virtual bool userIsAdministrator() const = 0;
    // LoadLibraryA of a file; the result is only ever ignored.
    virtual void loadLibrary(const std::string& path) = 0;
    // The product version of the running program's version record, as "major.minor".
    virtual std::string productVersion() const = 0;
};

}  // namespace qv
