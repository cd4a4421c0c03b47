// --help and --version, and nothing else, end the program before it starts.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "TarvikMain.h"
#include "TarvikVersion.h"

namespace tarvik {
namespace {

TEST(CommandLine, OnlyHelpAndVersionAnswer) {
  EXPECT_FALSE(CommandLineAnswer({}));
  EXPECT_FALSE(CommandLineAnswer({"-platform", "offscreen", "--versions", "version"}));  // Qt's, and no answer
  EXPECT_EQ(CommandLineAnswer({"-platform", "xcb", "--help", "--version"})->rfind("usage: tarvik ", 0), 0U);
  EXPECT_EQ(CommandLineAnswer({"--version", "-h"}), "tarvik " TARVIK_VERSION "\n" TARVIK_LEGAL_NOTICE "\n");
}

TEST(CommandLine, VersionIsTheCaptionsVersion) {
  const std::string answer = *CommandLineAnswer({"--version"});
  const std::string version = answer.substr(answer.find(' ') + 1, answer.find('\n') - answer.find(' ') - 1);
  EXPECT_EQ(CaptionFor("Tarvik", QStringLiteral(TARVIK_FILE_VERSION), "N0CALL").toStdString(),
            "Tarvik v" + version + " - Station Call Sign: N0CALL");
}

}  // namespace
}  // namespace tarvik
