#include "nginx_fixture.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kt_test {
namespace {

int ReadNumberFile(const std::string& path) {
  std::ifstream in(path);
  int value = 0;
  if (!(in >> value)) return 0;
  return value;
}

std::string WithoutLeadingSlash(const std::string& path) {
  return !path.empty() && path[0] == '/' ? path.substr(1) : path;
}

std::string LoopbackUrl(int port, const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(port) + "/" + WithoutLeadingSlash(path);
}

}  // namespace

NginxFixture NginxFixture::FromEnvironment() {
  NginxFixture fixture;
  const char* folder = std::getenv("KT_NGINX_DIR");
  if (folder == nullptr || *folder == '\0') {
    fixture.problem_ = "KT_NGINX_DIR is not set (run the test through CTest and its nginx fixture)";
    return fixture;
  }
  fixture.folder_ = folder;
  fixture.port_ = ReadNumberFile(fixture.folder_ + "/port");
  fixture.refused_port_ = ReadNumberFile(fixture.folder_ + "/refused_port");
  if (fixture.port_ <= 0) fixture.problem_ = "no server port in " + fixture.folder_ + "/port";
  return fixture;
}

std::string NginxFixture::Url(const std::string& path) const { return LoopbackUrl(port_, path); }

std::string NginxFixture::RefusedUrl(const std::string& path) const {
  return LoopbackUrl(refused_port_, path);
}

std::uint64_t NginxFixture::LogMark() const {
  std::ifstream in(folder_ + "/access.log", std::ios::binary | std::ios::ate);
  if (!in) return 0;
  return static_cast<std::uint64_t>(in.tellg());
}

std::vector<ServedRequest> NginxFixture::RequestsSince(std::uint64_t mark, std::size_t min_count) const {
  std::vector<ServedRequest> requests;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    requests.clear();
    std::ifstream in(folder_ + "/access.log", std::ios::binary);
    in.seekg(static_cast<std::streamoff>(mark));
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      ServedRequest request;
      if (fields >> request.method >> request.uri >> request.status >> request.body_bytes)
        requests.push_back(request);
    }
    if (requests.size() >= min_count || std::chrono::steady_clock::now() >= give_up) return requests;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace kt_test
