#pragma once
// SHA-256 of bytes and files, for the publishing side: the same digest a client computes with the
// system's hashing service, written as 64 lower-case hexadecimal digits.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/qxlist/file_io.h"

namespace qxlist {

class Sha256 {
 public:
  Sha256();
  void Add(const unsigned char* data, std::size_t size);
  // The digest as hexadecimal text; the object is spent afterwards.
  std::string FinishHex();

 private:
  void Block(const unsigned char* block);

  std::uint32_t m_state[8];
  unsigned char m_buffer[64];
  std::size_t m_buffered = 0;
  std::uint64_t m_total = 0;
};

std::string Sha256Hex(const Bytes& data);

// The digest of a file's contents. False with the reason in `problem`.
bool FileSha256Hex(const std::string& path, std::string& hex, std::string& problem);

}  // namespace qxlist
