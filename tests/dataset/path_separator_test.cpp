// The one separator rule of every layer that joins folders and names.
#include "dataset/text/path_separator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(PathSeparatorTest, TheLastCharacterDecidesAndATrailByteIsNoSeparator) {
  const struct {
    const char* text;
    bool slashToo;
    unsigned codePage;
    bool ends;
  } cases[] = {
      {"", true, 1252, false},
      {"\\", false, 1252, true},
      {"C:\\Quorix\\", false, 1252, true},
      {"C:\\Quorix", false, 1252, false},
      {"C:\\Quorix/", false, 1252, false},
      {"C:\\Quorix/", true, 1252, true},
      {"C:\\\x83\x5C", false, 932, false},       // Shift-JIS character whose trail byte is 0x5C
      {"C:\\\x83\x5C\\", false, 932, true},
      {"C:\\\x83\x5C", false, 1252, true},       // the same bytes are two characters in 1252
      {"\x83\x83\x5C", false, 932, true},        // lead, trail 0x83, then a real backslash
      {"C:\\\xB0\xA1\\", false, 949, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EndsWithPathSeparator(c.text, std::strlen(c.text), c.slashToo, c.codePage), c.ends)
        << c.text << " in " << c.codePage;
  }
  EXPECT_FALSE(EndsWithPathSeparator(nullptr, 0, true));
}

}  // namespace
