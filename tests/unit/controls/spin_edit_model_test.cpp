#include "controls/spin_edit_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace tftpcfg {
namespace {

constexpr SpinEvents kNone{};
constexpr SpinEvents kChange{.change = true};
constexpr SpinEvents kUp{.upClick = true, .change = true};
constexpr SpinEvents kDown{.downClick = true, .change = true};

// A field created the way the window creates it: bounds and value from its
// form description, then the end-of-creation steps.
SpinEditModel Field(int32_t min, int32_t max, int32_t value) {
  SpinEditModel m;
  m.BeginLoading();
  m.SetMaxValue(max);
  m.SetMinValue(min);
  m.SetValue(value);
  m.EndLoading();
  return m;
}

// Plays the EDIT: the user's edit replaces the selection with `insert` (or, for
// Backspace with no selection, removes the character before the caret), and the
// model checks the result. Returns what the model raised; a character that the
// key filter drops never reaches the text and raises nothing.
SpinEvents Type(SpinEditModel& m, char ch) {
  if (!m.AcceptsChar(static_cast<unsigned char>(ch))) return kNone;
  std::string text = m.Text();
  TextSelection sel = m.Selection();
  if (ch == '\b') {
    if (sel.start == sel.end) {
      if (sel.start == 0) return kNone;  // nothing to delete: the EDIT reports no change
      --sel.start;
    }
    text.erase(sel.start, sel.end - sel.start);
    return m.TextEdited(text, {sel.start, sel.start});
  }
  text.replace(sel.start, sel.end - sel.start, 1, ch);
  return m.TextEdited(text, {sel.start + 1, sel.start + 1});
}

SpinEvents Paste(SpinEditModel& m, const std::string& clip) {
  std::string text = m.Text();
  const TextSelection sel = m.Selection();
  text.replace(sel.start, sel.end - sel.start, clip);
  const int caret = sel.start + static_cast<int>(clip.size());
  return m.TextEdited(text, {caret, caret});
}

void SelectAll(SpinEditModel& m) {
  m.NoteSelection({0, static_cast<int>(m.Text().size())});
}
void CaretAt(SpinEditModel& m, int pos) {
  m.NoteSelection({pos, pos});
}
void CaretAtEnd(SpinEditModel& m) {
  CaretAt(m, static_cast<int>(m.Text().size()));
}

// --- value, range and the setting rules ----------------------------------

TEST(SpinEditModel, StartsAtZeroInZeroToHundred) {
  SpinEditModel m;
  EXPECT_EQ(m.Value(), 0);
  EXPECT_EQ(m.MinValue(), 0);
  EXPECT_EQ(m.MaxValue(), 100);
  EXPECT_EQ(m.Increment(), 1);
  EXPECT_EQ(m.LargeIncrement(), 10);
  EXPECT_EQ(m.Text(), "0");
  EXPECT_FALSE(m.ReadOnly());
}

TEST(SpinEditModel, SettingValueClampsAndRewritesText) {
  SpinEditModel timeout = Field(1, 180, 3);
  timeout.SetValue(500);
  EXPECT_EQ(timeout.Value(), 180);
  EXPECT_EQ(timeout.Text(), "180");

  SpinEditModel retries = Field(1, 100, 3);
  retries.SetValue(0);
  EXPECT_EQ(retries.Value(), 1);
  EXPECT_EQ(retries.Text(), "1");
  retries.SetValue(INT32_MIN);
  EXPECT_EQ(retries.Value(), 1);
  retries.SetValue(42);
  EXPECT_EQ(retries.Text(), "42");
}

TEST(SpinEditModel, SettingTheSameValueLeavesTheTextAlone) {
  SpinEditModel m = Field(0, 100, 0);
  CaretAtEnd(m);
  Type(m, '0');
  Type(m, '7');  // "007" converts to the new value 7 and is rewritten
  EXPECT_EQ(m.Text(), "7");
  CaretAt(m, 0);
  Type(m, '0');  // "07" converts to the current value: left as spelled
  EXPECT_EQ(m.Text(), "07");
  const uint32_t revision = m.TextRevision();
  m.SetValue(7);
  EXPECT_EQ(m.Text(), "07");
  EXPECT_EQ(m.TextRevision(), revision);
  m.SetValue(8);
  EXPECT_EQ(m.Text(), "8");
  EXPECT_NE(m.TextRevision(), revision);
}

TEST(SpinEditModel, SettingAValueAboveTheLimitRewritesATextThatWasEmptied) {
  // The target differs from the value, so the clamped value is written even
  // though it equals the old one.
  SpinEditModel m = Field(1, 100, 100);
  SelectAll(m);
  Type(m, '\b');
  ASSERT_EQ(m.Text(), "");
  m.SetValue(101);
  EXPECT_EQ(m.Value(), 100);
  EXPECT_EQ(m.Text(), "100");
}

TEST(SpinEditModel, MinValueRules) {
  SpinEditModel m = Field(0, 100, 5);
  m.SetMinValue(101);  // above MaxValue: ignored
  EXPECT_EQ(m.MinValue(), 0);
  m.SetMinValue(100);  // equal to MaxValue is allowed
  EXPECT_EQ(m.MinValue(), 100);
  EXPECT_EQ(m.Value(), 100);
  EXPECT_EQ(m.Text(), "100");
  m.SetMinValue(-5);  // lowering never moves the value
  EXPECT_EQ(m.MinValue(), -5);
  EXPECT_EQ(m.Value(), 100);
}

TEST(SpinEditModel, MaxValueRules) {
  SpinEditModel m = Field(10, 100, 50);
  m.SetMaxValue(9);  // below MinValue: ignored
  EXPECT_EQ(m.MaxValue(), 100);
  m.SetMaxValue(20);
  EXPECT_EQ(m.MaxValue(), 20);
  EXPECT_EQ(m.Value(), 20);
  EXPECT_EQ(m.Text(), "20");
  m.SetMaxValue(10);
  EXPECT_EQ(m.Value(), 10);
  m.SetMaxValue(INT32_MAX);
  EXPECT_EQ(m.Value(), 10);
}

TEST(SpinEditModel, ReadOnlyChangesNeitherValueNorText) {
  SpinEditModel m = Field(1, 65535, 69);
  const uint32_t revision = m.TextRevision();
  m.SetReadOnly(true);
  EXPECT_EQ(m.Value(), 69);
  EXPECT_EQ(m.Text(), "69");
  m.SetReadOnly(false);
  EXPECT_EQ(m.TextRevision(), revision);
}

// --- creation from a form description ------------------------------------

TEST(SpinEditModel, CreatesTheMainWindowFields) {
  struct Case {
    int32_t min, max, value;
  } cases[] = {{1, 65535, 1}, {1, 180, 3}, {1, 100, 3}, {0, 65535, 1024}, {0, 65535, 65535}};
  for (const auto& c : cases) {
    const SpinEditModel m = Field(c.min, c.max, c.value);
    EXPECT_EQ(m.MinValue(), c.min);
    EXPECT_EQ(m.MaxValue(), c.max);
    EXPECT_EQ(m.Value(), c.value);
    EXPECT_EQ(m.Text(), std::to_string(c.value));
  }
}

TEST(SpinEditModel, PropertiesAFormDoesNotSetKeepTheirDefaults) {
  SpinEditModel m;
  m.BeginLoading();
  m.SetMinValue(1);
  m.SetValue(3);
  m.EndLoading();
  EXPECT_EQ(m.MaxValue(), 100);
  EXPECT_EQ(m.Value(), 3);
}

TEST(SpinEditModel, WhileLoadingValueIsTakenUnclampedAndPulledInAtTheEnd) {
  SpinEditModel m;
  m.BeginLoading();
  m.SetValue(70000);
  EXPECT_EQ(m.Value(), 70000);
  EXPECT_EQ(m.Text(), "0");  // the text is written only at the end
  m.SetMaxValue(65535);
  EXPECT_EQ(m.Value(), 65535);  // lowering the bound pulls the value, still unclamped below
  m.EndLoading();
  EXPECT_EQ(m.Value(), 65535);
  EXPECT_EQ(m.Text(), "65535");

  SpinEditModel low;
  low.BeginLoading();
  low.SetMaxValue(65535);
  low.SetMinValue(1);
  low.SetValue(-3);
  EXPECT_EQ(low.Value(), -3);
  low.EndLoading();
  EXPECT_EQ(low.Value(), 1);
  EXPECT_EQ(low.Text(), "1");
}

TEST(SpinEditModel, WhileLoadingMaxValueMayCrossMinValue) {
  // A wholly negative range: the upper bound goes below the default lower
  // bound 0 first, then the lower bound follows.
  SpinEditModel m = Field(-10, -5, -7);
  EXPECT_EQ(m.MinValue(), -10);
  EXPECT_EQ(m.MaxValue(), -5);
  EXPECT_EQ(m.Value(), -7);
  EXPECT_EQ(m.Text(), "-7");

  // Left crossed at the end: the upper bound is raised to the lower one.
  SpinEditModel crossed;
  crossed.BeginLoading();
  crossed.SetMinValue(50);
  crossed.SetMaxValue(20);
  crossed.EndLoading();
  EXPECT_EQ(crossed.MinValue(), 50);
  EXPECT_EQ(crossed.MaxValue(), 50);
  EXPECT_EQ(crossed.Value(), 50);

  // After creation the same setting is ignored.
  crossed.SetMaxValue(20);
  EXPECT_EQ(crossed.MaxValue(), 50);
}

TEST(SpinEditModel, WhileLoadingMinValueAboveMaxValueIsStillIgnored) {
  SpinEditModel m;
  m.BeginLoading();
  m.SetMinValue(200);  // the default upper bound is 100
  m.SetMaxValue(300);
  m.EndLoading();
  EXPECT_EQ(m.MinValue(), 0);
  EXPECT_EQ(m.MaxValue(), 300);
}

// --- typed-text checking --------------------------------------------------

TEST(SpinEditModel, PortReplacingTheWholeTextByZeroIsRefused) {
  SpinEditModel port = Field(1, 65535, 69);
  SelectAll(port);
  const uint32_t textRevision = port.TextRevision();
  const uint32_t selectionRevision = port.SelectionRevision();
  EXPECT_EQ(Type(port, '0'), kChange);
  // The EDIT shows "0" now, so both must be written back to it.
  EXPECT_NE(port.TextRevision(), textRevision);
  EXPECT_NE(port.SelectionRevision(), selectionRevision);
  EXPECT_EQ(port.Text(), "69");
  EXPECT_EQ(port.Value(), 69);
  EXPECT_EQ(port.Selection(), (TextSelection{0, 2}));  // as it was before the key
}

TEST(SpinEditModel, PortEmptiedStaysEmptyUntilLeft) {
  SpinEditModel port = Field(1, 65535, 69);
  SelectAll(port);
  EXPECT_EQ(Type(port, '\b'), kChange);
  EXPECT_EQ(port.Text(), "");
  EXPECT_EQ(port.Value(), 69);
  port.Leave();
  EXPECT_EQ(port.Value(), 1);
  EXPECT_EQ(port.Text(), "1");
}

TEST(SpinEditModel, TimeoutAcceptsAnInRangeDigitAndRefusesTheNext) {
  SpinEditModel timeout = Field(1, 180, 18);
  CaretAtEnd(timeout);
  EXPECT_EQ(Type(timeout, '0'), kChange);
  EXPECT_EQ(timeout.Text(), "180");
  EXPECT_EQ(timeout.Value(), 180);
  EXPECT_EQ(timeout.Selection(), (TextSelection{3, 3}));
  EXPECT_EQ(Type(timeout, '0'), kChange);
  EXPECT_EQ(timeout.Text(), "180");
  EXPECT_EQ(timeout.Value(), 180);
  EXPECT_EQ(timeout.Selection(), (TextSelection{3, 3}));
}

TEST(SpinEditModel, EachIntermediateTextMustBeInRange) {
  SpinEditModel m = Field(10, 20, 15);
  SelectAll(m);
  Type(m, '1');  // "1" is below 10
  EXPECT_EQ(m.Text(), "15");
  CaretAtEnd(m);
  Type(m, '\b');  // "1" again
  EXPECT_EQ(m.Text(), "15");
  EXPECT_EQ(m.Selection(), (TextSelection{2, 2}));
}

TEST(SpinEditModel, ARewritePutsTheCaretBackWhereTheEditLeftIt) {
  SpinEditModel m = Field(0, 65535, 15);
  CaretAt(m, 0);
  EXPECT_EQ(Type(m, '2'), kChange);
  EXPECT_EQ(m.Text(), "215");
  EXPECT_EQ(m.Value(), 215);
  EXPECT_EQ(m.Selection(), (TextSelection{1, 1}));

  CaretAt(m, 0);
  Type(m, '0');  // "0215" converts to the current value: left as typed
  EXPECT_EQ(m.Text(), "0215");
  EXPECT_EQ(m.Selection(), (TextSelection{1, 1}));
  CaretAtEnd(m);
  Type(m, '\b');  // "021" is 21, new: rewritten, caret clamped to the shorter text
  EXPECT_EQ(m.Text(), "21");
  EXPECT_EQ(m.Selection(), (TextSelection{2, 2}));
}

TEST(SpinEditModel, ANewValueTypedInDecimalFormIsNotWrittenAgain) {
  // Writing the same text again would reset the EDIT's caret and its undo.
  SpinEditModel m = Field(1, 65535, 1);
  CaretAtEnd(m);
  const uint32_t revision = m.TextRevision();
  EXPECT_EQ(Type(m, '5'), kChange);
  EXPECT_EQ(m.Value(), 15);
  EXPECT_EQ(m.Text(), "15");
  EXPECT_EQ(m.TextRevision(), revision);
  EXPECT_EQ(m.Selection(), (TextSelection{2, 2}));
}

TEST(SpinEditModel, MinusSignCases) {
  SpinEditModel m = Field(0, 65535, 5);
  CaretAt(m, 0);
  EXPECT_EQ(Type(m, '-'), kChange);  // "-5" is out of range: refused
  EXPECT_EQ(m.Text(), "5");
  EXPECT_EQ(m.Selection(), (TextSelection{0, 0}));

  SelectAll(m);
  EXPECT_EQ(Type(m, '-'), kChange);  // over the whole text: a lone "-" stands
  EXPECT_EQ(m.Text(), "-");
  EXPECT_EQ(m.Value(), 5);
  EXPECT_EQ(m.Selection(), (TextSelection{1, 1}));

  SpinEditModel zero = Field(0, 65535, 0);
  CaretAt(zero, 0);
  EXPECT_EQ(Type(zero, '-'), kChange);
  EXPECT_EQ(zero.Text(), "-0");
  EXPECT_EQ(zero.Value(), 0);

  SpinEditModel five = Field(0, 65535, 5);
  SelectAll(five);
  EXPECT_EQ(Paste(five, "-0"), kChange);
  EXPECT_EQ(five.Text(), "0");
  EXPECT_EQ(five.Value(), 0);
}

TEST(SpinEditModel, NegativeRangeAcceptsTypedNegativeNumbers) {
  SpinEditModel m = Field(-100, 100, 0);
  SelectAll(m);
  Type(m, '-');
  Type(m, '4');
  Type(m, '2');
  EXPECT_EQ(m.Value(), -42);
  EXPECT_EQ(m.Text(), "-42");
}

TEST(SpinEditModel, PastedTextGoesThroughTheSharedConversion) {
  SpinEditModel m = Field(0, 65535, 5);
  SelectAll(m);
  EXPECT_EQ(Paste(m, "0x10"), kChange);
  EXPECT_EQ(m.Value(), 16);
  EXPECT_EQ(m.Text(), "16");
  SelectAll(m);
  Paste(m, " 77");
  EXPECT_EQ(m.Value(), 77);
  EXPECT_EQ(m.Text(), "77");

  for (const char* bad : {"abc", "7 ", "1.5", "99999999999", "70000", "+", "\xc3\xa4"}) {
    SelectAll(m);
    EXPECT_EQ(Paste(m, bad), kChange) << bad;
    EXPECT_EQ(m.Text(), "77") << bad;
    EXPECT_EQ(m.Value(), 77) << bad;
    EXPECT_EQ(m.Selection(), (TextSelection{0, 2})) << bad;
  }
}

TEST(SpinEditModel, TheFieldsOwnRewriteIsNotCheckedNorReported) {
  SpinEditModel m = Field(1, 65535, 69);
  const SpinEditModel::UpdateScope scope(m);
  EXPECT_TRUE(m.Updating());
  EXPECT_EQ(m.TextEdited("0", {1, 1}), kNone);
  EXPECT_EQ(m.Text(), "69");
}

TEST(SpinEditModel, KeyFilter) {
  SpinEditModel m = Field(0, 65535, 55);
  CaretAt(m, 1);
  for (char32_t ch = U'0'; ch <= U'9'; ++ch) EXPECT_TRUE(m.AcceptsChar(ch));
  EXPECT_TRUE(m.AcceptsChar(0x08));
  for (char32_t ch : {U'+', U' ', U'a', U'.', U'\r', U'\n', U'\t', char32_t{0x1B}, U'\u0663'})
    EXPECT_FALSE(m.AcceptsChar(ch)) << static_cast<unsigned>(ch);

  EXPECT_FALSE(m.AcceptsChar(U'-'));  // middle
  CaretAtEnd(m);
  EXPECT_FALSE(m.AcceptsChar(U'-'));  // end
  m.NoteSelection({1, 2});
  EXPECT_FALSE(m.AcceptsChar(U'-'));  // less than the whole text, not from the start
  CaretAt(m, 0);
  EXPECT_TRUE(m.AcceptsChar(U'-'));
  SelectAll(m);
  EXPECT_TRUE(m.AcceptsChar(U'-'));

  m.SetReadOnly(true);
  for (char32_t ch : {U'0', U'7', U'-', char32_t{0x08}}) EXPECT_FALSE(m.AcceptsChar(ch));
}

TEST(SpinEditModel, LeaveTidiesUpWithoutTouchingAGoodText) {
  SpinEditModel m = Field(0, 100, 0);
  CaretAtEnd(m);
  Type(m, '0');  // "00" is the current value
  const uint32_t revision = m.TextRevision();
  m.Leave();
  EXPECT_EQ(m.Text(), "00");
  EXPECT_EQ(m.TextRevision(), revision);

  SpinEditModel dash = Field(5, 100, 50);
  SelectAll(dash);
  Type(dash, '-');
  ASSERT_EQ(dash.Text(), "-");
  dash.Leave();
  EXPECT_EQ(dash.Value(), 5);
  EXPECT_EQ(dash.Text(), "5");

  // Empty at the lower bound already: the text is still written.
  SpinEditModel atMin = Field(1, 100, 1);
  SelectAll(atMin);
  Type(atMin, '\b');
  atMin.Leave();
  EXPECT_EQ(atMin.Text(), "1");
}

TEST(SpinEditModel, LeaveWorksWhileReadOnly) {
  SpinEditModel m = Field(1, 65535, 69);
  SelectAll(m);
  Type(m, '\b');
  m.SetReadOnly(true);
  m.Leave();
  EXPECT_EQ(m.Text(), "1");
}

// --- keys, buttons, wheel, dragging --------------------------------------

TEST(SpinEditModel, KeysStepAndPutTheCaretAtTheEnd) {
  SpinEditModel m = Field(0, 65535, 100);
  CaretAt(m, 0);
  EXPECT_EQ(m.Key(SpinKey::Up, false, false, false), kUp);
  EXPECT_EQ(m.Value(), 101);
  EXPECT_EQ(m.Selection(), (TextSelection{3, 3}));
  EXPECT_EQ(m.Key(SpinKey::Down, false, false, false), kDown);
  EXPECT_EQ(m.Value(), 100);
  EXPECT_EQ(m.Key(SpinKey::PageUp, false, false, false), kUp);
  EXPECT_EQ(m.Value(), 110);
  EXPECT_EQ(m.Key(SpinKey::PageDown, false, false, false), kDown);
  EXPECT_EQ(m.Key(SpinKey::PageDown, false, false, false), kDown);
  EXPECT_EQ(m.Value(), 90);
  EXPECT_EQ(m.Text(), "90");
  EXPECT_EQ(m.Selection(), (TextSelection{2, 2}));

  m.SetIncrement(5);
  m.SetLargeIncrement(1000);
  m.Key(SpinKey::Up, false, false, false);
  EXPECT_EQ(m.Value(), 95);
  m.Key(SpinKey::PageUp, false, false, false);
  EXPECT_EQ(m.Value(), 1095);
}

TEST(SpinEditModel, KeysAtALimitStillRaiseAndRestoreAnEmptyText) {
  SpinEditModel retries = Field(1, 100, 100);
  EXPECT_EQ(retries.Key(SpinKey::Up, false, false, false), kUp);
  EXPECT_EQ(retries.Value(), 100);
  SelectAll(retries);
  Type(retries, '\b');
  EXPECT_EQ(retries.Key(SpinKey::Up, false, false, false), kUp);
  EXPECT_EQ(retries.Text(), "100");
  EXPECT_EQ(retries.Key(SpinKey::PageDown, false, false, false), kDown);
  EXPECT_EQ(retries.Value(), 90);

  SpinEditModel low = Field(1, 100, 3);
  low.Key(SpinKey::PageDown, false, false, false);
  EXPECT_EQ(low.Value(), 1);
}

TEST(SpinEditModel, KeysWithModifiersOrReadOnlyAreLeftToTheEdit) {
  SpinEditModel m = Field(0, 100, 50);
  EXPECT_EQ(m.Key(SpinKey::Up, true, false, false), std::nullopt);
  EXPECT_EQ(m.Key(SpinKey::Down, false, true, false), std::nullopt);
  EXPECT_EQ(m.Key(SpinKey::PageUp, false, false, true), std::nullopt);
  m.SetReadOnly(true);
  EXPECT_EQ(m.Key(SpinKey::Up, false, false, false), std::nullopt);
  EXPECT_EQ(m.Value(), 50);
}

TEST(SpinEditModel, StepsNearTheInt32LimitsDoNotOverflow) {
  SpinEditModel m = Field(INT32_MIN, INT32_MAX, INT32_MAX);
  m.SetIncrement(INT32_MAX);
  m.SetLargeIncrement(INT32_MAX);
  m.Key(SpinKey::PageUp, false, false, false);
  EXPECT_EQ(m.Value(), INT32_MAX);
  m.SetValue(INT32_MIN);
  m.Key(SpinKey::PageDown, false, false, false);
  m.ButtonStep(false);
  EXPECT_EQ(m.Value(), INT32_MIN);
  m.SetIncrement(INT32_MIN);
  m.Key(SpinKey::Down, false, false, false);  // minus INT32_MIN
  EXPECT_EQ(m.Value(), 0);
  m.Wheel(120 * 100, 120);
  EXPECT_EQ(m.Value(), INT32_MIN);
  ASSERT_TRUE(m.BeginDrag());
  m.DragTo(-30000, 16);
  EXPECT_EQ(m.Value(), INT32_MIN);
  m.DragTo(30000, 16);
  EXPECT_EQ(m.Value(), INT32_MAX);
}

TEST(SpinEditModel, ButtonStepsSelectTheWholeText) {
  SpinEditModel m = Field(0, 65535, 9);
  CaretAt(m, 0);
  EXPECT_EQ(m.ButtonStep(true), kUp);
  EXPECT_EQ(m.Value(), 10);
  EXPECT_EQ(m.Selection(), (TextSelection{0, 2}));
  EXPECT_EQ(m.ButtonStep(false), kDown);
  EXPECT_EQ(m.Value(), 9);
  EXPECT_EQ(m.Selection(), (TextSelection{0, 1}));

  SpinEditModel top = Field(0, 65535, 65535);
  EXPECT_EQ(top.ButtonStep(true), kUp);
  EXPECT_EQ(top.Value(), 65535);
}

TEST(SpinEditModel, WheelStepArithmetic) {
  struct Case {
    int delta = 0;
    std::optional<unsigned> lines;
    int steps = 0;
  } cases[] = {
      {120, 3, 3},     {-120, 3, -3},        {60, 3, 1},  {-60, 3, -1}, {39, 3, 0},
      {40, 3, 1},      {120, 0, 1},          {119, 0, 0}, {-119, 1, 0}, {240, 1, 2},
      {120, {}, 3},    {60, {}, 1},          {120, 7, 7}, {17, 7, 1},   {120, 120, 120},
      {120, 500, 120}, {120, UINT_MAX, 120},  // "a page per notch": never a division by zero
  };
  for (const auto& c : cases)
    EXPECT_EQ(WheelSteps(c.delta, c.lines), c.steps)
        << c.delta << " with " << (c.lines ? std::to_string(*c.lines) : "unknown");
}

TEST(SpinEditModel, WheelStepsTheValueAndRaisesOnlyChange) {
  SpinEditModel m = Field(0, 65535, 100);
  EXPECT_EQ(m.Wheel(120, 3), kChange);
  EXPECT_EQ(m.Value(), 103);
  EXPECT_EQ(m.Wheel(-120, 0), kChange);
  EXPECT_EQ(m.Value(), 102);
  EXPECT_EQ(m.Wheel(60, 3), kChange);
  EXPECT_EQ(m.Value(), 103);
  EXPECT_EQ(m.Wheel(30, 3), kNone);  // less than one step
  EXPECT_EQ(m.Value(), 103);
  m.SetIncrement(10);
  m.Wheel(-240, 3);
  EXPECT_EQ(m.Value(), 43);
  m.Wheel(-1200, 3);
  EXPECT_EQ(m.Value(), 0);
  EXPECT_EQ(m.Text(), "0");
}

TEST(SpinEditModel, ReadOnlyLeavesTheValueAloneAndRaisesNothing) {
  SpinEditModel fw = Field(0, 65535, 1024);
  fw.SetReadOnly(true);
  EXPECT_EQ(fw.Key(SpinKey::Up, false, false, false), std::nullopt);
  EXPECT_EQ(fw.ButtonStep(true), kNone);
  EXPECT_EQ(fw.ButtonStep(false), kNone);
  EXPECT_EQ(fw.Wheel(120, 3), kNone);
  EXPECT_FALSE(fw.BeginDrag());
  EXPECT_EQ(fw.DragTo(0, 16), kNone);
  EXPECT_EQ(fw.Value(), 1024);
  EXPECT_EQ(fw.Text(), "1024");
}

TEST(SpinEditModel, DividerHitTest) {
  // A pair 16 rows high: rows 8 and 9 are the divider.
  EXPECT_EQ(SpinHitTest(0, 16), SpinPart::Up);
  EXPECT_EQ(SpinHitTest(7, 16), SpinPart::Up);
  EXPECT_EQ(SpinHitTest(8, 16), SpinPart::Divider);
  EXPECT_EQ(SpinHitTest(9, 16), SpinPart::Divider);
  EXPECT_EQ(SpinHitTest(10, 16), SpinPart::Down);
  EXPECT_EQ(SpinHitTest(15, 16), SpinPart::Down);
  // Odd height 17: rows 8 and 9 again.
  EXPECT_EQ(SpinHitTest(7, 17), SpinPart::Up);
  EXPECT_EQ(SpinHitTest(9, 17), SpinPart::Divider);
  EXPECT_EQ(SpinHitTest(10, 17), SpinPart::Down);
}

TEST(SpinEditModel, DraggingAddsOneIncrementPerPixelFromTheStartValue) {
  SpinEditModel m = Field(0, 65535, 100);
  m.SetIncrement(5);
  ASSERT_TRUE(m.BeginDrag());
  EXPECT_TRUE(m.Dragging());
  EXPECT_EQ(m.DragTo(5, 16), kChange);  // three rows above row 8
  EXPECT_EQ(m.Value(), 115);
  EXPECT_EQ(m.DragTo(10, 16), kChange);  // two below
  EXPECT_EQ(m.Value(), 90);
  EXPECT_EQ(m.DragTo(10, 16), kChange);  // raised again, value unchanged
  EXPECT_EQ(m.Value(), 90);
  EXPECT_EQ(m.DragTo(500, 16), kChange);
  EXPECT_EQ(m.Value(), 0);
  m.EndDrag();
  EXPECT_FALSE(m.Dragging());
  EXPECT_EQ(m.DragTo(0, 16), kNone);
  EXPECT_EQ(m.Value(), 0);
}

}  // namespace
}  // namespace tftpcfg
