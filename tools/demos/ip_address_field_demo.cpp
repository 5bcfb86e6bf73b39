// A small window showing two IP address fields, one normal and one disabled,
// each with a label beside it placed as the rule dialog places one, for the
// picture in docs/ip_address_field.png. Closes itself after a few seconds.

#include <windows.h>

#include <exception>

#include "controls/ip_address_field.h"
#include "platform/win32/win_handles.h"

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) DestroyWindow(hwnd);
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Label(HWND parent, const wchar_t* text, int y, HFONT font) {
  HWND label = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE, 12, y + 4, 60, 13, parent,
                               nullptr, nullptr, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using tftpcfg::IpAddressField;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = L"IpAddressFieldDemo";
  RegisterClassExW(&wc);

  // The window fills the screenshot's desktop, which the script sizes to it.
  HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, L"IpAddressFieldDemo", L"IP address field",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 220, 106,
                                nullptr, nullptr, instance, nullptr);
  // The rule dialog's font: MS Sans Serif, 8 point.
  tftpcfg::UniqueFont font(
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif"));
  Label(window, L"Normal:", 16, font.get());
  Label(window, L"Disabled:", 48, font.get());
  try {
    tftpcfg::RegisterFieldClasses();
    const IpAddressField normal = IpAddressField::Create(window, 1, RECT{80, 16, 197, 37});
    const IpAddressField disabled = IpAddressField::Create(window, 2, RECT{80, 48, 197, 69});
    SendMessageW(normal.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    SendMessageW(disabled.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    normal.SetText("192.168.10.0");
    disabled.SetText("255.255.255.0");
    EnableWindow(disabled.Handle(), FALSE);
  } catch (const std::exception&) {
    return 1;
  }
  SetFocus(window);
  SetTimer(window, 1, 4000, nullptr);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
