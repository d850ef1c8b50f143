// Strings carved from an arena must behave exactly like heap strings: shared by copies, copied on
// write, alive after the arena is gone, and released from any thread. ASan checks that every chunk
// is freed exactly once, after its last string.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "dataset/text/astring.h"
#include "dataset/model/block_arena.h"

namespace {

std::string Text(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

class CarvedString : public ::testing::TestWithParam<std::size_t> {};

// Lengths around the largest carved block (header 20 and terminator 2 bytes included) and empty.
INSTANTIATE_TEST_SUITE_P(Lengths, CarvedString,
                         ::testing::Values(std::size_t{0}, std::size_t{1}, std::size_t{7}, std::size_t{233},
                                           std::size_t{234}, std::size_t{235}, std::size_t{4000}));

TEST_P(CarvedString, HoldsTheBytesAndBehavesLikeAHeapString) {
  const std::string source(GetParam(), 'x');
  Kt_BlockArena arena;
  Kt_AString carved;
  ASSERT_TRUE(carved.AssignCarved(arena, source.data(), source.size()));
  EXPECT_EQ(Text(carved), source);
  EXPECT_EQ(carved.c_str()[source.size()], '\0');

  Kt_AString copy = carved;  // shares
  ASSERT_TRUE(copy.Append("tail"));
  EXPECT_EQ(Text(carved), source) << "a change to a copy must not reach the carved original";
  EXPECT_EQ(Text(copy), source + "tail");
}

TEST(BlockArena, StringsOutliveTheArena) {
  std::vector<Kt_AString> kept;
  {
    Kt_BlockArena arena;
    for (int i = 0; i < 5000; ++i) {  // several chunks
      Kt_AString s;
      const std::string text = "value" + std::to_string(i);
      ASSERT_TRUE(s.AssignCarved(arena, text.data(), text.size()));
      kept.push_back(s);
    }
  }
  for (int i = 0; i < 5000; ++i) EXPECT_EQ(Text(kept[static_cast<std::size_t>(i)]), "value" + std::to_string(i));
  kept.erase(kept.begin(), kept.begin() + 2500);  // releases whole chunks while others live on
  EXPECT_EQ(Text(kept.front()), "value2500");
}

TEST(BlockArena, StringsAreReleasedFromOtherThreads) {
  std::vector<Kt_AString> strings(4000);
  {
    Kt_BlockArena arena;
    for (std::size_t i = 0; i < strings.size(); ++i) ASSERT_TRUE(strings[i].AssignCarved(arena, "shared text", 11));
  }
  std::vector<Kt_AString> second(strings.begin() + 2000, strings.end());
  strings.resize(2000);
  std::thread a([&strings] { strings.clear(); });
  std::thread b([&second] { second.clear(); });
  a.join();
  b.join();
  EXPECT_TRUE(strings.empty());
  EXPECT_TRUE(second.empty());
}

TEST(BlockArena, AssigningOverACarvedStringReusesOrReplacesIt) {
  Kt_BlockArena arena;
  Kt_AString s;
  ASSERT_TRUE(s.AssignCarved(arena, "abcdef", 6));
  ASSERT_TRUE(s.Assign("xyz"));  // fits the private block
  EXPECT_EQ(Text(s), "xyz");
  ASSERT_TRUE(s.Assign(std::string(300, 'y').c_str()));  // needs a larger heap block
  EXPECT_EQ(s.Length(), 300u);
  s.Clear();
  EXPECT_TRUE(s.IsEmpty());
}

}  // namespace
