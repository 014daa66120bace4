// An in-memory registry with the real one's rules: names compared without regard to case with
// the first spelling kept, values enumerated in creation order, typed data, the unnamed value,
// handles with access rights, keys with subkeys that cannot be deleted.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qv::sim {

class SimRegistry : public IRegistry {
  public:
    struct Value {
        std::string name;
        uint32_t type = reg::kSz;
        std::vector<uint8_t> data;
    };
    struct Key {
        std::string name;
        std::vector<std::unique_ptr<Key>> subkeys;
        std::vector<Value> values;
    };

    SimRegistry();
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

    // Test control.
    bool denyLocalMachineWrites = false;  // as for a user without administrative rights
    size_t openHandles() const { return handles_.size(); }
    // Plain access for tests: "HKCU\\Software\\..." paths; nullptr when missing.
    const Key* findKey(const std::string& fullPath) const;
    const Value* findValue(const std::string& fullPath, const std::string& name) const;
    std::string readString(const std::string& fullPath, const std::string& name,
                           const std::string& def = "") const;
    void writeRaw(const std::string& fullPath, const std::string& name, uint32_t type,
                  const std::vector<uint8_t>& d);
    void writeString(const std::string& fullPath, const std::string& name,
                     const std::string& s);  // NUL added

  private:
    struct Handle {
        RegKey root;
        std::vector<std::string> path;
        uint32_t access;
    };
    Key* rootKey(RegKey root) const;
    Key* resolve(RegKey root, const std::vector<std::string>& path) const;
    long handleKey(RegKey key, Key** out, const Handle** h = nullptr) const;
    long openOrCreate(RegKey parent, const std::string& path, uint32_t access, RegKey* out, bool create);

    std::unique_ptr<Key> hkcu_, hklm_;
    std::map<RegKey, Handle> handles_;
    RegKey nextHandle_ = 0x1000;
};

}  // namespace qv::sim
