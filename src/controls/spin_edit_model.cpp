#include "controls/spin_edit_model.h"

#include <algorithm>
#include <limits>

#include "base/int_text.h"

namespace tftpcfg {
namespace {

constexpr int kWheelDelta = 120;
constexpr unsigned kDefaultWheelLines = 3;

TextSelection ClampSelection(TextSelection s, int length) {
  s.start = std::clamp(s.start, 0, length);
  s.end = std::clamp(s.end, 0, length);
  if (s.start > s.end) std::swap(s.start, s.end);
  return s;
}

}  // namespace

SpinPart SpinHitTest(int y, int height) {
  const int half = height / 2;
  if (y < half) return SpinPart::Up;
  if (y <= half + 1) return SpinPart::Divider;
  return SpinPart::Down;
}

int WheelSteps(int delta, std::optional<unsigned> wheelLines) {
  unsigned lines = wheelLines.value_or(kDefaultWheelLines);
  if (lines == 0) lines = 1;
  lines = std::min<unsigned>(lines, kWheelDelta);
  const int stepSize = kWheelDelta / static_cast<int>(lines);
  return delta / stepSize;  // truncates towards zero, as wheel amounts need
}

SpinEditModel::SpinEditModel() : text_(std::to_string(value_)) {}

void SpinEditModel::BeginLoading() {
  loading_ = true;
}

void SpinEditModel::EndLoading() {
  loading_ = false;
  if (max_ < min_) max_ = min_;
  value_ = std::clamp(value_, min_, max_);
  RewriteText();
}

void SpinEditModel::SetValue(int32_t v) {
  ApplyValue(v);
}

void SpinEditModel::SetMinValue(int32_t v) {
  if (v == min_ || v > max_) return;
  min_ = v;
  if (value_ < v) ApplyValue(v);
}

void SpinEditModel::SetMaxValue(int32_t v) {
  if (v == max_) return;
  if (!loading_ && v < min_) return;
  max_ = v;
  if (value_ > v) ApplyValue(v);
}

void SpinEditModel::SetReadOnly(bool on) {
  readOnly_ = on;
  if (on) dragging_ = false;
}

void SpinEditModel::ApplyValue(int64_t v) {
  // An unchanged value leaves the text as the user spelled it ("007" for 7).
  if (v == value_) return;
  if (loading_) {
    value_ = static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
    return;
  }
  value_ = static_cast<int32_t>(std::clamp<int64_t>(v, min_, max_));
  RewriteText();
}

void SpinEditModel::RewriteText() {
  // Text that already reads as the decimal form is left alone, and so are the
  // caret and the EDIT's undo.
  std::string decimal = std::to_string(value_);
  if (decimal == text_) return;
  UpdateScope scope(*this);
  text_ = std::move(decimal);
  ++textRevision_;
  // Writing a window's text leaves an EDIT's caret at the start.
  PlaceSelection({0, 0});
}

void SpinEditModel::PlaceSelection(TextSelection selection) {
  selection_ = ClampSelection(selection, TextLength());
  ++selectionRevision_;
}

void SpinEditModel::NoteSelection(TextSelection selection) {
  selection_ = ClampSelection(selection, TextLength());
}

bool SpinEditModel::AcceptsChar(char32_t ch) const {
  if (readOnly_) return false;
  if ((ch >= U'0' && ch <= U'9') || ch == 0x08) return true;
  // A minus sign only where it can begin a number: at the very start, which
  // includes the whole text being selected.
  if (ch == U'-') return selection_.start == 0;
  return false;
}

SpinEvents SpinEditModel::TextEdited(std::string text, TextSelection selection) {
  if (updating_) return {};
  const SpinEvents changed{.change = true};
  const TextSelection before = selection_;
  // The EDIT shows the edited text now; whatever follows starts from there.
  text_ = std::move(text);
  selection_ = ClampSelection(selection, TextLength());

  // While the user types, an empty text and a lone minus sign stand as they are.
  if (text_.empty() || text_ == "-") return changed;

  const std::optional<int32_t> n = ParseInteger(text_);
  if (n && *n >= min_ && *n <= max_) {
    const TextSelection after = selection_;
    const uint32_t revision = textRevision_;
    ApplyValue(*n);
    // A rewrite puts the caret back where the edit left it.
    if (textRevision_ != revision) PlaceSelection({after.end, after.end});
    return changed;
  }

  // Refused: the current value again, and the selection from before the edit.
  RewriteText();
  PlaceSelection(before);
  return changed;
}

void SpinEditModel::Leave() {
  if (const std::optional<int32_t> n = ParseInteger(text_)) {
    ApplyValue(std::clamp(*n, min_, max_));
    return;
  }
  ApplyValue(min_);
  RewriteText();
}

SpinEvents SpinEditModel::Step(int64_t delta, bool up) {
  ApplyValue(static_cast<int64_t>(value_) + delta);
  return {.upClick = up, .downClick = !up, .change = true};
}

std::optional<SpinEvents> SpinEditModel::Key(SpinKey key, bool shift, bool ctrl, bool alt) {
  if (shift || ctrl || alt || readOnly_) return std::nullopt;
  SpinEvents events;
  switch (key) {
    case SpinKey::Up:
      events = Step(increment_, true);
      break;
    case SpinKey::Down:
      events = Step(-static_cast<int64_t>(increment_), false);
      break;
    case SpinKey::PageUp:
      events = Step(largeIncrement_, true);
      break;
    case SpinKey::PageDown:
      events = Step(-static_cast<int64_t>(largeIncrement_), false);
      break;
  }
  PlaceSelection({TextLength(), TextLength()});
  return events;
}

SpinEvents SpinEditModel::ButtonStep(bool up) {
  if (readOnly_) return {};
  const SpinEvents events = Step(up ? increment_ : -static_cast<int64_t>(increment_), up);
  PlaceSelection({0, TextLength()});
  return events;
}

SpinEvents SpinEditModel::Wheel(int delta, std::optional<unsigned> wheelLines) {
  if (readOnly_) return {};
  const int n = WheelSteps(delta, wheelLines);
  if (n == 0) return {};
  ApplyValue(static_cast<int64_t>(value_) + static_cast<int64_t>(n) * increment_);
  return {.change = true};
}

bool SpinEditModel::BeginDrag() {
  if (readOnly_) return false;
  dragging_ = true;
  dragStart_ = value_;
  return true;
}

SpinEvents SpinEditModel::DragTo(int y, int height) {
  if (!dragging_ || readOnly_) return {};
  ApplyValue(static_cast<int64_t>(dragStart_) +
             static_cast<int64_t>(increment_) * (static_cast<int64_t>(height / 2) - y));
  return {.change = true};
}

}  // namespace tftpcfg
