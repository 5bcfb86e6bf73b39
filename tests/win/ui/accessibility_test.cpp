// Names for screen readers, read back through the accessibility API as a
// screen reader reads them: every input control carries the name of its
// visible label, the input fields' text areas and the address parts included,
// and the system's own object keeps answering everything else. Wine's
// annotation service refuses names, so here they come from the windows' own
// answer; the way through a service that takes them is played by a fake.

#include "tests/win/ui/main_window_fixture.h"

#include <oleacc.h>

#include "controls/ip_address_field.h"
#include "platform/win32/win_handles.h"
#include "toolkit/accessibility.h"

namespace tftpcfg::test {
namespace {

ComPtr<IAccessible> ObjectOf(HWND hwnd) {
  ComPtr<IAccessible> acc;
  AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                             reinterpret_cast<void**>(acc.put()));
  return acc;
}

VARIANT Self() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

std::string TakeText(HRESULT hr, BSTR text) {
  std::string out = SUCCEEDED(hr) && text ? Narrow(text) : std::string();
  SysFreeString(text);
  return out;
}

std::string NameOf(HWND hwnd) {
  const ComPtr<IAccessible> acc = ObjectOf(hwnd);
  if (!acc) return "<no object>";
  BSTR name = nullptr;
  const HRESULT hr = acc.get()->get_accName(Self(), &name);
  return TakeText(hr, name);
}

std::string DescriptionOf(HWND hwnd) {
  const ComPtr<IAccessible> acc = ObjectOf(hwnd);
  if (!acc) return "<no object>";
  BSTR text = nullptr;
  const HRESULT hr = acc.get()->get_accDescription(Self(), &text);
  return TakeText(hr, text);
}

// PROPID_ACC_NAME and PROPID_ACC_DESCRIPTION (oleacc.h).
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

// An annotation service that takes the names or refuses them (as Wine's
// does), and records what it is given and asked to clear for `hwnd`'s client
// object ("set name Port", "clear description").
class FakeAnnotations final : public IAccPropServices {
 public:
  explicit FakeAnnotations(bool accepts) : accepts_(accepts) {}
  HWND hwnd = nullptr;
  std::vector<std::wstring> calls;
  ULONG refs = 1;

  STDMETHODIMP QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP SetHwndPropStr(HWND h, DWORD object, DWORD child, MSAAPROPID prop,
                              LPCWSTR text) override {
    if (!accepts_) return E_NOTIMPL;
    calls.push_back(L"set " + What(h, object, child, prop) + L" " + text);
    return S_OK;
  }
  STDMETHODIMP ClearHwndProps(HWND h, DWORD object, DWORD child, const MSAAPROPID* props,
                              int count) override {
    for (int i = 0; i < count; ++i) calls.push_back(L"clear " + What(h, object, child, props[i]));
    return accepts_ ? S_OK : E_NOTIMPL;
  }
  // The rest is not used.
  STDMETHODIMP SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                             AnnoScope) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  STDMETHODIMP SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                  AnnoScope) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  STDMETHODIMP ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
    return E_NOTIMPL;
  }

 private:
  std::wstring What(HWND h, DWORD object, DWORD child, const MSAAPROPID& prop) const {
    if (h != hwnd || object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF)
      return L"another object's";
    return IsEqualGUID(prop, kNameProperty)          ? L"name"
           : IsEqualGUID(prop, kDescriptionProperty) ? L"description"
                                                     : L"another property";
  }
  bool accepts_;
};

// A service that takes the names gets them for the window's client object,
// the window leaves its answer to the system's object, and the names are
// cleared and the service released when the window goes. Without a service,
// or with one that refuses, the window answers with the names itself.
TEST(AccessibleNames, GoToTheAnnotationServiceWhereItTakesThemElseTheWindowAnswers) {
  const ComApartment com;
  ASSERT_TRUE(com.ok());
  using Calls = std::vector<std::wstring>;
  const Calls named = {L"set name Old", L"clear description", L"set name Port",
                       L"set description part 1 of 4"};
  const struct {
    const char* what;
    bool service, accepts;
    Calls calls;
  } cases[] = {{"service takes them", true, true, named},
               {"service refuses them", true, false, {}},
               {"no service", false, false, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeAnnotations fake(c.accepts);
    fake.hwnd = CreateWindowExW(0, L"EDIT", L"contents", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(fake.hwnd, nullptr);
    SetAccessibleName(fake.hwnd, L"Old", L"", c.service ? &fake : nullptr);
    SetAccessibleName(fake.hwnd, L"Port", L"part 1 of 4", c.service ? &fake : nullptr);
    if (c.accepts) {
      EXPECT_EQ(fake.calls, c.calls);
      EXPECT_EQ(SendMessageW(fake.hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
      EXPECT_EQ(fake.refs, 2u);  // held for the clearing
    } else {
      EXPECT_EQ(NameOf(fake.hwnd), "Port");
      EXPECT_EQ(DescriptionOf(fake.hwnd), "part 1 of 4");
    }
    fake.calls.clear();
    DestroyWindow(fake.hwnd);
    const Calls cleared = {L"clear name", L"clear description"};
    EXPECT_EQ(fake.calls, c.accepts ? cleared : Calls());
    EXPECT_EQ(fake.refs, 1u);
  }
}

class AccessibilityTest : public MainWindowTest {
 protected:
  ComApartment com_;
};

TEST_F(AccessibilityTest, EveryInputControlOfTheWindowCarriesItsLabel) {
  ASSERT_TRUE(com_.ok());
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  MainWindow& w = *frm_;
  const std::vector<std::pair<HWND, const char*>> expected = {
      {FolderField(w.Control(IDC_TFTP_ROOT)).Edit(), "TFTP Root Directory"},
      {FolderField(w.Control(IDC_TFTP_ROOT)).Handle(), "TFTP Root Directory"},
      {NumberField(w.Control(IDC_TFTP_PORT)).Edit(), "TFTP Server Port"},
      {NumberField(w.Control(IDC_TIMEOUT)).Edit(), "Request timeout"},
      {NumberField(w.Control(IDC_RETRIES)).Edit(), "Retries"},
      {NumberField(w.Control(IDC_RETRIES)).Handle(), "Retries"},
      {w.Control(IDC_HIGH_PRIORITY), "High priority level"},
      {w.Control(IDC_OPTION_TIMEOUT), "timeout"},
      {w.Control(IDC_OPTION_BLOCKSIZE), "blocksize"},
      {w.Control(IDC_OPTION_TSIZE), "tsize"},
      {w.Control(IDC_DEFAULT_ACCESS), "Clients will have"},
      {w.Control(IDC_RULES), "except the following IP addresses"},
      {w.Control(IDC_ADD_RULE), "Add"},
      {w.Control(IDC_EDIT_RULE), "Edit"},
      {w.Control(IDC_DELETE_RULE), "Delete"},
      {w.Control(IDC_FIREWALL), "Enable firewall support"},
      {NumberField(w.Control(IDC_FIREWALL_MIN_PORT)).Edit(), "Use port range from"},
      {NumberField(w.Control(IDC_FIREWALL_MAX_PORT)).Edit(), "To"},
      {w.Control(IDC_WRITE_LOG), "Enable Logging"},
      {FolderField(w.Control(IDC_LOG_DIRECTORY)).Edit(), "Logfiles Directory"},
      {NumberField(w.Control(IDC_LOG_COUNT)).Edit(), "Logfiles Count"},
      {w.Control(IDC_LOG_LEVEL), "Logging level"},
      {w.Control(IDC_UTC_TIMESTAMPS), "UTC Timestamps"},
      {w.Control(IDC_LOCAL_TIMESTAMPS), "Local timestamps"},
      {w.Control(IDOK), "OK"},
      {w.Control(IDCANCEL), "Cancel"},
      {w.Control(IDC_APPLY), "Apply"},
  };
  for (const auto& [hwnd, name] : expected) EXPECT_EQ(NameOf(hwnd), name) << name;
}

// Every control that Tab can reach, wherever it sits, has a name that is not
// just what it holds (the system's fallback for an EDIT without a label).
TEST_F(AccessibilityTest, NoTabStopIsLeftWithoutAName) {
  ASSERT_TRUE(com_.ok());
  PutCompleteKey(existingDir_, existingDir_);
  Open();
  struct Walk {
    std::vector<HWND> stops;
    static BOOL CALLBACK Visit(HWND h, LPARAM self) {
      if (GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP)
        reinterpret_cast<Walk*>(self)->stops.push_back(h);
      return TRUE;
    }
  } walk;
  for (int page = 0; page < kTabbedPages; ++page) frm_->Page(page);  // every page built
  EnumChildWindows(frm_->Handle(), &Walk::Visit, reinterpret_cast<LPARAM>(&walk));
  ASSERT_GE(walk.stops.size(), 25u);
  for (HWND h : walk.stops) {
    const std::string name = NameOf(h);
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    EXPECT_FALSE(name.empty()) << Narrow(cls) << " has no name";
    if (lstrcmpiW(cls, L"Edit") == 0) {
      EXPECT_NE(name, GetWindowTextUtf8(h)) << "an EDIT named after its contents";
    }
  }
}

TEST_F(AccessibilityTest, ANamedFieldKeepsTheSystemsRoleStateAndWindow) {
  ASSERT_TRUE(com_.ok());
  Open();
  const HWND edit = NumberField(frm_->Control(IDC_TFTP_PORT)).Edit();
  const ComPtr<IAccessible> named = ObjectOf(edit);
  ComPtr<IAccessible> plain;
  ASSERT_EQ(CreateStdAccessibleObject(edit, static_cast<LONG>(OBJID_CLIENT), __uuidof(IAccessible),
                                      reinterpret_cast<void**>(plain.put())),
            S_OK);
  ASSERT_TRUE(named && plain);
  VARIANT a, b;
  VariantInit(&a);
  VariantInit(&b);
  EXPECT_EQ(named.get()->get_accRole(Self(), &a), plain.get()->get_accRole(Self(), &b));
  EXPECT_EQ(a.vt, b.vt);
  EXPECT_EQ(a.lVal, b.lVal);
  VariantInit(&a);
  VariantInit(&b);
  EXPECT_EQ(named.get()->get_accState(Self(), &a), plain.get()->get_accState(Self(), &b));
  EXPECT_EQ(a.lVal, b.lVal);
  BSTR va = nullptr, vb = nullptr;
  const HRESULT ha = named.get()->get_accValue(Self(), &va);
  const HRESULT hb = plain.get()->get_accValue(Self(), &vb);
  EXPECT_EQ(ha, hb);
  EXPECT_EQ(TakeText(ha, va), TakeText(hb, vb));
  HWND back = nullptr;
  EXPECT_EQ(WindowFromAccessibleObject(named.get(), &back), S_OK);
  EXPECT_EQ(back, edit);
}

TEST_F(AccessibilityTest, AddressPartsFollowTheModeLabelAndSayWhichPartTheyAre) {
  ASSERT_TRUE(com_.ok());
  Open();
  RuleDialog& d = *dlg_;
  EXPECT_EQ(NameOf(d.Control(IDC_ACCESS)), "Access rights");
  d.SelectSingle(false);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(NameOf(IpAddressField(d.Control(IDC_ADDRESS)).Part(i)), "Network IP Address") << i;
    EXPECT_EQ(DescriptionOf(IpAddressField(d.Control(IDC_ADDRESS)).Part(i)),
              "part " + std::to_string(i + 1) + " of 4");
    EXPECT_EQ(NameOf(IpAddressField(d.Control(IDC_MASK)).Part(i)), "Network Mask") << i;
  }
  EXPECT_EQ(NameOf(IpAddressField(d.Control(IDC_ADDRESS)).Handle()), "Network IP Address");
  d.SelectSingle(true);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(NameOf(IpAddressField(d.Control(IDC_ADDRESS)).Part(i)), "Host IP Address");
  EXPECT_EQ(NameOf(d.Control(IDC_SINGLE_HOST)), "Single IP address");
}

TEST(AccessibleNameText, TheLabelWithoutAcceleratorBlanksAndClosingColon) {
  EXPECT_EQ(NameFromLabelText(L"TFTP Root Directory:"), L"TFTP Root Directory");
  EXPECT_EQ(NameFromLabelText(L"&Add"), L"Add");
  EXPECT_EQ(NameFromLabelText(L" Logging parameters "), L"Logging parameters");
  EXPECT_EQ(NameFromLabelText(L"To: "), L"To");
  EXPECT_EQ(NameFromLabelText(L"a: b:"), L"a: b");
  EXPECT_EQ(NameFromLabelText(L""), L"");
}

}  // namespace
}  // namespace tftpcfg::test
