#pragma once
// An in-memory registry for native tests and fuzzing: keys by path, values with
// raw bytes, scripted failures, and counts of opened and closed keys.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tftpcfg::test {

class MemoryRegistry final : public IRegistry {
 public:
  using Values = std::map<std::string, RegValue>;

  std::map<std::string, Values> keys;
  long openError = kErrorSuccess;          // forced failure of OpenLocalMachineKey
  long createError = kErrorSuccess;        // forced failure of CreateLocalMachineKey
  std::set<std::string> refusedValues;     // SetValue fails with access denied
  std::set<std::string> unreadableValues;  // QueryValue fails with access denied
  std::vector<std::string> calls;  // "open <path>", "create <path>", "query <name>", "set <name>"
  int keysOpened = 0;
  int keysClosed = 0;

  Values* Find(const std::string& path) {
    auto it = keys.find(path);
    return it == keys.end() ? nullptr : &it->second;
  }
  void Put(const std::string& path, const std::string& name, uint32_t type, std::string data) {
    keys[path][name] = RegValue{type, std::move(data)};
  }

  std::unique_ptr<IRegistryKey> OpenLocalMachineKey(const std::string& path, uint32_t access,
                                                    long& error) override;
  std::unique_ptr<IRegistryKey> CreateLocalMachineKey(const std::string& path, uint32_t access,
                                                      long& error) override;
  std::string SystemErrorText(long code) override;

  uint32_t lastAccess = 0;
};

// Helpers to build raw value data.
std::string Dword(uint32_t v);
std::string Sz(const std::string& text);  // with its terminating zero byte

}  // namespace tftpcfg::test
