#pragma once
// The document tree the test web server serves, written from the sources in tests/ by the test
// program itself (through the dataset library, so that every packed and binary form is the
// library's own) before the tests use it.
#include <string>

namespace kt::engine::testing {

// Served files, relative to the document root.
constexpr char kXmlList[] = "lists/components.xml";
constexpr char kBinaryList[] = "lists/components.bin";
constexpr char kLzssList[] = "lists/components.lzss";
constexpr char kZlibBinaryList[] = "lists/components.zlib";
constexpr char kKoreanList[] = "lists/korean-949.xml";  // written only under code page 949
constexpr char kMalformedList[] = "lists/malformed.xml";
constexpr char kPayload[] = "files/payload.txt";
constexpr char kLargeFile[] = "files/large.bin";  // long enough to stop while it is served slowly

// The source folder of the tree and the document root, as this program sees them.
std::string ServerSourcePath(const std::string& name);
std::string ServedPath(const std::string& relative);

// Writes every served file; false with the reason in `problem`.
bool WriteServerTree(std::string& problem);

}  // namespace kt::engine::testing
