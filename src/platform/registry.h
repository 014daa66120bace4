// The registry as the settings store sees it: the calls of advapi32, narrowed to what is used.
// Result codes are Windows error codes (0 is success).
#pragma once
#include <cstdint>
#include <string>

namespace qv {

using RegKey = uintptr_t;

namespace reg {
constexpr RegKey kCurrentUser = 0x80000001u;
constexpr RegKey kLocalMachine = 0x80000002u;

constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;

constexpr uint32_t kNone = 0;
constexpr uint32_t kSz = 1;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;

constexpr long kOk = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kInvalidParameter = 87;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
}  // namespace reg

class IRegistry {
  public:
    virtual ~IRegistry() = default;
    virtual long openKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) = 0;
    virtual long createKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) = 0;
    // name == nullptr addresses the key's unnamed value. data == nullptr asks only for the size.
    // *size is the buffer size in bytes on entry and the data size on return.
    virtual long queryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) = 0;
    virtual long setValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                          uint32_t size) = 0;
    virtual long deleteValue(RegKey key, const char* name) = 0;
    virtual long deleteKey(RegKey key, const std::string& subkey) = 0;
    // Longest value name in characters (without NUL) and longest value data in bytes.
    virtual long queryInfo(RegKey key, uint32_t* maxNameLen, uint32_t* maxDataLen) = 0;
    // *nameLen: buffer size in characters on entry, name length without NUL on return.
    virtual long enumValue(RegKey key, uint32_t index, char* name, uint32_t* nameLen, uint32_t* type,
                           uint8_t* data, uint32_t* dataLen) = 0;
    virtual long closeKey(RegKey key) = 0;
};

}  // namespace qv
