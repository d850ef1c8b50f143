#include "updater/options/kill_mode.h"

#include <gtest/gtest.h>

namespace {

using kt::updater::KillModeFromText;
using kt::updater::KillModeText;

TEST(KillModeTest, WordsAreTrimmedAndUpperCasedThenComparedExactly) {
  const struct {
    const char* text;
    int mode;
  } cases[] = {
      {"KILL", 1}, {"kill", 1}, {" Kill\t", 1}, {"NOKILL", 2}, {"nokill", 2},
      {"CONFIRMONFAILED", 3}, {"confirmonfailed", 3}, {"\r\nConfirmOnFailed ", 3},
            // The control's numbers for the same modes.
      {"1", 1}, {"2", 2}, {" 3 ", 3},
      {"", 0}, {"CONFIRM", 0}, {"KILLS", 0}, {"NO KILL", 0}, {"0", 0}, {"4", 0}, {"01", 0}, {"K ILL", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(KillModeFromText(c.text), c.mode) << '[' << c.text << ']';
}

TEST(KillModeTest, TextNamesEveryModeAndNothingElse) {
  for (int mode = 1; mode <= 3; ++mode) EXPECT_EQ(KillModeFromText(KillModeText(mode)), mode);
  EXPECT_EQ(KillModeText(0), "");
  EXPECT_EQ(KillModeText(4), "");
  EXPECT_EQ(KillModeText(-1), "");
}

}  // namespace
