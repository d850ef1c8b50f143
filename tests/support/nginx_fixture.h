#pragma once
// The local web server that a CTest fixture (cmake/KtNginxFixture.cmake) started for a test
// program: where it listens and what it was asked for. Portable: native and Windows test programs
// read the same files, found through the environment variable KT_NGINX_DIR.
#include <cstdint>
#include <string>
#include <vector>

namespace kt_test {

// One line of the server's access log.
struct ServedRequest {
  std::string method;
  std::string uri;  // as requested, with its query
  int status = 0;
  std::int64_t body_bytes = 0;
};

class NginxFixture {
 public:
  // The server named by KT_NGINX_DIR; Ready() is false when it is unset or the server is not up.
  static NginxFixture FromEnvironment();

  bool Ready() const { return port_ > 0; }
  // Why Ready() is false, for a test's failure message.
  const std::string& Problem() const { return problem_; }
  int Port() const { return port_; }

  // "http://127.0.0.1:PORT/" followed by path (without its leading '/').
  std::string Url(const std::string& path) const;
  // The same path on a port of 127.0.0.1 where nothing listens.
  std::string RefusedUrl(const std::string& path) const;

  // A mark in the access log: requests after it are those a test caused.
  std::uint64_t LogMark() const;
  // The requests logged after mark. The server logs a request just after it has answered it, so
  // this waits (at most 5 s) until at least min_count requests are there.
  std::vector<ServedRequest> RequestsSince(std::uint64_t mark, std::size_t min_count = 0) const;

 private:
  std::string folder_;
  std::string problem_;
  int port_ = 0;
  int refused_port_ = 0;
};

}  // namespace kt_test
