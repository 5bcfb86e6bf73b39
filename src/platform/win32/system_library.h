#pragma once
// Libraries from the system folder only. The program runs with administrator
// rights from whatever folder it was unpacked to, and Windows looks for a
// library in the program's own folder first unless it is one of the system's
// known libraries (KnownDLLs): a file of such a name placed beside the program
// would run with its rights. So the import table names only known libraries
// (and comctl32, bound side by side through the manifest), the search for
// later loads is limited to the system folder, and every other library is
// taken at run time from the system folder through SystemLibrary.

#include <windows.h>

#include <string>

#include "platform/win32/win_handles.h"

namespace tftpcfg {

// Makes the system folder the only place searched for every later load of a
// library by name, the program's own and those the system makes on its behalf.
// Call it first thing. Returns false on a system without
// SetDefaultDllDirectories (Windows 7 without update KB2533623): there only the
// current folder leaves the search, and SystemLibrary loads by full path.
bool LimitLibrarySearchToSystemFolder();

// One library loaded from the system folder when the object is made and
// released with it; its exports handed out as typed function pointers.
class SystemLibrary {
 public:
  // fileName without a folder, e.g. "uxtheme.dll". A failed load is kept
  // (Loaded, Error, ErrorText); nothing is searched anywhere else.
  explicit SystemLibrary(const char* fileName);
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  bool Loaded() const { return static_cast<bool>(module_); }
  const std::string& FileName() const { return fileName_; }
  // The system's error code of a failed load; ERROR_SUCCESS when loaded.
  DWORD Error() const { return error_; }
  // For a library the program cannot do without: names the library and the
  // system's reason.
  std::string ErrorText() const;
  // Throws AppError(ErrorText()) unless the library is loaded.
  void Require() const;

  // An export by name or by ordinal as function pointer type Fn; null when the
  // library or the export is missing.
  template <typename Fn>
  Fn Find(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
  }
  template <typename Fn>
  Fn Find(WORD ordinal) const {
    return Find<Fn>(MAKEINTRESOURCEA(ordinal));
  }

 private:
  std::string fileName_;
  UniqueModule module_;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace tftpcfg
