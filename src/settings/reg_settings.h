// The settings store: named string values in sections below
// HKEY_CURRENT_USER\Software\<Company>\<AppName>, plus the Windows start-up registration.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"

namespace qv {

class CRegSettings {
  public:
    using Rows = std::vector<std::pair<std::string, std::string>>;  // name, value

    CRegSettings(IRegistry& registry, ISystemInfo& system);

    void setCompany(const std::string& name);
    const std::string& company() const { return company_; }
    void setAppName(const std::string& name);
    const std::string& appName() const { return appName_; }

    std::string GetSetting(const std::string& section, const std::string& key, const std::string& def = {});
    bool SaveSetting(const std::string& section, const std::string& key, const std::string& setting);
    // Several values through one open key, in order; false when any of them failed.
    bool SaveSettings(const std::string& section, const Rows& rows);
    bool DeleteSetting(const std::string& section, const std::string& key = {});
    Rows GetAllSettings(const std::string& section);  // empty: nothing

    // Each says whether the registration is now as asked: writing below the machine's Run key needs
    // an administrator.
    bool makeStartUp();
    bool deleteStartUp();
    // Whether the machine's Run value names the program in this folder (as makeStartUp or the
    // setup writes it, the case of the letters and quotes around it aside).
    bool startUpRegistered();

    static constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kRunValue = "Hollowmere";

  private:
    std::string GetKeyPath(const std::string& section) const;
    std::string runPath() const;  // what the Run value names: the program's folder + its file name
    IRegistry& reg_;
    ISystemInfo& system_;
    std::string company_ = "Hollowmere";
    std::string appName_ = "Quorvane";
};

}  // namespace qv
