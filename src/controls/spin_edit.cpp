#include "controls/spin_edit.h"

#include <commctrl.h>
#include <vsstyle.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "controls/control_notify.h"
#include "controls/edit_command_model.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

constexpr wchar_t kFieldClass[] = L"TElSpinEdit";
constexpr wchar_t kButtonsClass[] = L"TElSpinButtons";
constexpr UINT_PTR kEditSubclassId = 1;
constexpr UINT_PTR kRepeatTimer = 1;
constexpr int kEditId = 1;
constexpr int kButtonsId = 2;

TextSelection EditSelection(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

}  // namespace

TElSpinEdit::TElSpinEdit(PassKey) {}

TElSpinEdit::~TElSpinEdit() {
  *alive_ = false;
}

TElSpinEdit* TElSpinEdit::Create(HWND parent, int id, const RECT& rect, int32_t minValue,
                                 int32_t maxValue, int32_t value) {
  RegisterFieldClass(kFieldClass, FieldProc, LoadCursorW(nullptr, IDC_IBEAM));
  RegisterFieldClass(kButtonsClass, ButtonsProc, LoadCursorW(nullptr, IDC_ARROW));

  auto self = std::make_unique<TElSpinEdit>(PassKey{});
  // The upper bound first: with the default bounds 0 to 100, that is the order
  // in which every range can be given (see SpinEditModel::SetMaxValue).
  self->model_.BeginLoading();
  self->model_.SetMaxValue(maxValue);
  self->model_.SetMinValue(minValue);
  self->model_.SetValue(value);
  self->model_.EndLoading();

  return CreateFieldWindow(std::move(self), kFieldClass, parent, id, rect);
}

TElSpinEdit* TElSpinEdit::FromHandle(HWND hwnd) {
  return FieldFromHandle<TElSpinEdit>(hwnd, kFieldClass);
}

bool TElSpinEdit::CreateChildren() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  {
    // The EDIT's first text is the field's own writing, not a user edit.
    SpinEditModel::UpdateScope scope(model_);
    edit_ = CreateWindowExW(0, L"EDIT", Widen(model_.Text()).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, 0, 0, 0,
                            0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)),
                            instance, nullptr);
  }
  buttons_ =
      CreateWindowExW(0, kButtonsClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonsId)), instance, this);
  if (edit_ == nullptr || buttons_ == nullptr) return false;
  SetWindowSubclass(edit_, EditProc, kEditSubclassId, reinterpret_cast<DWORD_PTR>(this));
  frame_.Attach(hwnd_, edit_, buttons_);
  shownTextRevision_ = model_.TextRevision();
  shownSelectionRevision_ = model_.SelectionRevision();
  theme_ = OpenThemeIfActive(buttons_, L"Spin");
  Layout();
  return true;
}

void TElSpinEdit::Layout() {
  if (edit_ == nullptr || buttons_ == nullptr) return;
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  const int arrows =
      std::clamp(SystemMetricForWindow(hwnd_, SM_CXVSCROLL), 0, static_cast<int>(rc.right));
  MoveWindow(buttons_, rc.right - arrows, 0, arrows, rc.bottom, TRUE);
  MoveWindow(edit_, 0, 0, rc.right - arrows, rc.bottom, TRUE);
}

std::string TElSpinEdit::Text() const {
  return GetWindowTextUtf8(edit_);
}

void TElSpinEdit::SetValue(int32_t v) {
  model_.SetValue(v);
  ShowModel();
}

void TElSpinEdit::SetMinValue(int32_t v) {
  model_.SetMinValue(v);
  ShowModel();
}

void TElSpinEdit::SetMaxValue(int32_t v) {
  model_.SetMaxValue(v);
  ShowModel();
}

void TElSpinEdit::SetReadOnly(bool on) {
  model_.SetReadOnly(on);
  // The EDIT's own read-only state also greys the items of its pop-up menu.
  SendMessageW(edit_, EM_SETREADONLY, on ? TRUE : FALSE, 0);
  if (on) EndPress();
  InvalidateRect(buttons_, nullptr, FALSE);
}

void TElSpinEdit::SetColor(COLORREF color) {
  frame_.SetColor(color);
}

void TElSpinEdit::ShowModel() {
  if (edit_ == nullptr) return;
  bool placeSelection = model_.SelectionRevision() != shownSelectionRevision_;
  if (model_.TextRevision() != shownTextRevision_) {
    SpinEditModel::UpdateScope scope(model_);
    SetWindowTextUtf8(edit_, model_.Text());
    shownTextRevision_ = model_.TextRevision();
    placeSelection = true;  // writing the text moved the EDIT's caret
  }
  if (placeSelection) {
    const TextSelection s = model_.Selection();
    SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(s.start), static_cast<LPARAM>(s.end));
    shownSelectionRevision_ = model_.SelectionRevision();
  }
}

bool TElSpinEdit::Notify(const SpinEvents& events) {
  const HWND self = hwnd_;
  const AliveToken alive = alive_;
  if (events.upClick && !NotifyParent(self, kNotifyUpClick, alive)) return false;
  if (events.downClick && !NotifyParent(self, kNotifyDownClick, alive)) return false;
  if (events.change && !NotifyParent(self, kNotifyChange, alive)) return false;
  return true;
}

// --- the field window ------------------------------------------------------

LRESULT CALLBACK TElSpinEdit::FieldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return FieldWindowProc<TElSpinEdit>(hwnd, msg, wParam, lParam);
}

LRESULT TElSpinEdit::FieldMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (frame_.Handle(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_SIZE:
    case kWmDpiChangedAfterParent:
      Layout();
      return 0;
    case WM_COMMAND:
      if (edit_ == nullptr || reinterpret_cast<HWND>(lParam) != edit_) return 0;
      if (HIWORD(wParam) == EN_CHANGE) OnEditChange();
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_MBUTTONDOWN:
      FocusEdit();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void TElSpinEdit::FocusEdit() {
  if (GetFocus() != edit_ && IsWindowEnabled(edit_) && IsWindowVisible(edit_)) SetFocus(edit_);
}

void TElSpinEdit::OnWheel(int delta) {
  UINT lines = 0;
  std::optional<unsigned> wheelLines;
  if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) wheelLines = lines;
  const SpinEvents events = model_.Wheel(delta, wheelLines);
  if (!events.change) return;
  ShowModel();
  Notify(events);
}

// --- the EDIT --------------------------------------------------------------

LRESULT CALLBACK TElSpinEdit::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, EditProc, id);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  auto* self = reinterpret_cast<TElSpinEdit*>(data);
  try {
    return self->EditMessage(msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TElSpinEdit::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CHAR:
      return OnEditChar(wParam, lParam);
    case WM_KEYDOWN:
      return OnEditKeyDown(wParam, lParam);
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      // Also what the EDIT's pop-up menu sends.
      if (model_.ReadOnly()) return 0;
      NoteEditSelection();
      break;
    case WM_KILLFOCUS: {
      const LRESULT result = ForwardToEdit(msg, wParam, lParam);
      if (FocusMovesWithinWindow(hwnd_, reinterpret_cast<HWND>(wParam))) {
        model_.Leave();
        ShowModel();
      }
      return result;
    }
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_MBUTTONDOWN:
      FocusEdit();
      return 0;
    default:
      break;
  }
  return ForwardToEdit(msg, wParam, lParam);
}

LRESULT TElSpinEdit::ForwardToEdit(UINT msg, WPARAM wParam, LPARAM lParam) {
  ++editDepth_;
  const LRESULT result = DefSubclassProc(edit_, msg, wParam, lParam);
  --editDepth_;
  if (editDepth_ == 0 && pendingChange_) {
    pendingChange_ = false;
    CheckEditedText();
  }
  return result;
}

void TElSpinEdit::NoteEditSelection() {
  // Once the text has changed, the selection from before the change counts.
  if (!pendingChange_) model_.NoteSelection(EditSelection(edit_));
}

LRESULT TElSpinEdit::OnEditChar(WPARAM wParam, LPARAM lParam) {
  const auto ch = static_cast<char32_t>(wParam);
  NoteEditSelection();
  if (ClassifyChar(ch) == CharKind::Command) {
    const EditCommand command = CommandForChar(ch);
    if (command == EditCommand::SelectAll) {
      SendMessageW(edit_, EM_SETSEL, 0, -1);
      return 0;
    }
    if (model_.ReadOnly() && ChangesText(command)) return 0;
    return ForwardToEdit(WM_CHAR, wParam, lParam);
  }
  if (!model_.AcceptsChar(ch)) return 0;
  return ForwardToEdit(WM_CHAR, wParam, lParam);
}

LRESULT TElSpinEdit::OnEditKeyDown(WPARAM wParam, LPARAM lParam) {
  const KeyModifiers mods = ModifiersFor(WM_KEYDOWN, lParam);
  std::optional<SpinKey> key;
  switch (wParam) {
    case VK_UP:
      key = SpinKey::Up;
      break;
    case VK_DOWN:
      key = SpinKey::Down;
      break;
    case VK_PRIOR:
      key = SpinKey::PageUp;
      break;
    case VK_NEXT:
      key = SpinKey::PageDown;
      break;
    default:
      break;
  }
  if (key) {
    if (const std::optional<SpinEvents> events =
            model_.Key(*key, mods.shift, mods.ctrl, mods.alt)) {
      ShowModel();
      Notify(*events);
      return 0;
    }
  }
  if (IsTextChangingMessage(WM_KEYDOWN, wParam, mods)) {
    if (model_.ReadOnly()) return 0;
    NoteEditSelection();
  }
  return ForwardToEdit(WM_KEYDOWN, wParam, lParam);
}

void TElSpinEdit::OnEditChange() {
  if (model_.Updating()) return;  // the field's own writing
  if (editDepth_ > 0) {
    pendingChange_ = true;  // checked when the EDIT has finished the message
    return;
  }
  CheckEditedText();
}

void TElSpinEdit::CheckEditedText() {
  const SpinEvents events = model_.TextEdited(GetWindowTextUtf8(edit_), EditSelection(edit_));
  ShowModel();
  Notify(events);
}

// --- the arrow buttons -----------------------------------------------------

LRESULT CALLBACK TElSpinEdit::ButtonsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TElSpinEdit* self = FieldFromWindow<TElSpinEdit>(hwnd, msg, lParam);
  if (self == nullptr || msg == WM_NCCREATE || msg == WM_NCDESTROY) {
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  try {
    return self->ButtonsMessage(msg, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

int TElSpinEdit::ButtonsHeight() const {
  RECT rc{};
  GetClientRect(buttons_, &rc);
  return rc.bottom;
}

LRESULT TElSpinEdit::ButtonsMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(buttons_, &ps);
      PaintButtons(dc);
      EndPaint(buttons_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      OnButtonsDown(GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE: {
      if (model_.Dragging()) {
        const SpinEvents events = model_.DragTo(GET_Y_LPARAM(lParam), ButtonsHeight());
        ShowModel();
        Notify(events);
        return 0;
      }
      const SpinPart part = SpinHitTest(GET_Y_LPARAM(lParam), ButtonsHeight());
      const Pressed hot = part == SpinPart::Up     ? Pressed::Up
                          : part == SpinPart::Down ? Pressed::Down
                                                   : Pressed::None;
      if (hot != hot_) {
        hot_ = hot;
        InvalidateRect(buttons_, nullptr, FALSE);
      }
      if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, buttons_, 0};
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      hot_ = Pressed::None;
      InvalidateRect(buttons_, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:  // wherever the pointer is by then
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      EndPress();
      return 0;
    case WM_TIMER:
      if (wParam == kRepeatTimer) {
        if (pressed_ == Pressed::None) {
          KillTimer(buttons_, kRepeatTimer);
          return 0;
        }
        // After the first delay the step repeats at the shorter interval.
        SetTimer(buttons_, kRepeatTimer, kRepeatIntervalMs, nullptr);
        ButtonStep(pressed_ == Pressed::Up);
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && !model_.ReadOnly()) {
        POINT pt{};
        GetCursorPos(&pt);
        ScreenToClient(buttons_, &pt);
        if (SpinHitTest(pt.y, ButtonsHeight()) == SpinPart::Divider) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
          return TRUE;
        }
      }
      break;
    case WM_MOUSEWHEEL:
      return SendMessageW(hwnd_, WM_MOUSEWHEEL, wParam, lParam);
    case WM_MBUTTONDOWN:
      FocusEdit();
      return 0;
    case WM_ENABLE:
      if (!wParam) EndPress();
      InvalidateRect(buttons_, nullptr, FALSE);
      return 0;
    case WM_THEMECHANGED:
      theme_ = OpenThemeIfActive(buttons_, L"Spin");
      InvalidateRect(buttons_, nullptr, TRUE);
      return 0;
    case WM_DESTROY:
      KillTimer(buttons_, kRepeatTimer);
      theme_.reset();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(buttons_, msg, wParam, lParam);
}

void TElSpinEdit::OnButtonsDown(int y) {
  if (model_.ReadOnly()) return;
  switch (SpinHitTest(y, ButtonsHeight())) {
    case SpinPart::Divider:
      if (model_.BeginDrag()) {
        SetCapture(buttons_);
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
      }
      return;
    case SpinPart::Up:
    case SpinPart::Down: {
      const bool up = SpinHitTest(y, ButtonsHeight()) == SpinPart::Up;
      pressed_ = up ? Pressed::Up : Pressed::Down;
      SetCapture(buttons_);
      InvalidateRect(buttons_, nullptr, FALSE);
      SetTimer(buttons_, kRepeatTimer, kRepeatDelayMs, nullptr);
      ButtonStep(up);
      return;
    }
  }
}

void TElSpinEdit::EndPress() {
  KillTimer(buttons_, kRepeatTimer);
  const bool changed = pressed_ != Pressed::None || model_.Dragging();
  pressed_ = Pressed::None;
  model_.EndDrag();
  // Releasing the capture comes back here through WM_CAPTURECHANGED, by then
  // with nothing left to end.
  if (GetCapture() == buttons_) ReleaseCapture();
  if (changed) InvalidateRect(buttons_, nullptr, FALSE);
}

void TElSpinEdit::ButtonStep(bool up) {
  const SpinEvents events = model_.ButtonStep(up);
  if (!events.change) return;
  FocusEdit();
  ShowModel();
  Notify(events);
}

void TElSpinEdit::PaintButtons(HDC dc) {
  RECT rc{};
  GetClientRect(buttons_, &rc);
  // The arrows meet on the divider rows h/2 and h/2 + 1.
  const int split = rc.bottom / 2 + 1;
  RECT up{0, 0, rc.right, split};
  RECT down{0, split, rc.right, rc.bottom};
  const bool disabled = !IsWindowEnabled(buttons_);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  if (theme_) {
    const auto state = [&](Pressed part, int normal, int hot, int pressed, int inactive) {
      if (disabled) return inactive;
      if (pressed_ == part) return pressed;
      if (hot_ == part) return hot;
      return normal;
    };
    uxtheme::DrawThemeBackground(theme_.get(), dc, SPNP_UP,
                                 state(Pressed::Up, UPS_NORMAL, UPS_HOT, UPS_PRESSED, UPS_DISABLED),
                                 &up, nullptr);
    uxtheme::DrawThemeBackground(
        theme_.get(), dc, SPNP_DOWN,
        state(Pressed::Down, DNS_NORMAL, DNS_HOT, DNS_PRESSED, DNS_DISABLED), &down, nullptr);
    return;
  }
  const UINT inactive = disabled ? DFCS_INACTIVE : 0;
  DrawFrameControl(dc, &up, DFC_SCROLL,
                   DFCS_SCROLLUP | inactive | (pressed_ == Pressed::Up ? DFCS_PUSHED : 0));
  DrawFrameControl(dc, &down, DFC_SCROLL,
                   DFCS_SCROLLDOWN | inactive | (pressed_ == Pressed::Down ? DFCS_PUSHED : 0));
}

}  // namespace tftpcfg
