#ifndef KT_DATASET_BINARY_DOCUMENT_FORMAT_H
#define KT_DATASET_BINARY_DOCUMENT_FORMAT_H

#include <cstddef>
#include <cstdint>

// The binary form of a document tree. Every integer is big-endian.
//
//   offset 0  2  magic FF 21
//          2  2  format version (3100 when written; not checked on reading)
//          4  4  code page of every name, text and value in the file (0: the system code page)
//          8  2  number of names N
//         10     N names: 2-byte length, that many bytes (no terminator)
//          then  the top-level node list
//
// A node list is a 4-byte count and that many nodes. A node:
//   2  kind (NodeKind code)
//   2  index of its name in the name table, kBinaryNoName for a node without a name
//   4  length L of its own text, then L bytes
//   2  attribute count A, then per attribute a 2-byte name index, a 2-byte value length V and
//      V bytes
//   the child node list (count 0 when the node has no children)
//
// The name table holds every distinct non-empty node and attribute name once, in byte order.
// Zero bytes are data everywhere: every string is stored by its byte count.
namespace kt_binary_document {

constexpr std::uint8_t kMagic0 = 0xFF;
constexpr std::uint8_t kMagic1 = 0x21;
constexpr std::uint16_t kFormatVersion = 3100;
constexpr std::uint16_t kNoName = 0xFFFF;
constexpr std::size_t kHeaderSize = 10;  // magic, version, code page, name count
// Indices 0 to 0xFFFE address names; 0xFFFF means "no name".
constexpr std::size_t kMaxNames = 0xFFFF;
constexpr std::size_t kMaxShortLength = 0xFFFF;  // names, attribute values, attribute counts
constexpr std::uint32_t kMaxLongLength = 0xFFFFFFFFu;  // texts, node counts
// The least a node takes: kind, name index, text length, attribute count, child count.
constexpr std::size_t kMinNodeSize = 2 + 2 + 4 + 2 + 4;

inline std::uint16_t ReadU16(const unsigned char* p) noexcept {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t ReadU32(const unsigned char* p) noexcept {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

}  // namespace kt_binary_document

// True when the data is a binary document: at least three bytes, starting with FF 21.
inline bool IsBinaryDocument(const unsigned char* data, std::size_t size) noexcept {
  return data != nullptr && size >= 3 && data[0] == kt_binary_document::kMagic0 &&
         data[1] == kt_binary_document::kMagic1;
}

#endif
