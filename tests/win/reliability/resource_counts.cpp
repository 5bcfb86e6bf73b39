#include "tests/win/reliability/resource_counts.h"

#include <winternl.h>

#include <cstdint>
#include <stdexcept>

namespace tftpcfg::test {
namespace {

// No function-local statics here: the C++ runtime creates a pair of
// semaphores for the first one initialised in a process, which would show up
// as two handles more after the first count.

// Kernel handle values are multiples of four, handed out lowest free first;
// the scan stops after a long run of values that are not in use.
DWORD ScanKernelHandles() {
  DWORD count = 0;
  int misses = 0;
  for (uintptr_t value = 4; misses < 4096; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++count;
      misses = 0;
    } else {
      ++misses;
    }
  }
  return count;
}

// One entry of the GDI handle table (the layout Windows and Wine share).
struct GdiTableEntry {
  uint64_t kernelObject;
  uint16_t processId;
  uint16_t count;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userObject;
};
static_assert(sizeof(GdiTableEntry) == 24);
constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kPebGdiSharedHandleTable = 0xF8;  // offset in the 64-bit PEB

using QueryProcessFn = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);

DWORD ScanGdiTable() {
  const auto query = reinterpret_cast<QueryProcessFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION info{};
  if (!query ||
      query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0)
    return 0;
  const auto* peb = reinterpret_cast<const char*>(info.PebBaseAddress);
  const auto* table =
      *reinterpret_cast<const GdiTableEntry* const*>(peb + kPebGdiSharedHandleTable);
  if (!table) return 0;
  const auto pid = static_cast<uint16_t>(GetCurrentProcessId());
  DWORD count = 0;
  for (size_t i = 0; i < kGdiTableEntries; ++i) {
    // Wine's table is the process's own and leaves the owner 0.
    if (table[i].type != 0 && (table[i].processId == 0 || table[i].processId == pid)) ++count;
  }
  return count;
}

// USER handle values: an index times two above 0x20 in the low word; the high
// word (a generation count) may be left 0 in a look-up.
constexpr uintptr_t kFirstUserHandle = 0x20;
constexpr uintptr_t kLastUserHandle = 0xFFEF;

using GetIconSizeFn = BOOL(WINAPI*)(HICON, UINT, LONG*, LONG*);

DWORD ScanUserObjects() {
  const auto getIconSize = reinterpret_cast<GetIconSizeFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"win32u.dll"), "NtUserGetIconSize")));
  const DWORD pid = GetCurrentProcessId();
  DWORD count = 0;
  for (uintptr_t value = kFirstUserHandle; value <= kLastUserHandle; value += 2) {
    const auto hwnd = reinterpret_cast<HWND>(value);
    if (IsWindow(hwnd)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(hwnd, &owner);
      count += owner == pid;
      continue;
    }
    if (IsMenu(reinterpret_cast<HMENU>(value))) {
      ++count;
      continue;
    }
    LONG w = 0;
    LONG h = 0;
    if (getIconSize && getIconSize(reinterpret_cast<HICON>(value), 0, &w, &h)) ++count;
  }
  return count;
}

}  // namespace

std::string ResourceCounts::Text() const {
  return std::to_string(handles) + " handles, " + std::to_string(gdiObjects) + " GDI objects, " +
         std::to_string(userObjects) + " USER objects";
}

CountMethods CountResourceMethods() {
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  return {handles != 0 ? "system" : "scan",
          GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0 ? "system" : "scan",
          GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) != 0 ? "system" : "scan"};
}

void SettleRuntime() {
  try {
    throw std::runtime_error("settling");
  } catch (const std::runtime_error&) {
  }
}

ResourceCounts CountResources() {
  ResourceCounts c;
  // A running process always holds handles and objects: a 0 means "not
  // implemented here".
  if (!GetProcessHandleCount(GetCurrentProcess(), &c.handles) || c.handles == 0)
    c.handles = ScanKernelHandles();
  c.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (c.gdiObjects == 0) c.gdiObjects = ScanGdiTable();
  c.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (c.userObjects == 0) c.userObjects = ScanUserObjects();
  return c;
}

}  // namespace tftpcfg::test
