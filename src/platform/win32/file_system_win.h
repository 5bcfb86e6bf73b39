#pragma once
// File system queries made through the ANSI functions, as the service sees paths.

#include <string>

namespace tftpcfg {

// True when the text, converted to the ANSI code page, names an existing
// directory (GetFileAttributesA reports the directory attribute). A relative
// path is resolved against the current directory. Text that the code page
// cannot represent names no directory.
bool DirectoryExists(const std::string& utf8Path);

// The folder of the running executable, with its trailing path separator (UTF-8).
std::string ExecutableDirectory();

}  // namespace tftpcfg
