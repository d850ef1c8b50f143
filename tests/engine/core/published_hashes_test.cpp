// The digests a component list publishes, found by file name as the download phase asks for them.
#include <gtest/gtest.h>

#include "engine/core/component_item.h"
#include "engine/core/published_hashes.h"
#include "list_text.h"

namespace {

using namespace kt::engine;
using namespace kt::engine::testing;

TEST(PublishedHashes, ByFileNameWithoutRegardToCaseInLowerCase) {
  Kt_Dataset list;
  FillList(list, {"FILENAME=Grid.dll|SHA256=ABCDEF0123", "FILENAME=readme.txt|SHA256=", "FILENAME=b.txt|SHA256=  ", "FILENAME=c.txt|SHA256= 12ab\t",
                  "FILENAME=|SHA256=99"});
  Kt_ParamList parameters;
  FillParameters(parameters, "FILENAME=default.bin");
  const PublishedHashes hashes(&list, ReadDefaultItem(parameters, kDevicePc));
  EXPECT_EQ(hashes.For("grid.DLL"), "abcdef0123");
  EXPECT_EQ(hashes.For("readme.txt"), "");  // an empty cell publishes none
  EXPECT_EQ(hashes.For("default.bin"), "99");  // an empty FILENAME cell takes the list's default
  EXPECT_EQ(hashes.For("b.txt"), "");
  EXPECT_EQ(hashes.For("c.txt"), "12ab");
  EXPECT_EQ(hashes.For("missing.txt"), "");
}

TEST(PublishedHashes, AListWithoutTheColumnOrWithoutAListPublishesNone) {
  Kt_Dataset list;
  FillList(list, {"FILENAME=a.dll|VERSION=1"});
  const ComponentItem defaults;
  EXPECT_EQ(PublishedHashes(&list, defaults).For("a.dll"), "");
  EXPECT_EQ(PublishedHashes(nullptr, defaults).For("a.dll"), "");
}

TEST(SameDigest, ComparesHexadecimalWithoutRegardToCase) {
  EXPECT_TRUE(SameDigest("abcdef", "ABCDEF"));
  EXPECT_TRUE(SameDigest("", ""));
  EXPECT_FALSE(SameDigest("abcdef", "abcde"));
  EXPECT_FALSE(SameDigest("abcdef", "abcdee"));
  EXPECT_FALSE(SameDigest("abc", "abcd"));
}

}  // namespace
