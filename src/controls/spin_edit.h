#pragma once
// The number field: a window of class "TElSpinEdit" holding a real EDIT child
// (the tab stop that takes the focus) and a pair of arrow buttons at its right
// end. The rules live in SpinEditModel; this control wires the EDIT's messages,
// the arrow buttons, the keys and the wheel to it and tells the parent about
// the user's actions (control_notify.h).

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/field_window.h"
#include "controls/spin_edit_model.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {

class TElSpinEdit {
  struct PassKey {};

 public:
  // Timing of an arrow button held down.
  static constexpr UINT kRepeatDelayMs = 400;
  static constexpr UINT kRepeatIntervalMs = 100;

  // Creates the field as a child of parent; rect in parent client pixels. The
  // object belongs to its window and is destroyed with it. The bounds and the
  // value are applied as a form description applies them, then the
  // end-of-creation steps pull the value into the range. nullptr on failure.
  static TElSpinEdit* Create(HWND parent, int id, const RECT& rect, int32_t minValue,
                             int32_t maxValue, int32_t value);
  // nullptr if hwnd is not a number field.
  static TElSpinEdit* FromHandle(HWND hwnd);

  HWND Handle() const { return hwnd_; }
  HWND EditHandle() const { return edit_; }
  HWND ButtonsHandle() const { return buttons_; }  // the arrow pair

  // Setting by program raises no notification.
  int32_t Value() const { return model_.Value(); }
  void SetValue(int32_t v);
  int32_t MinValue() const { return model_.MinValue(); }
  void SetMinValue(int32_t v);
  int32_t MaxValue() const { return model_.MaxValue(); }
  void SetMaxValue(int32_t v);
  int32_t Increment() const { return model_.Increment(); }
  void SetIncrement(int32_t v) { model_.SetIncrement(v); }
  int32_t LargeIncrement() const { return model_.LargeIncrement(); }
  void SetLargeIncrement(int32_t v) { model_.SetLargeIncrement(v); }

  // The text as shown.
  std::string Text() const;

  bool ReadOnly() const { return model_.ReadOnly(); }
  void SetReadOnly(bool on);

  // Background of the text area (COLOR_WINDOW until set).
  COLORREF Color() const { return frame_.Color(); }
  void SetColor(COLORREF color);

  explicit TElSpinEdit(PassKey);
  ~TElSpinEdit();
  TElSpinEdit(const TElSpinEdit&) = delete;
  TElSpinEdit& operator=(const TElSpinEdit&) = delete;

 private:
  enum class Pressed { None, Up, Down };

  static LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  template <typename T>
  friend LRESULT FieldWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  template <typename T>
  friend T* CreateFieldWindow(std::unique_ptr<T> self, const wchar_t* className, HWND parent,
                              int id, const RECT& rect);
  static LRESULT CALLBACK ButtonsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR data);

  LRESULT FieldMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ButtonsMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT EditMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  bool CreateChildren();
  void Layout();

  // The EDIT, passing a message on and checking the text once the outermost
  // message that changed it has returned.
  LRESULT ForwardToEdit(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnEditChar(WPARAM wParam, LPARAM lParam);
  LRESULT OnEditKeyDown(WPARAM wParam, LPARAM lParam);
  void NoteEditSelection();
  void OnEditChange();
  void CheckEditedText();

  void OnWheel(int delta);
  void FocusEdit();
  void ButtonStep(bool up);
  void OnButtonsDown(int y);
  void EndPress();
  void PaintButtons(HDC dc);
  int ButtonsHeight() const;

  // Copies the model's text and selection into the EDIT when they moved.
  void ShowModel();
  bool Notify(const SpinEvents& events);

  HWND hwnd_ = nullptr;
  HWND edit_ = nullptr;
  HWND buttons_ = nullptr;
  bool ownedByWindow_ = false;
  AliveToken alive_ = std::make_shared<bool>(true);

  SpinEditModel model_;
  uint32_t shownTextRevision_ = 0;
  uint32_t shownSelectionRevision_ = 0;
  int editDepth_ = 0;
  bool pendingChange_ = false;

  Pressed pressed_ = Pressed::None;
  Pressed hot_ = Pressed::None;
  bool trackingLeave_ = false;
  UniqueTheme theme_;

  FieldFrame frame_;
};

}  // namespace tftpcfg
