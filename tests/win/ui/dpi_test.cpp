// How the windows look: drawn by common controls 6 with visual styles, and at
// other DPIs, where a move to a monitor of another DPI (WM_DPICHANGED, sent by
// the test since Wine cannot move a window between monitors) lays out the
// window again at the new scale, with a font of the new size, every caption
// whole, nothing outside its parent and no two controls on top of each other;
// the input fields lay out their parts again.

#include "tests/win/ui/main_window_fixture.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <sstream>

#include "controls/ip_address_field.h"
#include "toolkit/layout.h"

namespace tftpcfg::test {
namespace {

constexpr UINT kDpis[] = {120, 144, 192, 96};

// A window's rectangle in its parent's client coordinates.
RECT InParent(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

std::string Describe(HWND hwnd) {
  wchar_t cls[64] = {}, text[64] = {};
  GetClassNameW(hwnd, cls, 64);
  GetWindowTextW(hwnd, text, 64);
  const RECT rc = InParent(hwnd);
  std::ostringstream out;
  out << Narrow(cls) << " \"" << Narrow(text) << "\" [" << rc.left << "," << rc.top << " - "
      << rc.right << "," << rc.bottom << "]";
  return out.str();
}

bool HasStyle(HWND hwnd, DWORD style) {
  return (static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)) & style) == style;
}
bool IsGroupBox(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  return lstrcmpiW(cls, WC_BUTTONW) == 0 &&
         (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The character height of the font a window draws with.
int EmHeight(HWND hwnd) {
  const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  const HDC dc = GetDC(hwnd);
  const HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return tm.tmHeight - tm.tmInternalLeading;
}

// The height a wrapping label needs for all its lines at its width.
int WrappedTextHeight(HWND label) {
  RECT client;
  GetClientRect(label, &client);
  wchar_t text[512] = {};
  const int length = GetWindowTextW(label, text, 512);
  const HDC dc = GetDC(label);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT rc{0, 0, client.right, 0};
  DrawTextW(dc, text, length, &rc, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return rc.bottom;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (HasStyle(c, WS_VISIBLE)) children.push_back(c);
  return children;
}

// Every shown control of a container: inside it, its caption whole, and clear
// of its siblings (a group box holds the controls drawn inside its frame).
void ExpectTidy(HWND container, UINT dpi) {
  RECT client;
  GetClientRect(container, &client);
  const std::vector<HWND> children = Children(container);
  ASSERT_FALSE(children.empty());
  for (HWND c : children) {
    const RECT rc = InParent(c);
    EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right &&
                rc.bottom <= client.bottom)
        << Describe(c) << " leaves its parent of " << client.right << "x" << client.bottom << " at "
        << dpi << " DPI";
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    if (lstrcmpiW(cls, WC_STATICW) == 0 && rc.bottom - rc.top > Scale(20, dpi)) {
      // A label wrapped over lines: all of them fit in its height.
      EXPECT_LE(WrappedTextHeight(c), rc.bottom - rc.top) << Describe(c) << " at " << dpi;
    } else {
      EXPECT_LE(CaptionWidth(c), rc.right - rc.left)
          << Describe(c) << " cuts its caption at " << dpi;
    }
  }
  for (size_t i = 0; i < children.size(); ++i) {
    for (size_t j = i + 1; j < children.size(); ++j) {
      const RECT a = InParent(children[i]);
      const RECT b = InParent(children[j]);
      RECT overlap;
      if (IsGroupBox(children[i]) || IsGroupBox(children[j])) {
        // A control reaching over a group box's frame: partly inside, partly out.
        const HWND group = IsGroupBox(children[i]) ? children[i] : children[j];
        const HWND other = group == children[i] ? children[j] : children[i];
        const RECT g = IsGroupBox(children[i]) ? a : b;
        const RECT o = IsGroupBox(children[i]) ? b : a;
        RECT inside;
        if (IntersectRect(&inside, &g, &o)) {
          EXPECT_TRUE(EqualRect(&inside, &o))
              << Describe(other) << " crosses the frame of " << Describe(group) << " at " << dpi;
        }
        continue;
      }
      EXPECT_FALSE(IntersectRect(&overlap, &a, &b))
          << Describe(children[i]) << " overlaps " << Describe(children[j]) << " at " << dpi;
    }
  }
}

// A move to a monitor of another DPI: the window goes where the system
// suggests, at the size its layout needs there.
void SendDpiChange(HWND hwnd, UINT dpi) {
  const RECT suggested = SendDpiChangeMovedBy(hwnd, dpi, static_cast<int>(dpi) / 8, 5);
  EXPECT_EQ(PlacedAt(hwnd, suggested), "") << dpi << " DPI";
}

void ExpectClientSize(HWND hwnd, int width, int height, UINT dpi) {
  RECT client;
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, Scale(width, dpi)) << dpi;
  EXPECT_EQ(client.bottom, Scale(height, dpi)) << dpi;
}

void ExpectAt(HWND hwnd, DesignRect design, UINT dpi) {
  const RECT rc = InParent(hwnd);
  const RECT want = ScaleRect(design, dpi);
  EXPECT_TRUE(EqualRect(&rc, &want))
      << Describe(hwnd) << " at " << dpi << " DPI, designed [" << want.left << "," << want.top
      << " - " << want.right << "," << want.bottom << "]";
}

// A field's parts side by side, filling its client area from left to right.
// A field's text box: one line of its font high, centred in the field, from a
// pixel inside its edge up to its button (which takes `button` pixels).
void ExpectTextLine(HWND field, HWND edit, int button, UINT dpi) {
  RECT client;
  GetClientRect(field, &client);
  const RECT rc = InParent(edit);
  TEXTMETRICW tm{};
  {
    const HDC dc = GetDC(edit);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
  }
  EXPECT_EQ(rc.bottom - rc.top, tm.tmHeight) << Describe(field) << " at " << dpi;
  EXPECT_EQ(rc.top, (client.bottom - tm.tmHeight) / 2) << Describe(field) << " at " << dpi;
  EXPECT_EQ(rc.left, 1) << Describe(field) << " at " << dpi;
  EXPECT_EQ(rc.right, client.right - button) << Describe(field) << " at " << dpi;
}

class DpiTest : public MainWindowTest {};

TEST_F(DpiTest, TheControlsAreCommonControls6WithVisualStyles) {
  Open();
  // Version 6 lives in the side-by-side store; version 5 in the system folder.
  // Windows spells the folder "WinSxS", Wine "winsxs": paths compare without case.
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
  std::wstring folded = path;
  CharLowerW(folded.data());
  EXPECT_NE(folded.find(L"\\winsxs\\"), std::wstring::npos) << Narrow(path);
  ASSERT_TRUE(IsThemeActive()) << "the prefix has no visual style";
  for (HWND h : {frm_->Control(IDOK), frm_->Control(IDC_HIGH_PRIORITY), frm_->Control(IDC_PAGES),
                 frm_->Control(IDC_RULES)})
    EXPECT_NE(GetWindowTheme(h), nullptr) << Describe(h);
}

TEST_F(DpiTest, TheMainWindowScalesItsFrameControlsFontAndGrid) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  for (const UINT dpi : kDpis) {
    SendDpiChange(w.Handle(), dpi);
    Pump();
    EXPECT_EQ(w.Dpi(), dpi);
    ExpectClientSize(w.Handle(), 360, 324, dpi);
    ExpectAt(NumberField(w.Control(IDC_TFTP_PORT)).Handle(), {128, 56, 65, 21}, dpi);
    ExpectAt(FolderField(w.Control(IDC_TFTP_ROOT)).Handle(), {128, 24, 200, 21}, dpi);
    ExpectAt(w.Control(IDC_RULES), {8, 65, 324, 136}, dpi);
    ExpectAt(w.Control(IDC_DELETE_RULE), {275, 210, 57, 25}, dpi);
    ExpectAt(NumberField(w.Control(IDC_LOG_COUNT)).Handle(), {12 + 120, 11 + 84, 65, 21}, dpi);
    ExpectAt(w.Control(IDC_APPLY), {6 + 272, 6 + 271 + 8, 75, 25}, dpi);
    EXPECT_FALSE(IsWindowEnabled(w.Control(IDC_APPLY))) << "nothing was changed";
    EXPECT_EQ(ListView_GetColumnWidth(w.Control(IDC_RULES), 0), Scale(196, dpi));
    EXPECT_EQ(ListView_GetColumnWidth(w.Control(IDC_RULES), 1), Scale(87, dpi));
    // One font of 8 points at this DPI, in the fields' text areas too.
    for (HWND h :
         {w.Control(IDC_HIGH_PRIORITY), w.Control(IDOK), NumberField(w.Control(IDC_TIMEOUT)).Edit(),
          FolderField(w.Control(IDC_LOG_DIRECTORY)).Edit(), w.Control(IDC_RULES),
          w.Control(IDC_PAGES)}) {
      EXPECT_NEAR(EmHeight(h), MulDiv(8, static_cast<int>(dpi), 72), 1) << Describe(h);
      EXPECT_EQ(SendMessageW(h, WM_GETFONT, 0, 0), SendMessageW(w.Control(IDOK), WM_GETFONT, 0, 0));
    }
    // The fields lay out their text box for their new size, up to their
    // arrows or browse button, which follow the DPI the system gives the
    // field (Wine keeps 96 when the test announces another).
    for (const int id : {IDC_TFTP_PORT, IDC_TIMEOUT, IDC_RETRIES, IDC_FIREWALL_MIN_PORT,
                         IDC_FIREWALL_MAX_PORT, IDC_LOG_COUNT})
      ExpectTextLine(w.Control(id), NumberField(w.Control(id)).Edit(),
                     SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(w.Control(id))), dpi);
    const FolderField root(w.Control(IDC_TFTP_ROOT));
    ExpectTextLine(root.Handle(), root.Edit(), Scale(15, WindowDpi(root.Handle())), dpi);
  }
}

TEST_F(DpiTest, NoPageClipsACaptionOrStacksControlsAtAnyDpi) {
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  for (const UINT dpi : kDpis) {
    SendDpiChange(w.Handle(), dpi);
    Pump();
    for (int page = 0; page < kTabbedPages; ++page) {
      SCOPED_TRACE("page " + std::to_string(page));
      ExpectTidy(w.Page(page), dpi);
    }
    // The button strip: below the page control, inside the window, side by side.
    RECT client;
    GetClientRect(w.Handle(), &client);
    const RECT pages = InParent(w.Control(IDC_PAGES));
    int left = 0;
    for (HWND b : {w.Control(IDOK), w.Control(IDCANCEL), w.Control(IDC_APPLY)}) {
      const RECT rc = InParent(b);
      EXPECT_GE(rc.top, pages.bottom) << Describe(b) << " at " << dpi;
      EXPECT_LE(rc.bottom, client.bottom) << Describe(b) << " at " << dpi;
      EXPECT_LE(rc.right, client.right) << Describe(b) << " at " << dpi;
      EXPECT_GT(rc.left, left) << Describe(b) << " at " << dpi;
      left = rc.right;
    }
  }
}

TEST_F(DpiTest, BackAtTheFirstDpiEveryControlIsWhereItStarted) {
  Open();
  MainWindow& w = *frm_;
  std::vector<std::pair<HWND, RECT>> before;
  for (int page = 0; page < kTabbedPages; ++page)
    for (HWND c : Children(w.Page(page))) before.emplace_back(c, InParent(c));
  const UINT first = w.Dpi();
  SendDpiChange(w.Handle(), 192);
  SendDpiChange(w.Handle(), first);
  Pump();
  for (const auto& [hwnd, rc] : before) {
    const RECT now = InParent(hwnd);
    EXPECT_TRUE(EqualRect(&now, &rc)) << Describe(hwnd);
  }
}

// Any process of the same user can send these: a DPI of 0, or no rectangle,
// changes nothing and crashes nothing; an absurd DPI is pulled into range.
TEST_F(DpiTest, OddDpiMessagesAreHarmless) {
  Open();
  for (const HWND hwnd : {frm_->Handle(), dlg_->Handle()}) {
    RECT before{};
    GetWindowRect(hwnd, &before);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(0, 0), 0);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(&before));
    RECT after{};
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);  // no rectangle: stays put
    GetWindowRect(hwnd, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    SendMessageW(hwnd, WM_NOTIFY, 0, 0);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(65535, 65535), 0);
  }
  EXPECT_EQ(frm_->Dpi(), 960u);
  SendDpiChange(frm_->Handle(), 96);
  EXPECT_EQ(frm_->Dpi(), 96u);
}

TEST_F(DpiTest, TheRuleDialogScalesAndKeepsItsCaptionsWhole) {
  Open();
  RuleDialog& d = *dlg_;
  for (const bool single : {false, true}) {
    d.SelectSingle(single);
    for (const UINT dpi : kDpis) {
      SendDpiChange(d.Handle(), dpi);
      Pump();
      ExpectClientSize(d.Handle(), 294, 205, dpi);
      ExpectAt(IpAddressField(d.Control(IDC_ADDRESS)).Handle(), {8 + 132, 4 + 92, 117, 21}, dpi);
      ExpectAt(d.Control(IDCANCEL), {153, 172, 75, 25}, dpi);
      EXPECT_NEAR(EmHeight(d.Control(IDC_ACCESS)), MulDiv(8, static_cast<int>(dpi), 72), 1);
      EXPECT_NEAR(EmHeight(IpAddressField(d.Control(IDC_ADDRESS)).Part(0)),
                  MulDiv(8, static_cast<int>(dpi), 72), 1);
      // The address parts: left to right inside the field, none on another.
      RECT field;
      GetClientRect(IpAddressField(d.Control(IDC_ADDRESS)).Handle(), &field);
      int right = 0;
      for (int i = 0; i < 4; ++i) {
        const RECT part = InParent(IpAddressField(d.Control(IDC_ADDRESS)).Part(i));
        EXPECT_GE(part.left, right) << "part " << i << " at " << dpi;
        EXPECT_LE(part.right, field.right) << "part " << i << " at " << dpi;
        EXPECT_LE(part.bottom, field.bottom) << "part " << i << " at " << dpi;
        right = part.right;
      }
      ExpectTidy(d.Handle(), dpi);
    }
  }
  // The address label grows for the longer caption when the mode changes.
  SendDpiChange(d.Handle(), 192);
  d.SelectSingle(false);
  EXPECT_LE(
      CaptionWidth(d.Control(IDC_ADDRESS_LABEL)),
      InParent(d.Control(IDC_ADDRESS_LABEL)).right - InParent(d.Control(IDC_ADDRESS_LABEL)).left);
}

}  // namespace
}  // namespace tftpcfg::test
