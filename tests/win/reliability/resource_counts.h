#pragma once
// The process's kernel handles, GDI objects and USER objects, for leak checks.
//
// On Windows these are GetProcessHandleCount and GetGuiResources. Wine 8
// answers 0 to all three, so there the counts are taken by looking: the
// kernel handles by asking the handle information of every handle value in
// use, the GDI objects from the handle table that the process environment
// block points at, and the USER objects by visiting every USER handle value
// (windows of this process, menus, icons and cursors).

#include <windows.h>

#include <string>

namespace tftpcfg::test {

struct ResourceCounts {
  DWORD handles = 0;
  DWORD gdiObjects = 0;
  DWORD userObjects = 0;

  friend bool operator==(const ResourceCounts&, const ResourceCounts&) = default;
  std::string Text() const;
};

ResourceCounts CountResources();

// Makes the C++ runtime create what it creates once per process on first use
// (the first exception thrown sets up synchronisation objects of its own),
// so that a count taken afterwards is not raised by it later.
void SettleRuntime();

// How each count was taken: "system" (the API) or "scan" (by looking).
struct CountMethods {
  const char* handles;
  const char* gdiObjects;
  const char* userObjects;
};
CountMethods CountResourceMethods();

}  // namespace tftpcfg::test
