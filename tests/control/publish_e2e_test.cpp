// Publishing as the people who run an update server do it, end to end under Wine: a folder of
// components is published with qxlist into nginx's document root, a client installs from it; the
// folder changes, is published again beside the served tree and swapped in, and the client
// fetches exactly the changed file. A component altered on the server after publishing is
// refused with both digests named, and the installed file stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/file_sha256.h"
#include "tests/control/update_run_fixture.h"
#include "tools/qxlist/qxlist_app.h"
#include "tools/qxlist/sha256.h"

namespace {

namespace fs = std::filesystem;
using kt_test::GetText;

// Paths as this system writes them, so that the fixture's writer creates every folder.
std::string Windows(const fs::path& path) { return fs::path(path).make_preferred().string(); }
std::string Slurp(const fs::path& path) { return kt_test::Slurp(Windows(path)); }
void Spit(const fs::path& path, const std::string& text) { kt_test::Spit(Windows(path), text); }

std::string Digest(const std::string& text) {
  return qxlist::Sha256Hex(qxlist::Bytes(text.begin(), text.end()));
}

class PublishedUpdateTest : public kt_test::UpdateRunFixture {
 protected:
  PublishedUpdateTest() : UpdateRunFixture("Publish", KT_UPDATE_ROOT) {}
  void SetUp() override {
    UpdateRunFixture::SetUp();
    if (HasFatalFailure()) return;
    served_ = fs::path(KT_UPDATE_ROOT) / site_;
    work_ = fs::temp_directory_path() / ("kt_publish_" + site_);
  }
  void TearDown() override {
    std::error_code ignored;
    for (const fs::path& folder : {work_, served_, fs::path(served_.string() + ".old")}) fs::remove_all(folder, ignored);
    UpdateRunFixture::TearDown();
  }

  fs::path Src(const std::string& relative) const { return work_ / "src" / relative; }
  fs::path Installed(const std::string& relative) const { return fs::path(installed_) / relative; }

  // Publishes the source folder beside the served tree and swaps it in, as a publisher does:
  // clients see either the old tree or the new one.
  void PublishAndSwap() {
    const fs::path fresh = served_.string() + ".new";
    std::vector<std::string> args{"publish", (work_ / "src").string(), fresh.string()};
    if (fs::exists(served_)) args.insert(args.end(), {"--previous", served_.string()});
    std::ostringstream out, err;
    ASSERT_EQ(qxlist::RunQxList(args, out, err), qxlist::kExitSuccess) << err.str();
    std::error_code ignored;
    fs::remove_all(served_.string() + ".old", ignored);
    if (fs::exists(served_)) fs::rename(served_, served_.string() + ".old");
    fs::rename(fresh, served_);
  }
  std::vector<std::string> RunUpdate() { return UpdateRunFixture::RunUpdate(Url("config.xml")); }

  fs::path served_, work_;
};

TEST_F(PublishedUpdateTest, APublishedFolderInstallsAndAChangedFileAloneIsFetchedAfterTheNextPublication) {
  const std::string library = Slurp(fs::path(KT_PE_FIXTURES) / "versioned64.dll");
  ASSERT_FALSE(library.empty());
  Spit(Src("app/grid.dll"), library);
  Spit(Src("app/readme.txt"), "read me 1");
  Spit(Src("app/manifest.ini"), "TARGET = app\n");
  Spit(Src("lib/plain.dll"), Slurp(fs::path(KT_PE_FIXTURES) / "plain64.dll"));
  Spit(Src("lib/notes.txt"), "notes 1");
  Spit(Src("lib/manifest.ini"), "TARGET = lib\n[*.txt]\nTARGET = lib\\text\n");
  PublishAndSwap();

  const auto first = RunUpdate();
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(first, (std::vector<std::string>{"config.xml", "components.xml", "grid.dll", "readme.txt",
                                             "components.xml", "notes.txt", "plain.dll"}));
  EXPECT_EQ(Slurp(Installed("app/grid.dll")), library);
  EXPECT_EQ(Slurp(Installed("app/readme.txt")), "read me 1");
  EXPECT_EQ(Slurp(Installed("lib/text/notes.txt")), "notes 1");

  Spit(Src("lib/notes.txt"), "notes 2");
  PublishAndSwap();
  const auto second = RunUpdate();
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(second, (std::vector<std::string>{"config.xml", "components.xml", "notes.txt"}));
  EXPECT_EQ(Slurp(Installed("lib/text/notes.txt")), "notes 2");

  // Published again unchanged: the tree is the same and no component is fetched. (The client's
  // copy of the configuration holds only the rows its last run worked on, so a list left out of
  // that run is read once more; its files are current.)
  const fs::path before = served_.string() + ".old";
  PublishAndSwap();
  for (const char* file : {"config.xml", "app/components.xml", "lib/components.xml"})
    EXPECT_EQ(Slurp(served_ / file), Slurp(before / file)) << file;
  EXPECT_EQ(RunUpdate(), (std::vector<std::string>{"config.xml", "components.xml"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
}

TEST_F(PublishedUpdateTest, AComponentAlteredOnTheServerIsRefusedAndTheInstalledFileStays) {
  Spit(Src("app/readme.txt"), "read me 1");
  PublishAndSwap();
  RunUpdate();
  ASSERT_EQ(Slurp(Installed("readme.txt")), "read me 1");

  Spit(Src("app/readme.txt"), "read me 2");
  PublishAndSwap();
  Spit(served_ / "app" / "readme.txt", "altered on the server");
  const auto refused = RunUpdate();
  EXPECT_EQ(refused, (std::vector<std::string>{"config.xml", "components.xml", "readme.txt"}));
  EXPECT_EQ(GetText(Control(), L"ErrorCode"), "105");
  const std::string message = GetText(Control(), L"ErrorMsg");
  EXPECT_NE(message.find("\nSHA-256 expected " + Digest("read me 2") + ", received " + Digest("altered on the server") +
                         "\n[readme.txt]"),
            std::string::npos)
      << message;
  EXPECT_EQ(Slurp(Installed("readme.txt")), "read me 1");
  const fs::path download = fs::path(DownloadFolder()) / "readme.txt";
  EXPECT_FALSE(fs::exists(download));

  // The row stayed to be downloaded: once the server holds the published file again, the next
  // run fetches and installs it.
  Spit(served_ / "app" / "readme.txt", "read me 2");
  EXPECT_EQ(RunUpdate(), (std::vector<std::string>{"config.xml", "components.xml", "readme.txt"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(Slurp(Installed("readme.txt")), "read me 2");
}

TEST_F(PublishedUpdateTest, AListWithoutHashesInstallsWhatTheServerSends) {
  Spit(served_ / "config.xml",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><params><param id=\"CONFIG\" type=\"STRING\">true</param>"
       "</params><dataset id=\"WIN32\"><colinfo id=\"SOURCE\" type=\"STRING\"/><colinfo id=\"VERSION\" type=\"STRING\"/>"
       "<record><SOURCE>app/components.xml</SOURCE><VERSION>1</VERSION></record></dataset></root>\n");
  Spit(served_ / "app" / "components.xml",
       "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<root><dataset id=\"LIST\"><colinfo id=\"FILENAME\" type=\"STRING\"/>"
       "<colinfo id=\"VERSION\" type=\"STRING\"/><colinfo id=\"ACTION\" type=\"STRING\"/>"
       "<record><FILENAME>a.txt</FILENAME><VERSION>1</VERSION><ACTION>COPY</ACTION></record></dataset></root>\n");
  Spit(served_ / "app" / "a.txt", "whatever the server holds");
  EXPECT_EQ(RunUpdate(), (std::vector<std::string>{"config.xml", "components.xml", "a.txt"}));
  EXPECT_EQ(GetText(Control(), L"ErrorMsg"), "SUCC");
  EXPECT_EQ(Slurp(Installed("a.txt")), "whatever the server holds");
}

// The system's hashing service under this Windows gives the digests of the published tool.
TEST(FileSha256, MatchesThePortableDigest) {
  const fs::path folder = fs::temp_directory_path() / ("kt_sha_" + std::to_string(::GetCurrentProcessId()));
  fs::create_directories(folder);
  for (const std::string& content : {std::string(), std::string("abc"), std::string(200000, 'x')}) {
    Spit(folder / "f", content);
    std::string hex;
    EXPECT_EQ(kt::engine::FileSha256((folder / "f").string(), hex), S_OK);
    EXPECT_EQ(hex, Digest(content)) << content.size();
  }
  std::string hex;
  EXPECT_EQ(kt::engine::FileSha256((folder / "missing").string(), hex), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
