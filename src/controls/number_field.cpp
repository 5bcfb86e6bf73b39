#include "controls/number_field.h"

#include <vsstyle.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "controls/edit_command_model.h"
#include "controls/spin_edit_model.h"
#include "platform/win32/dpi.h"
#include "platform/win32/theme.h"
#include "platform/win32/win_text.h"

namespace tftpcfg {
namespace {

class WindowTimer final : public IRepeatTimer {
 public:
  void Start(HWND field, UINT milliseconds) override {
    SetTimer(field, kRepeatTimerId, milliseconds, nullptr);
  }
  void Stop(HWND field) override { KillTimer(field, kRepeatTimerId); }
};

TextSelection EditSelection(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {static_cast<int>(start), static_cast<int>(end)};
}

int32_t Int32Of(WPARAM value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::optional<SpinKey> SpinKeyOf(WPARAM vk) {
  switch (vk) {
    case VK_UP:
      return SpinKey::Up;
    case VK_DOWN:
      return SpinKey::Down;
    case VK_PRIOR:
      return SpinKey::PageUp;
    case VK_NEXT:
      return SpinKey::PageDown;
    default:
      return std::nullopt;
  }
}

// The state of a number field's window.
class NumberFieldControl final : public FieldControl {
 public:
  NumberFieldControl(HWND hwnd, const CREATESTRUCTW& create) : FieldControl(hwnd, create) {
    static WindowTimer windowTimer;
    const auto* params = ParamsOf<NumberFieldCreateParams>(create);
    const NumberFieldCreateParams defaults;
    if (params == nullptr) params = &defaults;
    timer_ = params->repeatTimer != nullptr ? params->repeatTimer : &windowTimer;
    // The upper bound first: with the default bounds 0 to 100, that is the
    // order in which every range can be given (see SpinEditModel::SetMaxValue).
    model_.BeginLoading();
    model_.SetMaxValue(params->maxValue);
    model_.SetMinValue(params->minValue);
    model_.SetValue(params->value);
    model_.EndLoading();
  }

 private:
  enum class Part { None, Up, Down };

  HWND EditWindow() const { return EditAt(0); }

  void CreateChildren() override {
    {
      const SpinEditModel::UpdateScope updating(model_);
      AddEdit(WS_TABSTOP | ES_LEFT, Widen(model_.Text()).c_str());
    }
    shownTextRevision_ = model_.TextRevision();
    shownSelectionRevision_ = model_.SelectionRevision();
    theme_ = OpenThemeIfActive(Handle(), L"Spin");
  }

  // The arrow pair: as wide as a scroll bar's arrow, as high as the field.
  RECT Arrows() const {
    RECT rc{};
    GetClientRect(Handle(), &rc);
    const int width = std::clamp(SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(Handle())), 0,
                                 static_cast<int>(rc.right));
    rc.left = rc.right - width;
    return rc;
  }
  int ArrowsHeight() const { return Arrows().bottom; }

  void Layout() override {
    const RECT arrows = Arrows();
    const RECT line = TextBoxLine(arrows.left);
    PlaceChild(EditWindow(), line);
    InvalidateRect(Handle(), &arrows, FALSE);
  }

  // Copies the model's text and selection into the EDIT when they moved.
  void ShowModel() {
    const HWND edit = EditWindow();
    if (edit == nullptr) return;
    bool placeSelection = model_.SelectionRevision() != shownSelectionRevision_;
    if (model_.TextRevision() != shownTextRevision_) {
      const SpinEditModel::UpdateScope updating(model_);
      const Silence silence(*this);
      SetWindowTextUtf8(edit, model_.Text());
      shownTextRevision_ = model_.TextRevision();
      placeSelection = true;  // writing the text moved the EDIT's caret
    }
    if (placeSelection) {
      const TextSelection s = model_.Selection();
      SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(s.start), static_cast<LPARAM>(s.end));
      shownSelectionRevision_ = model_.SelectionRevision();
    }
  }

  // The notifications of one user action, in order; false when the field is
  // gone afterwards.
  bool NotifyAll(const SpinEvents& events) {
    if (events.upClick && !Notify(NFN_UPCLICK)) return false;
    if (events.downClick && !Notify(NFN_DOWNCLICK)) return false;
    if (events.change && !Notify(FN_CHANGE)) return false;
    return true;
  }

  // ShowModel, then the notifications.
  void Apply(const SpinEvents& events) {
    ShowModel();
    NotifyAll(events);
  }

  void FocusEdit() {
    const HWND edit = EditWindow();
    if (GetFocus() != edit && IsWindowEnabled(edit) && IsWindowVisible(edit)) SetFocus(edit);
  }

  void OnWheel(int delta) {
    UINT lines = 0;
    std::optional<unsigned> wheelLines;
    if (SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) wheelLines = lines;
    const SpinEvents events = model_.Wheel(delta, wheelLines);
    if (events.change) Apply(events);
  }

  // --- the field window ----------------------------------------------------

  LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case NFM_SETVALUE:
        model_.SetValue(Int32Of(wParam));
        ShowModel();
        return 0;
      case NFM_GETVALUE:
        return model_.Value();
      case NFM_SETMINVALUE:
        model_.SetMinValue(Int32Of(wParam));
        ShowModel();
        return 0;
      case NFM_SETMAXVALUE:
        model_.SetMaxValue(Int32Of(wParam));
        ShowModel();
        return 0;
      case NFM_GETRANGE:
        if (wParam) *reinterpret_cast<int32_t*>(wParam) = model_.MinValue();
        if (lParam) *reinterpret_cast<int32_t*>(lParam) = model_.MaxValue();
        return 0;
      case NFM_SETINCREMENT:
        model_.SetIncrement(Int32Of(wParam));
        model_.SetLargeIncrement(Int32Of(static_cast<WPARAM>(lParam)));
        return 0;
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
        return SendMessageW(EditWindow(), msg, wParam, lParam);
      case WM_SETTEXT:
        return FALSE;  // the text follows the value
      case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == EditWindow() && HIWORD(wParam) == EN_CHANGE) {
          OnEditChange();
          return 0;
        }
        break;
      case WM_MOUSEWHEEL:
        OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
      case WM_MBUTTONDOWN:
        FocusEdit();
        return 0;
      case WM_LBUTTONDOWN: {
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT arrows = Arrows();
        if (!PtInRect(&arrows, pt)) break;
        OnArrowsDown(pt.y - arrows.top);
        return 0;
      }
      case WM_MOUSEMOVE:
        OnMouseMove(GET_Y_LPARAM(lParam), PointInArrows(lParam));
        return 0;
      case WM_MOUSELEAVE:
        SetHot(Part::None);
        break;
      case WM_LBUTTONUP:  // wherever the pointer is by then
      case WM_CAPTURECHANGED:
      case WM_CANCELMODE:
        EndPress();
        return 0;
      case WM_TIMER:
        if (wParam != kRepeatTimerId) break;
        OnRepeatTick();
        return 0;
      case WM_ENABLE:
        if (!wParam) EndPress();
        break;
      case WM_THEMECHANGED:
        theme_ = OpenThemeIfActive(Handle(), L"Spin");
        break;
      case WM_DESTROY:
        timer_->Stop(Handle());
        break;
      default:
        break;
    }
    return FieldControl::Message(msg, wParam, lParam);
  }

  // Read-only also stops the arrows, the keys, the wheel and a press under way.
  void ReadOnlyChanged() override {
    model_.SetReadOnly(ReadOnly());
    if (ReadOnly()) EndPress();
  }

  // --- the EDIT ------------------------------------------------------------

  LRESULT ChildMessage(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case WM_CHAR:
        return OnEditChar(edit, wParam, lParam);
      case WM_KEYDOWN:
        return OnEditKeyDown(edit, wParam, lParam);
      case WM_CUT:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
      case EM_UNDO:
        // Also what the EDIT's pop-up menu sends.
        NoteEditSelection();
        break;
      case WM_KILLFOCUS: {
        const LRESULT result = ForwardToEdit(edit, msg, wParam, lParam);
        if (FocusMovesWithinWindow(Handle(), reinterpret_cast<HWND>(wParam))) {
          model_.Leave();
          ShowModel();
        }
        return result;
      }
      case WM_MOUSEWHEEL:
      case WM_MBUTTONDOWN:
        return Message(msg, wParam, lParam);  // as over the rest of the field
      default:
        break;
    }
    return ForwardToEdit(edit, msg, wParam, lParam);
  }

  // Passes a message on to the EDIT and checks the text once the outermost
  // message that changed it has returned (the EDIT reports a change from the
  // middle of handling it).
  LRESULT ForwardToEdit(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    ++editDepth_;
    const LRESULT result = CallChild(edit, msg, wParam, lParam);
    --editDepth_;
    if (editDepth_ == 0 && pendingChange_) {
      pendingChange_ = false;
      CheckEditedText();
    }
    return result;
  }

  void NoteEditSelection() {
    // Once the text has changed, the selection from before the change counts.
    if (!pendingChange_) model_.NoteSelection(EditSelection(EditWindow()));
  }

  LRESULT OnEditChar(HWND edit, WPARAM wParam, LPARAM lParam) {
    const auto ch = static_cast<char32_t>(wParam);
    NoteEditSelection();
    if (SelectAllOnCtrlA(edit, wParam)) return 0;
    if (ClassifyChar(ch) == CharKind::Command) return ForwardToEdit(edit, WM_CHAR, wParam, lParam);
    if (!model_.AcceptsChar(ch)) return 0;
    return ForwardToEdit(edit, WM_CHAR, wParam, lParam);
  }

  LRESULT OnEditKeyDown(HWND edit, WPARAM wParam, LPARAM lParam) {
    const KeyModifiers mods = ModifiersFor(WM_KEYDOWN, lParam);
    if (const std::optional<SpinKey> key = SpinKeyOf(wParam)) {
      if (const std::optional<SpinEvents> events =
              model_.Key(*key, mods.shift, mods.ctrl, mods.alt)) {
        Apply(*events);
        return 0;
      }
    }
    if (IsTextChangingKey(wParam, mods)) NoteEditSelection();
    return ForwardToEdit(edit, WM_KEYDOWN, wParam, lParam);
  }

  void OnEditChange() {
    if (Silent() || model_.Updating()) return;  // the field's own writing
    if (editDepth_ > 0) {
      pendingChange_ = true;  // checked when the EDIT has finished the message
      return;
    }
    CheckEditedText();
  }

  void CheckEditedText() {
    const HWND edit = EditWindow();
    Apply(model_.TextEdited(GetWindowTextUtf8(edit), EditSelection(edit)));
  }

  // --- the arrows ----------------------------------------------------------

  // Over the divider the pointer shows that dragging moves the value.
  HCURSOR CursorAt(POINT pt) const override {
    const RECT arrows = Arrows();
    if (!PtInRect(&arrows, pt)) return nullptr;
    const bool divider =
        !model_.ReadOnly() && SpinHitTest(pt.y - arrows.top, ArrowsHeight()) == SpinPart::Divider;
    return LoadCursorW(nullptr, divider ? IDC_SIZENS : IDC_ARROW);
  }

  bool PointInArrows(LPARAM lParam) const {
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const RECT arrows = Arrows();
    return PtInRect(&arrows, pt) != FALSE;
  }

  void SetHot(Part hot) {
    if (hot == hot_) return;
    hot_ = hot;
    const RECT arrows = Arrows();
    InvalidateRect(Handle(), &arrows, FALSE);
  }

  void OnMouseMove(int y, bool overArrows) {
    if (model_.Dragging()) {
      Apply(model_.DragTo(y - Arrows().top, ArrowsHeight()));
      return;
    }
    Part hot = Part::None;
    if (overArrows) {
      const SpinPart part = SpinHitTest(y - Arrows().top, ArrowsHeight());
      hot = part == SpinPart::Up ? Part::Up : part == SpinPart::Down ? Part::Down : Part::None;
    }
    SetHot(hot);
    if (overArrows) TrackMouseLeave();
  }

  void OnArrowsDown(int y) {
    if (model_.ReadOnly()) return;
    const SpinPart part = SpinHitTest(y, ArrowsHeight());
    if (part == SpinPart::Divider) {
      if (model_.BeginDrag()) {
        SetCapture(Handle());
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
      }
      return;
    }
    const bool up = part == SpinPart::Up;
    pressed_ = up ? Part::Up : Part::Down;
    SetCapture(Handle());
    SetHot(pressed_);
    timer_->Start(Handle(), kRepeatDelayMs);
    ButtonStep(up);
  }

  void OnRepeatTick() {
    if (pressed_ == Part::None) {
      timer_->Stop(Handle());
      return;
    }
    // After the first delay the step repeats at the shorter interval.
    timer_->Start(Handle(), kRepeatIntervalMs);
    ButtonStep(pressed_ == Part::Up);
  }

  void EndPress() {
    timer_->Stop(Handle());
    const bool changed = pressed_ != Part::None || model_.Dragging();
    pressed_ = Part::None;
    model_.EndDrag();
    // Releasing the capture comes back here through WM_CAPTURECHANGED, by
    // then with nothing left to end.
    if (GetCapture() == Handle()) ReleaseCapture();
    if (changed) {
      const RECT arrows = Arrows();
      InvalidateRect(Handle(), &arrows, FALSE);
    }
  }

  void ButtonStep(bool up) {
    const SpinEvents events = model_.ButtonStep(up);
    if (!events.change) return;
    FocusEdit();
    Apply(events);
  }

  void Paint(HDC dc) override {
    const RECT rc = Arrows();
    // The arrows meet on the divider rows h/2 and h/2 + 1.
    const int split = rc.top + (rc.bottom - rc.top) / 2 + 1;
    const RECT up{rc.left, rc.top, rc.right, split};
    const RECT down{rc.left, split, rc.right, rc.bottom};
    const bool disabled = !IsWindowEnabled(Handle());
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    if (theme_) {
      const auto state = [&](Part part, int normal, int hot, int pressed, int inactive) {
        if (disabled) return inactive;
        if (pressed_ == part) return pressed;
        if (hot_ == part) return hot;
        return normal;
      };
      uxtheme::DrawThemeBackground(theme_.get(), dc, SPNP_UP,
                                   state(Part::Up, UPS_NORMAL, UPS_HOT, UPS_PRESSED, UPS_DISABLED),
                                   &up, nullptr);
      uxtheme::DrawThemeBackground(
          theme_.get(), dc, SPNP_DOWN,
          state(Part::Down, DNS_NORMAL, DNS_HOT, DNS_PRESSED, DNS_DISABLED), &down, nullptr);
      return;
    }
    const UINT inactive = disabled ? DFCS_INACTIVE : 0;
    RECT upRect = up;
    RECT downRect = down;
    DrawFrameControl(dc, &upRect, DFC_SCROLL,
                     DFCS_SCROLLUP | inactive | (pressed_ == Part::Up ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &downRect, DFC_SCROLL,
                     DFCS_SCROLLDOWN | inactive | (pressed_ == Part::Down ? DFCS_PUSHED : 0));
  }

  UniqueTheme theme_;  // the arrows' ("Spin") while visual styles are on
  SpinEditModel model_;
  IRepeatTimer* timer_ = nullptr;
  uint32_t shownTextRevision_ = 0;
  uint32_t shownSelectionRevision_ = 0;
  int editDepth_ = 0;
  bool pendingChange_ = false;
  Part pressed_ = Part::None;
  Part hot_ = Part::None;
};

}  // namespace

void NumberField::RegisterWindowClass() {
  FieldControl::RegisterClassOf<NumberFieldControl>(kNumberFieldClass);
}

NumberField NumberField::Create(HWND parent, int id, const RECT& rect,
                                const NumberFieldCreateParams& params) {
  return NumberField(CreateFieldWindow(kNumberFieldClass, parent, id, rect, 0, &params));
}

int32_t NumberField::MinValue() const {
  int32_t low = 0;
  SendMessageW(hwnd_, NFM_GETRANGE, reinterpret_cast<WPARAM>(&low), 0);
  return low;
}

int32_t NumberField::MaxValue() const {
  int32_t high = 0;
  SendMessageW(hwnd_, NFM_GETRANGE, 0, reinterpret_cast<LPARAM>(&high));
  return high;
}

void NumberField::SetIncrement(int32_t step, int32_t largeStep) const {
  SendMessageW(hwnd_, NFM_SETINCREMENT, static_cast<WPARAM>(static_cast<uint32_t>(step)),
               static_cast<LPARAM>(static_cast<uint32_t>(largeStep)));
}

}  // namespace tftpcfg
