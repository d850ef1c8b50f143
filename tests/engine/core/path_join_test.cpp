#include "engine/core/path_join.h"

#include <gtest/gtest.h>

#include "code_page_scope.h"

namespace {

using kt::engine::EndsWithSeparator;
using kt::engine::JoinPath;

TEST(PathJoinTest, AddsABackslashOnlyWhereMissing) {
  EXPECT_EQ(JoinPath("C:\\Quorix\\", "a.dll"), "C:\\Quorix\\a.dll");
  EXPECT_EQ(JoinPath("C:\\Quorix", "a.dll"), "C:\\Quorix\\a.dll");
  EXPECT_EQ(JoinPath("\\Windows/", "a.dll"), "\\Windows/a.dll");
  EXPECT_EQ(JoinPath("", "a.dll"), "a.dll");
  EXPECT_EQ(JoinPath("C:\\Quorix\\", ""), "C:\\Quorix\\");
}

TEST(PathJoinTest, TrailByteBackslashIsNoSeparatorInJapanese) {
  kt::engine::testing::CodePageScope japanese(932);
  EXPECT_FALSE(EndsWithSeparator("C:\\\x95\x5C"));
  EXPECT_EQ(JoinPath("C:\\\x95\x5C", "a.dll"), "C:\\\x95\x5C\\a.dll");
  EXPECT_TRUE(EndsWithSeparator("C:\\\x95\x5C\\"));
}

TEST(PathJoinTest, SameBytesEndWithABackslashInWestern) {
  kt::engine::testing::CodePageScope western(1252);
  EXPECT_TRUE(EndsWithSeparator("C:\\\x95\x5C"));
}

}  // namespace
