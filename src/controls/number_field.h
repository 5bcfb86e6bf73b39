#pragma once
// The number field: a one-line text box for a whole number within a range,
// with a pair of arrow buttons at its right end. A window of class
// kNumberFieldClass built on FieldControl (field_control.h); its rules live in
// SpinEditModel (spin_edit_model.h), which this control wires to a real EDIT,
// the arrows, the keys and the wheel.
//
// Messages (beside the common ones of field_control.h):
//   NFM_SETVALUE       wParam: the value (int32_t); clamped into the range
//   NFM_GETVALUE       returns the value
//   NFM_SETMINVALUE    wParam: the lower bound; ignored when above the upper
//   NFM_SETMAXVALUE    wParam: the upper bound; ignored when below the lower
//   NFM_GETRANGE       wParam, lParam: int32_t* for the lower and upper bound
//   NFM_SETINCREMENT   wParam: the step of arrows, keys and wheel; lParam: of
//                      Page Up and Page Down
//   EM_SETREADONLY     (every field's) also stops the arrows, keys and wheel
//   WM_GETTEXT         the text as shown, which may differ from the value
// Notifications (WM_COMMAND to the parent), only for the user's actions:
//   FN_CHANGE, and before it NFN_UPCLICK or NFN_DOWNCLICK for a step.

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/field_control.h"

namespace tftpcfg {

// The auto-repeat of a held arrow: the field asks for a WM_TIMER with
// kRepeatTimerId after the given milliseconds, again and again, until it
// stops it. The field's own uses a window timer; tests drive the ticks.
inline constexpr UINT_PTR kRepeatTimerId = 1;
class IRepeatTimer {
 public:
  virtual ~IRepeatTimer() = default;
  virtual void Start(HWND field, UINT milliseconds) = 0;
  virtual void Stop(HWND field) = 0;
};

// What a number field is created with (CreateWindowEx's lpParam), applied as
// a form description applies it: the bounds and the value as given, then the
// value pulled into the range. Without it: 0 to 100, value 0.
struct NumberFieldCreateParams {
  int32_t minValue = 0;
  int32_t maxValue = 100;
  int32_t value = 0;
  IRepeatTimer* repeatTimer = nullptr;  // null: a window timer
};

// Timing of an arrow held down.
inline constexpr UINT kRepeatDelayMs = 400;
inline constexpr UINT kRepeatIntervalMs = 100;

// A number field's window, seen through its messages. It owns nothing.
class NumberField : public FieldWindow {
 public:
  // The window class (see RegisterFieldClasses).
  static void RegisterWindowClass();
  // Creates a field; throws when it cannot.
  static NumberField Create(HWND parent, int id, const RECT& rect,
                            const NumberFieldCreateParams& params = {});

  explicit NumberField(HWND hwnd) : FieldWindow(hwnd) {}

  int32_t Value() const { return static_cast<int32_t>(SendMessageW(hwnd_, NFM_GETVALUE, 0, 0)); }
  void SetValue(int32_t value) const { Send(NFM_SETVALUE, value); }
  int32_t MinValue() const;
  int32_t MaxValue() const;
  void SetMinValue(int32_t value) const { Send(NFM_SETMINVALUE, value); }
  void SetMaxValue(int32_t value) const { Send(NFM_SETMAXVALUE, value); }
  void SetIncrement(int32_t step, int32_t largeStep) const;

 private:
  void Send(UINT msg, int32_t value) const {
    SendMessageW(hwnd_, msg, static_cast<WPARAM>(static_cast<uint32_t>(value)), 0);
  }
};

}  // namespace tftpcfg
