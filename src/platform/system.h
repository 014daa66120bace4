// Facts about the machine and the running program.
#pragma once
#include <string>

namespace qv {

class ISystemInfo {
  public:
    virtual ~ISystemInfo() = default;
    // Folder of the running executable; no trailing separator except at a drive's root ("C:\").
    virtual std::string programFolder() const = 0;
    virtual int screenWidthTwips() const = 0;
    virtual int screenHeightTwips() const = 0;
    virtual int twipsPerPixelX() const = 0;
    virtual int twipsPerPixelY() const = 0;
    // The system's own folder (System32), where its programs are; no trailing separator.
    virtual std::string systemFolder() const = 0;
    // LoadLibraryA of a file; the result is only ever ignored.
    virtual void loadLibrary(const std::string& path) = 0;
    // The product version of the running program's version record, as "major.minor".
    virtual std::string productVersion() const = 0;
};

}  // namespace qv
