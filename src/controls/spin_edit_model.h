#pragma once
// The rules of the number field: the value and its range, the text the user
// edits with its selection, and what each user action does to them. There is no
// window here. The Win32 control feeds the user's actions in, mirrors Text and
// Selection into its EDIT child whenever their revision counters move, and sends
// the notifications that each action returns.

#include <cstdint>
#include <optional>
#include <string>

namespace tftpcfg {

// The notifications a user action raises. They are delivered in this order: the
// upward or downward step first, then the change.
struct SpinEvents {
  bool upClick = false;
  bool downClick = false;
  bool change = false;
  friend bool operator==(const SpinEvents&, const SpinEvents&) = default;
};

// A selection in the text, in characters; start == end is a plain caret.
struct TextSelection {
  int start = 0;
  int end = 0;
  friend bool operator==(const TextSelection&, const TextSelection&) = default;
};

enum class SpinKey { Up, Down, PageUp, PageDown };

// Where a point of the arrow pair falls: rows h/2 and h/2 + 1 of a pair h rows
// high are the divider between the up arrow above and the down arrow below.
enum class SpinPart { Up, Divider, Down };
SpinPart SpinHitTest(int y, int height);

// Steps of one wheel message: the signed wheel amount (120 per notch) divided by
// 120 / lines, truncating towards zero. An unknown setting counts as 3 lines, 0
// as 1, and a setting above 120 (such as "one page per notch") as 120, so the
// divisor never becomes zero.
int WheelSteps(int delta, std::optional<unsigned> wheelLines);

class SpinEditModel {
 public:
  SpinEditModel();

  // Creation from a form description: between the two calls the setting rules
  // leave Value unclamped and MaxValue may cross MinValue; EndLoading pulls
  // everything into shape and writes Text.
  void BeginLoading();
  void EndLoading();
  bool Loading() const { return loading_; }

  int32_t Value() const { return value_; }
  int32_t MinValue() const { return min_; }
  int32_t MaxValue() const { return max_; }
  int32_t Increment() const { return increment_; }
  int32_t LargeIncrement() const { return largeIncrement_; }
  bool ReadOnly() const { return readOnly_; }

  // Setting by program: clamps into the range and rewrites the text when the
  // value moves; raises nothing.
  void SetValue(int32_t v);
  void SetMinValue(int32_t v);
  void SetMaxValue(int32_t v);
  void SetIncrement(int32_t v) { increment_ = v; }
  void SetLargeIncrement(int32_t v) { largeIncrement_ = v; }
  // Changes neither Value nor Text.
  void SetReadOnly(bool on);

  const std::string& Text() const { return text_; }
  TextSelection Selection() const { return selection_; }

  // Move whenever the field itself rewrites the text, or places the caret or
  // selection; the control then copies Text and Selection into its EDIT.
  uint32_t TextRevision() const { return textRevision_; }
  uint32_t SelectionRevision() const { return selectionRevision_; }

  // Set while the field writes its own text. The control holds it while it
  // copies the text into the EDIT, so the EDIT's change report is not taken
  // for a user edit.
  bool Updating() const { return updating_; }
  class UpdateScope {
   public:
    explicit UpdateScope(SpinEditModel& model) : model_(model), was_(model.updating_) {
      model_.updating_ = true;
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    ~UpdateScope() { model_.updating_ = was_; }

   private:
    SpinEditModel& model_;
    bool was_;
  };

  // --- the user's editing -------------------------------------------------

  // The EDIT's selection just before an editing key or command; a refused edit
  // puts it back.
  void NoteSelection(TextSelection selection);

  // The key filter for a typed character: digits and Backspace, and "-" when
  // the selection starts at the very beginning of the text. Everything else is
  // dropped, and everything is while read-only. (Clipboard and undo commands
  // are not typed characters; see edit_command_model.h.)
  bool AcceptsChar(char32_t ch) const;

  // Typed-text checking, after the EDIT changed its text through the user's
  // editing key or command: accepts the text, rewrites it in decimal form, or
  // refuses it by restoring the current value and the selection from before
  // the edit. Raises OnChange in every case except while Updating.
  SpinEvents TextEdited(std::string text, TextSelection selection);

  // The tidy-up when the focus moves to another control of the window: pulls a
  // number into the range, makes an empty or "-" text the lower bound. Raises
  // nothing.
  void Leave();

  // Up, Down, Page Up, Page Down. nullopt when the field does not take the key
  // (a modifier is held, or read-only): the EDIT then handles it as usual.
  std::optional<SpinEvents> Key(SpinKey key, bool shift, bool ctrl, bool alt);

  // One step of an arrow button (the press, and every repetition). Selects the
  // whole text. Nothing while read-only.
  SpinEvents ButtonStep(bool up);

  // One wheel message. Nothing while read-only or when it makes no whole step.
  SpinEvents Wheel(int delta, std::optional<unsigned> wheelLines);

  // Dragging the divider: each pixel upwards adds one Increment to the value
  // the drag started from. BeginDrag is refused while read-only.
  bool BeginDrag();
  SpinEvents DragTo(int y, int height);
  void EndDrag() { dragging_ = false; }
  bool Dragging() const { return dragging_; }

 private:
  // The setting rule, for a target that may lie outside 32 bits (steps).
  void ApplyValue(int64_t v);
  void RewriteText();
  void PlaceSelection(TextSelection selection);
  int TextLength() const { return static_cast<int>(text_.size()); }
  SpinEvents Step(int64_t delta, bool up);

  int32_t value_ = 0;
  int32_t min_ = 0;
  int32_t max_ = 100;
  int32_t increment_ = 1;
  int32_t largeIncrement_ = 10;
  bool readOnly_ = false;
  bool loading_ = false;
  bool updating_ = false;
  bool dragging_ = false;
  int32_t dragStart_ = 0;
  std::string text_;
  TextSelection selection_;
  uint32_t textRevision_ = 0;
  uint32_t selectionRevision_ = 0;
};

}  // namespace tftpcfg
