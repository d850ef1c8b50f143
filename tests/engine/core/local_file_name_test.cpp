#include "engine/core/local_file_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "code_page_scope.h"

namespace {

using kt::engine::LocalFileNameFor;

struct NameCase {
  std::string url;
  std::string expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.url; }

class LocalFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(LocalFileNameTest, KeepsLettersAndDigitsInOrder) { EXPECT_EQ(LocalFileNameFor(GetParam().url), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, LocalFileNameTest,
    ::testing::Values(NameCase{"http://update.example.com/app/config.xml", "httpupdateexamplecomappconfig.xml"},
                      NameCase{"https://host:8443/a/b/list.xml", "httpshost8443ablist.xml"},
                      NameCase{"HTTP://Host/App/List.XML", "HTTPHostAppList.xml"},
                      NameCase{"file:///C:/lists/config.xml", "fileClistsconfig.xml"},
                      NameCase{"file://C:\\lists\\config.xml", "fileClistsconfig.xml"},
                      NameCase{"file://server/share/my lists/config.v2.xml", "fileserversharemylistsconfigv2.xml"},
                      NameCase{"http://host/list", "httphostlist.xml"},
                      // only the last '.' ends the name, even when it is in the host
                      NameCase{"http://a.b/list", "httpa.xml"},
                      NameCase{"http://h/get.asp?name=x.xml", "httphgetaspname=x.xml"},
                      NameCase{"http://h/a|b<c>\"d*e\tf.xml", "httphabcdef.xml"}, NameCase{"", ".xml"}));

TEST(LocalFileNameDoubleByteTest, TrailBytesThatLookLikeSeparatorsStay) {
  kt::engine::testing::CodePageScope japanese(932);
  // 0x95 0x5C is one Shift-JIS character whose trail byte is a backslash.
  EXPECT_EQ(LocalFileNameFor("http://h/\x95\x5C/a.xml"), "httph\x95\x5C" "a.xml");
}

TEST(LocalFileNameDoubleByteTest, SingleByteCodePageDropsTheSameByte) {
  kt::engine::testing::CodePageScope western(1252);
  EXPECT_EQ(LocalFileNameFor("http://h/\x95\x5C/a.xml"), "httph\x95" "a.xml");
}

}  // namespace
