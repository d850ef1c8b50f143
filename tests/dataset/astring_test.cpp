#include "dataset/text/astring.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "dataset/text/buffer.h"
#include "dataset/text/wstring.h"

namespace {

std::string Bytes(const Kt_AString& s) { return std::string(s.c_str(), s.Length()); }

TEST(AStringStorage, EmptyStringHasNoBufferAndReadsAsEmptyText) {
  Kt_AString empty;
  EXPECT_EQ(empty.Length(), 0u);
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(empty.ShareCount(), 0u);
  Kt_AString fromNull(static_cast<const char*>(nullptr));
  EXPECT_TRUE(fromNull.IsEmpty());
  Kt_AString fromNullBytes(nullptr, 12);
  EXPECT_TRUE(fromNullBytes.IsEmpty());
}

TEST(AStringStorage, HeaderPrecedesCharactersWithLengthAndTerminator) {
  Kt_AString s("hello");
  const char* chars = s.c_str();
  const auto* header = reinterpret_cast<const Kt_BlockHeader*>(chars - sizeof(Kt_BlockHeader));
  EXPECT_EQ(header->refs.load(), 1u);
  EXPECT_EQ(header->length, 5u);
  EXPECT_GE(header->capacity, 5u);
  EXPECT_EQ(chars[5], '\0');
}

TEST(AStringStorage, CopySharesAndAppendTakesPrivateCopy) {
  Kt_AString original("abc");
  Kt_AString copy(original);
  EXPECT_EQ(original.c_str(), copy.c_str());
  EXPECT_EQ(original.ShareCount(), 2u);
  ASSERT_TRUE(copy.Append("def"));
  EXPECT_EQ(Bytes(original), "abc");
  EXPECT_EQ(Bytes(copy), "abcdef");
  EXPECT_EQ(original.ShareCount(), 1u);
  EXPECT_EQ(copy.ShareCount(), 1u);
}

TEST(AStringStorage, EveryMutatorLeavesSharedCopiesUnchanged) {
  using Mutation = void (*)(Kt_AString&);
  const Mutation mutations[] = {
      [](Kt_AString& s) { s.SetAt(0, 'X'); },
      [](Kt_AString& s) { s.Append('!'); },
      [](Kt_AString& s) { s.Assign("other"); },
      [](Kt_AString& s) { s.Format("%d", 42); },
      [](Kt_AString& s) { s.Insert(1, "zz", 2); },
      [](Kt_AString& s) { s.Erase(0, 2); },
      [](Kt_AString& s) { s.Resize(2); },
      [](Kt_AString& s) { s.GetBuffer(10)[0] = 'Q'; },
      [](Kt_AString& s) { s.Clear(); },
  };
  for (Mutation mutate : mutations) {
    Kt_AString original("shared text");
    Kt_AString copy(original);
    mutate(copy);
    EXPECT_EQ(Bytes(original), "shared text");
  }
}

TEST(AStringStorage, ZeroBytesInsideAreData) {
  const char raw[] = {'a', '\0', 'b', '\0'};
  Kt_AString s(raw, sizeof raw);
  EXPECT_EQ(s.Length(), 4u);
  EXPECT_EQ(s.Find('b'), 2u);
  Kt_AString t(raw, 3);
  EXPECT_NE(s.Compare(t), 0);
  EXPECT_GT(s.Compare(t), 0);
  s.Append(raw, sizeof raw);
  EXPECT_EQ(s.Length(), 8u);
}

TEST(AStringStorage, AppendOfItselfAndOfItsOwnBytes) {
  Kt_AString s("abc");
  ASSERT_TRUE(s.Append(s));
  EXPECT_EQ(Bytes(s), "abcabc");
  for (int i = 0; i < 6; ++i) ASSERT_TRUE(s.Append(s.c_str() + 1, 2));  // bytes inside, growing
  EXPECT_EQ(Bytes(s), "abcabcbcbcbcbcbcbc");
  ASSERT_TRUE(s.Assign(s.c_str() + 3, 4));
  EXPECT_EQ(Bytes(s), "abcb");
}

TEST(AStringStorage, OversizedRequestsFailAndLeaveTheStringAlone) {
  Kt_AString s("keep");
  EXPECT_FALSE(s.Resize(Kt_AString::kMaxLength + 1));
  EXPECT_EQ(s.GetBuffer(static_cast<std::size_t>(-1)), nullptr);
  EXPECT_FALSE(s.Append("x", static_cast<std::size_t>(-1)));
  EXPECT_FALSE(s.Assign("x", Kt_AString::kMaxLength + 1));
  EXPECT_FALSE(s.Reserve(static_cast<std::size_t>(-2)));
  EXPECT_EQ(Bytes(s), "keep");
}

TEST(AStringStorage, ConcurrentCopiesKeepTheCountRight) {
  Kt_AString shared("concurrent");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&shared] {
      for (int i = 0; i < 10000; ++i) {
        Kt_AString copy(shared);
        copy.Append('x');
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(shared.ShareCount(), 1u);
  EXPECT_EQ(Bytes(shared), "concurrent");
}

struct PartCase {
  std::size_t position;
  std::size_t count;
  const char* mid;
};

void PrintTo(const PartCase& c, std::ostream* os) { *os << c.position << "," << c.count; }

class AStringParts : public ::testing::TestWithParam<PartCase> {};

TEST_P(AStringParts, MidIsClampedToTheString) {
  Kt_AString s("abcdef");
  EXPECT_EQ(Bytes(s.Mid(GetParam().position, GetParam().count)), GetParam().mid);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, AStringParts,
                         ::testing::Values(PartCase{0, 3, "abc"}, PartCase{2, 2, "cd"}, PartCase{4, 100, "ef"},
                                           PartCase{6, 1, ""}, PartCase{7, 1, ""},
                                           PartCase{static_cast<std::size_t>(-1), 2, ""},
                                           PartCase{1, Kt_AString::npos, "bcdef"}, PartCase{0, 0, ""}));

TEST(AStringAccess, LeftRightFindAndAt) {
  Kt_AString s("a.b.c");
  EXPECT_EQ(Bytes(s.Left(3)), "a.b");
  EXPECT_EQ(Bytes(s.Left(99)), "a.b.c");
  EXPECT_EQ(Bytes(s.Right(2)), ".c");
  EXPECT_EQ(s.Find('.'), 1u);
  EXPECT_EQ(s.Find('.', 2), 3u);
  EXPECT_EQ(s.Find('.', 4), Kt_AString::npos);
  EXPECT_EQ(s.Find('.', 1000), Kt_AString::npos);
  EXPECT_EQ(s.Find("b.c"), 2u);
  EXPECT_EQ(s.Find("c.d"), Kt_AString::npos);
  EXPECT_EQ(s.At(4), 'c');
  EXPECT_EQ(s.At(5), '\0');
  EXPECT_EQ(s[1000], '\0');
  EXPECT_FALSE(s.SetAt(5, 'x'));
}

struct CompareCase {
  const char* a;
  const char* b;
  int sign;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(std::string(c.a)) << " vs " << ::testing::PrintToString(std::string(c.b));
}

class AStringCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(AStringCompare, ByteWiseWithEmptyFirst) {
  Kt_AString a(GetParam().a);
  Kt_AString b(GetParam().b);
  int result = a.Compare(b);
  EXPECT_EQ((result > 0) - (result < 0), GetParam().sign);
  EXPECT_EQ(a.Compare(GetParam().b) > 0, GetParam().sign > 0);
}

INSTANTIATE_TEST_SUITE_P(Table, AStringCompare,
                         ::testing::Values(CompareCase{"", "", 0}, CompareCase{"", "a", -1}, CompareCase{"a", "", 1},
                                           CompareCase{"abc", "abc", 0}, CompareCase{"abc", "abd", -1},
                                           CompareCase{"abc", "ab", 1}, CompareCase{"ABC", "abc", -1},
                                           CompareCase{"\xC0", "a", 1}));

TEST(AStringFormat, ConversionsOfTheConventions) {
  Kt_AString s;
  ASSERT_TRUE(s.Format("%s|%d|%ld|%02d|%04d|%x|%08x|%%|%.*s", "t", -5, 7L, 3, 42, 255, 0xBEEFu, 2, "xyz"));
  EXPECT_EQ(Bytes(s), "t|-5|7|03|0042|ff|0000beef|%|xy");
  ASSERT_TRUE(s.Format("%21.4f", 12.5));
  EXPECT_EQ(Bytes(s), "              12.5000");
  std::string big(1000, 'z');
  ASSERT_TRUE(s.Format("<%s>", big.c_str()));
  EXPECT_EQ(s.Length(), 1002u);
  ASSERT_TRUE(s.AppendFormat("%d", 9));
  EXPECT_EQ(s.At(1002), '9');
}

TEST(WStringStorage, UnitsAndBytesCopyOnWrite) {
  Kt_WString w(u"\uD55C\uAE00x");
  EXPECT_EQ(w.Length(), 3u);
  EXPECT_EQ(w.ByteLength(), 6u);
  EXPECT_EQ(w.c_str()[3], u'\0');
  Kt_WString copy(w);
  EXPECT_EQ(copy.ShareCount(), 2u);
  copy.Append(u'!');
  EXPECT_EQ(w.Length(), 3u);
  EXPECT_EQ(copy.At(3), u'!');
  EXPECT_EQ(copy.At(99), u'\0');
  EXPECT_LT(w.Compare(copy), 0);
  EXPECT_EQ(Kt_WString().c_str()[0], u'\0');
  EXPECT_EQ(w.GetBuffer(Kt_WString::kMaxLength + 1), nullptr);
  EXPECT_EQ(w.Length(), 3u);
}

TEST(BufferStorage, BytesWithZerosShareAndCompareBySizeFirst) {
  const unsigned char raw[] = {0, 1, 0, 2};
  Kt_Buffer a(raw, sizeof raw);
  EXPECT_EQ(a.Size(), 4u);
  EXPECT_EQ(std::memcmp(a.Data(), raw, 4), 0);
  Kt_Buffer b(a);
  EXPECT_EQ(b.ShareCount(), 2u);
  b.MutableData()[0] = 9;
  EXPECT_EQ(a.Data()[0], 0);
  EXPECT_GT(b.Compare(a), 0);
  Kt_Buffer shorter(raw, 3);
  EXPECT_LT(shorter.Compare(a), 0);
  EXPECT_EQ(Kt_Buffer().Data()[0], 0);
  ASSERT_TRUE(a.Append(a));
  EXPECT_EQ(a.Size(), 8u);
  EXPECT_TRUE(a.Resize(10));
  EXPECT_EQ(a.Data()[9], 0);
  EXPECT_FALSE(a.Resize(Kt_Buffer::kMaxSize + 1));
  EXPECT_EQ(a.Size(), 10u);
}

// A cache hands out copies from shares taken in a batch: each copy is a real holder, the
// string survives the cache, and the unspent shares given back leave exact counts.
TEST(AStringReservedShares, CopiesFromABatchAreRealHolders) {
  Kt_AString cached("shared value");
  cached.AddShares(4);
  EXPECT_EQ(cached.ShareCount(), 5u);
  Kt_AString first = cached.ShareReserved();
  Kt_AString second = cached.ShareReserved();
  ASSERT_TRUE(second.Append("!"));  // copy on write: the block is shared
  EXPECT_STREQ(cached.c_str(), "shared value");
  EXPECT_STREQ(second.c_str(), "shared value!");
  cached.DropShares(2);  // the two not handed out
  EXPECT_EQ(cached.ShareCount(), 2u);  // cached and first
  cached.Clear();
  EXPECT_EQ(first.ShareCount(), 1u);
  EXPECT_STREQ(first.c_str(), "shared value");
}

}  // namespace
