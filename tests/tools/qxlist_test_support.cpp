#include "qxlist_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "tools/qxlist/qxlist_app.h"

QxListRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  QxListRun run;
  run.exitCode = qxlist::RunQxList(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

ScratchFolder::ScratchFolder() {
  std::random_device seed;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  m_root = std::filesystem::temp_directory_path() /
           ("qxlist-" + std::string(test ? test->name() : "test") + "-" + std::to_string(seed()));
  std::filesystem::create_directories(m_root);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_root, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const qxlist::Bytes& data) const {
  const std::string path = Path(name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
  return path;
}

std::string ScratchFolder::Write(const std::string& name, const std::string& text) const {
  return Write(name, ToBytes(text));
}

qxlist::Bytes ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return qxlist::Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

qxlist::Bytes ToBytes(const std::string& text) { return qxlist::Bytes(text.begin(), text.end()); }

std::string ExamplePath(const std::string& relative) { return std::string(KT_EXAMPLES_DIR) + "/" + relative; }
