#include "engine/core/compose_url.h"

#include <gtest/gtest.h>

namespace {

using kt::engine::ComponentFileUrl;
using kt::engine::ComponentListUrl;
using kt::engine::ComposeUrl;
using kt::engine::UrlFolder;

struct ComposeCase {
  const char* base;
  const char* relative;
  const char* scheme;
  const char* rest;
};

class ComposeUrlTest : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeUrlTest, GivesSchemeAndRest) {
  const ComposeCase& c = GetParam();
  const auto url = ComposeUrl(c.base, c.relative);
  EXPECT_EQ(url.scheme, c.scheme) << "base " << c.base << ", relative " << c.relative;
  EXPECT_EQ(url.rest, c.rest) << "base " << c.base << ", relative " << c.relative;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComposeUrlTest,
    ::testing::Values(
        // One separator between base and relative, never two from the relative's own.
        ComposeCase{"http://srv/app", "sub/list.xml", "http", "srv/app/sub/list.xml"},
        ComposeCase{"http://srv/app", "/sub/list.xml", "http", "srv/app/sub/list.xml"},
        ComposeCase{"http://srv/app/", "sub/list.xml", "http", "srv/app/sub/list.xml"},
        ComposeCase{"https://srv:8443/a9", "x.cab", "https", "srv:8443/a9/x.cab"},
        // A separator is added only after a letter or a digit.
        ComposeCase{"http://srv/app-", "list.xml", "http", "srv/app-list.xml"},
        ComposeCase{"http://srv/app_", "/list.xml", "http", "srv/app_/list.xml"},
        // A relative part that is a URL or a local path stands alone.
        ComposeCase{"http://srv/app", "https://other/x.xml", "https", "other/x.xml"},
        ComposeCase{"http://srv/app", "FILE://C:/share/x.xml", "FILE", "C:\\share\\x.xml"},
        ComposeCase{"http://srv/app", "C:\\share\\x.xml", "file", "C:\\share\\x.xml"},
        ComposeCase{"http://srv/app", "\\\\server\\share\\x.xml", "file", "\\\\server\\share\\x.xml"},
        // "://" and ":\" count only after the first character.
        ComposeCase{"http://srv/app", "://x", "http", "srv/app/://x"},
        // Bases without a scheme: a local path is a file location, anything else is http.
        ComposeCase{"C:\\lists", "sub/x.xml", "file", "C:\\lists\\sub\\x.xml"},
        ComposeCase{"C:\\lists\\", "x.xml", "file", "C:\\lists\\x.xml"},
        ComposeCase{"\\\\host\\share", "x.xml", "file", "\\\\host\\share\\x.xml"},
        ComposeCase{"file://C:/lists", "x.xml", "file", "C:\\lists\\x.xml"},
        ComposeCase{"srv/app", "x.xml", "http", "srv/app/x.xml"},
        ComposeCase{"", "x.xml", "http", "x.xml"},
        ComposeCase{"", "", "http", ""},
        // An empty relative part leaves the base as it is.
        ComposeCase{"http://srv/app", "", "http", "srv/app"},
        // "/./" steps collapse, one after another too.
        ComposeCase{"http://srv/app", "./x.xml", "http", "srv/app/x.xml"},
        ComposeCase{"http://srv/./app", "sub/./././x.xml", "http", "srv/app/sub/x.xml"}));

TEST(ComposeUrlTest, UrlJoinsSchemeAndRest) {
  EXPECT_EQ(ComposeUrl("http://srv/app", "x.xml").Url(), "http://srv/app/x.xml");
}

TEST(ComposeUrlTest, FolderIsTheUrlBeforeItsLastSlash) {
  EXPECT_EQ(UrlFolder("http://srv/app/config.xml"), "http://srv/app");
  EXPECT_EQ(UrlFolder("http://srv/app/"), "http://srv/app");
  EXPECT_EQ(UrlFolder("config.xml"), "config.xml");
}

TEST(ComposeUrlTest, ComponentListsLieBesideTheirConfigurationList) {
  EXPECT_EQ(ComponentListUrl("http://srv/app/config.xml", "win32/components.xml"),
            "http://srv/app/win32/components.xml");
  EXPECT_EQ(ComponentListUrl("http://srv/app/config.xml", "/win32/components.xml"),
            "http://srv/app/win32/components.xml");
  EXPECT_EQ(ComponentListUrl("http://srv/app/config.xml", "http://mirror/c.xml"), "http://mirror/c.xml");
}

TEST(ComposeUrlTest, FilesLieInTheirSourceFolderBesideTheirList) {
  EXPECT_EQ(ComponentFileUrl("http://srv/app/win32/components.xml", "bin", "a.dll"),
            "http://srv/app/win32/bin/a.dll");
  EXPECT_EQ(ComponentFileUrl("http://srv/app/win32/components.xml", "bin/", "a.dll"),
            "http://srv/app/win32/bin/a.dll");
  EXPECT_EQ(ComponentFileUrl("http://srv/app/win32/components.xml", ".", "a.dll"),
            "http://srv/app/win32/a.dll");
  EXPECT_EQ(ComponentFileUrl("http://srv/app/components.xml", "http://cdn/files", "a.dll"),
            "http://cdn/files/a.dll");
}

}  // namespace
