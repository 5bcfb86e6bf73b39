// Rules loaded into the rule grid of the real main window: LoadHosts with the
// encoded text of n rules, then the grid repainted, the Security page in
// front. The grid is an owner-data list, so the time should grow with n and
// nothing faster.
//
//   grid_bench [<rules> ...]      (default: 2000 20000)
//
// Prints one line per size: "grid <n> load_ms <median> paint_ms <median>
// us_per_rule <load median / n>": LoadHosts alone, then the repaint of the grid.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "config/access_rights.h"
#include "controls/field_control.h"
#include "tests/support/latin1_codec.h"
#include "tests/support/memory_registry.h"
#include "ui/message_boxes.h"
#include "ui/main_window.h"

namespace {

using namespace tftpcfg;

// Answers every question with No and shows nothing.
class SilentDialogs final : public IMessageBoxes {
 public:
  void Error(HWND, const std::string&) override {}
  void Information(HWND, const std::string&) override {}
  bool Confirm(HWND, const std::string&) override { return false; }
  RestartAnswer AskRestart(HWND) override { return RestartAnswer::Cancel; }
  void ApplicationError(HWND, const std::string&) override {}
};

std::string HostListText(int n) {
  std::vector<AccessRule> rules;
  rules.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    rules.push_back({"10." + std::to_string((i >> 16) & 255) + "." +
                         std::to_string((i >> 8) & 255) + "." + std::to_string(i & 255),
                     i % 4 ? "255.255.255.255" : "255.255.0.0", i % 2 ? kReadOnly : kNoAccess});
  return EncodeHostList(rules);
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(_wtoi(argv[i]));
  if (sizes.empty()) sizes = {2000, 20000};

  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                              ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterFieldClasses();
  test::MemoryRegistry registry;  // no settings key: the window shows its initial values
  test::Latin1Codec codec;
  SilentDialogs dialogs;
  MainWindow::Dependencies deps;
  deps.registry = &registry;
  deps.codec = &codec;
  deps.messageBoxes = &dialogs;
  deps.directoryExists = [](const std::string&) { return true; };
  std::unique_ptr<MainWindow> window = MainWindow::Create(GetModuleHandleW(nullptr), deps);
  if (!window) return 1;
  window->ShowPage(kPageSecurity);
  Pump();

  constexpr int kRepeats = 7;
  for (const int n : sizes) {
    const std::string text = HostListText(n);
    std::vector<double> loads, paints;
    for (int r = 0; r < kRepeats; ++r) {
      window->LoadHosts("");
      Pump();
      const double start = Now();
      window->LoadHosts(text);
      const double loaded = Now();
      UpdateWindow(window->Control(IDC_RULES));
      loads.push_back(loaded - start);
      paints.push_back(Now() - loaded);
      if (window->HostRows().size() != static_cast<size_t>(n)) return 1;
    }
    std::sort(loads.begin(), loads.end());
    std::sort(paints.begin(), paints.end());
    const double load = loads[kRepeats / 2];
    std::printf("grid %d load_ms %.3f paint_ms %.3f us_per_rule %.4f\n", n, load,
                paints[kRepeats / 2], load * 1000.0 / n);
  }
  return 0;
}
