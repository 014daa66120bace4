#include "settings/reg_settings.h"

#include <algorithm>
#include <vector>

#include "platform/resources.h"

namespace qv {

namespace {

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// "*" stands for the section's unnamed value.
const char* valueName(const std::string& key) {
    return key == "*" ? nullptr : key.c_str();
}

}  // namespace

CRegSettings::CRegSettings(IRegistry& registry, ISystemInfo& system) : reg_(registry), system_(system) {}

void CRegSettings::setCompany(const std::string& name) {
    company_ = name.empty() ? "Hollowmere" : trimmed(name);
}

void CRegSettings::setAppName(const std::string& name) {
    appName_ = name.empty() ? res::kProductName : trimmed(name);
}

std::string CRegSettings::GetKeyPath(const std::string& section) const {
    std::string path = "Software\\" + company_ + "\\" + appName_;
    if (!section.empty()) path += "\\" + section;
    return path;
}

std::string CRegSettings::GetSetting(const std::string& section, const std::string& key,
                                     const std::string& def) {
    std::string result = def;
    RegKey k = 0;
    if (reg_.openKey(reg::kCurrentUser, GetKeyPath(section), reg::kKeyRead, &k) != reg::kOk) return result;
    const char* name = valueName(key);
    uint32_t type = 0, size = 0;
    if (reg_.queryValue(k, name, &type, nullptr, &size) == reg::kOk && size > 0) {
        std::vector<uint8_t> buf(size);
        uint32_t len = size;
        if (reg_.queryValue(k, name, &type, buf.data(), &len) == reg::kOk) {
            // The data end in one NUL; a value written by someone else without it loses its last byte,
            // as the store has always read it. A value that shrank between the two reads is cut short.
            const uint32_t n = std::min(len, size);
            result.assign(reinterpret_cast<const char*>(buf.data()), n ? n - 1 : 0);
        }
    }
    reg_.closeKey(k);
    return result;
}

bool CRegSettings::SaveSetting(const std::string& section, const std::string& key,
                               const std::string& setting) {
    return SaveSettings(section, {{key, setting}});
}

bool CRegSettings::SaveSettings(const std::string& section, const Rows& rows) {
    RegKey k = 0;
    if (reg_.createKey(reg::kCurrentUser, GetKeyPath(section), reg::kKeyAllAccess, &k) != reg::kOk)
        return false;
    bool all = true;
    for (const auto& [key, setting] : rows) {
        // the data with their NUL
        all = reg_.setValue(k, valueName(key), reg::kSz, reinterpret_cast<const uint8_t*>(setting.c_str()),
                            static_cast<uint32_t>(setting.size() + 1)) == reg::kOk &&
              all;
    }
    reg_.closeKey(k);
    return all;
}

bool CRegSettings::DeleteSetting(const std::string& section, const std::string& key) {
    RegKey k = 0;
    long rc;
    if (!key.empty()) {
        if (reg_.openKey(reg::kCurrentUser, GetKeyPath(section), reg::kKeyAllAccess, &k) != reg::kOk)
            return false;
        rc = reg_.deleteValue(k, valueName(key));
    } else {
        if (reg_.openKey(reg::kCurrentUser, GetKeyPath(""), reg::kKeyAllAccess, &k) != reg::kOk) return false;
        rc = reg_.deleteKey(k, section);
    }
    reg_.closeKey(k);
    return rc == reg::kOk;
}

CRegSettings::Rows CRegSettings::GetAllSettings(const std::string& section) {
    Rows rows;
    RegKey k = 0;
    if (reg_.openKey(reg::kCurrentUser, GetKeyPath(section), reg::kKeyRead, &k) != reg::kOk) return rows;
    uint32_t maxName = 0, maxData = 0;
    if (reg_.queryInfo(k, &maxName, &maxData) != reg::kOk) {
        reg_.closeKey(k);
        return rows;
    }
    std::vector<char> name(maxName + 1);
    std::vector<uint8_t> data(maxData + 1);
    for (uint32_t index = 0;; ++index) {
        uint32_t nameLen = static_cast<uint32_t>(name.size()), dataLen = static_cast<uint32_t>(data.size());
        uint32_t type = 0;
        if (reg_.enumValue(k, index, name.data(), &nameLen, &type, data.data(), &dataLen) != reg::kOk) break;
        if (type != reg::kSz) continue;
        nameLen = std::min<uint32_t>(nameLen, static_cast<uint32_t>(name.size()));
        dataLen = std::min<uint32_t>(dataLen, static_cast<uint32_t>(data.size()));
        rows.emplace_back(std::string(name.data(), nameLen),
                          std::string(reinterpret_cast<const char*>(data.data()), dataLen ? dataLen - 1 : 0));
    }
    reg_.closeKey(k);
    return rows;
}

std::string CRegSettings::runPath() const {
    return system_.programFolder() + "\\" + res::kExeName;
}

bool CRegSettings::makeStartUp() {
    const std::string path = runPath();
    RegKey k = 0;
    if (reg_.createKey(reg::kLocalMachine, kRunKey, reg::kKeyAllAccess, &k) != reg::kOk) return false;
    const long rc = reg_.setValue(k, kRunValue, reg::kSz, reinterpret_cast<const uint8_t*>(path.data()),
                                  static_cast<uint32_t>(path.size()));
    reg_.closeKey(k);
    return rc == reg::kOk;
}

bool CRegSettings::deleteStartUp() {
    RegKey k = 0;
    if (reg_.openKey(reg::kLocalMachine, kRunKey, reg::kKeyAllAccess, &k) == reg::kOk) {
        reg_.deleteValue(k, kRunValue);
        reg_.closeKey(k);
    }
    // Removed, never there, or naming another copy: this program is not started with Windows.
    return !startUpRegistered();
}

bool CRegSettings::startUpRegistered() {
    RegKey k = 0;
    if (reg_.openKey(reg::kLocalMachine, kRunKey, reg::kKeyRead, &k) != reg::kOk) return false;
    char data[1024];
    uint32_t type = 0, size = sizeof data;
    const long rc = reg_.queryValue(k, kRunValue, &type, reinterpret_cast<uint8_t*>(data), &size);
    reg_.closeKey(k);
    if (rc != reg::kOk || type != reg::kSz) return false;
    // The path, with or without a NUL after it and quotes around it, in any case of the letters.
    const char* named = data;
    if (size > 0 && !data[size - 1]) --size;
    if (size >= 2 && data[0] == '"' && data[size - 1] == '"') ++named, size -= 2;
    const std::string own = runPath();
    bool same = size == own.size();
    for (size_t i = 0; same && i < size; ++i) same = (named[i] | 0x20) == (own[i] | 0x20);
    return same;
}

}  // namespace qv
