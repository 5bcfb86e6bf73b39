#pragma once
// Scope owners for device contexts and the objects selected into them, so a
// DC is released and the old object selected back on every path.

#include <windows.h>

namespace tftpcfg {

// A device context that is released with ReleaseDC when it goes: of a
// window's client area (GetDC; null for the screen) or of the whole window,
// frame included (GetWindowDC).
template <HDC(WINAPI* Acquire)(HWND)>
class ReleasedDC {
 public:
  explicit ReleasedDC(HWND hwnd) : hwnd_(hwnd), dc_(Acquire(hwnd)) {}
  ReleasedDC(const ReleasedDC&) = delete;
  ReleasedDC& operator=(const ReleasedDC&) = delete;
  ~ReleasedDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};
using WindowDC = ReleasedDC<&GetDC>;
using WholeWindowDC = ReleasedDC<&GetWindowDC>;

class ScreenDC : public WindowDC {
 public:
  ScreenDC() : WindowDC(nullptr) {}
};

// BeginPaint / EndPaint for WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and the one before back when it goes.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (dc_ && old_) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The metrics of a font as a DC draws it.
inline TEXTMETRICW FontMetrics(HFONT font) {
  TEXTMETRICW tm{};
  const ScreenDC dc;
  if (!dc) return tm;
  const SelectedObject selected(dc.get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetricsW(dc.get(), &tm);
  return tm;
}

}  // namespace tftpcfg
