#include "tests/support/memory_registry.h"

namespace tftpcfg::test {
namespace {

class MemoryKey final : public IRegistryKey {
 public:
  MemoryKey(MemoryRegistry& owner, std::string path) : owner_(owner), path_(std::move(path)) {
    ++owner_.keysOpened;
  }
  ~MemoryKey() override { ++owner_.keysClosed; }

  long QueryValue(const std::string& name, RegValue& value) override {
    owner_.calls.push_back("query " + name);
    auto* values = owner_.Find(path_);
    if (!values) return 1018;  // ERROR_KEY_DELETED
    if (owner_.unreadableValues.count(name)) return kErrorAccessDenied;
    auto it = values->find(name);
    if (it == values->end()) return kErrorFileNotFound;
    value = it->second;
    return kErrorSuccess;
  }

  long SetValue(const std::string& name, uint32_t type, std::string_view data) override {
    owner_.calls.push_back("set " + name);
    if (owner_.refusedValues.count(name)) return kErrorAccessDenied;
    owner_.keys[path_][name] = RegValue{type, std::string(data)};
    return kErrorSuccess;
  }

 private:
  MemoryRegistry& owner_;
  std::string path_;
};

}  // namespace

std::unique_ptr<IRegistryKey> MemoryRegistry::OpenLocalMachineKey(const std::string& path,
                                                                  uint32_t access, long& error) {
  calls.push_back("open " + path);
  lastAccess = access;
  if (openError != kErrorSuccess) {
    error = openError;
    return nullptr;
  }
  if (!Find(path)) {
    error = kErrorFileNotFound;
    return nullptr;
  }
  error = kErrorSuccess;
  return std::make_unique<MemoryKey>(*this, path);
}

std::unique_ptr<IRegistryKey> MemoryRegistry::CreateLocalMachineKey(const std::string& path,
                                                                    uint32_t access, long& error) {
  calls.push_back("create " + path);
  lastAccess = access;
  if (createError != kErrorSuccess) {
    error = createError;
    return nullptr;
  }
  keys[path];
  error = kErrorSuccess;
  return std::make_unique<MemoryKey>(*this, path);
}

std::string MemoryRegistry::SystemErrorText(long code) {
  if (code == kErrorAccessDenied) return "Access is denied";
  return {};
}

std::string Dword(uint32_t v) {
  std::string d(4, '\0');
  for (int i = 0; i < 4; ++i) d[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return d;
}

std::string Sz(const std::string& text) {
  return text + std::string(1, '\0');
}

}  // namespace tftpcfg::test
