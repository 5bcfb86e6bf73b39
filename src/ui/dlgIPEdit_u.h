#pragma once
// The rule dialog "Client access rights": one access rule entered as an access
// right and a single IP address or an IP network with its mask. Created once at
// program start, shown modally for every Add and Edit, hidden (not destroyed)
// when it closes, so its controls keep their contents from one use to the next.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/win32/win_handles.h"
#include "ui/layout.h"

namespace tftpcfg {

class TElIPEdit;

enum RuleDialogControlId : int {
  idDlgOk = IDOK,
  idDlgCancel = IDCANCEL,
  idDlgGroup = 2000,
  idCbAccess,
  idRbSingle,
  idRbNetwork,
  idLblAddress,
  idEdAddress,
  idLblMask,
  idEdMask,
  idDlgLabelAccess,
  idDlgLabelFor,
};

class TdlgIPEdit {
 public:
  static std::unique_ptr<TdlgIPEdit> Create(HINSTANCE instance, HWND owner);
  TdlgIPEdit(const TdlgIPEdit&) = delete;
  TdlgIPEdit& operator=(const TdlgIPEdit&) = delete;
  ~TdlgIPEdit();

  HWND Handle() const { return hwnd_; }

  // Shows the dialog modally over owner; true when it was closed with OK.
  bool ShowModal(HWND owner);

  // The dialog's contents, as Add and Edit read and write them.
  int AccessIndex() const;
  void SetAccessIndex(int index);
  bool SingleSelected() const;
  void SelectSingle(bool single);
  std::string Address() const;
  std::string Mask() const;
  // Raise "Invalid IP address string" for text that is no address.
  void SetAddress(const std::string& address);
  void SetMask(const std::string& mask);
  // The rule's first grid column as the dialog's mode decides it.
  std::string RowAddressText() const;

  // Event handlers.
  void FormActivate();
  void FormClose();
  void rbNetworkClick();
  void UpdateAddressMode();

  // Controls, named as on the form.
  HWND ElGroupBox1 = nullptr;
  HWND cbAccess = nullptr;
  HWND rbSingle = nullptr;
  HWND rbNetwork = nullptr;
  HWND lblAddress = nullptr;
  HWND lblMask = nullptr;
  TElIPEdit* edAddress = nullptr;
  TElIPEdit* edMask = nullptr;
  HWND btnOk = nullptr;
  HWND btnCancel = nullptr;

  // Tests act on the dialog while it is shown modally: called once the dialog
  // is visible and has the focus, from inside its message loop.
  static void SetOnShownForTesting(std::function<void(TdlgIPEdit&)> onShown);

 private:
  TdlgIPEdit() = default;
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void ApplyLayout();
  void NameAddressParts(const TElIPEdit& field);
  void EndModal(int result);

  struct LayoutItem {
    HWND hwnd = nullptr;
    DesignRect rect;
  };

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  UniqueFont font_;
  std::vector<LayoutItem> layout_;
  int result_ = 0;
  bool shownBefore_ = false;
  bool modal_ = false;
};

}  // namespace tftpcfg
