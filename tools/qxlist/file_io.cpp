#include "tools/qxlist/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#define kt_getpid _getpid
#else
#include <unistd.h>
#define kt_getpid getpid
#endif

namespace qxlist {
namespace {

std::string SystemReason() { return std::strerror(errno); }

class FileCloser {
 public:
  explicit FileCloser(std::FILE* file) : m_file(file) {}
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;
  ~FileCloser() {
    if (m_file) std::fclose(m_file);
  }
  std::FILE* get() const { return m_file; }
  // Closes now and says whether everything written reached the file.
  bool Close() {
    std::FILE* file = m_file;
    m_file = nullptr;
    return std::fclose(file) == 0;
  }

 private:
  std::FILE* m_file;
};

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

bool ReadWholeFile(const std::string& path, Bytes& data, std::string& problem) {
  FileCloser file(std::fopen(path.c_str(), "rb"));
  if (!file.get()) {
    problem = "cannot open: " + SystemReason();
    return false;
  }
  data.clear();
  unsigned char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) data.insert(data.end(), chunk, chunk + got);
  if (std::ferror(file.get())) {
    problem = "cannot read: " + SystemReason();
    return false;
  }
  return true;
}

bool WriteFileReplacing(const std::string& path, const Bytes& data, std::string& problem) {
  const std::string temporary = path + ".qxlist-" + std::to_string(kt_getpid()) + ".tmp";
  FileCloser file(std::fopen(temporary.c_str(), "wb"));
  if (!file.get()) {
    problem = "cannot create: " + SystemReason();
    return false;
  }
  const bool written = std::fwrite(data.data(), 1, data.size(), file.get()) == data.size();
  const std::string reason = SystemReason();
  if (!file.Close() || !written) {
    problem = "cannot write: " + reason;
    std::remove(temporary.c_str());
    return false;
  }
  if (!ReplaceFile(temporary, path)) {
    problem = "cannot replace: " + SystemReason();
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace qxlist
