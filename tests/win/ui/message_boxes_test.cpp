// The window's message boxes as the system shows them: captions, icons,
// buttons, default buttons and what each answer means.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/win/message_box_answerer.h"
#include "ui/dialogs.h"

namespace tftpcfg::test {
namespace {

using Buttons = std::vector<std::string>;

TEST(MessageBoxes, RestartQuestion) {
  WinDialogs dialogs;
  for (const auto& [id, expected] :
       {std::pair{IDYES, RestartAnswer::Yes}, std::pair{IDNO, RestartAnswer::No},
        std::pair{IDCANCEL, RestartAnswer::Cancel}}) {
    MessageBoxAnswerer answer(id);
    EXPECT_EQ(dialogs.AskRestart(nullptr), expected);
    ASSERT_EQ(answer.seen().size(), 1u);
    const SeenBox& box = answer.seen()[0];
    EXPECT_EQ(box.caption, "Confirmation");
    EXPECT_EQ(box.text,
              "It is necessary to restart the service in order to apply new configuration. "
              "Restart the TFTP service now?");
    EXPECT_EQ(box.buttons, (Buttons{"&Yes", "&No", "Cancel"}));
    EXPECT_EQ(box.defaultId, IDYES);
    EXPECT_TRUE(box.hasIcon);
  }
}

TEST(MessageBoxes, ConfirmationAnswersYesOnlyForYes) {
  WinDialogs dialogs;
  {
    MessageBoxAnswerer answer(IDYES);
    EXPECT_TRUE(dialogs.Confirm(nullptr, "Are you sure to delete rule?"));
    ASSERT_EQ(answer.seen().size(), 1u);
    EXPECT_EQ(answer.seen()[0].caption, "Confirm");
    EXPECT_EQ(answer.seen()[0].text, "Are you sure to delete rule?");
    EXPECT_EQ(answer.seen()[0].buttons, (Buttons{"&Yes", "&No"}));
    EXPECT_EQ(answer.seen()[0].defaultId, IDYES);
    EXPECT_TRUE(answer.seen()[0].hasIcon);
  }
  MessageBoxAnswerer no(IDNO);
  EXPECT_FALSE(dialogs.Confirm(nullptr, "Are you sure you want to discard all changes and exit?"));
}

TEST(MessageBoxes, ErrorInformationAndApplicationError) {
  WinDialogs dialogs;
  MessageBoxAnswerer answer(IDOK);
  dialogs.Error(nullptr, "Specified TFTP Root Directory is not valid.");
  dialogs.Information(nullptr, "The service was restarted succesfully.");
  dialogs.ApplicationError(nullptr, "Invalid IP address string");
  dialogs.ApplicationError(nullptr, "Failed to get data for 'TFTPPort'");
  ASSERT_EQ(answer.seen().size(), 4u);
  EXPECT_EQ(answer.seen()[0].caption, "Error");
  EXPECT_EQ(answer.seen()[1].caption, "Information");
  EXPECT_EQ(answer.seen()[1].text, "The service was restarted succesfully.");
  EXPECT_EQ(answer.seen()[2].caption, "Ostrel TFTP Service Configuration");
  EXPECT_EQ(answer.seen()[2].text, "Invalid IP address string.");
  EXPECT_EQ(answer.seen()[3].text, "Failed to get data for 'TFTPPort'");
  for (const SeenBox& box : answer.seen()) {
    EXPECT_EQ(box.buttons, Buttons{"OK"}) << box.caption;
    EXPECT_TRUE(box.hasIcon) << box.caption;
  }
  // The standard dialogs are centred on the screen.
  const RECT& r = answer.seen()[0].rect;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((r.left + r.right) / 2 - (work.left + work.right) / 2), 2);
}

TEST(MessageBoxes, FullStopRuleOfTheApplicationErrorBox) {
  EXPECT_EQ(ApplicationErrorText("Invalid IP address string"), "Invalid IP address string.");
  EXPECT_EQ(ApplicationErrorText("List index out of bounds (8)"), "List index out of bounds (8)");
  EXPECT_EQ(ApplicationErrorText("Invalid data type for 'X'"), "Invalid data type for 'X'");
  EXPECT_EQ(ApplicationErrorText("ends with a full stop."), "ends with a full stop.");
  EXPECT_EQ(ApplicationErrorText("ends with 7"), "ends with 7.");
  EXPECT_EQ(ApplicationErrorText(""), "");
}

}  // namespace
}  // namespace tftpcfg::test
