#include "platform/sim/registry.h"

#include <algorithm>
#include <cstring>

namespace qv::sim {

namespace {

constexpr long kKeyDeleted = 1018;
constexpr long kBadPathname = 161;
constexpr uint32_t kSetValue = 0x0002;

// Names are compared as the real registry does, without regard to case (ASCII here).
char folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(const std::string& a, const char* b, size_t bSize) {
    if (a.size() != bSize) return false;
    for (size_t i = 0; i < bSize; ++i)
        if (a[i] != b[i] && folded(a[i]) != folded(b[i])) return false;
    return true;
}

bool sameName(const std::string& a, const std::string& b) {
    return sameName(a, b.data(), b.size());
}

bool splitPath(const std::string& path, std::vector<std::string>& out) {
    out.clear();
    if (path.empty()) return true;
    size_t start = 0;
    while (true) {
        const size_t bs = path.find('\\', start);
        std::string part = path.substr(start, bs == std::string::npos ? std::string::npos : bs - start);
        if (part.empty()) {
            if (bs == std::string::npos) return true;  // a trailing separator is accepted
            return false;
        }
        out.push_back(part);
        if (bs == std::string::npos) return true;
        start = bs + 1;
    }
}

SimRegistry::Key* childOf(SimRegistry::Key* k, const std::string& name) {
    for (auto& s : k->subkeys)
        if (sameName(s->name, name)) return s.get();
    return nullptr;
}

SimRegistry::Value* valueOf(SimRegistry::Key* k, const char* name) {
    if (!name) name = "";
    const size_t size = std::strlen(name);
    for (auto& v : k->values)
        if (sameName(v.name, name, size)) return &v;
    return nullptr;
}

}  // namespace

SimRegistry::SimRegistry() : hkcu_(std::make_unique<Key>()), hklm_(std::make_unique<Key>()) {
    // A fresh machine already has the Run key.
    std::vector<std::string> run = {"SOFTWARE", "Microsoft", "Windows", "CurrentVersion", "Run"};
    Key* k = hklm_.get();
    for (auto& p : run) {
        k->subkeys.push_back(std::make_unique<Key>());
        k->subkeys.back()->name = p;
        k = k->subkeys.back().get();
    }
    Key* sw = hkcu_.get();
    sw->subkeys.push_back(std::make_unique<Key>());
    sw->subkeys.back()->name = "Software";
}

SimRegistry::Key* SimRegistry::rootKey(RegKey root) const {
    if (root == reg::kCurrentUser) return hkcu_.get();
    if (root == reg::kLocalMachine) return hklm_.get();
    return nullptr;
}

SimRegistry::Key* SimRegistry::resolve(RegKey root, const std::vector<std::string>& path) const {
    Key* k = rootKey(root);
    for (auto& p : path) {
        if (!k) return nullptr;
        k = childOf(k, p);
    }
    return k;
}

long SimRegistry::handleKey(RegKey key, Key** out, const Handle** h) const {
    if (rootKey(key)) {
        *out = rootKey(key);
        if (h) *h = nullptr;
        return reg::kOk;
    }
    auto it = handles_.find(key);
    if (it == handles_.end()) return reg::kInvalidHandle;
    *out = resolve(it->second.root, it->second.path);
    if (h) *h = &it->second;
    return *out ? reg::kOk : kKeyDeleted;
}

long SimRegistry::openOrCreate(RegKey parent, const std::string& path, uint32_t access, RegKey* out,
                               bool create) {
    Handle h;
    if (rootKey(parent)) {
        h.root = parent;
    } else {
        auto it = handles_.find(parent);
        if (it == handles_.end()) return reg::kInvalidHandle;
        h.root = it->second.root;
        h.path = it->second.path;
    }
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return create ? kBadPathname : reg::kFileNotFound;
    Key* k = resolve(h.root, h.path);
    if (!k) return kKeyDeleted;
    const bool writes = (access & kSetValue) != 0 || create;
    for (auto& p : parts) {
        Key* c = childOf(k, p);
        if (!c) {
            if (!create) return reg::kFileNotFound;
            if (h.root == reg::kLocalMachine && denyLocalMachineWrites) return reg::kAccessDenied;
            k->subkeys.push_back(std::make_unique<Key>());
            c = k->subkeys.back().get();
            c->name = p;
        }
        h.path.push_back(c->name);
        k = c;
    }
    if (writes && h.root == reg::kLocalMachine && denyLocalMachineWrites) return reg::kAccessDenied;
    h.access = access;
    *out = nextHandle_++;
    handles_[*out] = h;
    return reg::kOk;
}

long SimRegistry::openKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) {
    return openOrCreate(parent, path, access, out, false);
}

long SimRegistry::createKey(RegKey parent, const std::string& path, uint32_t access, RegKey* out) {
    return openOrCreate(parent, path, access, out, true);
}

long SimRegistry::queryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) {
    Key* k;
    if (long rc = handleKey(key, &k)) return rc;
    Value* v = valueOf(k, name);
    if (!v) return reg::kFileNotFound;
    if (type) *type = v->type;
    const uint32_t len = static_cast<uint32_t>(v->data.size());
    if (!data) {
        if (size) *size = len;
        return reg::kOk;
    }
    if (!size) return reg::kInvalidParameter;
    if (*size < len) {
        *size = len;
        return reg::kMoreData;
    }
    if (len) std::memcpy(data, v->data.data(), len);
    *size = len;
    return reg::kOk;
}

long SimRegistry::setValue(RegKey key, const char* name, uint32_t type, const uint8_t* data, uint32_t size) {
    Key* k;
    const Handle* h;
    if (long rc = handleKey(key, &k, &h)) return rc;
    if (h && !(h->access & kSetValue)) return reg::kAccessDenied;
    Value* v = valueOf(k, name);
    if (!v) {
        k->values.push_back(Value{name ? name : "", type, {}});
        v = &k->values.back();
    }
    v->type = type;
    v->data.assign(data, data + size);
    return reg::kOk;
}

long SimRegistry::deleteValue(RegKey key, const char* name) {
    Key* k;
    const Handle* h;
    if (long rc = handleKey(key, &k, &h)) return rc;
    if (h && !(h->access & kSetValue)) return reg::kAccessDenied;
    Value* v = valueOf(k, name);
    if (!v) return reg::kFileNotFound;
    k->values.erase(k->values.begin() + (v - k->values.data()));
    return reg::kOk;
}

long SimRegistry::deleteKey(RegKey key, const std::string& subkey) {
    Key* k;
    const Handle* h;
    if (long rc = handleKey(key, &k, &h)) return rc;
    std::vector<std::string> parts;
    if (!splitPath(subkey, parts) || parts.empty()) return reg::kInvalidParameter;
    Key* parent = k;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        parent = childOf(parent, parts[i]);
        if (!parent) return reg::kFileNotFound;
    }
    Key* victim = childOf(parent, parts.back());
    if (!victim) return reg::kFileNotFound;
    if (!victim->subkeys.empty()) return reg::kAccessDenied;
    const RegKey root = h ? h->root : key;
    if (root == reg::kLocalMachine && denyLocalMachineWrites) return reg::kAccessDenied;
    auto& v = parent->subkeys;
    v.erase(std::find_if(v.begin(), v.end(), [&](auto& p) { return p.get() == victim; }));
    return reg::kOk;
}

long SimRegistry::queryInfo(RegKey key, uint32_t* maxNameLen, uint32_t* maxDataLen) {
    Key* k;
    if (long rc = handleKey(key, &k)) return rc;
    uint32_t n = 0, d = 0;
    for (auto& v : k->values) {
        n = std::max<uint32_t>(n, static_cast<uint32_t>(v.name.size()));
        d = std::max<uint32_t>(d, static_cast<uint32_t>(v.data.size()));
    }
    if (maxNameLen) *maxNameLen = n;
    if (maxDataLen) *maxDataLen = d;
    return reg::kOk;
}

long SimRegistry::enumValue(RegKey key, uint32_t index, char* name, uint32_t* nameLen, uint32_t* type,
                            uint8_t* data, uint32_t* dataLen) {
    Key* k;
    if (long rc = handleKey(key, &k)) return rc;
    if (index >= k->values.size()) return reg::kNoMoreItems;
    const Value& v = k->values[index];
    if (!name || !nameLen || *nameLen < v.name.size() + 1) return reg::kMoreData;
    if (data && (!dataLen || *dataLen < v.data.size())) return reg::kMoreData;
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameLen = static_cast<uint32_t>(v.name.size());
    if (type) *type = v.type;
    if (data && !v.data.empty()) std::memcpy(data, v.data.data(), v.data.size());
    if (dataLen) *dataLen = static_cast<uint32_t>(v.data.size());
    return reg::kOk;
}

long SimRegistry::closeKey(RegKey key) {
    if (rootKey(key)) return reg::kOk;
    return handles_.erase(key) ? reg::kOk : reg::kInvalidHandle;
}

// ---- plain access for tests ----

namespace {
bool splitFull(const std::string& full, RegKey& root, std::vector<std::string>& parts) {
    const size_t bs = full.find('\\');
    const std::string head = full.substr(0, bs);
    if (sameName(head, "HKCU") || sameName(head, "HKEY_CURRENT_USER")) {
        root = reg::kCurrentUser;
    } else if (sameName(head, "HKLM") || sameName(head, "HKEY_LOCAL_MACHINE")) {
        root = reg::kLocalMachine;
    } else {
        return false;
    }
    return splitPath(bs == std::string::npos ? "" : full.substr(bs + 1), parts);
}
}  // namespace

const SimRegistry::Key* SimRegistry::findKey(const std::string& fullPath) const {
    RegKey root;
    std::vector<std::string> parts;
    if (!splitFull(fullPath, root, parts)) return nullptr;
    return resolve(root, parts);
}

const SimRegistry::Value* SimRegistry::findValue(const std::string& fullPath, const std::string& name) const {
    Key* k = const_cast<Key*>(findKey(fullPath));
    return k ? valueOf(k, name.c_str()) : nullptr;
}

std::string SimRegistry::readString(const std::string& fullPath, const std::string& name,
                                    const std::string& def) const {
    const Value* v = findValue(fullPath, name);
    if (!v) return def;
    std::string s(v->data.begin(), v->data.end());
    if (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

void SimRegistry::writeRaw(const std::string& fullPath, const std::string& name, uint32_t type,
                           const std::vector<uint8_t>& d) {
    RegKey root;
    std::vector<std::string> parts;
    if (!splitFull(fullPath, root, parts)) return;
    std::string path;
    for (auto& p : parts) path += (path.empty() ? "" : "\\") + p;
    RegKey k;
    const bool deny = denyLocalMachineWrites;
    denyLocalMachineWrites = false;
    if (createKey(root, path, reg::kKeyAllAccess, &k) == reg::kOk) {
        setValue(k, name.empty() ? nullptr : name.c_str(), type, d.data(), static_cast<uint32_t>(d.size()));
        closeKey(k);
    }
    denyLocalMachineWrites = deny;
}

void SimRegistry::writeString(const std::string& fullPath, const std::string& name, const std::string& s) {
    std::vector<uint8_t> d(s.begin(), s.end());
    d.push_back(0);
    writeRaw(fullPath, name, reg::kSz, d);
}

}  // namespace qv::sim
