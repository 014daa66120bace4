// The registry through advapi32's ANSI calls; the predefined roots arrive as their 32-bit values.
#pragma once
#include "platform/registry.h"

namespace qv::win32 {

class Win32Registry : public IRegistry {
  public:
    long openKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) override;
    long createKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) override;
    long queryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override;
    long setValue(RegKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) override;
    long deleteValue(RegKey key, const char* name) override;
    long deleteKey(RegKey key, const std::string& subkey) override;
    long queryInfo(RegKey key, uint32_t* maxNameLen, uint32_t* maxDataLen) override;
    long enumValue(RegKey key, uint32_t index, char* name, uint32_t* nameLen, uint32_t* type, uint8_t* data,
                   uint32_t* dataLen) override;
    long closeKey(RegKey key) override;
};

}  // namespace qv::win32
