#include "controls/accessible_name.h"

#include <commctrl.h>

#include <atomic>
#include <iterator>
#include <memory>

#include "platform/win32/application_error.h"
#include "platform/win32/system_api.h"
#include "platform/win32/win_handles.h"

namespace tftpcfg {
namespace {

// The annotation service's class, its interface and the two properties set
// here, as oleacc.h declares them. (The import libraries do not define these
// GUIDs, and oleacc.h declares no __uuidof for them.)
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
constexpr MSAAPROPID kProperties[] = {kNameProperty, kDescriptionProperty};

constexpr UINT_PTR kNameSubclass = 0x4143;  // "AC"
// Where a named window keeps its names, so that a later call finds them.
constexpr wchar_t kTextProp[] = L"tftpcfg.AccessibleText";

constexpr auto kClient = static_cast<DWORD>(OBJID_CLIENT);

// The names of a window, and the service that carries them when it does.
struct AccessibleText {
  std::wstring name;
  std::wstring description;
  ComPtr<IAccPropServices> annotations;  // null: the window answers itself
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
  NamedAccessible(HWND hwnd, ComPtr<IAccessible> inner, std::wstring name, std::wstring description)
      : hwnd_(hwnd),
        inner_(std::move(inner)),
        name_(std::move(name)),
        description_(std::move(description)) {}

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
    if (IsSelf(child)) return ReturnText(name_, name);
    return inner_.get()->get_accName(child, name);
  }
  STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
    if (IsSelf(child) && !description_.empty()) return ReturnText(description_, description);
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
  std::wstring name_;
  std::wstring description_;
  std::atomic<ULONG> refs_{1};
};

LRESULT AnswerClientObject(HWND hwnd, WPARAM wParam, const AccessibleText& text) {
  ComPtr<IAccessible> inner;
  if (FAILED(oleacc::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(inner.put()))) ||
      !inner)
    return 0;
  ComPtr<IAccessible> named(
      std::make_unique<NamedAccessible>(hwnd, std::move(inner), text.name, text.description)
          .release());
  return oleacc::LresultFromObject(__uuidof(IAccessible), wParam, named.get());
}

void ClearAnnotations(HWND hwnd, AccessibleText& text) {
  if (text.annotations) {
    text.annotations.get()->ClearHwndProps(hwnd, kClient, CHILDID_SELF, kProperties,
                                           static_cast<int>(std::size(kProperties)));
  }
  text.annotations.reset();
}

// Gives the window its names through the service: a failure, and nothing
// annotated, when the service refuses one of them.
HRESULT Annotate(HWND hwnd, const AccessibleText& text, IAccPropServices* services) {
  if (!services) return E_POINTER;
  HRESULT hr =
      services->SetHwndPropStr(hwnd, kClient, CHILDID_SELF, kNameProperty, text.name.c_str());
  if (SUCCEEDED(hr)) {
    hr = text.description.empty()
             ? services->ClearHwndProps(hwnd, kClient, CHILDID_SELF, &kDescriptionProperty, 1)
             : services->SetHwndPropStr(hwnd, kClient, CHILDID_SELF, kDescriptionProperty,
                                        text.description.c_str());
  }
  if (FAILED(hr)) {
    services->ClearHwndProps(hwnd, kClient, CHILDID_SELF, kProperties,
                             static_cast<int>(std::size(kProperties)));
  }
  return hr;
}

LRESULT CALLBACK NamedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
  auto* text = reinterpret_cast<AccessibleText*>(data);
  switch (msg) {
    case WM_GETOBJECT:
      // With the names annotated, the system's own object answers with them.
      if (!text->annotations && static_cast<DWORD>(lParam) == kClient) {
        const LRESULT result =
            Guarded(hwnd, 0, [&] { return AnswerClientObject(hwnd, wParam, *text); });
        if (result) return result;
      }
      break;
    case WM_NCDESTROY: {
      RemoveWindowSubclass(hwnd, &NamedWindowProc, kNameSubclass);
      RemovePropW(hwnd, kTextProp);
      const std::unique_ptr<AccessibleText> owned(text);  // the names end with the window
      ClearAnnotations(hwnd, *owned);
      return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

// Set once the system's service has said that it does not implement
// annotations (Wine's does not): it is not asked again, which would cost a
// COM object and two calls for every window named.
std::atomic<bool> systemAnnotationsMissing{false};

// The system's annotation service, when COM is initialised on the thread.
ComPtr<IAccPropServices> SystemAnnotations() {
  ComPtr<IAccPropServices> services;
  if (systemAnnotationsMissing) return services;
  if (FAILED(CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                              kAccPropServicesInterface, reinterpret_cast<void**>(services.put()))))
    services.reset();
  return services;
}

// Names the window, through the service when it takes the names; the
// service's answer.
HRESULT SetNames(HWND hwnd, const std::wstring& name, const std::wstring& description,
                 IAccPropServices* services) {
  auto* text = static_cast<AccessibleText*>(GetPropW(hwnd, kTextProp));
  if (!text) {
    auto made = std::make_unique<AccessibleText>();
    if (!SetPropW(hwnd, kTextProp, made.get())) return E_FAIL;
    if (!SetWindowSubclass(hwnd, &NamedWindowProc, kNameSubclass,
                           reinterpret_cast<DWORD_PTR>(made.get()))) {
      RemovePropW(hwnd, kTextProp);
      return E_FAIL;
    }
    text = made.release();  // the window owns it now; freed at WM_NCDESTROY
  }
  text->name = name;
  text->description = description;
  if (text->annotations.get() != services) ClearAnnotations(hwnd, *text);
  const HRESULT hr = Annotate(hwnd, *text, services);
  if (FAILED(hr)) {
    text->annotations.reset();  // Annotate took back what it had set
  } else if (!text->annotations) {
    services->AddRef();
    text->annotations.reset(services);
  }
  return hr;
}

}  // namespace

void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description) {
  if (!hwnd) return;
  const ComPtr<IAccPropServices> services = SystemAnnotations();
  if (SetNames(hwnd, name, description, services.get()) == E_NOTIMPL)
    systemAnnotationsMissing = true;
}

void SetAccessibleName(HWND hwnd, const std::wstring& name, const std::wstring& description,
                       IAccPropServices* services) {
  if (hwnd) SetNames(hwnd, name, description, services);
}

}  // namespace tftpcfg
