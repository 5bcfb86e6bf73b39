#include "ui/accessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <memory>

#include "platform/win32/system_api.h"
#include "controls/ip_address_field.h"
#include "platform/win32/application_error.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {
namespace {

constexpr UINT_PTR kNameSubclass = 0x4143;  // "AC"
// The names of a window, found again when they are replaced. (Interface ids
// come from __uuidof: oleacc's import library has IID_IAccessible only as an
// import thunk, which links but is no GUID.)
constexpr wchar_t kTextProp[] = L"tftpcfg.AccessibleText";

struct AccessibleText {
  std::wstring name;
  std::wstring description;
};

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = oleacc::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The system's accessible object of a window with another name. Everything
// but the name and the description of the object itself goes to the system's.
class NamedAccessible final : public IAccessible, public IOleWindow {
 public:
  NamedAccessible(HWND hwnd, ComPtr<IAccessible> inner, AccessibleText text)
      : hwnd_(hwnd), inner_(std::move(inner)), text_(std::move(text)) {}

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *out = static_cast<IOleWindow*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
    if (left == 0) {
      const std::unique_ptr<NamedAccessible> owned(this);  // the last reference is gone
    }
    return left;
  }

  // IOleWindow: the window the object stands for.
  STDMETHODIMP GetWindow(HWND* out) override {
    if (!out) return E_POINTER;
    *out = hwnd_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    return inner_.get()->GetTypeInfoCount(count);
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_.get()->GetTypeInfo(index, lcid, info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                             DISPID* ids) override {
    return inner_.get()->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
    return inner_.get()->Invoke(id, riid, lcid, flags, params, result, exception, argError);
  }

  // IAccessible
  STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
    if (IsSelf(child)) return ReturnText(text_.name, name);
    return inner_.get()->get_accName(child, name);
  }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
    if (IsSelf(child) && !text_.description.empty())
      return ReturnText(text_.description, description);
    return inner_.get()->get_accDescription(child, description);
  }
  STDMETHODIMP get_accParent(IDispatch** parent) override {
    return inner_.get()->get_accParent(parent);
  }
  STDMETHODIMP get_accChildCount(LONG* count) override {
    return inner_.get()->get_accChildCount(count);
  }
  STDMETHODIMP get_accChild(VARIANT child, IDispatch** out) override {
    return inner_.get()->get_accChild(child, out);
  }
  STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
    return inner_.get()->get_accValue(child, value);
  }
  STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
    return inner_.get()->get_accRole(child, role);
  }
  STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
    return inner_.get()->get_accState(child, state);
  }
  STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
    return inner_.get()->get_accHelp(child, help);
  }
  STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return inner_.get()->get_accHelpTopic(file, child, topic);
  }
  STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_.get()->get_accKeyboardShortcut(child, shortcut);
  }
  STDMETHODIMP get_accFocus(VARIANT* focus) override { return inner_.get()->get_accFocus(focus); }
  STDMETHODIMP get_accSelection(VARIANT* selection) override {
    return inner_.get()->get_accSelection(selection);
  }
  STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_.get()->get_accDefaultAction(child, action);
  }
  STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
    return inner_.get()->accSelect(flags, child);
  }
  STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                           VARIANT child) override {
    return inner_.get()->accLocation(left, top, width, height, child);
  }
  STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return inner_.get()->accNavigate(direction, start, end);
  }
  STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override {
    return inner_.get()->accHitTest(x, y, child);
  }
  STDMETHODIMP accDoDefaultAction(VARIANT child) override {
    return inner_.get()->accDoDefaultAction(child);
  }
  STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP put_accValue(VARIANT child, BSTR value) override {
    return inner_.get()->put_accValue(child, value);
  }

 private:
  HWND hwnd_;
  ComPtr<IAccessible> inner_;
  AccessibleText text_;
  std::atomic<ULONG> refs_{1};
};

LRESULT AnswerClientObject(HWND hwnd, WPARAM wParam, const AccessibleText& text) {
  ComPtr<IAccessible> inner;
  if (FAILED(oleacc::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(inner.put()))) ||
      !inner)
    return 0;
  ComPtr<IAccessible> named(
      std::make_unique<NamedAccessible>(hwnd, std::move(inner), text).release());
  return oleacc::LresultFromObject(__uuidof(IAccessible), wParam, named.get());
}

LRESULT CALLBACK NamedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
  auto* text = reinterpret_cast<AccessibleText*>(data);
  switch (msg) {
    case WM_GETOBJECT:
      if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const LRESULT result =
            Guarded(hwnd, 0, [&] { return AnswerClientObject(hwnd, wParam, *text); });
        if (result) return result;
      }
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(hwnd, &NamedWindowProc, kNameSubclass);
      RemovePropW(hwnd, kTextProp);
      const std::unique_ptr<AccessibleText> owned(text);  // the names end with the window
      return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description) {
  if (!hwnd) return;
  if (auto* text = static_cast<AccessibleText*>(GetPropW(hwnd, kTextProp))) {
    text->name = name;
    text->description = description;
    return;
  }
  auto text = std::make_unique<AccessibleText>(AccessibleText{name, description});
  if (!SetPropW(hwnd, kTextProp, text.get())) return;
  if (!SetWindowSubclass(hwnd, &NamedWindowProc, kNameSubclass,
                         reinterpret_cast<DWORD_PTR>(text.get()))) {
    RemovePropW(hwnd, kTextProp);
    return;
  }
  (void)text.release();  // the window owns it now; freed at WM_NCDESTROY
}

std::wstring NameFromLabelText(std::wstring text) {
  const size_t amp = text.find(L'&');
  if (amp != std::wstring::npos) text.erase(amp, 1);
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  if (!text.empty() && text.back() == L':') text.pop_back();
  while (!text.empty() && blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

std::wstring NameFromLabel(HWND label) {
  const int length = GetWindowTextLengthW(label);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(label, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return NameFromLabelText(std::move(text));
}

HWND LabelBefore(HWND control) {
  for (HWND h = GetWindow(control, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
    wchar_t className[16] = {};
    GetClassNameW(h, className, 16);
    if (lstrcmpiW(className, WC_STATICW) == 0) return h;
  }
  return nullptr;
}

void NameAddressParts(HWND field, const std::wstring& name) {
  SetAccessibleName(field, name);
  for (int i = 0; i < 4; ++i)
    SetAccessibleName(IpAddressField(field).Part(i), name,
                      L"part " + std::to_wstring(i + 1) + L" of 4");
}

std::wstring NameAfterLabel(HWND control, std::initializer_list<HWND> windows) {
  const HWND label = LabelBefore(control);
  if (!label) return L"";
  std::wstring name = NameFromLabel(label);
  for (HWND h : windows) SetAccessibleName(h, name);
  return name;
}

}  // namespace tftpcfg
