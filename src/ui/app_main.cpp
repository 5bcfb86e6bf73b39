// Program entry: the help binding, the main window, the rule dialog and the
// message loop. Closing the main window ends the program.

#include <windows.h>
#include <commctrl.h>

#include "controls/field_control.h"
#include "platform/win32/application_error.h"
#include "platform/win32/file_system_win.h"
#include "platform/win32/registry_win.h"
#include "platform/win32/service_win.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win_handles.h"
#include "platform/win32/win_text.h"
#include "service/service_controller.h"
#include "ui/help_viewer.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/rule_dialog.h"
#include "ui/service_ui.h"

using namespace tftpcfg;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Before anything loads a library: from here on, libraries come from the
  // system folder only, never from the folder the program was started from.
  // (A Windows 7 without the search functions keeps its folder in the search,
  // but the program's own loads still name the system folder; see
  // system_library.h.)
  LimitLibrarySearchToSystemFolder();
  // COM on the window thread: the controls' accessible names are given through
  // the system's annotation service, or a screen reader's query for a
  // control's accessible object is answered with a COM object
  // (controls/accessible_name.h).
  const ComApartment com;
  // The help control is loaded before the first window. Declared after COM, it
  // is released after the message loop has ended and before COM is shut down:
  // its viewers closed, the control shut down, then the library freed.
  const HelpViewer help;

  WinRegistry registry;
  WinAnsiCodec codec;
  WindowMessageBoxes messageBoxes;
  WinServiceControlManager scm;
  WinServiceClock clock;
  WinServiceUi serviceUi;
  ServiceController controller(scm, clock, serviceUi);

  MainWindow::Dependencies deps;
  deps.registry = &registry;
  deps.codec = &codec;
  deps.messageBoxes = &messageBoxes;
  deps.restartService = [&controller] { return controller.RestartService("", kServiceName); };
  deps.directoryExists = &DirectoryExists;
  deps.programDirectory = ExecutableDirectory();
  deps.showHelp = [&help](const std::string& topic) { help.DisplayTopic(topic); };

  // The window classes: the common controls' and the input fields'.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                              ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  std::unique_ptr<MainWindow> window;
  try {
    RegisterFieldClasses();
    window = MainWindow::Create(instance, deps);
  } catch (const std::exception& e) {
    // Without its window the program cannot go on: say why and end.
    ShowApplicationError(nullptr, e.what());
    return 1;
  }
  // The rule dialog is made when Add or Edit first needs it, so the window
  // is ready without waiting for it.
  std::unique_ptr<RuleDialog> ruleDialog;
  window->SetRuleDialogFactory([&ruleDialog, &window, instance] {
    ruleDialog = RuleDialog::Create(instance, window->Handle());
    return ruleDialog.get();
  });
  // The help viewer's keyboard handling, then the window's. While a restart
  // waits for the service, the messages it dispatches get the same handling as
  // in the loop below; its error boxes belong to the window.
  const auto preTranslate = [&help, &window](MSG& msg) {
    return help.PreTranslateMessage(msg) || window->PreTranslateMessage(msg);
  };
  serviceUi.SetPreTranslate(preTranslate);
  serviceUi.SetOwner(window->Handle());

  MSG msg = {};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (preTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  window->SetRuleDialog(nullptr);
  return static_cast<int>(msg.wParam);
}
