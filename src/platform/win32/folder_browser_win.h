#pragma once
// The shell's own folder browser and namespace calls (SHBrowseForFolderA and
// the desktop folder), with COM initialised around each browse.

#include "platform/folder_browser.h"

namespace tftpcfg {

IFolderBrowserShell& SystemFolderBrowser();

}  // namespace tftpcfg
