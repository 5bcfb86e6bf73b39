#pragma once
// The rule dialog "Client access rights": one access rule entered as an access
// right and a single IP address or an IP network with its mask. Built from a
// table of controls when Add or Edit first needs it, then shown modally for
// every Add and Edit and hidden (not destroyed) when it closes, so its
// controls keep their contents from one use to the next.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/control_ids.h"
#include "toolkit/control_table.h"
#include "toolkit/dialog_window.h"

namespace tftpcfg {

class RuleDialog final : public DialogWindow {
 public:
  struct Options {
    // Called once the dialog is shown and has the focus, from inside its modal
    // loop (tests act on the dialog there).
    std::function<void(RuleDialog&)> onShown;
  };
  // Raises FatalError when the dialog or a control cannot be created.
  static std::unique_ptr<RuleDialog> Create(HINSTANCE instance, HWND owner, Options options = {});

  HWND Control(int id) const { return controls_.Find(id); }
  void SetOnShown(std::function<void(RuleDialog&)> onShown) {
    options_.onShown = std::move(onShown);
  }

  // Shows the dialog modally over owner; true when it was closed with OK.
  bool ShowModal(HWND owner);

  // The dialog's contents, as Add and Edit read and write them.
  int AccessIndex() const;
  void SetAccessIndex(int index);
  bool SingleSelected() const;
  // Selects one of the two radio buttons; the labels and the mask follow.
  void SelectSingle(bool single);
  std::string Address() const;
  std::string Mask() const;
  // Raise "Invalid IP address string" for text that is no address.
  void SetAddress(const std::string& address);
  void SetMask(const std::string& mask);
  // The rule's first grid column as the dialog's mode decides it.
  std::string RowAddressText() const;

 private:
  explicit RuleDialog(Options options) : options_(std::move(options)) {}
  void OnCreate() override;
  INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  SIZE Layout() override;
  // The labels and the mask follow the choice between a single address and a
  // network.
  void UpdateAddressMode();
  // A single host gets the all-ones mask however the dialog closes.
  void OnClose();
  void EndModal(int result);

  Options options_;
  ControlTable controls_;
  int result_ = 0;
  bool shownBefore_ = false;
  bool modal_ = false;
};

}  // namespace tftpcfg
