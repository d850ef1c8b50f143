#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/qxlist/file_io.h"

// Runs qxlist in-process and keeps what it printed.
struct QxListRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};
QxListRun RunTool(const std::vector<std::string>& args);

// A fresh folder per test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string Path(const std::string& name) const { return (m_root / name).string(); }
  std::string Write(const std::string& name, const qxlist::Bytes& data) const;
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::filesystem::path m_root;
};

qxlist::Bytes ReadBytes(const std::string& path);
qxlist::Bytes ToBytes(const std::string& text);
std::string ExamplePath(const std::string& relative);
