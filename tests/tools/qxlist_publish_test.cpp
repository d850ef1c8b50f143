// Publishing folders of components into server trees: what the tree holds, that the same input
// gives the same bytes, that a change raises exactly the versions it should, and that bad input
// is refused with nothing left behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "qxlist_test_support.h"
#include "tools/qxlist/list_document.h"
#include "tools/qxlist/qxlist_app.h"
#include "tools/qxlist/sha256.h"

namespace {

namespace fs = std::filesystem;
using qxlist::Bytes;

Bytes Fixture(const std::string& name) { return ReadBytes(std::string(KT_PE_FIXTURES) + "/" + name + ".dll"); }

void Put(const fs::path& path, const Bytes& data) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
}
void Put(const fs::path& path, const std::string& text) { Put(path, ToBytes(text)); }

// Every file below a folder by its relative path, with its bytes.
std::map<std::string, Bytes> TreeOf(const fs::path& root) {
  std::map<std::string, Bytes> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file()) tree[fs::relative(entry.path(), root).generic_string()] = ReadBytes(entry.path().string());
  return tree;
}

// A read list: its parameters and first dataset as text.
struct ReadList {
  qxlist::ListDocument document;
  qxlist::WorkingCodePage codePage;
  bool ok = false;

  explicit ReadList(const fs::path& path) {
    std::string problem;
    ok = qxlist::ReadListDocument(ReadBytes(path.string()), document, codePage, problem);
  }
  std::string Param(const char* name) const {
    const Kt_Variable* param = document.params.Find(name);
    return param ? param->value.ToString().c_str() : "(none)";
  }
  int Rows() const { return document.datasets.At(0)->RecordCount(); }
  std::string Cell(int row, const char* column) const {
    return document.datasets.At(0)->GetCell(row, column).ToString().c_str();
  }
  // The row's cell of `column` whose FILENAME (or SOURCE) is `key`.
  std::string Of(const std::string& key, const char* column) const {
    for (int row = 0; row < Rows(); ++row)
      if (Cell(row, "FILENAME") == key || Cell(row, "SOURCE") == key) return Cell(row, column);
    return "(no row)";
  }
};

class Publish : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Fixture("versioned64").empty()) << "fixtures not built";
    Put(Src("app/grid.dll"), Fixture("versioned64"));
    Put(Src("app/readme.txt"), "read me 1");
    Put(Src("app/manifest.ini"), "TARGET = %COMPONENT%\n[*.dll]\nACTION = DOWNREG\n");
    Put(Src("tools/plain.dll"), Fixture("plain64"));
    Put(Src("tools/old32.dll"), Fixture("versioned32"));
    Put(Src("tools/notes.txt"), "notes 1");
  }
  fs::path Src(const std::string& relative) const { return fs::path(scratch_.Path("src")) / relative; }
  fs::path Out(const std::string& name) const { return scratch_.Path(name); }
  QxListRun Run(const std::string& out, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"publish", scratch_.Path("src"), Out(out).string()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  }

  ScratchFolder scratch_;
};

TEST_F(Publish, WritesTheConfigurationEveryComponentListAndTheFilesBesideThem) {
  const QxListRun run = Run("out");
  ASSERT_EQ(run.exitCode, qxlist::kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  const ReadList config(Out("out") / "config.xml");
  ASSERT_TRUE(config.ok);
  EXPECT_EQ(config.Param("CONFIG"), "true");
  EXPECT_EQ(config.Param("VERSION"), "1");
  EXPECT_EQ(config.document.datasets.At(0)->Id(), "WIN32");
  ASSERT_EQ(config.Rows(), 2);
  EXPECT_EQ(config.Cell(0, "SOURCE"), "app/components.xml");
  EXPECT_EQ(config.Cell(1, "SOURCE"), "tools/components.xml");
  EXPECT_EQ(config.Cell(0, "VERSION"), "1");

  const ReadList app(Out("out") / "app" / "components.xml");
  ASSERT_TRUE(app.ok);
  ASSERT_EQ(app.Rows(), 2);
  EXPECT_EQ(app.Of("grid.dll", "VERSION"), "2.5.0.17");
  EXPECT_EQ(app.Of("grid.dll", "ACTION"), "DOWNREG");
  EXPECT_EQ(app.Of("grid.dll", "TARGET"), "%COMPONENT%");
  EXPECT_EQ(app.Of("grid.dll", "SHA256"), qxlist::Sha256Hex(Fixture("versioned64")));
  EXPECT_EQ(app.Of("readme.txt", "VERSION"), "1");
  EXPECT_EQ(app.Of("readme.txt", "ACTION"), "COPY");
  EXPECT_EQ(app.Of("readme.txt", "SOURCE"), ".");
  const ReadList tools(Out("out") / "tools" / "components.xml");
  EXPECT_EQ(tools.Of("old32.dll", "VERSION"), "65535.1.0.65534");
  EXPECT_EQ(tools.Of("plain.dll", "VERSION"), "1");

  const auto tree = TreeOf(Out("out"));
  EXPECT_EQ(tree.size(), 8u);  // two lists, five files, the configuration; no manifest
  EXPECT_EQ(tree.at("app/grid.dll"), Fixture("versioned64"));
  EXPECT_EQ(tree.count("app/manifest.ini"), 0u);
  for (const char* list : {"app", "tools"}) {
    const QxListRun check = RunTool({"check", (Out("out") / list / "components.xml").string()});
    EXPECT_EQ(check.exitCode, qxlist::kExitSuccess) << check.out << check.err;
    EXPECT_NE(check.out.find("checked, 0 not matching"), std::string::npos) << check.out;
  }
}

TEST_F(Publish, TheSameInputGivesTheSameBytesInEveryForm) {
  for (const std::vector<std::string>& form :
       {std::vector<std::string>{}, {"--form", "binary", "--pack", "zlib", "--level", "9"}, {"--pack", "lzss"}}) {
    const std::string tag = std::to_string(form.size());
    ASSERT_EQ(Run("a" + tag, form).exitCode, qxlist::kExitSuccess);
    ASSERT_EQ(Run("b" + tag, form).exitCode, qxlist::kExitSuccess);
    std::vector<std::string> again = form;
    again.insert(again.end(), {"--previous", Out("a" + tag).string()});
    const QxListRun republished = Run("c" + tag, again);
    ASSERT_EQ(republished.exitCode, qxlist::kExitSuccess) << republished.err;
    EXPECT_NE(republished.out.find("(unchanged)"), std::string::npos);
    EXPECT_EQ(republished.out.find("(changed)"), std::string::npos);
    EXPECT_EQ(TreeOf(Out("a" + tag)), TreeOf(Out("b" + tag)));
    EXPECT_EQ(TreeOf(Out("a" + tag)), TreeOf(Out("c" + tag)));
  }
  const ReadList packed(Out("a6") / "app" / "components.xml");
  ASSERT_TRUE(packed.ok);
  EXPECT_EQ(packed.document.form, qxlist::Form::Binary);
  EXPECT_EQ(packed.document.packing, qxlist::Packing::Zlib);
}

TEST_F(Publish, AChangedFileRaisesItsVersionItsListsAndTheConfigurationsOnly) {
  ASSERT_EQ(Run("v1").exitCode, qxlist::kExitSuccess);
  Put(Src("tools/notes.txt"), "notes 2");
  ASSERT_EQ(Run("v2", {"--previous", Out("v1").string()}).exitCode, qxlist::kExitSuccess);
  const ReadList config(Out("v2") / "config.xml");
  EXPECT_EQ(config.Param("VERSION"), "2");
  EXPECT_EQ(config.Of("app/components.xml", "VERSION"), "1");
  EXPECT_EQ(config.Of("tools/components.xml", "VERSION"), "2");
  const ReadList tools(Out("v2") / "tools" / "components.xml");
  EXPECT_EQ(tools.Of("notes.txt", "VERSION"), "2");
  EXPECT_EQ(tools.Of("plain.dll", "VERSION"), "1");
  EXPECT_EQ(ReadBytes((Out("v2") / "app" / "components.xml").string()),
            ReadBytes((Out("v1") / "app" / "components.xml").string()));

  // A new build of the library with a higher version resource, and a new file in the other list.
  Put(Src("app/grid.dll"), Fixture("versioned64_next"));
  Put(Src("tools/extra.txt"), "extra");
  ASSERT_EQ(Run("v3", {"--previous", Out("v2").string()}).exitCode, qxlist::kExitSuccess);
  const ReadList config3(Out("v3") / "config.xml");
  EXPECT_EQ(config3.Param("VERSION"), "3");
  EXPECT_EQ(config3.Of("app/components.xml", "VERSION"), "2");
  EXPECT_EQ(config3.Of("tools/components.xml", "VERSION"), "3");
  EXPECT_EQ(ReadList(Out("v3") / "app" / "components.xml").Of("grid.dll", "VERSION"), "2.6.0.0");
  EXPECT_EQ(ReadList(Out("v3") / "tools" / "components.xml").Of("extra.txt", "VERSION"), "1");
}

TEST_F(Publish, AChangedLibraryWhoseVersionResourceDidNotRiseIsRefused) {
  Put(Src("app/grid.dll"), Fixture("versioned64_next"));
  ASSERT_EQ(Run("v1").exitCode, qxlist::kExitSuccess);
  Put(Src("app/grid.dll"), Fixture("versioned64"));
  const QxListRun run = Run("v2", {"--previous", Out("v1").string()});
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find("grid.dll: content changed but its version resource says 2.5.0.17, not above the "
                         "2.6.0.0 published before"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(Out("v2")));
}

struct BadInput {
  const char* name;
  std::function<void(const fs::path& src, const fs::path& out)> make;
  const char* problem;
};

class PublishRefuses : public Publish, public ::testing::WithParamInterface<BadInput> {};

TEST_P(PublishRefuses, BadInputWithAReasonAndLeavesNothing) {
  GetParam().make(Src(""), Out("out"));
  const bool outExisted = fs::exists(Out("out"));
  const auto before = outExisted ? TreeOf(Out("out")) : std::map<std::string, Bytes>();
  const QxListRun run = Run("out");
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find(GetParam().problem), std::string::npos) << run.err;
  EXPECT_EQ(fs::exists(Out("out")), outExisted);
  if (outExisted) EXPECT_EQ(TreeOf(Out("out")), before);
}

INSTANTIATE_TEST_SUITE_P(
    Publish, PublishRefuses,
    ::testing::Values(
        BadInput{"OutputNotEmpty", [](const fs::path&, const fs::path& out) { Put(out / "old.txt", "kept"); },
                 "the output must be a new or empty folder"},
        BadInput{"SectionMatchingNoFile",
                 [](const fs::path& src, const fs::path&) { Put(src / "app/manifest.ini", "[*.ocx]\nACTION=DOWNREG\n"); },
                 "[*.ocx] matches no file"},
        BadInput{"BadManifest",
                 [](const fs::path& src, const fs::path&) { Put(src / "app/manifest.ini", "ACTION=INSTALL\n"); },
                 "manifest.ini: line 1: unknown action 'INSTALL'"},
        BadInput{"FolderInAList", [](const fs::path& src, const fs::path&) { Put(src / "tools/sub/a.txt", "a"); },
                 "a component list's folder holds files only"},
        BadInput{"FileOutsideAnyList", [](const fs::path& src, const fs::path&) { Put(src / "loose.txt", "a"); },
                 "only component list folders belong in the source"},
        BadInput{"NameThatNeedsEscaping", [](const fs::path& src, const fs::path&) { Put(src / "tools/my file.txt", "a"); },
                 "cannot stand in an address"},
        BadInput{"EmptyList", [](const fs::path& src, const fs::path&) { fs::create_directories(src / "empty"); },
                 "no files to publish"},
        BadInput{"WriteFailsHalfWay",
                 // A list folder where the configuration list is to go: the lists are written,
                 // then the configuration cannot be, and all of it is taken away again.
                 [](const fs::path& src, const fs::path&) { Put(src / "config.xml/a.txt", "a"); },
                 "config.xml: cannot replace"}),
    [](const auto& info) { return std::string(info.param.name); });

// Only where file names are told apart by case can such a folder exist.
TEST_F(Publish, NamesDifferingOnlyInCaseAreRefused) {
#ifdef _WIN32
  GTEST_SKIP() << "file names that differ only in case name one file here";
#endif
  Put(Src("tools/NOTES.txt"), "other notes");
  const QxListRun run = Run("out");
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find("only in case"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("out")));
}

TEST_F(Publish, APreviousTreeWithoutConfigurationIsRefused) {
  fs::create_directories(Out("empty"));
  const QxListRun run = Run("out", {"--previous", Out("empty").string()});
  EXPECT_EQ(run.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(run.err.find("config.xml: cannot open"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Out("out")));
}

TEST_F(Publish, CheckReportsFilesAlteredOrMissingAfterPublishing) {
  ASSERT_EQ(Run("out").exitCode, qxlist::kExitSuccess);
  Put(Out("out") / "tools" / "notes.txt", "tampered");
  fs::remove(Out("out") / "tools" / "plain.dll");
  const QxListRun check = RunTool({"check", (Out("out") / "tools" / "components.xml").string()});
  EXPECT_EQ(check.exitCode, qxlist::kExitBadInput);
  EXPECT_NE(check.out.find("notes.txt: SHA256 expected " + qxlist::Sha256Hex(ToBytes("notes 1")) + ", the file has " +
                           qxlist::Sha256Hex(ToBytes("tampered"))),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("plain.dll: "), std::string::npos);
  EXPECT_NE(check.out.find("3 checked, 2 not matching"), std::string::npos);
  EXPECT_NE(check.err.find("do not match its hashes"), std::string::npos);
}

}  // namespace
