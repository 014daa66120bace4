#include "platform/win32/registry.h"

#include <windows.h>

namespace qv::win32 {

namespace {

// The predefined roots are sign-extended on 64-bit Windows, so 0x80000001 must be translated
// rather than cast; every other value is a handle this class handed out.
HKEY toHkey(RegKey k) {
    if (k == reg::kCurrentUser) return HKEY_CURRENT_USER;
    if (k == reg::kLocalMachine) return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(k);
}

}  // namespace

long Win32Registry::openKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) {
    if (!out) return reg::kInvalidParameter;
    HKEY k = nullptr;
    const LONG rc = RegOpenKeyExA(toHkey(parent), path.c_str(), 0, access, &k);
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(k) : 0;
    return rc;
}

long Win32Registry::createKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) {
    if (!out) return reg::kInvalidParameter;
    HKEY k = nullptr;
    DWORD disposition = 0;
    const LONG rc = RegCreateKeyExA(toHkey(parent), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                    nullptr, &k, &disposition);
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(k) : 0;
    return rc;
}

long Win32Registry::queryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    DWORD t = 0, n = size ? *size : 0;
    // Without a size there is no buffer length to trust: ask for the type only.
    const LONG rc =
        RegQueryValueExA(toHkey(key), name, nullptr, &t, size ? data : nullptr, size ? &n : nullptr);
    if (type) *type = t;
    if (size) *size = n;
    return rc;
}

long Win32Registry::setValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                             uint32_t size) {
    return RegSetValueExA(toHkey(key), name, 0, type, data, data ? size : 0);
}

long Win32Registry::deleteValue(RegKey key, const char* name) {
    return RegDeleteValueA(toHkey(key), name);
}

long Win32Registry::deleteKey(RegKey key, const std::string& subkey) {
    // An empty name would address the key itself; that is never what a caller means.
    if (subkey.empty()) return reg::kInvalidParameter;
    return RegDeleteKeyA(toHkey(key), subkey.c_str());
}

long Win32Registry::queryInfo(RegKey key, uint32_t* maxNameLen, uint32_t* maxDataLen) {
    DWORD nameLen = 0, dataLen = 0;
    const LONG rc = RegQueryInfoKeyA(toHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, &nameLen, &dataLen, nullptr, nullptr);
    if (maxNameLen) *maxNameLen = nameLen;
    if (maxDataLen) *maxDataLen = dataLen;
    return rc;
}

long Win32Registry::enumValue(RegKey key, uint32_t index, char* name, uint32_t* nameLen, uint32_t* type,
                              uint8_t* data, uint32_t* dataLen) {
    if (!name || !nameLen) return reg::kInvalidParameter;
    DWORD n = *nameLen, t = 0, d = dataLen ? *dataLen : 0;
    const LONG rc = RegEnumValueA(toHkey(key), index, name, &n, nullptr, &t, dataLen ? data : nullptr,
                                  dataLen ? &d : nullptr);
    *nameLen = n;
    if (type) *type = t;
    if (dataLen) *dataLen = d;
    return rc;
}

long Win32Registry::closeKey(RegKey key) {
    // The predefined roots are never closed by the program; closing them would be a no-op anyway.
    if (key == reg::kCurrentUser || key == reg::kLocalMachine) return reg::kOk;
    return RegCloseKey(toHkey(key));
}

}  // namespace qv::win32
