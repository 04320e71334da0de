// The program's texts, pinned word for word (typos included): users, Velmora's support and the
// end-to-end tests know them as they are.

#include "driver/messages.h"

#include <gtest/gtest.h>

namespace shiftlet {
namespace {

TEST(MessagesTest, TextsAreWordForWord) {
  namespace m = messages;
  EXPECT_STREQ("Shiftlet", m::kCaption);
  EXPECT_STREQ("Have you already installed Velmora 1.1?", m::kAskInstalled);
  EXPECT_STREQ(
      "Please make sure you have installed Velmora 1.1 first and then run the Shiftlet tool again.",
      m::kInstallFirst);
  EXPECT_STREQ(
      "This tool will convert your old menu file from Velmora 1.0 to the new file specification "
      "compatible, so that it could be used with Velmora 1.1 and later. Would you like to "
      "continue?",
      m::kAskContinue);
  EXPECT_STREQ("You will now be requested to select the old menu.qof file from Velmora 1.0",
               m::kSelectSource);
  EXPECT_STREQ(
      "Please locate the folder in which you have installed Velmora 1.1 or later and select a "
      "suitable file name for the new menu file or leave the one chosen for you.",
      m::kSelectDestination);
  EXPECT_STREQ(
      "The conversion has been successful! You don't have to do anything more now, just start "
      "enjoying your menu in a brand new engine! :)",
      m::kSuccess);
  EXPECT_STREQ(
      "An error occured during the conversion. Please send your menu.qof file to Tollenby for "
      "analysis and we will troubleshoot it for you. Thank you and sorry for your inconvenience.",
      m::kFailure);
  EXPECT_STREQ("QOF file|*.qof", m::kSourceFilter);
  EXPECT_STREQ("C:\\Velmora\\", m::kSourceFolder);
  EXPECT_STREQ("menu.qof", m::kSourceName);
  EXPECT_STREQ("Select your source QOF file", m::kSourceTitle);
  EXPECT_STREQ("QNF file|*.qnf", m::kDestinationFilter);
  EXPECT_STREQ("C:\\Program Files\\Velmora\\", m::kDestinationFolder);
  EXPECT_STREQ("Select your destination QNF file", m::kDestinationTitle);
  EXPECT_STREQ("default.qcf", m::kConfigurationName);
}

}  // namespace
}  // namespace shiftlet
