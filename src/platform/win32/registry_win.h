#pragma once
// The registry interface over the Win32 registry functions. Values are read
// with the wide-character query and handed out in the ANSI code page, text
// that the code page cannot hold exactly failing the query; they are written
// with the ANSI functions.

#include "platform/registry.h"

namespace tftpcfg {

class WinRegistry final : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> OpenLocalMachineKey(const std::string& path, uint32_t access,
                                                    long& error) override;
  std::unique_ptr<IRegistryKey> CreateLocalMachineKey(const std::string& path, uint32_t access,
                                                      long& error) override;
  std::string SystemErrorText(long code) override;
};

}  // namespace tftpcfg
