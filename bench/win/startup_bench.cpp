// Start-up of programs, measured from inside Windows (or Wine): each run
// starts the program, waits until it has a visible top-level window and until
// it is idle waiting for input (it has painted), reads its private bytes, and
// closes it again. The programs take turns, so a slow spell of the machine
// hits all of them alike.
//
//   startup_bench <runs> <program> [<program> ...]
//
// Prints one line per program: "startup <name> visible_ms <median> ready_ms
// <median> private_kb <median> runs <n>", medians over the runs (Wine reports
// no private bytes: 0; scripts/bench.sh reads them from the Linux side).
//
//   startup_bench --wait <image name>    waits until a running program of that
//                                        name shows a window and is idle
//   startup_bench --close <image name>   asks that program's windows to close

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sample {
  double visibleMs = 0;
  double readyMs = 0;
  double privateKb = 0;
};

struct FindWindowData {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lParam) {
  auto* data = reinterpret_cast<FindWindowData*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == data->processId && IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
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

bool RunOnce(const std::wstring& program, Sample& sample) {
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  const double start = Now();
  if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    return false;
  FindWindowData data{pi.dwProcessId, nullptr};
  while (!data.found && Now() - start < 30000) {
    EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&data));
    if (!data.found) Sleep(1);
  }
  sample.visibleMs = Now() - start;
  WaitForInputIdle(pi.hProcess, 30000);
  sample.readyMs = Now() - start;
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters))
    sample.privateKb = static_cast<double>(counters.PrivateUsage) / 1024.0;
  if (data.found) PostMessageW(data.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return data.found != nullptr;
}

// The process id of a running program with the image name, or 0.
DWORD FindProcess(const std::wstring& imageName) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry))
    if (lstrcmpiW(entry.szExeFile, imageName.c_str()) == 0) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

// --wait: a window of the program is visible and the program idle; --close:
// its window is asked to close.
int WaitOrClose(bool close, const std::wstring& imageName) {
  const double start = Now();
  FindWindowData data{0, nullptr};
  while (!data.found && Now() - start < 30000) {
    data.processId = FindProcess(imageName);
    if (data.processId) EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&data));
    if (!data.found) Sleep(10);
  }
  if (!data.found) return 1;
  if (close) {
    PostMessageW(data.found, WM_CLOSE, 0, 0);
    return 0;
  }
  const HANDLE process =
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, data.processId);
  if (process) {
    WaitForInputIdle(process, 30000);
    CloseHandle(process);
  }
  return 0;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && (lstrcmpW(argv[1], L"--wait") == 0 || lstrcmpW(argv[1], L"--close") == 0))
    return WaitOrClose(lstrcmpW(argv[1], L"--close") == 0, argv[2]);
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench <runs> <program> [<program> ...]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  // A hidden window of our own keeps the desktop (and, under Wine, its desktop
  // process) alive between the programs' runs, as a user's session would.
  const HWND keeper = CreateWindowExW(0, L"STATIC", L"startup_bench", WS_POPUP, 0, 0, 1, 1, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  std::vector<std::wstring> programs(argv + 2, argv + argc);
  std::vector<std::vector<Sample>> samples(programs.size());
  // One unmeasured start of each program first: the first start after a build
  // reads the files from disk, later ones from the cache.
  for (const std::wstring& program : programs) {
    Sample warmup;
    if (!RunOnce(program, warmup)) {
      std::fprintf(stderr, "startup_bench: %s showed no window\n", Narrow(program).c_str());
      return 1;
    }
  }
  for (int run = 0; run < runs; ++run) {
    for (size_t i = 0; i < programs.size(); ++i) {
      Sample sample;
      if (!RunOnce(programs[i], sample)) {
        std::fprintf(stderr, "startup_bench: %s showed no window\n", Narrow(programs[i]).c_str());
        return 1;
      }
      samples[i].push_back(sample);
    }
  }
  for (size_t i = 0; i < programs.size(); ++i) {
    std::vector<double> visible, ready, privateKb;
    for (const Sample& s : samples[i]) {
      visible.push_back(s.visibleMs);
      ready.push_back(s.readyMs);
      privateKb.push_back(s.privateKb);
    }
    std::wstring name = programs[i].substr(programs[i].find_last_of(L"\\/") + 1);
    std::printf("startup %s visible_ms %.1f ready_ms %.1f private_kb %.0f runs %d\n",
                Narrow(name).c_str(), Median(visible), Median(ready), Median(privateKb), runs);
  }
  if (keeper) DestroyWindow(keeper);
  return 0;
}
