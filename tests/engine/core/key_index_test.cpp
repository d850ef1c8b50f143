// The index that finds a local row by key must find exactly the row a front-to-back scan with the
// system's name comparison finds first.
#include "engine/core/key_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "code_page_scope.h"

namespace {

using kt::engine::KeyIndex;
using kt::engine::testing::CodePageScope;

int ScanFirst(const std::vector<Kt_AString>& keys, const Kt_AString& key) {
  for (std::size_t row = 0; row < keys.size(); ++row) {
    if (keys[row].CompareNoCase(key) == 0) return static_cast<int>(row);
  }
  return -1;
}

KeyIndex IndexOf(const std::vector<Kt_AString>& keys) {
  KeyIndex index;
  for (std::size_t row = 0; row < keys.size(); ++row) index.Add(keys[row], static_cast<int>(row));
  return index;
}

TEST(KeyIndexTest, FindsTheFirstRowWithoutRegardToCase) {
  const std::vector<Kt_AString> keys = {"a.dll", "B.DLL", "A.DLL", "b.dll", "c.dll"};
  const KeyIndex index = IndexOf(keys);
  EXPECT_EQ(index.Find("A.dll"), 0);
  EXPECT_EQ(index.Find("b.Dll"), 1);
  EXPECT_EQ(index.Find("C.DLL"), 4);
  EXPECT_EQ(index.Find("d.dll"), -1);
  EXPECT_EQ(index.Find(""), -1);
}

TEST(KeyIndexTest, OnlyAsciiLettersFold) {
  const std::vector<Kt_AString> keys = {"\xC4.dll", "_a", "[a"};
  const KeyIndex index = IndexOf(keys);
  EXPECT_EQ(index.Find("\xE4.dll"), -1);  // Latin-1 letters are not folded
  EXPECT_EQ(index.Find("_A"), 1);
  EXPECT_EQ(index.Find("{a"), -1);
}

TEST(KeyIndexTest, TextAfterAZeroByteDoesNotCount) {
  const std::vector<Kt_AString> keys = {Kt_AString("ab\0x", 4)};
  const KeyIndex index = IndexOf(keys);
  EXPECT_EQ(index.Find(Kt_AString("AB\0y", 4)), 0);
  EXPECT_EQ(index.Find("ab"), 0);
}

TEST(KeyIndexDoubleByteTest, TrailBytesCompareExactlyInKorean) {
  CodePageScope korean(949);
  // 0xB0 0x41 and 0xB0 0x61 are two different Korean characters whose trail bytes are 'A' and 'a'.
  const std::vector<Kt_AString> keys = {"\xB0\x41x.dll", "\xB0\x61X.DLL", "\xB0\x41X.DLL"};
  const KeyIndex index = IndexOf(keys);
  EXPECT_EQ(index.Find("\xB0\x41X.DLL"), 0);
  EXPECT_EQ(index.Find("\xB0\x61x.dll"), 1);
  for (const Kt_AString& key : keys) EXPECT_EQ(index.Find(key), ScanFirst(keys, key));
}

TEST(KeyIndexDoubleByteTest, SameBytesFoldInASingleByteCodePage) {
  CodePageScope western(1252);
  const std::vector<Kt_AString> keys = {"\xB0\x41x.dll", "\xB0\x61X.DLL"};
  const KeyIndex index = IndexOf(keys);
  EXPECT_EQ(index.Find("\xB0\x61x.dll"), 0);
}

TEST(KeyIndexTest, FormsWithAHashAgreeWithThePlainOnes) {
  KeyIndex index;
  index.Prefetch(KeyIndex::Hash("a.dll"));  // nothing to fetch yet
  EXPECT_EQ(index.Find("a.dll", KeyIndex::Hash("a.dll")), -1);
  const std::vector<Kt_AString> keys = {"a.dll", "B.DLL", "A.DLL", "component1234567.dll"};
  for (std::size_t row = 0; row < keys.size(); ++row) {
    index.Prefetch(KeyIndex::Hash(keys[row]));
    EXPECT_TRUE(index.Add(keys[row], KeyIndex::Hash(keys[row]), static_cast<int>(row)));
  }
  EXPECT_FALSE(index.Add("c.dll", KeyIndex::Hash("c.dll"), -1));
  EXPECT_EQ(KeyIndex::Hash("COMPONENT1234567.DLL"), KeyIndex::Hash("component1234567.dll"));
  for (const char* probe : {"A.dll", "b.dll", "Component1234567.DLL", "c.dll"}) {
    EXPECT_EQ(index.Find(probe, KeyIndex::Hash(probe)), index.Find(probe)) << probe;
    EXPECT_EQ(index.Find(probe), ScanFirst(keys, probe)) << probe;
  }
}

class KeyIndexAgreementTest : public ::testing::TestWithParam<unsigned> {};

// Random names built from letters of both cases, digits, '.' and double-byte lead bytes: every
// lookup agrees with the scan.
TEST_P(KeyIndexAgreementTest, AgreesWithAScanOnRandomNames) {
  CodePageScope codePage(GetParam());
  std::mt19937 random(12345);
  const char alphabet[] = "aAbBzZ09._\xB0\x81\xFE";
  auto randomName = [&] {
    std::string name;
    const int length = static_cast<int>(random() % 4);
    for (int i = 0; i < length; ++i) name += alphabet[random() % (sizeof(alphabet) - 1)];
    return Kt_AString(name.c_str());
  };
  std::vector<Kt_AString> keys;
  for (int i = 0; i < 400; ++i) keys.push_back(randomName());
  const KeyIndex index = IndexOf(keys);
  for (int i = 0; i < 2000; ++i) {
    const Kt_AString probe = randomName();
    ASSERT_EQ(index.Find(probe), ScanFirst(keys, probe)) << probe.c_str();
  }
}

// Long names are hashed and compared eight bytes at a time while they are plain ASCII: names that
// differ only in case, in a byte of 0x80 and up, or after a zero byte, at every position of a
// word, still agree with the scan.
TEST_P(KeyIndexAgreementTest, AgreesWithAScanOnLongNames) {
  CodePageScope codePage(GetParam());
  std::mt19937 random(54321);
  const char alphabet[] = "aAzZ0._\\\xB0\x81";
  const std::string base = "C:\\Quorix\\Component\\component";
  std::vector<Kt_AString> keys;
  auto vary = [&](std::string name) {
    const int changes = static_cast<int>(random() % 3);
    for (int i = 0; i < changes && !name.empty(); ++i) {
      name[random() % name.size()] = alphabet[random() % (sizeof(alphabet) - 1)];
    }
    if (random() % 2 == 0) {
      for (char& ch : name) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    }
    if (random() % 8 == 0) name.insert(random() % (name.size() + 1), 1, '\0');
    return Kt_AString(name.data(), name.size());
  };
  for (int i = 0; i < 300; ++i) {
    keys.push_back(vary(base.substr(0, random() % (base.size() + 1)) + std::to_string(random() % 40)));
  }
  const KeyIndex index = IndexOf(keys);
  for (int i = 0; i < 3000; ++i) {
    const Kt_AString probe = random() % 2 ? vary(keys[random() % keys.size()].c_str()) : keys[random() % keys.size()];
    ASSERT_EQ(index.Find(probe), ScanFirst(keys, probe)) << probe.c_str();
  }
}

INSTANTIATE_TEST_SUITE_P(CodePages, KeyIndexAgreementTest, ::testing::Values(1252u, 932u, 949u));

}  // namespace
