#include "platform/win32/win_text.h"

#include <vector>

#include "base/error_text.h"

namespace tftpcfg {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::optional<std::wstring> WidenAnsi(std::string_view ansi) {
  if (ansi.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(),
                                    static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()),
                      wide.data(), n);
  return wide;
}

std::string GetWindowTextUtf8(HWND hwnd) {
  const int len = GetWindowTextLengthW(hwnd);
  if (len <= 0) return {};
  std::wstring buf(static_cast<size_t>(len) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, buf.data(), len + 1);
  buf.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(buf);
}

void SetWindowTextUtf8(HWND hwnd, std::string_view text) {
  SetWindowTextW(hwnd, Widen(text).c_str());
}

bool WinAnsiCodec::ToAnsi(std::string_view utf8, std::string& ansi) const {
  ansi.clear();
  if (utf8.empty()) return true;
  const int wn = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                     static_cast<int>(utf8.size()), nullptr, 0);
  if (wn <= 0) return false;
  // Where the ANSI code page is UTF-8 every character can be stored, and the
  // converter refuses both the no-best-fit flag and the default-character
  // report for that code page: the text, valid UTF-8 as just checked, is
  // already what the A functions take.
  if (GetACP() == CP_UTF8) {
    ansi.assign(utf8);
    return true;
  }
  std::wstring wide(static_cast<size_t>(wn), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), wn);
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wn, nullptr, 0,
                                    nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.resize(static_cast<size_t>(n));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wn, ansi.data(), n, nullptr,
                      &usedDefault);
  return !usedDefault;
}

std::string WinAnsiCodec::FromAnsi(std::string_view ansi) const {
  if (ansi.empty()) return {};
  const int wn =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wn > 0 ? wn : 0), L'\0');
  if (wn > 0)
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), wn);
  return Narrow(wide);
}

std::string WinAnsiCodec::CodePageName() const {
  const UINT cp = GetACP();
  if (cp >= 1250 && cp <= 1258) return "Windows-" + std::to_string(cp);
  return "code page " + std::to_string(cp);
}

std::string SystemErrorTextUtf8(DWORD code) {
  char buf[256] = {};
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, buf, sizeof buf, nullptr);
  if (n == 0) return {};
  return TrimErrorText(WinAnsiCodec().FromAnsi(std::string_view(buf, n)));
}

}  // namespace tftpcfg
